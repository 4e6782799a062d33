// PLACEHOLDER (being replaced by the settings helper).
#include "settings/config_files.h"
namespace tav {
void refresh_lists(Context&) {}
void save_preset(Context&) {}
void load_preset(Context&) {}
}  // namespace tav
