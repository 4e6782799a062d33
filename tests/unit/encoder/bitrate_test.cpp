#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>

#include "encoder/bitrate.h"
#include "encoder/dialect.h"
#include "model/control_ids.h"
#include "support/test_app.h"

namespace tav {
namespace {

constexpr std::int64_t kMax64 = std::numeric_limits<std::int64_t>::max();

TEST(TargetSizeBitrate, FillsTheTargetSize) {
    struct Case {
        std::int64_t frames, rate;
        double megabytes;
        bool audio;
        std::int32_t kbps;
        std::int64_t expected;
    };
    const Case cases[] = {
        {45000, 25, 350, false, 64, 1626},
        {45000, 25, 350, true, 64, 1560},
        {135000, 25, 700, false, 0, 1084},  // 5,400 seconds
        {45000, 25, 0.1, false, 0, 0},     // 838,861 bits over 1800 s
        // A target below the audio gives a negative rate, truncated toward zero.
        {45000, 25, 1, true, 64, -60},
        // 29.97 fps counts as 29: 53,946 frames last 1,860 s instead of 1,800.
        {53946, 29, 350, false, 0, 1573},
        {45000, 25, 350, true, 0, 1626},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(target_size_bitrate({c.frames, c.rate}, c.megabytes, c.audio, c.kbps), c.expected)
            << c.frames << "/" << c.rate << " " << c.megabytes << " MB";
    }
}

TEST(TargetSizeBitrate, SecondsRoundHalvesToEven) {
    // 1 MB is 8,388,608 bits: over 2 s 4,194,304 bit/s -> 4181; over 4 s -> 2090.
    struct Case {
        std::int64_t frames, rate;
        std::optional<std::int64_t> expected;
    };
    const Case cases[] = {
        {5, 2, 4181},  // 2.5 -> 2
        {7, 2, 2090},  // 3.5 -> 4
        {3, 2, 4181},  // 1.5 -> 2
        {9, 4, 4181},  // 2.25 -> 2
        {11, 4, 2787},  // 2.75 -> 3: 2,796,202 bit/s -> 2787
    };
    for (const Case& c : cases)
        EXPECT_EQ(target_size_bitrate({c.frames, c.rate}, 1, false, 0), c.expected) << c.frames << "/" << c.rate;
}

TEST(TargetSizeBitrate, NoUsableDurationGivesNothing) {
    EXPECT_EQ(target_size_bitrate({1, 2}, 350, false, 0), std::nullopt);  // 0.5 s rounds to 0
    EXPECT_EQ(target_size_bitrate({0, 25}, 350, false, 0), std::nullopt);
    EXPECT_EQ(target_size_bitrate({45000, 0}, 350, false, 0), std::nullopt);
    EXPECT_EQ(target_size_bitrate({-100, 25}, 350, false, 0), std::nullopt);
}

TEST(TargetSizeBitrate, TheSizeIsHeldInSinglePrecision) {
    // Over one second: 30000.3 is 30000.30078125 in single precision, which
    // gives 250,908,039 rather than the 250,908,032 of the exact number.
    EXPECT_EQ(target_size_bitrate({25, 25}, 30000.3, false, 0), 250908039);
    EXPECT_EQ(target_size_bitrate({25, 25}, 12345.67, false, 0), 103253225);
}

TEST(TargetSizeBitrate, AbsurdNumbersSaturateInsteadOfOverflowing) {
    EXPECT_EQ(target_size_bitrate({25, 25}, 1e30, false, 0), kMax64 / 1003);
    EXPECT_EQ(target_size_bitrate({25, 25}, -1e30, false, 0), std::numeric_limits<std::int64_t>::min() / 1003);
    // Audio bits beyond 64 bits, and a target minus audio below the lowest
    // 64-bit value: both saturate, so the quotient stays in range.
    constexpr std::int64_t kSeconds = std::int64_t{1} << 53;
    EXPECT_EQ(target_size_bitrate({kSeconds, 1}, -1e30, true, std::numeric_limits<std::int32_t>::max()), -1);
}

struct BitrateOptions : ::testing::Test {
    test::TestApp t;
    BitrateOptions() {
        t.select(ctl::Mode, 0);
        t.ui.set_text(ctl::InputFile, "D:\\enc\\avs\\movie.avs");
        t.platform.media["D:\\enc\\avs\\movie.avs"] = {45000, 25};
    }
};

TEST_F(BitrateOptions, WithoutSizeTheValueGoesInAsTyped) {
    for (const char* value : {"800", "", "12.5", " 7"}) {
        t.ui.set_text(ctl::Value, value);
        EXPECT_EQ(bitrate_options(SettingsView(t.ui, documented_dialect()), t.platform), std::string(" -B ") + value);
    }
    EXPECT_EQ(t.platform.media_queries, 0);
}

TEST_F(BitrateOptions, WithSizeTheInputIsMeasuredEachTime) {
    t.click(ctl::SizeMode);
    t.paste(ctl::Value, "350");
    EXPECT_EQ(bitrate_options(SettingsView(t.ui, documented_dialect()), t.platform), " -B 1626");
    t.click(ctl::Audio);
    EXPECT_EQ(bitrate_options(SettingsView(t.ui, documented_dialect()), t.platform), " -B 1560");
    t.paste(ctl::AudioBitrate, "128");
    EXPECT_EQ(bitrate_options(SettingsView(t.ui, documented_dialect()), t.platform), " -B 1495");
    EXPECT_EQ(t.platform.media_queries, 3);

    // A pass built without audio, and with another value, through the view alone.
    EXPECT_EQ(bitrate_options(SettingsView(t.ui, documented_dialect(), {.audio = false}), t.platform), " -B 1626");
    EXPECT_EQ(bitrate_options(SettingsView(t.ui, documented_dialect(), {.value = "700"}), t.platform), " -B 3121");
    EXPECT_TRUE(t.ui.checked(ctl::Audio));
    EXPECT_EQ(t.ui.text(ctl::Value), "350");
}

TEST_F(BitrateOptions, InputWithoutUsableLengthGivesNoRate) {
    t.click(ctl::SizeMode);
    t.paste(ctl::Value, "350");
    t.ui.set_text(ctl::InputFile, "D:\\missing.avs");
    EXPECT_EQ(bitrate_options(SettingsView(t.ui, documented_dialect()), t.platform), "");
    t.ui.set_text(ctl::InputFile, "");
    EXPECT_EQ(bitrate_options(SettingsView(t.ui, documented_dialect()), t.platform), "");
    t.platform.media["D:\\short.avi"] = {12, 25};  // 0.48 s
    t.ui.set_text(ctl::InputFile, "D:\\short.avi");
    EXPECT_EQ(bitrate_options(SettingsView(t.ui, documented_dialect()), t.platform), "");
}

TEST_F(BitrateOptions, SizeTextIsReadAsARealNumber) {
    t.click(ctl::SizeMode);
    struct Case {
        const char* text;
        const char* expected;
    };
    const Case cases[] = {
        {"350", " -B 1626"}, {" 350.0", " -B 1626"}, {"3.5e2", " -B 1626"},
        {"0.1", " -B 0"},    {"abc", " -B 0"},       {"", " -B 0"},
        {"-350", " -B -1626"},
    };
    for (const Case& c : cases) {
        t.ui.set_text(ctl::Value, c.text);
        EXPECT_EQ(bitrate_options(SettingsView(t.ui, documented_dialect()), t.platform), c.expected) << c.text;
    }
}

}  // namespace
}  // namespace tav
