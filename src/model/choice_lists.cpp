#include "model/choice_lists.h"

#include <initializer_list>
#include <string_view>

#include "model/audio_encoders.h"
#include "model/control_ids.h"
#include "model/encode_modes.h"

namespace tav {
namespace {

struct ChoiceList {
    int id;
    std::initializer_list<std::string_view> items;
    int selected;  // -1: filled without a selection
};

void fill(ControlSurface& ui, int id, std::initializer_list<std::string_view> items, int selected) {
    for (std::string_view item : items) ui.append_item(id, item);
    if (selected >= 0) ui.set_state(id, selected);
}

}  // namespace

void fill_choice_lists(ControlSurface& ui) {
    fill(ui, ctl::DirectMode, {"Temporal", "Spatial", "Auto", "None"}, 2);
    for (const EncodeMode& m : encode_modes()) ui.append_item(ctl::Mode, m.name);
    ui.set_state(ctl::Mode, mode::SinglePassQuantizer);
    fill(ui, ctl::PartitionDecision,
         {"1(Fastest)", "2", "3", "4", "5(Highest)", "6(RDO)", "6b(RDO on B-frames)", "7(Best)",
          "7b(RDO on B-frames)"},
         4);
    for (const AudioEncoder& e : audio_encoders()) ui.append_item(ctl::AudioEncoder, e.item);
    ui.set_state(ctl::AudioEncoder, 1);  // "Nero"
    fill(ui, ctl::Muxer, {"MP4Box", "MP4Creator", "MKVMerge", "No mux", "Audio Only"}, 0);
    fill(ui, ctl::MeMethod, {"Diamond Search", "Hexagonal Search", "Uneven Muti-Hexagon", "Exhaustive Search"}, 1);
    fill(ui, ctl::QuantMatrix, {"flat", "jvt", "custom..."}, 0);
    fill(ui, ctl::Trellis, {"0", "1", "2"}, -1);
}

void apply_initial_states(ControlSurface& ui) {
    for (int id : {ctl::UpdateStats, ctl::Transform8x8, ctl::PSearch8x8, ctl::BSearch8x8, ctl::Intra8x8,
                   ctl::Intra4x4, ctl::AdaptiveB, ctl::WeightedB, ctl::ChromaMe, ctl::Cabac, ctl::Deblock})
        ui.set_state(id, 1);
    for (int id : {ctl::UpdateStats, ctl::StatsBrowse, ctl::StatsFile, ctl::MixedRefs, ctl::QuantCompression,
                   ctl::MinQp, ctl::MaxQp, ctl::MaxQpStep, ctl::MeRange, ctl::AudioBitrate})
        ui.set_enabled(id, false);
    ui.set_state(ctl::BiasSlider, 100);
    ui.set_state(ctl::DeblockStrength, 6);
    ui.set_state(ctl::DeblockThreshold, 6);
    for (int id : {ctl::FirstPassCrf, ctl::CrfLabel, ctl::SizeMode}) ui.set_visible(id, false);
}

}  // namespace tav
