// Names beyond ASCII through the real window: inputs with accents chosen
// with the input chooser and with "Files input", below a program folder and
// into an output folder with accents; the job list written by "Make BAT" and
// by "Start" and run by the command interpreter with the stand-in tools,
// which must receive every name exactly. A job naming a file the console's
// code page cannot carry (the euro sign under code page 437) is left out
// and reported. The tests run Wine with ANSI code page 1252 and console code
// page 437 (run_case.sh sets the locale).
#include "e2ejobs_support.h"

namespace tav::e2e::jobs {
namespace {

bool exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The argument after `option`, or "<none>".
std::string after(const ToolRun& run, std::string_view option) {
    const auto it = std::find(run.argv.begin(), run.argv.end(), option);
    return it == run.argv.end() || it + 1 == run.argv.end() ? "<none>" : *(it + 1);
}

// The accents of these names as code page 437 has them.
std::string in_console(std::string text) {
    for (char& c : text) c = c == '\xE9' ? '\x82' : c == '\xEB' ? '\x89' : c;
    return text;
}

std::string audio_of(const JobNames& job) { return job.output.substr(0, job.output.rfind('.') + 1) + "audio.mp4"; }

// What every tool received for the jobs of an encode in mode 6 (a first pass
// and an Nth pass) with a log and with audio muxed by MP4Box; the left-out
// job reached no tool.
void check_tools_received(const std::vector<ToolRun>& runs, const std::vector<JobNames>& jobs,
                          const std::string& left_out) {
    // The order the tools ran in, to tell a missing run from a garbled one.
    std::string sequence;
    for (const ToolRun& run : runs) sequence += run.tool + (run.argv.empty() ? "" : " <" + run.argv.back() + ">") + "; ";
    CONTEXT(sequence);
    CHECK_EQ(runs_of(runs, "x264.exe").size(), 2 * jobs.size());
    for (const JobNames& job : jobs) {
        CONTEXT(job.input);
        std::vector<ToolRun> passes;
        for (const ToolRun& run : runs_of(runs, "x264.exe"))
            if (!run.argv.empty() && run.argv.back() == job.input) passes.push_back(run);
        if (CHECK_EQ(passes.size(), 2u)) {
            CHECK_EQ(after(passes[0], "-o"), "nul");
            CHECK_EQ(after(passes[1], "-o"), job.output);
            for (const ToolRun& pass : passes) CHECK_EQ(after(pass, "--stats"), job.stats);
        }
        size_t logged = 0, piped = 0, muxed = 0;
        for (const ToolRun& run : runs) {
            const auto args = arguments(run);
            logged += run.tool == "lputs.exe" && args == std::vector<std::string>{job.log};
            piped += run.tool == "bepipe.exe" && args == std::vector<std::string>{"--script", "import(^" + job.input + "^)"};
            muxed += run.tool == "mp4box.exe" && args == std::vector<std::string>{"-add", audio_of(job), job.output};
        }
        CHECK_EQ(logged, 2u);
        CHECK_EQ(piped, 1u);
        CHECK_EQ(muxed, 1u);
        CHECK(exists(job.output));  // written by the stand-in encoder under the chosen name
        CHECK(exists(job.log));
    }
    for (const ToolRun& run : runs) CHECK(run.command_line.find(left_out) == std::string::npos);
}

// Presses OK on the program's report of the left-out job.
void confirm_left_out(Program& program, const std::string& named) {
    HWND box = wait_dialog_titled(program, "tavrelion");
    const std::string text = Program::dialog_text(box);
    CHECK(text.find("left out") != std::string::npos && text.find(named) != std::string::npos);
    Program::press(box, IDOK);
    program.settle();
}

TAV_CASE(accented_names_reach_every_tool_through_make_bat_and_start) {
    const std::filesystem::path scratch = make_temp_folder("tav-e2e-log-");
    ToolEnvironment tools(scratch / "start.log", 0);
    const std::filesystem::path accented_folder = make_temp_folder("tav-e2e-\xE9-");
    Program program({.files = {{"Clips \xE9t\xE9\\Am\xE9lie.avi", "video"},
                               {"Clips \xE9t\xE9\\No\xEBl.avs", "Version()"},
                               {"Clips \xE9t\xE9\\5 \x80.avs", "Version()"},
                               {"Sortie \xE9\\keep.txt", ""}},
                     .program_folder = accented_folder});
    const std::string folder = folder_of(program);
    const std::string clips = folder + "Clips \xE9t\xE9\\", out = folder + "Sortie \xE9\\";
    program.select(ctl::Mode, 6);
    program.paste(ctl::Value, "900");
    set_check(program, ctl::LogEnabled, true);
    program.select_tab(kMoreTab);
    set_check(program, ctl::Audio, true);
    program.select_tab(kBitrateTab);

    // The input chooser: the video gets a wrapper, in the ANSI code page
    // AviSynth reads.
    program.click_async(ctl::InputBrowse);
    Program::choose_file(program.wait_dialog(), clips + "Am\xE9lie.avi");
    program.settle();
    const JobNames amelie{folder + "avs\\Am\xE9lie.avi.avs", clips + "Am\xE9lie.mp4",
                          folder + "stats\\Am\xE9lie.avi.stat", folder + "log\\Am\xE9lie.avi.txt"};
    CHECK_EQ(program.text(ctl::InputFile), amelie.input);
    CHECK_EQ(program.text(ctl::OutputFile), amelie.output);
    CHECK_EQ(program.text(ctl::StatsFile), amelie.stats);
    CHECK_EQ(program.text(ctl::LogFile), amelie.log);
    CHECK(read_file(path_from_ansi(amelie.input)).starts_with("fs=\"" + clips + "Am\xE9lie.avi\"\r\n"));
    program.click(ctl::Add);

    // "Files input": a script with an accent and one with a euro sign, which
    // the ANSI code page has and the console's lacks.
    program.click_async(ctl::FilesInput);
    Program::choose_file(wait_dialog_titled(program, "Select a folder for output"), out);
    HWND files = wait_dialog_titled(program, "Select some files");
    Program::choose_file(files, clips);
    Sleep(300);
    Program::choose_file(files, "\"No\xEBl.avs\" \"5 \x80.avs\"");
    program.settle();
    const JobNames noel{clips + "No\xEBl.avs", out + "No\xEBl.mp4", folder + "stats\\No\xEBl.avs.stat",
                        folder + "log\\No\xEBl.avs.txt"};
    const std::string euro = "5 \x80.avs";
    const auto lines = list_lines(program);
    const auto inputs = std::count_if(lines.begin(), lines.end(),
                                      [](const std::string& line) { return line.starts_with("@echo Input:"); });
    CHECK_EQ(inputs, 3);

    // "Make BAT": the batch names the accented files in the console's code
    // page and leaves out the euro job; the window keeps every line.
    program.select_tab(kJobTab);
    program.click_async(ctl::MakeBat);
    Program::choose_file(program.wait_dialog(), folder + "Lots \xE9.bat");
    confirm_left_out(program, euro);
    const std::string batch = read_file(path_from_ansi(folder + "Lots \xE9.bat"));
    CHECK(batch.starts_with("@cd /d \"" + in_console(folder) + "\"\r\n"));
    CHECK(batch.find("\"" + in_console(noel.input) + "\"") != std::string::npos);
    CHECK(batch.find('\x80') == std::string::npos && batch.find('\xE9') == std::string::npos);
    CHECK_EQ(list_lines(program), lines);
    const BatchResult made = run_batch(path_from_ansi(folder + "Lots \xE9.bat"));
    CHECK_EQ(made.exit_code, 0u);
    check_tools_received(made.runs, {amelie, noel}, euro);

    // "Start": the same names reach the tools through its own batch.
    for (const JobNames& job : {amelie, noel}) DeleteFileA(job.output.c_str());
    program.click_async(ctl::Start);
    confirm_left_out(program, euro);
    REQUIRE(wait_until([&] { return !exists(folder + "temp.bat"); }, 30000));
    check_tools_received(tools.runs(), {amelie, noel}, euro);
    CHECK_EQ(program.close(), 0u);
    std::error_code ignored;
    if (failure_count() > 0) return;
    std::filesystem::remove_all(scratch, ignored);
    std::filesystem::remove_all(accented_folder, ignored);
}

}  // namespace
}  // namespace tav::e2e::jobs
