// The fixed items of every choice list and the control states right after
// the window is built.
#pragma once

#include <string_view>

#include "model/control_surface.h"

namespace tav {

// Indices of the muxer list (ctl::Muxer).
namespace muxer {
inline constexpr int Mp4Box = 0, Mp4Creator = 1, MkvMerge = 2, NoMux = 3, AudioOnly = 4;
}

// Appends every list's items and selects the initial item; the trellis
// list is filled without a selection.
void fill_choice_lists(ControlSurface& ui);
// Check states, disabled states, slider positions and hidden controls.
void apply_initial_states(ControlSurface& ui);

}  // namespace tav
