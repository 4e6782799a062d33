// Starting the batch and lowering its priority, for the Windows build.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "model/platform.h"

namespace tav {

// CreateProcessA with the quoted batch path, a console of its own and the
// working directory; falls back to ShellExecute "open". `process` receives
// the handle of a process started directly (to be closed by the caller).
BatchStart start_batch_process(const std::string& batch_path, const std::string& working_dir, HANDLE* process);
// OpenProcess with PROCESS_SET_INFORMATION and SetPriorityClass(IDLE).
bool set_process_idle(std::uint32_t process_id);

}  // namespace tav
