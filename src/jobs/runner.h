// "Start" runs the job list as a batch at idle priority; "Shut" appends the
// shutdown line.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/context.h"

namespace tav {

inline constexpr std::string_view kShutdownLine = "shutdown.exe -s -f -t 30";

// True for a line that runs the system's shutdown command (not a disabled one).
bool is_shutdown_line(std::string_view line);

// The name of this start's batch in the program folder: "temp.bat", or the
// first of "temp2.bat", "temp3.bat", ... not in use by an earlier start;
// nullopt when all of them up to "temp999.bat" are.
std::optional<std::string> free_batch_name(Platform& platform, const std::string& program_folder);

// Saves the settings, writes the batch into the program folder (in the
// console's code page, console_batch.h), starts it there and lowers it to
// the idle priority class. Returns the start when a batch was started.
std::optional<BatchStart> start_jobs(Context& ctx);
void append_shutdown(Context& ctx);

}  // namespace tav
