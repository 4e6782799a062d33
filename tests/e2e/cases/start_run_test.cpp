// "Start" through the real window: the settings saved into the current
// directory, the batch written into the program folder and run there by the
// command interpreter at idle priority, the tools receiving the job lines'
// arguments, and the batch deleting itself; two quick starts run two intact
// batches.
#include <cstdlib>

#include "e2ejobs_support.h"

namespace tav::e2e::jobs {
namespace {

// A delay.exe of the tests' own: this program, copied under that name, waits
// the milliseconds given (or TAV_DELAY_MS, to stretch a batch) and ends, as
// the real tool does. The batch finds it first, in its working folder.
struct DelayTool {
    DelayTool() {
        char path[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, path, MAX_PATH);
        const std::string name = std::filesystem::path(path).filename().string();
        if (_stricmp(name.c_str(), "delay.exe") != 0) return;
        const char* stretched = std::getenv("TAV_DELAY_MS");
        const int ms = stretched ? std::atoi(stretched) : (__argc > 1 ? std::atoi(__argv[1]) : 0);
        Sleep(static_cast<DWORD>(ms > 0 ? ms : 0));
        ExitProcess(0);
    }
};
const DelayTool kDelayTool;

void place_delay_tool(const Program& program) {
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::filesystem::copy_file(self, program.folder() / "delay.exe");
}

// What the batch file of a start holds.
std::string expected_batch(const std::string& folder, const std::vector<std::string>& lines,
                           const std::string& name) {
    std::string text = "@cd /d \"" + folder + "\"\r\n"
                       "@echo Please wait until this process is set into idle.\r\n"
                       "@delay.exe 1000\r\n"
                       "@setpath.exe run\r\n"
                       "@call setpath.bat\r\n"
                       "@del setpath.bat\r\n";
    for (const std::string& line : lines) text += line + "\r\n";
    return text + "del " + name;
}

constexpr unsigned kIdle = IDLE_PRIORITY_CLASS;

TAV_CASE(start_saves_settings_here_and_runs_the_list_at_idle_priority_in_the_program_folder) {
    const std::filesystem::path elsewhere = make_temp_folder("tav-e2e-cwd-");
    ToolEnvironment tools(elsewhere / "tools.log", 1500);
    Program program({.working_directory = elsewhere, .files = {{"clips & 100%\\a.avs", "Version()"}}});
    place_delay_tool(program);
    const std::string folder = folder_of(program);
    const std::string input = folder + "clips & 100%\\a.avs", output = folder + "clips & 100%\\a.mp4";
    add_quick_job(program, input, output);
    program.select_tab(kJobTab);
    program.click(ctl::Shut);
    const auto lines = list_lines(program);
    REQUIRE(lines.size() == 7u);
    program.select_tab(kBitrateTab);
    program.select(ctl::Mode, 5);  // a setting the saved file must show
    program.select_tab(kJobTab);

    program.click(ctl::Start);
    // The batch is still waiting in delay.exe: its file is there to read.
    CHECK_EQ(read_file(folder + "temp.bat"), expected_batch(folder, lines, "temp.bat"));
    CHECK(!std::filesystem::exists(elsewhere / "temp.bat"));
    // The settings are saved where the program was started.
    CHECK(("\n" + read_file(elsewhere / "tavrelion.ini")).find("\nmode = 5\r\n") != std::string::npos);
    CHECK_EQ(program.selection(ctl::JobList), 6);

    REQUIRE(wait_until([&] { return !runs_of(tools.runs(), "shutdown.exe").empty(); }, 20000));
    CHECK(wait_until([&] { return !std::filesystem::exists(folder + "temp.bat"); }, 5000));
    const auto runs = tools.runs();
    const auto encodes = runs_of(runs, "x264.exe");
    if (CHECK_EQ(encodes.size(), 1u)) {
        // Under Wine the tools themselves do not inherit the class: the
        // batch's own class is what the program sets.
        CHECK_EQ(encodes[0].parent_priority, kIdle);
        CHECK_EQ(encodes[0].cwd + "\\", folder);
        REQUIRE(encodes[0].argv.size() > 4);
        CHECK_EQ(std::vector<std::string>(encodes[0].argv.end() - 3, encodes[0].argv.end()),
                 (std::vector<std::string>{"-o", output, input}));
        CHECK(std::filesystem::exists(output));
    }
    const auto setpath = runs_of(runs, "setpath.exe");
    if (CHECK_EQ(setpath.size(), 1u)) CHECK_EQ(arguments(setpath[0]), std::vector<std::string>{"run"});
    CHECK_EQ(arguments(runs_of(runs, "shutdown.exe")[0]), (std::vector<std::string>{"-s", "-f", "-t", "30"}));
    CHECK(!std::filesystem::exists(folder + "setpath.bat"));
    CHECK_EQ(program.close(), 0u);
    std::error_code ignored;
    if (failure_count() == 0) std::filesystem::remove_all(elsewhere, ignored);
}

TAV_CASE(start_with_an_empty_list_runs_the_header_alone) {
    const std::filesystem::path scratch = make_temp_folder("tav-e2e-log-");
    ToolEnvironment tools(scratch / "tools.log", 1200);
    Program program;
    place_delay_tool(program);
    const std::string folder = folder_of(program);
    program.select_tab(kJobTab);
    program.click(ctl::Start);
    CHECK_EQ(read_file(folder + "temp.bat"), expected_batch(folder, {}, "temp.bat"));
    CHECK_EQ(program.selection(ctl::JobList), -1);
    REQUIRE(wait_until([&] { return !std::filesystem::exists(folder + "temp.bat"); }, 20000));
    const auto setpath = runs_of(tools.runs(), "setpath.exe");
    if (CHECK_EQ(setpath.size(), 1u)) CHECK_EQ(setpath[0].parent_priority, kIdle);
    CHECK(runs_of(tools.runs(), "x264.exe").empty());
    CHECK_EQ(program.close(), 0u);
    std::error_code ignored;
    if (failure_count() == 0) std::filesystem::remove_all(scratch, ignored);
}

TAV_CASE(two_quick_starts_run_two_intact_batches) {
    const std::filesystem::path scratch = make_temp_folder("tav-e2e-log-");
    // Each batch waits long enough for the second start to find the first
    // still running.
    ToolEnvironment tools(scratch / "tools.log", 2500);
    Program program({.working_directory = {}, .files = {{"one.avs", "Version()"}, {"two.avs", "Version()"}}});
    place_delay_tool(program);
    const std::string folder = folder_of(program);

    add_quick_job(program, folder + "one.avs", folder + "one.mp4");
    program.select_tab(kJobTab);
    const auto first_lines = list_lines(program);
    program.click(ctl::Start);
    const std::string first = read_file(folder + "temp.bat");

    add_quick_job(program, folder + "two.avs", folder + "two.mp4");
    program.select_tab(kJobTab);
    const auto second_lines = list_lines(program);
    program.click(ctl::Start);
    const std::string second = read_file(folder + "temp2.bat");

    CHECK_EQ(first, expected_batch(folder, first_lines, "temp.bat"));
    CHECK_EQ(second, expected_batch(folder, second_lines, "temp2.bat"));
    CHECK_EQ(program.selection(ctl::JobList), static_cast<int>(second_lines.size()) - 1);

    // The first batch encodes "one"; the second "one" and "two".
    REQUIRE(wait_until([&] { return runs_of(tools.runs(), "x264.exe").size() >= 3; }, 20000));
    CHECK(wait_until(
        [&] { return !std::filesystem::exists(folder + "temp.bat") && !std::filesystem::exists(folder + "temp2.bat"); },
        5000));
    const auto encodes = runs_of(tools.runs(), "x264.exe");
    CHECK_EQ(encodes.size(), 3u);
    int ones = 0, twos = 0;
    for (const ToolRun& run : encodes) {
        CONTEXT(run.command_line);
        CHECK_EQ(run.parent_priority, kIdle);
        const std::string in = arguments(run).back();
        ones += in == folder + "one.avs";
        twos += in == folder + "two.avs";
    }
    CHECK_EQ(ones, 2);
    CHECK_EQ(twos, 1);
    CHECK_EQ(runs_of(tools.runs(), "setpath.exe").size(), 2u);
    CHECK_EQ(program.close(), 0u);
    std::error_code ignored;
    if (failure_count() == 0) std::filesystem::remove_all(scratch, ignored);
}

}  // namespace
}  // namespace tav::e2e::jobs
