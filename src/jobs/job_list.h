// The job-list buttons: view, up, down, edit, Disable, Clear and del.
#pragma once

#include "ui/context.h"

namespace tav {

void view_line(Context& ctx);
void move_line_up(Context& ctx);
void move_line_down(Context& ctx);
void edit_line(Context& ctx);
void toggle_disable(Context& ctx);
void clear_list(Context& ctx);
void delete_job(Context& ctx);

}  // namespace tav
