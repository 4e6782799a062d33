#include "win32/batch_process.h"

#include <windows.h>
#include <shellapi.h>

namespace tav {

BatchStart start_batch_process(const std::string& batch_path, const std::string& working_dir, HANDLE* process_out) {
    *process_out = nullptr;
    // CreateProcessA may write into its command line, so it gets its own copy.
    std::string command_line = "\"" + batch_path + "\"";
    const char* directory = working_dir.empty() ? nullptr : working_dir.c_str();

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    if (CreateProcessA(nullptr, command_line.data(), nullptr, nullptr, FALSE,
                       CREATE_NEW_CONSOLE | NORMAL_PRIORITY_CLASS, nullptr, directory, &startup, &process)) {
        CloseHandle(process.hThread);
        *process_out = process.hProcess;
        return {true, static_cast<std::uint32_t>(process.dwProcessId)};
    }

    // The shell starts it without telling which process it became.
    const HINSTANCE shell =
        ShellExecuteA(nullptr, "open", batch_path.c_str(), nullptr, directory, SW_SHOWNORMAL);
    return {reinterpret_cast<INT_PTR>(shell) > 32, std::nullopt};
}

bool set_process_idle(std::uint32_t process_id) {
    const HANDLE process = OpenProcess(PROCESS_SET_INFORMATION, FALSE, process_id);
    if (!process) return false;
    const bool lowered = SetPriorityClass(process, IDLE_PRIORITY_CLASS) != 0;
    CloseHandle(process);
    return lowered;
}

}  // namespace tav
