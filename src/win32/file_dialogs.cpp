#include "win32/file_dialogs.h"

#include <cderr.h>
#include <commdlg.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <algorithm>

namespace tav {

namespace {

// Single selections: generous, and never shorter than the name prefilled.
constexpr std::size_t kSingleBufferChars = 32 * 1024;
// Past this a selection is refused rather than growing for ever.
constexpr std::size_t kLargestSelectionChars = std::size_t{256} << 20;

constexpr DWORD kCommonFlags = OFN_EXPLORER | OFN_NOCHANGEDIR | OFN_HIDEREADONLY;

std::wstring to_wide(const std::string& text) {
    if (text.empty()) return {};
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

std::string from_wide(const wchar_t* text) {
    const int length = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (length <= 1) return {};
    std::string narrow(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, -1, narrow.data(), length, nullptr, nullptr);
    narrow.resize(static_cast<std::size_t>(length) - 1);
    return narrow;
}

std::string with_trailing_backslash(std::string folder) {
    if (folder.empty() || folder.back() != '\\') folder += '\\';
    return folder;
}

bool is_full_path(std::string_view name) {
    return (name.size() >= 2 && name[1] == ':') || name.starts_with("\\\\");
}

// The buffer a dialog fills in, prefilled with the default name.
std::string name_buffer(const std::string& default_name, std::size_t chars) {
    std::string buffer(std::max(chars, default_name.size() + 2), '\0');
    std::copy(default_name.begin(), default_name.end(), buffer.begin());
    return buffer;
}

OPENFILENAMEA file_dialog_setup(HWND owner, const FileDialog& dialog, const std::string& filter_list,
                                std::string& buffer, DWORD flags) {
    OPENFILENAMEA setup{};
    setup.lStructSize = sizeof setup;
    setup.hwndOwner = owner;
    setup.lpstrFilter = filter_list.empty() ? nullptr : filter_list.c_str();
    setup.nFilterIndex = 1;
    setup.lpstrFile = buffer.data();
    setup.nMaxFile = static_cast<DWORD>(std::min<std::size_t>(buffer.size(), MAXDWORD));
    setup.lpstrTitle = dialog.title.empty() ? nullptr : dialog.title.c_str();
    setup.Flags = kCommonFlags | flags;
    return setup;
}

// The text up to the first NUL.
std::string first_text(const std::string& buffer) { return std::string(buffer.c_str()); }

std::optional<std::string> show_single(HWND owner, const FileDialog& dialog, bool save) {
    const std::string filter_list = dialog_filter_list(dialog.filter);
    std::string buffer = name_buffer(dialog.default_name, kSingleBufferChars);
    OPENFILENAMEA setup = file_dialog_setup(owner, dialog, filter_list, buffer, 0);
    const BOOL chosen = save ? GetSaveFileNameA(&setup) : GetOpenFileNameA(&setup);
    if (!chosen) return std::nullopt;
    return first_text(buffer);
}

// The Explorer-style folder picker: it takes a typed path, unlike the
// classic folder browser. Gives up (nullopt, *available false) when the
// dialog object cannot be created.
std::optional<std::string> pick_folder_item_dialog(HWND owner, const std::string& title,
                                                   const std::string& start_folder, bool* available) {
    *available = false;
    IFileOpenDialog* picker = nullptr;
    if (FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER, IID_IFileOpenDialog,
                                reinterpret_cast<void**>(&picker))))
        return std::nullopt;
    *available = true;

    FILEOPENDIALOGOPTIONS options = 0;
    picker->GetOptions(&options);
    picker->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM | FOS_NOCHANGEDIR);
    if (!title.empty()) picker->SetTitle(to_wide(title).c_str());

    std::string start = start_folder;
    // "C:\dir\" parses as "C:\dir"; a drive root keeps its backslash.
    if (start.size() > 3 && start.back() == '\\') start.pop_back();
    IShellItem* start_item = nullptr;
    if (!start.empty() &&
        SUCCEEDED(SHCreateItemFromParsingName(to_wide(start).c_str(), nullptr, IID_IShellItem,
                                              reinterpret_cast<void**>(&start_item)))) {
        picker->SetFolder(start_item);
        start_item->Release();
    }

    std::optional<std::string> chosen;
    IShellItem* result = nullptr;
    if (SUCCEEDED(picker->Show(owner)) && SUCCEEDED(picker->GetResult(&result))) {
        wchar_t* path = nullptr;
        if (SUCCEEDED(result->GetDisplayName(SIGDN_FILESYSPATH, &path))) {
            chosen = with_trailing_backslash(from_wide(path));
            CoTaskMemFree(path);
        }
        result->Release();
    }
    picker->Release();
    return chosen;
}

int CALLBACK select_start_folder(HWND browser, UINT message, LPARAM, LPARAM start_folder) {
    if (message == BFFM_INITIALIZED && start_folder)
        SendMessageA(browser, BFFM_SETSELECTIONA, TRUE, start_folder);
    return 0;
}

std::optional<std::string> browse_for_folder(HWND owner, const std::string& title,
                                             const std::string& start_folder) {
    BROWSEINFOA browse{};
    browse.hwndOwner = owner;
    browse.lpszTitle = title.c_str();
    browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    browse.lpfn = select_start_folder;
    browse.lParam = reinterpret_cast<LPARAM>(start_folder.c_str());
    PIDLIST_ABSOLUTE folder = SHBrowseForFolderA(&browse);
    if (!folder) return std::nullopt;
    std::optional<std::string> chosen;
    char path[MAX_PATH + 1] = {};
    if (SHGetPathFromIDListA(folder, path) && path[0]) chosen = with_trailing_backslash(path);
    CoTaskMemFree(folder);
    return chosen;
}

}  // namespace

std::string dialog_filter_list(std::string_view filter) {
    if (filter.empty()) return {};
    std::string list(filter);
    std::replace(list.begin(), list.end(), '|', '\0');
    list += '\0';
    return list;  // c_str() adds the second NUL
}

std::string join_path(std::string_view folder, std::string_view name) {
    if (folder.empty() || is_full_path(name)) return std::string(name);
    std::string path(folder);
    if (path.back() != '\\' && path.back() != '/') path += '\\';
    path += name;
    return path;
}

std::optional<std::vector<std::string>> selection_paths(std::string_view buffer) {
    std::vector<std::string_view> pieces;
    std::size_t start = 0;
    for (;;) {
        if (start >= buffer.size()) return std::nullopt;  // no closing NUL
        if (buffer[start] == '\0') break;
        const std::size_t end = buffer.find('\0', start);
        if (end == std::string_view::npos) return std::nullopt;
        pieces.push_back(buffer.substr(start, end - start));
        start = end + 1;
    }
    if (pieces.size() <= 1) return std::vector<std::string>(pieces.begin(), pieces.end());
    std::vector<std::string> paths;
    paths.reserve(pieces.size() - 1);
    for (std::size_t i = 1; i < pieces.size(); ++i) paths.push_back(join_path(pieces[0], pieces[i]));
    return paths;
}

std::optional<std::string> show_open_file_dialog(HWND owner, const FileDialog& dialog) {
    return show_single(owner, dialog, false);
}

std::optional<std::string> show_save_file_dialog(HWND owner, const FileDialog& dialog) {
    // No default extension and no overwrite prompt: the program decides both.
    return show_single(owner, dialog, true);
}

std::optional<std::vector<std::string>> show_open_files_dialog(HWND owner, const FileDialog& dialog,
                                                               std::size_t first_buffer_chars) {
    const std::string filter_list = dialog_filter_list(dialog.filter);
    for (std::size_t chars = std::max<std::size_t>(first_buffer_chars, 2); chars <= kLargestSelectionChars;
         chars *= 4) {
        std::string buffer = name_buffer(dialog.default_name, chars);
        OPENFILENAMEA setup = file_dialog_setup(owner, dialog, filter_list, buffer, OFN_ALLOWMULTISELECT);
        // A selection that did not fit is either reported as such or handed
        // back cut off; either way the dialog cannot give the rest any
        // more, so it is shown again with room for a larger one.
        if (GetOpenFileNameA(&setup)) {
            std::optional<std::vector<std::string>> paths = selection_paths(buffer);
            if (!paths) continue;
            if (paths->empty()) return std::nullopt;
            return paths;
        }
        if (CommDlgExtendedError() != FNERR_BUFFERTOOSMALL) return std::nullopt;
    }
    return std::nullopt;
}

std::optional<std::string> show_folder_dialog(HWND owner, const std::string& title,
                                              const std::string& start_folder) {
    // main() initialises COM; balance our own call either way.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    bool available = false;
    std::optional<std::string> chosen = pick_folder_item_dialog(owner, title, start_folder, &available);
    if (!available) chosen = browse_for_folder(owner, title, start_folder);
    if (SUCCEEDED(com)) CoUninitialize();
    return chosen;
}

}  // namespace tav
