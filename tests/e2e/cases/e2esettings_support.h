// Helpers for the settings-file cases: files on disk, the text a saved
// settings file must hold, a current directory of its own, and answering a
// dialog that opens before the main window shows.
#pragma once

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "check.h"
#include "driver.h"

namespace tav::e2e::settings_support {

namespace fs = std::filesystem;

// Key/value pairs in the order of a file.
using Pairs = std::vector<std::pair<std::string, std::string>>;

inline std::string read_bytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void write_bytes(const fs::path& path, std::string_view bytes) {
    std::error_code ignored;
    fs::create_directories(path.parent_path(), ignored);
    std::ofstream(path, std::ios::binary) << bytes;
}

// "key = value" lines, each ended by CR LF: the form the program writes.
inline std::string settings_text(const Pairs& pairs) {
    std::string text;
    for (const auto& [key, value] : pairs) text += key + " = " + value + "\r\n";
    return text;
}

// The same pairs with some values replaced; a key not in `pairs` is a
// mistake of the test itself.
inline Pairs with(Pairs pairs, const Pairs& changes) {
    for (const auto& [key, value] : changes) {
        const auto found = std::find_if(pairs.begin(), pairs.end(), [&](const auto& p) { return p.first == key; });
        if (found == pairs.end()) throw Abort("no settings key " + key);
        found->second = value;
    }
    return pairs;
}

// All 59 keys in the order a saved file holds them, with the values that
// the built-in defaults give (the 43 default pairs plus the fallbacks).
inline const Pairs& saved_defaults() {
    static const Pairs pairs = {
        {"upstat", "1"},    {"a1", "1"},      {"a2", "1"},       {"a3", "1"},        {"a4", "0"},
        {"a5", "1"},        {"a6", "1"},      {"cab", "1"},      {"mxref", "0"},     {"tre", "0"},
        {"fil", "1"},       {"bref", "0"},    {"bme", "0"},      {"ba", "1"},        {"bwb", "1"},
        {"mode", "1"},      {"dm", "0"},      {"m", "4"},        {"ms", "1"},        {"aud", "0"},
        {"ae", "1"},        {"apin", "0"},    {"muxer", "0"},    {"deb-a", "6"},     {"deb-b", "6"},
        {"fastpsk", "1"},   {"dctd", "1"},    {"crelog", "1"},   {"sizemode", "0"},  {"cqm", "flat"},
        {"aub", "64"},      {"fa", "0"},      {"mb", "2"},       {"bias", "0"},      {"fb", "0"},
        {"value", "26"},    {"range", "16"},  {"ref", "1"},      {"arx", "1"},       {"ary", "1"},
        {"thr", "1"},       {"nr", "0"},      {"kfb", "40"},     {"bfr", "30"},      {"vbr", "60"},
        {"minqp", "10"},    {"maxqp", "51"},  {"qps", "4"},      {"vbs", "0"},       {"vmb", "0"},
        {"vib", "0.9"},     {"bv", "100"},    {"sct", "40"},     {"mingop", "25"},   {"maxgop", "250"},
        {"auto1pcrf", "16"}, {"avsinc", ""},  {"maxsize", "110"}, {"minsize", "90"},
    };
    return pairs;
}

// Names of the regular files directly in `folder`, sorted: the program
// lists folders in directory order, which the file system chooses.
inline std::vector<std::string> sorted(std::vector<std::string> names) {
    std::sort(names.begin(), names.end());
    return names;
}

inline std::vector<std::string> files_in(const fs::path& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error))
        if (entry.is_regular_file()) names.push_back(entry.path().filename().string());
    return sorted(std::move(names));
}

// The copies of job lists the program keeps in `folder`, by name.
inline std::vector<std::string> copies_in(const fs::path& folder) {
    std::vector<std::string> names;
    for (std::string& name : files_in(folder))
        if (name.rfind("joblist-", 0) == 0) names.push_back(std::move(name));
    return names;
}

// A current directory other than the program folder, removed at the end
// unless a check failed.
class OtherFolder {
public:
    OtherFolder() : path_(make_temp_folder("tav-e2e-cwd-")) {}
    ~OtherFolder() {
        std::error_code ignored;
        if (failure_count() == 0) fs::remove_all(path_, ignored);
    }
    OtherFolder(const OtherFolder&) = delete;
    OtherFolder& operator=(const OtherFolder&) = delete;
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

// Answers the first dialog of another process that shows while the main
// window is still hidden (start-up runs before the window shows, and the
// driver's start waits for that window). Start it before the Program.
class EarlyDialogAnswer {
public:
    // `answer` runs on the helper thread with the dialog found.
    template <class Answer>
    explicit EarlyDialogAnswer(Answer answer)
        : thread_([this, answer] {
              HWND dialog = nullptr;
              wait_until([&] { return (dialog = find_dialog()) != nullptr; }, 20000);
              if (!dialog) return;
              title_ = window_text(dialog);
              const HWND owner = GetWindow(dialog, GW_OWNER);
              window_behind_ = owner && IsWindowVisible(owner) && window_text(owner) == "tavrelion";
              answer(dialog);
              answered_ = true;
          }) {}
    ~EarlyDialogAnswer() { join(); }
    EarlyDialogAnswer(const EarlyDialogAnswer&) = delete;
    EarlyDialogAnswer& operator=(const EarlyDialogAnswer&) = delete;

    void join() {
        if (thread_.joinable()) thread_.join();
    }
    bool answered() const { return answered_; }
    // Valid after join().
    const std::string& title() const { return title_; }
    // Whether the program's window stood visible behind the dialog, as its owner.
    bool window_behind() const { return window_behind_; }

private:
    static HWND find_dialog() {
        HWND found = nullptr;
        EnumWindows(
            [](HWND hwnd, LPARAM param) -> BOOL {
                DWORD pid = 0;
                GetWindowThreadProcessId(hwnd, &pid);
                if (pid == GetCurrentProcessId() || !IsWindowVisible(hwnd) || class_name(hwnd) != "#32770")
                    return TRUE;
                *reinterpret_cast<HWND*>(param) = hwnd;
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&found));
        return found;
    }

    std::string title_;
    std::atomic<bool> answered_{false};
    std::atomic<bool> window_behind_{false};
    std::thread thread_;
};

}  // namespace tav::e2e::settings_support
