#include "jobscript/job_step.h"

#include <iterator>
#include <map>

#include "common/paths.h"
#include "controls/chosen_names.h"
#include "jobscript/audio_mux.h"
#include "jobscript/encoder_dialect_use.h"
#include "jobscript/input_prep.h"
#include "jobscript/job_markers.h"
#include "model/control_ids.h"
#include "model/control_table.h"
#include "model/encode_modes.h"
#include "model/forwarding_surface.h"
#include "model/muxers.h"
#include "jobscript/session.h"

namespace tav {
namespace {

// Audio belongs after a pass that writes the video; first passes write
// statistics only.
bool writes_video(const PassStep& pass) { return encode_mode(pass.mode).line.writes_output; }

std::string size_check_line(const ControlSurface& ui) {
    return "@chksize.exe " + ui.text(ctl::MinSize) + " " + ui.text(ctl::MaxSize) + " " +
           quoted_batch_name(ui.text(ctl::OutputFile));
}

void one_pass(Context& ctx, const PassStep& pass, const EncoderDialect& dialect, const PassLineSource& pass_line,
              BuiltJob& job) {
    const ControlSurface& ui = ctx.ui;
    PassOverrides overrides;
    overrides.mode = pass.mode;
    if (pass.crf_value) overrides.value = ui.text(ctl::FirstPassCrf);
    if (pass.without_audio) overrides.audio = false;
    const SettingsView view(ui, dialect, std::move(overrides));

    if (pass.after_size_check) job.lines.push_back(size_check_line(ui));
    job.lines.push_back(pass_line(view, ctx.platform));
    job.unknown_options |= dialect.unknown_in(job.lines.back());
    if (view.checked(ctl::Audio) && writes_video(pass))
        write_audio_commands(ctx, ui.state(ctl::AudioEncoder), job.lines);
}

bool has_input_and_output(const ControlSurface& ui) {
    return !ui.text(ctl::InputFile).empty() && !ui.text(ctl::OutputFile).empty();
}

void clear_file_fields(ControlSurface& ui) {
    for (int id : {ctl::InputFile, ctl::OutputFile, ctl::StatsFile, ctl::LogFile}) ui.set_text(id, "");
}

// Appends one job's lines and gathers what its encoder lines ask beyond
// what the encoder knows; a complete job holds its names and clears the
// file fields.
void add_job(Context& ctx, const EncoderDialect& dialect, std::vector<std::string>& lines, OptionSet& unknown) {
    const bool complete = has_input_and_output(ctx.ui);
    BuiltJob job = build_job(ctx, dialect);
    lines.insert(lines.end(), std::make_move_iterator(job.lines.begin()), std::make_move_iterator(job.lines.end()));
    unknown |= job.unknown_options;
    if (!complete) return;
    // From now on no other input is given this job's names.
    ctx.session.input_names.hold_for_job(ctx, ctx.ui.text(ctl::InputFile), ctx.ui.text(ctl::OutputFile));
    clear_file_fields(ctx.ui);
}

// The controls as one action that makes many jobs sees them. Writing a
// field of the real window costs far more than building a job (the toolkit
// lays the text out anew each time), so the edit fields the action writes
// are kept here and reach the window once, in commit(); what the jobs read
// is read from the window once. Nothing else changes the controls while the
// action runs.
class BatchedControls final : public ForwardingSurface {
public:
    explicit BatchedControls(ControlSurface& window) : ForwardingSurface(window) {}

    // Gives every written edit field its last text.
    void commit() {
        for (const auto& [id, text] : written_) inner().set_text(id, text);
        written_.clear();
    }

    std::string text(int id) const override {
        if (const auto kept = texts_.find(id); kept != texts_.end()) return kept->second;
        return texts_.emplace(id, inner().text(id)).first->second;
    }
    void set_text(int id, std::string_view text) override {
        if (!holds_text_as_written(id)) {
            forget(id);
            inner().set_text(id, text);
            return;
        }
        texts_[id] = text;
        written_[id] = text;
    }
    int state(int id) const override {
        if (const auto kept = states_.find(id); kept != states_.end()) return kept->second;
        return states_.emplace(id, inner().state(id)).first->second;
    }
    void set_state(int id, int state) override {
        forget(id);
        inner().set_state(id, state);
    }
    void insert_item(int id, int index, std::string_view text) override {
        forget(id);
        inner().insert_item(id, index, text);
    }
    void remove_item(int id, int index) override {
        forget(id);
        inner().remove_item(id, index);
    }
    void clear_items(int id) override {
        forget(id);
        inner().clear_items(id);
    }
    void append_items(int id, const std::vector<std::string>& texts) override {
        forget(id);
        inner().append_items(id, texts);
    }

private:
    // A plain edit field keeps any text exactly as written; other controls
    // may select, refuse or cut what they are given.
    static bool holds_text_as_written(int id) {
        const ControlSpec* row = find_control(id);
        return row && row->kind == ControlKind::Edit && row->traits.max_chars == 0;
    }
    void forget(int id) {
        texts_.erase(id);
        states_.erase(id);
    }

    mutable std::map<int, std::string> texts_;
    mutable std::map<int, int> states_;
    std::map<int, std::string> written_;
};

}  // namespace

BuiltJob build_job(Context& ctx, const EncoderDialect& dialect, const PassLineSource& pass_line) {
    const ControlSurface& ui = ctx.ui;
    BuiltJob job;
    job.lines.emplace_back(kJobStartMarker);
    if (has_input_and_output(ui)) {
        job.lines.push_back("@echo Input:" + quoted_batch_name(ui.text(ctl::InputFile)));
        job.lines.push_back("@echo Output:" + quoted_batch_name(ui.text(ctl::OutputFile)));
        job.lines.push_back("@echo Encode Mode:" + ui.text(ctl::Mode));

        if (muxer_at(ui.state(ctl::Muxer)).audio_only) {
            write_audio_commands(ctx, ui.state(ctl::AudioEncoder), job.lines);
        } else {
            for (const PassStep& pass : encode_mode(ui.state(ctl::Mode)).passes)
                one_pass(ctx, pass, dialect, pass_line, job);
        }
    }
    job.lines.emplace_back(kJobEndMarker);
    return job;
}

void add_one_job(Context& ctx) {
    const NewLinesEncoder encoder = encoder_for_new_lines(ctx);
    std::vector<std::string> lines;
    OptionSet unknown;
    add_job(ctx, encoder.dialect, lines, unknown);
    ctx.ui.append_items(ctl::JobList, lines);
    tell_about_encoder(ctx, encoder, unknown);
}

void add_jobs_for_files(Context& ctx) {
    const auto folder = choose_output_folder(ctx);
    if (!folder) return;
    const auto files =
        ctx.platform.open_files_dialog({"Select some files", "", "AVS(*.AVS)|*.avs|Other Media|*.*"});
    if (!files) return;
    add_jobs_for_inputs(ctx, *folder, *files);
}

std::optional<std::string> choose_output_folder(Context& ctx) {
    const auto folder = ctx.platform.folder_dialog("Select a folder for output", ctx.program_folder);
    if (!folder || folder->empty()) return std::nullopt;
    if (refuse_name_without_ansi_form(ctx, *folder, "No job was added.")) return std::nullopt;
    return with_trailing_separator(*folder);
}

void add_jobs_for_inputs(Context& ctx, const std::string& output_folder, const std::vector<std::string>& inputs,
                         LeftOutFiles left_out) {
    const NewLinesEncoder encoder = encoder_for_new_lines(ctx);
    BatchedControls controls(ctx.ui);
    Context batch{controls, ctx.platform, ctx.program_folder, ctx.session};
    std::vector<std::string> lines;
    OptionSet unknown;
    const WrapperFolder wrappers(ctx);
    for (const std::string& file : inputs) {
        if (file.empty()) continue;
        if (lacks_ansi_characters(file)) {
            left_out.without_ansi_name.push_back(file);
            continue;
        }
        controls.set_text(ctl::InputFile, file);
        // A job without its wrapper would read the wrong thing: leave it out.
        if (prepare_input_quietly(batch, output_folder, wrappers)) {
            left_out.without_script.push_back(file);
            continue;
        }
        add_job(batch, encoder.dialect, lines, unknown);
    }
    controls.commit();
    ctx.ui.append_items(ctl::JobList, lines);
    tell_left_out(ctx, left_out);
    tell_about_encoder(ctx, encoder, unknown);
}

void tell_left_out(Context& ctx, const LeftOutFiles& left_out) {
    const std::pair<const std::vector<std::string>*, std::string_view> reasons[] = {
        {&left_out.missing, "These files or folders do not exist, so no job was added for them:"},
        {&left_out.without_ansi_name,
         "The names of these files hold characters that the system's code page lacks (shown as \"?\"), so no job "
         "was added for them. Rename them:"},
        {&left_out.without_media,
         "These folders hold no AviSynth scripts or videos (their subfolders are not looked into), so no job was "
         "added from them:"},
        {&left_out.without_script,
         "The AviSynth scripts for these files could not be written in the \"avs\" folder, so no job was added for "
         "them:"},
    };
    std::string text;
    for (const auto& [names, reason] : reasons) {
        if (names->empty()) continue;
        if (!text.empty()) text += "\n\n";
        text += std::string(reason) + listed_names(*names);
    }
    if (!text.empty()) ctx.platform.message_box(std::string(kWindowTitle), text);
}

}  // namespace tav
