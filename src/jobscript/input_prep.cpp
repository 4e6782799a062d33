#include "jobscript/input_prep.h"

#include "common/paths.h"
#include "common/text_rules.h"
#include "common/working_folders.h"
#include "controls/chosen_names.h"
#include "model/control_ids.h"
#include "model/control_table.h"
#include "jobscript/session.h"
#include "jobscript/wrappers.h"

namespace tav {
namespace {

// The k-th name for a file: the name itself, then "movie-2.avi", "movie-3.avi", ...
std::string numbered(const std::string& name, int k) {
    if (k == 1) return name;
    std::string out = without_extension(name) + "-" + integer_to_text(k);
    if (has_extension(name)) out += "." + extension(name);
    return out;
}

bool is_avisynth_script(const std::string& path) { return equals_ignoring_ascii_case(extension(path), "avs"); }

// Wrappers outlive the run that wrote them, and a batch file made then (or
// one still running) reads them later: one that names another input is
// not written over.
bool holds_wrapper_of_another_input(Context& ctx, const WrapperFolder& wrappers, const std::string& own_name,
                                    const std::string& input) {
    if (!wrappers.has(wrapper_name(own_name))) return false;
    const auto text = ctx.platform.read_file(wrapper_path(ctx.program_folder, own_name));
    if (!text || wrapper_names_input(*text, input)) return false;
    return !ctx.session.input_names.was_chosen(input_named_by_wrapper(*text));
}

}  // namespace

WrapperFolder::WrapperFolder(Context& ctx) {
    for (const std::string& name : ctx.platform.list_files(wrapper_folder(ctx.program_folder), "*.avs"))
        names_.insert(lower_cased(name));
}

bool WrapperFolder::has(const std::string& wrapper_name) const { return names_.count(lower_cased(wrapper_name)) > 0; }

std::optional<std::string> prepare_input_quietly(Context& ctx, const std::string& output_folder,
                                                 const WrapperFolder& wrappers) {
    ControlSurface& ui = ctx.ui;
    const std::string input = ui.text(ctl::InputFile);
    if (input.empty()) return std::nullopt;

    InputNames& names = ctx.session.input_names;
    const std::string name = file_name(input);
    const bool needs_wrapper = !is_avisynth_script(input);
    // A wrapper another input of an earlier run left is still read by the
    // batch files made then; one of an input looked at in this run without
    // a job may be written over.
    const auto taken_outside = [&](const std::string& candidate) {
        return needs_wrapper && holds_wrapper_of_another_input(ctx, wrappers, candidate, input);
    };
    const InputNames::Look look = names.look(
        ctx, input, [&](int k) { return numbered(name, k); }, taken_outside,
        [&](int k) { return output_folder + stem(numbered(name, k)) + "mp4"; });
    const std::string& own_name = look.own_name;
    const std::string& output = look.output;

    ui.set_text(ctl::StatsFile, ctx.program_folder + std::string(folder::kStatistics) + "\\" + own_name + ".stat");
    ui.set_text(ctl::LogFile, ctx.program_folder + std::string(folder::kLogs) + "\\" + own_name + ".txt");
    ui.set_text(ctl::OutputFile, output);

    names.set_look_field(input);
    if (!needs_wrapper) return std::nullopt;
    const std::string wrapper = wrapper_path(ctx.program_folder, own_name);
    if (!ctx.platform.write_file(wrapper, wrapper_text(input, ui.text(ctl::Template)))) return wrapper;
    names.wrote_wrapper(wrapper, input);
    ui.set_text(ctl::InputFile, wrapper);
    names.set_look_field(wrapper);
    return std::nullopt;
}

void prepare_input(Context& ctx, const std::string& output_folder) {
    if (const auto failed = prepare_input_quietly(ctx, output_folder, WrapperFolder(ctx)))
        ctx.platform.message_box(std::string(kWindowTitle),
                                 "The AviSynth script \"" + *failed +
                                     "\" could not be written, so the input field keeps the chosen file.");
}

void choose_input_file(Context& ctx) {
    // A cancel keeps the field: clearing it would throw away a path the user typed.
    const auto path = ctx.platform.open_file_dialog({"", "", "AVS(*.avs)|*.AVS|Other Media|*.*"});
    if (!path || refuse_name_without_ansi_form(ctx, *path, "The fields keep their texts.")) return;
    ctx.ui.set_text(ctl::InputFile, *path);
    prepare_input(ctx, folder_part(*path));
}

}  // namespace tav
