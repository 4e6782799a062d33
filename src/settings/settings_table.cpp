#include "settings/settings_table.h"

#include <array>
#include <iterator>

#include "model/control_ids.h"

namespace tav {
namespace {

using K = SettingKind;

constexpr Setting kSettings[] = {
    {"upstat", ctl::UpdateStats, K::State, "1"},
    {"a1", ctl::Transform8x8, K::State, "0"},
    {"a2", ctl::PSearch8x8, K::State, "0"},
    {"a3", ctl::BSearch8x8, K::State, "0"},
    {"a4", ctl::PSearch4x4, K::State, "0"},
    {"a5", ctl::Intra8x8, K::State, "0"},
    {"a6", ctl::Intra4x4, K::State, "0"},
    {"cab", ctl::Cabac, K::State, "0"},
    {"mxref", ctl::MixedRefs, K::State, "0"},
    {"tre", ctl::Trellis, K::State, "0"},
    {"fil", ctl::Deblock, K::State, "0"},
    {"bref", ctl::BReferences, K::State, "0"},
    {"bme", ctl::BidirectionalMe, K::State, "0"},
    {"ba", ctl::AdaptiveB, K::State, "0"},
    {"bwb", ctl::WeightedB, K::State, "0"},
    {"mode", ctl::Mode, K::State, "0"},
    {"dm", ctl::DirectMode, K::State, "0"},
    {"m", ctl::PartitionDecision, K::State, "0"},
    {"ms", ctl::MeMethod, K::State, "0"},
    {"aud", ctl::Audio, K::State, "0"},
    {"ae", ctl::AudioEncoder, K::State, "0"},
    {"apin", ctl::ThreadInput, K::State, "0"},
    {"muxer", ctl::Muxer, K::State, "0"},
    {"deb-a", ctl::DeblockStrength, K::State, "6"},
    {"deb-b", ctl::DeblockThreshold, K::State, "6"},
    {"fastpsk", ctl::FastPSkip, K::State, "1"},
    {"dctd", ctl::DctDecimate, K::State, "1"},
    {"crelog", ctl::LogEnabled, K::State, "1"},
    {"sizemode", ctl::SizeMode, K::State, "0"},
    {"cqm", ctl::QuantMatrix, K::Text, "flat", true},
    {"aub", ctl::AudioBitrate, K::Text, "64000"},
    {"fa", ctl::StrengthValue, K::Text, "0"},
    {"mb", ctl::MaxBFrames, K::Text, "0"},
    {"bias", ctl::Bias, K::Text, "0"},
    {"fb", ctl::ThresholdValue, K::Text, "0"},
    {"value", ctl::Value, K::Text, "0"},
    {"range", ctl::MeRange, K::Text, "0"},
    {"ref", ctl::MaxRefs, K::Text, "0"},
    {"arx", ctl::SarWidth, K::Text, "0"},
    {"ary", ctl::SarHeight, K::Text, "0"},
    {"thr", ctl::Threads, K::Text, "0"},
    {"nr", ctl::NoiseReduction, K::Text, "0"},
    {"kfb", ctl::KeyframeBoost, K::Text, "0"},
    {"bfr", ctl::BFrameReduction, K::Text, "0"},
    {"vbr", ctl::QuantCompression, K::Text, "0"},
    {"minqp", ctl::MinQp, K::Text, "0"},
    {"maxqp", ctl::MaxQp, K::Text, "0"},
    {"qps", ctl::MaxQpStep, K::Text, "0"},
    {"vbs", ctl::VbvBufferSize, K::Text, "0"},
    {"vmb", ctl::VbvMaxRate, K::Text, "0"},
    {"vib", ctl::VbvInitBuffer, K::Text, "0.9"},
    {"bv", ctl::BitrateVariance, K::Text, "100"},
    {"sct", ctl::SceneCut, K::Text, "0"},
    {"mingop", ctl::MinIdr, K::Text, "0"},
    {"maxgop", ctl::MaxIdr, K::Text, "0"},
    {"auto1pcrf", ctl::FirstPassCrf, K::Text, "16"},
    {"avsinc", ctl::Template, K::Text, ""},
    {"maxsize", ctl::MaxSize, K::Text, "110"},
    {"minsize", ctl::MinSize, K::Text, "90"},
};

// Each control holds at most one setting.
struct ControlIndex {
    std::array<short, ctl::kIdLimit> row{};
    constexpr ControlIndex() {
        for (auto& r : row) r = -1;
        for (short i = 0; i < static_cast<short>(std::size(kSettings)); ++i) row[kSettings[i].control] = i;
    }
};
constexpr ControlIndex kIndex{};

constexpr bool one_setting_per_control() {
    for (std::size_t i = 0; i < std::size(kSettings); ++i)
        for (std::size_t k = i + 1; k < std::size(kSettings); ++k)
            if (kSettings[i].control == kSettings[k].control) return false;
    return true;
}
static_assert(one_setting_per_control(), "a control holds one setting at most");

}  // namespace

std::span<const Setting> settings_table() { return kSettings; }

const Setting* setting_of(int control) {
    if (control < 0 || control >= ctl::kIdLimit) return nullptr;
    const int row = kIndex.row[control];
    return row < 0 ? nullptr : &kSettings[row];
}

const Setting* find_setting(std::string_view key) {
    for (const Setting& s : kSettings)
        if (s.key == key) return &s;
    return nullptr;
}

}  // namespace tav
