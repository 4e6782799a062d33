#include "settings/config_files.h"

#include <gtest/gtest.h>

#include "faulty_platform.h"
#include "model/control_ids.h"
#include "settings/settings_model.h"
#include "support/test_app.h"

namespace tav {
namespace {

const std::string kPresets = "C:\\prog\\configs\\";

TEST(ConfigFiles, RefreshListsNamesWithoutTheirLastExtension) {
    test::TestApp t;
    t.platform.files[kPresets + "a.b.ini"] = "";
    t.platform.files[kPresets + "fast.ini"] = "";
    t.platform.files[kPresets + "notes.txt"] = "";
    t.platform.files[kPresets + "old\\deep.ini"] = "";
    t.platform.files["C:\\prog\\AVSinc\\grain.avs"] = "";
    t.platform.files["C:\\prog\\avsinc\\sharp.AVS"] = "";
    t.platform.files["C:\\prog\\AVSinc\\readme.ini"] = "";
    t.ui.append_items(ctl::PresetName, {"stale"});
    t.ui.set_text(ctl::PresetName, "typed");
    t.ui.append_items(ctl::Template, {"stale"});
    t.ui.set_state(ctl::Template, 0);

    EXPECT_TRUE(t.click(ctl::Refresh));
    EXPECT_EQ(t.ui.items(ctl::PresetName), (std::vector<std::string>{"a.b", "fast"}));
    EXPECT_EQ(t.ui.text(ctl::PresetName), "");
    EXPECT_EQ(t.ui.items(ctl::Template), (std::vector<std::string>{"grain", "sharp"}));
    EXPECT_EQ(t.ui.state(ctl::Template), -1);

    // With no template selected a save stores an empty name.
    save_settings(t.ctx, "C:\\s.ini");
    EXPECT_NE(t.platform.files.at("C:\\s.ini").find("\r\navsinc = \r\n"), std::string::npos);
}

TEST(ConfigFiles, SavePresetAsksAndRefillsEitherWay) {
    struct Case {
        bool yes;
        const char* name;
        bool saved;
    };
    const Case cases[] = {{true, "mine", true}, {false, "mine", false}, {true, "", false}};
    for (const Case& c : cases) {
        test::TestApp t;
        t.platform.files[kPresets + "old.ini"] = "";
        t.platform.yes_no_answers.push_back(c.yes);
        t.ui.set_text(ctl::PresetName, c.name);
        t.ui.set_state(ctl::Mode, 4);
        t.ui.append_items(ctl::Template, {"grain"});
        t.ui.set_state(ctl::Template, 0);

        t.click(ctl::SavePreset);
        ASSERT_EQ(t.platform.asked.size(), 1u);
        EXPECT_EQ(t.platform.asked[0].kind, "yes-no");
        EXPECT_EQ(t.platform.asked[0].title, "Save");
        EXPECT_EQ(t.platform.asked[0].text, "Are you sure?");
        const std::string path = kPresets + c.name + ".ini";
        EXPECT_EQ(t.platform.files.count(path), c.saved ? 1u : 0u) << c.name << c.yes;
        if (c.saved) {
            EXPECT_NE(t.platform.files.at(path).find("mode = 4\r\n"), std::string::npos);
        }
        const auto expected = c.saved ? std::vector<std::string>{"mine", "old"} : std::vector<std::string>{"old"};
        EXPECT_EQ(t.ui.items(ctl::PresetName), expected);
        EXPECT_EQ(t.ui.text(ctl::PresetName), "");
        EXPECT_EQ(t.ui.text(ctl::Template), "grain") << "the template list is not touched";
    }
}

TEST(ConfigFiles, LoadPresetReadsTheNamedFile) {
    test::TestApp t;
    t.platform.files[kPresets + "hq.ini"] = "mode = 2\r\nvalue = 18\r\n";
    t.ui.set_text(ctl::PresetName, "hq");
    t.click(ctl::LoadPreset);
    EXPECT_EQ(t.ui.state(ctl::Mode), 2);
    EXPECT_EQ(t.ui.text(ctl::Value), "18");
    EXPECT_EQ(t.platform.files.at(kPresets + "hq.ini"), "mode = 2\r\nvalue = 18\r\n");
}

TEST(ConfigFiles, LoadPresetOfAnUnknownNameCreatesItEmpty) {
    for (const char* name : {"newone", ""}) {
        test::TestApp t;
        t.ui.set_state(ctl::Mode, 5);
        t.ui.set_text(ctl::PresetName, name);
        t.click(ctl::LoadPreset);
        const std::string path = kPresets + name + ".ini";
        ASSERT_EQ(t.platform.files.count(path), 1u) << path;
        EXPECT_EQ(t.platform.files.at(path), "");
        // Every control takes its fallback, not the built-in defaults.
        EXPECT_EQ(t.ui.state(ctl::Mode), 0) << path;
        EXPECT_EQ(t.ui.text(ctl::MinQp), "1") << path;
    }
}

TEST(ConfigFiles, LoadPresetThatCannotBeCreatedOrReadDoesNothing) {
    struct Case {
        const char* what;
        const char* name;
        void (*fault)(test::FaultyPlatform&);
    };
    const Case cases[] = {
        {"preset folder read-only", "x", [](test::FaultyPlatform& p) { p.unwritable.insert(kPresets); }},
        {"missing subfolder", "gone\\x", [](test::FaultyPlatform& p) { p.unwritable.insert(kPresets + "gone\\"); }},
        {"preset there but unreadable", "x",
         [](test::FaultyPlatform& p) {
             p.files[kPresets + "x.ini"] = "mode = 2\r\n";
             p.unreadable.insert(kPresets + "x.ini");
         }},
    };
    for (const Case& c : cases) {
        test::TestApp t;
        test::FaultyPlatform platform;
        c.fault(platform);
        const auto files_before = platform.files;
        Context ctx{t.ui, platform, platform.folder, t.session};
        t.ui.set_state(ctl::Mode, 5);
        t.ui.set_text(ctl::Value, "1234");
        t.ui.set_text(ctl::PresetName, c.name);
        load_preset(ctx);
        EXPECT_EQ(t.ui.state(ctl::Mode), 5) << c.what;
        EXPECT_EQ(t.ui.text(ctl::Value), "1234") << c.what;
        EXPECT_EQ(platform.files, files_before) << c.what;
    }
}

TEST(ConfigFiles, StartLoadsTheCurrentDirectoryAndExitSavesTheProgramFolder) {
    test::TestApp t;
    t.platform.files["tavrelion.ini"] = "mode = 9\r\nvalue = 21\r\n";
    t.platform.files[kPresets + "p.ini"] = "";
    t.start();
    EXPECT_EQ(t.ui.state(ctl::Mode), 9);
    EXPECT_EQ(t.ui.items(ctl::PresetName), std::vector<std::string>{"p"});

    t.ui.set_text(ctl::Value, "23");
    EXPECT_FALSE(t.click(ctl::Cancel));
    t.app.exit();
    const std::string& saved = t.platform.files.at("C:\\prog\\tavrelion.ini");
    EXPECT_NE(saved.find("\r\nmode = 9\r\n"), std::string::npos);
    EXPECT_NE(saved.find("\r\nvalue = 23\r\n"), std::string::npos);
    EXPECT_EQ(t.platform.files.at("tavrelion.ini"), "mode = 9\r\nvalue = 21\r\n");

    // The next start from the program folder reads them back.
    test::TestApp next;
    next.platform.files["tavrelion.ini"] = saved;
    next.start();
    EXPECT_EQ(next.ui.text(ctl::Value), "23");
}

TEST(ConfigFiles, StartWithoutSettingsUsesTheDefaults) {
    test::TestApp t;
    t.start();
    EXPECT_EQ(t.ui.state(ctl::Mode), 1);
    EXPECT_EQ(t.ui.text(ctl::Value), "26");
    EXPECT_TRUE(t.platform.files.empty()) << "the settings file is first written at exit";
}

}  // namespace
}  // namespace tav
