// Checks the Windows platform layer of tavrelion on a real system (or Wine):
// file operations, the text rules of the dialogs, and every dialog and box
// answered the way a test driver answers them from outside (messages to the
// dialog's controls), here from a second thread of the same process.
//
//   platform_probe [files|rules|dialogs|all] [work-folder]
//
// Prints one line per failed check and ends with exit code 0 only when every
// check passed.
#include <windows.h>
#include <objbase.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "win32/code_pages.h"
#include "win32/file_dialogs.h"
#include "win32/input_box.h"
#include "win32/win32_platform.h"

namespace {

using tav::FileDialog;
using tav::Win32Platform;

int failures = 0;
int checks = 0;

void check(bool ok, const std::string& what) {
    ++checks;
    if (!ok) {
        ++failures;
        std::printf("FAIL: %s\n", what.c_str());
        std::fflush(stdout);
    }
}

template <class A, class B>
void check_equal(const A& actual, const B& expected, const std::string& what) {
    check(actual == expected, what);
}

std::string shown(const std::optional<std::string>& text) {
    return text ? "\"" + text->substr(0, 200) + "\"" : std::string("nullopt");
}

// ---------------------------------------------------------------- files

std::string read_raw(const std::string& path) {
    std::string content;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        char buffer[4096];
        for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, f)) > 0;) content.append(buffer, got);
        std::fclose(f);
    }
    return content;
}

bool exists_any(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void check_files(Win32Platform& platform, const std::string& work) {
    const std::string base = work + "files\\";
    platform.create_folder(base);
    platform.create_folder(base);  // a second time is passed over
    check(exists_any(base), "create_folder makes the folder");
    check(!platform.file_exists(base), "file_exists is false for a folder");

    // Exact bytes in and out, across the read pieces and with every byte value.
    std::string bytes;
    for (int i = 0; i < 300000; ++i) bytes += static_cast<char>((i * 7 + i / 256) & 0xFF);
    const std::string data = base + "data.bin";
    check(platform.write_file(data, bytes), "write_file reports success");
    check_equal(read_raw(data), bytes, "write_file writes the exact bytes");
    check_equal(platform.read_file(data), std::optional<std::string>(bytes), "read_file reads the exact bytes");
    check(platform.file_exists(data), "file_exists finds a written file");

    // Replacing empties the file first; writing at the start does not.
    check(platform.write_file(data, "short\r\n"), "write_file over a longer file");
    check_equal(read_raw(data), std::string("short\r\n"), "write_file leaves nothing of the old content");
    check(platform.write_file(data, ""), "write_file of nothing");
    check_equal(read_raw(data), std::string(), "write_file of nothing empties the file");
    check(platform.write_file(data, "0123456789"), "write_file again");
    check(platform.write_file_start(data, "abc"), "write_file_start reports success");
    check_equal(read_raw(data), std::string("abc3456789"), "write_file_start keeps the rest of the file");
    const std::string fresh = base + "fresh.ini";
    check(platform.write_file_start(fresh, "k = v\r\n"), "write_file_start creates a missing file");
    check_equal(read_raw(fresh), std::string("k = v\r\n"), "write_file_start content of a new file");

    // Failures are reported, never taken for success.
    check(!platform.write_file(base + "missing\\x.txt", "x"), "write_file into a missing folder fails");
    check(!platform.write_file(base, "x"), "write_file onto a folder fails");
    check(!platform.write_file_start(base + "missing\\x.txt", "x"), "write_file_start into a missing folder fails");
    // A file that someone else holds open without sharing cannot be replaced.
    const std::string locked = base + "locked.txt";
    platform.write_file(locked, "keep");
    HANDLE exclusive = CreateFileA(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    check(!platform.write_file(locked, "lost"), "write_file on a file locked elsewhere fails");
    check(!platform.read_file(locked), "read_file of a file locked elsewhere gives nullopt");
    CloseHandle(exclusive);
    check_equal(read_raw(locked), std::string("keep"), "a locked file keeps its content");
    check(!platform.read_file(base + "nothing.txt"), "read_file of a missing file gives nullopt");
    check(!platform.read_file(base), "read_file of a folder gives nullopt");

    // A file held open by someone else can still be read.
    HANDLE holder = CreateFileA(data.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    check_equal(platform.read_file(data), std::optional<std::string>("abc3456789"),
                "read_file of a file open for writing elsewhere");
    CloseHandle(holder);

    // Replace, delete.
    const std::string from = base + "new.tmp", to = base + "old.ini";
    platform.write_file(from, "new");
    platform.write_file(to, "old content");
    check(platform.replace_file(from, to), "replace_file reports success");
    check_equal(read_raw(to), std::string("new"), "replace_file puts the new content in place");
    check(!platform.file_exists(from), "replace_file leaves no source behind");
    check(!platform.replace_file(from, to), "replace_file of a missing source fails");
    check_equal(read_raw(to), std::string("new"), "a failed replace keeps the target");
    check(platform.delete_file(to), "delete_file reports success");
    check(!platform.file_exists(to), "delete_file removes the file");
    check(!platform.delete_file(to), "delete_file of a missing file fails");

    // Listing: files only, names only, by the long name.
    const std::string listed = base + "configs\\";
    platform.create_folder(listed);
    for (const char* name : {"first.ini", "a.b.ini", "UPPER.INI", "old.ini_bak", "notes.txt", "script.avs"})
        platform.write_file(listed + name, "");
    platform.create_folder(listed + "folder.ini");
    auto sorted = [](std::vector<std::string> v) {
        std::sort(v.begin(), v.end());
        return v;
    };
    const std::vector<std::string> expected_ini{"UPPER.INI", "a.b.ini", "first.ini"};
    check_equal(sorted(platform.list_files(listed, "*.ini")), expected_ini,
                "list_files finds the .ini files, no folders, no look-alikes");
    check_equal(sorted(platform.list_files(base + "configs", "*.ini")), expected_ini,
                "list_files takes the folder without a trailing backslash");
    check_equal(platform.list_files(listed, "*.avs"), std::vector<std::string>{"script.avs"},
                "list_files with another pattern");
    check(platform.list_files(base + "absent", "*.ini").empty(), "list_files of a missing folder is empty");
    check(platform.list_files(listed, "*.mp4").empty(), "list_files without a match is empty");
    check(platform.folder_exists(listed) && platform.folder_exists(base + "configs"),
          "folder_exists with and without a trailing backslash");
    check(platform.folder_exists(listed + "folder.ini"), "folder_exists finds a folder named like a file");
    check(!platform.folder_exists(listed + "first.ini"), "folder_exists is false for a file");
    check(!platform.folder_exists(base + "absent"), "folder_exists is false for nothing");

    // A name the ANSI code page cannot carry is listed with '?', never as a
    // look-alike that names another file or none.
    const std::wstring lacking = tav::wide_from_ansi(listed) + L"caf\u0151.avs";
    CloseHandle(CreateFileW(lacking.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    check_equal(sorted(platform.list_files(listed, "*.avs")), std::vector<std::string>{"caf?.avs", "script.avs"},
                "list_files gives '?' for a character the code page lacks");
    DeleteFileW(lacking.c_str());

    // The program folder: where this program lies, with a trailing backslash.
    const std::string folder = platform.program_folder();
    char module[MAX_PATH * 4] = {};
    GetModuleFileNameA(nullptr, module, sizeof module);
    check(!folder.empty() && folder.back() == '\\', "program_folder ends with a backslash");
    check(std::string(module).rfind(folder, 0) == 0 && std::string(module).find('\\', folder.size()) == std::string::npos,
          "program_folder is the folder of the executable: " + folder);

    // Writing through to the disk: the same bytes and failures as write_file.
    check(platform.write_file_through(data, bytes), "write_file_through reports success");
    check_equal(read_raw(data), bytes, "write_file_through writes the exact bytes");
    check(platform.write_file_through(data, "through"), "write_file_through over a longer file");
    check_equal(read_raw(data), std::string("through"), "write_file_through leaves nothing of the old content");
    check(!platform.write_file_through(base + "missing\\x.txt", "x"), "write_file_through into a missing folder fails");

    // Instance tags: the start time (16 hex digits), a dash, the process id.
    const std::string tag = platform.instance_tag();
    char pid[16];
    std::snprintf(pid, sizeof pid, "-%08lx", static_cast<unsigned long>(GetCurrentProcessId()));
    check(tag.size() == 25 && tag.substr(16) == pid &&
              tag.find_first_not_of("0123456789abcdef-") == std::string::npos,
          "instance_tag is the start time and the process id: " + tag);
    check_equal(platform.instance_tag(), tag, "the tag stays the same");
    check(platform.instance_running(tag), "this process runs");
    check(!platform.instance_running("0000000000000001-00000001"), "a tag of no running process");
    check(platform.instance_running("..\\not a tag"), "a name that is no tag may never be taken for ended");
}

// ---------------------------------------------------------------- rules

// A literal with its embedded NULs, without the closing one.
template <std::size_t N>
std::string bytes(const char (&literal)[N]) {
    return std::string(literal, N - 1);
}

void check_rules() {
    using tav::dialog_filter_list;
    check_equal(dialog_filter_list("AVS(*.avs)|*.AVS|Other Media|*.*"),
                bytes("AVS(*.avs)\0*.AVS\0Other Media\0*.*\0"), "filter list of two pairs");
    check_equal(dialog_filter_list("Batch File|*.BAT"), bytes("Batch File\0*.BAT\0"),
                "filter list of one pair");
    check_equal(dialog_filter_list(""), std::string(), "an empty filter gives no list");

    using tav::selection_paths;
    using Paths = std::optional<std::vector<std::string>>;
    const struct {
        std::string buffer;
        Paths paths;
        const char* what;
    } selections[] = {
        {bytes("C:\\in\\one.avs\0\0"), std::vector<std::string>{"C:\\in\\one.avs"}, "one selected file is its own path"},
        {bytes("C:\\in\0a.avs\0b c.avs\0\0"), std::vector<std::string>{"C:\\in\\a.avs", "C:\\in\\b c.avs"}, "folder and names"},
        {bytes("C:\\\0a.avs\0b.avs\0\0"), std::vector<std::string>{"C:\\a.avs", "C:\\b.avs"}, "a drive root gets no second backslash"},
        {bytes("\\\\server\\share\0x.avs\0\0"), std::vector<std::string>{"\\\\server\\share\\x.avs"}, "a network folder"},
        {bytes("C:\\in\0D:\\other\\x.avs\0y.avs\0\0"), std::vector<std::string>{"D:\\other\\x.avs", "C:\\in\\y.avs"},
         "a full name typed in a selection stays as it is"},
        {bytes("\0\0"), std::vector<std::string>{}, "an empty buffer gives nothing"},
        {bytes("C:\\in\0a.avs\0b.a"), std::nullopt, "a selection cut off at the buffer's end"},
        {bytes("C:\\in\0a.avs\0"), std::nullopt, "a selection without its closing NUL"},
        {bytes("C:\\in\\one.avs"), std::nullopt, "a single name without its NUL"},
    };
    for (const auto& s : selections) check_equal(selection_paths(s.buffer), s.paths, s.what);

    // Code pages, as the test command sets them (LC_ALL=C.UTF-8 under Wine).
    check(GetACP() == 1252 && GetOEMCP() == 437,
          "the checks below expect ANSI code page 1252 and console code page 437, not " + std::to_string(GetACP()) +
              " and " + std::to_string(GetOEMCP()));
    using Console = std::optional<std::string>;
    const struct {
        std::string ansi;
        Console console;
        const char* what;
    } console_texts[] = {
        {"@x264.exe \"C:\\a b\\100%%.avs\" 2>&1|lputs.exe", "@x264.exe \"C:\\a b\\100%%.avs\" 2>&1|lputs.exe",
         "ASCII stays as it is"},
        {"Am\xE9lie No\xEBl \xC9t\xE9 \xFC\xE7", "Am\x82lie No\x89l \x90t\x82 \x81\x87",
         "accented letters get their console bytes"},
        {"5 \x80.avs", std::nullopt, "the euro sign has no console form"},
        {"c\x9Cur", std::nullopt, "oe has no console form (no look-alike)"},
    };
    for (const auto& c : console_texts) check_equal(tav::console_from_ansi(c.ansi), c.console, c.what);
    // Characters the ANSI code page lacks become '?', never a look-alike
    // (best fit would turn L with stroke into L and z with acute into z).
    check_equal(tav::ansi_from_wide(L"C:\\\u65E5\u672C\\\u0141\u00F3d\u017A.avs"),
                std::string("C:\\??\\?\xF3" "d?.avs"), "names beyond the ANSI code page come back with '?'");
    check_equal(tav::wide_from_ansi("Am\xE9lie"), std::wstring(L"Am\u00E9lie"), "ANSI text to wide");

    using tav::matches_wildcard;
    const struct {
        const char* pattern;
        const char* name;
        bool match;
    } wildcards[] = {
        {"*.ini", "a.ini", true},       {"*.ini", "A.INI", true},        {"*.ini", "a.b.ini", true},
        {"*.ini", ".ini", true},        {"*.ini", "a.ini_bak", false},   {"*.ini", "a.inii", false},
        {"*.ini", "ini", false},        {"*.avs", "x.avs.bak", false},   {"*.*", "noext", false},
        {"*.*", "a.b", true},           {"*", "anything", true},         {"?.avs", "a.avs", true},
        {"?.avs", "ab.avs", false},     {"a*b*c", "aXXbYYc", true},      {"a*b*c", "aXXbYY", false},
        {"**.ini", "x.ini", true},
    };
    for (const auto& w : wildcards)
        check_equal(matches_wildcard(w.pattern, w.name), w.match,
                    std::string("wildcard ") + w.pattern + " against " + w.name);
}

// ---------------------------------------------------------------- dialogs

// Answers the dialogs of this process from a second thread, exactly as a
// driver in another process would: by window class, title and control id.
struct Found {
    DWORD process;
    const char* title;
    HWND window;
};

HWND find_dialog(const char* title) {
    Found found{GetCurrentProcessId(), title, nullptr};
    EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            auto* f = reinterpret_cast<Found*>(param);
            DWORD process = 0;
            GetWindowThreadProcessId(window, &process);
            char class_name[64] = {};
            GetClassNameA(window, class_name, sizeof class_name);
            if (process != f->process || !IsWindowVisible(window) || std::string(class_name) != "#32770")
                return TRUE;
            // Reads the caption without a message: this thread's own windows
            // may belong to a thread that is waiting for it.
            wchar_t text[256] = {};
            InternalGetWindowText(window, text, 256);
            char narrow[512] = {};
            WideCharToMultiByte(CP_ACP, 0, text, -1, narrow, sizeof narrow, nullptr, nullptr);
            if (!f->title || std::string(narrow) == f->title) {
                f->window = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found.window;
}

// Progress lines, on request, to find where a dialog got stuck.
void trace(const std::string& text) {
    if (GetEnvironmentVariableA("PLATFORM_PROBE_TRACE", nullptr, 0) == 0) return;
    std::printf("... %s\n", text.c_str());
    std::fflush(stdout);
}

HWND wait_dialog(const char* title, int timeout_ms = 10000) {
    trace(std::string("waiting for dialog ") + (title ? title : "(any)"));
    for (int waited = 0; waited < timeout_ms; waited += 20) {
        if (HWND dialog = find_dialog(title)) {
            trace("found " + std::to_string(reinterpret_cast<std::uintptr_t>(dialog)));
            return dialog;
        }
        Sleep(20);
    }
    return nullptr;
}

void wait_gone(HWND window, int timeout_ms = 10000) {
    for (int waited = 0; waited < timeout_ms && IsWindow(window); waited += 20) Sleep(20);
}

HWND find_control(HWND dialog, int id) {
    struct Search {
        int id;
        HWND found;
    } search{id, nullptr};
    EnumChildWindows(
        dialog,
        [](HWND child, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            if (GetDlgCtrlID(child) == s->id) {
                s->found = child;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string text_of(HWND window) {
    std::string text(static_cast<std::size_t>(SendMessageA(window, WM_GETTEXTLENGTH, 0, 0)) + 1, '\0');
    const auto got = SendMessageA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(got));
    return text;
}

// The name field of an Explorer-style file dialog: the edit inside the
// combo box 0x47C (an edit with id 0x480 in the item dialog).
HWND name_field(HWND dialog) {
    if (HWND combo = find_control(dialog, 0x47C)) {
        char class_name[64] = {};
        GetClassNameA(combo, class_name, sizeof class_name);
        if (lstrcmpiA(class_name, "Edit") == 0) return combo;
        if (HWND edit = FindWindowExA(combo, nullptr, "Edit", nullptr)) return edit;
        return combo;
    }
    return find_control(dialog, 0x480);
}

void press(HWND dialog, int id) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(find_control(dialog, id)));
}

// Types a name into the file dialog and presses OK.
void enter_name(HWND dialog, const std::string& name) {
    HWND field = name_field(dialog);
    trace("name field " + std::to_string(reinterpret_cast<std::uintptr_t>(field)) + ", typing " + name.substr(0, 80));
    SendMessageA(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
    press(dialog, IDOK);
}

// Types a name beyond the ANSI code page into the file dialog and presses OK.
void enter_wide_name(HWND dialog, const std::wstring& name) {
    SendMessageW(name_field(dialog), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
    press(dialog, IDOK);
}

// Types a folder and OK: the dialog shows that folder and empties the field.
void open_folder(HWND dialog, const std::string& folder) {
    enter_name(dialog, folder);
    HWND field = name_field(dialog);
    for (int waited = 0; waited < 5000 && !text_of(field).empty(); waited += 20) Sleep(20);
}

// Runs `action` on the dialog thread while `answer` drives it from another.
// A dialog the answer missed is cancelled after a grace time, so a wrong
// dialog ends as a failed check instead of a probe that never returns.
template <class Action>
auto answered(Action action, std::function<void()> answer) {
    std::atomic<bool> done{false};
    std::thread driver([&done, answer = std::move(answer)] {
        answer();
        for (int waited = 0; !done && waited < 15000; waited += 50) Sleep(50);
        while (!done) {
            if (HWND left = find_dialog(nullptr)) {
                trace("cancelling a dialog left open");
                PostMessageA(left, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            }
            Sleep(200);
        }
    });
    auto result = action();
    done = true;
    driver.join();
    return result;
}

// Answers one more dialog if it turns up (a prompt that must not appear).
bool no_further_dialog(int wait_ms = 1500) {
    HWND extra = wait_dialog(nullptr, wait_ms);
    if (!extra) return true;
    press(extra, IDYES);
    press(extra, IDOK);
    return false;
}

void check_dialogs(Win32Platform& platform, const std::string& work) {
    const std::string base = work + "dialogs\\";
    platform.create_folder(base);
    const std::string input = base + "in put.avs";
    platform.write_file(input, "Version()\r\n");
    char start_dir[MAX_PATH * 4] = {};
    GetCurrentDirectoryA(sizeof start_dir, start_dir);

    // The owner window must be disabled while a box is open.
    HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100, nullptr,
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
    platform.set_owner(owner);

    // Single open dialog: default caption, filter list, typed full name.
    const FileDialog input_chooser{"", "", "AVS(*.avs)|*.AVS|Other Media|*.*"};
    std::vector<std::string> filter_items;
    int filter_selected = -2;
    bool owner_disabled = false;
    auto opened = answered([&] { return platform.open_file_dialog(input_chooser); },
                           [&] {
                               HWND dialog = wait_dialog(nullptr);
                               if (!dialog) return;
                               owner_disabled = !IsWindowEnabled(owner);
                               HWND types = find_control(dialog, 0x470);
                               filter_selected = static_cast<int>(SendMessageA(types, CB_GETCURSEL, 0, 0));
                               for (int i = 0, n = static_cast<int>(SendMessageA(types, CB_GETCOUNT, 0, 0)); i < n; ++i) {
                                   char item[256] = {};
                                   SendMessageA(types, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
                                   filter_items.emplace_back(item);
                               }
                               enter_name(dialog, input);
                           });
    check_equal(opened, std::optional<std::string>(input), "open dialog returns the typed file: " + shown(opened));
    check_equal(filter_items, std::vector<std::string>{"AVS(*.avs)", "Other Media"}, "open dialog shows the filter labels");
    check_equal(filter_selected, 0, "open dialog preselects the first filter");
    check(owner_disabled, "the owner is disabled while the open dialog is shown");
    check(IsWindowEnabled(owner), "the owner is enabled again afterwards");

    auto cancelled = answered([&] { return platform.open_file_dialog(input_chooser); },
                              [&] {
                                  if (HWND dialog = wait_dialog(nullptr)) press(dialog, IDCANCEL);
                              });
    check(!cancelled, "a cancelled open dialog gives nullopt");

    // Names beyond the ANSI code page come back with '?' for what it lacks;
    // accented letters it has come back as they are.
    const std::wstring wide_base = tav::wide_from_ansi(base);
    for (const wchar_t* name : {L"\u65E5\u672C \u0141\u00F3d\u017A.avs", L"Am\u00E9lie.avs"})
        CloseHandle(CreateFileW((wide_base + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    auto beyond = answered([&] { return platform.open_file_dialog(input_chooser); },
                           [&] {
                               if (HWND dialog = wait_dialog(nullptr))
                                   enter_wide_name(dialog, wide_base + L"\u65E5\u672C \u0141\u00F3d\u017A.avs");
                           });
    check_equal(beyond, std::optional<std::string>(base + "?? ?\xF3" "d?.avs"),
                "the open dialog marks what the ANSI code page lacks: " + shown(beyond));
    auto beyond_many = answered([&] { return platform.open_files_dialog({"Select some files", "", ""}); },
                                [&] {
                                    if (HWND dialog = wait_dialog("Select some files")) {
                                        open_folder(dialog, base);
                                        enter_wide_name(dialog, L"\"Am\u00E9lie.avs\" \"\u65E5\u672C \u0141\u00F3d\u017A.avs\"");
                                    }
                                });
    check_equal(beyond_many,
                std::optional<std::vector<std::string>>(
                    std::vector<std::string>{base + "Am\xE9lie.avs", base + "?? ?\xF3" "d?.avs"}),
                "a multi-selection marks what the ANSI code page lacks");
    CreateDirectoryW((wide_base + L"\u65E5\u672C").c_str(), nullptr);
    auto beyond_folder = answered([&] { return platform.folder_dialog("Select a folder for output", base); },
                                  [&] {
                                      if (HWND dialog = wait_dialog("Select a folder for output"))
                                          enter_wide_name(dialog, wide_base + L"\u65E5\u672C");
                                  });
    check_equal(beyond_folder, std::optional<std::string>(base + "??\\"),
                "the folder chooser marks what the ANSI code page lacks: " + shown(beyond_folder));

    // Save dialog: prefilled name, no extension added, no overwrite prompt.
    const FileDialog log_chooser{"", "prefilled log.txt", "Log file (*.txt)|*.txt"};
    std::string prefilled;
    auto saved = answered([&] { return platform.save_file_dialog(log_chooser); },
                          [&] {
                              HWND dialog = wait_dialog(nullptr);
                              if (!dialog) return;
                              prefilled = text_of(name_field(dialog));
                              enter_name(dialog, base + "no extension");
                          });
    check_equal(prefilled, std::string("prefilled log.txt"), "save dialog shows the default name: " + prefilled);
    check_equal(saved, std::optional<std::string>(base + "no extension"),
                "save dialog adds no extension: " + shown(saved));
    bool prompt_absent = true;
    auto replaced = answered([&] { return platform.save_file_dialog({"Make", "", "Batch File|*.BAT"}); },
                             [&] {
                                 HWND dialog = wait_dialog("Make");
                                 if (!dialog) return;
                                 enter_name(dialog, input);
                                 wait_gone(dialog);
                                 prompt_absent = no_further_dialog();
                             });
    check_equal(replaced, std::optional<std::string>(input), "save dialog returns an existing file");
    check(prompt_absent, "save dialog does not ask before replacing");

    // Multi-selection: 2,000 files come back complete and in order, also
    // when the selection outgrows the first buffer.
    const std::string many = base + "many\\";
    platform.create_folder(many);
    std::vector<std::string> expected;
    std::string typed;
    for (int i = 0; i < 2000; ++i) {
        char name[80];
        std::snprintf(name, sizeof name, "clip %04d of a rather long selection.avs", (i * 7919) % 2000);
        platform.write_file(many + name, "");
        expected.push_back(many + name);
        typed += std::string(typed.empty() ? "" : " ") + "\"" + name + "\"";
    }
    const FileDialog files_chooser{"Select some files", "", "AVS(*.AVS)|*.avs|Other Media|*.*"};
    auto choose_many = [&](HWND dialog) {
        open_folder(dialog, many);
        enter_name(dialog, typed);
    };
    auto all = answered([&] { return platform.open_files_dialog(files_chooser); },
                        [&] {
                            if (HWND dialog = wait_dialog("Select some files")) choose_many(dialog);
                        });
    check(all && all->size() == expected.size(),
          "2,000 selected files all come back: " + std::to_string(all ? all->size() : 0));
    check(all && *all == expected, "selected files come back as full paths in the dialog's order");

    int shown_times = 0;
    auto regrown = answered([&] { return tav::show_open_files_dialog(owner, files_chooser, 4096); },
                            [&] {
                                for (HWND dialog; (dialog = wait_dialog("Select some files", 3000)) != nullptr;) {
                                    ++shown_times;
                                    choose_many(dialog);
                                    wait_gone(dialog);
                                    if (shown_times == 4) break;
                                }
                            });
    check(regrown && *regrown == expected,
          "a selection larger than the buffer comes back complete (dialog shown " + std::to_string(shown_times) +
              " times, " + std::to_string(regrown ? regrown->size() : 0) + " files)");

    auto single = answered([&] { return platform.open_files_dialog(files_chooser); },
                           [&] {
                               if (HWND dialog = wait_dialog("Select some files")) enter_name(dialog, input);
                           });
    check_equal(single, std::optional<std::vector<std::string>>(std::vector<std::string>{input}),
                "one selected file comes back as its full path");

    // Folder chooser: a typed folder path, returned with a backslash.
    const std::string out = base + "out put";
    platform.create_folder(out);
    auto folder = answered([&] { return platform.folder_dialog("Select a folder for output", platform.program_folder()); },
                           [&] {
                               if (HWND dialog = wait_dialog("Select a folder for output")) enter_name(dialog, out);
                           });
    check_equal(folder, std::optional<std::string>(out + "\\"), "folder chooser returns the typed folder: " + shown(folder));
    auto no_folder = answered([&] { return platform.folder_dialog("Select a folder for output", base); },
                              [&] {
                                  if (HWND dialog = wait_dialog("Select a folder for output")) press(dialog, IDCANCEL);
                              });
    check(!no_folder, "a cancelled folder chooser gives nullopt");

    char end_dir[MAX_PATH * 4] = {};
    GetCurrentDirectoryA(sizeof end_dir, end_dir);
    check_equal(std::string(end_dir), std::string(start_dir), "the dialogs leave the current directory alone");

    // Input box: size, place, prompt, prefilled field with the caret at its end.
    RECT box{};
    std::string prompt, field;
    DWORD selection = 0;
    bool box_owner_disabled = false;
    const std::string line = "@x264.exe --progress --no-psnr \"C:\\in put.avs\"";
    auto edited = answered([&] { return platform.input_box("Edit", "For expert only!", line); },
                           [&] {
                               HWND dialog = wait_dialog("Edit");
                               if (!dialog) return;
                               box_owner_disabled = !IsWindowEnabled(owner);
                               GetWindowRect(dialog, &box);
                               prompt = text_of(find_control(dialog, tav::kInputBoxPromptId));
                               HWND edit = find_control(dialog, tav::kInputBoxFieldId);
                               field = text_of(edit);
                               Sleep(200);  // let the box settle after its activation
                               selection = static_cast<DWORD>(SendMessageA(edit, EM_GETSEL, 0, 0));
                               SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("@rem changed"));
                               press(dialog, IDOK);
                           });
    check_equal(edited, std::optional<std::string>("@rem changed"), "input box OK gives the field's text");
    check_equal(box.right - box.left, 300L, "input box is 300 pixels wide");
    check_equal(box.bottom - box.top, 130L, "input box is 130 pixels high");
    check_equal(box.left, static_cast<LONG>((GetSystemMetrics(SM_CXSCREEN) - 300) / 2), "input box is centred across");
    check_equal(box.top, static_cast<LONG>((GetSystemMetrics(SM_CYSCREEN) - 130) / 2), "input box is centred down");
    check_equal(prompt, std::string("For expert only!"), "input box prompt");
    check_equal(field, line, "input box field holds the initial text");
    check_equal(LOWORD(selection), line.size(), "input box caret starts at the end");
    check_equal(HIWORD(selection), line.size(), "input box selects nothing");
    check(box_owner_disabled, "the owner is disabled while the input box is shown");

    // Keys and the close box.
    auto key_to_field = [&](WPARAM key) {
        return [&, key] {
            if (HWND dialog = wait_dialog("Edit")) {
                HWND edit = find_control(dialog, tav::kInputBoxFieldId);
                PostMessageA(edit, WM_KEYDOWN, key, 1);
                PostMessageA(edit, WM_KEYUP, key, 0xC0000001);
            }
        };
    };
    check_equal(answered([&] { return platform.input_box("Edit", "For expert only!", "kept as is"); },
                         key_to_field(VK_RETURN)),
                std::optional<std::string>("kept as is"), "Enter in the input box gives the text");
    check(!answered([&] { return platform.input_box("Edit", "For expert only!", "dropped"); }, key_to_field(VK_ESCAPE)),
          "Escape in the input box gives nullopt");
    check(!answered([&] { return platform.input_box("Edit", "For expert only!", "dropped"); },
                    [&] {
                        if (HWND dialog = wait_dialog("Edit")) PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
                    }),
          "the close box of the input box gives nullopt");
    check_equal(answered([&] { return platform.input_box("Edit", "For expert only!", "emptied"); },
                         [&] {
                             if (HWND dialog = wait_dialog("Edit")) {
                                 SendMessageA(find_control(dialog, tav::kInputBoxFieldId), WM_SETTEXT, 0,
                                              reinterpret_cast<LPARAM>(""));
                                 press(dialog, IDOK);
                             }
                         }),
                std::optional<std::string>(""), "an emptied field with OK gives empty text, not a cancel");
    std::string long_line = "@echo ";
    while (long_line.size() < 100000) long_line += "a long line of a job ";
    check_equal(answered([&] { return platform.input_box("Edit", "For expert only!", long_line); },
                         [&] {
                             if (HWND dialog = wait_dialog("Edit")) press(dialog, IDOK);
                         }),
                std::optional<std::string>(long_line), "a 100,000-character line passes the input box unchanged");

    // Message boxes.
    std::string message_text;
    answered(
        [&] {
            platform.message_box("The command line parameter is:", line);
            return 0;
        },
        [&] {
            if (HWND dialog = wait_dialog("The command line parameter is:")) {
                message_text = text_of(find_control(dialog, 0xFFFF));
                press(dialog, IDOK);
            }
        });
    check_equal(message_text, line, "message box shows the text");
    auto answer_yes_no = [&](int button) {
        return answered([&] { return platform.ask_yes_no("Save", "Are you sure?"); },
                        [&] {
                            if (HWND dialog = wait_dialog("Save")) press(dialog, button);
                        });
    };
    check(answer_yes_no(IDYES), "Yes gives true");
    check(!answer_yes_no(IDNO), "No gives false");

    DestroyWindow(owner);
}

}  // namespace

int main(int argc, char** argv) {
    const std::string what = argc > 1 ? argv[1] : "all";
    std::string work;
    if (argc > 2) {
        work = argv[2];
    } else {
        char temp[MAX_PATH + 1] = {};
        GetTempPathA(sizeof temp, temp);
        work = std::string(temp) + "platform_probe";
    }
    if (work.back() != '\\') work += '\\';
    CreateDirectoryA(work.c_str(), nullptr);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);

    Win32Platform platform;
    if (what == "rules" || what == "all") check_rules();
    if (what == "files" || what == "all") check_files(platform, work);
    if (what == "dialogs" || what == "all") check_dialogs(platform, work);

    std::printf("%d checks, %d failed\n", checks, failures);
    CoUninitialize();
    return failures == 0 ? 0 : 1;
}
