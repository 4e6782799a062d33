#include "jobs/console_batch.h"

#include <algorithm>

#include "controls/chosen_names.h"
#include "jobscript/job_markers.h"
#include "model/control_table.h"

namespace tav {
namespace {

bool is_plain_ascii(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// The end (one past the last line) of the job or lone line at `first`.
size_t unit_end(const std::vector<std::string>& lines, size_t first) {
    if (!is_job_start(lines[first])) return first + 1;
    return job_end(first, lines.size(), [&](size_t i) -> const std::string& { return lines[i]; });
}

}  // namespace

std::optional<std::string> console_text(Platform& platform, std::string_view ansi_text) {
    if (is_plain_ascii(ansi_text)) return std::string(ansi_text);
    return platform.console_text(ansi_text);
}

ConsoleBatch console_batch(Context& ctx, std::vector<std::string> lines) {
    ConsoleBatch batch;
    batch.program_folder = console_text(ctx.platform, ctx.program_folder);
    // Kept lines move down over the ones read before them; a line is read
    // before anything is written over it.
    size_t kept = 0;
    for (size_t first = 0; first < lines.size();) {
        const size_t end = unit_end(lines, first);
        const size_t unit_start = kept;
        for (size_t i = first; i < end; ++i) {
            if (is_plain_ascii(lines[i])) {
                if (kept != i) lines[kept] = std::move(lines[i]);
                ++kept;
            } else if (auto converted = ctx.platform.console_text(lines[i])) {
                lines[kept++] = std::move(*converted);
            } else {
                batch.left_out.push_back(std::move(lines[i]));
                kept = unit_start;
                break;
            }
        }
        first = end;
    }
    lines.resize(kept);
    batch.lines = std::move(lines);
    return batch;
}

void report_console_batch(Context& ctx, const ConsoleBatch& batch, const std::string& batch_path) {
    constexpr std::string_view kUnreadable =
        "characters that the command interpreter cannot read (the console's code page lacks them)";
    if (!batch.program_folder) {
        ctx.platform.message_box(std::string(kWindowTitle), "The program folder \"" + ctx.program_folder +
                                                                "\" holds " + std::string(kUnreadable) +
                                                                ", so no batch file was written.");
    } else if (!batch.left_out.empty()) {
        ctx.platform.message_box(std::string(kWindowTitle),
                                 "These jobs were left out of \"" + batch_path + "\": their lines hold " +
                                     std::string(kUnreadable) + ". Rename the files they name:" +
                                     listed_names(batch.left_out));
    }
}

}  // namespace tav
