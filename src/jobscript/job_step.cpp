#include "jobscript/job_step.h"

#include <iterator>
#include <map>
#include <span>

#include "common/paths.h"
#include "controls/chosen_names.h"
#include "jobscript/audio_mux.h"
#include "jobscript/console_batch.h"
#include "jobscript/encoder_dialect_use.h"
#include "jobscript/input_prep.h"
#include "jobscript/job_markers.h"
#include "model/choice_lists.h"
#include "model/control_ids.h"
#include "model/encode_modes.h"
#include "model/control_table.h"

namespace tav {
namespace {

// Audio belongs after a pass that writes the video; first passes write
// statistics only.
bool writes_video(const PassStep& pass) { return encode_mode(pass.mode).line.writes_output; }

std::string size_check_line(const ControlSurface& ui) {
    return "@chksize.exe " + ui.text(ctl::MinSize) + " " + ui.text(ctl::MaxSize) + " " +
           quoted_batch_name(ui.text(ctl::OutputFile));
}

void one_pass(Context& ctx, const PassStep& pass, const PassLineSource& pass_line, std::vector<std::string>& lines) {
    const ControlSurface& ui = ctx.ui;
    PassOverrides overrides;
    overrides.mode = pass.mode;
    if (pass.crf_value) overrides.value = ui.text(ctl::FirstPassCrf);
    if (pass.without_audio) overrides.audio = false;
    const SettingsView view(ui, std::move(overrides));

    if (pass.after_size_check) lines.push_back(size_check_line(ui));
    lines.push_back(pass_line(view, ctx.platform));
    if (view.checked(ctl::Audio) && writes_video(pass))
        write_audio_commands(ctx, ui.state(ctl::AudioEncoder), lines);
}

bool has_input_and_output(const ControlSurface& ui) {
    return !ui.text(ctl::InputFile).empty() && !ui.text(ctl::OutputFile).empty();
}

void clear_file_fields(ControlSurface& ui) {
    for (int id : {ctl::InputFile, ctl::OutputFile, ctl::StatsFile, ctl::LogFile}) ui.set_text(id, "");
}

// Appends one job; a complete one holds its names and clears the file fields.
void add_job(Context& ctx, std::vector<std::string>& lines, const EncoderDialect& dialect) {
    const bool complete = has_input_and_output(ctx.ui);
    std::vector<std::string> job = build_job(ctx, dialect);
    lines.insert(lines.end(), std::make_move_iterator(job.begin()), std::make_move_iterator(job.end()));
    if (!complete) return;
    // From now on no other input is given this job's names.
    ctx.session.input_names.hold_for_job(ctx.ui.text(ctl::InputFile), ctx.ui.text(ctl::OutputFile));
    clear_file_fields(ctx.ui);
}

// The controls as one action that makes many jobs sees them. Writing a
// field of the real window costs far more than building a job (the toolkit
// lays the text out anew each time), so the edit fields the action writes
// are kept here and reach the window once, in commit(); what the jobs read
// is read from the window once. Nothing else changes the controls while the
// action runs.
class BatchedControls final : public ControlSurface {
public:
    explicit BatchedControls(ControlSurface& window) : window_(window) {}

    // Gives every written edit field its last text.
    void commit() {
        for (const auto& [id, text] : written_) window_.set_text(id, text);
        written_.clear();
    }

    bool exists(int id) const override { return window_.exists(id); }
    std::string text(int id) const override {
        if (const auto kept = texts_.find(id); kept != texts_.end()) return kept->second;
        return texts_.emplace(id, window_.text(id)).first->second;
    }
    void set_text(int id, std::string_view text) override {
        if (!holds_text_as_written(id)) {
            forget(id);
            window_.set_text(id, text);
            return;
        }
        texts_[id] = text;
        written_[id] = text;
    }
    int state(int id) const override {
        if (const auto kept = states_.find(id); kept != states_.end()) return kept->second;
        return states_.emplace(id, window_.state(id)).first->second;
    }
    void set_state(int id, int state) override {
        forget(id);
        window_.set_state(id, state);
    }
    int item_count(int id) const override { return window_.item_count(id); }
    std::string item_text(int id, int index) const override { return window_.item_text(id, index); }
    void insert_item(int id, int index, std::string_view text) override {
        forget(id);
        window_.insert_item(id, index, text);
    }
    void remove_item(int id, int index) override {
        forget(id);
        window_.remove_item(id, index);
    }
    void clear_items(int id) override {
        forget(id);
        window_.clear_items(id);
    }
    std::vector<std::string> items(int id) const override { return window_.items(id); }
    void append_items(int id, const std::vector<std::string>& texts) override {
        forget(id);
        window_.append_items(id, texts);
    }
    bool enabled(int id) const override { return window_.enabled(id); }
    void set_enabled(int id, bool enabled) override { window_.set_enabled(id, enabled); }
    bool visible(int id) const override { return window_.visible(id); }
    void set_visible(int id, bool visible) override { window_.set_visible(id, visible); }

private:
    // A plain edit field keeps any text exactly as written; other controls
    // may select, refuse or cut what they are given.
    static bool holds_text_as_written(int id) {
        const ControlSpec* row = find_control(id);
        return row && row->kind == ControlKind::Edit && row->max_chars == 0;
    }
    void forget(int id) {
        texts_.erase(id);
        states_.erase(id);
    }

    ControlSurface& window_;
    mutable std::map<int, std::string> texts_;
    mutable std::map<int, int> states_;
    std::map<int, std::string> written_;
};

}  // namespace

std::vector<std::string> build_job(Context& ctx, const PassLineSource& pass_line) {
    return build_job(ctx, EncoderDialect(ctx.session.encoder_probe.answer()), pass_line);
}

std::vector<std::string> build_job(Context& ctx, const EncoderDialect& dialect, const PassLineSource& pass_line) {
    const ControlSurface& ui = ctx.ui;
    // Every pass is written for the encoder that will run it.
    const PassLineSource spoken = [&](const SettingsView& view, Platform& platform) {
        return pass_line(SettingsView(view, dialect), platform);
    };
    std::vector<std::string> lines{std::string(kJobStartMarker)};
    if (has_input_and_output(ui)) {
        lines.push_back("@echo Input:" + quoted_batch_name(ui.text(ctl::InputFile)));
        lines.push_back("@echo Output:" + quoted_batch_name(ui.text(ctl::OutputFile)));
        lines.push_back("@echo Encode Mode:" + ui.text(ctl::Mode));

        if (ui.state(ctl::Muxer) == muxer::AudioOnly) {
            write_audio_commands(ctx, ui.state(ctl::AudioEncoder), lines);
        } else {
            for (const PassStep& pass : encode_mode(ui.state(ctl::Mode)).passes) one_pass(ctx, pass, spoken, lines);
        }
    }
    lines.emplace_back(kJobEndMarker);
    return lines;
}

void add_one_job(Context& ctx) {
    const EncoderDialect dialect = dialect_for_new_lines(ctx);
    std::vector<std::string> lines;
    add_job(ctx, lines, dialect);
    ctx.ui.append_items(ctl::JobList, lines);
    tell_unknown_options(ctx, dialect);
}

void add_jobs_for_files(Context& ctx) {
    auto folder = ctx.platform.folder_dialog("Select a folder for output", ctx.program_folder);
    if (!folder || folder->empty()) return;
    if (refuse_name_without_ansi_form(ctx, *folder, "No job was added.")) return;
    if (folder->back() != '\\' && folder->back() != '/') *folder += '\\';
    const auto files =
        ctx.platform.open_files_dialog({"Select some files", "", "AVS(*.AVS)|*.avs|Other Media|*.*"});
    if (!files) return;

    const EncoderDialect dialect = dialect_for_new_lines(ctx);
    BatchedControls controls(ctx.ui);
    Context batch{controls, ctx.platform, ctx.program_folder, ctx.session};
    std::vector<std::string> lines;
    std::vector<std::string> without_script, without_ansi_name;
    const WrapperFolder wrappers(ctx);
    for (const std::string& file : *files) {
        if (file.empty()) continue;
        if (lacks_ansi_characters(file)) {
            without_ansi_name.push_back(file);
            continue;
        }
        controls.set_text(ctl::InputFile, file);
        // A job without its wrapper would read the wrong thing: leave it out.
        if (prepare_input_quietly(batch, *folder, wrappers)) {
            without_script.push_back(file);
            continue;
        }
        add_job(batch, lines, dialect);
    }
    controls.commit();
    ctx.ui.append_items(ctl::JobList, lines);
    if (!without_ansi_name.empty())
        ctx.platform.message_box(std::string(kWindowTitle),
                                 "The names of these files hold characters that the system's code page lacks "
                                 "(shown as \"?\"), so no job was added for them. Rename them:" +
                                     listed_names(without_ansi_name));
    if (!without_script.empty())
        ctx.platform.message_box(std::string(kWindowTitle),
                                 "The AviSynth scripts for these files could not be written in the \"avs\" "
                                 "folder, so no job was added for them:" +
                                     listed_names(without_script));
    tell_unknown_options(ctx, dialect);
}

std::string batch_file_text(std::string_view program_folder, const std::vector<std::string>& lines,
                            std::span<const std::string_view> before_setpath) {
    constexpr std::string_view kLineEnd = "\r\n";
    constexpr std::string_view kSetPath[] = {"@setpath.exe run", "@call setpath.bat", "@del setpath.bat"};
    const std::string enter = "@cd /d " + quoted_batch_name(program_folder);
    size_t size = enter.size() + kLineEnd.size();
    for (std::string_view line : before_setpath) size += line.size() + kLineEnd.size();
    for (std::string_view line : kSetPath) size += line.size() + kLineEnd.size();
    for (const auto& line : lines) size += line.size() + kLineEnd.size();
    std::string text;
    text.reserve(size);
    text.append(enter).append(kLineEnd);
    for (std::string_view line : before_setpath) text.append(line).append(kLineEnd);
    for (std::string_view line : kSetPath) text.append(line).append(kLineEnd);
    for (const auto& line : lines) text.append(line).append(kLineEnd);
    return text;
}

void make_bat(Context& ctx) {
    const auto chosen = ctx.platform.save_file_dialog({"", "", "Batch File|*.BAT"});
    if (!chosen || chosen->empty()) return;
    if (refuse_name_without_ansi_form(ctx, *chosen, "No batch file was written.")) return;
    std::string path = *chosen;
    if (!has_extension(path)) path += ".bat";

    std::vector<std::string> lines = ctx.ui.items(ctl::JobList);
    const size_t line_count = lines.size();
    const ConsoleBatch batch = console_batch(ctx, std::move(lines));
    if (!batch.program_folder) {
        report_console_batch(ctx, batch, path);
        return;
    }
    if (!ctx.platform.write_file(path, batch_file_text(*batch.program_folder, batch.lines))) {
        ctx.platform.message_box(std::string(kWindowTitle),
                                 "The batch file \"" + path + "\" could not be written.");
        return;
    }
    if (line_count > 0) ctx.ui.set_state(ctl::JobList, static_cast<int>(line_count) - 1);
    report_console_batch(ctx, batch, path);
}

}  // namespace tav
