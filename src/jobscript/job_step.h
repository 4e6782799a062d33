// Jobs: "Add", "Files input" and "Make BAT".
#pragma once

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "encoder/dialect.h"
#include "encoder/pass_line.h"
#include "encoder/settings_view.h"
#include "model/context.h"

namespace tav {

// The encoder line of one pass. The program uses make_pass_line; tests may
// put in a stand-in that shows which settings each pass saw.
using PassLineSource = std::function<std::string(const SettingsView&, Platform&)>;

// The lines of one job from the current settings (markers, header, body).
// The controls are never changed: the combined modes build each pass
// through per-pass overrides of the mode, the value and the "Audio" box.
std::vector<std::string> build_job(Context& ctx, const PassLineSource& pass_line = make_pass_line);
// The same, with the encoder options in the given dialect (the one above
// takes the last answer of the encoder the batch would run).
std::vector<std::string> build_job(Context& ctx, const EncoderDialect& dialect,
                                   const PassLineSource& pass_line = make_pass_line);

// "Add": appends one job to the job list and clears the file fields.
void add_one_job(Context& ctx);
// "Files input": an output folder, several inputs, one job per input.
void add_jobs_for_files(Context& ctx);
// "Make BAT": writes the job list into a batch file chosen by the user, in
// the console's code page (console_batch.h).
void make_bat(Context& ctx);

// The whole text of a batch file made from the job list: the header that
// enters the program folder (then runs `before_setpath`, when given) and sets
// the tools' path, then every line, each ended by CR LF. "Make BAT" and
// "Start" both write their batches through it, with the folder and the lines
// already in the console's code page.
std::string batch_file_text(std::string_view program_folder, const std::vector<std::string>& lines,
                            std::span<const std::string_view> before_setpath = {});

}  // namespace tav
