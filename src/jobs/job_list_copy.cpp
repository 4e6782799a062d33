#include "jobs/job_list_copy.h"

#include <algorithm>

#include "model/control_ids.h"
#include "model/text_limits.h"

namespace tav {

namespace {

// The first line names the file and its format. An earlier version wrote
// its lines right after kFirstLineOfVersion1, with no header.
constexpr std::string_view kFirstLine = "tavrelion job list copy, version 2";
constexpr std::string_view kFirstLineOfVersion1 = "tavrelion job list copy";
constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kSessionEnded = "session ended";
constexpr std::string_view kTakenIn = "takes in ";
constexpr std::string_view kLinesFollow = "lines";
constexpr std::string_view kLastLineStart = "end of job list copy";

// A check sum of everything between the first and the last line (FNV-1a,
// 64 bits), so that no job line, whatever it says, passes for the last line.
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
// are copied: the first line, the header and the lines, then (with the
// lines let go) the last line with the check sum.
std::string copy_without_last_line(const std::vector<std::string>& lines, const JobListCopyHeader& header) {
    std::size_t bytes = kFirstLine.size() + kLineEnd.size() + 120;
    for (const std::string& tag : header.taken_in) bytes += kTakenIn.size() + tag.size() + kLineEnd.size();
    for (const std::string& line : lines) bytes += line.size() + kLineEnd.size();
    std::string text;
    text.reserve(bytes);
    text.append(kFirstLine).append(kLineEnd);
    if (header.session_ended) text.append(kSessionEnded).append(kLineEnd);
    for (const std::string& tag : header.taken_in) text.append(kTakenIn).append(tag).append(kLineEnd);
    text.append(kLinesFollow).append(kLineEnd);
    for (const std::string& line : lines) text.append(line).append(kLineEnd);
    return text;
}

void add_last_line(std::string& text, std::size_t count) {
    const std::string_view summed_part = std::string_view(text).substr(kFirstLine.size() + kLineEnd.size());
    text.append(last_line(count, summed(kSumStart, summed_part))).append(kLineEnd);
}

// The whole lines of `bytes` from `at` on; what follows the last line end
// was cut.
class LineReader {
public:
    LineReader(std::string_view bytes, std::size_t at) : bytes_(bytes), at_(at) {}
    std::optional<std::string_view> next() {
        const std::size_t end = bytes_.find(kLineEnd, at_);
        if (end == std::string_view::npos) return std::nullopt;
        const std::string_view line = bytes_.substr(at_, end - at_);
        at_ = end + kLineEnd.size();
        return line;
    }
    bool at_end() const { return at_ == bytes_.size(); }

private:
    std::string_view bytes_;
    std::size_t at_;
};

}  // namespace

std::string job_list_copy_text(const std::vector<std::string>& lines, const JobListCopyHeader& header) {
    std::string text = copy_without_last_line(lines, header);
    add_last_line(text, lines.size());
    return text;
}

JobListCopyContent read_job_list_copy(std::string_view bytes) {
    using Format = JobListCopyContent::Format;
    JobListCopyContent content;
    const auto begins_with_line = [&](std::string_view line) {
        return bytes.substr(0, line.size() + kLineEnd.size()) == std::string(line) + std::string(kLineEnd);
    };
    const bool version_2 = begins_with_line(kFirstLine);
    if (!version_2 && !begins_with_line(kFirstLineOfVersion1)) {
        // A later version's copy names itself as a copy all the same.
        if (bytes.starts_with(kFirstLineOfVersion1)) content.format = Format::Unknown;
        return content;
    }
    const std::size_t first_line_end = (version_2 ? kFirstLine : kFirstLineOfVersion1).size() + kLineEnd.size();
    LineReader reader(bytes, first_line_end);
    std::uint64_t sum = kSumStart;
    if (version_2) {
        // The header, up to the line before the job list's lines.
        for (;;) {
            const auto line = reader.next();
            if (!line) return content;  // cut in the header: nothing to read
            sum = summed_line(sum, *line);
            if (*line == kLinesFollow) break;
            if (*line == kSessionEnded) {
                content.header.session_ended = true;
            } else if (line->starts_with(kTakenIn)) {
                content.header.taken_in.emplace_back(line->substr(kTakenIn.size()));
            } else {
                content.format = Format::Unknown;  // said by a later version
                return content;
            }
        }
    }
    content.format = Format::Known;
    content.recognised = true;

    // Whole lines up to the last line; a piece after the last line end was cut.
    std::vector<std::string_view> lines;
    while (const auto line = reader.next()) {
        if (line->starts_with(kLastLineStart) && *line == last_line(lines.size(), sum)) {
            content.complete = reader.at_end();
            break;
        }
        lines.push_back(*line);
        sum = summed_line(sum, *line);
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
    : ForwardingSurface(window),
      platform_(platform),
      lines_(window.items(ctl::JobList)),
      in_background_(writing == Writing::InBackground) {}

JobListCopy::~JobListCopy() { stop_writer(); }

void JobListCopy::keep_in(const std::string& path) {
    bool change;
    {
        std::lock_guard lock(mutex_);
        path_ = path;
        // What the list holds already is not in that file yet.
        if (!lines_.empty()) ++version_;
        change = change_waits();
    }
    if (change) start_writer();
    wake_.notify_one();
}

void JobListCopy::start_writer() {
    // Only the window's thread follows changes and stops the writer, so
    // only it starts the writer.
    if (!in_background_ || writer_.joinable()) return;
    {
        std::lock_guard lock(mutex_);
        if (stop_) return;
    }
    writer_ = std::thread([this] { run_writer(); });
}

void JobListCopy::take_in(const std::string& tag) {
    std::lock_guard lock(mutex_);
    header_.taken_in.push_back(tag);
    ++version_;
}

void JobListCopy::retire_after_next_write(const std::string& path) {
    std::lock_guard lock(mutex_);
    retired_.push_back(path);
}

bool JobListCopy::probe() {
    std::lock_guard io(writing_);
    std::string path;
    {
        std::lock_guard lock(mutex_);
        if (path_.empty()) return true;
        path = path_ + std::string(kUnfinishedCopySuffix);
    }
    const bool written = platform_.write_file(path, kFirstLine) && platform_.delete_file(path);
    if (!written) {
        platform_.delete_file(path);
        std::lock_guard lock(mutex_);
        write_failed_ = true;
    }
    return written;
}

bool JobListCopy::write_now() {
    std::lock_guard io(writing_);
    return write(Clock::now());
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

void JobListCopy::end_with_session() {
    stop_writer();
    std::lock_guard io(writing_);
    {
        std::lock_guard lock(mutex_);
        header_.session_ended = true;
        ++version_;
    }
    write(Clock::now());
}

void JobListCopy::note_batch_started(std::optional<std::uint32_t> batch) {
    std::lock_guard lock(mutex_);
    started_version_ = version_;
    started_batch_ = batch;
}

bool JobListCopy::holds_finished_work() {
    std::optional<std::uint32_t> batch;
    {
        std::lock_guard lock(mutex_);
        if (!started_version_ || *started_version_ != version_) return false;
        batch = started_batch_;
    }
    // A batch the shell started gave no process to ask: it may still run.
    return batch && platform_.process_ended(*batch);
}

std::optional<std::string> JobListCopy::take_write_failure() {
    std::lock_guard lock(mutex_);
    if (!write_failed_ || failure_reported_) return std::nullopt;
    failure_reported_ = true;
    return path_;
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

std::optional<std::uint64_t> JobListCopy::item_changes(int id) const {
    if (id != ctl::JobList) return inner().item_changes(id);
    std::lock_guard lock(mutex_);
    return version_;
}

bool JobListCopy::change_waits() const { return !path_.empty() && version_ != written_version_; }

bool JobListCopy::write(Clock::time_point now) {
    std::unique_lock lock(mutex_);
    if (path_.empty()) return false;
    const std::uint64_t version = version_;
    const std::size_t count = lines_.size();
    const std::string path = path_;
    // An empty list needs no copy, unless it must say what it took in.
    const bool empty = count == 0 && header_.taken_in.empty();
    std::string text = empty ? std::string() : copy_without_last_line(lines_, header_);
    lock.unlock();
    if (!empty) add_last_line(text, count);

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
        written_version_ = std::max(written_version_, version);
        retired.swap(retired_);
        failures_in_a_row_ = 0;
    } else if (++failures_in_a_row_ >= kFailuresTold) {
        write_failed_ = true;
    }
    next_write_ = now + (failures_in_a_row_ <= 1 ? kInterval : kRetryInterval);
    lock.unlock();
    for (const std::string& old : retired) platform_.delete_file(old);
    return written;
}

std::optional<JobListCopy::Clock::time_point> JobListCopy::write_if_due(Clock::time_point now) {
    std::lock_guard io(writing_);
    {
        std::lock_guard lock(mutex_);
        if (!change_waits()) return std::nullopt;
        if (now < next_write_) return next_write_;
    }
    write(now);
    std::lock_guard lock(mutex_);
    return change_waits() ? std::optional(next_write_) : std::nullopt;
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
    if (first_change) {
        start_writer();
        wake_.notify_one();
    }
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
