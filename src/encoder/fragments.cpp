// PLACEHOLDER (being replaced by the encoder helper).
#include "encoder/fragments.h"
namespace tav {
std::string matrix_options(const SettingsView&) { return {}; }
std::string flag_options(const SettingsView&) { return {}; }
std::string keyframe_options(const SettingsView&) { return {}; }
std::string entropy_options(const SettingsView&) { return {}; }
std::string motion_options(const SettingsView&) { return {}; }
std::string aspect_options(const SettingsView&) { return {}; }
std::string thread_options(const SettingsView&) { return {}; }
std::string noise_options(const SettingsView&) { return {}; }
std::string deblock_options(const SettingsView&) { return {}; }
std::string bframe_options(const SettingsView&) { return {}; }
std::string common_options(const SettingsView&) { return {}; }
std::string ratio_options(const SettingsView&) { return {}; }
std::string partition_options(const SettingsView&) { return {}; }
std::string fast_partition_options(const SettingsView&) { return {}; }
std::string qp_options(const SettingsView&, bool) { return {}; }
std::string chroma_options(const SettingsView&) { return {}; }
std::string subpel_options(const SettingsView&) { return {}; }
std::string fast_subpel_options(const SettingsView&) { return {}; }
std::string vbv_options(const SettingsView&, bool) { return {}; }
}  // namespace tav
