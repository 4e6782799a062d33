#include "jobs/recovery.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "model/control_ids.h"
#include "model/control_table.h"
#include "model/text_limits.h"
#include "jobs/job_list_copy.h"

namespace tav {
namespace {

constexpr std::string_view kPrefix = "joblist-";
constexpr std::string_view kSuffix = ".recovery";
constexpr std::string_view kUnfinished = kUnfinishedCopySuffix;

// The instance tag in the name of a copy or of an unfinished one.
std::string tag_of(std::string_view name) {
    if (name.size() >= kUnfinished.size() && name.substr(name.size() - kUnfinished.size()) == kUnfinished)
        name.remove_suffix(kUnfinished.size());
    if (name.size() < kPrefix.size() + kSuffix.size()) return {};
    return std::string(name.substr(kPrefix.size(), name.size() - kPrefix.size() - kSuffix.size()));
}

std::vector<std::string> sorted_files(Platform& platform, const std::string& folder, const std::string& pattern) {
    std::vector<std::string> names = platform.list_files(folder, pattern);
    std::sort(names.begin(), names.end());
    return names;
}

std::string counted(std::size_t count, std::string_view one, std::string_view many) {
    return std::to_string(count) + " " + std::string(count == 1 ? one : many);
}

// "32,767": a count as the messages write it.
std::string grouped(std::size_t count) {
    const std::string digits = std::to_string(count);
    std::string text;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) text += ',';
        text += digits[i];
    }
    return text;
}

std::string offer_text(const JobListCopyContent& content) {
    std::string text = "The job list of an earlier run that did not end normally ";
    text += content.complete ? "holds " : "could be read only in part: ";
    text += counted(content.lines.size(), "line", "lines");
    text += '.';
    if (content.too_long > 0) {
        text += ' ';
        const std::string longer = "longer than " + grouped(kMaxControlText) + " characters";
        text += counted(content.too_long, "line " + longer + " is", "lines " + longer + " are");
        text += " left out.";
    }
    text += content.lines.size() == 1 ? " Put it back into the job list?" : " Put them back into the job list?";
    return text;
}

// Offers the copy at `path` back; it goes once the user has answered.
void offer_back(Context& ctx, JobListCopy& copy, const std::string& path) {
    Platform& platform = ctx.platform;
    const auto bytes = platform.read_file(path);
    const JobListCopyContent content = bytes ? read_job_list_copy(*bytes) : JobListCopyContent{};

    if (content.lines.empty()) {
        // A whole copy of an empty list has nothing to offer.
        if (!content.complete || content.too_long > 0)
            platform.message_box(std::string(kWindowTitle),
                                 "The job list of an earlier run that did not end normally could not be read from \"" +
                                     path + "\". The file is deleted.");
        platform.delete_file(path);
        return;
    }
    if (!platform.ask_yes_no(std::string(kWindowTitle), offer_text(content))) {
        platform.delete_file(path);
        return;
    }
    copy.append_items(ctl::JobList, content.lines);
    // It goes once this window's copy holds its lines.
    copy.retire_after_next_write(path);
}

}  // namespace

std::string job_list_copy_name(const std::string& instance_tag) {
    return std::string(kPrefix) + instance_tag + std::string(kSuffix);
}

void recover_job_lists(Context& ctx, JobListCopy& copy) {
    Platform& platform = ctx.platform;
    const std::string& folder = ctx.program_folder;
    const std::string own = platform.instance_tag();
    if (!own.empty()) copy.keep_in(folder + job_list_copy_name(own));

    const auto left_over = [&](const std::string& name) {
        const std::string tag = tag_of(name);
        return !tag.empty() && tag != own && !platform.instance_running(tag);
    };
    const std::string pattern = std::string(kPrefix) + "*" + std::string(kSuffix);
    // Tags sort in the order their instances started: the oldest first.
    for (const std::string& name : sorted_files(platform, folder, pattern))
        if (left_over(name)) offer_back(ctx, copy, folder + name);
    // A copy that was being written when its instance ended.
    for (const std::string& name : sorted_files(platform, folder, pattern + std::string(kUnfinished)))
        if (left_over(name)) platform.delete_file(folder + name);
}

}  // namespace tav
