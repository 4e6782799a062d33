// Jobs added in the window, written with "Make BAT" and run by the command
// interpreter with stand-ins for the outside tools: what the tools really
// receive.
#include <algorithm>

#include "check.h"
#include "driver.h"
#include "standin_log.h"

namespace tav::e2e {
namespace {

constexpr int kJobTab = 4;

std::vector<ToolRun> runs_of(const std::vector<ToolRun>& runs, std::string_view tool) {
    std::vector<ToolRun> found;
    for (const ToolRun& run : runs) {
        if (run.tool == tool) found.push_back(run);
    }
    return found;
}

bool has_argument(const ToolRun& run, const std::string& argument) {
    return std::find(run.argv.begin() + 1, run.argv.end(), argument) != run.argv.end();
}

// Picks the input through the input chooser, then adds a job in the mode.
void add_job(Program& program, const std::string& input, int mode) {
    program.select_tab(0);
    program.click_async(91);
    Program::choose_file(program.wait_dialog(), input);
    program.settle();
    program.select(23, mode);
    program.click(4);
}

TAV_CASE(a_written_batch_runs_every_pass_with_the_names_intact) {
    // Blanks, a percent sign and an ampersand in the names must reach the
    // tools unchanged through the batch file.
    Program program({.files = {{"my clips\\100% & fun.avs", "Version()"}}});
    const std::string folder = program.folder().string() + "\\";
    const std::string input = folder + "my clips\\100% & fun.avs";
    const std::string output = folder + "my clips\\100% & fun.mp4";
    const std::string log = folder + "log\\100% & fun.avs.txt";

    add_job(program, input, 1);   // single pass at a quantizer
    add_job(program, input, 13);  // conditional double pass with a size check
    const auto lines = program.items(95);
    REQUIRE(lines.size() > 10);
    CHECK_EQ(lines.front(), "@echo.");
    CHECK_EQ(lines.back(), "@echo+");

    program.select_tab(kJobTab);
    program.click_async(96);
    Program::choose_file(program.wait_dialog(), folder + "jobs");
    program.settle();
    const std::filesystem::path batch = folder + "jobs.bat";
    REQUIRE(std::filesystem::exists(batch));

    // The size check fails (exit code 1): the second pass of mode 13 runs.
    BatchResult result = run_batch(batch, {"TAV_STANDIN_EXIT_CHKSIZE=1"});
    CHECK_EQ(result.exit_code, 0u);
    const auto setpath = runs_of(result.runs, "setpath.exe");
    if (CHECK_EQ(setpath.size(), 1u)) {
        CHECK(has_argument(setpath[0], "run"));
        CHECK_EQ(setpath[0].cwd + "\\", folder);  // "@cd /d" into the program folder first
    }
    const auto encodes = runs_of(result.runs, "x264.exe");
    CHECK_EQ(encodes.size(), 3u);
    for (const ToolRun& run : encodes) {
        CONTEXT(run.command_line);
        CHECK(has_argument(run, input));
        CHECK(has_argument(run, output));
    }
    const auto checks = runs_of(result.runs, "chksize.exe");
    if (CHECK_EQ(checks.size(), 1u)) {
        CHECK_EQ(checks[0].argv, (std::vector<std::string>{checks[0].argv[0], "90", "110", output}));
    }
    const auto logs = runs_of(result.runs, "lputs.exe");
    CHECK_EQ(logs.size(), 3u);
    for (const ToolRun& run : logs) CHECK_EQ(run.argv.back(), log);
    CHECK(std::filesystem::exists(output));  // written by the stand-in encoder

    // The size is right (exit code 0): the second pass is skipped.
    result = run_batch(batch, {});
    CHECK_EQ(result.exit_code, 0u);
    CHECK_EQ(runs_of(result.runs, "x264.exe").size(), 2u);
    CHECK_EQ(runs_of(result.runs, "chksize.exe").size(), 1u);
    CHECK_EQ(program.close(), 0u);
}

}  // namespace
}  // namespace tav::e2e
