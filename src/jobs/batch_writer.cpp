#include "jobs/batch_writer.h"

#include "common/paths.h"
#include "controls/chosen_names.h"
#include "jobs/console_batch.h"
#include "model/control_ids.h"
#include "model/control_table.h"

namespace tav {

std::string batch_file_text(std::string_view program_folder, const std::vector<std::string>& lines,
                            const BatchLayout& layout) {
    constexpr std::string_view kLineEnd = "\r\n";
    constexpr std::string_view kSetPath[] = {"@setpath.exe run", "@call setpath.bat", "@del setpath.bat"};
    const std::string enter = "@cd /d " + quoted_batch_name(program_folder);
    size_t size = enter.size() + kLineEnd.size() + layout.last_line.size();
    for (std::string_view line : layout.before_setpath) size += line.size() + kLineEnd.size();
    for (std::string_view line : kSetPath) size += line.size() + kLineEnd.size();
    for (const auto& line : lines) size += line.size() + kLineEnd.size();
    std::string text;
    text.reserve(size);
    text.append(enter).append(kLineEnd);
    for (std::string_view line : layout.before_setpath) text.append(line).append(kLineEnd);
    for (std::string_view line : kSetPath) text.append(line).append(kLineEnd);
    for (const auto& line : lines) text.append(line).append(kLineEnd);
    text.append(layout.last_line);
    return text;
}

bool write_job_list_batch(Context& ctx, const std::string& path, const BatchLayout& layout) {
    std::vector<std::string> lines = ctx.ui.items(ctl::JobList);
    const size_t line_count = lines.size();
    const ConsoleBatch batch = console_batch(ctx, std::move(lines));
    if (!batch.program_folder) {
        report_console_batch(ctx, batch, path);
        return false;
    }
    if (!ctx.platform.write_file(path, batch_file_text(*batch.program_folder, batch.lines, layout))) {
        ctx.platform.message_box(std::string(kWindowTitle), "The batch file \"" + path + "\" could not be written.");
        return false;
    }
    // Writing took every line in turn, so the last one is left selected.
    if (line_count > 0) ctx.ui.set_state(ctl::JobList, static_cast<int>(line_count) - 1);
    report_console_batch(ctx, batch, path);
    return true;
}

void make_bat(Context& ctx) {
    const auto chosen = ctx.platform.save_file_dialog({"", "", "Batch File|*.BAT"});
    if (!chosen || chosen->empty()) return;
    if (refuse_name_without_ansi_form(ctx, *chosen, "No batch file was written.")) return;
    std::string path = *chosen;
    if (!has_extension(path)) path += ".bat";
    write_job_list_batch(ctx, path);
}

}  // namespace tav
