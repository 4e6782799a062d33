// Texts that no user could have typed: longer than an edit field holds.
#include <gtest/gtest.h>

#include <string>

#include "model/control_ids.h"
#include "model/text_limits.h"
#include "settings/settings_model.h"
#include "support/test_app.h"

namespace tav {
namespace {

const std::string kMost(kMaxControlText, '7');
const std::string kTooLong = kMost + "7";

TEST(LongLoadedText, TakesItsKeysFallbackWhileTheRestOfTheFileLoads) {
    struct Case {
        const char* what;
        std::string file;
        int control;
        std::string expected;
    };
    const std::string latin_e = "\xC3\xA9";  // one character in UTF-8 mode
    std::string many_e;
    for (size_t i = 0; i < kMaxControlText; ++i) many_e += latin_e;
    const Case cases[] = {
        {"as long as a field holds", "value = " + kMost, ctl::Value, kMost},
        {"one character more", "value = " + kTooLong, ctl::Value, "0"},
        {"a million digits, no line end", "mode = 2\r\nvalue = " + std::string(1000000, '9'), ctl::Value, "0"},
        {"other key, other fallback", "aub = " + kTooLong + "\r\nmode = 2", ctl::AudioBitrate, "64000"},
        {"quoted matrix path", "cqm = \"C:\\" + kTooLong + "\"", ctl::QuantMatrix, "flat"},
        {"counted in characters, not bytes", "\xEF\xBB\xBFmb = " + many_e + "\r\nmode = 2", ctl::MaxBFrames,
         std::string(kMaxControlText, '\xE9')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::TestApp t;
        t.platform.files["tavrelion.ini"] = c.file;
        t.start();
        EXPECT_EQ(t.ui.text(c.control), c.expected);
        if (c.file.find("mode = 2") != std::string::npos) {
            EXPECT_EQ(t.ui.state(ctl::Mode), 2);
        }
    }
}

TEST(LongLoadedText, HoldsForPresetsAndTheTemplateName) {
    test::TestApp t;
    t.start();
    t.ui.append_items(ctl::Template, {kTooLong});
    t.platform.files["C:\\prog\\configs\\shared.ini"] = "mode = 5\r\nvalue = " + kTooLong + "\r\navsinc = " + kTooLong;
    t.paste(ctl::PresetName, "shared");
    t.click(ctl::LoadPreset);
    EXPECT_EQ(t.ui.state(ctl::Mode), 5);
    EXPECT_EQ(t.ui.text(ctl::Value), "0");
    EXPECT_EQ(t.ui.state(ctl::Template), -1);
}

}  // namespace
}  // namespace tav
