#include "jobscript/input_prep.h"

#include <unordered_map>
#include <unordered_set>

#include "common/paths.h"
#include "common/text_rules.h"
#include "model/control_ids.h"
#include "model/control_table.h"

namespace tav {
namespace {

// Which input owns each name handed out during this run. Names are compared
// as Windows compares file names, without regard to letter case.
class NameClaims {
public:
    // The first of the candidates 1, 2, 3, ... that is free or already
    // belongs to `input`; it is claimed for `input`. A name that no input
    // of this run holds yet may still be taken outside it: `taken` says so.
    template <typename Candidate, typename Taken>
    std::string claim(const std::string& input, Candidate candidate, Taken taken) {
        const std::string owner = lower_cased(input);
        for (int k = 1;; ++k) {
            std::string name = candidate(k);
            auto [it, fresh] = owner_by_name_.try_emplace(lower_cased(name), owner);
            if (fresh && taken(name)) it->second.clear();
            if (it->second == owner) return name;
        }
    }
    template <typename Candidate>
    std::string claim(const std::string& input, Candidate candidate) {
        return claim(input, candidate, [](const std::string&) { return false; });
    }
    // Marks a name as taken by no input, so no input is ever given it.
    void reserve(const std::string& name) { owner_by_name_.try_emplace(lower_cased(name), std::string()); }
    void clear() { owner_by_name_.clear(); }

private:
    std::unordered_map<std::string, std::string> owner_by_name_;
};

struct RunNames {
    NameClaims file_names;                    // wrapper, statistics and log names
    NameClaims outputs;                       // whole output paths
    std::unordered_set<std::string> inputs;  // lower-cased
};

RunNames& run_names() {
    static RunNames names;
    return names;
}

// The k-th name for a file: the name itself, then "movie-2.avi", "movie-3.avi", ...
std::string numbered(const std::string& name, int k) {
    if (k == 1) return name;
    std::string out = without_extension(name) + "-" + integer_to_text(k);
    if (has_extension(name)) out += "." + extension(name);
    return out;
}

bool is_avisynth_script(const std::string& path) { return equals_ignoring_ascii_case(extension(path), "avs"); }

std::string wrapper_first_line(const std::string& input) { return "fs=\"" + input + "\"\r\n"; }

std::string wrapper_text(const std::string& input, const std::string& template_name) {
    return wrapper_first_line(input) +
           "mfn=\"" + without_extension(input) + "\"\r\n" +
           "import(\"..\\avsinc\\" + template_name + ".avs\")\r\n";
}

std::string wrapper_folder(const std::string& program_folder) { return program_folder + "avs\\"; }
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
    return !equals_ignoring_ascii_case(std::string_view(*text).substr(0, own_line.size()), own_line);
}

}  // namespace

WrapperFolder::WrapperFolder(Context& ctx) {
    for (const std::string& name : ctx.platform.list_files(wrapper_folder(ctx.program_folder), "*.avs"))
        names_.insert(lower_cased(name));
}

bool WrapperFolder::has(const std::string& wrapper_name) const { return names_.count(lower_cased(wrapper_name)) > 0; }

void forget_input_names() {
    run_names().file_names.clear();
    run_names().outputs.clear();
    run_names().inputs.clear();
}

bool is_chosen_input(std::string_view path) { return run_names().inputs.count(lower_cased(path)) > 0; }

std::optional<std::string> prepare_input_quietly(Context& ctx, const std::string& output_folder,
                                                 const WrapperFolder& wrappers) {
    ControlSurface& ui = ctx.ui;
    const std::string input = ui.text(ctl::InputFile);
    if (input.empty()) return std::nullopt;

    run_names().inputs.insert(lower_cased(input));
    const std::string name = file_name(input);
    const bool needs_wrapper = !is_avisynth_script(input);
    const std::string own_name = run_names().file_names.claim(
        input, [&](int k) { return numbered(name, k); },
        [&](const std::string& candidate) {
            return needs_wrapper && holds_wrapper_of_another_input(ctx, wrappers, candidate, input);
        });
    // An output beside its input may have the input's own name (movie.mp4):
    // the encode would then overwrite the source it is reading.
    run_names().outputs.reserve(input);
    const std::string output =
        run_names().outputs.claim(input, [&](int k) { return output_folder + stem(numbered(name, k)) + "mp4"; });

    ui.set_text(ctl::StatsFile, ctx.program_folder + "stats\\" + own_name + ".stat");
    ui.set_text(ctl::LogFile, ctx.program_folder + "log\\" + own_name + ".txt");
    ui.set_text(ctl::OutputFile, output);

    if (!needs_wrapper) return std::nullopt;
    const std::string wrapper = wrapper_path(ctx.program_folder, own_name);
    if (!ctx.platform.write_file(wrapper, wrapper_text(input, ui.text(ctl::Template)))) return wrapper;
    ui.set_text(ctl::InputFile, wrapper);
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
    if (!path) return;
    ctx.ui.set_text(ctl::InputFile, *path);
    prepare_input(ctx, folder_part(*path));
}

}  // namespace tav
