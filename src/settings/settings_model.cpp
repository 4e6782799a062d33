// PLACEHOLDER (being replaced by the settings helper).
#include "settings/settings_model.h"
namespace tav {
std::string_view builtin_default_text() { return {}; }
void save_settings(Context&, const std::string&) {}
void load_settings(Context&, const std::string&) {}
void apply_builtin_defaults(Context&) {}
}  // namespace tav
