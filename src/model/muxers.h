// The items of the muxer list (ctl::Muxer), one row each: the item text and
// what a job's audio does with the encoded video after it.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace tav {

// Indices of the muxer list.
namespace muxer {
inline constexpr int Mp4Box = 0, Mp4Creator = 1, MkvMerge = 2, NoMux = 3, AudioOnly = 4;
inline constexpr std::size_t Count = 5;
}  // namespace muxer

struct Muxer {
    std::string_view item;  // the list's item text
    // A mux of the audio into the output itself: "<command><audio> <output>",
    // after which the audio file goes; empty: no such mux.
    std::string_view command;
    bool into_mkv;    // mkvmerge writes video and audio into a new MKV file
    bool audio_only;  // jobs hold the audio and its mux only, no encoder pass
};

// The row of a list index; any index outside the list, -1 (no selection)
// included, gives a muxer that writes nothing.
const Muxer& muxer_at(int index);

// The list's item texts.
extern const std::array<std::string_view, muxer::Count> kMuxerItems;

}  // namespace tav
