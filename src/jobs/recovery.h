// Job lists of earlier runs that did not end normally (a crash, a power
// loss, the end of the Windows session): at start-up their copies are
// offered back, and from then on this window keeps its own.
//
// Copies in the program folder, by name:
//   joblist-<tag>@<computer>.recovery   the copy of the instance <tag>
//   joblist-<tag>.recovery              one of an earlier version (this computer)
//   <copy>.new                          being written
//   <copy>.taken-by-<tag>               taken by that instance to be offered
//   <copy>.kept                         a later version's copy, kept for it
//   <copy>.answered                     answered, but it could not be deleted
// A window takes a copy by renaming it before it offers it, so no other
// window offers it too, and never touches another computer's copies or a
// running instance's.
#pragma once

#include <string>

#include "jobs/job_list_copy.h"
#include "model/context.h"

namespace tav {

// The file in which the instance with this tag keeps its job list's copy,
// in the program folder.
std::string job_list_copy_name(const std::string& instance_tag, const std::string& computer_name);

// Start-up, once the settings are loaded: begins keeping this window's copy
// and offers back, oldest first, the job list of every earlier run that did
// not end normally. Every copy offered goes once the user has answered for
// it; one that cannot be read now, or that a later version wrote, is kept
// and the user told. Lines put back go into the list through `copy`.
void recover_job_lists(Context& ctx, JobListCopy& copy);

// Tells the user, once per run, that no copy of the job list can be
// written, naming the folder.
void report_copy_failure(Context& ctx, JobListCopy& copy);

}  // namespace tav
