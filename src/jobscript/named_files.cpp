#include "jobscript/named_files.h"

#include <algorithm>

#include "common/paths.h"
#include "common/text_rules.h"
#include "controls/chosen_names.h"
#include "jobscript/job_step.h"

namespace tav {
namespace {

// The media files a folder gives, in lower case and without the '.'.
// Sorted, so a name is found by a binary search.
constexpr std::string_view kMediaExtensions[] = {
    "264",  "265",  "3g2", "3gp", "asf", "avc",  "avi", "avs", "divx", "dv",   "f4v", "flv", "h264",
    "h265", "hevc", "ivf", "m1v", "m2t", "m2ts", "m2v", "m4v", "mkv",  "mov",  "mp4", "mpeg", "mpg",
    "mpv",  "mts",  "mxf", "nut", "ogm", "ogv",  "qt",  "rm",  "rmvb", "tp",   "trp", "ts",  "vob",
    "webm", "wmv",  "y4m",
};
static_assert(std::ranges::is_sorted(kMediaExtensions));

// The media files directly in `folder`, as full names in Explorer's order.
// A folder without any is left out and noted.
void add_media_files_in(Context& ctx, const std::string& folder, std::vector<std::string>& inputs,
                        LeftOutFiles& left_out) {
    std::vector<std::string> names = ctx.platform.list_files(folder, "*");
    std::erase_if(names, [](const std::string& name) { return !is_media_file_name(name); });
    if (names.empty()) {
        left_out.without_media.push_back(folder);
        return;
    }
    std::sort(names.begin(), names.end(), natural_less);
    const std::string prefix = with_trailing_separator(folder);
    for (const std::string& name : names) {
        // Refused before the folder is asked for, so that nothing else to
        // add means no folder chooser.
        if (lacks_ansi_characters(name))
            left_out.without_ansi_name.push_back(prefix + name);
        else
            inputs.push_back(prefix + name);
    }
}

}  // namespace

bool is_media_file_name(std::string_view name) {
    if (!has_extension(name)) return false;
    return std::ranges::binary_search(kMediaExtensions, std::string_view(lower_cased(extension(name))));
}

void add_jobs_for_named_files(Context& ctx, const std::vector<std::string>& names) {
    std::vector<std::string> inputs;
    LeftOutFiles left_out;
    for (const std::string& name : names) {
        if (name.empty()) continue;
        // '?' stands for a character the code page lacks; no file is named so.
        if (lacks_ansi_characters(name))
            left_out.without_ansi_name.push_back(name);
        else if (ctx.platform.folder_exists(name))
            add_media_files_in(ctx, name, inputs, left_out);
        else if (ctx.platform.file_exists(name))
            inputs.push_back(name);
        else
            left_out.missing.push_back(name);
    }
    if (inputs.empty()) {
        tell_left_out(ctx, left_out);
        return;
    }
    const auto folder = choose_output_folder(ctx);
    if (!folder) return;
    add_jobs_for_inputs(ctx, *folder, inputs, std::move(left_out));
}

}  // namespace tav
