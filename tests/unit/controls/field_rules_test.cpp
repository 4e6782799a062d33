// Range clamps, dependent enabling and slider mirrors, driven like a user.
#include <gtest/gtest.h>

#include "model/control_ids.h"
#include "support/test_app.h"

namespace tav {
namespace {

struct ClampCase {
    int field;
    const char* typed;  // pasted as one edit
    const char* expected;
};

class FieldClamp : public ::testing::TestWithParam<ClampCase> {};

TEST_P(FieldClamp, CorrectsThePastedText) {
    test::TestApp t;
    const ClampCase& c = GetParam();
    t.paste(c.field, c.typed);
    EXPECT_EQ(t.ui.text(c.field), c.expected) << "field " << c.field << " pasted \"" << c.typed << '"';
}

void PrintTo(const ClampCase& c, std::ostream* os) { *os << c.field << " \"" << c.typed << '"'; }

INSTANTIATE_TEST_SUITE_P(
    Table, FieldClamp,
    ::testing::Values(ClampCase{ctl::KeyframeBoost, "901", "900"}, ClampCase{ctl::KeyframeBoost, "", ""},
                      ClampCase{ctl::BFrameReduction, "5000", "900"}, ClampCase{ctl::QuantCompression, "101", "100"},
                      ClampCase{ctl::MinQp, "", "1"}, ClampCase{ctl::MinQp, "52", "51"},
                      ClampCase{ctl::MaxQp, "0", "1"}, ClampCase{ctl::MaxQpStep, "51", "50"},
                      ClampCase{ctl::SceneCut, "101", "100"}, ClampCase{ctl::MeRange, "-5", "0"},
                      ClampCase{ctl::MeRange, "65", "64"}, ClampCase{ctl::MaxRefs, "17", "16"},
                      ClampCase{ctl::Threads, "5", "4"}, ClampCase{ctl::Threads, "-", "-"},
                      ClampCase{ctl::VbvBufferSize, "240001", "240000"}, ClampCase{ctl::VbvMaxRate, "8001", "8000"},
                      ClampCase{ctl::BitrateVariance, "5", "10"}, ClampCase{ctl::BitrateVariance, "1001", "1000"},
                      ClampCase{ctl::VbvInitBuffer, "1.5", "1"}, ClampCase{ctl::VbvInitBuffer, "-0.2", "0"},
                      ClampCase{ctl::VbvInitBuffer, "1", "1"}, ClampCase{ctl::VbvInitBuffer, "0.95", "0.95"},
                      ClampCase{ctl::VbvInitBuffer, "0", "0"},
                      // Numbers beyond 32 bits saturate instead of wrapping.
                      ClampCase{ctl::KeyframeBoost, "99999999999", "900"},
                      ClampCase{ctl::MeRange, "-99999999999", "0"},
                      // Text after the number does not count; the text stays when in range.
                      ClampCase{ctl::Threads, " 3x", " 3x"}, ClampCase{ctl::Threads, "\t9 ", "4"}));

TEST(FieldClampTyping, CorrectsAsSoonAsTheOffendingCharacterArrives) {
    test::TestApp t;
    t.erase(ctl::KeyframeBoost);
    t.type(ctl::KeyframeBoost, "100");
    EXPECT_EQ(t.ui.text(ctl::KeyframeBoost), "100");
    t.type(ctl::KeyframeBoost, "0");
    EXPECT_EQ(t.ui.text(ctl::KeyframeBoost), "900");

    // The threads field takes any character: a lone minus stays until a digit follows.
    t.erase(ctl::Threads);
    t.type(ctl::Threads, "-");
    EXPECT_EQ(t.ui.text(ctl::Threads), "-");
    t.type(ctl::Threads, "3");
    EXPECT_EQ(t.ui.text(ctl::Threads), "0");
}

TEST(FieldClampTriggers, FocusChangesCorrectAWrittenTextButNotTheValueField) {
    struct Case {
        int field;
        const char* written;  // by the program, so no rule ran for it
        const char* after_focus_change;
    };
    const Case cases[] = {
        {ctl::KeyframeBoost, "1000", "900"},
        {ctl::MinQp, "0", "1"},
        {ctl::VbvInitBuffer, "2", "1"},
        // The value field is corrected on the user's own edits only.
        {ctl::Value, "60", "60"},
    };
    for (const Case& c : cases) {
        for (Trigger trigger : {Trigger::FocusGained, Trigger::FocusLost}) {
            test::TestApp t;  // mode 1: the value field's range is 0 to 51
            t.ui.set_text(c.field, c.written);
            t.app.handle({c.field, trigger});
            EXPECT_EQ(t.ui.text(c.field), c.after_focus_change) << "field " << c.field;
        }
    }
}

TEST(FieldClampTyping, DigitsOnlyFieldsRefuseSignsAndPoints) {
    test::TestApp t;
    t.erase(ctl::MeRange);
    t.type(ctl::MeRange, "-1.5");
    EXPECT_EQ(t.ui.text(ctl::MeRange), "15");
}

TEST(FieldClampTyping, BiasFieldTakesAtMostThreeCharacters) {
    test::TestApp t;
    t.erase(ctl::Bias);
    t.type(ctl::Bias, "-504");
    EXPECT_EQ(t.ui.text(ctl::Bias), "-50");
}

TEST(ValueField, RangeFollowsTheModeAndSizeSwitch) {
    test::TestApp t;
    t.select(ctl::Mode, 1);
    t.paste(ctl::Value, "60");
    EXPECT_EQ(t.ui.text(ctl::Value), "51");

    t.select(ctl::Mode, 2);
    t.paste(ctl::Value, "52");
    EXPECT_EQ(t.ui.text(ctl::Value), "51");

    t.select(ctl::Mode, 0);
    t.paste(ctl::Value, "60");
    EXPECT_EQ(t.ui.text(ctl::Value), "60");
    t.paste(ctl::Value, "8001");
    EXPECT_EQ(t.ui.text(ctl::Value), "8000");

    // The quantizer first passes keep the bitrate range of the value field.
    t.select(ctl::Mode, 8);
    t.paste(ctl::Value, "60");
    EXPECT_EQ(t.ui.text(ctl::Value), "60");

    t.select(ctl::Mode, 0);
    t.click(ctl::SizeMode);
    t.paste(ctl::Value, "99999");
    EXPECT_EQ(t.ui.text(ctl::Value), "99999");
}

TEST(ValueField, IsClampedOnlyOnTheUsersOwnEdits) {
    test::TestApp t;
    t.select(ctl::Mode, 0);
    t.paste(ctl::Value, "800");
    // Switching to a quantizer mode writes the text back without a limit.
    t.select(ctl::Mode, 1);
    EXPECT_EQ(t.ui.text(ctl::Value), "800");
    // Focus changes are no edits either.
    t.leave(ctl::Value);
    EXPECT_EQ(t.ui.text(ctl::Value), "800");
    t.type(ctl::Value, "0");
    EXPECT_EQ(t.ui.text(ctl::Value), "51");
}

struct Dependency {
    int source;
    int target;
};

TEST(DependentEnabling, FollowsItsSourceBothWays) {
    test::TestApp t;
    for (Dependency d : {Dependency{ctl::Transform8x8, ctl::Intra8x8}, Dependency{ctl::PSearch8x8, ctl::PSearch4x4},
                         Dependency{ctl::Cabac, ctl::TrellisLabel}}) {
        ASSERT_TRUE(t.ui.checked(d.source));
        t.click(d.source);
        EXPECT_FALSE(t.ui.enabled(d.target)) << d.source;
        t.click(d.source);
        EXPECT_TRUE(t.ui.enabled(d.target)) << d.source;
    }
    t.click(ctl::Audio);
    EXPECT_TRUE(t.ui.enabled(ctl::AudioBitrate));
    t.click(ctl::Audio);
    EXPECT_FALSE(t.ui.enabled(ctl::AudioBitrate));

    t.select(ctl::PartitionDecision, 3);
    EXPECT_FALSE(t.ui.enabled(ctl::ChromaMe));
    t.select(ctl::PartitionDecision, 4);
    EXPECT_TRUE(t.ui.enabled(ctl::ChromaMe));

    t.select(ctl::MeMethod, 1);
    EXPECT_FALSE(t.ui.enabled(ctl::MeRange));
    t.select(ctl::MeMethod, 2);
    EXPECT_TRUE(t.ui.enabled(ctl::MeRange));
}

TEST(DependentEnabling, MixedRefsFollowTheClampedReferenceCount) {
    test::TestApp t;
    t.paste(ctl::MaxRefs, "2");
    EXPECT_TRUE(t.ui.enabled(ctl::MixedRefs));
    t.paste(ctl::MaxRefs, "1");
    EXPECT_FALSE(t.ui.enabled(ctl::MixedRefs));
    t.paste(ctl::MaxRefs, "40");
    EXPECT_EQ(t.ui.text(ctl::MaxRefs), "16");
    EXPECT_TRUE(t.ui.enabled(ctl::MixedRefs));
}

TEST(SliderMirrors, BiasGoesBothWaysDeblockingOneWay) {
    test::TestApp t;
    t.slide(ctl::BiasSlider, 0);
    EXPECT_EQ(t.ui.text(ctl::Bias), "-100");
    t.slide(ctl::BiasSlider, 200);
    EXPECT_EQ(t.ui.text(ctl::Bias), "100");
    t.slide(ctl::BiasSlider, 100);
    EXPECT_EQ(t.ui.text(ctl::Bias), "0");

    // The field moves the slider only when it loses the focus.
    t.paste(ctl::Bias, "-50");
    EXPECT_EQ(t.ui.state(ctl::BiasSlider), 100);
    t.leave(ctl::Bias);
    EXPECT_EQ(t.ui.state(ctl::BiasSlider), 50);
    t.paste(ctl::Bias, "999");
    t.leave(ctl::Bias);
    EXPECT_EQ(t.ui.state(ctl::BiasSlider), 200);

    for (auto [slider, label] : {std::pair{ctl::DeblockStrength, ctl::StrengthValue},
                                 std::pair{ctl::DeblockThreshold, ctl::ThresholdValue}}) {
        t.slide(slider, 0);
        EXPECT_EQ(t.ui.text(label), "-6");
        t.slide(slider, 6);
        EXPECT_EQ(t.ui.text(label), "0");
        t.slide(slider, 12);
        EXPECT_EQ(t.ui.text(label), "6");
    }
}

}  // namespace
}  // namespace tav
