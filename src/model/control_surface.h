// The window's controls as the program's logic sees them: addressed by
// identifier, each with a text, a state, items, an enabled and a visible flag.
// The Win32 front end implements it over real controls, MemorySurface over
// plain data. Operations on an identifier that names no control do nothing
// and read as empty / -1 / false.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tav {

class ControlSurface {
public:
    virtual ~ControlSurface() = default;

    virtual bool exists(int id) const = 0;

    // Text: edit and label text, caption of a button or check box, the
    // selected item's text of a list combo or list (empty when none is
    // selected), the edit text of an editable combo.
    virtual std::string text(int id) const = 0;
    // Setting a list combo's text selects the item equal to it, ignoring
    // letter case; an empty text clears the selection; a text matching no
    // item changes nothing. For the job list it replaces nothing: use items.
    // A text written here is never reported back as a user edit.
    virtual void set_text(int id, std::string_view text) = 0;

    // State: check box 1/0, list combo and list selected index (-1 = none),
    // track bar position (set_state keeps it inside the bar's range).
    virtual int state(int id) const = 0;
    virtual void set_state(int id, int state) = 0;

    // Items of list combos, editable combos and the job list.
    virtual int item_count(int id) const = 0;
    virtual std::string item_text(int id, int index) const = 0;
    // Inserts before index; -1 (or the count) appends.
    virtual void insert_item(int id, int index, std::string_view text) = 0;
    virtual void remove_item(int id, int index) = 0;
    virtual void clear_items(int id) = 0;
    // All items at once; front ends may do this faster than item by item.
    virtual std::vector<std::string> items(int id) const;
    // Appends many items at once.
    virtual void append_items(int id, const std::vector<std::string>& texts);
    // Counts the changes of the items (inserted, removed, cleared,
    // appended), so that what was read from them can be kept until they
    // change; nullopt when the surface cannot tell.
    virtual std::optional<std::uint64_t> item_changes(int /*id*/) const { return std::nullopt; }

    virtual bool enabled(int id) const = 0;
    virtual void set_enabled(int id, bool enabled) = 0;
    // The control's own visibility, not that of its tab page.
    virtual bool visible(int id) const = 0;
    virtual void set_visible(int id, bool visible) = 0;

    // Convenience.
    bool checked(int id) const { return state(id) != 0; }
    void append_item(int id, std::string_view text) { insert_item(id, -1, text); }
};

}  // namespace tav
