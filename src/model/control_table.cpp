#include "model/control_table.h"

#include <algorithm>
#include <array>

#include "model/audio_encoders.h"
#include "model/control_ids.h"
#include "model/encode_modes.h"
#include "model/muxers.h"

namespace tav {
namespace {

using K = ControlKind;
using P = Page;

// The fixed items of the lists that no table of their own fills.
constexpr std::string_view kDirectModes[] = {"Temporal", "Spatial", "Auto", "None"};
constexpr std::string_view kPartitionDecisions[] = {
    "1(Fastest)", "2", "3", "4", "5(Highest)", "6(RDO)", "6b(RDO on B-frames)", "7(Best)", "7b(RDO on B-frames)"};
constexpr std::string_view kMeMethods[] = {"Diamond Search", "Hexagonal Search", "Uneven Muti-Hexagon",
                                           "Exhaustive Search"};
constexpr std::string_view kQuantMatrices[] = {"flat", "jvt", "custom..."};
constexpr std::string_view kTrellisLevels[] = {"0", "1", "2"};

// One row per control: where it sits (96-DPI pixels), its caption or
// initial text, what it takes and how it starts.

constexpr ControlSpec kControls[] = {
    // Window, outside the panel.
    {ctl::LoadDefault, K::Button, P::Window, 5, 330, 85, 25, "Load Default"},
    {ctl::Add, K::Button, P::Window, 230, 330, 65, 25, "Add"},
    {ctl::Cancel, K::Button, P::Window, 160, 330, 65, 25, "Cancel"},
    {ctl::TabPanel, K::TabPanel, P::Window, 0, 0, 310, 325, ""},

    // Tab "Bitrate".
    {ctl::Logo, K::Image, P::Bitrate, 58, 24, 200, 59, ""},
    {ctl::MinSize, K::Edit, P::Bitrate, 133, 24, 60, 20, "90"},
    {ctl::MaxSize, K::Edit, P::Bitrate, 133, 54, 60, 20, "110"},
    {ctl::MinSizeLabel, K::Label, P::Bitrate, 63, 24, 70, 20, "Min size(MB):"},
    {ctl::MaxSizeLabel, K::Label, P::Bitrate, 63, 54, 70, 20, "Max size(MB):"},
    {ctl::Mode, K::ListCombo, P::Bitrate, 58, 104, 200, 140, "",
     {.items = kModeItems, .selected = mode::SinglePassQuantizer}},
    {ctl::Refresh, K::Button, P::Bitrate, 5, 155, 55, 21, "Refresh", {.default_gui_font = true}},
    {ctl::ValueLabel, K::Label, P::Bitrate, 58, 134, 80, 16, "Quantizer"},
    {ctl::SizeMode, K::CheckBox, P::Bitrate, 10, 130, 40, 21, "Size", {.hidden = true}},
    {ctl::RangeLabel, K::Label, P::Bitrate, 58, 85, 205, 17, "Range 0~51"},
    {ctl::Value, K::Edit, P::Bitrate, 148, 134, 50, 20, "26"},
    {ctl::FirstPassCrf, K::Edit, P::Bitrate, 208, 134, 50, 20, "16", {.default_gui_font = true, .hidden = true}},
    {ctl::CrfLabel, K::Label, P::Bitrate, 260, 134, 50, 20, "<-CRF", {.default_gui_font = true, .hidden = true}},
    {ctl::PresetName, K::EditCombo, P::Bitrate, 159, 155, 99, 200, "", {.default_gui_font = true}},
    {ctl::Template, K::ListCombo, P::Bitrate, 60, 155, 99, 200, "", {.default_gui_font = true}},
    {ctl::SavePreset, K::Button, P::Bitrate, 260, 155, 20, 20, "S"},
    {ctl::LoadPreset, K::Button, P::Bitrate, 280, 155, 20, 20, "L"},
    {ctl::UpdateStats, K::CheckBox, P::Bitrate, 23, 235, 120, 15, "Update Statsfile",
     {.checked = true, .disabled = true}},
    {ctl::FilesInput, K::Button, P::Bitrate, 150, 230, 120, 25, "Files input"},
    {ctl::StatsLabel, K::Label, P::Bitrate, 18, 259, 90, 20, "Statsfile name"},
    {ctl::LogEnabled, K::CheckBox, P::Bitrate, 18, 279, 120, 20, "Logfile(empty=none)"},
    {ctl::StatsFile, K::Edit, P::Bitrate, 108, 259, 145, 20, "", {.disabled = true}},
    {ctl::LogFile, K::Edit, P::Bitrate, 138, 279, 115, 20, ""},
    {ctl::StatsBrowse, K::Button, P::Bitrate, 258, 259, 25, 20, "...", {.disabled = true}},
    {ctl::LogBrowse, K::Button, P::Bitrate, 258, 279, 25, 20, "..."},
    {ctl::InputLabel, K::Label, P::Bitrate, 8, 179, 70, 15, "Input file:"},
    {ctl::OutputLabel, K::Label, P::Bitrate, 8, 204, 80, 15, "Output file:"},
    {ctl::InputFile, K::Edit, P::Bitrate, 83, 179, 175, 20, ""},
    {ctl::OutputFile, K::Edit, P::Bitrate, 93, 204, 165, 20, ""},
    {ctl::InputBrowse, K::Button, P::Bitrate, 263, 179, 25, 20, "..."},
    {ctl::OutputBrowse, K::Button, P::Bitrate, 263, 204, 25, 20, "..."},

    // Tab "Rate Control".
    {ctl::RateLimitsFrame, K::Frame, P::RateControl, 8, 9, 290, 80, "Bitrate && Quantization Limits"},
    {ctl::VbvFrame, K::Frame, P::RateControl, 8, 99, 290, 100, "VBV Settings"},
    {ctl::SceneCutFrame, K::Frame, P::RateControl, 8, 204, 290, 80, "Scene Cuts"},
    {ctl::KeyframeBoostLabel, K::Label, P::RateControl, 20, 24, 110, 15, "KeyFrame boost(%)"},
    {ctl::BFrameReductionLabel, K::Label, P::RateControl, 20, 44, 110, 15, "B-frames reduction(%)"},
    {ctl::QuantCompressionLabel, K::Label, P::RateControl, 20, 64, 110, 15, "Quantizer Comp(%)"},
    {ctl::KeyframeBoost, K::Edit, P::RateControl, 135, 22, 30, 20, "40",
     {.digits_only = true, .clamp = IntRange{0, 900}}},
    {ctl::BFrameReduction, K::Edit, P::RateControl, 135, 42, 30, 20, "30",
     {.digits_only = true, .clamp = IntRange{0, 900}}},
    {ctl::QuantCompression, K::Edit, P::RateControl, 135, 62, 30, 20, "60",
     {.digits_only = true, .clamp = IntRange{0, 100}, .disabled = true}},
    {ctl::MinQpLabel, K::Label, P::RateControl, 170, 24, 65, 15, "Min QP"},
    {ctl::MaxQpLabel, K::Label, P::RateControl, 170, 44, 65, 15, "Max QP"},
    {ctl::MaxQpStepLabel, K::Label, P::RateControl, 170, 64, 65, 15, "Max QP Step"},
    {ctl::MinQp, K::Edit, P::RateControl, 236, 22, 35, 20, "10",
     {.digits_only = true, .clamp = IntRange{1, 51}, .disabled = true}},
    {ctl::MaxQp, K::Edit, P::RateControl, 236, 42, 35, 20, "51",
     {.digits_only = true, .clamp = IntRange{1, 51}, .disabled = true}},
    {ctl::MaxQpStep, K::Edit, P::RateControl, 236, 62, 35, 20, "4",
     {.digits_only = true, .clamp = IntRange{1, 50}, .disabled = true}},
    {ctl::VbvBufferSizeLabel, K::Label, P::RateControl, 53, 115, 135, 20, "VBV Buffer Size"},
    {ctl::VbvMaxRateLabel, K::Label, P::RateControl, 53, 135, 135, 20, "VBV Maximum Bitrate"},
    {ctl::VbvInitBufferLabel, K::Label, P::RateControl, 53, 155, 135, 20, "VBV Initial Buffer"},
    {ctl::BitrateVarianceLabel, K::Label, P::RateControl, 53, 175, 135, 20, "Bitrate Variance(%)"},
    {ctl::VbvBufferSize, K::Edit, P::RateControl, 198, 115, 45, 20, "0",
     {.digits_only = true, .clamp = IntRange{0, 240000}}},
    {ctl::VbvMaxRate, K::Edit, P::RateControl, 198, 135, 45, 20, "0",
     {.digits_only = true, .clamp = IntRange{0, 8000}}},
    {ctl::VbvInitBuffer, K::Edit, P::RateControl, 198, 155, 45, 20, "0.9", {.fraction_clamp = true}},
    {ctl::BitrateVariance, K::Edit, P::RateControl, 198, 175, 45, 20, "100",
     {.digits_only = true, .clamp = IntRange{10, 1000}}},
    {ctl::VbvBufferAutoLabel, K::Label, P::RateControl, 245, 115, 50, 20, "(0=Auto)"},
    {ctl::VbvMaxRateAutoLabel, K::Label, P::RateControl, 245, 135, 50, 20, "(0=Auto)"},
    {ctl::SceneCutLabel, K::Label, P::RateControl, 53, 224, 135, 15, "Sence Cut Threshold"},
    {ctl::MinIdrLabel, K::Label, P::RateControl, 53, 244, 135, 15, "Min IDR-frame interval"},
    {ctl::MaxIdrLabel, K::Label, P::RateControl, 53, 264, 135, 15, "Max IDR-frame interval"},
    {ctl::SceneCut, K::Edit, P::RateControl, 198, 219, 35, 20, "40", {.digits_only = true, .clamp = IntRange{0, 100}}},
    {ctl::MinIdr, K::Edit, P::RateControl, 198, 239, 35, 20, "25", {.digits_only = true}},
    {ctl::MaxIdr, K::Edit, P::RateControl, 198, 259, 35, 20, "250", {.digits_only = true}},

    // Tab "MBs&&Frames".
    {ctl::PartitionsFrame, K::Frame, P::MBsFrames, 8, 4, 285, 145, "Partitions"},
    {ctl::BFramesFrame, K::Frame, P::MBsFrames, 8, 154, 285, 140, "B Frames"},
    {ctl::Transform8x8, K::CheckBox, P::MBsFrames, 28, 24, 255, 15, "8x8 Transform", {.checked = true}},
    {ctl::PSearch8x8, K::CheckBox, P::MBsFrames, 28, 44, 255, 15, "8x8,8x16 and 16x8 P-frame search",
     {.checked = true}},
    {ctl::BSearch8x8, K::CheckBox, P::MBsFrames, 28, 64, 255, 15, "8x8,8x16 and 16x8 B-Frame search",
     {.checked = true}},
    {ctl::PSearch4x4, K::CheckBox, P::MBsFrames, 28, 84, 255, 15, "4x4,4x8 and 8x4 P-frame search"},
    {ctl::Intra8x8, K::CheckBox, P::MBsFrames, 28, 104, 255, 15, "8x8 Intra search", {.checked = true}},
    {ctl::Intra4x4, K::CheckBox, P::MBsFrames, 28, 124, 255, 15, "4x4 Intra search", {.checked = true}},
    {ctl::MaxBFramesLabel, K::Label, P::MBsFrames, 28, 174, 110, 15, "Max consecutive"},
    {ctl::BiasLabel, K::Label, P::MBsFrames, 28, 194, 35, 15, "Bias"},
    {ctl::BiasSlider, K::TrackBar, P::MBsFrames, 73, 194, 120, 15, "", {.range_max = 200, .position = 100}},
    {ctl::MaxBFrames, K::Edit, P::MBsFrames, 208, 169, 55, 20, "2", {.digits_only = true}},
    {ctl::Bias, K::Edit, P::MBsFrames, 208, 194, 55, 20, "0", {.max_chars = 3}},
    {ctl::BReferences, K::CheckBox, P::MBsFrames, 28, 219, 125, 15, "Use as references"},
    {ctl::BidirectionalMe, K::CheckBox, P::MBsFrames, 168, 219, 120, 15, "Bidirectional ME"},
    {ctl::AdaptiveB, K::CheckBox, P::MBsFrames, 28, 239, 75, 15, "Adaptive", {.checked = true}},
    {ctl::WeightedB, K::CheckBox, P::MBsFrames, 113, 239, 155, 15, "Weighted biprediction", {.checked = true}},
    {ctl::DirectModeLabel, K::Label, P::MBsFrames, 28, 264, 80, 15, "Direct Mode"},
    {ctl::DirectMode, K::ListCombo, P::MBsFrames, 123, 264, 150, 130, "", {.items = kDirectModes, .selected = 2}},

    // Tab "More".
    {ctl::MotionFrame, K::Frame, P::More, 8, 9, 290, 130, "Motion Estimation"},
    {ctl::PartitionDecision, K::ListCombo, P::More, 133, 24, 145, 110, "",
     {.items = kPartitionDecisions, .selected = 4}},
    {ctl::MeMethod, K::ListCombo, P::More, 118, 49, 160, 115, "", {.items = kMeMethods, .selected = 1}},
    {ctl::PartitionDecisionLabel, K::Label, P::More, 13, 24, 115, 20, "Partition decision"},
    {ctl::MeMethodLabel, K::Label, P::More, 13, 49, 100, 20, "Method"},
    {ctl::MeRangeLabel, K::Label, P::More, 13, 79, 50, 20, "Range"},
    {ctl::MaxRefsLabel, K::Label, P::More, 13, 109, 100, 20, "Max Ref. frames"},
    {ctl::MeRange, K::Edit, P::More, 73, 79, 35, 20, "16",
     {.digits_only = true, .clamp = IntRange{0, 64}, .disabled = true}},
    {ctl::MaxRefs, K::Edit, P::More, 118, 109, 45, 20, "1", {.digits_only = true, .clamp = IntRange{0, 16}}},
    {ctl::ChromaMe, K::CheckBox, P::More, 210, 79, 70, 15, "Chroma ME", {.checked = true}},
    {ctl::MixedRefs, K::CheckBox, P::More, 210, 99, 70, 15, "Mixed Refs", {.disabled = true}},
    {ctl::FastPSkip, K::CheckBox, P::More, 210, 119, 70, 15, "Fast P Skip"},
    {ctl::DctDecimate, K::CheckBox, P::More, 118, 79, 90, 15, "DCT Decimate"},
    {ctl::MiscFrame, K::Frame, P::More, 8, 144, 290, 150, "Misc. options"},
    {ctl::Unassigned, K::Frame, P::More, 132, 155, 160, 70, "Audio", {.default_gui_font = true}},
    {ctl::Audio, K::CheckBox, P::More, 142, 175, 60, 15, "Audio"},
    {ctl::AudioBitrate, K::Edit, P::More, 202, 173, 40, 20, "64", {.disabled = true}},
    {ctl::AudioUnit, K::Label, P::More, 245, 175, 40, 15, "Kbps"},
    {ctl::AudioEncoder, K::ListCombo, P::More, 142, 195, 70, 140, "", {.items = kAudioEncoderItems, .selected = 1}},
    {ctl::Muxer, K::ListCombo, P::More, 222, 195, 65, 140, "", {.items = kMuxerItems, .selected = muxer::Mp4Box}},
    {ctl::SarLabel, K::Label, P::More, 13, 174, 55, 15, "Sample AR"},
    {ctl::SarWidth, K::Edit, P::More, 68, 174, 15, 18, "1", {.digits_only = true}},
    {ctl::SarHeight, K::Edit, P::More, 98, 174, 15, 18, "1", {.digits_only = true}},
    {ctl::SarColon, K::Label, P::More, 83, 174, 15, 15, " :"},
    {ctl::ThreadsLabel, K::Label, P::More, 13, 199, 55, 15, "Threads"},
    {ctl::ThreadInput, K::CheckBox, P::More, 18, 217, 110, 15, "Alone Thread Input"},
    {ctl::Threads, K::Edit, P::More, 68, 199, 15, 18, "1", {.clamp = IntRange{0, 4}}},
    {ctl::Cabac, K::CheckBox, P::More, 18, 234, 65, 15, "CABAC", {.checked = true}},
    {ctl::TrellisLabel, K::Label, P::More, 83, 234, 40, 15, "Trellis"},
    {ctl::Trellis, K::ListCombo, P::More, 124, 232, 30, 100, "", {.items = kTrellisLevels}},
    {ctl::NoiseReductionLabel, K::Label, P::More, 163, 234, 95, 15, "Noise Reduction"},
    {ctl::NoiseReduction, K::Edit, P::More, 258, 234, 35, 18, "0"},
    {ctl::Deblock, K::CheckBox, P::More, 18, 252, 100, 15, "Deblocking filter:", {.checked = true}},
    {ctl::QuantMatrixLabel, K::Label, P::More, 18, 275, 50, 15, "Quant:"},
    {ctl::QuantMatrix, K::EditCombo, P::More, 68, 270, 70, 50, "", {.items = kQuantMatrices, .selected = 0}},
    {ctl::StrengthLabel, K::Label, P::More, 153, 254, 50, 15, "Strength"},
    {ctl::ThresholdLabel, K::Label, P::More, 153, 270, 55, 15, "Threshold"},
    {ctl::DeblockStrength, K::TrackBar, P::More, 213, 254, 55, 15, "", {.range_max = 12, .position = 6}},
    {ctl::DeblockThreshold, K::TrackBar, P::More, 213, 269, 55, 15, "", {.range_max = 12, .position = 6}},
    {ctl::StrengthValue, K::Label, P::More, 268, 254, 20, 15, "0"},
    {ctl::ThresholdValue, K::Label, P::More, 268, 269, 20, 15, "0"},

    // Tab "Job".
    {ctl::JobList, K::List, P::Job, 3, 4, 260, 265, ""},
    {ctl::MakeBat, K::Button, P::Job, 230, 274, 65, 20, "Make BAT"},
    {ctl::Clear, K::Button, P::Job, 155, 274, 65, 20, "Clear"},
    {ctl::Disable, K::Button, P::Job, 80, 274, 65, 20, "Disable"},
    {ctl::Start, K::Button, P::Job, 5, 274, 65, 20, "Start"},
    {ctl::View, K::Button, P::Job, 264, 10, 40, 30, "view"},
    {ctl::Up, K::Button, P::Job, 264, 50, 40, 30, "up"},
    {ctl::Down, K::Button, P::Job, 264, 90, 40, 30, "down"},
    {ctl::Edit, K::Button, P::Job, 264, 130, 40, 30, "edit"},
    {ctl::Del, K::Button, P::Job, 264, 170, 40, 30, "del"},
    {ctl::Shut, K::Button, P::Job, 264, 210, 40, 30, "Shut"},
};

// Lookup by identifier; identifiers are small, so a direct index is enough.

struct IdIndex {
    std::array<short, ctl::kIdLimit> row{};
    constexpr IdIndex() {
        for (auto& r : row) r = -1;
        for (short i = 0; i < static_cast<short>(std::size(kControls)); ++i)
            if (kControls[i].id >= 0) row[kControls[i].id] = i;
    }
};
constexpr IdIndex kIndex{};

}  // namespace

std::span<const ControlSpec> control_table() { return kControls; }

const ControlSpec* find_control(int id) {
    if (id < 0 || id >= ctl::kIdLimit) return nullptr;
    const int row = kIndex.row[id];
    return row < 0 ? nullptr : &kControls[row];
}

}  // namespace tav
