// The choice lists' items and the control states right after the window
// is built, as the control table gives them.
#pragma once

#include "model/control_surface.h"

namespace tav {

// Appends every list's items and selects its initial item; a list with no
// initial item (the trellis list) is filled without a selection.
void fill_choice_lists(ControlSurface& ui);
// Check states, disabled states, track bar positions and hidden controls,
// in that order.
void apply_initial_states(ControlSurface& ui);

}  // namespace tav
