// The common file dialogs and the folder chooser of the Windows build, and
// the text rules they need (filter lists, multi-selection results).
#pragma once

#include <windows.h>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/platform.h"

namespace tav {

// "label|pattern|label|pattern" as the dialogs want it: every piece ended by
// a NUL; the string's own terminator is the list's second NUL. An empty
// filter gives an empty list (no filter at all).
std::string dialog_filter_list(std::string_view filter);

// The result buffer of an Explorer-style multi-selection: either one full
// path, or the folder followed by the names, each ended by a NUL and the
// whole by a second NUL. Returns full paths in the buffer's order, or
// nullopt when the closing NULs are missing: the selection did not fit and
// was cut off (some dialogs do that without reporting it).
std::optional<std::vector<std::string>> selection_paths(std::string_view buffer);

// Joins a folder and a name with exactly one '\' between them; a name that
// is already a full path is returned unchanged.
std::string join_path(std::string_view folder, std::string_view name);

// The number of characters the multi-selection dialog starts with; a larger
// selection grows the buffer and shows the dialog again.
inline constexpr std::size_t kSelectionBufferChars = std::size_t{1} << 20;

std::optional<std::string> show_open_file_dialog(HWND owner, const FileDialog& dialog);
std::optional<std::vector<std::string>> show_open_files_dialog(
    HWND owner, const FileDialog& dialog, std::size_t first_buffer_chars = kSelectionBufferChars);
std::optional<std::string> show_save_file_dialog(HWND owner, const FileDialog& dialog);
// The folder chooser; the result always ends with '\'.
std::optional<std::string> show_folder_dialog(HWND owner, const std::string& title,
                                              const std::string& start_folder);

}  // namespace tav
