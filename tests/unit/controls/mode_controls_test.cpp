// The controls that follow the encode mode, the "Size" box, the B-frame count
// and the log box.
#include <gtest/gtest.h>

#include <initializer_list>
#include <iterator>
#include <vector>

#include "controls/mode_controls.h"
#include "model/control_ids.h"
#include "support/expected_modes.h"
#include "support/test_app.h"

namespace tav {
namespace {

// With no mode chosen the window shows what mode 0 shows, without its
// statistics.
constexpr test::ExpectedModeRow kNoMode = {
    -1, "Average Bitrate", "Range 0~8000", true, true, true, true, false, false, false};

void expect_all(const MemorySurface& ui, std::initializer_list<int> ids, bool (MemorySurface::*flag)(int) const,
                bool expected, int mode) {
    for (int id : ids) EXPECT_EQ((ui.*flag)(id), expected) << "control " << id << " in mode " << mode;
}

TEST(ModeDependentUpdate, EveryRowOfTheModeTable) {
    std::vector<test::ExpectedModeRow> rows(std::begin(test::kExpectedModeRows), std::end(test::kExpectedModeRows));
    rows.push_back(kNoMode);
    for (const test::ExpectedModeRow& row : rows) {
        test::TestApp t;
        // Start from the opposite of each row so every flag has to change.
        t.select(ctl::Mode, row.mode == 1 ? 13 : 1);
        t.select(ctl::Mode, row.mode);
        const auto& ui = t.ui;
        EXPECT_EQ(ui.text(ctl::ValueLabel), row.value_label) << row.mode;
        EXPECT_EQ(ui.text(ctl::RangeLabel), row.range_label) << row.mode;
        EXPECT_EQ(ui.visible(ctl::SizeMode), row.size_box) << row.mode;
        expect_all(ui, {ctl::QuantCompression, ctl::MinQp, ctl::MaxQp, ctl::MaxQpStep}, &MemorySurface::enabled,
                   row.qp_limits, row.mode);
        expect_all(ui, {ctl::VbvBufferSize, ctl::VbvMaxRate, ctl::VbvInitBuffer}, &MemorySurface::enabled, row.vbv,
                   row.mode);
        EXPECT_EQ(ui.enabled(ctl::BitrateVariance), row.variance) << row.mode;
        expect_all(ui, {ctl::UpdateStats, ctl::StatsFile, ctl::StatsBrowse}, &MemorySurface::enabled, row.stats,
                   row.mode);
        expect_all(ui, {ctl::FirstPassCrf, ctl::CrfLabel}, &MemorySurface::visible, row.crf_box, row.mode);
        expect_all(ui, {ctl::MinSize, ctl::MaxSize, ctl::MinSizeLabel, ctl::MaxSizeLabel}, &MemorySurface::visible,
                   row.size_limits, row.mode);
        EXPECT_EQ(ui.visible(ctl::Logo), !row.size_limits) << row.mode;
    }
}

TEST(ModeDependentUpdate, QuantizerBranchLeavesKeyframeFieldsAlone) {
    test::TestApp t;
    t.ui.set_enabled(ctl::KeyframeBoost, false);
    t.select(ctl::Mode, 2);
    EXPECT_FALSE(t.ui.enabled(ctl::KeyframeBoost));
    t.select(ctl::Mode, 0);
    EXPECT_TRUE(t.ui.enabled(ctl::KeyframeBoost));
    EXPECT_TRUE(t.ui.enabled(ctl::BFrameReduction));
}

TEST(ModeDependentUpdate, SizeBoxRelabelsTheValueAndSurvivesAQuantizerMode) {
    test::TestApp t;
    t.select(ctl::Mode, 0);
    t.click(ctl::SizeMode);
    EXPECT_EQ(t.ui.text(ctl::ValueLabel), "Size in MB");
    EXPECT_EQ(t.ui.text(ctl::RangeLabel), "");

    t.select(ctl::Mode, 1);
    EXPECT_FALSE(t.ui.visible(ctl::SizeMode));
    EXPECT_TRUE(t.ui.checked(ctl::SizeMode));
    EXPECT_EQ(t.ui.text(ctl::ValueLabel), "Quantizer");

    t.select(ctl::Mode, 0);
    EXPECT_TRUE(t.ui.visible(ctl::SizeMode));
    EXPECT_TRUE(t.ui.checked(ctl::SizeMode));
    EXPECT_EQ(t.ui.text(ctl::ValueLabel), "Size in MB");

    t.click(ctl::SizeMode);
    EXPECT_EQ(t.ui.text(ctl::ValueLabel), "Average Bitrate");
    EXPECT_EQ(t.ui.text(ctl::RangeLabel), "Range 0~8000");
}

struct BFrameCase {
    const char* typed;
    const char* shown;
    bool b_search, direct, bias, references, bidir, adaptive, weighted;
};

TEST(BFrameUpdate, CountDecidesWhichBFrameControlsAreEnabled) {
    const BFrameCase cases[] = {
        {"0", "0", false, false, false, false, false, false, false},
        {"1", "1", true, true, true, false, true, true, false},
        {"2", "2", true, true, true, true, true, true, true},
        {"20", "16", true, true, true, true, true, true, true},
        {"-3", "0", false, false, false, false, false, false, false},
    };
    for (const BFrameCase& c : cases) {
        test::TestApp t;
        t.paste(ctl::MaxBFrames, c.typed);
        const auto& ui = t.ui;
        EXPECT_EQ(ui.text(ctl::MaxBFrames), c.shown) << c.typed;
        EXPECT_EQ(ui.enabled(ctl::BSearch8x8), c.b_search) << c.typed;
        EXPECT_EQ(ui.enabled(ctl::DirectMode), c.direct) << c.typed;
        EXPECT_EQ(ui.enabled(ctl::BiasSlider), c.bias) << c.typed;
        EXPECT_EQ(ui.enabled(ctl::Bias), c.bias) << c.typed;
        EXPECT_EQ(ui.enabled(ctl::BReferences), c.references) << c.typed;
        EXPECT_EQ(ui.enabled(ctl::BidirectionalMe), c.bidir) << c.typed;
        EXPECT_EQ(ui.enabled(ctl::AdaptiveB), c.adaptive) << c.typed;
        EXPECT_EQ(ui.enabled(ctl::WeightedB), c.weighted) << c.typed;
        // The labels never follow the count.
        EXPECT_TRUE(ui.enabled(ctl::MaxBFramesLabel));
        EXPECT_TRUE(ui.enabled(ctl::DirectModeLabel));
    }
}

TEST(LogFileUpdate, LogNameAndButtonFollowTheBox) {
    test::TestApp t;
    ASSERT_FALSE(t.ui.checked(ctl::LogEnabled));
    t.click(ctl::LogEnabled);
    EXPECT_TRUE(t.ui.enabled(ctl::LogFile));
    EXPECT_TRUE(t.ui.enabled(ctl::LogBrowse));
    t.click(ctl::LogEnabled);
    EXPECT_FALSE(t.ui.enabled(ctl::LogFile));
    EXPECT_FALSE(t.ui.enabled(ctl::LogBrowse));
}

TEST(SelectIncludeByName, MatchesBytesExactlyAndTheLastMatchWins) {
    test::TestApp t;
    for (const char* name : {"plain", "Deint", "plain", "sharp"}) t.ui.append_item(ctl::Template, name);
    t.ui.set_state(ctl::Template, 3);

    select_include_by_name(t.ui, "deint");  // letter case counts
    EXPECT_EQ(t.ui.state(ctl::Template), 3);
    select_include_by_name(t.ui, "");
    EXPECT_EQ(t.ui.state(ctl::Template), 3);
    select_include_by_name(t.ui, "plain");
    EXPECT_EQ(t.ui.state(ctl::Template), 2);
    select_include_by_name(t.ui, "Deint");
    EXPECT_EQ(t.ui.state(ctl::Template), 1);
}

TEST(AudioUnitLabel, QualityEncodersShowQuality) {
    test::TestApp t;
    const char* expected[] = {"Kbps", "Kbps", "Kbps", "Kbps", "Kbps", "Quality", "Quality"};
    for (int i = 0; i < 7; ++i) {
        t.select(ctl::AudioEncoder, i);
        EXPECT_EQ(t.ui.text(ctl::AudioUnit), expected[i]) << i;
    }
}

}  // namespace
}  // namespace tav
