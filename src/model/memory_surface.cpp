#include "model/memory_surface.h"

#include <algorithm>

#include "common/text_rules.h"

namespace tav {

MemorySurface::MemorySurface() {
    for (const ControlSpec& row : control_table()) {
        if (row.id < 0) continue;
        Control c{&row, std::string(row.text), 0, {}, 0, true, true};
        const bool has_selection = row.kind == ControlKind::ListCombo ||
                                   row.kind == ControlKind::EditCombo ||
                                   row.kind == ControlKind::List;
        if (has_selection) c.state = -1;
        if (row.kind == ControlKind::TrackBar) c.state = row.traits.range_min;
        controls_.emplace(row.id, std::move(c));
    }
}

MemorySurface::Control* MemorySurface::find(int id) {
    auto it = controls_.find(id);
    return it == controls_.end() ? nullptr : &it->second;
}

const MemorySurface::Control* MemorySurface::find(int id) const {
    auto it = controls_.find(id);
    return it == controls_.end() ? nullptr : &it->second;
}

const ControlSpec* MemorySurface::row(int id) const {
    const Control* c = find(id);
    return c ? c->row : nullptr;
}

bool MemorySurface::exists(int id) const { return find(id) != nullptr; }

std::string MemorySurface::text(int id) const {
    const Control* c = find(id);
    if (!c) return {};
    switch (c->row->kind) {
        case ControlKind::ListCombo:
        case ControlKind::List:
            return c->state >= 0 && c->state < static_cast<int>(c->items.size()) ? c->items[c->state]
                                                                                 : std::string();
        default:
            return c->text;
    }
}

void MemorySurface::set_text(int id, std::string_view text) {
    Control* c = find(id);
    if (!c) return;
    switch (c->row->kind) {
        case ControlKind::ListCombo: {
            if (text.empty()) {
                c->state = -1;
                return;
            }
            for (size_t i = 0; i < c->items.size(); ++i) {
                if (equals_ignoring_ascii_case(c->items[i], text)) {
                    c->state = static_cast<int>(i);
                    return;
                }
            }
            return;
        }
        case ControlKind::List:
            return;
        default:
            c->text = std::string(text);
            return;
    }
}

int MemorySurface::state(int id) const {
    const Control* c = find(id);
    return c ? c->state : -1;
}

void MemorySurface::set_state(int id, int state) {
    Control* c = find(id);
    if (!c) return;
    switch (c->row->kind) {
        case ControlKind::CheckBox:
            c->state = state != 0 ? 1 : 0;
            return;
        case ControlKind::TrackBar:
            c->state = std::clamp(state, c->row->traits.range_min, c->row->traits.range_max);
            return;
        case ControlKind::ListCombo:
        case ControlKind::List:
            c->state = state >= 0 && state < static_cast<int>(c->items.size()) ? state : -1;
            return;
        case ControlKind::EditCombo:
            if (state >= 0 && state < static_cast<int>(c->items.size())) {
                c->state = state;
                c->text = c->items[state];
            } else {
                c->state = -1;
            }
            return;
        default:
            return;
    }
}

int MemorySurface::item_count(int id) const {
    const Control* c = find(id);
    return c ? static_cast<int>(c->items.size()) : 0;
}

std::string MemorySurface::item_text(int id, int index) const {
    const Control* c = find(id);
    if (!c || index < 0 || index >= static_cast<int>(c->items.size())) return {};
    return c->items[index];
}

void MemorySurface::insert_item(int id, int index, std::string_view text) {
    Control* c = find(id);
    if (!c) return;
    const int n = static_cast<int>(c->items.size());
    if (index < 0 || index > n) index = n;
    c->items.insert(c->items.begin() + index, std::string(text));
    ++c->item_changes;
    // Like a list box, the selection stays on the same line.
    if (c->state >= index && c->row->kind != ControlKind::TrackBar && c->row->kind != ControlKind::CheckBox)
        ++c->state;
}

void MemorySurface::remove_item(int id, int index) {
    Control* c = find(id);
    if (!c || index < 0 || index >= static_cast<int>(c->items.size())) return;
    c->items.erase(c->items.begin() + index);
    ++c->item_changes;
    if (c->state == index)
        c->state = -1;
    else if (c->state > index)
        --c->state;
}

void MemorySurface::clear_items(int id) {
    Control* c = find(id);
    if (!c) return;
    c->items.clear();
    ++c->item_changes;
    if (c->row->kind != ControlKind::TrackBar && c->row->kind != ControlKind::CheckBox) c->state = -1;
}

std::vector<std::string> MemorySurface::items(int id) const {
    const Control* c = find(id);
    return c ? c->items : std::vector<std::string>{};
}

void MemorySurface::append_items(int id, const std::vector<std::string>& texts) {
    Control* c = find(id);
    if (!c) return;
    c->items.insert(c->items.end(), texts.begin(), texts.end());
    ++c->item_changes;
}

std::optional<std::uint64_t> MemorySurface::item_changes(int id) const {
    const Control* c = find(id);
    if (!c) return std::nullopt;
    return c->item_changes;
}

bool MemorySurface::enabled(int id) const {
    const Control* c = find(id);
    return c && c->enabled;
}

void MemorySurface::set_enabled(int id, bool enabled) {
    if (Control* c = find(id)) c->enabled = enabled;
}

bool MemorySurface::visible(int id) const {
    const Control* c = find(id);
    return c && c->visible;
}

void MemorySurface::set_visible(int id, bool visible) {
    if (Control* c = find(id)) c->visible = visible;
}

}  // namespace tav
