// The AviSynth wrappers the program writes in its "avs" folder: one per
// input that is not a script, named after the input's own name. The first
// line names the input the wrapper reads.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tav {

// The wrapper's three lines for `input` and the include template.
std::string wrapper_text(const std::string& input, const std::string& template_name);
// The input a wrapper's text names, or the empty text when it names none.
std::string input_named_by_wrapper(std::string_view text);
// True when the wrapper's text names `input` (letter case aside).
bool wrapper_names_input(std::string_view text, const std::string& input);

// The folder of the wrappers, ending with '\'.
std::string wrapper_folder(const std::string& program_folder);
std::string wrapper_name(const std::string& own_name);
std::string wrapper_path(const std::string& program_folder, const std::string& own_name);

// The own name a path in one of the program's working folders stands for:
// the file name without `ending` when `path` is the program folder, the
// folder, '\', the own name and `ending` (letter case aside); nullopt for
// any other path.
std::optional<std::string> own_name_in(const std::string& program_folder, std::string_view folder,
                                       std::string_view ending, std::string_view path);

}  // namespace tav
