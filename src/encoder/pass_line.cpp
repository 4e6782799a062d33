// PLACEHOLDER (being replaced by the encoder helper).
#include "encoder/pass_line.h"
namespace tav {
std::string make_pass_line(const SettingsView&, Platform&) { return {}; }
}  // namespace tav
