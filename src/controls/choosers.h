// The file choosers of single fields: output, statistics, log and the
// quantization matrix. The input chooser prepares the input it chose and
// lives with that preparation.
#pragma once

#include "model/context.h"

namespace tav {

void choose_output_file(Context& ctx);
void choose_stats_file(Context& ctx);
void choose_log_file(Context& ctx);
// Only while the matrix list reads "custom...": a chosen file becomes its
// quoted path, a cancel gives "flat".
void choose_matrix_file(Context& ctx);

}  // namespace tav
