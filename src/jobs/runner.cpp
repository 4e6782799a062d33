#include "jobs/runner.h"

#include "common/text_rules.h"
#include "jobs/batch_writer.h"
#include "model/control_ids.h"
#include "model/control_table.h"
#include "settings/config_files.h"
#include "settings/settings_model.h"

namespace tav {

namespace {

// Batches delete themselves; this many left behind means something is wrong.
constexpr int kMaxBatchNumber = 999;
constexpr unsigned kIdleDelayMs = 600;  // the batch's own "delay.exe 1000" outlasts it

// After the change of directory and before the tool paths: the waiting
// message and a pause long enough for the priority change.
constexpr std::string_view kWaitForIdle[] = {
    "@echo Please wait until this process is set into idle.",
    "@delay.exe 1000",
};

}  // namespace

bool is_shutdown_line(std::string_view line) {
    if (line.starts_with('@')) line.remove_prefix(1);
    const std::string command = lower_cased(line.substr(0, line.find(' ')));
    return command == "shutdown" || command == "shutdown.exe";
}

std::optional<std::string> free_batch_name(Platform& platform, const std::string& program_folder) {
    for (int number = 1; number <= kMaxBatchNumber; ++number) {
        std::string name = number == 1 ? "temp.bat" : "temp" + std::to_string(number) + ".bat";
        if (!platform.file_exists(program_folder + name)) return name;
    }
    return std::nullopt;
}

std::optional<BatchStart> start_jobs(Context& ctx) {
    save_settings(ctx, kMainSettingsFile);

    const std::string& folder = ctx.program_folder;
    const auto name = free_batch_name(ctx.platform, folder);
    if (!name) {
        ctx.platform.message_box(std::string(kWindowTitle), "No batch file could be written: \"" + folder +
                                                  "\" holds too many temp*.bat files of earlier starts.");
        return std::nullopt;
    }
    const std::string path = folder + *name;
    // The batch deletes itself at its end. Left-out jobs are told before
    // the start: the priority change must follow it closely.
    if (!write_job_list_batch(ctx, path, {kWaitForIdle, "del " + *name})) return std::nullopt;

    const BatchStart started = ctx.platform.start_batch(path, folder);
    if (!started.started) {
        // Nothing will run it, so nothing would delete it.
        ctx.platform.delete_file(path);
        return std::nullopt;
    }
    if (started.process_id) {
        ctx.platform.sleep_ms(kIdleDelayMs);
        ctx.platform.set_idle_priority(*started.process_id);  // a failure leaves it at normal priority
    }
    return started;
}

void append_shutdown(Context& ctx) { ctx.ui.append_item(ctl::JobList, kShutdownLine); }

}  // namespace tav
