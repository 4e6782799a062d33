// The rate fragment " -B <kbit/s>": the typed bitrate, or, with the "Size"
// box ticked, the bitrate that fills the typed target size in megabytes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "encoder/settings_view.h"
#include "model/platform.h"

namespace tav {

// Video bitrate in kbit/s for a target size, or nullopt when the input's
// length gives no usable duration (0 seconds or a whole rate of 0). The size
// is held in single precision, seconds are rounded halves to even, and the
// 64-bit arithmetic saturates instead of overflowing.
std::optional<std::int64_t> target_size_bitrate(const MediaLength& media, double target_megabytes,
                                                bool audio, std::int32_t audio_kbps);

// " -B " + the value text when "Size" is off; with "Size" on, the input
// (ctl::InputFile) is measured on every call and the computed bitrate is given,
// or the empty text when the input has no usable length.
std::string bitrate_options(const SettingsView& s, Platform& platform);

}  // namespace tav
