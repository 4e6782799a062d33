#include "jobscript/audio_mux.h"

#include <string_view>

#include "common/paths.h"
#include "common/text_rules.h"
#include "model/audio_encoders.h"
#include "model/control_ids.h"
#include "model/muxers.h"
#include "jobscript/session.h"

namespace tav {
namespace {

// The audio value in kilobits per second, as bits per second.
std::string bits_per_second(std::string_view value) {
    return integer_to_text(static_cast<std::int64_t>(integer_from_text(value)) * 1000);
}

}  // namespace

std::string muxed_mkv_name(const Context& ctx, const std::string& output) {
    InputNames& names = ctx.session.input_names;
    // Muxing into the output itself would read and write one file and then
    // delete it; muxing into a source beside the output (movie.mkv encoded
    // to movie.mp4) would overwrite it. Either way the user's video is lost,
    // so "muxed." goes in until the name is neither.
    std::string base = stem(output);
    std::string name = base + "mkv";
    while (equals_ignoring_ascii_case(name, output) || names.is_job_input(ctx, name)) {
        base += "muxed.";
        name = base + "mkv";
    }
    return name;
}

void write_audio_commands(const Context& ctx, int encoder, std::vector<std::string>& lines) {
    const ControlSurface& ui = ctx.ui;
    const AudioEncoder* row = audio_encoder(encoder);
    if (!row) return;
    const AudioEncoder& e = *row;
    const std::string value = ui.text(ctl::AudioBitrate);
    const std::string output = ui.text(ctl::OutputFile);
    const std::string audio = quoted_batch_name(stem(output) + "audio." + std::string(e.extension));

    std::string line = "@bepipe.exe --script \"import(^" + batch_name(ui.text(ctl::InputFile)) + "^)\" | ";
    line += e.program;
    line += e.before_audio;
    line += audio;
    line += e.rate_option;
    line += e.quality ? value : bits_per_second(value);
    lines.push_back(std::move(line));

    write_mux_commands(ctx, audio, lines);
}

void write_mux_commands(const Context& ctx, const std::string& quoted_audio, std::vector<std::string>& lines) {
    const ControlSurface& ui = ctx.ui;
    const std::string output_text = ui.text(ctl::OutputFile);
    const std::string output = quoted_batch_name(output_text);
    const Muxer& muxer = muxer_at(ui.state(ctl::Muxer));
    if (!muxer.command.empty()) {
        lines.push_back(std::string(muxer.command) + quoted_audio + " " + output);
        lines.push_back("@if not errorlevel 1 del " + quoted_audio);
    } else if (muxer.into_mkv) {
        // mkvmerge ends with 2 when it gave up, possibly leaving a partial
        // file, and an older muxed file may stand there from an earlier
        // run: the sources go only after a finished mux (1 is warnings).
        const std::string mkv = quoted_batch_name(muxed_mkv_name(ctx, output_text));
        const std::string once_muxed = "@if not errorlevel 2 if exist " + mkv + " del ";
        lines.push_back("@mkvmerge -o " + mkv + " " + output + " " + quoted_audio);
        lines.push_back(once_muxed + quoted_audio);
        lines.push_back(once_muxed + output);
    }
}

}  // namespace tav
