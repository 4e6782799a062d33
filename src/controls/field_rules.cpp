#include "controls/field_rules.h"

#include <algorithm>
#include <cstdint>

#include "common/text_rules.h"
#include "model/control_ids.h"
#include "model/control_table.h"
#include "model/encode_modes.h"

namespace tav {
namespace {

struct Dependency {
    int source;
    bool (*test)(const ControlSurface&);
    int target;
};

constexpr Dependency kDependencies[] = {
    {ctl::Transform8x8, [](const ControlSurface& ui) { return ui.checked(ctl::Transform8x8); }, ctl::Intra8x8},
    {ctl::PSearch8x8, [](const ControlSurface& ui) { return ui.checked(ctl::PSearch8x8); }, ctl::PSearch4x4},
    {ctl::PartitionDecision, [](const ControlSurface& ui) { return ui.state(ctl::PartitionDecision) > 3; },
     ctl::ChromaMe},
    {ctl::MeMethod, [](const ControlSurface& ui) { return ui.state(ctl::MeMethod) > 1; }, ctl::MeRange},
    {ctl::MaxRefs, [](const ControlSurface& ui) { return integer_from_text(ui.text(ctl::MaxRefs)) > 1; },
     ctl::MixedRefs},
    {ctl::Cabac, [](const ControlSurface& ui) { return ui.checked(ctl::Cabac); }, ctl::TrellisLabel},
    {ctl::Audio, [](const ControlSurface& ui) { return ui.checked(ctl::Audio); }, ctl::AudioBitrate},
};

}  // namespace

void clamp_integer_field(ControlSurface& ui, int id, int lower, int upper) {
    const int value = integer_from_text(ui.text(id));
    if (value > upper)
        ui.set_text(id, integer_to_text(upper));
    else if (value < lower)
        ui.set_text(id, integer_to_text(lower));
}

void clamp_fraction_field(ControlSurface& ui, int id) {
    const double value = real_from_text(ui.text(id));
    if (value > 1.0)
        ui.set_text(id, "1");
    else if (value < 0.0)
        ui.set_text(id, "0");
}

std::optional<FieldRange> field_range(const ControlSurface& ui, int id) {
    // The value field's range follows the mode.
    if (id == ctl::Value) return FieldRange{id, 0, encode_mode(ui.state(ctl::Mode)).value_max};
    const ControlSpec* row = find_control(id);
    if (!row || !row->traits.clamp) return std::nullopt;
    return FieldRange{id, row->traits.clamp->lower, row->traits.clamp->upper};
}

bool apply_field_clamp(ControlSurface& ui, int id) {
    const ControlSpec* row = find_control(id);
    if (row && row->traits.fraction_clamp) {
        clamp_fraction_field(ui, id);
        return true;
    }
    const auto range = field_range(ui, id);
    if (!range) return false;
    clamp_integer_field(ui, id, range->lower, range->upper);
    return true;
}

bool apply_dependent_enabling(ControlSurface& ui, int source) {
    bool found = false;
    for (const Dependency& d : kDependencies) {
        if (d.source != source) continue;
        ui.set_enabled(d.target, d.test(ui));
        found = true;
    }
    return found;
}

void mirror_slider(ControlSurface& ui, int slider) {
    switch (slider) {
        case ctl::BiasSlider:
            ui.set_text(ctl::Bias, integer_to_text(ui.state(ctl::BiasSlider) - 100));
            break;
        case ctl::DeblockStrength:
            ui.set_text(ctl::StrengthValue, integer_to_text(ui.state(ctl::DeblockStrength) - 6));
            break;
        case ctl::DeblockThreshold:
            ui.set_text(ctl::ThresholdValue, integer_to_text(ui.state(ctl::DeblockThreshold) - 6));
            break;
        default:
            break;
    }
}

void bias_field_to_slider(ControlSurface& ui) {
    const std::int64_t position = static_cast<std::int64_t>(integer_from_text(ui.text(ctl::Bias))) + 100;
    // The track bar keeps the position inside its range.
    ui.set_state(ctl::BiasSlider, static_cast<int>(std::clamp<std::int64_t>(position, INT32_MIN, INT32_MAX)));
}

}  // namespace tav
