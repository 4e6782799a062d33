#include "encoder/pass_line.h"

#include <array>
#include <vector>

#include "common/paths.h"
#include "encoder/bitrate.h"
#include "encoder/fragments.h"
#include "model/control_ids.h"

namespace tav {
namespace {

// The pieces of a mode part, in the order a mode lists them.
enum class Piece {
    Ratio,
    Partition,
    FastPartition,
    Bitrate,
    QpFull,
    QpLimits,
    Chroma,
    Subpel,
    FastSubpel,
    VbvWithTolerance,
    VbvWithoutTolerance,
    Stats,
    FirstPass,
    LaterPass,  // " -p 3" when the statistics are updated, else " -p 2"
    Quantizer,
    RateFactor,
};

struct ModeLine {
    bool has_line = false;        // the combined modes are built pass by pass by the job step
    bool writes_output = true;    // first passes without output write to the null device
    bool conditional = false;     // runs only when the size check before it failed
    std::vector<Piece> pieces;
};

using P = Piece;

const std::array<ModeLine, 14>& mode_lines() {
    static const std::array<ModeLine, 14> lines = [] {
        const ModeLine later_pass{true, true, false,
                                  {P::LaterPass, P::Stats, P::Bitrate, P::QpFull, P::Ratio, P::Chroma, P::Partition,
                                   P::Subpel, P::VbvWithTolerance}};
        const ModeLine crf_first_pass{true, false, false,
                                      {P::Stats, P::FirstPass, P::RateFactor, P::Partition, P::Chroma, P::Ratio,
                                       P::Subpel, P::QpFull, P::VbvWithTolerance}};
        std::array<ModeLine, 14> m;
        m[0] = {true, true, false,
                {P::Ratio, P::Partition, P::Bitrate, P::QpFull, P::Subpel, P::VbvWithTolerance}};
        m[1] = {true, true, false, {P::Quantizer, P::QpLimits, P::Partition, P::Chroma, P::Subpel}};
        m[2] = {true, true, false,
                {P::RateFactor, P::Partition, P::Subpel, P::Chroma, P::QpFull, P::Ratio, P::VbvWithoutTolerance}};
        m[3] = {true, false, false,
                {P::FirstPass, P::Stats, P::Bitrate, P::QpLimits, P::Partition, P::Chroma, P::Ratio, P::Subpel,
                 P::VbvWithTolerance}};
        m[4] = {true, false, false,
                {P::FirstPass, P::Stats, P::Bitrate, P::QpLimits, P::Ratio, P::FastPartition, P::FastSubpel,
                 P::VbvWithTolerance}};
        m[5] = later_pass;
        m[8] = crf_first_pass;
        m[9] = {true, false, false,
                {P::Stats, P::FirstPass, P::RateFactor, P::FastPartition, P::FastSubpel, P::QpFull, P::Ratio,
                 P::VbvWithTolerance}};
        m[12] = crf_first_pass;
        m[12].writes_output = true;
        m[13] = later_pass;
        m[13].conditional = true;
        return m;
    }();
    return lines;
}

std::string piece_text(Piece piece, const SettingsView& s, Platform& platform) {
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
        case P::Stats: return " --stats " + quoted_batch_name(s.text(ctl::StatsFile));
        case P::FirstPass: return " -p 1";
        case P::LaterPass: return s.checked(ctl::UpdateStats) ? " -p 3" : " -p 2";
        case P::Quantizer: return " -q " + s.text(ctl::Value);
        case P::RateFactor: return " --crf " + s.text(ctl::Value);
    }
    return {};
}

}  // namespace

std::string make_pass_line(const SettingsView& s, Platform& platform) {
    const int mode = s.mode();
    if (mode < 0 || mode >= static_cast<int>(mode_lines().size())) return {};
    const ModeLine& mode_line = mode_lines()[static_cast<size_t>(mode)];
    if (!mode_line.has_line) return {};

    std::string command = "x264.exe --progress --no-psnr --no-ssim" + common_options(s);
    for (Piece piece : mode_line.pieces) command += piece_text(piece, s, platform);
    command += mode_line.writes_output ? " -o " + quoted_batch_name(s.text(ctl::OutputFile)) + " " : std::string(" -o nul ");
    command += quoted_batch_name(s.text(ctl::InputFile));

    if (s.checked(ctl::LogEnabled)) command += " 2>&1|lputs.exe " + quoted_batch_name(s.text(ctl::LogFile));

    // The interpreter takes everything after an "if" condition, the log pipe
    // included, as the conditional command, so the size test is made by the
    // batch itself before the pass and its pipe start.
    return (mode_line.conditional ? "@if errorlevel 1 @" : "@") + command;
}

}  // namespace tav
