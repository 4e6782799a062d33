// Preparing a chosen input: statistics, log and output names, and an
// AviSynth wrapper for every input that is not already a script.
#pragma once

#include <string>

#include "ui/context.h"

namespace tav {

// `output_folder` ends with a path separator.
void prepare_input(Context& ctx, const std::string& output_folder);

}  // namespace tav
