// The settings files on disk: the main settings file, presets in "configs",
// and the preset and template lists.
#pragma once

#include "model/context.h"

namespace tav {

inline constexpr const char* kMainSettingsFile = "tavrelion.ini";

// Refills the preset list (ctl::PresetName) from "configs\*.ini" and the
// template list (ctl::Template) from "AVSinc\*.avs".
void refresh_lists(Context& ctx);
// The "S" button: confirm, save as the preset named in the preset list, refill the list.
void save_preset(Context& ctx);
// The "L" button: load the preset named in 115.
void load_preset(Context& ctx);

}  // namespace tav
