#include "encoder/fragments.h"

#include <initializer_list>

#include "common/paths.h"
#include "common/text_rules.h"
#include "encoder/dialect.h"
#include "model/control_ids.h"

namespace tav {
namespace {

std::string quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

int integer_of(const SettingsView& s, int id) { return integer_from_text(s.text(id)); }

// A percentage field as the ratio the encoder expects: percent / 100 + offset,
// held in single precision.
std::string ratio_text(const SettingsView& s, int id, double offset) {
    return six_decimal_text(static_cast<float>(integer_of(s, id) / 100.0 + offset));
}

// The subpixel refinement level is the first character of the decision item.
std::string subpel_level(const SettingsView& s) { return first_character(s.text(ctl::PartitionDecision)); }

// Decision items "6b(RDO on B-frames)" and "7b(RDO on B-frames)".
bool is_b_rdo_item(int index) { return index == 6 || index == 8; }

struct PartitionBox {
    int box;
    int requires_box;  // the box is consulted only when this one is ticked (0: always)
    const char* item;
};

// The partition list: the items of the ticked boxes, comma-separated, or
// "none" when no item is present.
std::string partition_list(const SettingsView& s, std::initializer_list<PartitionBox> boxes) {
    std::string list;
    for (const PartitionBox& b : boxes) {
        if (b.requires_box != 0 && !s.checked(b.requires_box)) continue;
        if (!s.checked(b.box)) continue;
        if (!list.empty()) list += ',';
        list += b.item;
    }
    return list.empty() ? "none" : list;
}

}  // namespace

std::string matrix_options(const SettingsView& s) {
    const std::string matrix = s.text(ctl::QuantMatrix);
    if (matrix == "flat" || matrix == "jvt") return opt(s, Opt::Cqm) + matrix;
    // Anything else names a matrix file: the batch must hand its name over intact.
    return opt(s, Opt::Cqmfile) + batch_name(matrix);
}

std::string flag_options(const SettingsView& s) {
    std::string out;
    if (!s.checked(ctl::FastPSkip)) out += opt(s, Opt::NoFastPskip);
    if (!s.checked(ctl::DctDecimate)) out += opt(s, Opt::NoDctDecimate);
    if (s.checked(ctl::ThreadInput)) out += opt(s, Opt::ThreadInput);
    if (s.checked(ctl::MixedRefs) && integer_of(s, ctl::MaxRefs) > 1) out += opt(s, Opt::MixedRefs);
    return out;
}

std::string keyframe_options(const SettingsView& s) {
    return opt(s, Opt::Scenecut) + s.text(ctl::SceneCut) + opt(s, Opt::Keyint) + s.text(ctl::MaxIdr) +
           opt(s, Opt::MinKeyint) + s.text(ctl::MinIdr);
}

std::string entropy_options(const SettingsView& s) {
    if (!s.checked(ctl::Cabac)) return opt(s, Opt::NoCabac);
    if (s.state(ctl::Trellis) != 0 && s.state(ctl::Trellis) != -1) return opt(s, Opt::Trellis) + s.text(ctl::Trellis);
    // Nothing selected in the trellis list reads as no trellis option.
    return {};
}

std::string motion_options(const SettingsView& s) {
    switch (s.state(ctl::MeMethod)) {
        case 0: return opt(s, Opt::Me) + "dia";
        case 1: return opt(s, Opt::Me) + "hex";
        case 2: return opt(s, Opt::Me) + "umh" + opt(s, Opt::Merange) + s.text(ctl::MeRange);
        default: return opt(s, Opt::Me) + "esa" + opt(s, Opt::Merange) + s.text(ctl::MeRange);
    }
}

std::string aspect_options(const SettingsView& s) {
    return opt(s, Opt::Sar) + trimmed_blanks(s.text(ctl::SarWidth)) + ":" + trimmed_blanks(s.text(ctl::SarHeight));
}

std::string thread_options(const SettingsView& s) {
    const std::string threads = integer_of(s, ctl::Threads) == 0 ? "auto" : s.text(ctl::Threads);
    return opt(s, Opt::Threads) + threads + opt(s, Opt::Ref) + s.text(ctl::MaxRefs);
}

std::string noise_options(const SettingsView& s) { return opt(s, Opt::Nr) + s.text(ctl::NoiseReduction); }

std::string deblock_options(const SettingsView& s) {
    if (!s.checked(ctl::Deblock)) return opt(s, Opt::NoDeblock);
    return opt(s, Opt::Deblock) + trimmed_blanks(s.text(ctl::StrengthValue)) + ":" +
           trimmed_blanks(s.text(ctl::ThresholdValue));
}

std::string bframe_options(const SettingsView& s) {
    std::string out = opt(s, Opt::Bframes) + s.text(ctl::MaxBFrames);
    if (integer_of(s, ctl::MaxBFrames) <= 0) return out;
    out += opt(s, Opt::Direct) + quoted(lower_cased(s.text(ctl::DirectMode)));
    if (s.checked(ctl::BidirectionalMe)) out += opt(s, Opt::Bime);
    if (!s.checked(ctl::AdaptiveB)) out += opt(s, Opt::NoBAdapt);
    out += opt(s, Opt::BBias) + s.text(ctl::Bias);
    out += opt(s, s.checked(ctl::BReferences) ? Opt::BPyramid : Opt::BPyramidOff);
    if (s.checked(ctl::WeightedB)) out += opt(s, Opt::Weightb);
    return out;
}

std::string common_options(const SettingsView& s) {
    return matrix_options(s) + flag_options(s) + keyframe_options(s) + entropy_options(s) + motion_options(s) +
           aspect_options(s) + thread_options(s) + noise_options(s) + deblock_options(s) + bframe_options(s);
}

std::string ratio_options(const SettingsView& s) {
    return opt(s, Opt::Ipratio) + ratio_text(s, ctl::KeyframeBoost, 1.0) + opt(s, Opt::Pbratio) +
           ratio_text(s, ctl::BFrameReduction, 1.0);
}

std::string partition_options(const SettingsView& s) {
    const std::string list = partition_list(s, {{ctl::PSearch8x8, 0, "p8x8"},
                                                {ctl::PSearch4x4, ctl::PSearch8x8, "p4x4"},
                                                {ctl::BSearch8x8, 0, "b8x8"},
                                                {ctl::Intra8x8, ctl::Transform8x8, "i8x8"},
                                                {ctl::Intra4x4, 0, "i4x4"}});
    return (s.checked(ctl::Transform8x8) ? opt(s, Opt::Dct8x8) : std::string()) + opt(s, Opt::Partitions) + list;
}

std::string fast_partition_options(const SettingsView& s) {
    return opt(s, Opt::Partitions) + partition_list(s, {{ctl::PSearch8x8, 0, "p8x8"}, {ctl::Intra4x4, 0, "i4x4"}});
}

std::string qp_options(const SettingsView& s, bool full) {
    std::string out = opt(s, Opt::Qpmin) + s.text(ctl::MinQp) + opt(s, Opt::Qpmax) + s.text(ctl::MaxQp);
    if (full)
        out += opt(s, Opt::Qpstep) + s.text(ctl::MaxQpStep) + opt(s, Opt::Qcomp) +
               ratio_text(s, ctl::QuantCompression, 0.0);
    return out;
}

std::string chroma_options(const SettingsView& s) {
    if (!s.checked(ctl::ChromaMe) && integer_from_text(subpel_level(s)) > 4) return opt(s, Opt::NoChromaMe);
    return {};
}

std::string subpel_options(const SettingsView& s) {
    std::string out = opt(s, Opt::Subme) + subpel_level(s);
    if (is_b_rdo_item(s.state(ctl::PartitionDecision))) out += opt(s, Opt::BRdo);
    return out;
}

std::string fast_subpel_options(const SettingsView& s) {
    if (s.state(ctl::PartitionDecision) > 2) return opt(s, Opt::Subme) + "3";
    return opt(s, Opt::Subme) + subpel_level(s);
}

std::string vbv_options(const SettingsView& s, bool tolerance) {
    std::string out;
    if (tolerance) out += opt(s, Opt::Ratetol) + ratio_text(s, ctl::BitrateVariance, 0.0);
    out += opt(s, Opt::VbvInit) + s.text(ctl::VbvInitBuffer) + opt(s, Opt::VbvBufsize) + s.text(ctl::VbvBufferSize) +
           opt(s, Opt::VbvMaxrate) + s.text(ctl::VbvMaxRate);
    return out;
}

}  // namespace tav
