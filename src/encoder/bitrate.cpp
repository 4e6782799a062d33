#include "encoder/bitrate.h"

#include <cmath>
#include <limits>

#include "common/text_rules.h"
#include "encoder/dialect.h"
#include "model/control_ids.h"

namespace tav {
namespace {

using Int64Limits = std::numeric_limits<std::int64_t>;

constexpr double kBitsPerMegabyte = 1024.0 * 1024.0 * 8.0;
constexpr std::int64_t kBitsPerAudioKbit = 1024;
// The encoder's kbit/s as this program has always counted it.
constexpr std::int64_t kBitsPerVideoKbit = 1003;

// Nearest whole number, halves to even, kept inside 64 bits (an absurd
// typed size must not overflow).
std::int64_t round_to_int64(double value) {
    if (std::isnan(value)) return 0;
    constexpr double kLimit = 9.2233720368547758e18;  // 2^63
    if (value >= kLimit) return Int64Limits::max();
    if (value < -kLimit) return Int64Limits::min();
    return static_cast<std::int64_t>(std::nearbyint(value));
}

std::int64_t saturating_multiply(std::int64_t a, std::int64_t b) {
    if (a == 0 || b == 0) return 0;
    const bool negative = (a < 0) != (b < 0);
    const auto magnitude = [](std::int64_t v) {
        return v < 0 ? std::uint64_t{0} - static_cast<std::uint64_t>(v) : static_cast<std::uint64_t>(v);
    };
    const std::uint64_t ma = magnitude(a), mb = magnitude(b);
    const std::uint64_t limit = static_cast<std::uint64_t>(Int64Limits::max()) + (negative ? 1 : 0);
    if (ma > limit / mb) return negative ? Int64Limits::min() : Int64Limits::max();
    const std::uint64_t product = ma * mb;
    return negative ? static_cast<std::int64_t>(std::uint64_t{0} - product) : static_cast<std::int64_t>(product);
}

std::int64_t saturating_subtract(std::int64_t a, std::int64_t b) {
    if (b > 0 && a < Int64Limits::min() + b) return Int64Limits::min();
    if (b < 0 && a > Int64Limits::max() + b) return Int64Limits::max();
    return a - b;
}

}  // namespace

std::optional<std::int64_t> target_size_bitrate(const MediaLength& media, double target_megabytes,
                                                bool audio, std::int32_t audio_kbps) {
    if (media.whole_rate <= 0) return std::nullopt;
    const std::int64_t seconds =
        round_to_int64(static_cast<double>(media.frames) / static_cast<double>(media.whole_rate));
    if (seconds <= 0) return std::nullopt;

    // The size is held in single precision before it is scaled.
    const float megabytes = static_cast<float>(target_megabytes);
    const std::int64_t target_bits = round_to_int64(static_cast<double>(megabytes) * kBitsPerMegabyte);
    const std::int64_t audio_bits =
        audio ? saturating_multiply(saturating_multiply(seconds, audio_kbps), kBitsPerAudioKbit) : 0;

    return saturating_subtract(target_bits, audio_bits) / seconds / kBitsPerVideoKbit;
}

std::string bitrate_options(const SettingsView& s, Platform& platform) {
    if (!s.checked(ctl::SizeMode)) return opt(s, Opt::Bitrate) + s.text(ctl::Value);

    const std::optional<MediaLength> media = platform.media_length(s.text(ctl::InputFile));
    if (!media) return {};
    const std::optional<std::int64_t> bitrate = target_size_bitrate(
        *media, real_from_text(s.text(ctl::Value)), s.checked(ctl::Audio), integer_from_text(s.text(ctl::AudioBitrate)));
    // No usable duration: like an input that cannot be opened, no rate option.
    if (!bitrate) return {};
    return opt(s, Opt::Bitrate) + integer_to_text(*bitrate);
}

}  // namespace tav
