#include "encoder/encoder_probe.h"

#include <algorithm>
#include <condition_variable>
#include <map>
#include <mutex>
#include <stop_token>
#include <thread>

#include "common/paths.h"
#include "common/text_rules.h"

namespace tav {
namespace {

constexpr const char* kEncoderName = "x264.exe";

// Windows compares file names without regard to letter case.
std::string file_key(std::string_view path) {
    std::string key = lower_cased(path);
    std::replace(key.begin(), key.end(), '/', '\\');
    return key;
}

bool is_absolute(std::string_view path) {
    if (path.size() >= 2 && path[1] == ':') return true;
    return !path.empty() && (path[0] == '\\' || path[0] == '/');
}

// One entry of the search path as a folder ending with '\'; empty when it
// names nothing.
std::string path_entry_folder(std::string_view entry, const std::string& program_folder) {
    std::string folder = trimmed_blanks_and_tabs(entry);
    folder.erase(std::remove(folder.begin(), folder.end(), '"'), folder.end());
    if (folder.empty()) return {};
    if (!is_absolute(folder)) folder = program_folder + folder;
    return with_trailing_separator(folder);
}

}  // namespace

std::optional<EncoderFile> find_encoder(Platform& platform, const std::string& program_folder) {
    std::string candidate = program_folder + kEncoderName;
    if (auto stamp = platform.file_stamp(candidate)) return EncoderFile{candidate, *stamp};
    const std::string search = platform.environment_variable("PATH");
    std::string_view rest = search;
    while (!rest.empty()) {
        const std::size_t end = rest.find(';');
        const std::string folder = path_entry_folder(rest.substr(0, end), program_folder);
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
        if (folder.empty()) continue;
        candidate = folder + kEncoderName;
        if (auto stamp = platform.file_stamp(candidate)) return EncoderFile{candidate, *stamp};
    }
    return std::nullopt;
}

struct EncoderProbe::State {
    struct Known {
        FileStamp stamp;
        std::shared_ptr<const EncoderAnswer> answer;  // null: no usable answer
    };

    mutable std::mutex mutex;
    std::condition_variable_any wake;  // a look asks the worker to look
    std::condition_variable looked;    // the worker finished a look
    std::uint64_t requested = 0, completed = 0;
    Platform* platform = nullptr;
    std::string program_folder;
    std::map<std::string, Known> known;  // by file key: the files that answered
    std::optional<EncoderFile> current;  // what the last finished search found
    // Declared last: stopped and joined before everything it uses goes.
    std::jthread worker;

    const Known* known_now(const EncoderFile& file) const {
        const auto found = known.find(file_key(file.path));
        return found != known.end() && found->second.stamp == file.stamp ? &found->second : nullptr;
    }

    // The worker: each look searches for the encoder (the disk may be slow,
    // so not on the window's thread) and asks a new or replaced one.
    void work(const std::stop_token& stop) {
        std::unique_lock lock(mutex);
        while (wake.wait(lock, stop, [&] { return requested > completed; })) {
            const std::uint64_t round = requested;
            Platform& system = *platform;
            const std::string folder = program_folder;
            lock.unlock();
            const std::optional<EncoderFile> found = find_encoder(system, folder);
            lock.lock();
            current = found;
            if (stop.stop_requested()) return;
            if (found && !known_now(*found)) {
                lock.unlock();
                std::optional<Asked> asked = ask(system, *found, stop);
                lock.lock();
                if (stop.stop_requested()) return;  // closing: no answer
                // Without an answer in time it is asked again next time.
                if (asked) {
                    Known& entry = known[file_key(found->path)];
                    entry.stamp = found->stamp;
                    entry.answer = nullptr;
                    if (asked->options)
                        entry.answer =
                            std::make_shared<const EncoderAnswer>(EncoderAnswer{*found, std::move(*asked->options)});
                }
            }
            completed = round;
            looked.notify_all();
        }
    }

    // What a question got: nullopt when the encoder did not run to its end.
    struct Asked {
        std::optional<OptionList> options;  // nullopt: no x264 option list
    };
    static std::optional<Asked> ask(Platform& system, const EncoderFile& file, const std::stop_token& stop) {
        const ProgramOutput full = system.program_output(file.path, "--fullhelp", kAnswerLimit, stop);
        if (!full.finished) return std::nullopt;
        Asked asked{OptionList::parse(full.output)};
        // An older build refuses "--fullhelp" and lists everything for
        // "--longhelp".
        if (!asked.options && !stop.stop_requested()) {
            const ProgramOutput longer = system.program_output(file.path, "--longhelp", kAnswerLimit, stop);
            if (!longer.finished) return std::nullopt;
            asked.options = OptionList::parse(longer.output);
        }
        return asked;
    }
};

EncoderProbe::EncoderProbe() : state_(std::make_unique<State>()) {}
EncoderProbe::~EncoderProbe() = default;
EncoderProbe::EncoderProbe(EncoderProbe&&) noexcept = default;
EncoderProbe& EncoderProbe::operator=(EncoderProbe&&) noexcept = default;

void EncoderProbe::look(Platform& platform, const std::string& program_folder, std::chrono::milliseconds patience) {
    State& state = *state_;
    std::unique_lock lock(state.mutex);
    state.platform = &platform;
    state.program_folder = program_folder;
    const std::uint64_t round = ++state.requested;
    if (!state.worker.joinable())
        state.worker = std::jthread([&state](std::stop_token stop) { state.work(stop); });
    state.wake.notify_one();
    state.looked.wait_for(lock, patience, [&] { return state.completed >= round; });
}

EncoderProbe::Status EncoderProbe::status() const {
    const State& state = *state_;
    std::lock_guard lock(state.mutex);
    Status status;
    status.encoder = state.current;
    if (!state.current) return status;
    if (const State::Known* known = state.known_now(*state.current)) {
        status.answered = true;
        status.answer = known->answer;
    }
    return status;
}

}  // namespace tav
