#include "support/fake_platform.h"

#include <algorithm>
#include <cctype>
#include <iterator>
#include <utility>

namespace tav::test {
namespace {

template <typename T>
T pop_or(std::deque<T>& q, T fallback) {
    if (q.empty()) return fallback;
    T v = std::move(q.front());
    q.pop_front();
    return v;
}

char lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

}  // namespace

bool wildcard_match(const std::string& pattern, const std::string& name) {
    // Iterative match with backtracking on the last '*'.
    size_t p = 0, n = 0, star = std::string::npos, mark = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || lower(pattern[p]) == lower(name[n]))) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            mark = n;
        } else if (star != std::string::npos) {
            p = star + 1;
            n = ++mark;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

std::optional<std::string> FakePlatform::open_file_dialog(const FileDialog& d) {
    asked.push_back({"open", d.title, d.default_name, d.filter});
    return pop_or(open_answers, std::optional<std::string>{});
}

std::optional<std::vector<std::string>> FakePlatform::open_files_dialog(const FileDialog& d) {
    asked.push_back({"open-many", d.title, d.default_name, d.filter});
    return pop_or(open_many_answers, std::optional<std::vector<std::string>>{});
}

std::optional<std::string> FakePlatform::save_file_dialog(const FileDialog& d) {
    asked.push_back({"save", d.title, d.default_name, d.filter});
    return pop_or(save_answers, std::optional<std::string>{});
}

std::optional<std::string> FakePlatform::folder_dialog(const std::string& title, const std::string& start) {
    asked.push_back({"folder", title, start, ""});
    return pop_or(folder_answers, std::optional<std::string>{});
}

void FakePlatform::message_box(const std::string& title, const std::string& text) {
    asked.push_back({"message", title, text, ""});
}

bool FakePlatform::ask_yes_no(const std::string& title, const std::string& text) {
    asked.push_back({"yes-no", title, text, ""});
    return pop_or(yes_no_answers, false);
}

std::optional<std::string> FakePlatform::input_box(const std::string& title, const std::string& prompt,
                                                   const std::string& initial) {
    asked.push_back({"input", title, prompt, initial});
    return pop_or(input_answers, std::optional<std::string>{});
}

std::optional<std::string> FakePlatform::read_file(const std::string& path) {
    ++file_reads;
    auto it = files.find(path);
    if (it == files.end()) return std::nullopt;
    return it->second;
}

bool FakePlatform::writable(const std::string& path) const {
    for (const auto& u : unwritable) {
        if (path == u) return false;
        if (!u.empty() && u.back() == '\\' && path.compare(0, u.size(), u) == 0) return false;
    }
    return true;
}

bool FakePlatform::write_file(const std::string& path, std::string_view bytes) {
    if (!writable(path)) return false;
    if (short_write) {
        files[path] = std::string(bytes.substr(0, *short_write));
        return false;
    }
    files[path] = std::string(bytes);
    return true;
}

bool FakePlatform::write_file_start(const std::string& path, std::string_view bytes) {
    if (!writable(path)) return false;
    std::string& f = files[path];
    if (f.size() < bytes.size()) f.resize(bytes.size());
    f.replace(0, bytes.size(), bytes);
    return true;
}

bool FakePlatform::replace_file(const std::string& from, const std::string& to) {
    auto it = files.find(from);
    if (it == files.end() || !writable(to)) return false;
    files[to] = it->second;
    files.erase(from);
    return true;
}

bool FakePlatform::move_file(const std::string& from, const std::string& to) {
    auto it = files.find(from);
    if (it == files.end() || files.count(to) > 0 || !writable(to)) return false;
    std::string content = std::move(it->second);
    files.erase(it);
    files[to] = std::move(content);
    if (undeletable.erase(from) > 0) undeletable.insert(to);
    return true;
}

bool FakePlatform::delete_file(const std::string& path) {
    if (undeletable.count(path) > 0) return false;
    return files.erase(path) > 0;
}

bool FakePlatform::file_exists(const std::string& path) { return files.count(path) > 0; }

bool FakePlatform::folder_exists(const std::string& path) {
    if (path.empty()) return false;
    // Everything in the folder begins with this text. A created folder
    // stands for itself and the folders above it, a file for those above it.
    const std::string inside = path.back() == '\\' ? path : path + '\\';
    const auto within = [&](const std::string& name) {
        if (name.size() < inside.size()) return false;
        for (size_t i = 0; i < inside.size(); ++i)
            if (lower(name[i]) != lower(inside[i])) return false;
        return true;
    };
    return std::any_of(folders.begin(), folders.end(),
                       [&](const std::string& f) { return !f.empty() && within(f.back() == '\\' ? f : f + '\\'); }) ||
           std::any_of(files.begin(), files.end(), [&](const auto& file) { return within(file.first); });
}

void FakePlatform::create_folder(const std::string& path) { folders.insert(path); }

std::vector<std::string> FakePlatform::list_files(const std::string& folder, const std::string& pattern) {
    ++folder_listings;
    std::string prefix = folder;
    if (!prefix.empty() && prefix.back() != '\\') prefix += '\\';
    std::vector<std::string> names;
    for (const auto& [path, content] : files) {
        if (path.size() <= prefix.size()) continue;
        // Folder names compare without regard to letter case, as on Windows.
        bool same = true;
        for (size_t i = 0; i < prefix.size() && same; ++i) same = lower(path[i]) == lower(prefix[i]);
        if (!same) continue;
        const std::string name = path.substr(prefix.size());
        if (name.find('\\') != std::string::npos) continue;
        if (wildcard_match(pattern, name)) names.push_back(name);
    }
    return names;
}

BatchStart FakePlatform::start_batch(const std::string& path, const std::string& working_dir) {
    if (start_fails) return {};
    auto it = files.find(path);
    started.push_back({path, working_dir, it == files.end() ? std::string() : it->second});
    if (start_without_pid) return {true, std::nullopt};
    return {true, static_cast<std::uint32_t>(1000 + started.size())};
}

bool FakePlatform::set_idle_priority(std::uint32_t pid) {
    idled.push_back(pid);
    return true;
}

std::optional<MediaLength> FakePlatform::media_length(const std::string& path) {
    ++media_queries;
    auto it = media.find(path);
    if (it == media.end()) return std::nullopt;
    return it->second;
}

std::optional<std::string> FakePlatform::console_text(std::string_view ansi_text) {
    ++console_conversions;
    // Code page 1252 byte -> code page 437 byte.
    static constexpr std::pair<unsigned char, unsigned char> kAccented[] = {
        {0xE9, 0x82},  // e acute
        {0xE8, 0x8A},  // e grave
        {0xEB, 0x89},  // e diaeresis
        {0xC9, 0x90},  // E acute
        {0xFC, 0x81},  // u diaeresis
        {0xE7, 0x87},  // c cedilla
    };
    std::string console;
    console.reserve(ansi_text.size());
    for (char c : ansi_text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            console += c;
            continue;
        }
        const auto* found = std::find_if(std::begin(kAccented), std::end(kAccented),
                                         [&](const auto& pair) { return pair.first == byte; });
        if (found == std::end(kAccented)) return std::nullopt;
        console += static_cast<char>(found->second);
    }
    return console;
}

std::vector<std::string> FakePlatform::messages() const {
    std::vector<std::string> out;
    for (const auto& a : asked)
        if (a.kind == "message") out.push_back(a.text);
    return out;
}

// The programs the encoder question finds and runs.

void FakePlatform::put_program(const std::string& path, FakeProgram program) {
    std::lock_guard lock(programs_mutex_);
    programs_[path] = std::move(program);
}

void FakePlatform::remove_program(const std::string& path) {
    std::lock_guard lock(programs_mutex_);
    programs_.erase(path);
}

std::vector<std::string> FakePlatform::program_runs() const {
    std::lock_guard lock(programs_mutex_);
    return program_runs_;
}

int FakePlatform::programs_running() const {
    std::lock_guard lock(programs_mutex_);
    return programs_running_;
}

std::optional<FileStamp> FakePlatform::file_stamp(const std::string& path) {
    std::lock_guard lock(programs_mutex_);
    const auto found = programs_.find(path);
    if (found == programs_.end()) return std::nullopt;
    return found->second.stamp;
}

void FakePlatform::set_search_path(std::string path) {
    std::lock_guard lock(programs_mutex_);
    search_path_ = std::move(path);
}

std::string FakePlatform::environment_variable(const std::string& name) {
    std::lock_guard lock(programs_mutex_);
    return name == "PATH" ? search_path_ : std::string();
}

ProgramOutput FakePlatform::program_output(const std::string& program, const std::string& argument,
                                           std::chrono::milliseconds limit, std::stop_token stop) {
    std::unique_lock lock(programs_mutex_);
    program_runs_.push_back(program + " " + argument);
    const auto found = programs_.find(program);
    if (found == programs_.end() || found->second.cannot_start) return {};
    const FakeProgram run = found->second;
    ++programs_running_;
    const bool hangs = run.hangs || run.delay >= limit;
    const auto wait = hangs ? limit : run.delay;
    // Until the time is up, or the run is stopped.
    programs_changed_.wait_for(lock, stop, wait, [] { return false; });
    --programs_running_;
    if (hangs || stop.stop_requested()) return {};
    const auto answer = run.answers.find(argument);
    return {true, answer == run.answers.end() ? std::string() : answer->second};
}

}  // namespace tav::test
