// The window's controls as plain data, built from the same control table as
// the real window. Unit tests and benchmarks drive the program through it.
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "model/control_surface.h"
#include "model/control_table.h"

namespace tav {

class MemorySurface final : public ControlSurface {
public:
    MemorySurface();

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
    std::optional<std::uint64_t> item_changes(int id) const override;
    bool enabled(int id) const override;
    void set_enabled(int id, bool enabled) override;
    bool visible(int id) const override;
    void set_visible(int id, bool visible) override;

    const ControlSpec* row(int id) const;

private:
    struct Control {
        const ControlSpec* row;
        std::string text;
        int state = 0;
        std::vector<std::string> items;
        std::uint64_t item_changes = 0;
        bool enabled = true;
        bool visible = true;
    };
    Control* find(int id);
    const Control* find(int id) const;

    std::unordered_map<int, Control> controls_;
};

}  // namespace tav
