// The fixed items of every choice list and the control states right after
// the window is built.
#pragma once

#include <array>
#include <string_view>

#include "model/control_surface.h"

namespace tav {

inline constexpr std::array<std::string_view, 14> kModeNames = {
    "Single Pass - Bitrate",
    "Single Pass - Quantizer",
    "Single Pass - CRF",
    "Mutipass - First Pass",
    "Mutipass - First Pass(fast)",
    "Mutipass - Nth pass",
    "Automated Double Passes",
    "Automated Double Passes(fast)",
    "Mutipass - First Pass(CRF)",
    "Mutipass - First Pass(CRF-fast)",
    "Automated Double Passes(1P-CRF)",
    "Automated Double Passes(1P-CRF-fast)",
    "Mutipass - First Pass(CRF with output)",
    "Conditional Double Passes(1P-CRF)",
};

// Indices of the muxer list (112).
namespace muxer {
inline constexpr int Mp4Box = 0, Mp4Creator = 1, MkvMerge = 2, NoMux = 3, AudioOnly = 4;
}

// Appends every list's items and selects the initial item; the trellis
// list is filled without a selection.
void fill_choice_lists(ControlSurface& ui);
// Check states, disabled states, slider positions and hidden controls.
void apply_initial_states(ControlSurface& ui);

}  // namespace tav
