#include "driver.h"

#include <commctrl.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <ostream>

#include "check.h"

namespace fs = std::filesystem;

namespace tav::e2e {

std::ostream& operator<<(std::ostream& out, const Rect& r) {
    return out << '(' << r.x << ", " << r.y << ") " << r.width << " x " << r.height;
}

std::string class_name(HWND hwnd) {
    char name[128] = {};
    GetClassNameA(hwnd, name, sizeof name);
    return name;
}

std::string window_text(HWND hwnd) {
    // WM_GETTEXT rather than GetWindowText: the latter does not ask other
    // processes' windows for their text.
    const auto length = SendMessageA(hwnd, WM_GETTEXTLENGTH, 0, 0);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    const auto got = SendMessageA(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(got));
    return text;
}

Rect rect_in_parent(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    MapWindowPoints(HWND_DESKTOP, GetParent(hwnd), reinterpret_cast<POINT*>(&r), 2);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

bool set_screen_dpi(int dpi) {
    const DWORD value = static_cast<DWORD>(dpi);
    return RegSetKeyValueA(HKEY_CURRENT_USER, "Control Panel\\Desktop", "LogPixels", REG_DWORD, &value,
                           sizeof value) == ERROR_SUCCESS;
}

ScreenDpi::ScreenDpi(int dpi) {
    if (!set_screen_dpi(dpi)) throw Abort("cannot set the screen's DPI to " + std::to_string(dpi));
}

std::vector<COLORREF> screen_pixels(const RECT& area) {
    const int width = area.right - area.left, height = area.bottom - area.top;
    if (width <= 0 || height <= 0) return {};
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
    SelectObject(memory, old);
    // Top-down rows of 32-bit pixels, blue in the low byte.
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<COLORREF> pixels(static_cast<size_t>(width) * static_cast<size_t>(height));
    GetDIBits(memory, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
    for (COLORREF& p : pixels) p = RGB(GetBValue(p), GetGValue(p), GetRValue(p));
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

fs::path program_under_test() {
    const char* path = std::getenv("TAV_PROGRAM_WIN");
    if (!path || !*path) throw Abort("TAV_PROGRAM_WIN does not name the program under test");
    return path;
}

fs::path path_from_ansi(std::string_view text) {
    std::wstring wide(text.size(), L'\0');
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                                           static_cast<int>(wide.size()));
    wide.resize(static_cast<size_t>(length < 0 ? 0 : length));
    return fs::path(wide);
}

std::string ansi_path(const fs::path& path) {
    const std::wstring wide = path.wstring();
    std::string text(wide.size() * 2, '\0');
    const int length = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), text.data(),
                                           static_cast<int>(text.size()), nullptr, nullptr);
    text.resize(static_cast<size_t>(length < 0 ? 0 : length));
    return text;
}

fs::path make_temp_folder(std::string_view prefix) {
    static unsigned counter = 0;
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    for (;;) {
        const fs::path folder = path_from_ansi(std::string(temp) + std::string(prefix) +
                                               std::to_string(GetCurrentProcessId()) + "-" +
                                               std::to_string(GetTickCount()) + "-" + std::to_string(++counter));
        std::error_code error;
        if (fs::create_directories(folder, error)) return folder;
        if (error) throw Abort("cannot create " + ansi_path(folder) + ": " + error.message());
    }
}

namespace {

struct WindowSearch {
    DWORD pid;
    std::string title;
    std::string window_class;
    std::vector<HWND> found;
};

BOOL CALLBACK collect_top_level(HWND hwnd, LPARAM param) {
    auto& search = *reinterpret_cast<WindowSearch*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != search.pid || !IsWindowVisible(hwnd)) return TRUE;
    if (!search.window_class.empty() && class_name(hwnd) != search.window_class) return TRUE;
    if (!search.title.empty() && window_text(hwnd) != search.title) return TRUE;
    search.found.push_back(hwnd);
    return TRUE;
}

std::vector<HWND> top_level_windows(DWORD pid, std::string title, std::string window_class) {
    WindowSearch search{pid, std::move(title), std::move(window_class), {}};
    EnumWindows(collect_top_level, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

BOOL CALLBACK collect_child(HWND hwnd, LPARAM param) {
    reinterpret_cast<std::vector<HWND>*>(param)->push_back(hwnd);
    return TRUE;
}

bool is_combo(HWND hwnd) { return class_name(hwnd) == "ComboBox"; }

}  // namespace

Program::Program(const StartOptions& options) {
    own_folder_ = options.program_folder.empty();
    folder_ = own_folder_ ? make_temp_folder("tav-e2e-") : options.program_folder;
    const fs::path exe = folder_ / "tavrelion.exe";
    std::error_code error;
    // A folder started in again may hold the program running there still.
    if (!fs::exists(exe)) fs::copy_file(program_under_test(), exe, error);
    if (error) throw Abort("cannot copy the program: " + error.message());
    for (const auto& [name, content] : options.files) {
        const fs::path file = folder_ / path_from_ansi(name);
        fs::create_directories(file.parent_path(), error);
        std::ofstream(file, std::ios::binary) << content;
    }

    // A job object ends the program with the test program, even on a crash.
    job_ = CreateJobObjectA(nullptr, nullptr);
    if (job_) {
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        SetInformationJobObject(job_, JobObjectExtendedLimitInformation, &limits, sizeof limits);
    }

    const fs::path cwd = options.working_directory.empty() ? folder_ : options.working_directory;
    std::string command = "\"" + ansi_path(exe) + "\"";
    for (const std::string& argument : options.arguments)
        command += argument.find(' ') == std::string::npos ? " " + argument : " \"" + argument + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessA(ansi_path(exe).c_str(), command.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED,
                        nullptr, ansi_path(cwd).c_str(), &startup, &process_)) {
        throw Abort("cannot start " + ansi_path(exe) + ", error " + std::to_string(GetLastError()));
    }
    if (job_) AssignProcessToJobObject(job_, process_.hProcess);
    ResumeThread(process_.hThread);

    const bool shown = wait_until(
        [&] {
            if (!running()) return true;
            // Not a box of the same title that the start-up shows above it.
            for (HWND found : top_level_windows(process_.dwProcessId, "tavrelion", ""))
                if (class_name(found) != "#32770") window_ = found;
            return window_ != nullptr;
        },
        20000);
    if (!window_) {
        DWORD code = 0;
        GetExitCodeProcess(process_.hProcess, &code);
        throw Abort(shown ? "the program ended before showing its window, exit code " + std::to_string(code)
                          : std::string("no visible window titled \"tavrelion\" within 20 s"));
    }
    // The window shows before the lists are filled and the settings loaded:
    // wait until the program waits for input in its event loop.
    WaitForInputIdle(process_.hProcess, 10000);
    DWORD_PTR ignored = 0;
    if (!SendMessageTimeoutA(window_, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &ignored)) {
        throw Abort("the program does not answer after start-up");
    }
}

Program::~Program() {
    if (running()) {
        TerminateProcess(process_.hProcess, 99);
        WaitForSingleObject(process_.hProcess, 5000);
    }
    if (process_.hProcess) CloseHandle(process_.hProcess);
    if (process_.hThread) CloseHandle(process_.hThread);
    if (job_) CloseHandle(job_);
    std::error_code ignored;
    if (!own_folder_) {
        // Its owner removes it.
    } else if (failure_count() == 0) {
        fs::remove_all(folder_, ignored);
    } else {
        std::printf("program folder kept for inspection: %s\n", ansi_path(folder_).c_str());
    }
}

bool Program::running() const {
    return process_.hProcess && WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
}

std::vector<HWND> Program::descendants() const {
    std::vector<HWND> all;
    EnumChildWindows(window_, collect_child, reinterpret_cast<LPARAM>(&all));
    return all;
}

HWND Program::find_control(int id) const {
    for (HWND hwnd : descendants()) {
        if (GetDlgCtrlID(hwnd) != id) continue;
        // Pages and other plain children also carry identifier 0: the
        // panel is the one tab control.
        if (id == 0 && class_name(hwnd) != WC_TABCONTROLA) continue;
        return hwnd;
    }
    return nullptr;
}

HWND Program::control(int id) const {
    HWND hwnd = find_control(id);
    if (!hwnd) throw Abort("no control with identifier " + std::to_string(id));
    return hwnd;
}

std::string Program::text(int id) const { return window_text(control(id)); }

int Program::selection(int id) const {
    HWND hwnd = control(id);
    return static_cast<int>(SendMessageA(hwnd, is_combo(hwnd) ? CB_GETCURSEL : LB_GETCURSEL, 0, 0));
}

std::vector<std::string> Program::items(int id) const {
    HWND hwnd = control(id);
    const bool combo = is_combo(hwnd);
    const int count = static_cast<int>(SendMessageA(hwnd, combo ? CB_GETCOUNT : LB_GETCOUNT, 0, 0));
    std::vector<std::string> result;
    for (int i = 0; i < count; ++i) {
        // Read inside the program, in wide characters: Wine carries item
        // texts through fixed 512-character buffers, both across processes
        // and from ANSI callers, which long job lines overflow.
        const auto length = SendMessageW(hwnd, combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN, i, 0);
        std::wstring wide(static_cast<size_t>(length < 0 ? 0 : length) + 1, L'\0');
        const size_t bytes = wide.size() * sizeof(wchar_t);
        void* remote = VirtualAllocEx(process_.hProcess, nullptr, bytes, MEM_COMMIT, PAGE_READWRITE);
        if (!remote) throw Abort("cannot reserve memory in the program");
        send_inside(hwnd, combo ? CB_GETLBTEXT : LB_GETTEXT, i, reinterpret_cast<LPARAM>(remote));
        ReadProcessMemory(process_.hProcess, remote, wide.data(), bytes, nullptr);
        VirtualFreeEx(process_.hProcess, remote, 0, MEM_RELEASE);
        wide.resize(wcsnlen(wide.c_str(), wide.size()));
        std::string text(wide.size() * 2 + 1, '\0');
        const int converted = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), static_cast<int>(wide.size()),
                                                  text.data(), static_cast<int>(text.size()), nullptr, nullptr);
        text.resize(static_cast<size_t>(converted < 0 ? 0 : converted));
        result.push_back(std::move(text));
    }
    return result;
}

int Program::checked(int id) const { return static_cast<int>(SendMessageA(control(id), BM_GETCHECK, 0, 0)); }

int Program::slider(int id) const { return static_cast<int>(SendMessageA(control(id), TBM_GETPOS, 0, 0)); }

bool Program::enabled(int id) const { return IsWindowEnabled(control(id)); }

bool Program::shown(int id) const { return (GetWindowLongA(control(id), GWL_STYLE) & WS_VISIBLE) != 0; }

bool Program::visible(int id) const { return IsWindowVisible(control(id)); }

int Program::tab() const { return static_cast<int>(SendMessageA(control(0), TCM_GETCURSEL, 0, 0)); }

std::vector<std::string> Program::tab_captions() const {
    HWND panel = control(0);
    const int count = static_cast<int>(SendMessageA(panel, TCM_GETITEMCOUNT, 0, 0));
    // TCM_GETITEM works through pointers: item and text buffer live in the program.
    constexpr int kTextSize = 256;
    auto* remote = static_cast<char*>(
        VirtualAllocEx(process_.hProcess, nullptr, sizeof(TCITEMA) + kTextSize, MEM_COMMIT, PAGE_READWRITE));
    if (!remote) throw Abort("cannot reserve memory in the program");
    std::vector<std::string> captions;
    for (int i = 0; i < count; ++i) {
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = remote + sizeof(TCITEMA);
        item.cchTextMax = kTextSize;
        char text[kTextSize] = {};
        if (WriteProcessMemory(process_.hProcess, remote, &item, sizeof item, nullptr) &&
            SendMessageA(panel, TCM_GETITEMA, i, reinterpret_cast<LPARAM>(remote)) &&
            ReadProcessMemory(process_.hProcess, remote + sizeof(TCITEMA), text, kTextSize - 1, nullptr)) {
            captions.emplace_back(text);
        } else {
            captions.emplace_back("<unreadable>");
        }
    }
    VirtualFreeEx(process_.hProcess, remote, 0, MEM_RELEASE);
    return captions;
}

namespace {

// Base address of a module in another process, by name.
std::uintptr_t module_base(DWORD pid, const char* name) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, pid);
    if (snapshot == INVALID_HANDLE_VALUE) return 0;
    std::uintptr_t base = 0;
    MODULEENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Module32First(snapshot, &entry); more; more = Module32Next(snapshot, &entry)) {
        if (_stricmp(entry.szModule, name) == 0) {
            base = reinterpret_cast<std::uintptr_t>(entry.modBaseAddr);
            break;
        }
    }
    CloseHandle(snapshot);
    return base;
}

}  // namespace

std::uintptr_t Program::send_inside(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) const {
    // The thread runs SendMessageW(hwnd, message, wparam, lparam) and exits
    // with the result; handles and lengths fit in the 32 bits of an exit code.
    const std::uintptr_t own_user32 = reinterpret_cast<std::uintptr_t>(GetModuleHandleA("user32.dll"));
    const std::uintptr_t their_user32 = module_base(process_.dwProcessId, "user32.dll");
    if (!own_user32 || !their_user32) throw Abort("cannot find user32.dll in the program");
    const std::uintptr_t send =
        reinterpret_cast<std::uintptr_t>(GetProcAddress(GetModuleHandleA("user32.dll"), "SendMessageW")) -
        own_user32 + their_user32;
    unsigned char code[] = {
        0x48, 0x83, 0xEC, 0x28,                    // sub rsp, 40
        0x48, 0xB9, 0, 0, 0, 0, 0, 0, 0, 0,        // mov rcx, hwnd
        0xBA, 0, 0, 0, 0,                          // mov edx, message
        0x49, 0xB8, 0, 0, 0, 0, 0, 0, 0, 0,        // mov r8, wparam
        0x49, 0xB9, 0, 0, 0, 0, 0, 0, 0, 0,        // mov r9, lparam
        0x48, 0xB8, 0, 0, 0, 0, 0, 0, 0, 0,        // mov rax, SendMessageW
        0xFF, 0xD0,                                // call rax
        0x48, 0x83, 0xC4, 0x28,                    // add rsp, 40
        0xC3,                                      // ret
    };
    std::memcpy(code + 6, &hwnd, 8);
    std::memcpy(code + 15, &message, 4);
    std::memcpy(code + 21, &wparam, 8);
    std::memcpy(code + 31, &lparam, 8);
    std::memcpy(code + 41, &send, 8);
    void* remote = VirtualAllocEx(process_.hProcess, nullptr, sizeof code, MEM_COMMIT, PAGE_EXECUTE_READWRITE);
    if (!remote) throw Abort("cannot reserve memory in the program");
    DWORD result = 0;
    HANDLE thread = nullptr;
    if (WriteProcessMemory(process_.hProcess, remote, code, sizeof code, nullptr)) {
        thread = CreateRemoteThread(process_.hProcess, nullptr, 0, reinterpret_cast<LPTHREAD_START_ROUTINE>(remote),
                                    nullptr, 0, nullptr);
    }
    const bool done = thread && WaitForSingleObject(thread, 5000) == WAIT_OBJECT_0 && GetExitCodeThread(thread, &result);
    if (thread) CloseHandle(thread);
    if (done) VirtualFreeEx(process_.hProcess, remote, 0, MEM_RELEASE);
    if (!done) throw Abort("could not send a message inside the program");
    return result;
}

std::uintptr_t Program::send_inside(HWND hwnd, UINT message, WPARAM wparam, const void* data, size_t size) const {
    void* remote = VirtualAllocEx(process_.hProcess, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
    if (!remote) throw Abort("cannot reserve memory in the program");
    if (!WriteProcessMemory(process_.hProcess, remote, data, size, nullptr)) {
        VirtualFreeEx(process_.hProcess, remote, 0, MEM_RELEASE);
        throw Abort("cannot write into the program's memory");
    }
    const std::uintptr_t result = send_inside(hwnd, message, wparam, reinterpret_cast<LPARAM>(remote));
    VirtualFreeEx(process_.hProcess, remote, 0, MEM_RELEASE);
    return result;
}

std::uintptr_t Program::font(HWND hwnd) const { return send_inside(hwnd, WM_GETFONT, 0, 0); }

void Program::require_reachable(int id, HWND hwnd) const {
    if (!IsWindowVisible(hwnd)) throw Abort("control " + std::to_string(id) + " is not visible to the user");
    for (HWND w = hwnd; w && w != window_; w = GetParent(w)) {
        if (!IsWindowEnabled(w)) throw Abort("control " + std::to_string(id) + " is disabled");
    }
}

void Program::notify_parent(HWND hwnd, int code) const {
    SendMessageA(GetParent(hwnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd), code), reinterpret_cast<LPARAM>(hwnd));
}

void Program::type(int id, std::string_view characters) {
    HWND hwnd = control(id);
    require_reachable(id, hwnd);
    // The caret goes to the end of the text, where a user would continue typing.
    SendMessageA(hwnd, EM_SETSEL, 0x7fffffff, 0x7fffffff);
    for (char c : characters) SendMessageA(hwnd, WM_CHAR, static_cast<unsigned char>(c), 1);
}

void Program::paste(int id, std::string_view text) {
    HWND hwnd = control(id);
    require_reachable(id, hwnd);
    const std::string copy(text);
    SendMessageA(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(copy.c_str()));
}

void Program::erase(int id) {
    HWND hwnd = control(id);
    require_reachable(id, hwnd);
    SendMessageA(hwnd, EM_SETSEL, 0, -1);
    SendMessageA(hwnd, WM_CHAR, VK_BACK, 1);
}

void Program::click(int id) {
    HWND hwnd = control(id);
    require_reachable(id, hwnd);
    SendMessageA(hwnd, BM_CLICK, 0, 0);
}

void Program::click_async(int id) {
    HWND hwnd = control(id);
    require_reachable(id, hwnd);
    PostMessageA(hwnd, BM_CLICK, 0, 0);
}

void Program::drop(const std::vector<fs::path>& names) {
    // The names one after another, each ending in a zero, and one zero more.
    std::wstring list;
    for (const fs::path& name : names) list += name.wstring() + L'\0';
    list += L'\0';
    DROPFILES header{};
    header.pFiles = sizeof header;
    header.fWide = TRUE;
    std::string block(reinterpret_cast<const char*>(&header), sizeof header);
    block.append(reinterpret_cast<const char*>(list.data()), list.size() * sizeof(wchar_t));
    // The program frees it when it finishes the drop.
    void* remote = VirtualAllocEx(process_.hProcess, nullptr, block.size(), MEM_COMMIT, PAGE_READWRITE);
    if (!remote || !WriteProcessMemory(process_.hProcess, remote, block.data(), block.size(), nullptr))
        throw Abort("cannot place the dropped names in the program");
    PostMessageA(window_, WM_DROPFILES, reinterpret_cast<WPARAM>(remote), 0);
}

void Program::select(int id, int index) {
    HWND hwnd = control(id);
    require_reachable(id, hwnd);
    const bool combo = is_combo(hwnd);
    SendMessageA(hwnd, combo ? CB_SETCURSEL : LB_SETCURSEL, index, 0);
    notify_parent(hwnd, combo ? CBN_SELCHANGE : LBN_SELCHANGE);
}

void Program::select_async(int id, int index) {
    HWND hwnd = control(id);
    require_reachable(id, hwnd);
    const bool combo = is_combo(hwnd);
    SendMessageA(hwnd, combo ? CB_SETCURSEL : LB_SETCURSEL, index, 0);
    PostMessageA(GetParent(hwnd), WM_COMMAND, MAKEWPARAM(id, combo ? CBN_SELCHANGE : LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(hwnd));
}

void Program::slide(int id, int position) {
    HWND hwnd = control(id);
    require_reachable(id, hwnd);
    SendMessageA(hwnd, TBM_SETPOS, TRUE, position);
    // A drag ends with these two notifications.
    for (int code : {TB_THUMBPOSITION, TB_ENDTRACK}) {
        SendMessageA(GetParent(hwnd), WM_HSCROLL, MAKEWPARAM(code, position), reinterpret_cast<LPARAM>(hwnd));
    }
}

void Program::leave(int id) {
    HWND hwnd = control(id);
    require_reachable(id, hwnd);
    notify_parent(hwnd, EN_KILLFOCUS);
}

RECT Program::tab_rect(int index) const {
    // TCM_GETITEMRECT writes through a pointer, so the rectangle must live
    // in the program's own memory.
    void* remote = VirtualAllocEx(process_.hProcess, nullptr, sizeof(RECT), MEM_COMMIT, PAGE_READWRITE);
    if (!remote) throw Abort("cannot reserve memory in the program");
    RECT item{};
    if (!SendMessageA(control(0), TCM_GETITEMRECT, index, reinterpret_cast<LPARAM>(remote)) ||
        !ReadProcessMemory(process_.hProcess, remote, &item, sizeof item, nullptr))
        item = RECT{};
    VirtualFreeEx(process_.hProcess, remote, 0, MEM_RELEASE);
    return item;
}

void Program::select_tab(int index) {
    HWND panel = control(0);
    RECT row{};
    GetClientRect(panel, &row);
    RECT item = tab_rect(index);
    const auto got = [&] { return item.right > item.left; };
    // When the row of tabs is wider than the panel, part of it is scrolled
    // out of sight; scroll it as the row's arrow buttons do.
    const int arrows = 2 * GetSystemMetrics(SM_CXHSCROLL);
    // Each scroll moves the row by one tab towards the wanted one.
    const int count = static_cast<int>(SendMessageA(panel, TCM_GETITEMCOUNT, 0, 0));
    for (int step = 0; step < count && (!got() || item.left < 0 || item.right > row.right - arrows); ++step) {
        SendMessageA(panel, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, index), 0);
        item = tab_rect(index);
    }
    if (!got()) throw Abort("no tab " + std::to_string(index));
    const LPARAM at = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
    SendMessageA(panel, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(panel, WM_LBUTTONUP, 0, at);
    if (!wait_until([&] { return tab() == index; }, 3000)) {
        throw Abort("clicking tab " + std::to_string(index) + " did not select it");
    }
}

bool Program::dialog_open() const { return !top_level_windows(process_.dwProcessId, "", "#32770").empty(); }

HWND Program::wait_dialog(DWORD timeout_ms) const {
    HWND dialog = nullptr;
    wait_until(
        [&] {
            const auto found = top_level_windows(process_.dwProcessId, "", "#32770");
            if (!found.empty()) dialog = found.front();
            return dialog != nullptr;
        },
        timeout_ms);
    if (!dialog) throw Abort("no dialog appeared");
    return dialog;
}

std::string Program::dialog_text(HWND dialog) { return window_text(GetDlgItem(dialog, 0xFFFF)); }

void Program::press(HWND dialog, int button) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, button)));
}

void Program::choose_file(HWND dialog, std::string_view path) {
    // Explorer-style dialogs keep the name field in combo 0x47C (an edit in
    // older layouts); older ones use edit 0x480.
    HWND field = GetDlgItem(dialog, 0x47C);
    if (field && class_name(field) == "ComboBox") field = FindWindowExA(field, nullptr, "Edit", nullptr);
    if (!field) field = GetDlgItem(dialog, 0x480);
    if (!field) throw Abort("the file dialog has no name field");
    const std::string text(path);
    SendMessageA(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    press(dialog, IDOK);
}

void Program::settle(DWORD timeout_ms) {
    if (!wait_until([&] { return !dialog_open() || !running(); }, timeout_ms)) throw Abort("a dialog stayed open");
    if (!running()) {
        DWORD code = 0;
        GetExitCodeProcess(process_.hProcess, &code);
        char text[64];
        std::snprintf(text, sizeof text, "the program ended unexpectedly, exit code 0x%lX", code);
        throw Abort(text);
    }
    DWORD_PTR ignored = 0;
    if (!SendMessageTimeoutA(window_, WM_NULL, 0, 0, SMTO_NORMAL, timeout_ms, &ignored)) {
        throw Abort("the program does not answer");
    }
}

HWND Program::focus() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(process_.dwThreadId, &info);
    return info.hwndFocus;
}

void Program::press_key(WORD key) {
    HWND target = focus();
    if (!target) throw Abort("no control has the focus");
    const UINT scan = MapVirtualKeyA(key, MAPVK_VK_TO_VSC);
    PostMessageA(target, WM_KEYDOWN, key, 1 | (scan << 16));
    PostMessageA(target, WM_KEYUP, key, 1 | (scan << 16) | 0xC0000000u);
}

void Program::screenshot(std::string_view name) const {
    const char* folder = std::getenv("TAV_SHOT_WIN");
    if (!folder || !*folder) return;
    // Let the program paint what the last action changed.
    RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    SendMessageA(window_, WM_NULL, 0, 0);
    Sleep(300);

    RECT r{};
    GetWindowRect(window_, &r);
    const int width = r.right - r.left, height = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY | CAPTUREBLT);
    SelectObject(memory, old);

    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;  // bottom-up rows, as a BMP file stores them
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    const int stride = (width * 3 + 3) & ~3;
    std::string pixels(static_cast<size_t>(stride) * height, '\0');
    GetDIBits(memory, bitmap, 0, height, pixels.data(), reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);

    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    std::ofstream out(fs::path(folder) / (std::string(name) + ".bmp"), std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&info), sizeof info);
    out.write(pixels.data(), static_cast<std::streamsize>(pixels.size()));
}

DWORD Program::wait_exit(DWORD timeout_ms) {
    if (WaitForSingleObject(process_.hProcess, timeout_ms) != WAIT_OBJECT_0) {
        throw Abort("the program did not end within " + std::to_string(timeout_ms) + " ms");
    }
    DWORD code = 0;
    GetExitCodeProcess(process_.hProcess, &code);
    return code;
}

void Program::kill() {
    if (!running()) return;
    TerminateProcess(process_.hProcess, 99);
    if (WaitForSingleObject(process_.hProcess, 15000) != WAIT_OBJECT_0) throw Abort("the program could not be ended");
}

DWORD Program::close(DWORD timeout_ms) {
    PostMessageA(window_, WM_CLOSE, 0, 0);
    return wait_exit(timeout_ms);
}

}  // namespace tav::e2e
