// The settings files on disk: the main settings file, presets in "configs",
// and the preset and template lists.
#pragma once

#include "model/context.h"

namespace tav {

inline constexpr const char* kMainSettingsFile = "tavrelion.ini";

// Refills the preset list (115) from "configs\*.ini" and the template list
// (129) from "AVSinc\*.avs".
void refresh_lists(Context& ctx);
// The "S" button: confirm, save as the preset named in 115, refill 115.
void save_preset(Context& ctx);
// The "L" button: load the preset named in 115.
void load_preset(Context& ctx);

}  // namespace tav
