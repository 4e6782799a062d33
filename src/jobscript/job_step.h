// Jobs: "Add", "Files input" and "Make BAT".
#pragma once

#include <string>
#include <vector>

#include "ui/context.h"

namespace tav {

// The lines of one job from the current settings (markers, header, body).
std::vector<std::string> build_job(Context& ctx);

// "Add": appends one job to the job list and clears the file fields.
void add_one_job(Context& ctx);
// "Files input": an output folder, several inputs, one job per input.
void add_jobs_for_files(Context& ctx);
// "Make BAT": writes the job list into a batch file chosen by the user.
void make_bat(Context& ctx);

}  // namespace tav
