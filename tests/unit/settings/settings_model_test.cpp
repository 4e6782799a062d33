#include "settings/settings_model.h"

#include <gtest/gtest.h>

#include <set>

#include "faulty_platform.h"
#include "model/control_ids.h"
#include "model/control_table.h"
#include "settings/settings_table.h"
#include "support/test_app.h"

namespace tav {
namespace {

const std::string kFile = "C:\\work\\s.ini";

// Loads `content` as a settings file into a freshly started window.
struct Loaded {
    test::TestApp t;
    explicit Loaded(const std::string& content) {
        t.platform.files[kFile] = content;
        load_settings(t.ctx, kFile);
    }
    std::string text(int id) const { return t.ui.text(id); }
    int state(int id) const { return t.ui.state(id); }
};

TEST(SettingsTable, HoldsEveryKeyOnceWithItsKind) {
    const auto table = settings_table();
    ASSERT_EQ(table.size(), 59u);
    std::set<std::string_view> keys;
    std::set<int> controls;
    for (size_t i = 0; i < table.size(); ++i) {
        keys.insert(table[i].key);
        controls.insert(table[i].control);
        EXPECT_EQ(table[i].kind, i < 29 ? SettingKind::State : SettingKind::Text) << table[i].key;
        EXPECT_EQ(find_setting(table[i].key), &table[i]);
        EXPECT_EQ(setting_of(table[i].control), &table[i]);
    }
    EXPECT_EQ(keys.size(), 59u);
    EXPECT_EQ(controls.size(), 59u);
    EXPECT_EQ(find_setting("MODE"), nullptr);
    for (int id : {int{ctl::Add}, int{ctl::JobList}, int{ctl::Unassigned}, ctl::kIdLimit})
        EXPECT_EQ(setting_of(id), nullptr) << id;
}

TEST(SettingsModel, BuiltinDefaultsAreTheExactBytes) {
    const char* lines[] = {
        "a1 = 1",      "a2 = 1",       "a3 = 1",     "a4 = 0",     "a5 = 1",     "a6 = 1",     "cab = 1",  "mxref = 0",
        "tre = 0",     "fil = 1",      "bref = 0",   "bme = 0",    "ba = 1",     "bwb = 1",    "mode = 1", "dm = 0",
        "m = 4",       "ms = 1",       "aud = 0",    "ae = 1",     "apin = 0",   "aub = 64",   "fa = 0",   "mb = 2",
        "bias = 0",    "fb = 0",       "value = 26", "range = 16", "ref = 1",    "arx = 1",    "ary = 1",  "thr = 1",
        "nr = 0",      "kfb = 40",     "bfr = 30",   "vbr = 60",   "minqp = 10", "maxqp = 51", "qps = 4",  "sct = 40",
        "mingop = 25", "maxgop = 250", "muxer = 0"};
    std::string expected;
    for (const char* line : lines) expected += std::string(expected.empty() ? "" : "\r\n") + line;
    EXPECT_EQ(builtin_default_text(), expected);
    EXPECT_EQ(builtin_default_text().size(), 403u);
}

TEST(SettingsModel, EmptyFileGivesEveryFallback) {
    Loaded l("");
    const std::pair<int, int> states[] = {
        {ctl::UpdateStats, 1},      {ctl::Transform8x8, 0}, {ctl::Mode, 0},        {ctl::Trellis, 0},
        {ctl::DirectMode, 0},       {ctl::AudioEncoder, 0}, {ctl::Muxer, 0},       {ctl::DeblockStrength, 6},
        {ctl::DeblockThreshold, 6}, {ctl::FastPSkip, 1},    {ctl::DctDecimate, 1}, {ctl::LogEnabled, 1},
        {ctl::SizeMode, 0},         {ctl::BiasSlider, 100},
    };
    for (const auto& [id, value] : states) EXPECT_EQ(l.state(id), value) << id;
    const std::pair<int, const char*> texts[] = {
        {ctl::QuantMatrix, "flat"},  {ctl::AudioBitrate, "64000"},
        {ctl::StrengthValue, "0"},   {ctl::ThresholdValue, "0"},
        {ctl::Value, "0"},           {ctl::MinQp, "1"},
        {ctl::MaxQp, "1"},           {ctl::MaxQpStep, "1"},
        {ctl::VbvInitBuffer, "0.9"}, {ctl::BitrateVariance, "100"},
        {ctl::FirstPassCrf, "16"},   {ctl::MaxSize, "110"},
        {ctl::MinSize, "90"},        {ctl::Bias, "0"},
        {ctl::AudioUnit, "Kbps"},    {ctl::ValueLabel, "Average Bitrate"},
    };
    for (const auto& [id, value] : texts) EXPECT_EQ(l.text(id), value) << id;
}

TEST(SettingsModel, LoadFollowsTheRulesOfEachSetting) {
    struct Case {
        const char* file;
        int control;
        const char* expected_text;  // nullptr: check the state instead
        int expected_state;
    };
    const Case cases[] = {
        {"MODE = 2", ctl::Mode, nullptr, 2},
        {"mode = 99", ctl::Mode, nullptr, -1},
        {"mode = 99", ctl::ValueLabel, "Average Bitrate", 0},
        {"mode = -1", ctl::Mode, nullptr, -1},
        {"tre = 3", ctl::Trellis, nullptr, -1},
        {"tre = 2", ctl::Trellis, nullptr, 2},
        {"a1 = 7", ctl::Transform8x8, nullptr, 1},
        {"a1 = abc", ctl::Transform8x8, nullptr, 0},
        {"a1 = 1 and more", ctl::Transform8x8, nullptr, 1},
        {"fa = 5\r\ndeb-a = 6", ctl::StrengthValue, "0", 0},
        {"deb-a = 10", ctl::StrengthValue, "4", 0},
        {"deb-a = 40", ctl::DeblockStrength, nullptr, 12},
        {"fb = 3\r\ndeb-b = 0", ctl::ThresholdValue, "-6", 0},
        {"bias = 30", ctl::BiasSlider, nullptr, 130},
        {"bias = 30", ctl::Bias, "30", 0},
        {"bias = 150", ctl::BiasSlider, nullptr, 200},
        {"bias = 150", ctl::Bias, "100", 0},
        {"bias = -99", ctl::BiasSlider, nullptr, 1},
        {"bias = -150", ctl::Bias, "-100", 0},
        {"bias = -150", ctl::BiasSlider, nullptr, 0},
        {"range = -5", ctl::MeRange, "0", 0},
        {"range = 65", ctl::MeRange, "64", 0},
        {"kfb = 901", ctl::KeyframeBoost, "900", 0},
        {"kfb = -1", ctl::KeyframeBoost, "0", 0},
        {"kfb = 40x", ctl::KeyframeBoost, "40x", 0},
        {"bfr = 1000", ctl::BFrameReduction, "900", 0},
        {"vbr = 101", ctl::QuantCompression, "100", 0},
        {"minqp = 0", ctl::MinQp, "1", 0},
        {"maxqp = 52", ctl::MaxQp, "51", 0},
        {"qps = 51", ctl::MaxQpStep, "50", 0},
        {"ref = 17", ctl::MaxRefs, "16", 0},
        {"thr = 5", ctl::Threads, "4", 0},
        {"sct = 101", ctl::SceneCut, "100", 0},
        {"vbs = 240001", ctl::VbvBufferSize, "240000", 0},
        {"vmb = 8001", ctl::VbvMaxRate, "8000", 0},
        {"vib = 1.5", ctl::VbvInitBuffer, "1", 0},
        {"vib = -0.5", ctl::VbvInitBuffer, "0", 0},
        {"vib = 0.25", ctl::VbvInitBuffer, "0.25", 0},
        {"bv = 5", ctl::BitrateVariance, "10", 0},
        {"bv = 1001", ctl::BitrateVariance, "1000", 0},
        {"mb = 20", ctl::MaxBFrames, "16", 0},
        {"value = 99999", ctl::Value, "99999", 0},
        {"value =   26 \t", ctl::Value, "26", 0},
        {"ae = 5", ctl::AudioUnit, "Quality", 0},
        {"ae = 6", ctl::AudioUnit, "Quality", 0},
        {"ae = 1", ctl::AudioUnit, "Kbps", 0},
        {"mode = 13", ctl::ValueLabel, "Average Bitrate", 0},
        {"mode = 0\r\nsizemode = 1", ctl::ValueLabel, "Size in MB", 0},
        {"mode = 1", ctl::ValueLabel, "Quantizer", 0},
        {"cqm = jvt", ctl::QuantMatrix, "jvt", 0},
        {"cqm = \"C:\\my matrices\\q.cfg\"", ctl::QuantMatrix, "\"C:\\my matrices\\q.cfg\"", 0},
        {"[main]\r\nvalue = 30", ctl::Value, "0", 0},
    };
    for (const Case& c : cases) {
        Loaded l(c.file);
        if (c.expected_text)
            EXPECT_EQ(l.text(c.control), c.expected_text) << c.file;
        else
            EXPECT_EQ(l.state(c.control), c.expected_state) << c.file;
    }
}

TEST(SettingsModel, LoadBringsDependentControlsIntoLine) {
    struct Case {
        const char* file;
        int control;
        bool enabled;
    };
    const Case cases[] = {
        {"a1 = 1", ctl::Intra8x8, true},       {"a1 = 0", ctl::Intra8x8, false},
        {"a2 = 1", ctl::PSearch4x4, true},     {"a2 = 0", ctl::PSearch4x4, false},
        {"ref = 2", ctl::MixedRefs, true},     {"ref = 1", ctl::MixedRefs, false},
        {"ref = 40", ctl::MixedRefs, true},    {"m = 4", ctl::ChromaMe, true},
        {"m = 3", ctl::ChromaMe, false},       {"ms = 2", ctl::MeRange, true},
        {"ms = 1", ctl::MeRange, false},       {"cab = 1", ctl::TrellisLabel, true},
        {"cab = 0", ctl::TrellisLabel, false}, {"aud = 1", ctl::AudioBitrate, true},
        {"aud = 0", ctl::AudioBitrate, false}, {"aud = 2", ctl::AudioBitrate, true},
        {"crelog = 0", ctl::LogFile, false},   {"crelog = 1", ctl::LogBrowse, true},
        {"mb = 0", ctl::BSearch8x8, false},    {"mb = 1", ctl::WeightedB, false},
        {"mb = 2", ctl::WeightedB, true},      {"mode = 1", ctl::MinQp, false},
        {"mode = 2", ctl::MinQp, true},        {"mode = 3", ctl::StatsFile, true},
        {"mode = 0", ctl::StatsFile, false},
    };
    for (const Case& c : cases) EXPECT_EQ(Loaded(c.file).t.ui.enabled(c.control), c.enabled) << c.file;

    EXPECT_TRUE(Loaded("mode = 10").t.ui.visible(ctl::FirstPassCrf));
    EXPECT_TRUE(Loaded("mode = 13").t.ui.visible(ctl::MinSize));
    EXPECT_FALSE(Loaded("mode = 1").t.ui.visible(ctl::SizeMode));
}

TEST(SettingsModel, EveryKeyReachesItsControl) {
    // Derived from the track bars whatever the file says; tested above.
    const std::set<std::string_view> derived = {"fa", "fb"};
    const std::pair<std::string_view, const char*> special[] = {
        {"cqm", "jvt"}, {"vib", "0.5"}, {"bv", "30"}, {"avsinc", "grain"}};
    for (const Setting& s : settings_table()) {
        if (derived.count(s.key)) continue;
        test::TestApp t;
        t.ui.append_items(ctl::Template, {"none", "grain"});
        const ControlSpec* row = find_control(s.control);
        ASSERT_NE(row, nullptr) << s.key;
        std::string value = "3";
        for (const auto& [key, v] : special)
            if (key == s.key) value = v;
        if (row->kind == ControlKind::CheckBox) value = s.fallback == "0" ? "1" : "0";
        if (row->kind == ControlKind::ListCombo && s.kind == SettingKind::State) value = "1";
        t.platform.files[kFile] = std::string(s.key) + " = " + value;
        load_settings(t.ctx, kFile);
        if (s.kind == SettingKind::State)
            EXPECT_EQ(t.ui.state(s.control), std::stoi(value)) << s.key;
        else
            EXPECT_EQ(t.ui.text(s.control), value) << s.key;
    }
}

TEST(SettingsModel, CustomMatrixAsksForTheFileDuringTheLoad) {
    Loaded cancelled("cqm = custom...");
    EXPECT_EQ(cancelled.text(ctl::QuantMatrix), "flat");
    ASSERT_EQ(cancelled.t.platform.asked.size(), 1u);
    EXPECT_EQ(cancelled.t.platform.asked[0].kind, "open");
    EXPECT_EQ(cancelled.t.platform.asked[0].title, "Select a matrix file");
    EXPECT_EQ(cancelled.t.platform.asked[0].filter, "*.*|*.*");

    test::TestApp t;
    t.platform.files[kFile] = "cqm = custom...";
    t.platform.open_answers.push_back(std::string("D:\\m\\q.cfg"));
    load_settings(t.ctx, kFile);
    EXPECT_EQ(t.ui.text(ctl::QuantMatrix), "\"D:\\m\\q.cfg\"");

    EXPECT_TRUE(Loaded("cqm = flat").t.platform.asked.empty());
}

TEST(SettingsModel, TemplateIsSelectedByName) {
    test::TestApp t;
    t.ui.append_items(ctl::Template, {"grain", "sharp"});
    t.platform.files[kFile] = "avsinc = sharp";
    load_settings(t.ctx, kFile);
    EXPECT_EQ(t.ui.text(ctl::Template), "sharp");

    t.platform.files[kFile] = "avsinc = none here";
    load_settings(t.ctx, kFile);
    EXPECT_EQ(t.ui.text(ctl::Template), "sharp") << "a name that is not listed changes nothing";
}

TEST(SettingsModel, LoadedBatchSyntaxFallsBackWhileTypedTextStays) {
    const std::pair<const char*, const char*> unsafe[] = {
        {"value = 26 & del /q *.*", "value"},
        {"aub = 64|calc", "aub"},
        {"mb = 2>x", "mb"},
        {"nr = 0<in", "nr"},
        {"thr = 1^&x", "thr"},
        {"arx = %COMSPEC%", "arx"},
        {"cqm = jvt & calc", "cqm"},
        {"cqm = a\"b", "cqm"},
        {"cqm = \"a\" & \"b\"", "cqm"},
        {"maxsize = 110\" & calc & \"", "maxsize"},
        {"auto1pcrf = 16 | x", "auto1pcrf"},
    };
    for (const auto& [file, key] : unsafe) {
        const Setting* s = find_setting(key);
        ASSERT_NE(s, nullptr) << key;
        Loaded l(file);
        EXPECT_EQ(l.text(s->control), std::string(s->fallback)) << file;
    }

    // The matrix may name a quoted file whose path holds such characters.
    const char* path = "\"C:\\R&B 100%\\a^b.cfg\"";
    EXPECT_EQ(Loaded(std::string("cqm = ") + path).text(ctl::QuantMatrix), path);

    test::TestApp t;
    t.ui.append_items(ctl::Template, {"a&b"});
    t.platform.files[kFile] = "avsinc = a&b";
    load_settings(t.ctx, kFile);
    EXPECT_EQ(t.ui.state(ctl::Template), -1);

    // What the user types is theirs.
    t.paste(ctl::QuantMatrix, "x & y");
    EXPECT_EQ(t.ui.text(ctl::QuantMatrix), "x & y");
}

TEST(SettingsModel, SaveWritesEveryKeyInTableOrder) {
    test::TestApp t;
    t.ui.append_items(ctl::Template, {"grain"});
    t.ui.set_state(ctl::Template, 0);
    t.ui.set_state(ctl::Mode, 6);
    t.ui.set_text(ctl::QuantMatrix, "\"C:\\q.cfg\"");
    save_settings(t.ctx, kFile);

    const std::string& saved = t.platform.files.at(kFile);
    std::vector<std::string> lines;
    for (size_t pos = 0; pos < saved.size();) {
        const size_t end = saved.find("\r\n", pos);
        ASSERT_NE(end, std::string::npos) << "every line ends with CR LF";
        lines.push_back(saved.substr(pos, end - pos));
        pos = end + 2;
    }
    const auto table = settings_table();
    ASSERT_EQ(lines.size(), table.size());
    for (size_t i = 0; i < lines.size(); ++i) EXPECT_EQ(lines[i].substr(0, lines[i].find(" = ")), table[i].key);
    EXPECT_EQ(lines[0], "upstat = 1");
    EXPECT_EQ(lines[15], "mode = 6");
    EXPECT_EQ(lines[29], "cqm = \"C:\\q.cfg\"");
    EXPECT_EQ(lines[56], "avsinc = grain");
    EXPECT_EQ(t.platform.files.count(kFile + ".new"), 0u);
}

TEST(SettingsModel, SaveAfterLoadReproducesTheSettings) {
    test::TestApp t;
    t.ui.append_items(ctl::Template, {"grain"});
    apply_builtin_defaults(t.ctx);
    t.ui.set_state(ctl::Template, 0);
    t.ui.set_text(ctl::Value, "1200");
    t.ui.set_state(ctl::Mode, 7);
    save_settings(t.ctx, kFile);
    const std::string first = t.platform.files.at(kFile);

    test::TestApp u;
    u.ui.append_items(ctl::Template, {"grain"});
    u.platform.files[kFile] = first;
    load_settings(u.ctx, kFile);
    save_settings(u.ctx, "C:\\work\\again.ini");
    EXPECT_EQ(u.platform.files.at("C:\\work\\again.ini"), first);
}

TEST(SettingsModel, SaveCorrectsWhatTheLoadDerived) {
    Loaded l(" bias = 150 \r\nfa = 5\r\ntre = 9\r\na1 = 4\r\nkfb = 999\r\naub =  96 \r\n");
    save_settings(l.t.ctx, "C:\\out.ini");
    const std::string& saved = l.t.platform.files.at("C:\\out.ini");
    for (const char* line :
         {"bias = 100\r\n", "fa = 0\r\n", "tre = -1\r\n", "a1 = 1\r\n", "kfb = 900\r\n", "aub = 96\r\n"})
        EXPECT_NE(saved.find(line), std::string::npos) << line;
}

TEST(SettingsModel, FailedSaveKeepsTheOldFile) {
    struct Case {
        const char* what;
        void (*fault)(test::FakePlatform&);
    };
    const Case cases[] = {
        {"write stops part way", [](test::FakePlatform& p) { p.short_write = 10; }},
        {"folder read-only", [](test::FakePlatform& p) { p.unwritable.insert("C:\\work\\"); }},
        {"file read-only", [](test::FakePlatform& p) { p.unwritable.insert(kFile); }},
    };
    for (const Case& c : cases) {
        test::TestApp t;
        t.platform.files[kFile] = "value = 55\r\n";
        c.fault(t.platform);
        save_settings(t.ctx, kFile);
        EXPECT_EQ(t.platform.files.at(kFile), "value = 55\r\n") << c.what;
        EXPECT_EQ(t.platform.files.size(), 1u) << c.what << ": no partial file stays behind";
    }
}

TEST(SettingsModel, LoadLeavesTheFileAsItWas) {
    test::TestApp t;
    const std::string content = "\xEF\xBB\xBF; mine\r\nmode = 3\nodd line\r[g]\r\n";
    t.platform.files[kFile] = content;
    load_settings(t.ctx, kFile);
    EXPECT_EQ(t.platform.files.at(kFile), content);
    EXPECT_EQ(t.platform.files.size(), 1u);
    EXPECT_EQ(t.ui.state(ctl::Mode), 3);
}

void expect_builtin_defaults(const test::TestApp& t) {
    EXPECT_EQ(t.ui.state(ctl::Mode), 1);
    EXPECT_EQ(t.ui.text(ctl::Value), "26");
    EXPECT_EQ(t.ui.text(ctl::AudioBitrate), "64");
    EXPECT_EQ(t.ui.text(ctl::MaxIdr), "250");
    EXPECT_EQ(t.ui.state(ctl::PartitionDecision), 4);
    EXPECT_EQ(t.ui.state(ctl::AudioEncoder), 1);
    // Keys the defaults lack take their fallbacks.
    EXPECT_EQ(t.ui.state(ctl::DeblockStrength), 6);
    EXPECT_EQ(t.ui.text(ctl::VbvInitBuffer), "0.9");
    EXPECT_EQ(t.ui.text(ctl::MaxSize), "110");
    EXPECT_EQ(t.ui.state(ctl::LogEnabled), 1);
}

TEST(SettingsModel, DefaultsGoThroughATemporaryFile) {
    test::TestApp t;
    t.ui.set_state(ctl::Mode, 5);
    t.ui.set_text(ctl::Value, "999");
    EXPECT_TRUE(t.click(ctl::LoadDefault));
    expect_builtin_defaults(t);
    EXPECT_EQ(t.platform.files.count("C:\\prog\\default.ini"), 0u);
    EXPECT_TRUE(t.platform.files.empty());
}

TEST(SettingsModel, MissingFileGivesTheDefaults) {
    test::TestApp t;
    load_settings(t.ctx, "C:\\nowhere\\gone.ini");
    expect_builtin_defaults(t);
    EXPECT_TRUE(t.platform.files.empty());
}

TEST(SettingsModel, DefaultsApplyWhenTheProgramFolderIsReadOnly) {
    test::TestApp t;
    t.platform.unwritable.insert("C:\\prog\\");
    load_settings(t.ctx, "missing.ini");
    expect_builtin_defaults(t);
    EXPECT_TRUE(t.platform.files.empty());
}

TEST(SettingsModel, DefaultsApplyWhateverGoesWrongWithTheirFile) {
    const std::string kDefaultIni = "C:\\prog\\default.ini";
    struct Case {
        const char* what;
        void (*fault)(test::FaultyPlatform&, const std::string& path);
        const char* left;  // what stays at default.ini; nullptr: no file
    };
    const Case cases[] = {
        {"program folder read-only", [](test::FaultyPlatform& p, const std::string&) { p.unwritable.insert(p.folder); },
         nullptr},
        {"write stops part way", [](test::FaultyPlatform& p, const std::string&) { p.short_start_write = 100; },
         nullptr},
        {"write stops at once", [](test::FaultyPlatform& p, const std::string&) { p.short_start_write = 0; }, nullptr},
        {"written file cannot be read back",
         [](test::FaultyPlatform& p, const std::string& path) { p.unreadable.insert(path); }, nullptr},
        {"another program's file that cannot be written",
         [](test::FaultyPlatform& p, const std::string& path) {
             p.files[path] = "mode = 7\r\n";
             p.unwritable.insert(path);
         },
         "mode = 7\r\n"},
    };
    for (const Case& c : cases) {
        test::TestApp t;
        test::FaultyPlatform platform;
        c.fault(platform, kDefaultIni);
        Context ctx{t.ui, platform, platform.folder, t.session};
        t.ui.set_state(ctl::Mode, 5);
        load_settings(ctx, "missing.ini");
        SCOPED_TRACE(c.what);
        expect_builtin_defaults(t);
        if (c.left)
            EXPECT_EQ(platform.files[kDefaultIni], c.left);
        else
            EXPECT_EQ(platform.files.count(kDefaultIni), 0u);
    }
}

TEST(SettingsModel, UsersDefaultIniIsOverwrittenFromItsStartAndDeleted) {
    test::TestApp t;
    // Longer than the defaults: the tail stays behind the written text while it loads.
    t.platform.files["C:\\prog\\default.ini"] = std::string(403, 'x') + "\r\nbv = 200\r\n";
    t.click(ctl::LoadDefault);
    expect_builtin_defaults(t);
    EXPECT_EQ(t.ui.text(ctl::BitrateVariance), "200");
    EXPECT_EQ(t.platform.files.count("C:\\prog\\default.ini"), 0u);
}

}  // namespace
}  // namespace tav
