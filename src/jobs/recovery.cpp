#include "jobs/recovery.h"

#include <algorithm>
#include <optional>
#include <tuple>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "common/paths.h"
#include "jobs/runner.h"
#include "model/control_ids.h"
#include "model/control_table.h"
#include "model/text_limits.h"

namespace tav {
namespace {

constexpr std::string_view kPrefix = "joblist-";
constexpr std::string_view kSuffix = ".recovery";
constexpr std::string_view kComputerMark = "@";
constexpr std::string_view kTakenBy = ".taken-by-";
constexpr std::string_view kKept = ".kept";
constexpr std::string_view kAnswered = ".answered";

// A copy's file, by its name.
struct CopyFile {
    enum class State { Kept, Unfinished, Taken, KeptForLater, Answered };
    std::string name;      // as the folder lists it
    std::string base;      // the name its instance gave it: joblist-...recovery
    std::string tag;       // of the instance that wrote it
    std::string computer;  // empty: this computer's (an earlier version's name)
    State state = State::Kept;
    std::string taker;  // the instance that took it
};

std::optional<CopyFile> parse_copy_name(std::string_view name) {
    if (!name.starts_with(kPrefix)) return std::nullopt;
    const std::size_t suffix = name.find(kSuffix, kPrefix.size());
    if (suffix == std::string_view::npos) return std::nullopt;
    CopyFile file;
    file.name = std::string(name);
    file.base = std::string(name.substr(0, suffix + kSuffix.size()));
    const std::string_view body = name.substr(kPrefix.size(), suffix - kPrefix.size());
    const std::size_t mark = body.find(kComputerMark);
    file.tag = std::string(body.substr(0, mark));
    if (mark != std::string_view::npos) file.computer = std::string(body.substr(mark + kComputerMark.size()));
    if (file.tag.empty()) return std::nullopt;

    const std::string_view rest = name.substr(file.base.size());
    using S = CopyFile::State;
    if (rest.empty()) {
        file.state = S::Kept;
    } else if (rest == kUnfinishedCopySuffix) {
        file.state = S::Unfinished;
    } else if (rest.starts_with(kTakenBy) && rest.size() > kTakenBy.size()) {
        file.state = S::Taken;
        file.taker = std::string(rest.substr(kTakenBy.size()));
    } else if (rest == kKept) {
        file.state = S::KeptForLater;
    } else if (rest == kAnswered) {
        file.state = S::Answered;
    } else {
        return std::nullopt;
    }
    return file;
}

// A computer's name as file names carry it.
std::string computer_in_names(std::string_view name) {
    std::string out;
    for (const char c : name) {
        if (c >= 'A' && c <= 'Z')
            out += static_cast<char>(c - 'A' + 'a');
        else if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_')
            out += c;
        else
            out += '_';
    }
    return out;
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
    std::string text = content.header.session_ended
                           ? "The job list of an earlier run, left when Windows ended its session, "
                           : "The job list of an earlier run that did not end normally ";
    text += content.complete ? "holds " : "could be read only in part: ";
    text += counted(content.lines.size(), "line", "lines");
    text += '.';
    if (content.too_long > 0) {
        const std::string longer = "longer than " + grouped(kMaxControlText) + " characters";
        text += ' ';
        text += counted(content.too_long, "line " + longer + " is", "lines " + longer + " are");
        text += " left out.";
    }
    const auto shutdown = std::find_if(content.lines.begin(), content.lines.end(), is_shutdown_line);
    if (shutdown != content.lines.end())
        text += " It holds a shutdown line (\"" + *shutdown +
                "\"): a batch made from it switches the computer off when it gets there.";
    text += content.lines.size() == 1 ? " Put it back into the job list?" : " Put them back into the job list?";
    return text;
}

std::string earlier_list_in(const std::string& path) { return "The job list of an earlier run in \"" + path + "\""; }

// The copies one start takes, and what it tells the user of them.
class Recovery {
public:
    Recovery(Context& ctx, JobListCopy& copy) : ctx_(ctx), copy_(copy) {}

    void run() {
        Platform& platform = ctx_.platform;
        own_ = platform.instance_tag();
        // Without telling instances apart no copy can be told from a
        // running window's.
        if (own_.empty()) return;
        computer_ = computer_in_names(platform.computer_name());
        copy_.keep_in(ctx_.program_folder + job_list_copy_name(own_, platform.computer_name()));

        std::vector<CopyFile> offered;
        for (const std::string& name : platform.list_files(ctx_.program_folder, std::string(kPrefix) + "*")) {
            const auto file = parse_copy_name(name);
            if (!file || (!file->computer.empty() && file->computer != computer_)) continue;
            if (file->state == CopyFile::State::Unfinished && left_by_ended_instance(file->tag))
                platform.delete_file(path_of(file->name));  // its instance ended while writing it
            if (is_offered(*file)) offered.push_back(*file);
        }
        // Tags sort in the order their instances started: the oldest first.
        std::sort(offered.begin(), offered.end(),
                  [](const CopyFile& a, const CopyFile& b) { return std::tie(a.tag, a.name) < std::tie(b.tag, b.name); });

        std::vector<Taken> taken;
        for (CopyFile& file : offered)
            if (auto claim = take(file)) taken.push_back(std::move(*claim));
        // A copy whose lines another copy took in holds nothing more.
        std::unordered_set<std::string> taken_in;
        for (const Taken& claim : taken)
            if (claim.content) taken_in.insert(claim.content->header.taken_in.begin(), claim.content->header.taken_in.end());
        for (Taken& claim : taken) {
            if (taken_in.count(claim.tag) > 0)
                ctx_.platform.delete_file(claim.path);
            else
                offer(claim);
        }
    }

private:
    // A copy this window took: renamed to show it, and what it read.
    struct Taken {
        std::string path;
        std::string base;
        std::string tag;
        std::optional<JobListCopyContent> content;  // nullopt: it could not be read now
    };

    std::string path_of(const std::string& name) const { return ctx_.program_folder + name; }
    bool left_by_ended_instance(const std::string& tag) const {
        return tag != own_ && !ctx_.platform.instance_running(tag);
    }
    bool is_offered(const CopyFile& file) const {
        switch (file.state) {
            case CopyFile::State::Kept:
                return left_by_ended_instance(file.tag);
            case CopyFile::State::Taken:
                return left_by_ended_instance(file.taker);
            default:
                return false;
        }
    }

    // Takes the copy by renaming it, so that no other window offers it.
    std::optional<Taken> take(const CopyFile& file) {
        Taken claim{path_of(file.base + std::string(kTakenBy) + own_), file.base, file.tag, std::nullopt};
        if (!ctx_.platform.move_file(path_of(file.name), claim.path)) {
            // Another window took it first, or it cannot be renamed: it stays.
            if (ctx_.platform.file_exists(path_of(file.name)))
                tell(earlier_list_in(path_of(file.name)) + " cannot be renamed, so it is not offered. It stays as it is.");
            return std::nullopt;
        }
        if (const auto bytes = ctx_.platform.read_file(claim.path)) claim.content = read_job_list_copy(*bytes);
        return claim;
    }

    void offer(const Taken& claim) {
        using Format = JobListCopyContent::Format;
        if (!claim.content) {
            // Taken by this window, it is offered again once this window has ended.
            tell(earlier_list_in(claim.path) + " could not be read now. It is kept and offered again at the next start.");
            return;
        }
        const JobListCopyContent& content = *claim.content;
        if (content.format == Format::Unknown) {
            const std::string kept = path_of(claim.base + std::string(kKept));
            if (ctx_.platform.move_file(claim.path, kept))
                tell(earlier_list_in(claim.path) + " is in a form this version of the program does not know. It is "
                                                   "kept as \"" + kept + "\" for a later version.");
            else
                tell(earlier_list_in(claim.path) + " is in a form this version of the program does not know. It is "
                                                   "kept and offered again at the next start.");
            return;
        }
        if (content.lines.empty()) {
            // A whole copy of an empty list has nothing to offer.
            if (!content.complete || content.too_long > 0)
                tell("The job list of an earlier run that did not end normally could not be read from \"" + claim.path +
                     "\". The file is deleted.");
            retire(claim);
            return;
        }
        if (!ctx_.platform.ask_yes_no(std::string(kWindowTitle), offer_text(content))) {
            retire(claim);
            return;
        }
        copy_.append_items(ctl::JobList, content.lines);
        copy_.take_in(claim.tag);
        // Once this window's copy says it took the lines in, the old copy
        // holds nothing more: a crash from here on offers them once.
        if (copy_.write_now())
            retire(claim);
        else
            copy_.retire_after_next_write(claim.path);
    }

    // An answered copy goes; one that cannot be deleted is renamed so that
    // it does not come back.
    void retire(const Taken& claim) {
        if (ctx_.platform.delete_file(claim.path)) return;
        const std::string answered = path_of(claim.base + std::string(kAnswered));
        if (ctx_.platform.move_file(claim.path, answered))
            tell(earlier_list_in(claim.path) + " could not be deleted. It is kept as \"" + answered +
                 "\" and not offered again.");
        else
            tell(earlier_list_in(claim.path) + " could not be deleted or renamed; it is offered again at the next "
                                               "start. Delete it by hand if it is no longer needed.");
    }

    void tell(const std::string& text) { ctx_.platform.message_box(std::string(kWindowTitle), text); }

    Context& ctx_;
    JobListCopy& copy_;
    std::string own_;
    std::string computer_;
};

}  // namespace

std::string job_list_copy_name(const std::string& instance_tag, const std::string& computer_name) {
    const std::string computer = computer_in_names(computer_name);
    return std::string(kPrefix) + instance_tag + (computer.empty() ? "" : std::string(kComputerMark) + computer) +
           std::string(kSuffix);
}

void recover_job_lists(Context& ctx, JobListCopy& copy) {
    Recovery(ctx, copy).run();
    copy.probe();
}

void report_copy_failure(Context& ctx, JobListCopy& copy) {
    const auto path = copy.take_write_failure();
    if (!path) return;
    ctx.platform.message_box(std::string(kWindowTitle),
                             "No copy of the job list can be written in \"" + folder_part(*path) +
                                 "\", so after a crash or a power loss the job list cannot be put back. The "
                                 "program goes on without it.");
}

}  // namespace tav
