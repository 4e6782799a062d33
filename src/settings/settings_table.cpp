#include "settings/settings_table.h"

#include "model/control_ids.h"

namespace tav {
namespace {

using K = SettingKind;

constexpr Setting kSettings[] = {
    {Key::upstat, "upstat", ctl::UpdateStats, K::State, "1"},
    {Key::a1, "a1", ctl::Transform8x8, K::State, "0"},
    {Key::a2, "a2", ctl::PSearch8x8, K::State, "0"},
    {Key::a3, "a3", ctl::BSearch8x8, K::State, "0"},
    {Key::a4, "a4", ctl::PSearch4x4, K::State, "0"},
    {Key::a5, "a5", ctl::Intra8x8, K::State, "0"},
    {Key::a6, "a6", ctl::Intra4x4, K::State, "0"},
    {Key::cab, "cab", ctl::Cabac, K::State, "0"},
    {Key::mxref, "mxref", ctl::MixedRefs, K::State, "0"},
    {Key::tre, "tre", ctl::Trellis, K::State, "0"},
    {Key::fil, "fil", ctl::Deblock, K::State, "0"},
    {Key::bref, "bref", ctl::BReferences, K::State, "0"},
    {Key::bme, "bme", ctl::BidirectionalMe, K::State, "0"},
    {Key::ba, "ba", ctl::AdaptiveB, K::State, "0"},
    {Key::bwb, "bwb", ctl::WeightedB, K::State, "0"},
    {Key::mode, "mode", ctl::Mode, K::State, "0"},
    {Key::dm, "dm", ctl::DirectMode, K::State, "0"},
    {Key::m, "m", ctl::PartitionDecision, K::State, "0"},
    {Key::ms, "ms", ctl::MeMethod, K::State, "0"},
    {Key::aud, "aud", ctl::Audio, K::State, "0"},
    {Key::ae, "ae", ctl::AudioEncoder, K::State, "0"},
    {Key::apin, "apin", ctl::ThreadInput, K::State, "0"},
    {Key::muxer, "muxer", ctl::Muxer, K::State, "0"},
    {Key::deb_a, "deb-a", ctl::DeblockStrength, K::State, "6"},
    {Key::deb_b, "deb-b", ctl::DeblockThreshold, K::State, "6"},
    {Key::fastpsk, "fastpsk", ctl::FastPSkip, K::State, "1"},
    {Key::dctd, "dctd", ctl::DctDecimate, K::State, "1"},
    {Key::crelog, "crelog", ctl::LogEnabled, K::State, "1"},
    {Key::sizemode, "sizemode", ctl::SizeMode, K::State, "0"},
    {Key::cqm, "cqm", ctl::QuantMatrix, K::Text, "flat", true},
    {Key::aub, "aub", ctl::AudioBitrate, K::Text, "64000"},
    {Key::fa, "fa", ctl::StrengthValue, K::Text, "0"},
    {Key::mb, "mb", ctl::MaxBFrames, K::Text, "0"},
    {Key::bias, "bias", ctl::Bias, K::Text, "0"},
    {Key::fb, "fb", ctl::ThresholdValue, K::Text, "0"},
    {Key::value, "value", ctl::Value, K::Text, "0"},
    {Key::range, "range", ctl::MeRange, K::Text, "0"},
    {Key::ref, "ref", ctl::MaxRefs, K::Text, "0"},
    {Key::arx, "arx", ctl::SarWidth, K::Text, "0"},
    {Key::ary, "ary", ctl::SarHeight, K::Text, "0"},
    {Key::thr, "thr", ctl::Threads, K::Text, "0"},
    {Key::nr, "nr", ctl::NoiseReduction, K::Text, "0"},
    {Key::kfb, "kfb", ctl::KeyframeBoost, K::Text, "0"},
    {Key::bfr, "bfr", ctl::BFrameReduction, K::Text, "0"},
    {Key::vbr, "vbr", ctl::QuantCompression, K::Text, "0"},
    {Key::minqp, "minqp", ctl::MinQp, K::Text, "0"},
    {Key::maxqp, "maxqp", ctl::MaxQp, K::Text, "0"},
    {Key::qps, "qps", ctl::MaxQpStep, K::Text, "0"},
    {Key::vbs, "vbs", ctl::VbvBufferSize, K::Text, "0"},
    {Key::vmb, "vmb", ctl::VbvMaxRate, K::Text, "0"},
    {Key::vib, "vib", ctl::VbvInitBuffer, K::Text, "0.9"},
    {Key::bv, "bv", ctl::BitrateVariance, K::Text, "100"},
    {Key::sct, "sct", ctl::SceneCut, K::Text, "0"},
    {Key::mingop, "mingop", ctl::MinIdr, K::Text, "0"},
    {Key::maxgop, "maxgop", ctl::MaxIdr, K::Text, "0"},
    {Key::auto1pcrf, "auto1pcrf", ctl::FirstPassCrf, K::Text, "16"},
    {Key::avsinc, "avsinc", ctl::Template, K::Text, ""},
    {Key::maxsize, "maxsize", ctl::MaxSize, K::Text, "110"},
    {Key::minsize, "minsize", ctl::MinSize, K::Text, "90"},
};

// Row i is the setting Key(i).
constexpr bool rows_follow_the_keys() {
    int i = 0;
    for (const Setting& s : kSettings)
        if (s.id != static_cast<Key>(i++)) return false;
    return i == kSettingCount;
}
static_assert(rows_follow_the_keys(), "one row per key, in the order of the keys");

}  // namespace

std::span<const Setting> settings_table() { return kSettings; }

const Setting& setting(Key key) { return kSettings[static_cast<size_t>(key)]; }

const Setting* find_setting(std::string_view key) {
    for (const Setting& s : kSettings)
        if (s.key == key) return &s;
    return nullptr;
}

}  // namespace tav
