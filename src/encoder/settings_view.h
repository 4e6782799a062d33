// A read-only view of the settings the encoder line is built from: the
// window's controls, with the encode mode, the value field and the "Audio"
// box optionally replaced for one pass. The combined modes build each pass
// through such a view, so the controls themselves never change.
#pragma once

#include <optional>
#include <utility>
#include <string>

#include "model/control_ids.h"
#include "model/control_surface.h"

namespace tav {

class EncoderDialect;

struct PassOverrides {
    std::optional<int> mode = {};           // index of the mode list (ctl::Mode)
    std::optional<std::string> value = {};  // text of the value field (ctl::Value)
    std::optional<bool> audio = {};         // the "Audio" box (ctl::Audio)
};

class SettingsView {
public:
    explicit SettingsView(const ControlSurface& ui, PassOverrides overrides = {})
        : ui_(ui), overrides_(std::move(overrides)) {}
    // The same settings, for lines in the dialect of a given encoder.
    SettingsView(const SettingsView& view, const EncoderDialect& dialect) : SettingsView(view) {
        dialect_ = &dialect;
    }

    std::string text(int id) const {
        if (id == ctl::Value && overrides_.value) return *overrides_.value;
        return ui_.text(id);
    }
    int state(int id) const {
        if (id == ctl::Mode && overrides_.mode) return *overrides_.mode;
        if (id == ctl::Audio && overrides_.audio) return *overrides_.audio ? 1 : 0;
        return ui_.state(id);
    }
    bool checked(int id) const { return state(id) != 0; }
    int mode() const { return state(ctl::Mode); }
    // The encoder dialect of the lines; the documented one unless given.
    const EncoderDialect& dialect() const;

private:
    const ControlSurface& ui_;
    PassOverrides overrides_;
    const EncoderDialect* dialect_ = nullptr;
};

}  // namespace tav
