// The platform of the Windows build: common dialogs, boxes, files, the batch
// start and the media query, over the ANSI Win32 calls.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "model/platform.h"
#include "win32/handle.h"

namespace tav {

// True when the name matches the wildcard pattern ('*' any run, '?' any one
// character), ignoring the case of ASCII letters. Listings check long names
// with it, since the system's own matching also looks at the short 8.3 names
// ("*.ini" would otherwise find "old.ini_bak", whose short name is
// "OLDINI~1.INI").
bool matches_wildcard(std::string_view pattern, std::string_view name);

class Win32Platform final : public Platform {
public:
    Win32Platform();
    // The window that owns every dialog and box; until it is set they have
    // no owner.
    void set_owner(HWND owner);

    std::string program_folder() const override;

    std::optional<std::string> open_file_dialog(const FileDialog& dialog) override;
    std::optional<std::vector<std::string>> open_files_dialog(const FileDialog& dialog) override;
    std::optional<std::string> save_file_dialog(const FileDialog& dialog) override;
    std::optional<std::string> folder_dialog(const std::string& title, const std::string& start_folder) override;
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
    bool folder_exists(const std::string& path) override;
    void create_folder(const std::string& path) override;
    std::vector<std::string> list_files(const std::string& folder, const std::string& pattern) override;

    BatchStart start_batch(const std::string& batch_path, const std::string& working_dir) override;
    void sleep_ms(unsigned milliseconds) override;
    bool set_idle_priority(std::uint32_t process_id) override;
    // Told for the batch started last.
    bool process_ended(std::uint32_t process_id) override;

    std::optional<MediaLength> media_length(const std::string& path) override;

    // The process's start time and id; a named mutex held for the life of
    // the process shows it running.
    std::string instance_tag() override;
    bool instance_running(const std::string& tag) override;
    std::string computer_name() override;
    bool write_file_through(const std::string& path, std::string_view bytes) override;
    ~Win32Platform() override;
    std::optional<FileStamp> file_stamp(const std::string& path) override;
    std::string environment_variable(const std::string& name) override;
    ProgramOutput program_output(const std::string& program, const std::string& argument,
                                 std::chrono::milliseconds limit, std::stop_token stop) override;

    std::optional<std::string> console_text(std::string_view ansi_text) override;

private:
    // COM on the window's thread, made ready when a dialog or the media
    // query first needs it (so that its library loads only then).
    void ensure_com();

    HWND owner_ = nullptr;
    bool com_ready_ = false;
    std::string program_folder_;
    std::string instance_tag_;
    HANDLE instance_mark_ = nullptr;
    // The batch started last, to tell when it has ended.
    Handle started_batch_;
    std::uint32_t started_batch_id_ = 0;
};

}  // namespace tav
