// The fourteen encode modes, one row each: the item text of the mode list
// (ctl::Mode), how the value field reads, which controls apply, the passes a job
// runs and the pieces of each pass's encoder line. Every place that acts
// on the mode reads this table; the mode's number is its row.
#pragma once

#include <array>
#include <span>
#include <string_view>

namespace tav {

// Indices of the mode list; the settings key `mode` stores them.
namespace mode {
inline constexpr int SinglePassBitrate = 0, SinglePassQuantizer = 1, SinglePassCrf = 2, FirstPass = 3,
                     FirstPassFast = 4, NthPass = 5, AutomatedDoublePasses = 6, AutomatedDoublePassesFast = 7,
                     FirstPassCrf = 8, FirstPassCrfFast = 9, AutomatedDoublePassesCrf = 10,
                     AutomatedDoublePassesCrfFast = 11, FirstPassCrfWithOutput = 12,
                     ConditionalDoublePasses = 13;
inline constexpr int Count = 14;
}  // namespace mode

// What the value field (ctl::Value) holds in a mode.
enum class ValueKind {
    Bitrate,    // "Average Bitrate", or a size in MB while "Size" is checked
    Quantizer,  // a quantizer or rate factor: "Quantizer", "Range 0~51", no "Size" box
};

// The pieces of an encoder line after its common options, in the order a
// mode lists them; the encoder turns each into its option text.
enum class LinePiece {
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

// The encoder line of a single-pass mode.
struct PassLine {
    bool writes_output = true;  // a first pass without output writes to the null device
    bool conditional = false;   // runs only when the size check before it failed
    std::span<const LinePiece> pieces;
};

// One encoder pass of a job, run as the single-pass mode `mode`.
struct PassStep {
    int mode;
    bool crf_value = false;         // ctl::FirstPassCrf stands in for the value field
    bool without_audio = false;     // "Audio" counts as unchecked for this pass
    bool after_size_check = false;  // the size check's line comes first
};

struct EncodeMode {
    std::string_view name;      // the mode list's item text
    ValueKind value;            // the value and range labels, the "Size" box
    int value_max;              // the value field's clamp on the user's edits: 0 to this
    bool rate_limits;           // quantizer compression, the QP limits and the VBV fields apply
    bool statistics;            // "Update Statsfile" and the statistics file name apply
    bool first_pass_crf;        // the first-pass CRF field and its label "<-CRF" show
    bool size_limits;           // the size limit fields and labels replace the logo
    bool picks_statistics;      // the statistics chooser opens an existing file
    bool has_line;              // a single-pass mode: `line` is its encoder line
    PassLine line;
    std::span<const PassStep> passes;  // what a job of this mode runs
};

// The row of a mode index; any index outside the list, -1 (no selection)
// included, gives the row of no mode: a bitrate value, no passes.
const EncodeMode& encode_mode(int index);

// Every mode in list order.
std::span<const EncodeMode> encode_modes();

// The mode list's items: each mode's name, in list order.
extern const std::array<std::string_view, mode::Count> kModeItems;

}  // namespace tav
