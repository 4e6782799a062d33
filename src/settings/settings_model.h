// The 59 persisted settings: their keys, controls, kinds and fallbacks, and
// moving them between the window's controls and a settings file.
#pragma once

#include <string>
#include <string_view>

#include "model/context.h"

namespace tav {

// The built-in defaults, exactly as they are written to "default.ini".
std::string_view builtin_default_text();

// Writes every setting to `path`; the old file is replaced only after the
// new text was written whole.
void save_settings(Context& ctx, const std::string& path);

// Reads `path` into the controls and brings every dependent control into
// line; a file that cannot be opened gives the built-in defaults.
void load_settings(Context& ctx, const std::string& path);

// Reads `path` into the controls like load_settings; false, with every
// control untouched, when the file cannot be read.
bool load_readable_settings(Context& ctx, const std::string& path);

// Applies the built-in defaults through program folder + "default.ini".
void apply_builtin_defaults(Context& ctx);

}  // namespace tav
