// Job lists of earlier runs that did not end normally: at start-up their
// copies are offered back, and from then on this window keeps its own.
#pragma once

#include <string>

#include "jobs/job_list_copy.h"
#include "model/context.h"

namespace tav {

// The file in which the instance with this tag keeps its job list's copy,
// in the program folder.
std::string job_list_copy_name(const std::string& instance_tag);

// Start-up, once the settings are loaded: begins keeping this window's copy
// and offers back, oldest first, the job list of every earlier run that did
// not end normally. A copy of a running instance is never touched; every
// other copy is deleted once the user has answered for it. Lines put back
// go into the list through `copy`, which keeps this window's copy.
void recover_job_lists(Context& ctx, JobListCopy& copy);

}  // namespace tav
