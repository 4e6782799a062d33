#include "app/app.h"

#include "common/working_folders.h"
#include "controls/choosers.h"
#include "controls/field_rules.h"
#include "controls/mode_controls.h"
#include "jobs/batch_writer.h"
#include "jobs/job_list.h"
#include "jobs/recovery.h"
#include "jobs/runner.h"
#include "jobscript/input_prep.h"
#include "jobscript/job_step.h"
#include "jobscript/named_files.h"
#include "model/choice_lists.h"
#include "model/control_ids.h"
#include "settings/config_files.h"
#include "settings/settings_model.h"

namespace tav {
namespace {

using Handler = void (*)(Context&);

// The dispatch table: one handler per control. Each runs on any event of
// its control; the field rules (clamps, dependent enabling, slider mirrors)
// are applied by `App::handle` from their own tables.
struct Route {
    int id;
    Handler handler;
};

constexpr Route kRoutes[] = {
    {ctl::LoadDefault, apply_builtin_defaults},
    {ctl::Add, add_one_job},
    {ctl::FilesInput, add_jobs_for_files},
    {ctl::InputBrowse, choose_input_file},
    {ctl::OutputBrowse, choose_output_file},
    {ctl::StatsBrowse, choose_stats_file},
    {ctl::LogBrowse, choose_log_file},
    {ctl::QuantMatrix, choose_matrix_file},
    {ctl::Mode, [](Context& c) { mode_dependent_update(c.ui); }},
    {ctl::SizeMode, [](Context& c) { mode_dependent_update(c.ui); }},
    {ctl::MaxBFrames, [](Context& c) { bframe_update(c.ui); }},
    {ctl::LogEnabled, [](Context& c) { log_file_update(c.ui); }},
    {ctl::AudioEncoder, [](Context& c) { update_audio_unit_label(c.ui); }},
    {ctl::Refresh, refresh_lists},
    {ctl::SavePreset, save_preset},
    {ctl::LoadPreset, load_preset},
    {ctl::MakeBat, make_bat},
    {ctl::Clear, clear_list},
    {ctl::Disable, toggle_disable},
    {ctl::Up, move_line_up},
    {ctl::Down, move_line_down},
    {ctl::Edit, edit_line},
    {ctl::View, view_line},
    {ctl::Del, delete_job},
    {ctl::Shut, append_shutdown},
};

const Route* find_route(int id) {
    for (const Route& r : kRoutes)
        if (r.id == id) return &r;
    return nullptr;
}

}  // namespace

void create_working_folders(Platform& platform, const std::string& program_folder) {
    for (std::string_view name : folder::kCreationOrder) platform.create_folder(program_folder + std::string(name));
}

App::App(ControlSurface& window, Platform& platform, JobListCopy::Writing writing)
    : job_list_copy_(window, platform, writing),
      ctx_{job_list_copy_, platform, platform.program_folder(), session_} {}

void App::begin_background_work() { session_.encoder_probe.look(ctx_.platform, ctx_.program_folder); }

void App::initialise_controls() {
    fill_choice_lists(ctx_.ui);
    apply_initial_states(ctx_.ui);
}

void App::start() {
    refresh_lists(ctx_);
    load_settings(ctx_, kMainSettingsFile);
    recover_job_lists(ctx_, job_list_copy_);
    report_copy_failure(ctx_, job_list_copy_);
}

bool App::handle(const ControlEvent& event) {
    const int id = event.id;
    if (id == ctl::Cancel) return false;

    switch (id) {
        case ctl::JobList:
            return true;  // selection only
        case ctl::Value:
            // Clamped on the user's own edits only, and not while it holds a size.
            if (event.trigger == Trigger::Change && !ctx_.ui.checked(ctl::SizeMode)) apply_field_clamp(ctx_.ui, id);
            return true;
        case ctl::Bias:
            if (event.trigger == Trigger::FocusLost) bias_field_to_slider(ctx_.ui);
            return true;
        case ctl::BiasSlider:
        case ctl::DeblockStrength:
        case ctl::DeblockThreshold:
            mirror_slider(ctx_.ui, id);
            return true;
        default:
            break;
    }

    if (id == ctl::Start) {
        start_batch();
    } else if (const Route* route = find_route(id)) {
        route->handler(ctx_);
    } else {
        // A clamped field that also enables another control is clamped
        // first, so the enabling follows the corrected value.
        apply_field_clamp(ctx_.ui, id);
        apply_dependent_enabling(ctx_.ui, id);
    }
    report_copy_failure(ctx_, job_list_copy_);
    return true;
}

void App::start_batch() {
    if (const auto started = start_jobs(ctx_)) job_list_copy_.note_batch_started(started->process_id);
}

void App::save_settings_at_exit() { save_settings(ctx_, ctx_.program_folder + kMainSettingsFile); }

void App::take_files(const std::vector<std::string>& names) {
    add_jobs_for_named_files(ctx_, names);
    report_copy_failure(ctx_, job_list_copy_);
}

void App::exit() {
    save_settings_at_exit();
    job_list_copy_.discard();
}

void App::end_session() {
    save_settings_at_exit();
    if (job_list_copy_.holds_finished_work())
        job_list_copy_.discard();
    else
        job_list_copy_.end_with_session();
}

}  // namespace tav
