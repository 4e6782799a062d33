// The complete x264.exe batch line of one pass, for the modes with a line
// of their own (the encode-mode table). The combined modes are sequenced by
// the job step, which passes per-pass overrides.
#pragma once

#include <string>
#include <string_view>

#include "encoder/settings_view.h"
#include "model/platform.h"

namespace tav {

// The pipe that sends a pass's messages into its log file, named after it
// in double quotes.
inline constexpr std::string_view kLogPipe = " 2>&1|lputs.exe ";

// The line of the pass that the view's mode selects. The conditional
// double passes give their conditional second pass. The automated double
// passes have no line of their own (the job step builds them from
// single-pass modes), so they give the empty text, as does a mode list
// without a selection.
std::string make_pass_line(const SettingsView& s, Platform& platform);

}  // namespace tav
