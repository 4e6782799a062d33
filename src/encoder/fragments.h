// Option fragments of an x264.exe command line. Each is either empty or
// begins with one blank, so fragments join end to end. Control texts enter
// unchanged; nothing is quoted except where a fragment says so. Every
// option is spelled in the view's encoder dialect (encoder/dialect.h).
#pragma once

#include <string>

#include "encoder/settings_view.h"

namespace tav {

// The common part, in the order every pass line carries it.
std::string matrix_options(const SettingsView& s);
std::string flag_options(const SettingsView& s);
std::string keyframe_options(const SettingsView& s);
std::string entropy_options(const SettingsView& s);
std::string motion_options(const SettingsView& s);
std::string aspect_options(const SettingsView& s);
std::string thread_options(const SettingsView& s);
std::string noise_options(const SettingsView& s);
std::string deblock_options(const SettingsView& s);
std::string bframe_options(const SettingsView& s);
// All ten above, joined in order.
std::string common_options(const SettingsView& s);

// Picked and ordered per encode mode.
std::string ratio_options(const SettingsView& s);
std::string partition_options(const SettingsView& s);
std::string fast_partition_options(const SettingsView& s);
std::string qp_options(const SettingsView& s, bool full);
std::string chroma_options(const SettingsView& s);
std::string subpel_options(const SettingsView& s);
std::string fast_subpel_options(const SettingsView& s);
std::string vbv_options(const SettingsView& s, bool tolerance);

}  // namespace tav
