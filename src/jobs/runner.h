// "Start" runs the job list as a batch at idle priority; "Shut" appends the
// shutdown line.
#pragma once

#include "ui/context.h"

namespace tav {

void start_jobs(Context& ctx);
void append_shutdown(Context& ctx);

}  // namespace tav
