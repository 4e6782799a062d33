#include "standin_log.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "check.h"
#include "driver.h"

namespace fs = std::filesystem;

namespace tav::e2e {
namespace {

std::string unescaped(const std::string& value) {
    std::string out;
    for (size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            out += value[i];
            continue;
        }
        const char next = value[++i];
        out += next == 'r' ? '\r' : next == 'n' ? '\n' : next;
    }
    return out;
}

}  // namespace

std::vector<ToolRun> read_tool_runs(const fs::path& log) {
    std::ifstream in(log, std::ios::binary);
    std::vector<ToolRun> runs;
    std::string line;
    ToolRun* run = nullptr;
    bool crashed = false;  // a "[crash]" record: its tool is named "crashed <tool>"
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line == "[run]" || line == "[crash]") {
            run = &runs.emplace_back();
            crashed = line == "[crash]";
            continue;
        }
        if (!run || line == "[end]") continue;
        const auto equals = line.find('=');
        if (equals == std::string::npos) continue;
        const std::string key = line.substr(0, equals);
        const std::string value = unescaped(line.substr(equals + 1));
        if (key == "tool") run->tool = crashed ? "crashed " + value : value;
        else if (key.rfind("argv", 0) == 0) run->argv.push_back(value);
        else if (key == "cmdline") run->command_line = value;
        else if (key == "cwd") run->cwd = value;
        else if (key == "priority") run->priority = std::stoul(value, nullptr, 16);
        else if (key == "parent_priority") run->parent_priority = std::stoul(value, nullptr, 16);
    }
    return runs;
}

BatchResult run_batch(const fs::path& batch, const std::vector<std::string>& environment) {
    const char* tools = std::getenv("TAV_TOOLS_WIN");
    if (!tools || !*tools) throw Abort("TAV_TOOLS_WIN does not name the test tools");
    const fs::path log = batch.parent_path() / ("standin-" + std::to_string(GetTickCount()) + ".log");

    // The child's environment: ours, with the stand-ins first on the PATH.
    std::vector<std::string> variables;
    for (const char* block = GetEnvironmentStringsA(); *block; block += std::strlen(block) + 1) {
        const std::string entry = block;
        if (_strnicmp(entry.c_str(), "PATH=", 5) == 0) {
            variables.push_back("PATH=" + (fs::path(tools) / "standins").string() + ";" + entry.substr(5));
        } else if (entry.rfind("TAV_STANDIN_", 0) != 0) {
            variables.push_back(entry);
        }
    }
    variables.push_back("TAV_STANDIN_LOG=" + ansi_path(log));
    for (const std::string& extra : environment) variables.push_back(extra);
    std::string block;
    for (const std::string& v : variables) block += v + '\0';
    block += '\0';

    std::string command = "cmd.exe /c \"\"" + ansi_path(batch) + "\"\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, block.data(),
                        ansi_path(batch.parent_path()).c_str(), &startup, &process)) {
        throw Abort("cannot run " + ansi_path(batch));
    }
    CloseHandle(process.hThread);
    const bool ended = WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0;
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    if (!ended) TerminateProcess(process.hProcess, 99);
    CloseHandle(process.hProcess);
    if (!ended) throw Abort("the batch " + ansi_path(batch) + " did not end within 60 s");
    return {code, read_tool_runs(log)};
}

}  // namespace tav::e2e
