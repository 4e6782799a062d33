// Controls that follow other controls: the encode mode and "Size" box, the
// B-frame count, the log box, the audio encoder's unit label.
#pragma once

#include <string_view>

#include "model/control_surface.h"

namespace tav {

void mode_dependent_update(ControlSurface& ui);
void bframe_update(ControlSurface& ui);
void log_file_update(ControlSurface& ui);
// Selects every template item equal to `name` byte for byte (the last
// match stays selected); an empty name or no match changes nothing.
void select_include_by_name(ControlSurface& ui, std::string_view name);
// "Quality" beside the audio value for the encoders that take a quality,
// else "Kbps".
void update_audio_unit_label(ControlSurface& ui);

}  // namespace tav
