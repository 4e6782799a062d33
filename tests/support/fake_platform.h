// A platform for unit tests: an in-memory file system keyed by path text,
// queued answers for dialogs and boxes, and a record of what was asked.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "model/platform.h"

namespace tav::test {

class FakePlatform : public Platform {
public:
    std::string folder = "C:\\prog\\";

    // Files by their exact path text. Relative paths stand for themselves
    // (the current directory is not modelled).
    std::map<std::string, std::string> files;
    int file_reads = 0, folder_listings = 0;  // calls, for costs per action
    std::set<std::string> folders;
    // Paths (or path prefixes ending with '\') where writes fail.
    std::set<std::string> unwritable;
    // When set, write_file writes only this many bytes and reports failure.
    std::optional<size_t> short_write;

    // Queued answers; an empty queue answers "cancelled" / No.
    std::deque<std::optional<std::string>> open_answers, save_answers, folder_answers, input_answers;
    std::deque<std::optional<std::vector<std::string>>> open_many_answers;
    std::deque<bool> yes_no_answers;

    struct Asked {
        std::string kind;  // "open", "open-many", "save", "folder", "message", "yes-no", "input"
        std::string title;
        std::string text;  // default name, prompt, message text or start folder
        std::string filter;
    };
    std::vector<Asked> asked;

    // Media lengths by path; other paths cannot be opened.
    std::map<std::string, MediaLength> media;
    int media_queries = 0;

    // Processes.
    struct Started {
        std::string path, working_dir;
        std::string content_at_start;
    };
    std::vector<Started> started;
    bool start_fails = false;
    bool start_without_pid = false;
    std::vector<std::uint32_t> idled;
    std::set<std::uint32_t> ended_batches;  // processes of started batches that have ended
    bool process_ended(std::uint32_t pid) override { return ended_batches.count(pid) > 0; }
    unsigned slept_ms = 0;

    std::string program_folder() const override { return folder; }
    std::optional<std::string> open_file_dialog(const FileDialog& d) override;
    std::optional<std::vector<std::string>> open_files_dialog(const FileDialog& d) override;
    std::optional<std::string> save_file_dialog(const FileDialog& d) override;
    std::optional<std::string> folder_dialog(const std::string& title, const std::string& start) override;
    void message_box(const std::string& title, const std::string& text) override;
    bool ask_yes_no(const std::string& title, const std::string& text) override;
    std::optional<std::string> input_box(const std::string& title, const std::string& prompt,
                                         const std::string& initial) override;
    std::optional<std::string> read_file(const std::string& path) override;
    bool write_file(const std::string& path, std::string_view bytes) override;
    bool write_file_start(const std::string& path, std::string_view bytes) override;
    bool replace_file(const std::string& from, const std::string& to) override;
    bool move_file(const std::string& from, const std::string& to) override;
    bool delete_file(const std::string& path) override;
    bool file_exists(const std::string& path) override;
    // A folder is one created, or one that holds a file; letter case aside.
    bool folder_exists(const std::string& path) override;
    void create_folder(const std::string& path) override;
    std::vector<std::string> list_files(const std::string& folder, const std::string& pattern) override;
    BatchStart start_batch(const std::string& path, const std::string& working_dir) override;
    void sleep_ms(unsigned ms) override { slept_ms += ms; }
    bool set_idle_priority(std::uint32_t pid) override;
    std::optional<MediaLength> media_length(const std::string& path) override;
    // A small model of code pages 1252 (ANSI) and 437 (console): ASCII, and
    // the few accented letters the tests use, which both have; every other
    // byte, e.g. '\x80' (the euro sign) or '\x9C' (oe), has no console form.
    std::optional<std::string> console_text(std::string_view ansi_text) override;
    int console_conversions = 0;  // calls, for costs per action

    bool writable(const std::string& path) const;
    // Messages shown with message_box, in order.
    std::vector<std::string> messages() const;

    // Instances: this one's tag, and the tags of other instances that run.
    std::string tag = "0000000000000002-1";
    std::set<std::string> running_tags;
    std::string instance_tag() override { return tag; }
    std::string computer = "Studio-PC";
    std::string computer_name() override { return computer; }
    // Files that can be renamed but not deleted (read-only on Windows).
    std::set<std::string> undeletable;
    bool instance_running(const std::string& t) override { return t == tag || running_tags.count(t) > 0; }

    // Programs the encoder question finds and runs, by their exact path
    // text. It runs them on a thread of its own: change them through these
    // calls only.
    struct FakeProgram {
        FileStamp stamp;
        std::map<std::string, std::string> answers;  // argument -> output; others print nothing
        std::chrono::milliseconds delay{0};          // answers after this long, unless stopped first
        bool hangs = false;                          // never answers: runs until ended
        bool cannot_start = false;                   // the file is there but does not run
    };
    void put_program(const std::string& path, FakeProgram program);
    void remove_program(const std::string& path);
    // "<path> <argument>" of every run, in order.
    std::vector<std::string> program_runs() const;
    // Runs that have not ended yet.
    int programs_running() const;
    void set_search_path(std::string path);  // the PATH variable
    std::optional<FileStamp> file_stamp(const std::string& path) override;
    std::string environment_variable(const std::string& name) override;
    ProgramOutput program_output(const std::string& program, const std::string& argument,
                                 std::chrono::milliseconds limit, std::stop_token stop) override;

private:
    mutable std::mutex programs_mutex_;
    std::condition_variable_any programs_changed_;
    std::map<std::string, FakeProgram> programs_;
    std::vector<std::string> program_runs_;
    int programs_running_ = 0;
    std::string search_path_;
};

// Case-insensitive wildcard match of '*' and '?', as a directory listing does.
bool wildcard_match(const std::string& pattern, const std::string& name);

}  // namespace tav::test
