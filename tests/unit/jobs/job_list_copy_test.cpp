#include "jobs/job_list_copy.h"

#include <gtest/gtest.h>

#include <thread>
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

TEST(JobListCopyText, ACopyCutAnywhereGivesTheLinesBeforeTheCut) {
    const std::string whole = job_list_copy_text(kJobs);
    EXPECT_TRUE(read_job_list_copy(whole).complete);
    EXPECT_EQ(read_job_list_copy(whole).lines, kJobs);
    // Read once the header before the lines is whole.
    const size_t header = whole.find("\r\nlines\r\n") + 9;
    for (size_t cut = 0; cut < whole.size(); ++cut) {
        const JobListCopyContent read = read_job_list_copy(std::string_view(whole).substr(0, cut));
        EXPECT_EQ(read.recognised, cut >= header) << cut;
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
    const std::string most(kMaxControlText, 'x');
    const Case cases[] = {
        {"copy of an empty list", job_list_copy_text({}), true, true, {}, 0},
        {"lines as long as a field holds", job_list_copy_text({most, "", most}), true, true, {most, "", most}, 0},
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

TEST_F(Copy, WritesAtOnceThenOncePerIntervalAndOutlastsFailedWrites) {
    copy.append_items(ctl::JobList, {"a"});
    EXPECT_EQ(copy.write_if_due(now), std::nullopt) << "nothing is written before it has a file";
    EXPECT_FALSE(has_copy());
    copy.keep_in(path);
    EXPECT_EQ(copy.write_if_due(now), std::nullopt);
    EXPECT_EQ(on_disk(), Lines{"a"}) << "what the list held before is written at once";

    // Changes within the interval are written together at its end.
    later(200ms);
    copy.append_items(ctl::JobList, {"b"});
    copy.append_items(ctl::JobList, {"c"});
    EXPECT_EQ(copy.write_if_due(now), now + 800ms);
    EXPECT_EQ(on_disk(), Lines{"a"});
    later(800ms);
    EXPECT_EQ(copy.write_if_due(now), std::nullopt);
    EXPECT_EQ(on_disk(), (Lines{"a", "b", "c"}));

    // The disk fills up part way through the new file: the old copy stays
    // whole, the list goes on, and the tries after the next come after a
    // longer wait. Only failures that go on are told.
    platform.short_write = 5;
    later(5s);
    copy.remove_item(ctl::JobList, 0);
    EXPECT_EQ(copy.write_if_due(now), now + JobListCopy::kInterval);
    EXPECT_EQ(on_disk(), (Lines{"a", "b", "c"}));
    EXPECT_EQ(platform.files.count(path + ".new"), 0u);
    later(JobListCopy::kInterval);
    EXPECT_EQ(copy.write_if_due(now), now + JobListCopy::kRetryInterval);
    EXPECT_EQ(copy.take_write_failure(), std::nullopt);
    later(JobListCopy::kRetryInterval);
    copy.write_if_due(now);
    EXPECT_EQ(copy.take_write_failure(), path);
    EXPECT_EQ(copy.take_write_failure(), std::nullopt);
    platform.short_write.reset();
    later(JobListCopy::kRetryInterval);
    copy.write_if_due(now);
    EXPECT_EQ(on_disk(), (Lines{"b", "c"}));

    // An empty list needs no file.
    later(1s);
    copy.clear_items(ctl::JobList);
    copy.write_if_due(now);
    EXPECT_FALSE(has_copy());

    // A folder that cannot be written: no copy, and the list is unharmed.
    platform.unwritable.insert("C:\\prog\\");
    later(1min);
    copy.append_items(ctl::JobList, {"d"});
    copy.write_if_due(now);
    EXPECT_FALSE(has_copy());
    EXPECT_EQ(window.items(ctl::JobList), Lines{"d"});
}

// A disk that can be held up: a write waits until it is let go. It holds
// the one copy the writer makes; the writer thread and the test share it
// under a lock.
class SlowDisk : public test::FakePlatform {
public:
    bool write_file_through(const std::string&, std::string_view bytes) override {
        std::unique_lock lock(mutex_);
        ++writes_;
        changed_.notify_all();
        changed_.wait(lock, [this] { return !held_; });
        fresh_ = bytes;
        return true;
    }
    bool replace_file(const std::string&, const std::string&) override {
        std::lock_guard lock(mutex_);
        copy_ = fresh_;
        return true;
    }
    bool delete_file(const std::string& path) override {
        std::lock_guard lock(mutex_);
        if (path.ends_with(".recovery")) copy_.clear();
        return true;
    }
    void hold(bool held) {
        std::lock_guard lock(mutex_);
        held_ = held;
        changed_.notify_all();
    }
    bool wait_for_a_write() {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, 5s, [&] { return writes_ > 0; });
    }
    // The copy's lines once they are `wanted`, waited for a few seconds.
    Lines copy_when(const Lines& wanted) {
        Lines lines;
        for (int i = 0; i < 250 && lines != wanted; ++i) {
            std::this_thread::sleep_for(20ms);
            std::lock_guard lock(mutex_);
            lines = read_job_list_copy(copy_).lines;
        }
        return lines;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool held_ = false;
    int writes_ = 0;
    std::string fresh_, copy_;
};

TEST(JobListCopyInBackground, TheListNeverWaitsForASlowDisk) {
    const std::string path = "C:\\prog\\joblist-1.recovery";
    MemorySurface window;
    SlowDisk disk;
    JobListCopy copy(window, disk, JobListCopy::Writing::InBackground);
    copy.keep_in(path);

    disk.hold(true);
    copy.append_items(ctl::JobList, {"a"});
    ASSERT_TRUE(disk.wait_for_a_write());
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
    EXPECT_EQ(disk.copy_when(expected), expected);
    copy.discard();
    EXPECT_EQ(disk.copy_when({}), Lines{});
}

}  // namespace
}  // namespace tav
