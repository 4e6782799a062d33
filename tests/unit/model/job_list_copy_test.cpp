#include "model/job_list_copy.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "model/control_ids.h"
#include "model/memory_surface.h"
#include "model/text_limits.h"
#include "support/fake_platform.h"

namespace tav {
namespace {

using Lines = std::vector<std::string>;
using namespace std::chrono_literals;

const Lines kJobs = {
    "@echo.", "@echo Encode Mode:Single Pass - Bitrate", "@rem @x264.exe --bitrate 900 -o \"a b.mp4\" \"a.avs\"",
    "", "\tindented", "lone\rcarriage", "lone\nfeed", "caf\xE9 100%%", "@echo+",
    // A job line may read like the last line of a copy.
    "end of job list copy, line count 9, check 0123456789abcdef", "shutdown.exe -s -f -t 30",
};

TEST(JobListCopyText, ReadsBackWhatWasWritten) {
    const Lines cases[] = {{}, {""}, {"@echo+"}, kJobs, Lines(3, std::string(kMaxControlText, 'x'))};
    for (const Lines& lines : cases) {
        const JobListCopyContent read = read_job_list_copy(job_list_copy_text(lines));
        EXPECT_TRUE(read.recognised);
        EXPECT_TRUE(read.complete) << lines.size();
        EXPECT_EQ(read.lines, lines);
        EXPECT_EQ(read.too_long, 0u);
    }
}

TEST(JobListCopyText, ACopyCutAnywhereGivesTheLinesBeforeTheCut) {
    const std::string whole = job_list_copy_text(kJobs);
    const size_t first_line = whole.find("\r\n") + 2;
    for (size_t cut = 0; cut < whole.size(); ++cut) {
        const JobListCopyContent read = read_job_list_copy(std::string_view(whole).substr(0, cut));
        EXPECT_EQ(read.recognised, cut >= first_line) << cut;
        EXPECT_FALSE(read.complete) << cut;
        ASSERT_LE(read.lines.size(), kJobs.size()) << cut;
        EXPECT_EQ(read.lines, Lines(kJobs.begin(), kJobs.begin() + read.lines.size())) << cut;
    }
    // Bytes after the last line make the copy one that was not written so.
    EXPECT_FALSE(read_job_list_copy(whole + "x").complete);
    EXPECT_EQ(read_job_list_copy(whole + "x").lines, kJobs);
}

TEST(JobListCopyText, DamagedAndForeignFiles) {
    std::string zeroed = job_list_copy_text(kJobs);
    const size_t hole = zeroed.find("@rem");
    zeroed.replace(hole, 40, std::string(40, '\0'));  // what a power loss may leave

    const std::string long_line(kMaxControlText + 1, '7');
    const std::string other = job_list_copy_text({"a", "c"});
    const std::string other_last_line = other.substr(other.rfind("end of"));
    struct Case {
        const char* what;
        std::string bytes;
        bool recognised, complete;
        Lines lines;
        size_t too_long;
    };
    const Case cases[] = {
        {"empty file", "", false, false, {}, 0},
        {"settings file", "mode = 1\r\nvalue = 26\r\n", false, false, {}, 0},
        {"batch file", "@echo.\r\n@x264.exe\r\n@echo+\r\n", false, false, {}, 0},
        {"first line with LF only", "tavrelion job list copy\n@echo.\n", false, false, {}, 0},
        {"zero-filled part", zeroed, true, false, {kJobs[0], kJobs[1]}, 0},
        {"last line of other lines", "tavrelion job list copy\r\na\r\nb\r\n" + other_last_line, true, false,
         {"a", "b", other_last_line.substr(0, other_last_line.size() - 2)}, 0},
        {"over-long line", job_list_copy_text({"a", long_line, "b", long_line}), true, true, {"a", "b"}, 2},
    };
    for (const Case& c : cases) {
        const JobListCopyContent read = read_job_list_copy(c.bytes);
        EXPECT_EQ(read.recognised, c.recognised) << c.what;
        EXPECT_EQ(read.complete, c.complete) << c.what;
        EXPECT_EQ(read.lines, c.lines) << c.what;
        EXPECT_EQ(read.too_long, c.too_long) << c.what;
    }
}

// The window's controls behind the copy, and the disk it writes to.
class Copy : public ::testing::Test {
protected:
    const std::string path = "C:\\prog\\joblist-1.recovery";
    MemorySurface window;
    test::FakePlatform platform;
    JobListCopy copy{window, platform, JobListCopy::Writing::WhenAsked};
    JobListCopy::Clock::time_point now{};

    bool has_copy() const { return platform.files.count(path) > 0; }
    Lines on_disk() const { return read_job_list_copy(platform.files.at(path)).lines; }
    void later(JobListCopy::Clock::duration d) { now += d; }
};

TEST_F(Copy, FollowsEveryChangeOfTheJobListAndNoOtherControl) {
    copy.append_items(ctl::JobList, {"a", "b", "c"});
    copy.insert_item(ctl::JobList, 0, "first");
    copy.insert_item(ctl::JobList, 2, "middle");
    copy.insert_item(ctl::JobList, -1, "last");
    copy.insert_item(ctl::JobList, 99, "beyond");
    copy.remove_item(ctl::JobList, 1);
    copy.remove_item(ctl::JobList, 99);
    copy.remove_item(ctl::JobList, -1);
    EXPECT_EQ(copy.lines(), window.items(ctl::JobList));
    EXPECT_EQ(copy.lines(), (Lines{"first", "middle", "b", "c", "last", "beyond"}));

    copy.append_items(ctl::PresetName, {"p"});
    copy.insert_item(ctl::Template, 0, "t");
    copy.set_text(ctl::Value, "26");
    EXPECT_EQ(copy.lines().size(), 6u);
    EXPECT_EQ(window.items(ctl::PresetName), Lines{"p"});
    EXPECT_EQ(window.text(ctl::Value), "26");

    copy.clear_items(ctl::JobList);
    EXPECT_TRUE(copy.lines().empty());
    EXPECT_TRUE(window.items(ctl::JobList).empty());

    // A change made behind its back is taken from the window at the next one.
    window.append_items(ctl::JobList, {"x", "y"});
    copy.insert_item(ctl::JobList, 1, "z");
    EXPECT_EQ(copy.lines(), (Lines{"x", "z", "y"}));
}

TEST_F(Copy, WritesAtOnceThenAtMostOncePerInterval) {
    copy.append_items(ctl::JobList, {"a"});
    EXPECT_EQ(copy.write_if_due(now), std::nullopt) << "nothing is written before it has a file";
    EXPECT_FALSE(has_copy());

    copy.keep_in(path);
    EXPECT_EQ(copy.write_if_due(now), std::nullopt);
    EXPECT_EQ(on_disk(), Lines{"a"}) << "what the list held before is written at once";

    later(200ms);
    copy.append_items(ctl::JobList, {"b"});
    copy.append_items(ctl::JobList, {"c"});
    EXPECT_EQ(copy.write_if_due(now), now + 800ms);
    EXPECT_EQ(on_disk(), Lines{"a"});
    later(800ms);
    EXPECT_EQ(copy.write_if_due(now), std::nullopt);
    EXPECT_EQ(on_disk(), (Lines{"a", "b", "c"}));
    EXPECT_EQ(platform.files.count(path + ".new"), 0u);

    // After a quiet while the next change is written at once again.
    later(5s);
    copy.remove_item(ctl::JobList, 0);
    copy.write_if_due(now);
    EXPECT_EQ(on_disk(), (Lines{"b", "c"}));

    // An empty list needs no file.
    later(1s);
    copy.clear_items(ctl::JobList);
    copy.write_if_due(now);
    EXPECT_FALSE(has_copy());
}

TEST_F(Copy, AFailedWriteKeepsTheOldCopyWholeAndIsTriedAgainLater) {
    copy.keep_in(path);
    copy.append_items(ctl::JobList, {"a"});
    copy.write_if_due(now);

    // The disk fills up part way through the new file.
    platform.short_write = 5;
    later(1s);
    copy.append_items(ctl::JobList, {"b"});
    EXPECT_EQ(copy.write_if_due(now), now + JobListCopy::kRetryInterval);
    EXPECT_EQ(on_disk(), Lines{"a"});
    EXPECT_EQ(platform.files.count(path + ".new"), 0u);

    // The list goes on meanwhile; the next try comes after the retry interval.
    copy.append_items(ctl::JobList, {"c"});
    EXPECT_EQ(window.items(ctl::JobList), (Lines{"a", "b", "c"}));
    platform.short_write.reset();
    later(1s);
    copy.write_if_due(now);
    EXPECT_EQ(on_disk(), Lines{"a"});
    later(JobListCopy::kRetryInterval);
    EXPECT_EQ(copy.write_if_due(now), std::nullopt);
    EXPECT_EQ(on_disk(), (Lines{"a", "b", "c"}));

    // A folder that cannot be written: no copy, and the list is unharmed.
    platform.files.erase(path);
    platform.unwritable.insert("C:\\prog\\");
    later(1min);
    copy.append_items(ctl::JobList, {"d"});
    copy.write_if_due(now);
    EXPECT_FALSE(has_copy());
    EXPECT_EQ(window.items(ctl::JobList), (Lines{"a", "b", "c", "d"}));
}

TEST_F(Copy, DiscardDeletesTheCopyAndWhatWaitsToBeRetired) {
    platform.files["C:\\prog\\joblist-0.recovery"] = "old";
    copy.keep_in(path);
    copy.retire_after_next_write("C:\\prog\\joblist-0.recovery");
    copy.append_items(ctl::JobList, {"a"});
    copy.discard();
    EXPECT_TRUE(platform.files.empty());

    // Nothing is written after the end.
    copy.append_items(ctl::JobList, {"b"});
    copy.write_if_due(now + 1h);
    EXPECT_TRUE(platform.files.empty());
}

// A disk that can be held up: writes wait until it is let go. Every file
// operation holds one lock, so the writer thread and the test can share it.
class SlowDisk : public test::FakePlatform {
public:
    bool write_file(const std::string& path, std::string_view bytes) override {
        std::unique_lock lock(mutex_);
        ++writes_started_;
        changed_.notify_all();
        changed_.wait(lock, [this] { return !held_; });
        return FakePlatform::write_file(path, bytes);
    }
    bool replace_file(const std::string& from, const std::string& to) override {
        std::lock_guard lock(mutex_);
        return FakePlatform::replace_file(from, to);
    }
    bool delete_file(const std::string& path) override {
        std::lock_guard lock(mutex_);
        return FakePlatform::delete_file(path);
    }
    bool file_exists(const std::string& path) override {
        std::lock_guard lock(mutex_);
        return FakePlatform::file_exists(path);
    }
    void hold(bool held) {
        std::lock_guard lock(mutex_);
        held_ = held;
        changed_.notify_all();
    }
    bool wait_for_write(int count) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, 5s, [&] { return writes_started_ >= count; });
    }
    // The copy's lines once it holds `wanted`, waiting up to a few seconds.
    Lines copy_when(const std::string& path, const Lines& wanted) {
        const auto deadline = std::chrono::steady_clock::now() + 5s;
        for (;;) {
            {
                std::lock_guard lock(mutex_);
                const auto it = files.find(path);
                Lines lines = it == files.end() ? Lines{} : read_job_list_copy(it->second).lines;
                if (lines == wanted || std::chrono::steady_clock::now() > deadline) return lines;
            }
            std::this_thread::sleep_for(20ms);
        }
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool held_ = false;
    int writes_started_ = 0;
};

TEST(JobListCopyInBackground, TheListNeverWaitsForASlowDisk) {
    const std::string path = "C:\\prog\\joblist-1.recovery";
    MemorySurface window;
    SlowDisk disk;
    JobListCopy copy(window, disk, JobListCopy::Writing::InBackground);
    copy.keep_in(path);

    disk.hold(true);
    copy.append_items(ctl::JobList, {"a"});
    ASSERT_TRUE(disk.wait_for_write(1));
    // The writer is stuck in the disk; the list goes on at full speed.
    const auto start = std::chrono::steady_clock::now();
    Lines expected = {"a"};
    for (int i = 0; i < 2000; ++i) {
        copy.append_items(ctl::JobList, {"line " + std::to_string(i)});
        expected.push_back("line " + std::to_string(i));
    }
    copy.remove_item(ctl::JobList, 1);
    expected.erase(expected.begin() + 1);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
    EXPECT_EQ(window.items(ctl::JobList), expected);

    // Once the disk moves again, the copy catches up within the interval.
    disk.hold(false);
    EXPECT_EQ(disk.copy_when(path, expected), expected);

    copy.discard();
    EXPECT_EQ(disk.copy_when(path, {}), Lines{});
}

}  // namespace
}  // namespace tav
