// The complete x264.exe batch line of one pass, for the single-pass modes
// 0, 1, 2, 3, 4, 5, 8, 9, 12 and the second pass of 13. The combined modes
// are sequenced by the job step, which passes per-pass overrides.
#pragma once

#include <string>

#include "encoder/settings_view.h"
#include "model/platform.h"

namespace tav {

// The line of the pass that the view's mode selects. Mode 13 gives its
// conditional second pass. The combined modes 6, 7, 10 and 11 have no line
// of their own (the job step builds them from single-pass modes), so they
// give the empty text, as does a mode list without a selection.
std::string make_pass_line(const SettingsView& s, Platform& platform);

}  // namespace tav
