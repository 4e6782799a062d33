// Pieces of a path text, and the batch-line form of a file name.
#pragma once

#include <string>
#include <string_view>

namespace tav {

// The text after the last '\' or '/' (the whole text when there is none).
std::string file_name(std::string_view path);
// The text up to and including the last '\' or '/' (empty when there is none).
std::string folder_part(std::string_view path);
// The text after the last '.', when no '\' or '/' follows it; else empty.
std::string extension(std::string_view path);
// True when the path has a '.' after its last separator.
bool has_extension(std::string_view path);
// The path with its extension text removed and the '.' kept. A path without
// a '.' in its file name is returned with a '.' appended, so suffixes such
// as "mp4" never run into the name ("movie" -> "movie.").
std::string stem(std::string_view path);
// The path without its extension and without the '.' before it; a path
// whose file name has no '.' is returned whole.
std::string without_extension(std::string_view path);

// The folder path ending with a separator: '\' is added unless it ends
// with '\' or '/' already. The empty text (the current folder) stays empty.
std::string with_trailing_separator(std::string_view folder);

// A file or folder name as it must stand in a batch line: every '%' doubled,
// so the command interpreter hands the tool the name unchanged.
std::string batch_name(std::string_view path);
// The same in double quotes, so blanks and '&' stay part of the name.
std::string quoted_batch_name(std::string_view path);

}  // namespace tav
