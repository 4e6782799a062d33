#include "encoder/pass_line.h"

#include "common/paths.h"
#include "encoder/bitrate.h"
#include "encoder/dialect.h"
#include "encoder/fragments.h"
#include "model/control_ids.h"
#include "model/encode_modes.h"

namespace tav {
namespace {

using P = LinePiece;

std::string piece_text(LinePiece piece, const SettingsView& s, Platform& platform) {
    switch (piece) {
        case P::Ratio: return ratio_options(s);
        case P::Partition: return partition_options(s);
        case P::FastPartition: return fast_partition_options(s);
        case P::Bitrate: return bitrate_options(s, platform);
        case P::QpFull: return qp_options(s, true);
        case P::QpLimits: return qp_options(s, false);
        case P::Chroma: return chroma_options(s);
        case P::Subpel: return subpel_options(s);
        case P::FastSubpel: return fast_subpel_options(s);
        case P::VbvWithTolerance: return vbv_options(s, true);
        case P::VbvWithoutTolerance: return vbv_options(s, false);
        case P::Stats: return opt(s, Opt::Stats) + quoted_batch_name(s.text(ctl::StatsFile));
        case P::FirstPass: return opt(s, Opt::Pass) + "1";
        case P::LaterPass: return opt(s, Opt::Pass) + (s.checked(ctl::UpdateStats) ? "3" : "2");
        case P::Quantizer: return opt(s, Opt::Qp) + s.text(ctl::Value);
        case P::RateFactor: return opt(s, Opt::Crf) + s.text(ctl::Value);
    }
    return {};
}

}  // namespace

std::string make_pass_line(const SettingsView& s, Platform& platform) {
    const EncodeMode& mode = encode_mode(s.mode());
    if (!mode.has_line) return {};
    const PassLine& mode_line = mode.line;

    std::string command =
        "x264.exe" + opt(s, Opt::Progress) + opt(s, Opt::NoPsnr) + opt(s, Opt::NoSsim) + common_options(s);
    for (LinePiece piece : mode_line.pieces) command += piece_text(piece, s, platform);
    command += opt(s, Opt::Output) +
               (mode_line.writes_output ? quoted_batch_name(s.text(ctl::OutputFile)) + " " : std::string("nul "));
    command += quoted_batch_name(s.text(ctl::InputFile));

    if (s.checked(ctl::LogEnabled)) command += std::string(kLogPipe) + quoted_batch_name(s.text(ctl::LogFile));

    // The interpreter takes everything after an "if" condition, the log pipe
    // included, as the conditional command, so the size test is made by the
    // batch itself before the pass and its pipe start.
    return (mode_line.conditional ? "@if errorlevel 1 @" : "@") + command;
}

}  // namespace tav
