#include "jobs/job_list.h"

#include <optional>
#include <string>

#include "common/text_rules.h"
#include "model/control_ids.h"

namespace tav {

namespace {

constexpr int kList = ctl::JobList;
constexpr int kNoSelection = -1;

std::optional<int> selected_line(const ControlSurface& ui) {
    const int index = ui.state(kList);
    if (index < 0 || index >= ui.item_count(kList)) return std::nullopt;
    return index;
}

// A list box has no "set item text": the new text goes in before the old
// line, which is then removed.
void replace_line(ControlSurface& ui, int index, std::string_view text) {
    ui.insert_item(kList, index, text);
    ui.remove_item(kList, index + 1);
}

// Swaps the line at `upper` with the one below it.
void swap_neighbours(ControlSurface& ui, int upper) {
    const std::string moving = ui.item_text(kList, upper + 1);
    ui.insert_item(kList, upper, moving);
    ui.remove_item(kList, upper + 2);
}

}  // namespace

void view_line(Context& ctx) {
    const auto line = selected_line(ctx.ui);
    if (!line) return;
    ctx.platform.message_box("The command line parameter is:", ctx.ui.item_text(kList, *line));
}

void move_line_up(Context& ctx) {
    const auto line = selected_line(ctx.ui);
    if (!line || *line == 0) return;
    swap_neighbours(ctx.ui, *line - 1);
    ctx.ui.set_state(kList, kNoSelection);
}

void move_line_down(Context& ctx) {
    const auto line = selected_line(ctx.ui);
    if (!line || *line + 1 >= ctx.ui.item_count(kList)) return;
    swap_neighbours(ctx.ui, *line);
    ctx.ui.set_state(kList, kNoSelection);
}

void edit_line(Context& ctx) {
    const auto line = selected_line(ctx.ui);
    if (!line) return;
    const auto answer = ctx.platform.input_box("Edit", "For expert only!", ctx.ui.item_text(kList, *line));
    if (answer) replace_line(ctx.ui, *line, *answer);
    ctx.ui.set_state(kList, kNoSelection);
}

void toggle_disable(Context& ctx) {
    const auto line = selected_line(ctx.ui);
    if (!line) return;
    const std::string text = ctx.ui.item_text(kList, *line);
    const std::string toggled = starts_with(text, kDisabledPrefix)
                                    ? text.substr(kDisabledPrefix.size())
                                    : std::string(kDisabledPrefix) + text;
    replace_line(ctx.ui, *line, toggled);
    ctx.ui.set_state(kList, *line);
}

void clear_list(Context& ctx) { ctx.ui.clear_items(kList); }

void delete_job(Context& ctx) {
    const auto line = selected_line(ctx.ui);
    if (!line) return;
    ControlSurface& ui = ctx.ui;
    const int count = ui.item_count(kList);

    // The job begins at the nearest start marker at or above the selection,
    // or at the first line when there is none.
    int first = *line;
    while (first > 0 && !is_job_start(ui.item_text(kList, first))) --first;

    const int end = job_end(first, count, [&](int i) { return ui.item_text(kList, i); });

    // From the bottom up, so a job running to the end of a long list never
    // shifts the lines below it.
    for (int index = end - 1; index >= first; --index) ui.remove_item(kList, index);
    ui.set_state(kList, kNoSelection);
}

}  // namespace tav
