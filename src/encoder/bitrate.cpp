// PLACEHOLDER (being replaced by the encoder helper).
#include "encoder/bitrate.h"
namespace tav {
std::optional<std::int64_t> target_size_bitrate(const MediaLength&, double, bool, std::int32_t) { return {}; }
std::string bitrate_options(const SettingsView&, Platform&) { return {}; }
}  // namespace tav
