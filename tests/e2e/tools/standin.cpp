// Stands in for every outside tool that the program's batch files run
// (x264.exe, lputs.exe, chksize.exe, setpath.exe, bepipe.exe, the AAC
// encoders, the muxers, delay.exe, shutdown.exe): it is copied under each
// name. Each run appends one record to the file named by TAV_STANDIN_LOG, so a
// test can see what the batch really passed, and exits with the code named by
// TAV_STANDIN_EXIT_<NAME> (e.g. TAV_STANDIN_EXIT_CHKSIZE=1), 0 by default.
//
// Record:  [run]
//          tool=<own file name, lower case>
//          argc=<n>
//          argv<i>=<argument>            one line per argument
//          cmdline=<GetCommandLineA()>
//          priority=0x<own priority class>
//          parent_priority=0x<parent's priority class, 0 when unknown>
//          cwd=<current directory>
//          [end]
// Values are escaped: "\" as "\\", CR as "\r", LF as "\n".
// A stand-in that crashes appends "[crash]", "tool=", "code=<exception>",
// "[end]" instead, which the log reader names "crashed <tool>".
//
// Asked for its option list (a lone "--fullhelp" or "--longhelp"), as the
// program asks the encoder it finds, it records nothing: that is no run of
// a batch. Files beside it steer the answer, for the encoder question's
// tests; without any of them it ends at once and prints nothing:
//   <name>.fullhelp, <name>.longhelp   printed for that argument; an argument
//                                      without its file is refused (exit 1)
//   <name>.hang                        never answers (sleeps two minutes)
// With a steering file present each question appends a line to
// <name>.asked: "<argument> pid=<id> log=<set|unset>", the last telling
// whether TAV_STANDIN_LOG reached it.
#include <windows.h>
#include <tlhelp32.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::string escaped(const std::string& value) {
    std::string out;
    for (char c : value) {
        if (c == '\\') out += "\\\\";
        else if (c == '\r') out += "\\r";
        else if (c == '\n') out += "\\n";
        else out += c;
    }
    return out;
}

std::string hex(DWORD value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%lx", static_cast<unsigned long>(value));
    return text;
}

std::string own_name() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string name = path;
    const auto slash = name.find_last_of("\\/");
    if (slash != std::string::npos) name.erase(0, slash + 1);
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return name;
}

DWORD parent_priority() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return 0;
    DWORD parent = 0;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
        if (entry.th32ProcessID == GetCurrentProcessId()) {
            parent = entry.th32ParentProcessID;
            break;
        }
    }
    CloseHandle(snapshot);
    if (!parent) return 0;
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, parent);
    if (!process) return 0;
    const DWORD priority = GetPriorityClass(process);
    CloseHandle(process);
    return priority;
}

// Appends in one write. The tools of a pipe run side by side, and a batch
// started at idle priority may be starved for seconds on a busy machine, so
// the writers queue on a named mutex for as long as it takes instead of
// giving up after a while; a record that still cannot be written is said on
// stderr and fails the run, never silently missing from the log.
bool append_record(const char* log, const std::string& record) {
    std::string lock_name = "tav-standin-log-";
    for (const char* c = log; *c; ++c) lock_name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
    HANDLE lock = CreateMutexA(nullptr, FALSE, lock_name.substr(0, MAX_PATH - 1).c_str());
    const DWORD waited = lock ? WaitForSingleObject(lock, 120000) : WAIT_FAILED;
    bool written = false;
    for (int attempt = 0; attempt < 1000 && !written; ++attempt) {
        HANDLE file = CreateFileA(log, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            Sleep(20);
            continue;
        }
        DWORD count = 0;
        written = WriteFile(file, record.data(), static_cast<DWORD>(record.size()), &count, nullptr) &&
                  count == record.size();
        CloseHandle(file);
    }
    if (waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED) ReleaseMutex(lock);
    if (lock) CloseHandle(lock);
    if (!written) std::fprintf(stderr, "stand-in: could not append its record to %s\n", log);
    return written;
}

int exit_code_for(const std::string& name) {
    std::string variable = "TAV_STANDIN_EXIT_";
    for (char c : name.substr(0, name.rfind('.'))) {
        variable += std::isalnum(static_cast<unsigned char>(c))
                        ? static_cast<char>(std::toupper(static_cast<unsigned char>(c)))
                        : '_';
    }
    const char* value = std::getenv(variable.c_str());
    return value ? std::atoi(value) : 0;
}

void write_file(const std::string& path, const std::string& content, bool append) {
    if (FILE* f = std::fopen(path.c_str(), append ? "ab" : "wb")) {
        std::fwrite(content.data(), 1, content.size(), f);
        std::fclose(f);
    }
}

std::string own_folder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    const auto slash = folder.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : folder.substr(0, slash + 1);
}

std::string read_whole(const std::string& path, bool& found) {
    std::string content;
    FILE* f = std::fopen(path.c_str(), "rb");
    found = f != nullptr;
    if (!f) return content;
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;) content.append(buffer, n);
    std::fclose(f);
    return content;
}

// A question about the options: answered as the files beside it say.
int answer_question(const std::string& name, const std::string& argument) {
    const std::string stem = own_folder() + name.substr(0, name.rfind('.'));
    bool hang = false, full = false, longer = false;
    read_whole(stem + ".hang", hang);
    const std::string full_text = read_whole(stem + ".fullhelp", full);
    const std::string long_text = read_whole(stem + ".longhelp", longer);
    if (!hang && !full && !longer) return 0;

    const char* log = std::getenv("TAV_STANDIN_LOG");
    write_file(stem + ".asked",
               argument + " pid=" + std::to_string(GetCurrentProcessId()) + " log=" + (log && *log ? "set" : "unset") +
                   "\r\n",
               true);
    if (hang) {
        Sleep(120000);
        return 0;
    }
    const bool known = argument == "--fullhelp" ? full : longer;
    if (!known) {
        std::fprintf(stderr, "x264 [error]: unknown option or missing argument\n");
        return 1;
    }
    const std::string& text = argument == "--fullhelp" ? full_text : long_text;
    std::fwrite(text.data(), 1, text.size(), stdout);
    return 0;
}

}  // namespace

// A stand-in that crashes before its record is written would leave a run
// missing without a word; it says so on stderr and in the log instead.
static LONG WINAPI report_crash(EXCEPTION_POINTERS* info) {
    const std::string record = "[crash]\r\ntool=" + own_name() + "\r\ncode=" +
                               hex(info->ExceptionRecord->ExceptionCode) + "\r\n[end]\r\n";
    std::fputs(record.c_str(), stderr);
    if (const char* log = std::getenv("TAV_STANDIN_LOG"); log && *log) append_record(log, record);
    return EXCEPTION_EXECUTE_HANDLER;
}

int main(int argc, char** argv) {
    SetUnhandledExceptionFilter(report_crash);
    const std::string name = own_name();
    if (argc == 2 && (std::string(argv[1]) == "--fullhelp" || std::string(argv[1]) == "--longhelp"))
        return answer_question(name, argv[1]);

    std::string record = "[run]\r\ntool=" + name + "\r\nargc=" + std::to_string(argc) + "\r\n";
    for (int i = 0; i < argc; ++i) record += "argv" + std::to_string(i) + "=" + escaped(argv[i]) + "\r\n";
    record += "cmdline=" + escaped(GetCommandLineA()) + "\r\n";
    record += "priority=" + hex(GetPriorityClass(GetCurrentProcess())) + "\r\n";
    record += "parent_priority=" + hex(parent_priority()) + "\r\n";
    char cwd[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, cwd);
    record += "cwd=" + escaped(cwd) + "\r\n[end]\r\n";
    if (const char* log = std::getenv("TAV_STANDIN_LOG"); log && *log && !append_record(log, record)) return 99;

    // The few side effects that the batch files rely on.
    if (name == "setpath.exe" && argc > 1 && std::string(argv[1]) == "run") {
        write_file("setpath.bat", "@rem paths set by the stand-in\r\n", false);
    } else if (name == "lputs.exe" && argc > 1) {
        std::string input;
        char buffer[4096];
        for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, stdin)) > 0;) input.append(buffer, n);
        write_file(argv[1], input, true);
    } else if (name == "x264.exe") {
        for (int i = 1; i + 1 < argc; ++i) {
            const std::string option = argv[i];
            if ((option == "-o" || option == "--output") && _stricmp(argv[i + 1], "nul") != 0) {
                write_file(argv[i + 1], "stand-in output\r\n", false);
            }
        }
    }
    return exit_code_for(name);
}
