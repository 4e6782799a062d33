#include "jobscript/input_prep.h"

#include "common/paths.h"
#include "common/text_rules.h"
#include "common/working_folders.h"
#include "controls/chosen_names.h"
#include "model/control_ids.h"
#include "model/control_table.h"
#include "jobscript/session.h"

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

std::string wrapper_first_line(const std::string& input) { return "fs=\"" + input + "\"\r\n"; }

// The input a wrapper's first line names, or the empty text.
std::string wrapper_input(std::string_view text) {
    constexpr std::string_view kStart = "fs=\"";
    const size_t end = text.find("\"\r\n");
    if (!text.starts_with(kStart) || end == std::string_view::npos) return {};
    return std::string(text.substr(kStart.size(), end - kStart.size()));
}

std::string wrapper_text(const std::string& input, const std::string& template_name) {
    return wrapper_first_line(input) +
           "mfn=\"" + without_extension(input) + "\"\r\n" +
           "import(\"..\\" + std::string(folder::kTemplates) + "\\" + template_name + ".avs\")\r\n";
}

std::string wrapper_folder(const std::string& program_folder) {
    return program_folder + std::string(folder::kWrappers) + "\\";
}
std::string wrapper_name(const std::string& own_name) { return own_name + ".avs"; }
std::string wrapper_path(const std::string& program_folder, const std::string& own_name) {
    return wrapper_folder(program_folder) + wrapper_name(own_name);
}

// Wrappers outlive the run that wrote them, and a batch file made then (or
// one still running) reads them later: one that names another input is
// not written over.
bool holds_wrapper_of_another_input(Context& ctx, const WrapperFolder& wrappers, const std::string& own_name,
                                    const std::string& input) {
    if (!wrappers.has(wrapper_name(own_name))) return false;
    const auto text = ctx.platform.read_file(wrapper_path(ctx.program_folder, own_name));
    if (!text) return false;
    const std::string own_line = wrapper_first_line(input);
    if (equals_ignoring_ascii_case(std::string_view(*text).substr(0, own_line.size()), own_line)) return false;
    return !ctx.session.input_names.was_chosen(wrapper_input(*text));
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
        input, [&](int k) { return numbered(name, k); }, taken_outside,
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
