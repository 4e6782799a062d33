// The job list's copy on disk, kept while the window runs so that a run that
// does not end normally (a crash, a power loss, a forced restart) loses at
// most the last second of its job list.
//
// JobListCopy stands between the program and the window's controls: every
// call goes on to the window, and the job list's lines are followed as the
// program writes them, so the list is never read back from the window. A
// writer thread puts the followed lines into a file at most once per
// interval after a change: a new file moved over the old one, so a crash at
// any moment leaves the old copy or the new one, never half a file. The
// window never waits for the disk; a copy that cannot be written is tried
// again later and never stops the list.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "model/forwarding_surface.h"
#include "model/platform.h"

namespace tav {

// Added to the copy's name while a new copy is written.
inline constexpr std::string_view kUnfinishedCopySuffix = ".new";

// The bytes of a copy holding these lines: a first line that names the
// file, the lines each ended by CR LF, and a last line with their count, by
// which a copy cut short is told from a whole one.
std::string job_list_copy_text(const std::vector<std::string>& lines);

// What can be read back from a copy.
struct JobListCopyContent {
    bool recognised = false;  // it begins as a copy does
    bool complete = false;    // it ends as written: no line is missing
    // The lines that can go back into the list, in their order.
    std::vector<std::string> lines;
    // Lines left out: longer than a control is given (kMaxControlText).
    std::size_t too_long = 0;
};

// Reads a copy. A copy cut short gives the lines before the cut; a line
// holding a NUL byte (a file the system did not finish) ends what can be
// read.
JobListCopyContent read_job_list_copy(std::string_view bytes);

class JobListCopy final : public ForwardingSurface {
public:
    using Clock = std::chrono::steady_clock;
    // The least time between two writes of the copy.
    static constexpr Clock::duration kInterval = std::chrono::seconds(1);
    // After a failed write (a full disk, a folder that cannot be written).
    static constexpr Clock::duration kRetryInterval = std::chrono::seconds(10);

    enum class Writing {
        InBackground,  // a thread of its own writes the copy
        WhenAsked,     // only write_if_due writes it (tests)
    };

    JobListCopy(ControlSurface& window, Platform& platform, Writing writing);
    // Stops the writer; the copy stays, as after a crash.
    ~JobListCopy() override;
    JobListCopy(const JobListCopy&) = delete;
    JobListCopy& operator=(const JobListCopy&) = delete;

    // From now on keeps the copy in `path`. Until then changes are only
    // followed.
    void keep_in(const std::string& path);
    // `path` (the copy of an earlier run whose lines were taken back) is
    // deleted once this window's copy holds them, or at discard.
    void retire_after_next_write(const std::string& path);
    // The normal end: stops the writer, deletes the copy and what waits to
    // be retired.
    void discard();

    // One step of the writer at `now`: writes the copy when a change waits
    // and the interval since the last write has passed. Returns when to ask
    // again; nullopt when only a change makes a write due.
    std::optional<Clock::time_point> write_if_due(Clock::time_point now);

    // The job list's lines as followed.
    std::vector<std::string> lines() const;

    // The job list's changes are followed on their way to the window.
    void insert_item(int id, int index, std::string_view text) override;
    void remove_item(int id, int index) override;
    void clear_items(int id) override;
    // The job list comes from the followed lines, which are cheaper to copy
    // than the window's list is to read.
    std::vector<std::string> items(int id) const override;
    void append_items(int id, const std::vector<std::string>& texts) override;

private:
    // Applies a change of the job list to the followed lines.
    template <typename Change>
    void follow(Change&& change);
    bool change_waits() const;  // with mutex_ held
    void run_writer();
    void stop_writer();

    Platform& platform_;

    std::mutex writing_;  // one write at a time
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::vector<std::string> lines_;
    std::uint64_t version_ = 0;          // counts the changes
    std::uint64_t written_version_ = 0;  // what the copy on disk holds
    Clock::time_point next_write_{};
    std::string path_;
    std::vector<std::string> retired_;
    bool stop_ = false;
    std::thread writer_;
};

}  // namespace tav
