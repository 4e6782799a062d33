#include "controls/choosers.h"

#include "common/paths.h"
#include "controls/chosen_names.h"
#include "model/control_ids.h"
#include "model/encode_modes.h"

namespace tav {

// A cancelled chooser leaves its field as it was: clearing it would throw
// away a path the user typed. So does a name the program cannot carry.

namespace {
constexpr std::string_view kFieldKept = "The field keeps its text.";
}  // namespace

void choose_output_file(Context& ctx) {
    auto path = ctx.platform.save_file_dialog({"", "", "MP4(*.mp4)|*.MP4|MKV(*.mkv)|*.MKV|RAW(*.264)|*.264"});
    if (!path || refuse_name_without_ansi_form(ctx, *path, kFieldKept)) return;
    if (!path->empty() && !has_extension(*path)) *path += ".mp4";
    ctx.ui.set_text(ctl::OutputFile, *path);
}

void choose_stats_file(Context& ctx) {
    const FileDialog dialog{"", ctx.ui.text(ctl::StatsFile), "Statsfile (*.stat)|*.stat"};
    // Only the fast first pass picks the name with an open dialog; the
    // dialog does not insist on an existing file, so a new name works too.
    const auto path = encode_mode(ctx.ui.state(ctl::Mode)).picks_statistics ? ctx.platform.open_file_dialog(dialog)
                                                                            : ctx.platform.save_file_dialog(dialog);
    if (path && !refuse_name_without_ansi_form(ctx, *path, kFieldKept)) ctx.ui.set_text(ctl::StatsFile, *path);
}

void choose_log_file(Context& ctx) {
    const auto path = ctx.platform.save_file_dialog({"", ctx.ui.text(ctl::LogFile), "Log file (*.txt)|*.txt"});
    if (path && !refuse_name_without_ansi_form(ctx, *path, kFieldKept)) ctx.ui.set_text(ctl::LogFile, *path);
}

void choose_matrix_file(Context& ctx) {
    if (ctx.ui.text(ctl::QuantMatrix) != "custom...") return;
    auto path = ctx.platform.open_file_dialog({"Select a matrix file", "", "*.*|*.*"});
    if (path && refuse_name_without_ansi_form(ctx, *path, "The matrix is \"flat\".")) path.reset();
    // "custom..." cannot stay in the field: the encoder would read it as a file name.
    ctx.ui.set_text(ctl::QuantMatrix, path && !path->empty() ? "\"" + *path + "\"" : std::string("flat"));
}

}  // namespace tav
