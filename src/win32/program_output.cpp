#include "win32/program_output.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string_view>

#include "common/paths.h"
#include "common/text_rules.h"
#include "win32/handle.h"

namespace tav {
namespace {

// More than any option list; a program that writes on and on is ended.
constexpr std::size_t kMostOutput = std::size_t{1} << 20;
constexpr DWORD kPipeBytes = 64 * 1024;
constexpr DWORD kPollMs = 15;

// What a program needs to start and find its system; nothing the user or
// a caller set for other purposes.
constexpr std::string_view kKeptVariables[] = {"SystemRoot", "SystemDrive", "windir", "ComSpec",
                                               "PATH", "PATHEXT", "TEMP", "TMP",
                                               "NUMBER_OF_PROCESSORS", "PROCESSOR_ARCHITECTURE", "OS"};

bool kept(std::string_view entry) {
    // Entries such as "=C:=C:\dir" begin with '='; they are not kept.
    const std::size_t equals = entry.find('=');
    if (equals == 0 || equals == std::string_view::npos) return false;
    const std::string_view name = entry.substr(0, equals);
    return std::any_of(std::begin(kKeptVariables), std::end(kKeptVariables),
                       [&](std::string_view kept_name) { return equals_ignoring_ascii_case(name, kept_name); });
}

// An environment block of the kept variables: "NAME=value\0...\0".
std::string reduced_environment() {
    std::string block;
    if (char* all = GetEnvironmentStringsA()) {
        for (const char* entry = all; *entry; entry += std::strlen(entry) + 1) {
            if (kept(entry)) block.append(entry).push_back('\0');
        }
        FreeEnvironmentStringsA(all);
    }
    if (block.empty()) block.push_back('\0');
    block.push_back('\0');
    return block;
}

// Reads whatever the pipe holds now, without waiting for more.
void drain(HANDLE pipe, std::string& out) {
    char buffer[4096];
    while (out.size() <= kMostOutput) {
        DWORD available = 0;
        if (!PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr) || available == 0) return;
        DWORD got = 0;
        const DWORD wanted = std::min<DWORD>(available, sizeof buffer);
        if (!ReadFile(pipe, buffer, wanted, &got, nullptr) || got == 0) return;
        out.append(buffer, got);
    }
}

}  // namespace

ProgramOutput run_for_output(const std::string& program, const std::string& argument,
                             std::chrono::milliseconds limit, const std::stop_token& stop) {
    ProgramOutput result;
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    HANDLE read_end = nullptr, write_end = nullptr;
    if (!CreatePipe(&read_end, &write_end, &inheritable, kPipeBytes)) return result;
    Handle reader(read_end), writer(write_end);
    SetHandleInformation(reader.get(), HANDLE_FLAG_INHERIT, 0);
    Handle input(CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr));

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    startup.hStdInput = input.get();
    startup.hStdOutput = writer.get();
    startup.hStdError = writer.get();
    // CreateProcessA may write into its command line, so it gets its own copy.
    std::string command = "\"" + program + "\" " + argument;
    std::string environment = reduced_environment();
    const std::string folder = folder_part(program);
    PROCESS_INFORMATION started{};
    if (!CreateProcessA(program.c_str(), command.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW | CREATE_SUSPENDED,
                        environment.data(), folder.empty() ? nullptr : folder.c_str(), &startup, &started))
        return result;
    Handle process(started.hProcess), thread(started.hThread);
    // Whatever the program starts is ended with it, at the latest when the
    // job's handle closes.
    Handle job(CreateJobObjectA(nullptr, nullptr));
    if (job) {
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        if (!SetInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &limits, sizeof limits) ||
            !AssignProcessToJobObject(job.get(), process.get()))
            job.close();
    }
    ResumeThread(thread.get());
    // Only the program writes into the pipe now.
    writer.close();
    input.close();

    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        drain(reader.get(), result.output);
        const bool ended = WaitForSingleObject(process.get(), kPollMs) == WAIT_OBJECT_0;
        if (ended) {
            drain(reader.get(), result.output);
            result.finished = result.output.size() <= kMostOutput;
            break;
        }
        if (stop.stop_requested() || std::chrono::steady_clock::now() >= deadline ||
            result.output.size() > kMostOutput) {
            if (job) TerminateJobObject(job.get(), 1);
            TerminateProcess(process.get(), 1);
            WaitForSingleObject(process.get(), 2000);
            break;
        }
    }
    if (!result.finished) result.output.clear();
    return result;
}

}  // namespace tav
