// The items of the audio encoder list (ctl::AudioEncoder), one row each: the item text
// and how the job's audio line runs that encoder. The line reads
// "<program><before audio><audio file><rate option><value>".
#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <string_view>

namespace tav {

struct AudioEncoder {
    std::string_view item;       // the list's item text
    std::string_view program;
    std::string_view extension;  // of the temporary audio file
    std::string_view before_audio;
    std::string_view rate_option;
    bool quality;  // the value is a quality, passed as typed, not kilobits per second
};

inline constexpr std::size_t kAudioEncoderCount = 7;

// Every item in list order.
std::span<const AudioEncoder> audio_encoders();
// The list's item texts.
extern const std::array<std::string_view, kAudioEncoderCount> kAudioEncoderItems;
// The row of a list index, or nullptr outside the list (-1: no selection).
const AudioEncoder* audio_encoder(int index);

}  // namespace tav
