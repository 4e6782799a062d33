// Everything the program needs from the operating system besides the
// window's controls: dialogs and boxes, files and folders, starting the
// batch, and measuring a media file. The Win32 front end implements it;
// tests use a fake with an in-memory file system.
//
// Paths are the program's own single-byte (ANSI) texts with Windows
// separators; a relative path is taken against the current directory.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <stop_token>
#include <string_view>
#include <vector>

namespace tav {

struct FileDialog {
    std::string title;
    std::string default_name;
    // Pairs of label and pattern separated by '|', e.g. "AVS(*.avs)|*.AVS|Other Media|*.*".
    // The first pair is preselected.
    std::string filter;
};

struct MediaLength {
    std::int64_t frames = 0;      // frame count of the video
    std::int64_t whole_rate = 0;  // whole frames per second, truncated
};

struct BatchStart {
    bool started = false;
    // Set when the process was started directly and its id is known; the
    // shell fallback starts it without giving an id back.
    std::optional<std::uint32_t> process_id;
};

// Size and last write time of a file, to tell when it was replaced.
struct FileStamp {
    std::uint64_t size = 0;
    std::int64_t time = 0;  // in the platform's own units
    friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

// What a program wrote while it ran.
struct ProgramOutput {
    bool finished = false;  // it was started and ended by itself within the time given
    std::string output;     // its output and error streams together, up to a bound
};

class Platform {
public:
    virtual ~Platform() = default;

    // The folder of the program's executable, always ending with '\'.
    virtual std::string program_folder() const = 0;

    // Dialogs and boxes. A dialog returns nullopt when cancelled. A file or
    // folder name it returns holds '?' for each character that the ANSI code
    // page lacks (never a look-alike character); '?' is never part of a real
    // file name.
    virtual std::optional<std::string> open_file_dialog(const FileDialog& dialog) = 0;
    // Multiple selection: full paths in the dialog's order.
    virtual std::optional<std::vector<std::string>> open_files_dialog(const FileDialog& dialog) = 0;
    // Never appends an extension and never asks before replacing a file.
    virtual std::optional<std::string> save_file_dialog(const FileDialog& dialog) = 0;
    // Returns a folder path ending with '\'.
    virtual std::optional<std::string> folder_dialog(const std::string& title,
                                                     const std::string& start_folder) = 0;
    virtual void message_box(const std::string& title, const std::string& text) = 0;
    // true on Yes.
    virtual bool ask_yes_no(const std::string& title, const std::string& text) = 0;
    // The small modal "Edit" box: prompt above one prefilled field and an OK
    // button. nullopt when closed with Escape or the close box.
    virtual std::optional<std::string> input_box(const std::string& title, const std::string& prompt,
                                                 const std::string& initial) = 0;

    // Files and folders.
    virtual std::optional<std::string> read_file(const std::string& path) = 0;
    // Creates or replaces the file with exactly these bytes; false when the
    // file could not be created or not every byte was written.
    virtual bool write_file(const std::string& path, std::string_view bytes) = 0;
    // Opens or creates the file without emptying it and writes the bytes at
    // its start.
    virtual bool write_file_start(const std::string& path, std::string_view bytes) = 0;
    // Moves `from` over `to`, replacing `to` when it exists.
    virtual bool replace_file(const std::string& from, const std::string& to) = 0;
    // Renames `from` to `to` in one step; false when `from` is not there
    // (another process took it) or `to` is, or it cannot be renamed.
    virtual bool move_file(const std::string& from, const std::string& to) = 0;
    virtual bool delete_file(const std::string& path) = 0;
    virtual bool file_exists(const std::string& path) = 0;
    // True for a folder (given with or without a trailing '\'), false for a
    // file or nothing.
    virtual bool folder_exists(const std::string& path) = 0;
    // Creates one folder; an existing folder or a failure is passed over.
    virtual void create_folder(const std::string& path) = 0;
    // Names (without folder) of the files, not folders, in `folder` (given
    // with or without a trailing '\') that match the wildcard pattern, in the
    // order the directory listing returns them. Empty when it cannot be listed.
    // As in a dialog's answer, a name holds '?' for each character that the
    // ANSI code page lacks.
    virtual std::vector<std::string> list_files(const std::string& folder,
                                                const std::string& pattern) = 0;

    // Processes.
    // Starts the batch file in a console window of its own with the given
    // working directory, without waiting; falls back to the shell's "open".
    virtual BatchStart start_batch(const std::string& batch_path, const std::string& working_dir) = 0;
    virtual void sleep_ms(unsigned milliseconds) = 0;
    // Sets the process to the idle priority class; false on any failure.
    virtual bool set_idle_priority(std::uint32_t process_id) = 0;
    // True once the batch started as this process has ended; false while it
    // runs, and when that cannot be told.
    virtual bool process_ended(std::uint32_t /*process_id*/) { return false; }

    // Media: nullopt when the file cannot be opened as media.
    virtual std::optional<MediaLength> media_length(const std::string& path) = 0;

    // Running instances of the program, for the files one instance keeps
    // while it runs. A tag names this process apart from every other process
    // of the machine, running or ended, and tags sort as texts in the order
    // their processes started. From the first call on, the tag shows this
    // process as running until it ends, however it ends. Empty when the
    // platform cannot tell instances apart.
    virtual std::string instance_tag() { return {}; }
    // True while the process given `tag` runs; true also when that cannot
    // be told, so a file of a running instance is never taken for left over.
    virtual bool instance_running(const std::string& /*tag*/) { return true; }
    // This computer's name, for the files a program folder shared by
    // several computers holds; empty when it cannot be told.
    virtual std::string computer_name() { return {}; }
    // Like write_file, and true only once the bytes are on the disk itself,
    // not only in the system's cache, so that a power loss keeps them.
    virtual bool write_file_through(const std::string& path, std::string_view bytes) {
        return write_file(path, bytes);
    }
    // The file operations (read_file to list_files, write_file_through) may
    // also be called from another thread of the program, at the same time as
    // the window's.

    // Asking a program about itself. Safe to call from a thread other than
    // the window's. The defaults find nothing and run nothing.
    // nullopt when there is no such file (a folder included).
    virtual std::optional<FileStamp> file_stamp(const std::string& /*path*/) { return std::nullopt; }
    // The program's own environment variable; empty when it is not set.
    virtual std::string environment_variable(const std::string& /*name*/) { return {}; }
    // Runs the program with one argument, without a window, in its own folder
    // and with no more of the environment than a program needs to start, and
    // returns what it wrote. It is ended, with whatever it started, once it
    // runs longer than `limit` or `stop` is requested.
    virtual ProgramOutput program_output(const std::string& /*program*/, const std::string& /*argument*/,
                                         std::chrono::milliseconds /*limit*/, std::stop_token /*stop*/) {
        return {};
    }

    // Batch files: the command interpreter reads them in the console's (OEM)
    // code page. Returns the ANSI text in that code page, or nullopt when a
    // character of it has no exact equivalent there (never a look-alike).
    // Without code pages of its own a platform carries plain ASCII only.
    virtual std::optional<std::string> console_text(std::string_view ansi_text) {
        for (char c : ansi_text)
            if (static_cast<unsigned char>(c) >= 0x80) return std::nullopt;
        return std::string(ansi_text);
    }
};

}  // namespace tav
