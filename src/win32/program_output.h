// Asking a program about itself, for the Windows build: one short run with
// its output captured. Safe to call from any thread.
#pragma once

#include <chrono>
#include <stop_token>
#include <string>

#include "model/platform.h"

namespace tav {

// Runs `"program" argument` without a window, in the program's folder, with
// standard input at NUL and both output streams captured into one pipe, and
// an environment cut down to what a program needs to start (none of the
// caller's own settings). The process and everything it starts run in a job
// object that ends them all once the time runs out or `stop` is requested.
ProgramOutput run_for_output(const std::string& program, const std::string& argument,
                             std::chrono::milliseconds limit, const std::stop_token& stop);

}  // namespace tav
