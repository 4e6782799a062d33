#include "controls/choosers.h"

#include "common/paths.h"
#include "model/control_ids.h"
#include "model/encode_modes.h"

namespace tav {

// A cancelled chooser leaves its field as it was: clearing it would throw
// away a path the user typed.

void choose_output_file(Context& ctx) {
    auto path = ctx.platform.save_file_dialog({"", "", "MP4(*.mp4)|*.MP4|MKV(*.mkv)|*.MKV|RAW(*.264)|*.264"});
    if (!path) return;
    if (!path->empty() && !has_extension(*path)) *path += ".mp4";
    ctx.ui.set_text(ctl::OutputFile, *path);
}

void choose_stats_file(Context& ctx) {
    const FileDialog dialog{"", ctx.ui.text(ctl::StatsFile), "Statsfile (*.stat)|*.stat"};
    // Only the fast first pass picks the name with an open dialog; the
    // dialog does not insist on an existing file, so a new name works too.
    const auto path = encode_mode(ctx.ui.state(ctl::Mode)).picks_statistics ? ctx.platform.open_file_dialog(dialog)
                                                                            : ctx.platform.save_file_dialog(dialog);
    if (path) ctx.ui.set_text(ctl::StatsFile, *path);
}

void choose_log_file(Context& ctx) {
    const auto path = ctx.platform.save_file_dialog({"", ctx.ui.text(ctl::LogFile), "Log file (*.txt)|*.txt"});
    if (path) ctx.ui.set_text(ctl::LogFile, *path);
}

void choose_matrix_file(Context& ctx) {
    if (ctx.ui.text(ctl::QuantMatrix) != "custom...") return;
    const auto path = ctx.platform.open_file_dialog({"Select a matrix file", "", "*.*|*.*"});
    // "custom..." cannot stay in the field: the encoder would read it as a file name.
    ctx.ui.set_text(ctl::QuantMatrix, path && !path->empty() ? "\"" + *path + "\"" : std::string("flat"));
}

}  // namespace tav
