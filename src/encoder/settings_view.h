// A read-only view of the settings the encoder line is built from: the
// window's controls, with the encode mode, the value field and the "Audio"
// box optionally replaced for one pass, and the dialect of the encoder that
// will run the line. The combined modes build each pass through such a
// view, so the controls themselves never change.
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
    // `dialect` must outlive the view.
    SettingsView(const ControlSurface& ui, const EncoderDialect& dialect, PassOverrides overrides = {})
        : ui_(ui), dialect_(dialect), overrides_(std::move(overrides)) {}

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
    // How the encoder that runs the line spells its options.
    const EncoderDialect& dialect() const { return dialect_; }

private:
    const ControlSurface& ui_;
    const EncoderDialect& dialect_;
    PassOverrides overrides_;
};

}  // namespace tav
