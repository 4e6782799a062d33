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

// What a copy says besides its lines.
struct JobListCopyHeader {
    // The run's Windows session ended while the window was open.
    bool session_ended = false;
    // The copies of earlier runs whose lines this list took in, by the
    // instance tags in their names: a copy of those left behind holds
    // nothing this one does not.
    std::vector<std::string> taken_in;
};

// The bytes of a copy holding these lines: a first line that names the file
// and its format, the header, the lines each ended by CR LF, and a last line
// with their count and a check sum, by which a copy cut short is told from
// a whole one.
std::string job_list_copy_text(const std::vector<std::string>& lines, const JobListCopyHeader& header = {});

// What can be read back from a copy.
struct JobListCopyContent {
    enum class Format {
        None,     // it does not begin as a copy does
        Known,    // a copy this version reads (or an earlier version's)
        Unknown,  // a copy of a later version
    };
    Format format = Format::None;
    bool recognised = false;  // a copy in a format this version reads
    bool complete = false;    // it ends as written: no line is missing
    JobListCopyHeader header;
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
    // After a failed write the next try comes after the interval (another
    // program may have held the file a moment), after further ones after
    // this (a full disk, a folder that cannot be written).
    static constexpr Clock::duration kRetryInterval = std::chrono::seconds(10);
    // Writes failing in a row before the user is told.
    static constexpr int kFailuresTold = 3;

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
    // From now on the copy says that the list took in the lines of the copy
    // of the instance `tag`.
    void take_in(const std::string& tag);
    // `path` (a copy of an earlier run whose lines were taken in) is deleted
    // once this window's copy holds them, or at discard.
    void retire_after_next_write(const std::string& path);
    // Tries whether a copy can be written in its folder; a failure counts
    // as a failed write.
    bool probe();
    // Writes the copy now, whatever the interval; false when it could not
    // be written.
    bool write_now();
    // The normal end: stops the writer and deletes the copy.
    void discard();
    // The Windows session ends: the copy is written as it stands, saying
    // so, and the writer stops; the copy stays for the next start.
    void end_with_session();

    // "Start" ran the list as it stands as a batch, the process `batch`
    // when its id is known.
    void note_batch_started(std::optional<std::uint32_t> batch);
    // True when the list is finished work: run with "Start", unchanged
    // since, and that batch has ended.
    bool holds_finished_work();

    // The copy's path, the first time writes keep failing (or the probe
    // failed); reported once per run.
    std::optional<std::string> take_write_failure();

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
    // The job list's changes as followed.
    std::optional<std::uint64_t> item_changes(int id) const override;

private:
    // Applies a change of the job list to the followed lines.
    template <typename Change>
    void follow(Change&& change);
    bool change_waits() const;  // with mutex_ held
    // The writer thread starts with the first write it has to do.
    void start_writer();
    // Writes what the list holds; with writing_ held, mutex_ not.
    bool write(Clock::time_point now);
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
    JobListCopyHeader header_;
    std::vector<std::string> retired_;
    bool stop_ = false;
    bool in_background_ = false;
    int failures_in_a_row_ = 0;
    bool write_failed_ = false;  // so that the user is to be told
    bool failure_reported_ = false;
    // The last "Start": the list's version then, and its batch.
    std::optional<std::uint64_t> started_version_;
    std::optional<std::uint32_t> started_batch_;
    std::thread writer_;
};

}  // namespace tav
