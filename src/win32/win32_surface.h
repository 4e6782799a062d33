// The control surface over the real window's controls. Every write runs
// under a guard: the notifications a write causes (an edit's change, for
// instance) are no user edits, and the window drops them while `writing()`.
#pragma once

#include <windows.h>

#include <unordered_map>

#include "model/control_surface.h"
#include "model/control_table.h"

namespace tav {

class Win32ControlSurface final : public ControlSurface {
public:
    // Makes the control known under its identifier, once it exists.
    void add(int id, HWND hwnd);
    HWND handle(int id) const;
    // The identifier of a known control; -1 for any other window.
    int id_of(HWND hwnd) const;
    const ControlSpec* spec_of(HWND hwnd) const;

    // True while the program writes into a control.
    bool writing() const { return write_depth_ > 0; }
    // Measures the job list's widest line again once its font has changed,
    // so that the list still scrolls sideways to that line's end.
    void remeasure_widest_line();

    bool exists(int id) const override;
    std::string text(int id) const override;
    void set_text(int id, std::string_view text) override;
    int state(int id) const override;
    void set_state(int id, int state) override;
    int item_count(int id) const override;
    std::string item_text(int id, int index) const override;
    void insert_item(int id, int index, std::string_view text) override;
    void remove_item(int id, int index) override;
    void clear_items(int id) override;
    std::vector<std::string> items(int id) const override;
    void append_items(int id, const std::vector<std::string>& texts) override;
    bool enabled(int id) const override;
    void set_enabled(int id, bool enabled) override;
    bool visible(int id) const override;
    void set_visible(int id, bool visible) override;

private:
    struct Control {
        HWND hwnd;
        const ControlSpec* row;
    };
    // Counts nested writes; see `writing`.
    class WriteGuard {
    public:
        explicit WriteGuard(int& depth) : depth_(depth) { ++depth_; }
        ~WriteGuard() { --depth_; }
        WriteGuard(const WriteGuard&) = delete;
        WriteGuard& operator=(const WriteGuard&) = delete;

    private:
        int& depth_;
    };

    const Control* find(int id) const;
    // The first item equal to `text` ignoring ASCII letter case, or -1.
    int find_item(const Control& c, std::string_view text) const;
    // Selects an item (-1 = none) of a combo or list; an editable combo keeps
    // its edit text when nothing gets selected.
    void select_index(const Control& c, int index);
    void caret_to_end_if_focused(const Control& c);
    // Widens the job list's scrollable width to its longest line.
    void widen_list(const Control& c, const std::vector<std::string_view>& added);

    std::unordered_map<int, Control> controls_;
    std::unordered_map<HWND, int> ids_;
    int write_depth_ = 0;
    int list_extent_ = 0;  // pixels; only the job list scrolls sideways
    std::string widest_line_;  // the line that set list_extent_
};

}  // namespace tav
