// Range clamps of numeric fields and the check boxes and fields that are
// enabled by another control.
#pragma once

#include <optional>

#include "model/control_surface.h"

namespace tav {

// Integer clamp: above `upper` the text becomes the upper text, else below
// `lower` the lower text; otherwise the text stays untouched.
void clamp_integer_field(ControlSurface& ui, int id, int lower, int upper);
// The VBV initial buffer rule: a decimal fraction kept within 0..1.
void clamp_fraction_field(ControlSurface& ui, int id);

struct FieldRange {
    int id;
    int lower;
    int upper;
};
// The range of a field under the current settings; nullopt for a field
// without a range (the value field's range depends on the mode).
std::optional<FieldRange> field_range(const ControlSurface& ui, int id);
// Applies the field's clamp, if it has one. Returns true when it had one.
bool apply_field_clamp(ControlSurface& ui, int id);

// Enables the target of a dependent-enabling source after its event.
// Returns true when `source` is such a source.
bool apply_dependent_enabling(ControlSurface& ui, int source);

// Slider mirrors: the bias field from its slider, the deblocking value
// labels from the strength and threshold sliders, and the bias slider
// from the bias field.
void mirror_slider(ControlSurface& ui, int slider);
void bias_field_to_slider(ControlSurface& ui);

}  // namespace tav
