// Reading the records that the stand-in tool appends to its log, and
// running a batch file with the stand-ins first on the PATH.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace tav::e2e {

struct ToolRun {
    std::string tool;               // lower-case file name, e.g. "x264.exe"
    std::vector<std::string> argv;  // argv[0] included
    std::string command_line;
    std::string cwd;
    unsigned priority = 0;
    unsigned parent_priority = 0;
};

std::vector<ToolRun> read_tool_runs(const std::filesystem::path& log);

struct BatchResult {
    unsigned exit_code = 0;
    std::vector<ToolRun> runs;
};

// Runs `cmd /c "<batch>"` with the stand-ins of TAV_TOOLS_WIN\standins first
// on the PATH and the extra environment variables given (NAME=value), waits
// for it (bounded) and returns its exit code and the tools it ran.
BatchResult run_batch(const std::filesystem::path& batch, const std::vector<std::string>& environment = {});

}  // namespace tav::e2e
