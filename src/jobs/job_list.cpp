// PLACEHOLDER (being replaced by the jobs helper).
#include "jobs/job_list.h"
namespace tav {
void view_line(Context&) {}
void move_line_up(Context&) {}
void move_line_down(Context&) {}
void edit_line(Context&) {}
void toggle_disable(Context&) {}
void clear_list(Context&) {}
void delete_job(Context&) {}
}  // namespace tav
