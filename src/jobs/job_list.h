// The job-list buttons: view, up, down, edit, Disable, Clear and del.
#pragma once

#include "jobscript/job_markers.h"
#include "model/context.h"

namespace tav {

// Each works on the selected line and does nothing when none is selected,
// except clear_list.
void view_line(Context& ctx);
void move_line_up(Context& ctx);
void move_line_down(Context& ctx);
// Asks for the line's new text; a cancelled box leaves the line as it was.
void edit_line(Context& ctx);
// Puts "@rem " in front of the line, or takes it away; the line stays selected.
void toggle_disable(Context& ctx);
void clear_list(Context& ctx);
// Removes the whole job around the selected line.
void delete_job(Context& ctx);

}  // namespace tav
