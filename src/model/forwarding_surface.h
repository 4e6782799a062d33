// A control surface that passes every call on to another one. Surfaces that
// stand between the program and the window (following the job list,
// keeping the texts of a batch of writes, recording what was written) derive
// from it and override only what they add.
#pragma once

#include "model/control_surface.h"

namespace tav {

class ForwardingSurface : public ControlSurface {
public:
    explicit ForwardingSurface(ControlSurface& inner) : inner_(inner) {}

    bool exists(int id) const override { return inner_.exists(id); }
    std::string text(int id) const override { return inner_.text(id); }
    void set_text(int id, std::string_view text) override { inner_.set_text(id, text); }
    int state(int id) const override { return inner_.state(id); }
    void set_state(int id, int state) override { inner_.set_state(id, state); }
    int item_count(int id) const override { return inner_.item_count(id); }
    std::string item_text(int id, int index) const override { return inner_.item_text(id, index); }
    void insert_item(int id, int index, std::string_view text) override { inner_.insert_item(id, index, text); }
    void remove_item(int id, int index) override { inner_.remove_item(id, index); }
    void clear_items(int id) override { inner_.clear_items(id); }
    std::vector<std::string> items(int id) const override { return inner_.items(id); }
    void append_items(int id, const std::vector<std::string>& texts) override { inner_.append_items(id, texts); }
    std::optional<std::uint64_t> item_changes(int id) const override { return inner_.item_changes(id); }
    bool enabled(int id) const override { return inner_.enabled(id); }
    void set_enabled(int id, bool enabled) override { inner_.set_enabled(id, enabled); }
    bool visible(int id) const override { return inner_.visible(id); }
    void set_visible(int id, bool visible) override { inner_.set_visible(id, visible); }

protected:
    ControlSurface& inner() const { return inner_; }

private:
    ControlSurface& inner_;
};

}  // namespace tav
