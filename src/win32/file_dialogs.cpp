#include "win32/file_dialogs.h"

#include <cderr.h>
#include <commctrl.h>
#include <commdlg.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <algorithm>

#include "common/paths.h"
#include "win32/code_pages.h"

namespace tav {

namespace {

// Single selections: generous, and never shorter than the name prefilled.
constexpr std::size_t kSingleBufferChars = 32 * 1024;
// Past this a selection is refused rather than growing for ever.
constexpr std::size_t kLargestSelectionChars = std::size_t{256} << 20;

constexpr DWORD kCommonFlags = OFN_EXPLORER | OFN_NOCHANGEDIR | OFN_HIDEREADONLY;

bool is_full_path(std::string_view name) {
    return (name.size() >= 2 && name[1] == ':') || name.starts_with("\\\\");
}

// The dialogs run on wide text, and their results are converted without
// best fit: an ANSI dialog may hand back a look-alike name of another file
// for a character the ANSI code page lacks, where '?' marks it reliably.

// The buffer a dialog fills in, prefilled with the default name.
std::wstring name_buffer(const std::string& default_name, std::size_t chars) {
    const std::wstring name = wide_from_ansi(default_name);
    std::wstring buffer(std::max(chars, name.size() + 2), L'\0');
    std::copy(name.begin(), name.end(), buffer.begin());
    return buffer;
}

// The dialog's texts in wide characters, kept while the dialog is shown.
struct DialogTexts {
    explicit DialogTexts(const FileDialog& dialog)
        : filter_list(wide_from_ansi(dialog_filter_list(dialog.filter))), title(wide_from_ansi(dialog.title)) {}
    std::wstring filter_list;  // c_str() adds the list's second NUL
    std::wstring title;
};

OPENFILENAMEW file_dialog_setup(HWND owner, const DialogTexts& texts, std::wstring& buffer, DWORD flags) {
    OPENFILENAMEW setup{};
    setup.lStructSize = sizeof setup;
    setup.hwndOwner = owner;
    setup.lpstrFilter = texts.filter_list.empty() ? nullptr : texts.filter_list.c_str();
    setup.nFilterIndex = 1;
    setup.lpstrFile = buffer.data();
    setup.nMaxFile = static_cast<DWORD>(std::min<std::size_t>(buffer.size(), MAXDWORD));
    setup.lpstrTitle = texts.title.empty() ? nullptr : texts.title.c_str();
    setup.Flags = kCommonFlags | flags;
    return setup;
}

// The text up to the first NUL.
std::string first_text(const std::wstring& buffer) { return ansi_from_wide(buffer.c_str()); }

std::optional<std::string> show_single(HWND owner, const FileDialog& dialog, bool save) {
    const DialogTexts texts(dialog);
    std::wstring buffer = name_buffer(dialog.default_name, kSingleBufferChars);
    OPENFILENAMEW setup = file_dialog_setup(owner, texts, buffer, 0);
    const BOOL chosen = save ? GetSaveFileNameW(&setup) : GetOpenFileNameW(&setup);
    if (!chosen) return std::nullopt;
    return first_text(buffer);
}

// A multi-selection's buffer as ANSI text, up to and with its closing NULs;
// the whole buffer when they are missing (the selection was cut off).
std::string selection_text(std::wstring_view buffer) {
    const std::size_t end = buffer.find(std::wstring_view(L"\0\0", 2));
    return ansi_from_wide(buffer.substr(0, end == std::wstring_view::npos ? buffer.size() : end + 2));
}

// Wine's wide multi-selection writes a selection that does not fit past the
// end of the buffer instead of reporting it as Windows does. Under Wine the
// buffer therefore grows to the selection before the dialog takes it: at
// every change of the selection and before OK. (A hook gives the dialog its
// old look on Windows, so only Wine gets one.)
bool runs_under_wine() {
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

struct GrowingSelection {
    OPENFILENAMEW* setup = nullptr;
    std::wstring buffer;  // the grown buffer, once there is one
    HWND dialog = nullptr;
};

// False when the selection is too large to take at all.
bool grow_to_selection(GrowingSelection& growing) {
    const LRESULT folder = SendMessageW(growing.dialog, CDM_GETFOLDERPATH, 0, 0);
    const LRESULT names = SendMessageW(growing.dialog, CDM_GETSPEC, 0, 0);
    if (folder < 0 || names < 0) return true;
    // The result holds the folder and each selected name with a NUL instead
    // of its quotes and blank; twice that covers names read a step before
    // the selection changed them.
    const std::size_t needed = 2 * (static_cast<std::size_t>(folder) + static_cast<std::size_t>(names) + 4);
    if (needed <= growing.setup->nMaxFile) return true;
    if (needed > kLargestSelectionChars) return false;
    growing.buffer.assign(needed, L'\0');
    growing.setup->lpstrFile = growing.buffer.data();
    growing.setup->nMaxFile = static_cast<DWORD>(needed);
    return true;
}

LRESULT CALLBACK grow_before_ok(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id,
                                DWORD_PTR growing) {
    // A selection too large for any buffer leaves the dialog open.
    if (message == WM_COMMAND && LOWORD(wparam) == IDOK &&
        !grow_to_selection(*reinterpret_cast<GrowingSelection*>(growing)))
        return 0;
    if (message == WM_NCDESTROY) RemoveWindowSubclass(dialog, grow_before_ok, id);
    return DefSubclassProc(dialog, message, wparam, lparam);
}

UINT_PTR CALLBACK selection_hook(HWND child, UINT message, WPARAM, LPARAM lparam) {
    if (message == WM_INITDIALOG) {
        auto* growing = reinterpret_cast<GrowingSelection*>(reinterpret_cast<OPENFILENAMEW*>(lparam)->lCustData);
        growing->dialog = GetParent(child);
        SetWindowSubclass(growing->dialog, grow_before_ok, 1, reinterpret_cast<DWORD_PTR>(growing));
    } else if (message == WM_NOTIFY) {
        const auto* notice = reinterpret_cast<const OFNOTIFYW*>(lparam);
        if (notice->hdr.code == CDN_SELCHANGE)
            grow_to_selection(*reinterpret_cast<GrowingSelection*>(notice->lpOFN->lCustData));
    }
    return 0;
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
    if (!title.empty()) picker->SetTitle(wide_from_ansi(title).c_str());

    std::string start = start_folder;
    // "C:\dir\" parses as "C:\dir"; a drive root keeps its backslash.
    if (start.size() > 3 && start.back() == '\\') start.pop_back();
    IShellItem* start_item = nullptr;
    if (!start.empty() &&
        SUCCEEDED(SHCreateItemFromParsingName(wide_from_ansi(start).c_str(), nullptr, IID_IShellItem,
                                              reinterpret_cast<void**>(&start_item)))) {
        picker->SetFolder(start_item);
        start_item->Release();
    }

    std::optional<std::string> chosen;
    IShellItem* result = nullptr;
    if (SUCCEEDED(picker->Show(owner)) && SUCCEEDED(picker->GetResult(&result))) {
        wchar_t* path = nullptr;
        if (SUCCEEDED(result->GetDisplayName(SIGDN_FILESYSPATH, &path))) {
            chosen = with_trailing_separator(ansi_from_wide(path));
            CoTaskMemFree(path);
        }
        result->Release();
    }
    picker->Release();
    return chosen;
}

int CALLBACK select_start_folder(HWND browser, UINT message, LPARAM, LPARAM start_folder) {
    if (message == BFFM_INITIALIZED && start_folder)
        SendMessageW(browser, BFFM_SETSELECTIONW, TRUE, start_folder);
    return 0;
}

std::optional<std::string> browse_for_folder(HWND owner, const std::string& title,
                                             const std::string& start_folder) {
    const std::wstring wide_title = wide_from_ansi(title), start = wide_from_ansi(start_folder);
    BROWSEINFOW browse{};
    browse.hwndOwner = owner;
    browse.lpszTitle = wide_title.c_str();
    browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    browse.lpfn = select_start_folder;
    browse.lParam = reinterpret_cast<LPARAM>(start.c_str());
    PIDLIST_ABSOLUTE folder = SHBrowseForFolderW(&browse);
    if (!folder) return std::nullopt;
    std::optional<std::string> chosen;
    wchar_t path[MAX_PATH + 1] = {};
    if (SHGetPathFromIDListW(folder, path) && path[0]) chosen = with_trailing_separator(ansi_from_wide(path));
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
    return with_trailing_separator(folder) + std::string(name);
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
    const DialogTexts texts(dialog);
    const bool wine = runs_under_wine();
    for (std::size_t chars = std::max<std::size_t>(first_buffer_chars, 2); chars <= kLargestSelectionChars;
         chars *= 4) {
        std::wstring buffer = name_buffer(dialog.default_name, chars);
        // With a hook the dialog stays resizable only when asked to.
        OPENFILENAMEW setup = file_dialog_setup(owner, texts, buffer,
                                                OFN_ALLOWMULTISELECT | (wine ? OFN_ENABLEHOOK | OFN_ENABLESIZING : 0));
        GrowingSelection growing;
        growing.setup = &setup;
        setup.lpfnHook = wine ? selection_hook : nullptr;
        setup.lCustData = reinterpret_cast<LPARAM>(&growing);
        // A selection that did not fit is either reported as such or handed
        // back cut off; either way the dialog cannot give the rest any
        // more, so it is shown again with room for a larger one.
        if (GetOpenFileNameW(&setup)) {
            std::optional<std::vector<std::string>> paths =
                selection_paths(selection_text(std::wstring_view(setup.lpstrFile, setup.nMaxFile)));
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
