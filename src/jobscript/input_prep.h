// Preparing a chosen input: statistics, log and output names, and an
// AviSynth wrapper for every input that is not already a script.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>

#include "model/context.h"

namespace tav {

// The wrappers in the program's "avs" folder, letter case aside, listed
// once per action: inputs chosen by the thousand then do not each look for
// a file of their own name (a slow lookup under Wine in a large folder).
class WrapperFolder {
public:
    explicit WrapperFolder(Context& ctx);
    bool has(const std::string& wrapper_name) const;

private:
    std::unordered_set<std::string> names_;
};

// `output_folder` ends with a path separator. Reads the input field and
// the template; sets the statistics, log and output fields, writes the
// wrapper and switches the input field to it. A
// wrapper that cannot be written is reported in a message box and the input
// field keeps the chosen file.
void prepare_input(Context& ctx, const std::string& output_folder);

// As prepare_input, but a wrapper that cannot be written is not reported:
// its path is returned, for callers that report many inputs at once.
// `wrappers` is the folder as the action found it.
std::optional<std::string> prepare_input_quietly(Context& ctx, const std::string& output_folder,
                                                 const WrapperFolder& wrappers);

// The input "..." button: the chosen file is prepared with its own folder
// as the output folder. A cancelled dialog leaves the field as it was.
void choose_input_file(Context& ctx);

// Names are made distinct per window: an input whose file name (or output
// path) the job of another input holds gets "-2", "-3", ... before its
// extension, and choosing the same input again gives it its names again.
// A wrapper left in the "avs" folder by an earlier run for another input
// counts as held too. The names of a chosen input are held once a job is
// added with it (InputNames).

}  // namespace tav
