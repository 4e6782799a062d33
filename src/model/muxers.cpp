#include "model/muxers.h"

#include "model/control_table.h"

namespace tav {
namespace {

constexpr std::array<Muxer, muxer::Count> kMuxers = {{
    {"MP4Box", "@mp4box.exe -add ", false, false},
    {"MP4Creator", "@mp4creator.exe -create=", false, false},
    {"MKVMerge", "", true, false},
    // The audio file stays as it is.
    {"No mux", "", false, false},
    {"Audio Only", "", false, true},
}};

constexpr Muxer kNoMuxer = {"", "", false, false};

}  // namespace

constexpr std::array<std::string_view, muxer::Count> kMuxerItems = item_texts(kMuxers, &Muxer::item);

const Muxer& muxer_at(int index) {
    return index >= 0 && static_cast<std::size_t>(index) < kMuxers.size() ? kMuxers[static_cast<std::size_t>(index)]
                                                                           : kNoMuxer;
}

}  // namespace tav
