#include "win32/outside_files.h"

#include "win32/code_pages.h"

namespace tav {
namespace {

// The message through which the system copies a drop's data between
// processes; not named in the headers.
constexpr UINT kCopyGlobalData = 0x0049;

// The full path of a name relative to the current directory; the name as
// it is when the system cannot tell.
std::wstring full_path(const wchar_t* name) {
    const DWORD size = GetFullPathNameW(name, 0, nullptr, nullptr);
    if (size == 0) return name;
    std::wstring path(size, L'\0');
    const DWORD length = GetFullPathNameW(name, size, path.data(), nullptr);
    if (length == 0 || length >= size) return name;
    path.resize(length);
    return path;
}

// True when the command line names more than the program: what follows its
// first word (quoted or not) is not all blanks.
bool has_arguments(const wchar_t* line) {
    const wchar_t* at = line;
    if (*at == L'"') {
        ++at;
        while (*at && *at != L'"') ++at;
        if (*at) ++at;
    } else {
        while (*at && *at != L' ' && *at != L'\t') ++at;
    }
    while (*at == L' ' || *at == L'\t') ++at;
    return *at != L'\0';
}

}  // namespace

void accept_dropped_files(HWND window) {
    // What DragAcceptFiles does, without loading the shell at start-up.
    SetWindowLongPtrA(window, GWL_EXSTYLE, GetWindowLongPtrA(window, GWL_EXSTYLE) | WS_EX_ACCEPTFILES);
    // A program run as administrator gets no drop from a normal Explorer
    // unless it lets the drop's messages through. Systems before Windows 7
    // lack the call and have no such filter per window.
    using AllowMessage = BOOL(WINAPI*)(HWND, UINT, DWORD, void*);
    const HMODULE user = GetModuleHandleA("user32.dll");
    const FARPROC found = user ? GetProcAddress(user, "ChangeWindowMessageFilterEx") : nullptr;
    if (!found) return;
    const auto allow = reinterpret_cast<AllowMessage>(reinterpret_cast<void*>(found));
    for (UINT message : {static_cast<UINT>(WM_DROPFILES), static_cast<UINT>(WM_COPYDATA), kCopyGlobalData})
        allow(window, message, 1 /* MSGFLT_ALLOW */, nullptr);
}

std::vector<std::string> dropped_file_names(HDROP drop) {
    std::vector<std::string> names;
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    names.reserve(count);
    for (UINT i = 0; i < count; ++i) {
        const UINT length = DragQueryFileW(drop, i, nullptr, 0);
        std::wstring name(length + 1, L'\0');
        name.resize(DragQueryFileW(drop, i, name.data(), length + 1));
        names.push_back(ansi_from_wide(name));
    }
    return names;
}

std::vector<std::string> command_line_file_names() {
    std::vector<std::string> names;
    // The usual start names nothing: the shell need not be loaded for it.
    if (!has_arguments(GetCommandLineW())) return names;
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!arguments) return names;
    for (int i = 1; i < count; ++i)
        if (*arguments[i]) names.push_back(ansi_from_wide(full_path(arguments[i])));
    LocalFree(arguments);
    return names;
}

}  // namespace tav
