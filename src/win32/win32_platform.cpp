#include "win32/win32_platform.h"

#include <objbase.h>

#include <algorithm>
#include <cstdio>
#include <limits>

#include "common/paths.h"
#include "win32/batch_process.h"
#include "win32/code_pages.h"
#include "win32/file_dialogs.h"
#include "win32/handle.h"
#include "win32/input_box.h"
#include "win32/media_query.h"
#include "win32/program_output.h"

namespace tav {

namespace {

// Largest piece handed to one WriteFile/ReadFile call.
constexpr std::size_t kChunkBytes = std::size_t{1} << 24;

bool write_all(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        const auto piece = static_cast<DWORD>(std::min(bytes.size(), kChunkBytes));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data(), piece, &written, nullptr) || written == 0) return false;
        bytes.remove_prefix(written);
    }
    return true;
}

// Writes the bytes into a file opened with the given disposition; true only
// when every byte went out (onto the disk itself with `through`, not only
// into the system's cache) and the file closed cleanly.
bool write_with(const std::string& path, std::string_view bytes, DWORD disposition, bool through = false) {
    Handle file(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, disposition,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    const bool written = write_all(file.get(), bytes) && (!through || FlushFileBuffers(file.get()));
    return file.close() && written;
}

std::string module_folder() {
    std::string path(MAX_PATH, '\0');
    for (;;) {
        const DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return ".\\";
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);  // truncated: long path
    }
    std::string folder = folder_part(path);
    if (folder.empty()) folder = ".\\";
    return folder;
}

char lower_ascii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

bool matches_wildcard(std::string_view pattern, std::string_view name) {
    // Greedy match with one back-track point for the last '*'.
    std::size_t p = 0, n = 0;
    std::size_t star = std::string_view::npos, star_name = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || lower_ascii(pattern[p]) == lower_ascii(name[n]))) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            star_name = n;
        } else if (star != std::string_view::npos) {
            p = star + 1;
            n = ++star_name;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

Win32Platform::Win32Platform() : program_folder_(module_folder()) {}

void Win32Platform::set_owner(HWND owner) { owner_ = owner; }

std::string Win32Platform::program_folder() const { return program_folder_; }

std::optional<std::string> Win32Platform::open_file_dialog(const FileDialog& dialog) {
    ensure_com();
    return show_open_file_dialog(owner_, dialog);
}

std::optional<std::vector<std::string>> Win32Platform::open_files_dialog(const FileDialog& dialog) {
    ensure_com();
    return show_open_files_dialog(owner_, dialog);
}

std::optional<std::string> Win32Platform::save_file_dialog(const FileDialog& dialog) {
    ensure_com();
    return show_save_file_dialog(owner_, dialog);
}

std::optional<std::string> Win32Platform::folder_dialog(const std::string& title, const std::string& start_folder) {
    ensure_com();
    return show_folder_dialog(owner_, title, start_folder);
}

void Win32Platform::message_box(const std::string& title, const std::string& text) {
    MessageBoxA(owner_, text.c_str(), title.c_str(), MB_OK);
}

bool Win32Platform::ask_yes_no(const std::string& title, const std::string& text) {
    return MessageBoxA(owner_, text.c_str(), title.c_str(), MB_YESNO) == IDYES;
}

std::optional<std::string> Win32Platform::input_box(const std::string& title, const std::string& prompt,
                                                    const std::string& initial) {
    return show_input_box(owner_, title, prompt, initial);
}

std::optional<std::string> Win32Platform::read_file(const std::string& path) {
    Handle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return std::nullopt;
    LARGE_INTEGER size{};
    std::string content;
    if (GetFileSizeEx(file.get(), &size) && size.QuadPart > 0 &&
        static_cast<unsigned long long>(size.QuadPart) < std::numeric_limits<std::size_t>::max() / 2)
        content.reserve(static_cast<std::size_t>(size.QuadPart));
    // Read to the end rather than trusting the size: the file may grow.
    std::string piece(64 * 1024, '\0');
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file.get(), piece.data(), static_cast<DWORD>(piece.size()), &got, nullptr))
            return std::nullopt;
        if (got == 0) break;
        content.append(piece.data(), got);
    }
    return content;
}

bool Win32Platform::write_file(const std::string& path, std::string_view bytes) {
    return write_with(path, bytes, CREATE_ALWAYS);
}

bool Win32Platform::write_file_start(const std::string& path, std::string_view bytes) {
    return write_with(path, bytes, OPEN_ALWAYS);
}

bool Win32Platform::replace_file(const std::string& from, const std::string& to) {
    // A read-only file is the user's "keep this": Windows refuses to move
    // over it, and so does the program wherever the system would allow it.
    const DWORD target = GetFileAttributesA(to.c_str());
    if (target != INVALID_FILE_ATTRIBUTES && (target & FILE_ATTRIBUTE_READONLY)) return false;
    return MoveFileExA(from.c_str(), to.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH | MOVEFILE_COPY_ALLOWED) != 0;
}

bool Win32Platform::move_file(const std::string& from, const std::string& to) {
    // Without MOVEFILE_REPLACE_EXISTING: of two processes renaming one file,
    // one succeeds and the other finds it gone.
    return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH) != 0;
}

bool Win32Platform::delete_file(const std::string& path) { return DeleteFileA(path.c_str()) != 0; }

bool Win32Platform::file_exists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32Platform::folder_exists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void Win32Platform::create_folder(const std::string& path) { CreateDirectoryA(path.c_str(), nullptr); }

std::vector<std::string> Win32Platform::list_files(const std::string& folder, const std::string& pattern) {
    const std::string query = with_trailing_separator(folder) + pattern;

    // Listed in wide text: the ANSI listing would give a look-alike for a
    // character the code page lacks, naming another file or none.
    const std::string name_pattern = file_name(pattern);
    std::vector<std::string> names;
    WIN32_FIND_DATAW entry{};
    HANDLE listing = FindFirstFileW(wide_from_ansi(query).c_str(), &entry);
    if (listing == INVALID_HANDLE_VALUE) return names;
    do {
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        std::string name = ansi_from_wide(entry.cFileName);
        if (matches_wildcard(name_pattern, name)) names.push_back(std::move(name));
    } while (FindNextFileW(listing, &entry));
    FindClose(listing);
    return names;
}

BatchStart Win32Platform::start_batch(const std::string& batch_path, const std::string& working_dir) {
    HANDLE process = nullptr;
    const BatchStart started = start_batch_process(batch_path, working_dir, &process);
    started_batch_.reset(process);
    started_batch_id_ = started.process_id.value_or(0);
    return started;
}

bool Win32Platform::process_ended(std::uint32_t process_id) {
    if (!started_batch_ || process_id != started_batch_id_) return false;
    return WaitForSingleObject(started_batch_.get(), 0) == WAIT_OBJECT_0;
}

void Win32Platform::sleep_ms(unsigned milliseconds) { Sleep(milliseconds); }

bool Win32Platform::set_idle_priority(std::uint32_t process_id) { return set_process_idle(process_id); }

std::optional<MediaLength> Win32Platform::media_length(const std::string& path) {
    ensure_com();
    return directshow_media_length(path);
}

namespace {

// The mark is seen by every session of the machine where the system allows
// that, else by this session; the system removes it when the last handle
// goes, that is when the process holding it ends.
constexpr const char* kMarkNamespaces[] = {"Global\\", "Local\\"};
std::string instance_mark_name(const char* name_space, const std::string& tag) {
    return std::string(name_space) + "tavrelion-instance-" + tag;
}

bool is_instance_tag(const std::string& tag) {
    return !tag.empty() && tag.size() <= 40 &&
           tag.find_first_not_of("0123456789abcdef-") == std::string::npos;
}

}  // namespace

std::string Win32Platform::instance_tag() {
    if (!instance_tag_.empty()) return instance_tag_;
    FILETIME created{}, ended{}, kernel{}, user{};
    if (!GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &user))
        GetSystemTimeAsFileTime(&created);
    char tag[40];
    std::snprintf(tag, sizeof tag, "%08lx%08lx-%08lx", static_cast<unsigned long>(created.dwHighDateTime),
                  static_cast<unsigned long>(created.dwLowDateTime),
                  static_cast<unsigned long>(GetCurrentProcessId()));
    // Without its mark the tag would show this process as ended.
    for (const char* name_space : kMarkNamespaces) {
        instance_mark_ = CreateMutexA(nullptr, FALSE, instance_mark_name(name_space, tag).c_str());
        if (instance_mark_) break;
    }
    if (instance_mark_) instance_tag_ = tag;
    return instance_tag_;
}

std::string Win32Platform::computer_name() {
    char name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = sizeof name;
    return GetComputerNameA(name, &size) ? std::string(name, size) : std::string();
}

bool Win32Platform::instance_running(const std::string& tag) {
    if (!is_instance_tag(tag)) return true;  // not one of ours: cannot be told
    if (tag == instance_tag_) return true;
    for (const char* name_space : kMarkNamespaces) {
        HANDLE mark = OpenMutexA(SYNCHRONIZE, FALSE, instance_mark_name(name_space, tag).c_str());
        if (mark) {
            CloseHandle(mark);
            return true;
        }
        // Only a mark that is not there shows the process ended; one that
        // is there but may not be opened belongs to a running process.
        if (GetLastError() != ERROR_FILE_NOT_FOUND) return true;
    }
    return false;
}

bool Win32Platform::write_file_through(const std::string& path, std::string_view bytes) {
    return write_with(path, bytes, CREATE_ALWAYS, true);
}

void Win32Platform::ensure_com() {
    if (com_ready_) return;
    com_ready_ = SUCCEEDED(CoInitialize(nullptr));
}

Win32Platform::~Win32Platform() {
    if (instance_mark_) CloseHandle(instance_mark_);
    if (com_ready_) CoUninitialize();
}

std::optional<FileStamp> Win32Platform::file_stamp(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return std::nullopt;
    FileStamp stamp;
    stamp.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    stamp.time = static_cast<std::int64_t>((static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                                           data.ftLastWriteTime.dwLowDateTime);
    return stamp;
}

std::string Win32Platform::environment_variable(const std::string& name) {
    std::string value(256, '\0');
    for (;;) {
        const DWORD length = GetEnvironmentVariableA(name.c_str(), value.data(), static_cast<DWORD>(value.size()));
        if (length == 0) return {};
        if (length < value.size()) {
            value.resize(length);
            return value;
        }
        value.resize(length);  // too small: length counts the end mark
    }
}

ProgramOutput Win32Platform::program_output(const std::string& program, const std::string& argument,
                                            std::chrono::milliseconds limit, std::stop_token stop) {
    return run_for_output(program, argument, limit, stop);
}

std::optional<std::string> Win32Platform::console_text(std::string_view ansi_text) {
    return console_from_ansi(ansi_text);
}

}  // namespace tav
