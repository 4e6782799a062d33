// Jobs: "Add" and "Files input".
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "encoder/dialect.h"
#include "encoder/pass_line.h"
#include "encoder/settings_view.h"
#include "model/context.h"

namespace tav {

// The encoder line of one pass. The program uses make_pass_line; tests may
// put in a stand-in that shows which settings each pass saw.
using PassLineSource = std::function<std::string(const SettingsView&, Platform&)>;

// The lines of one job, and what they ask of the encoder beyond what it knows.
struct BuiltJob {
    std::vector<std::string> lines;  // markers, header, body
    // Options its encoder lines carry that the encoder knows in no form.
    OptionSet unknown_options;
};

// One job from the current settings, its encoder lines in `dialect`. The
// controls are never changed: the combined modes build each pass through
// per-pass overrides of the mode, the value and the "Audio" box.
BuiltJob build_job(Context& ctx, const EncoderDialect& dialect, const PassLineSource& pass_line = make_pass_line);

// "Add": appends one job to the job list and clears the file fields.
void add_one_job(Context& ctx);
// "Files input": an output folder, several inputs, one job per input.
void add_jobs_for_files(Context& ctx);

// What an action that adds jobs for many files left out, and why.
struct LeftOutFiles {
    std::vector<std::string> missing;            // no such file or folder
    std::vector<std::string> without_ansi_name;  // characters the code page lacks
    std::vector<std::string> without_media;      // folders that hold no media file
    std::vector<std::string> without_script;     // their wrapper could not be written
};
// Tells the user in one box what was left out; nothing when nothing was.
void tell_left_out(Context& ctx, const LeftOutFiles& left_out);

// The output folder of "Files input", asked for with the folder chooser;
// nullopt when cancelled or refused. It ends with a separator.
std::optional<std::string> choose_output_folder(Context& ctx);
// One job per input, in order, exactly as "Files input" makes them from
// the settings shown; then tells what was left out, `left_out` included.
void add_jobs_for_inputs(Context& ctx, const std::string& output_folder, const std::vector<std::string>& inputs,
                         LeftOutFiles left_out = {});

}  // namespace tav
