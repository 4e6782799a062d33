#include "jobs/job_list_copy.h"

#include <algorithm>

#include "model/control_ids.h"
#include "model/text_limits.h"

namespace tav {

namespace {

constexpr std::string_view kFirstLine = "tavrelion job list copy";
constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kLastLineStart = "end of job list copy";

// A check sum of the lines (FNV-1a, 64 bits), so that no job line, whatever
// it says, passes for the last line.
constexpr std::uint64_t kSumStart = 0xcbf29ce484222325ull;
std::uint64_t summed(std::uint64_t sum, std::string_view bytes) {
    for (const char c : bytes) sum = (sum ^ static_cast<unsigned char>(c)) * 0x100000001b3ull;
    return sum;
}
std::uint64_t summed_line(std::uint64_t sum, std::string_view line) { return summed(summed(sum, line), kLineEnd); }

std::string last_line(std::size_t count, std::uint64_t sum) {
    char hex[17];
    for (int i = 15; i >= 0; --i, sum >>= 4) hex[i] = "0123456789abcdef"[sum & 0xF];
    hex[16] = '\0';
    return std::string(kLastLineStart) + ", line count " + std::to_string(count) + ", check " + hex;
}

// A copy in two steps, so that the writer holds the lines only while they
// are copied: the first line and the lines, then (with the lines let go)
// the last line with the check sum.
std::string copy_without_last_line(const std::vector<std::string>& lines) {
    std::size_t bytes = kFirstLine.size() + kLineEnd.size() + 80;
    for (const std::string& line : lines) bytes += line.size() + kLineEnd.size();
    std::string text;
    text.reserve(bytes);
    text.append(kFirstLine).append(kLineEnd);
    for (const std::string& line : lines) text.append(line).append(kLineEnd);
    return text;
}

void add_last_line(std::string& text, std::size_t count) {
    const std::string_view lines = std::string_view(text).substr(kFirstLine.size() + kLineEnd.size());
    text.append(last_line(count, summed(kSumStart, lines))).append(kLineEnd);
}

}  // namespace

std::string job_list_copy_text(const std::vector<std::string>& lines) {
    std::string text = copy_without_last_line(lines);
    add_last_line(text, lines.size());
    return text;
}

JobListCopyContent read_job_list_copy(std::string_view bytes) {
    JobListCopyContent content;
    const std::string first = std::string(kFirstLine) + std::string(kLineEnd);
    if (bytes.substr(0, first.size()) != first) return content;
    content.recognised = true;

    // Whole lines up to the last line; a piece after the last line end was cut.
    std::vector<std::string_view> lines;
    std::uint64_t sum = kSumStart;
    std::size_t at = first.size();
    for (;;) {
        const std::size_t end = bytes.find(kLineEnd, at);
        if (end == std::string_view::npos) break;
        const std::string_view line = bytes.substr(at, end - at);
        at = end + kLineEnd.size();
        if (line.substr(0, kLastLineStart.size()) == kLastLineStart && line == last_line(lines.size(), sum)) {
            content.complete = at == bytes.size();
            break;
        }
        lines.push_back(line);
        sum = summed_line(sum, line);
    }

    for (std::string_view line : lines) {
        if (line.find('\0') != std::string_view::npos) {
            content.complete = false;
            break;
        }
        if (line.size() > kMaxControlText)
            ++content.too_long;
        else
            content.lines.emplace_back(line);
    }
    return content;
}

JobListCopy::JobListCopy(ControlSurface& window, Platform& platform, Writing writing)
    : ForwardingSurface(window), platform_(platform), lines_(window.items(ctl::JobList)) {
    if (writing == Writing::InBackground) writer_ = std::thread([this] { run_writer(); });
}

JobListCopy::~JobListCopy() { stop_writer(); }

void JobListCopy::keep_in(const std::string& path) {
    {
        std::lock_guard lock(mutex_);
        path_ = path;
        // What the list holds already is not in that file yet.
        if (!lines_.empty()) ++version_;
    }
    wake_.notify_one();
}

void JobListCopy::retire_after_next_write(const std::string& path) {
    std::lock_guard lock(mutex_);
    retired_.push_back(path);
}

void JobListCopy::discard() {
    stop_writer();
    std::lock_guard io(writing_);
    std::string path;
    std::vector<std::string> retired;
    {
        std::lock_guard lock(mutex_);
        path.swap(path_);
        retired.swap(retired_);
    }
    if (!path.empty()) {
        platform_.delete_file(path + std::string(kUnfinishedCopySuffix));
        platform_.delete_file(path);
    }
    for (const std::string& old : retired) platform_.delete_file(old);
}

std::vector<std::string> JobListCopy::lines() const {
    std::lock_guard lock(mutex_);
    return lines_;
}

std::vector<std::string> JobListCopy::items(int id) const {
    if (id == ctl::JobList) {
        std::lock_guard lock(mutex_);
        // Lines put into the list from outside the program are read from it.
        if (lines_.size() == static_cast<std::size_t>(std::max(0, inner().item_count(id)))) return lines_;
    }
    return inner().items(id);
}

bool JobListCopy::change_waits() const { return !path_.empty() && version_ != written_version_; }

std::optional<JobListCopy::Clock::time_point> JobListCopy::write_if_due(Clock::time_point now) {
    std::lock_guard io(writing_);
    std::unique_lock lock(mutex_);
    if (!change_waits()) return std::nullopt;
    if (now < next_write_) return next_write_;

    const std::uint64_t version = version_;
    const std::size_t count = lines_.size();
    const std::string path = path_;
    std::string text = count == 0 ? std::string() : copy_without_last_line(lines_);
    lock.unlock();
    const bool empty = count == 0;
    if (!empty) add_last_line(text, count);

    // An empty list needs no copy.
    bool written;
    if (empty) {
        written = platform_.delete_file(path) || !platform_.file_exists(path);
    } else {
        // The old copy stays until the new one is on the disk whole.
        const std::string fresh = path + std::string(kUnfinishedCopySuffix);
        written = platform_.write_file_through(fresh, text) && platform_.replace_file(fresh, path);
        if (!written) platform_.delete_file(fresh);
    }

    std::vector<std::string> retired;
    lock.lock();
    if (written) {
        written_version_ = version;
        retired.swap(retired_);
    }
    next_write_ = now + (written ? kInterval : kRetryInterval);
    const bool again = change_waits();
    lock.unlock();
    for (const std::string& old : retired) platform_.delete_file(old);
    return again ? std::optional(next_write_) : std::nullopt;
}

template <typename Change>
void JobListCopy::follow(Change&& change) {
    bool first_change;
    {
        std::lock_guard lock(mutex_);
        change(lines_);
        // A change the window refused (its memory ran out) or made
        // otherwise: take the window's lines as they are.
        if (lines_.size() != static_cast<std::size_t>(std::max(0, inner().item_count(ctl::JobList))))
            lines_ = inner().items(ctl::JobList);
        ++version_;
        first_change = version_ == written_version_ + 1;
    }
    // The writer waits for a change only when the copy was up to date.
    if (first_change) wake_.notify_one();
}

void JobListCopy::insert_item(int id, int index, std::string_view text) {
    inner().insert_item(id, index, text);
    if (id != ctl::JobList) return;
    follow([&](std::vector<std::string>& lines) {
        const auto count = static_cast<int>(lines.size());
        const int at = index < 0 || index > count ? count : index;
        lines.insert(lines.begin() + at, std::string(text));
    });
}

void JobListCopy::remove_item(int id, int index) {
    inner().remove_item(id, index);
    if (id != ctl::JobList) return;
    follow([&](std::vector<std::string>& lines) {
        if (index >= 0 && index < static_cast<int>(lines.size())) lines.erase(lines.begin() + index);
    });
}

void JobListCopy::clear_items(int id) {
    inner().clear_items(id);
    if (id != ctl::JobList) return;
    follow([](std::vector<std::string>& lines) { lines.clear(); });
}

void JobListCopy::append_items(int id, const std::vector<std::string>& texts) {
    inner().append_items(id, texts);
    if (id != ctl::JobList) return;
    follow([&](std::vector<std::string>& lines) { lines.insert(lines.end(), texts.begin(), texts.end()); });
}

void JobListCopy::run_writer() {
    std::unique_lock lock(mutex_);
    while (!stop_) {
        if (!change_waits()) {
            wake_.wait(lock, [this] { return stop_ || change_waits(); });
            continue;
        }
        lock.unlock();
        const auto again = write_if_due(Clock::now());
        lock.lock();
        if (again && !stop_) wake_.wait_until(lock, *again, [this] { return stop_; });
    }
}

void JobListCopy::stop_writer() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    wake_.notify_one();
    if (writer_.joinable()) writer_.join();
}

}  // namespace tav
