// Starting the batch and lowering its priority, for the Windows build.
#pragma once

#include <cstdint>
#include <string>

#include "model/platform.h"

namespace tav {

// CreateProcessA with the quoted batch path, a console of its own and the
// working directory; falls back to ShellExecute "open".
BatchStart start_batch_process(const std::string& batch_path, const std::string& working_dir);
// OpenProcess with PROCESS_SET_INFORMATION and SetPriorityClass(IDLE).
bool set_process_idle(std::uint32_t process_id);

}  // namespace tav
