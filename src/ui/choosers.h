// The file choosers of single fields: input, output, statistics, log and
// the quantization matrix.
#pragma once

#include "ui/context.h"

namespace tav {

void choose_input_file(Context& ctx);
void choose_output_file(Context& ctx);
void choose_stats_file(Context& ctx);
void choose_log_file(Context& ctx);
// Only while the matrix list reads "custom...": a chosen file becomes its
// quoted path, a cancel gives "flat".
void choose_matrix_file(Context& ctx);

}  // namespace tav
