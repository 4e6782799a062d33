#include "controls/mode_controls.h"

#include <initializer_list>

#include "common/text_rules.h"
#include "model/audio_encoders.h"
#include "model/control_ids.h"
#include "model/encode_modes.h"

namespace tav {
namespace {

void enable_all(ControlSurface& ui, std::initializer_list<int> ids, bool enabled) {
    for (int id : ids) ui.set_enabled(id, enabled);
}
void show_all(ControlSurface& ui, std::initializer_list<int> ids, bool visible) {
    for (int id : ids) ui.set_visible(id, visible);
}

}  // namespace

void mode_dependent_update(ControlSurface& ui) {
    const EncodeMode& mode = encode_mode(ui.state(ctl::Mode));
    // Written back unchanged: a text the program writes is no user edit, so
    // a value out of range for the new mode stays until the user edits it.
    const std::string value = ui.text(ctl::Value);
    if (mode.value == ValueKind::Quantizer) {
        ui.set_text(ctl::ValueLabel, "Quantizer");
        ui.set_text(ctl::RangeLabel, "Range 0~51");
        ui.set_text(ctl::Value, value);
        enable_all(ui, {ctl::QuantCompression, ctl::MinQp, ctl::MaxQp, ctl::MaxQpStep, ctl::VbvBufferSize,
                        ctl::VbvMaxRate, ctl::VbvInitBuffer},
                   mode.rate_limits);
        ui.set_enabled(ctl::BitrateVariance, false);
        ui.set_visible(ctl::SizeMode, false);
    } else {
        const bool size = ui.checked(ctl::SizeMode);
        ui.set_text(ctl::ValueLabel, size ? "Size in MB" : "Average Bitrate");
        ui.set_text(ctl::RangeLabel, size ? "" : "Range 0~8000");
        ui.set_text(ctl::Value, value);
        enable_all(ui, {ctl::QuantCompression, ctl::MinQp, ctl::MaxQp, ctl::MaxQpStep, ctl::KeyframeBoost,
                        ctl::BFrameReduction},
                   true);
        ui.set_visible(ctl::SizeMode, true);
        enable_all(ui, {ctl::VbvBufferSize, ctl::VbvMaxRate, ctl::VbvInitBuffer, ctl::BitrateVariance}, true);
    }
    enable_all(ui, {ctl::UpdateStats, ctl::StatsFile, ctl::StatsBrowse}, mode.statistics);
    show_all(ui, {ctl::FirstPassCrf, ctl::CrfLabel}, mode.first_pass_crf);
    ui.set_visible(ctl::Logo, !mode.size_limits);
    show_all(ui, {ctl::MinSize, ctl::MaxSize, ctl::MinSizeLabel, ctl::MaxSizeLabel}, mode.size_limits);
}

void bframe_update(ControlSurface& ui) {
    const int count = integer_from_text(ui.text(ctl::MaxBFrames));
    if (count > 16)
        ui.set_text(ctl::MaxBFrames, "16");
    else if (count < 0)
        ui.set_text(ctl::MaxBFrames, "0");
    const int b = integer_from_text(ui.text(ctl::MaxBFrames));
    const std::initializer_list<int> all = {ctl::BSearch8x8, ctl::DirectMode, ctl::BiasSlider, ctl::Bias,
                                            ctl::BReferences, ctl::BidirectionalMe, ctl::AdaptiveB, ctl::WeightedB};
    if (b == 0) {
        enable_all(ui, all, false);
    } else if (b == 1) {
        enable_all(ui, {ctl::BSearch8x8, ctl::DirectMode, ctl::BiasSlider, ctl::Bias, ctl::BidirectionalMe,
                        ctl::AdaptiveB},
                   true);
        enable_all(ui, {ctl::BReferences, ctl::WeightedB}, false);
    } else {
        enable_all(ui, all, true);
    }
}

void log_file_update(ControlSurface& ui) {
    const bool on = ui.checked(ctl::LogEnabled);
    ui.set_enabled(ctl::LogFile, on);
    ui.set_enabled(ctl::LogBrowse, on);
}

void select_include_by_name(ControlSurface& ui, std::string_view name) {
    if (name.empty()) return;
    const int n = ui.item_count(ctl::Template);
    for (int i = 0; i < n; ++i)
        if (ui.item_text(ctl::Template, i) == name) ui.set_state(ctl::Template, i);
}

void update_audio_unit_label(ControlSurface& ui) {
    const AudioEncoder* encoder = audio_encoder(ui.state(ctl::AudioEncoder));
    ui.set_text(ctl::AudioUnit, encoder && encoder->quality ? "Quality" : "Kbps");
}

}  // namespace tav
