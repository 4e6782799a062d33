#include "model/audio_encoders.h"

#include "model/control_table.h"

namespace tav {
namespace {

// Each " |-sse2" item selects the SSE2 build of the encoder named above it.
constexpr std::array<AudioEncoder, kAudioEncoderCount> kAudioEncoders = {{
    {"CT AAC", "enc_aacplus.exe", "aac", " - ", " --cbr ", false},
    {"Nero", "neroaacenc.exe", "mp4", " -if - -of ", " -ignorelength -cbr ", false},
    {" |-sse2", "neroaacenc_sse2.exe", "mp4", " -if - -of ", " -ignorelength -cbr ", false},
    {"Nero(ABR)", "neroaacenc.exe", "mp4", " -if - -of ", " -ignorelength -br ", false},
    {" |-sse2", "neroaacenc_sse2.exe", "mp4", " -if - -of ", " -ignorelength -br ", false},
    {"Nero(Q)", "neroaacenc.exe", "mp4", " -if - -of ", " -ignorelength -q ", true},
    {" |-sse2", "neroaacenc_sse2.exe", "mp4", " -if - -of ", " -ignorelength -q ", true},
}};

}  // namespace

constexpr std::array<std::string_view, kAudioEncoderCount> kAudioEncoderItems =
    item_texts(kAudioEncoders, &AudioEncoder::item);

std::span<const AudioEncoder> audio_encoders() { return kAudioEncoders; }

const AudioEncoder* audio_encoder(int index) {
    const auto all = audio_encoders();
    return index >= 0 && static_cast<size_t>(index) < all.size() ? &all[static_cast<size_t>(index)] : nullptr;
}

}  // namespace tav
