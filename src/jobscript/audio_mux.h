// The audio encoding line and the mux and clean-up lines of a job.
#pragma once

#include <string>
#include <vector>

#include "model/context.h"

namespace tav {

// Appends to `lines` the audio line for the audio encoder list's index `encoder` and
// the lines of the selected muxer; nothing for any other index.
void write_audio_commands(const Context& ctx, int encoder, std::vector<std::string>& lines);

// Appends the lines of the selected muxer for the quoted audio file name.
void write_mux_commands(const Context& ctx, const std::string& quoted_audio, std::vector<std::string>& lines);

// The file the "MKVMerge" muxer writes for `output`: the output's stem with
// "mkv", with "muxed." put in front of "mkv" as often as needed so that it
// is neither the output itself nor the input of a job (or of the current
// choice).
std::string muxed_mkv_name(const Context& ctx, const std::string& output);

}  // namespace tav
