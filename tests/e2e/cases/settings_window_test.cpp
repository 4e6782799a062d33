// Settings files through the real window: the main settings file read from
// the current directory and written beside the program on leaving, the
// built-in defaults, presets saved and loaded with S and L, the refreshed
// lists, and settings files that try to smuggle batch commands into jobs.
#include "check.h"
#include "driver.h"
#include "e2esettings_support.h"
#include "standin_log.h"

namespace tav::e2e {
namespace {

using namespace settings_support;

constexpr int kBitrateTab = 0, kRateTab = 1, kFramesTab = 2, kMoreTab = 3;
constexpr int kYes = 6, kNo = 7;

// Controls that read back as these after a load.
struct Expected {
    std::vector<std::pair<int, int>> checks;
    std::vector<std::pair<int, int>> selections;
    std::vector<std::pair<int, int>> sliders;
    std::vector<std::pair<int, std::string>> texts;
    std::vector<int> enabled, disabled, shown, hidden;
};

void check_controls(const Program& program, const Expected& want) {
    for (const auto& [id, state] : want.checks) {
        CONTEXT("check box " + std::to_string(id));
        CHECK_EQ(program.checked(id), state);
    }
    for (const auto& [id, index] : want.selections) {
        CONTEXT("list " + std::to_string(id));
        CHECK_EQ(program.selection(id), index);
    }
    for (const auto& [id, position] : want.sliders) {
        CONTEXT("track bar " + std::to_string(id));
        CHECK_EQ(program.slider(id), position);
    }
    for (const auto& [id, text] : want.texts) {
        CONTEXT("control " + std::to_string(id));
        CHECK_EQ(program.text(id), text);
    }
    for (const auto& [ids, on] : {std::pair{&want.enabled, true}, {&want.disabled, false}}) {
        for (int id : *ids) {
            CONTEXT("enabled state of " + std::to_string(id));
            CHECK_EQ(program.enabled(id), on);
        }
    }
    for (const auto& [ids, on] : {std::pair{&want.shown, true}, {&want.hidden, false}}) {
        for (int id : *ids) {
            CONTEXT("shown state of " + std::to_string(id));
            CHECK_EQ(program.shown(id), on);
        }
    }
}

// Every control as an empty settings file leaves it: each key's fallback,
// then the limits and derived labels.
const Expected& fallbacks() {
    static const Expected want{
        .checks = {{28, 1}, {6, 0},  {7, 0},   {8, 0},   {9, 0},   {10, 0},  {11, 0},  {72, 0},  {63, 0},  {76, 0},
                   {17, 0}, {18, 0}, {19, 0},  {20, 0},  {108, 0}, {113, 0}, {119, 1}, {120, 1}, {128, 1}, {125, 0}},
        .selections = {{130, 0}, {23, 0}, {83, 0}, {54, 0}, {55, 0}, {111, 0}, {112, 0}},
        .sliders = {{79, 6}, {80, 6}, {14, 100}},
        .texts = {{124, "flat"}, {109, "64000"}, {81, "0"},  {15, "0"},   {16, "0"},    {82, "0"},   {25, "0"},
                  {60, "0"},     {61, "0"},     {67, "0"},   {68, "0"},   {71, "0"},    {75, "0"},   {38, "0"},
                  {39, "0"},     {40, "0"},     {44, "1"},   {45, "1"},   {46, "1"},    {131, "0"},  {132, "0"},
                  {133, "0.9"},  {134, "100"},  {50, "0"},   {51, "0"},   {52, "0"},    {121, "16"}, {141, "110"},
                  {143, "90"},   {24, "Average Bitrate"},    {88, "Range 0~8000"},      {110, "Kbps"}},
        // Nothing checked or chosen: the dependants of the boxes are greyed.
        .enabled = {40, 44, 45, 46, 131, 132, 133, 134, 126, 127},
        .disabled = {10, 9, 63, 62, 60, 73, 109, 28, 30, 31, 8, 83, 14, 16, 17, 18, 19, 20},
        .shown = {125, 22},
        .hidden = {121, 122, 141, 143},
    };
    return want;
}

// The built-in defaults as the window shows them.
const Expected& defaults() {
    static const Expected want{
        .checks = {{28, 1}, {6, 1},  {7, 1},   {8, 1},   {9, 0},   {10, 1},  {11, 1},  {72, 1},  {63, 0},  {76, 1},
                   {17, 0}, {18, 0}, {19, 1},  {20, 1},  {108, 0}, {113, 0}, {119, 1}, {120, 1}, {128, 1}, {125, 0}},
        .selections = {{130, 0}, {23, 1}, {83, 0}, {54, 4}, {55, 1}, {111, 1}, {112, 0}},
        .sliders = {{79, 6}, {80, 6}, {14, 100}},
        .texts = {{124, "flat"}, {109, "64"}, {81, "0"},   {15, "2"},   {16, "0"},    {82, "0"},   {25, "26"},
                  {60, "16"},    {61, "1"},   {67, "1"},   {68, "1"},   {71, "1"},    {75, "0"},   {38, "40"},
                  {39, "30"},    {40, "60"},  {44, "10"},  {45, "51"},  {46, "4"},    {131, "0"},  {132, "0"},
                  {133, "0.9"},  {134, "100"}, {50, "40"}, {51, "25"},  {52, "250"},  {121, "16"}, {141, "110"},
                  {143, "90"},   {24, "Quantizer"},        {88, "Range 0~51"},        {110, "Kbps"}},
        .enabled = {10, 9, 62, 73, 126, 127, 8, 83, 14, 16, 17, 18, 19, 20},
        .disabled = {40, 44, 45, 46, 131, 132, 133, 134, 28, 30, 31, 63, 60, 109},
        .shown = {22},
        .hidden = {125, 121, 122, 141, 143},
    };
    return want;
}

// Everything differs from the defaults; several values lie beyond their
// limits, and the file is written the way people edit such files by hand.
constexpr std::string_view kForeignSettings =
    "; settings carried over from another machine\r\n"
    "upstat = 0\r\na1 = 0\r\na2 = 1\r\na3 = 0\r\na4 = 1\r\na5 = 1\r\na6 = 0\r\ncab = 0\r\nmxref = 1\r\n"
    "tre = 2\r\nfil = 0\r\nbref = 1\r\nbme = 1\r\nba = 0\r\nbwb = 0\r\n"
    "MODE = 13\r\n"
    "dm = 2\r\nm = 5\r\nms = 2\r\naud = 1\r\nae = 5\r\napin = 1\r\nmuxer = 2\r\n"
    "deb-a=9\r\ndeb-b\t=\t2\r\nfastpsk = 0\r\ndctd = 0\r\ncrelog = 0\r\nsizemode = 1\r\n"
    "cqm = jvt\r\naub =\t0.5\r\nfa = 5\r\nmb = 3\r\nbias = 150\r\nfb = 7\r\nvalue = 700\r\n"
    "range = 100\r\nref = 20\r\narx = 16\r\nary = 11\r\nthr = 9\r\nnr = 100\r\nkfb = 1000\r\n"
    "bfr = -3\r\nvbr = 50\r\nminqp = 0\r\nmaxqp = 60\r\nqps = 7\r\nvbs = 300000\r\nvmb = 5000\r\n"
    "vib = 1.5\r\nbv = 5\r\nsct = 150\r\nmingop = 12\r\nmaxgop = 300\r\nauto1pcrf = 18\r\n"
    "avsinc = grain\r\nmaxsize = 700\r\nminsize = 650\r\n";

// The foreign settings as saved again: limits applied, labels derived.
const Pairs& foreign_saved() {
    static const Pairs pairs = with(
        saved_defaults(),
        {{"upstat", "0"},   {"a1", "0"},       {"a2", "1"},        {"a3", "0"},       {"a4", "1"},
         {"a5", "1"},       {"a6", "0"},       {"cab", "0"},       {"mxref", "1"},    {"tre", "2"},
         {"fil", "0"},      {"bref", "1"},     {"bme", "1"},       {"ba", "0"},       {"bwb", "0"},
         {"mode", "13"},    {"dm", "2"},       {"m", "5"},         {"ms", "2"},       {"aud", "1"},
         {"ae", "5"},       {"apin", "1"},     {"muxer", "2"},     {"deb-a", "9"},    {"deb-b", "2"},
         {"fastpsk", "0"},  {"dctd", "0"},     {"crelog", "0"},    {"sizemode", "1"}, {"cqm", "jvt"},
         {"aub", "0.5"},    {"fa", "3"},       {"mb", "3"},        {"bias", "100"},   {"fb", "-4"},
         {"value", "700"},  {"range", "64"},   {"ref", "16"},      {"arx", "16"},     {"ary", "11"},
         {"thr", "4"},      {"nr", "100"},     {"kfb", "900"},     {"bfr", "0"},      {"vbr", "50"},
         {"minqp", "1"},    {"maxqp", "51"},   {"qps", "7"},       {"vbs", "240000"}, {"vmb", "5000"},
         {"vib", "1"},      {"bv", "10"},      {"sct", "100"},     {"mingop", "12"},  {"maxgop", "300"},
         {"auto1pcrf", "18"}, {"avsinc", "grain"}, {"maxsize", "700"}, {"minsize", "650"}});
    return pairs;
}


// The foreign settings as the window must show them after the load.
const Expected& foreign_loaded() {
    static const Expected want{
        .checks = {{28, 0}, {6, 0},  {7, 1},   {8, 0},   {9, 1},   {10, 1},  {11, 0},  {72, 0},  {63, 1},  {76, 0},
                   {17, 1}, {18, 1}, {19, 0},  {20, 0},  {108, 1}, {113, 1}, {119, 0}, {120, 0}, {128, 0}, {125, 1}},
        .selections = {{23, 13}, {130, 2}, {83, 2}, {54, 5}, {55, 2}, {111, 5}, {112, 2}},
        .sliders = {{79, 9}, {80, 2}, {14, 200}},
        .texts = {{124, "jvt"},     {109, "0.5"},   {110, "Quality"}, {81, "3"},    {82, "-4"},  {15, "3"},
                  {16, "100"},      {25, "700"},    {24, "Size in MB"}, {88, ""},   {60, "64"},  {61, "16"},
                  {67, "16"},       {68, "11"},     {71, "4"},        {75, "100"},  {38, "900"}, {39, "0"},
                  {40, "50"},       {44, "1"},      {45, "51"},       {46, "7"},    {131, "240000"},
                  {132, "5000"},    {133, "1"},     {134, "10"},      {50, "100"},  {51, "12"},  {52, "300"},
                  {121, "18"},      {141, "700"},   {143, "650"},     {129, "grain"}},
        // 8x8 Transform off greys 8x8 Intra; CABAC off greys the Trellis
        // label; 16 references allow Mixed Refs; mode 13 wants statistics.
        .enabled = {9, 63, 62, 60, 109, 28, 30, 31, 8, 83, 14, 16, 17, 18, 19, 20, 40, 44, 131, 134},
        .disabled = {10, 73, 126, 127},
        .shown = {125, 121, 122, 141, 143},
        .hidden = {22},
    };
    return want;
}

// Program folder files shared by the cases that load the foreign settings.
std::vector<std::pair<std::string, std::string>> templates() {
    return {{"avsinc\\clean.avs", "# clean\r\n"}, {"avsinc\\grain.avs", "# grain\r\n"}};
}

TAV_CASE(settings_load_from_the_current_directory_and_are_kept_beside_the_program) {
    OtherFolder cwd;
    write_bytes(cwd.path() / "tavrelion.ini", kForeignSettings);
    Program program({.working_directory = cwd.path(), .files = templates()});
    check_controls(program, foreign_loaded());
    // Loading wrote nothing anywhere.
    CHECK(!fs::exists(program.folder() / "tavrelion.ini"));
    CHECK(!fs::exists(program.folder() / "default.ini"));

    // The user changes a few settings, each through its own kind of control.
    program.select_tab(kMoreTab);
    program.click(119);      // Fast P Skip on
    program.select(55, 1);   // Hexagonal Search: the Range box greys
    CHECK(!program.enabled(60));
    program.select(111, 0);  // CT AAC
    CHECK_EQ(program.text(110), "Kbps");
    program.select_tab(kRateTab);
    program.paste(44, "20");
    program.select_tab(kFramesTab);
    program.slide(14, 120);
    CHECK_EQ(program.text(16), "20");
    program.select_tab(kBitrateTab);
    program.click(128);      // log file on
    CHECK(program.enabled(126));
    CHECK_EQ(program.close(), 0u);

    const Pairs want = with(foreign_saved(), {{"ms", "1"}, {"ae", "0"}, {"fastpsk", "1"}, {"crelog", "1"},
                                              {"bias", "20"}, {"minqp", "20"}});
    CHECK_EQ(read_bytes(program.folder() / "tavrelion.ini"), settings_text(want));
    CHECK_EQ(read_bytes(cwd.path() / "tavrelion.ini"), kForeignSettings);
    // No temporary or half-written file stays behind.
    CHECK_EQ(files_in(program.folder()), (std::vector<std::string>{"tavrelion.exe", "tavrelion.ini"}));
    CHECK_EQ(files_in(cwd.path()), std::vector<std::string>{"tavrelion.ini"});
}

TAV_CASE(cancel_saves_the_settings_exactly_as_the_close_box_does) {
    // No settings file anywhere: the built-in defaults, then a few changes.
    const Pairs want = with(saved_defaults(), {{"cab", "0"}, {"tre", "1"}, {"mode", "0"}, {"value", "1500"}});
    for (const bool by_cancel : {false, true}) {
        CONTEXT(by_cancel ? "Cancel" : "close box");
        Program program;
        check_controls(program, defaults());
        program.select_tab(kMoreTab);
        program.click(72);
        CHECK(!program.enabled(73));
        program.select(130, 1);
        program.select_tab(kBitrateTab);
        program.select(23, 0);
        program.paste(25, "1500");
        if (by_cancel) {
            program.click_async(5);
            CHECK_EQ(program.wait_exit(), 0u);
        } else {
            CHECK_EQ(program.close(), 0u);
        }
        CHECK_EQ(read_bytes(program.folder() / "tavrelion.ini"), settings_text(want));
        CHECK_EQ(files_in(program.folder()), (std::vector<std::string>{"tavrelion.exe", "tavrelion.ini"}));
    }
}

TAV_CASE(load_default_restores_the_built_in_defaults_and_leaves_no_default_ini) {
    OtherFolder cwd;
    write_bytes(cwd.path() / "tavrelion.ini", kForeignSettings);
    // A default.ini of the user's, longer than the built-in text.
    std::string notes;
    for (int i = 0; i < 60; ++i) notes += "; my notes\r\nmode = 7\r\n";
    auto files = templates();
    files.emplace_back("default.ini", notes);
    Program program({.working_directory = cwd.path(), .files = files});
    check_controls(program, foreign_loaded());
    CHECK(fs::exists(program.folder() / "default.ini"));

    program.click(3);
    check_controls(program, defaults());
    CHECK(!fs::exists(program.folder() / "default.ini"));
    // The template stays selected: the defaults name none.
    CHECK_EQ(program.text(129), "grain");

    // With default.ini held by another program the defaults still apply,
    // and the other program's file is left alone.
    program.select_tab(kFramesTab);
    program.paste(15, "5");
    program.select_tab(kBitrateTab);
    program.select(23, 7);
    const fs::path default_file = program.folder() / "default.ini";
    write_bytes(default_file, notes);
    HANDLE held = CreateFileA(default_file.string().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    REQUIRE(held != INVALID_HANDLE_VALUE);
    program.click(3);
    CloseHandle(held);
    check_controls(program, defaults());
    CHECK_EQ(read_bytes(default_file), notes);
    fs::remove(default_file);
    CHECK_EQ(program.close(), 0u);
    CHECK_EQ(read_bytes(program.folder() / "tavrelion.ini"), settings_text(with(saved_defaults(), {{"avsinc", "grain"}})));
}

// The files a preset folder starts with in the preset cases: a name with two
// dots, a plain one, a file of another kind and a folder that looks like a
// preset.
std::vector<std::pair<std::string, std::string>> preset_folder() {
    return {{"configs\\a.b.ini", "mode = 2\r\n"},
            {"configs\\old.ini", "mode = 3\r\n"},
            {"configs\\notes.txt", "mode = 4\r\n"},
            {"configs\\sub.ini\\inside.ini", "mode = 5\r\n"}};
}

// Presses S, checks the box and answers it.
void save_preset(Program& program, int answer) {
    program.click_async(105);
    HWND box = program.wait_dialog();
    CHECK_EQ(window_text(box), "Save");
    CHECK_EQ(Program::dialog_text(box), "Are you sure?");
    Program::press(box, answer);
    program.settle();
}

TAV_CASE(save_preset_asks_and_refills_the_list_after_yes_and_no) {
    Program program({.working_directory = {}, .files = preset_folder()});
    const fs::path configs = program.folder() / "configs";
    CHECK_EQ(sorted(program.items(115)), (std::vector<std::string>{"a.b", "old"}));

    // Yes with a new name: the preset holds every setting and joins the list.
    program.select(23, 6);
    program.paste(115, "mine");
    save_preset(program, kYes);
    CHECK_EQ(read_bytes(configs / "mine.ini"), settings_text(with(saved_defaults(), {{"mode", "6"}})));
    CHECK_EQ(sorted(program.items(115)), (std::vector<std::string>{"a.b", "mine", "old"}));
    CHECK_EQ(program.text(115), "");

    // No writes nothing, but the list is refilled all the same.
    program.select(23, 4);
    program.paste(115, "other");
    save_preset(program, kNo);
    CHECK(!fs::exists(configs / "other.ini"));
    CHECK_EQ(read_bytes(configs / "mine.ini"), settings_text(with(saved_defaults(), {{"mode", "6"}})));
    CHECK_EQ(sorted(program.items(115)), (std::vector<std::string>{"a.b", "mine", "old"}));
    CHECK_EQ(program.text(115), "");

    // Yes over an existing preset replaces it; Yes with no name saves nothing.
    program.paste(115, "old");
    save_preset(program, kYes);
    CHECK_EQ(read_bytes(configs / "old.ini"), settings_text(with(saved_defaults(), {{"mode", "4"}})));
    save_preset(program, kYes);
    CHECK_EQ(files_in(configs), (std::vector<std::string>{"a.b.ini", "mine.ini", "notes.txt", "old.ini"}));
    CHECK_EQ(program.items(115).size(), 3u);
    CHECK_EQ(program.close(), 0u);
}

TAV_CASE(load_preset_reads_its_file_and_an_unknown_name_gives_the_fallbacks) {
    const std::string fast =
        "mode = 6\r\nminqp = 12\r\nmaxqp = 40\r\nqps = 3\r\nref = 3\r\nmxref = 1\r\nms = 3\r\nrange = 24\r\n"
        "cqm = jvt\r\naud = 1\r\nae = 3\r\nmuxer = 2\r\nmb = 1\r\nvalue = 900\r\n";
    Program program({.working_directory = {}, .files = {{"configs\\fast.ini", fast}}});
    const fs::path configs = program.folder() / "configs";

    program.paste(115, "fast");
    program.click(106);
    check_controls(program, Expected{
                                .checks = {{63, 1}, {108, 1}, {6, 0}, {119, 1}},
                                .selections = {{23, 6}, {55, 3}, {111, 3}, {112, 2}, {54, 0}},
                                .sliders = {},
                                .texts = {{44, "12"}, {45, "40"}, {46, "3"}, {61, "3"}, {60, "24"}, {124, "jvt"},
                                          {110, "Kbps"}, {109, "64000"}, {15, "1"}, {25, "900"},
                                          {24, "Average Bitrate"}},
                                // One B-frame: no B references, no weighting.
                                .enabled = {63, 60, 109, 28, 30, 31, 8, 19, 18},
                                .disabled = {62, 17, 20},
                                .shown = {},
                                .hidden = {},
                            });
    CHECK_EQ(read_bytes(configs / "fast.ini"), fast);

    // An unknown name makes an empty preset and loads it.
    program.paste(115, "nothing");
    program.click(106);
    CHECK(fs::exists(configs / "nothing.ini"));
    CHECK_EQ(read_bytes(configs / "nothing.ini"), "");
    check_controls(program, fallbacks());

    // A preset asking for a custom matrix opens the matrix dialog while it loads.
    write_bytes(configs / "own matrix.ini", "cqm = custom...\r\nmode = 8\r\n");
    program.paste(115, "own matrix");
    program.click_async(106);
    HWND dialog = program.wait_dialog();
    CHECK_EQ(window_text(dialog), "Select a matrix file");
    Program::press(dialog, IDCANCEL);
    program.settle();
    CHECK_EQ(program.text(124), "flat");
    CHECK_EQ(program.selection(23), 8);

    // A name naming a missing subfolder cannot form a file: nothing happens.
    program.select(23, 3);
    program.paste(115, "missing\\x");
    program.click(106);
    CHECK_EQ(program.selection(23), 3);
    CHECK(!fs::exists(configs / "missing"));

    // An empty name loads ".ini", made empty as well.
    program.select(23, 2);
    program.paste(115, "");
    program.click(106);
    CHECK(fs::exists(configs / ".ini"));
    CHECK_EQ(program.selection(23), 0);
    CHECK_EQ(program.close(), 0u);
}

TAV_CASE(refresh_lists_presets_and_templates_and_selects_no_template) {
    OtherFolder cwd;
    write_bytes(cwd.path() / "tavrelion.ini", "avsinc = grain\r\n");
    auto files = templates();
    files.insert(files.end(), {{"avsinc\\readme.txt", "not a template"}, {"configs\\a.b.ini", ""},
                               {"configs\\gone.ini", ""}});
    Program program({.working_directory = cwd.path(), .files = files});
    CHECK_EQ(program.text(129), "grain");
    CHECK_EQ(sorted(program.items(129)), (std::vector<std::string>{"clean", "grain"}));

    // The folders change behind the program's back.
    const fs::path& folder = program.folder();
    write_bytes(folder / "configs" / "new.ini", "");
    write_bytes(folder / "avsinc" / "sharp.avs", "");
    fs::remove(folder / "configs" / "gone.ini");
    program.paste(115, "typed");

    program.click(116);
    CHECK_EQ(sorted(program.items(115)), (std::vector<std::string>{"a.b", "new"}));
    CHECK_EQ(program.text(115), "");
    CHECK_EQ(sorted(program.items(129)), (std::vector<std::string>{"clean", "grain", "sharp"}));
    CHECK_EQ(program.selection(129), -1);
    CHECK_EQ(program.text(129), "");
    CHECK_EQ(program.close(), 0u);
    // With no template selected the saved template is empty.
    const std::string saved = read_bytes(folder / "tavrelion.ini");
    CHECK(saved.find("\r\navsinc = \r\nmaxsize = ") != std::string::npos);
}

// Adds one job for a fixed input and returns the lines it added.
std::vector<std::string> add_job(Program& program) {
    const size_t before = program.items(95).size();
    program.paste(89, "C:\\clips\\in.avs");
    program.paste(90, "C:\\clips\\out.mp4");
    program.click(4);
    std::vector<std::string> lines = program.items(95);
    lines.erase(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(std::min(before, lines.size())));
    return lines;
}

// Commands a settings file tries to smuggle in; the stand-ins of shutdown.exe
// and delay.exe record it if they ever run.
constexpr std::string_view kSmuggled[] = {"shutdown.exe", "delay.exe", "out.txt", "1^", "%PATH%", "< x"};

// No line may carry a command, redirection or variable that the settings
// file brought in.
void check_no_injection(const std::vector<std::string>& lines) {
    REQUIRE(!lines.empty());
    for (const std::string& line : lines) {
        CONTEXT(line);
        for (std::string_view smuggled : kSmuggled) CHECK(line.find(smuggled) == std::string::npos);
    }
}

bool any_line_holds(const std::vector<std::string>& lines, std::string_view text) {
    return std::any_of(lines.begin(), lines.end(), [&](const std::string& l) { return l.find(text) != l.npos; });
}

TAV_CASE(batch_syntax_in_a_settings_file_never_reaches_a_job_line) {
    OtherFolder cwd;
    write_bytes(cwd.path() / "tavrelion.ini",
                "mode = 1\r\nvalue = 26 & shutdown.exe -s\r\ncqm = \"C:\\m&x\\q.cfg\"\r\naub = 64|delay.exe 9\r\n"
                "nr = 7 > out.txt\r\narx = 1^\r\nthr = %PATH%\r\nmb = 2 < x\r\naud = 1\r\n");
    const std::string shared = "mode = 2\r\nvalue = 30 & delay.exe 9\r\ncqm = flat & shutdown.exe\r\nnr = 5\r\n";
    Program program({.working_directory = cwd.path(), .files = {{"configs\\shared.ini", shared}}});

    // Each unsafe text gave way to its key's fallback; the quoted path stays.
    for (const auto& [id, text] : std::initializer_list<std::pair<int, std::string_view>>{
             {25, "0"}, {124, "\"C:\\m&x\\q.cfg\""}, {109, "64000"}, {75, "0"}, {67, "0"}, {71, "0"}, {15, "0"}}) {
        CONTEXT("control " + std::to_string(id));
        CHECK_EQ(program.text(id), text);
    }
    const std::vector<std::string> first = add_job(program);
    check_no_injection(first);
    CHECK(any_line_holds(first, " --cqmfile \"C:\\m&x\\q.cfg\""));

    // The same through a preset from someone else: an unquoted matrix with a
    // command is refused, while the harmless value beside it loads.
    program.paste(115, "shared");
    program.click(106);
    CHECK_EQ(program.text(124), "flat");
    CHECK_EQ(program.text(25), "0");
    CHECK_EQ(program.text(75), "5");
    CHECK_EQ(program.selection(23), 2);
    const std::vector<std::string> second = add_job(program);
    check_no_injection(second);
    CHECK(any_line_holds(second, " --cqm flat"));
    CHECK(any_line_holds(second, " --nr 5"));
    CHECK_EQ(program.close(), 0u);

    // Run both jobs: the encoder gets the matrix path whole, and nothing
    // else the files named runs or gets written.
    std::string batch;
    for (const auto* lines : {&first, &second})
        for (const std::string& line : *lines) batch += line + "\r\n";
    write_bytes(cwd.path() / "jobs.bat", batch);
    const BatchResult result = run_batch(cwd.path() / "jobs.bat");
    int encodes = 0;
    for (const ToolRun& run : result.runs) {
        CONTEXT(run.command_line);
        CHECK(run.tool != "shutdown.exe" && run.tool != "delay.exe");
        if (run.tool != "x264.exe") continue;
        ++encodes;
        const auto matrix = std::find(run.argv.begin(), run.argv.end(), "--cqmfile");
        if (encodes == 1 && CHECK(matrix != run.argv.end() && matrix + 1 != run.argv.end()))
            CHECK_EQ(*(matrix + 1), "C:\\m&x\\q.cfg");
    }
    CHECK_EQ(encodes, 2);
    CHECK(!fs::exists(cwd.path() / "out.txt"));
}

TAV_CASE(a_custom_matrix_in_the_start_up_file_asks_for_the_matrix_file) {
    OtherFolder cwd;
    write_bytes(cwd.path() / "tavrelion.ini", "cqm = custom...\r\nmode = 2\r\n");
    const std::string matrix = (cwd.path() / "my matrix.cfg").string();
    write_bytes(matrix, "INTRA4X4_LUMA = 16\r\n");

    const std::pair<bool, std::string> answers[] = {{false, "flat"}, {true, "\"" + matrix + "\""}};
    for (const auto& [choose, result] : answers) {
        CONTEXT(choose ? "file chosen" : "dialog cancelled");
        // The dialog opens during start-up, in front of the window, which
        // shows as soon as it is built.
        EarlyDialogAnswer answer([&, choose = choose](HWND dialog) {
            if (choose)
                Program::choose_file(dialog, matrix);
            else
                Program::press(dialog, IDCANCEL);
        });
        Program program({.working_directory = cwd.path(), .files = {}});
        answer.join();
        CHECK(answer.answered());
        CHECK_EQ(answer.title(), "Select a matrix file");
        CHECK(answer.window_behind());
        CHECK_EQ(program.text(124), result);
        // The rest of the load ran after the dialog.
        CHECK_EQ(program.selection(23), 2);
        CHECK_EQ(program.text(44), "1");
        CHECK_EQ(program.close(), 0u);
    }
}

TAV_CASE(an_odd_settings_file_loads_what_it_can_and_harms_nothing) {
    OtherFolder cwd;
    // UTF-8 with its byte-order mark, every line-end style, a value that is
    // not UTF-8, a NUL byte, a long line and keys hidden behind a group.
    // (Wine's edit control takes quadratic time to take a long text: 64 KB
    // already cost 10 s, so the long line stays at 8 KB.)
    constexpr size_t kLongValue = 8192;
    std::string file = "\xEF\xBB\xBF; written by an editor\r";
    file += "mode = 5\rvalue = 1234\ncqm = \xC3\xA9t\xC3\xA9\r\n";
    file += "nr = \xFF\xFE\r\n";
    file += std::string("thr = 3\0junk\r\n", 14);
    file += "arx = " + std::string(kLongValue, '7') + "\r\n";
    file += "[later]\r\nmb = 9\r\nmode = 3\r\n";
    write_bytes(cwd.path() / "tavrelion.ini", file);

    Program program({.working_directory = cwd.path(), .files = {}});
    CHECK_EQ(program.selection(23), 5);
    CHECK_EQ(program.text(25), "1234");
    CHECK_EQ(program.text(124), "\xE9t\xE9");
    CHECK_EQ(program.text(75), "");
    CHECK_EQ(program.text(71), "3");
    CHECK_EQ(program.text(67).size(), kLongValue);
    CHECK_EQ(program.text(15), "0");
    CHECK_EQ(program.close(), 0u);

    // Saved back as single bytes without the mark.
    const std::string saved = read_bytes(program.folder() / "tavrelion.ini");
    CHECK_EQ(saved.substr(0, 11), "upstat = 1\r");
    CHECK(saved.find("\r\nmode = 5\r\n") != std::string::npos);
    CHECK(saved.find("\r\ncqm = \xE9t\xE9\r\n") != std::string::npos);
    CHECK(saved.find("\r\nnr = \r\n") != std::string::npos);
    CHECK_EQ(read_bytes(cwd.path() / "tavrelion.ini"), file);
}

TAV_CASE(a_save_that_cannot_replace_the_file_leaves_the_old_one_whole) {
    const std::string old_settings = "mode = 2\r\nvalue = 20\r\n";
    Program program({.working_directory = {}, .files = {{"tavrelion.ini", old_settings}}});
    CHECK_EQ(program.selection(23), 2);

    // A preset under a missing subfolder cannot be written.
    program.paste(115, "missing\\x");
    save_preset(program, kYes);
    CHECK(!fs::exists(program.folder() / "configs" / "missing"));
    CHECK_EQ(program.text(115), "");

    // Another program holds the main settings file open, sharing nothing.
    const fs::path main_file = program.folder() / "tavrelion.ini";
    HANDLE held = CreateFileA(main_file.string().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    REQUIRE(held != INVALID_HANDLE_VALUE);
    program.select(23, 0);
    const DWORD exit_code = program.close();
    CloseHandle(held);
    CHECK_EQ(exit_code, 0u);
    CHECK_EQ(read_bytes(main_file), old_settings);
    CHECK_EQ(files_in(program.folder()), (std::vector<std::string>{"tavrelion.exe", "tavrelion.ini"}));
}

}  // namespace
}  // namespace tav::e2e
