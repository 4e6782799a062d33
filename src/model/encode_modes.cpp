#include "model/encode_modes.h"

#include <array>

#include "model/control_table.h"

namespace tav {
namespace {

using P = LinePiece;
using V = ValueKind;

constexpr LinePiece kBitratePass[] = {P::Ratio, P::Partition, P::Bitrate, P::QpFull, P::Subpel, P::VbvWithTolerance};
constexpr LinePiece kQuantizerPass[] = {P::Quantizer, P::QpLimits, P::Partition, P::Chroma, P::Subpel};
constexpr LinePiece kCrfPass[] = {P::RateFactor, P::Partition, P::Subpel,   P::Chroma,
                                  P::QpFull,     P::Ratio,     P::VbvWithoutTolerance};
constexpr LinePiece kFirstPass[] = {P::FirstPass, P::Stats, P::Bitrate, P::QpLimits,        P::Partition,
                                    P::Chroma,    P::Ratio, P::Subpel,  P::VbvWithTolerance};
constexpr LinePiece kFastFirstPass[] = {P::FirstPass,     P::Stats,      P::Bitrate, P::QpLimits,
                                        P::Ratio,         P::FastPartition, P::FastSubpel, P::VbvWithTolerance};
constexpr LinePiece kLaterPass[] = {P::LaterPass, P::Stats,     P::Bitrate, P::QpFull,          P::Ratio,
                                    P::Chroma,    P::Partition, P::Subpel,  P::VbvWithTolerance};
constexpr LinePiece kCrfFirstPass[] = {P::Stats, P::FirstPass, P::RateFactor, P::Partition,       P::Chroma,
                                       P::Ratio, P::Subpel,    P::QpFull,     P::VbvWithTolerance};
constexpr LinePiece kFastCrfFirstPass[] = {P::Stats,  P::FirstPass, P::RateFactor, P::FastPartition,
                                           P::FastSubpel, P::QpFull, P::Ratio,     P::VbvWithTolerance};

constexpr PassLine kWritesOutput(std::span<const LinePiece> pieces) { return {true, false, pieces}; }
constexpr PassLine kStatisticsOnly(std::span<const LinePiece> pieces) { return {false, false, pieces}; }

// The passes of each mode: a single-pass mode runs its own line; the
// combined modes run a first pass and an Nth pass through the single-pass
// modes.
constexpr PassStep kOwnPass[mode::Count] = {{0}, {1}, {2}, {3}, {4}, {5}, {6}, {7}, {8}, {9}, {10}, {11}, {12}, {13}};
constexpr PassStep kAutomated[] = {{mode::FirstPass}, {mode::NthPass}};
constexpr PassStep kAutomatedFast[] = {{mode::FirstPassFast}, {mode::NthPass}};
constexpr PassStep kAutomatedCrf[] = {{mode::FirstPassCrf, true}, {mode::NthPass}};
constexpr PassStep kAutomatedCrfFast[] = {{mode::FirstPassCrfFast, true}, {mode::NthPass}};
// The first pass writes the output at the rate factor; the Nth pass
// replaces it only when the size check finds it outside the limits, so
// only the Nth pass carries the audio.
constexpr PassStep kConditional[] = {{mode::FirstPassCrfWithOutput, true, true},
                                     {mode::ConditionalDoublePasses, false, false, true}};

constexpr std::span<const PassStep> own(int index) { return {&kOwnPass[index], 1}; }

// name, value, value_max, rate_limits, statistics, first_pass_crf, size_limits, picks_statistics,
// has_line, line, passes
constexpr std::array<EncodeMode, mode::Count> kModes = {{
    {"Single Pass - Bitrate", V::Bitrate, 8000, true, false, false, false, false,
     true, kWritesOutput(kBitratePass), own(0)},
    {"Single Pass - Quantizer", V::Quantizer, 51, false, false, false, false, false,
     true, kWritesOutput(kQuantizerPass), own(1)},
    {"Single Pass - CRF", V::Quantizer, 51, true, false, false, false, false,
     true, kWritesOutput(kCrfPass), own(2)},
    {"Mutipass - First Pass", V::Bitrate, 8000, true, true, false, false, false,
     true, kStatisticsOnly(kFirstPass), own(3)},
    {"Mutipass - First Pass(fast)", V::Bitrate, 8000, true, true, false, false, true,
     true, kStatisticsOnly(kFastFirstPass), own(4)},
    {"Mutipass - Nth pass", V::Bitrate, 8000, true, true, false, false, false,
     true, kWritesOutput(kLaterPass), own(5)},
    {"Automated Double Passes", V::Bitrate, 8000, true, true, false, false, false,
     false, {}, kAutomated},
    {"Automated Double Passes(fast)", V::Bitrate, 8000, true, true, false, false, false,
     false, {}, kAutomatedFast},
    {"Mutipass - First Pass(CRF)", V::Quantizer, 8000, true, true, false, false, false,
     true, kStatisticsOnly(kCrfFirstPass), own(8)},
    {"Mutipass - First Pass(CRF-fast)", V::Quantizer, 8000, true, true, false, false, false,
     true, kStatisticsOnly(kFastCrfFirstPass), own(9)},
    {"Automated Double Passes(1P-CRF)", V::Bitrate, 8000, true, true, true, false, false,
     false, {}, kAutomatedCrf},
    {"Automated Double Passes(1P-CRF-fast)", V::Bitrate, 8000, true, true, true, false, false,
     false, {}, kAutomatedCrfFast},
    {"Mutipass - First Pass(CRF with output)", V::Quantizer, 8000, true, true, false, false, false,
     true, kWritesOutput(kCrfFirstPass), own(12)},
    {"Conditional Double Passes(1P-CRF)", V::Bitrate, 8000, true, true, true, true, false,
     true, {true, true, kLaterPass}, kConditional},
}};

// No selection: a bitrate value, nothing that needs a mode, no passes.
constexpr EncodeMode kNoMode = {"", V::Bitrate, 8000, true, false, false, false, false, false, {}, {}};

}  // namespace

constexpr std::array<std::string_view, mode::Count> kModeItems = item_texts(kModes, &EncodeMode::name);

const EncodeMode& encode_mode(int index) {
    return index >= 0 && index < mode::Count ? kModes[static_cast<size_t>(index)] : kNoMode;
}

std::span<const EncodeMode> encode_modes() { return kModes; }

}  // namespace tav
