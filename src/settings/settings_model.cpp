#include "settings/settings_model.h"

#include <vector>

#include "common/text_rules.h"
#include "controls/choosers.h"
#include "controls/field_rules.h"
#include "controls/mode_controls.h"
#include "model/control_ids.h"
#include "model/control_table.h"
#include "model/text_limits.h"
#include "settings/pref_file.h"
#include "settings/settings_table.h"

namespace tav {
namespace {

constexpr std::string_view kBuiltinDefaults =
    "a1 = 1\r\na2 = 1\r\na3 = 1\r\na4 = 0\r\na5 = 1\r\na6 = 1\r\ncab = 1\r\nmxref = 0\r\ntre = 0\r\n"
    "fil = 1\r\nbref = 0\r\nbme = 0\r\nba = 1\r\nbwb = 1\r\nmode = 1\r\ndm = 0\r\nm = 4\r\nms = 1\r\n"
    "aud = 0\r\nae = 1\r\napin = 0\r\naub = 64\r\nfa = 0\r\nmb = 2\r\nbias = 0\r\nfb = 0\r\n"
    "value = 26\r\nrange = 16\r\nref = 1\r\narx = 1\r\nary = 1\r\nthr = 1\r\nnr = 0\r\nkfb = 40\r\n"
    "bfr = 30\r\nvbr = 60\r\nminqp = 10\r\nmaxqp = 51\r\nqps = 4\r\nsct = 40\r\nmingop = 25\r\n"
    "maxgop = 250\r\nmuxer = 0";

const std::vector<std::string_view>& all_keys() {
    static const std::vector<std::string_view> keys = [] {
        std::vector<std::string_view> k;
        for (const Setting& s : settings_table()) k.push_back(s.key);
        return k;
    }();
    return keys;
}

bool is_quoted_path(std::string_view v) {
    return v.size() >= 2 && v.front() == '"' && v.back() == '"' &&
           v.substr(1, v.size() - 2).find('"') == std::string_view::npos;
}

// A settings file is data and presets travel between users: a loaded text
// must not carry batch syntax into a job line. Only the quant matrix may
// hold such characters, inside the double quotes of a file path, where the
// encoder line keeps them literal (and doubles '%').
bool safe_to_load(const Setting& s, std::string_view value) {
    if (value.find_first_of("\r\n") != std::string_view::npos) return false;
    // No user typed it, and the window would take minutes to show it.
    if (value.size() > kMaxControlText) return false;
    if (s.quoted_path && is_quoted_path(value)) return true;
    // A lone quote would turn the quoting of the rest of the line inside out.
    return value.find_first_of("&|<>^%\"") == std::string_view::npos;
}

// The values of an opened settings file, with the fallbacks for missing
// keys and unsafe texts.
class LoadedSettings {
public:
    explicit LoadedSettings(std::string_view file) : reader_(file, all_keys()) {}

    // The setting that `control` holds.
    int state(int control) const {
        const Setting& s = *setting_of(control);
        return reader_.read_integer(s.key, integer_from_text(s.fallback));
    }
    std::string text(int control) const {
        const Setting& s = *setting_of(control);
        std::string value = reader_.read_text(s.key, s.fallback);
        return safe_to_load(s, value) ? value : std::string(s.fallback);
    }

private:
    PrefReader reader_;
};

void load_state(Context& ctx, const LoadedSettings& in, int id) {
    int value = in.state(id);
    // A list index outside the list leaves nothing selected.
    const ControlSpec* row = find_control(id);
    if (row && row->kind == ControlKind::ListCombo && (value < 0 || value >= ctx.ui.item_count(id))) value = -1;
    ctx.ui.set_state(id, value);
}

void load_text(Context& ctx, const LoadedSettings& in, int id) { ctx.ui.set_text(id, in.text(id)); }

template <size_t N>
void load_states(Context& ctx, const LoadedSettings& in, const int (&ids)[N]) {
    for (int id : ids) load_state(ctx, in, id);
}

void clamp_fields(Context& ctx, std::initializer_list<int> ids) {
    for (int id : ids) apply_field_clamp(ctx.ui, id);
}

void enable_dependents(Context& ctx, std::initializer_list<int> sources) {
    for (int source : sources) apply_dependent_enabling(ctx.ui, source);
}

// States read straight into their controls, in this order.
constexpr int kFirstStates[] = {
    ctl::Transform8x8, ctl::PSearch8x8, ctl::BSearch8x8, ctl::PSearch4x4, ctl::Intra8x8, ctl::Intra4x4, ctl::Cabac,
    ctl::Trellis, ctl::Deblock, ctl::BReferences, ctl::BidirectionalMe, ctl::AdaptiveB, ctl::WeightedB, ctl::Mode,
    ctl::DirectMode, ctl::PartitionDecision, ctl::MeMethod, ctl::Audio, ctl::AudioEncoder, ctl::ThreadInput,
    ctl::Muxer, ctl::DeblockStrength, ctl::DeblockThreshold, ctl::DctDecimate, ctl::FastPSkip,
};

// Texts read straight into their controls, in this order.
constexpr int kTexts[] = {
    ctl::QuantMatrix, ctl::AudioBitrate, ctl::MaxBFrames, ctl::Bias, ctl::StrengthValue, ctl::ThresholdValue,
    ctl::Value, ctl::MeRange, ctl::MaxRefs, ctl::SarWidth, ctl::SarHeight, ctl::Threads, ctl::NoiseReduction,
    ctl::KeyframeBoost, ctl::BFrameReduction, ctl::QuantCompression, ctl::MinQp, ctl::MaxQp, ctl::MaxQpStep,
    ctl::SceneCut, ctl::MinIdr, ctl::MaxIdr, ctl::FirstPassCrf, ctl::VbvBufferSize, ctl::VbvMaxRate,
    ctl::VbvInitBuffer, ctl::BitrateVariance, ctl::MaxSize, ctl::MinSize,
};

using LoadStep = void (*)(Context&, const LoadedSettings&);

// The order matters: each update reads what the steps before it loaded or
// corrected.
constexpr LoadStep kLoadSteps[] = {
    [](Context& c, const LoadedSettings& in) { load_states(c, in, kFirstStates); },
    // Only a stored 1 enables the audio bitrate; the Audio box is re-checked below.
    [](Context& c, const LoadedSettings& in) { c.ui.set_enabled(ctl::AudioBitrate, in.state(ctl::Audio) == 1); },
    [](Context& c, const LoadedSettings& in) {
        load_state(c, in, ctl::UpdateStats);
        load_state(c, in, ctl::LogEnabled);
        log_file_update(c.ui);
    },
    [](Context& c, const LoadedSettings& in) { load_state(c, in, ctl::SizeMode); },
    [](Context& c, const LoadedSettings& in) {
        for (int id : kTexts) load_text(c, in, id);
    },
    [](Context& c, const LoadedSettings& in) { load_state(c, in, ctl::MixedRefs); },
    [](Context& c, const LoadedSettings& in) { select_include_by_name(c.ui, in.text(ctl::Template)); },
    // The value labels follow their track bars, whatever the file said.
    [](Context& c, const LoadedSettings&) {
        mirror_slider(c.ui, ctl::DeblockStrength);
        mirror_slider(c.ui, ctl::DeblockThreshold);
    },
    // The bias goes through its track bar, which keeps it within -100..100.
    [](Context& c, const LoadedSettings&) {
        bias_field_to_slider(c.ui);
        mirror_slider(c.ui, ctl::BiasSlider);
    },
    [](Context& c, const LoadedSettings&) { mode_dependent_update(c.ui); },
    [](Context& c, const LoadedSettings&) {
        clamp_fields(c, {ctl::KeyframeBoost, ctl::BFrameReduction, ctl::QuantCompression, ctl::MinQp, ctl::MaxQp,
                         ctl::MaxQpStep});
    },
    [](Context& c, const LoadedSettings&) {
        enable_dependents(c, {ctl::Transform8x8, ctl::PSearch8x8});
    },
    [](Context& c, const LoadedSettings&) { bframe_update(c.ui); },
    [](Context& c, const LoadedSettings&) {
        clamp_fields(c, {ctl::MaxRefs});
        enable_dependents(c, {ctl::MaxRefs});
    },
    [](Context& c, const LoadedSettings&) { clamp_fields(c, {ctl::Threads}); },
    [](Context& c, const LoadedSettings&) {
        enable_dependents(c, {ctl::PartitionDecision, ctl::MeMethod});
    },
    [](Context& c, const LoadedSettings&) { clamp_fields(c, {ctl::MeRange}); },
    [](Context& c, const LoadedSettings&) { enable_dependents(c, {ctl::Cabac}); },
    [](Context& c, const LoadedSettings&) { clamp_fields(c, {ctl::SceneCut}); },
    [](Context& c, const LoadedSettings&) { enable_dependents(c, {ctl::Audio}); },
    // "custom..." asks for the matrix file now.
    [](Context& c, const LoadedSettings&) { choose_matrix_file(c); },
    [](Context& c, const LoadedSettings&) { log_file_update(c.ui); },
    [](Context& c, const LoadedSettings&) { update_audio_unit_label(c.ui); },
    [](Context& c, const LoadedSettings&) {
        clamp_fields(c, {ctl::VbvBufferSize, ctl::VbvMaxRate, ctl::VbvInitBuffer, ctl::BitrateVariance});
    },
};

// Moves the settings of a file's bytes into the controls.
void apply_settings(Context& ctx, std::string_view file) {
    const LoadedSettings in(file);
    for (LoadStep step : kLoadSteps) step(ctx, in);
}

}  // namespace

std::string_view builtin_default_text() { return kBuiltinDefaults; }

void save_settings(Context& ctx, const std::string& path) {
    PrefWriter writer;
    for (const Setting& s : settings_table()) {
        if (s.kind == SettingKind::State)
            writer.write_integer(s.key, ctx.ui.state(s.control));
        else
            writer.write_text(s.key, ctx.ui.text(s.control));
    }
    // The old file stays until the new text is written whole.
    const std::string fresh = path + ".new";
    if (ctx.platform.write_file(fresh, writer.text()) && ctx.platform.replace_file(fresh, path)) return;
    ctx.platform.delete_file(fresh);
}

bool load_readable_settings(Context& ctx, const std::string& path) {
    const auto file = ctx.platform.read_file(path);
    if (!file) return false;
    apply_settings(ctx, *file);
    return true;
}

void load_settings(Context& ctx, const std::string& path) {
    if (!load_readable_settings(ctx, path)) apply_builtin_defaults(ctx);
}

void apply_builtin_defaults(Context& ctx) {
    const std::string path = ctx.program_folder + "default.ini";
    const bool existed = ctx.platform.file_exists(path);
    const bool written = ctx.platform.write_file_start(path, kBuiltinDefaults);
    const auto file = written ? ctx.platform.read_file(path) : std::nullopt;
    // Without the file the same text is applied from memory; loading the
    // path again would only come back here.
    apply_settings(ctx, file ? std::string_view(*file) : kBuiltinDefaults);
    // A file this call wrote or made goes again, also when the write failed
    // part way; one it could not write (held by another program) stays.
    if (written || !existed) ctx.platform.delete_file(path);
}

}  // namespace tav
