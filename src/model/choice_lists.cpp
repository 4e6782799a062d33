#include "model/choice_lists.h"

#include "model/control_table.h"

namespace tav {

void fill_choice_lists(ControlSurface& ui) {
    for (const ControlSpec& row : control_table()) {
        if (row.traits.items.empty()) continue;
        for (std::string_view item : row.traits.items) ui.append_item(row.id, item);
        if (row.traits.selected >= 0) ui.set_state(row.id, row.traits.selected);
    }
}

void apply_initial_states(ControlSurface& ui) {
    const auto table = control_table();
    for (const ControlSpec& row : table)
        if (row.traits.checked) ui.set_state(row.id, 1);
    for (const ControlSpec& row : table)
        if (row.traits.disabled) ui.set_enabled(row.id, false);
    for (const ControlSpec& row : table)
        if (row.kind == ControlKind::TrackBar) ui.set_state(row.id, row.traits.position);
    for (const ControlSpec& row : table)
        if (row.traits.hidden) ui.set_visible(row.id, false);
}

}  // namespace tav
