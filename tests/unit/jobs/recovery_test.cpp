// The job list survives a run that does not end normally: each window keeps
// a copy, and the next start offers the copies of ended runs back.
#include "jobs/recovery.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/app.h"
#include "model/control_ids.h"
#include "jobs/job_list_copy.h"
#include "model/memory_surface.h"
#include "model/text_limits.h"
#include "support/fake_platform.h"

namespace tav {
namespace {

using Lines = std::vector<std::string>;
using namespace std::chrono_literals;

const std::string kFolder = "C:\\prog\\";
const Lines kTwoJobs = {
    "@echo.", "@echo Encode Mode:Single Pass - Bitrate", "@x264.exe --bitrate 900 -o \"a.mp4\" \"a.avs\"", "@echo+",
    "@echo.", "@x264.exe --crf 20 -o \"b.mp4\" \"b.avs\"", "@echo+",
};

// The disk the runs share. Each box notes whether the file it is about was
// still there when it was shown.
class Disk : public test::FakePlatform {
public:
    std::vector<bool> file_there_at_box;
    std::set<std::string> unreadable;

    bool ask_yes_no(const std::string& title, const std::string& text) override {
        note_file_at_box();
        return FakePlatform::ask_yes_no(title, text);
    }
    void message_box(const std::string& title, const std::string& text) override {
        note_file_at_box();
        FakePlatform::message_box(title, text);
    }
    std::optional<std::string> read_file(const std::string& path) override {
        if (unreadable.count(path)) return std::nullopt;
        return FakePlatform::read_file(path);
    }
    // The copies and unfinished copies on the disk, by name.
    std::vector<std::string> copies() const {
        std::vector<std::string> names;
        for (const auto& [path, content] : files)
            if (path.rfind(kFolder + "joblist-", 0) == 0) names.push_back(path.substr(kFolder.size()));
        return names;
    }

private:
    void note_file_at_box() {
        bool there = false;
        for (const auto& [path, content] : files) there = there || path.rfind(kFolder + "joblist-", 0) == 0;
        file_there_at_box.push_back(there);
    }
};

std::string copy_path(const std::string& tag) { return kFolder + job_list_copy_name(tag); }

// One run of the program on the shared disk, started with the given tag.
struct ProgramRun {
    Disk& disk;
    MemorySurface window;
    App app{window, disk, JobListCopy::Writing::WhenAsked};
    JobListCopy& copy = app.job_list_copy();
    JobListCopy::Clock::time_point clock{};

    ProgramRun(Disk& d, const std::string& tag) : disk(d) {
        disk.tag = tag;
        app.initialise_controls();
        app.start();
    }
    void click(int id) { app.handle({id, Trigger::Click}); }
    void select_line(int index) { window.set_state(ctl::JobList, index); }
    Lines lines() const { return window.items(ctl::JobList); }
    // What the writer thread does within a second of the last change.
    void write_copy() {
        clock += 1min;
        copy.write_if_due(clock);
    }
};

// What a run that ended without its exit steps left: `lines` in its copy.
void crashed_run(Disk& disk, const std::string& tag, const Lines& lines) {
    disk.files[copy_path(tag)] = job_list_copy_text(lines);
}

TEST(Recovery, AfterACrashTheNextStartOffersTheListBackLineForLine) {
    Disk disk;
    Lines before;
    {
        ProgramRun first(disk, "0001-a");
        first.copy.append_items(ctl::JobList, kTwoJobs);  // as "Add" does
        first.select_line(2);
        first.click(ctl::Disable);
        first.click(ctl::Shut);
        first.select_line(7);
        first.click(ctl::Up);
        disk.input_answers.push_back(std::string("@rem edited & kept"));
        first.select_line(0);
        first.click(ctl::Edit);
        first.write_copy();
        before = first.lines();
        ASSERT_EQ(before.size(), 8u);
        ASSERT_EQ(before[2], "@rem @x264.exe --bitrate 900 -o \"a.mp4\" \"a.avs\"");
        // Killed: no exit steps run.
    }

    // The settings load (which asks for a custom matrix) comes first.
    disk.files["tavrelion.ini"] = "cqm = custom...";
    disk.asked.clear();
    disk.yes_no_answers = {true};
    ProgramRun second(disk, "0002-b");
    ASSERT_EQ(disk.asked.size(), 2u);
    EXPECT_EQ(disk.asked[0].kind, "open");
    EXPECT_EQ(disk.asked[1].kind, "yes-no");
    EXPECT_EQ(disk.asked[1].title, "tavrelion");
    EXPECT_EQ(disk.asked[1].text,
              "The job list of an earlier run that did not end normally holds 8 lines. Put them back into the job "
              "list?");
    EXPECT_EQ(second.lines(), before);

    // The old copy goes once the new one holds its lines.
    EXPECT_EQ(disk.copies(), (std::vector<std::string>{"joblist-0001-a.recovery"}));
    second.write_copy();
    EXPECT_EQ(disk.copies(), (std::vector<std::string>{"joblist-0002-b.recovery"}));
    EXPECT_EQ(read_job_list_copy(disk.files[copy_path("0002-b")]).lines, before);

    // A normal exit leaves nothing behind, and the next start asks nothing.
    second.app.exit();
    EXPECT_TRUE(disk.copies().empty());
    disk.asked.clear();
    disk.files.erase("tavrelion.ini");
    ProgramRun third(disk, "0003-c");
    EXPECT_TRUE(disk.asked.empty());
    EXPECT_TRUE(third.lines().empty());
}

TEST(Recovery, NoDeletesTheCopyAndLeavesTheListEmpty) {
    Disk disk;
    crashed_run(disk, "0001-a", {"shutdown.exe -s -f -t 30"});
    disk.yes_no_answers = {false};
    ProgramRun run(disk, "0002-b");
    ASSERT_EQ(disk.asked.size(), 1u);
    EXPECT_EQ(disk.asked[0].text,
              "The job list of an earlier run that did not end normally holds 1 line. Put it back into the job list?");
    EXPECT_TRUE(run.lines().empty());
    EXPECT_TRUE(disk.copies().empty());
    EXPECT_EQ(disk.file_there_at_box, std::vector<bool>{true});
}

TEST(Recovery, SeveralCopiesAreOfferedOldestFirstAndThoseOfRunningInstancesAreLeftAlone) {
    Disk disk;
    crashed_run(disk, "0003-c", {"third"});
    crashed_run(disk, "0001-a", {"first", "first again"});
    crashed_run(disk, "0002-b", {"second"});
    crashed_run(disk, "0004-d", {"still running"});
    disk.files[copy_path("0004-d") + ".new"] = "being written";
    disk.files[copy_path("0002-b") + ".new"] = "left by the crash";
    disk.running_tags = {"0004-d"};

    disk.yes_no_answers = {true, false, true};
    ProgramRun run(disk, "0005-e");
    ASSERT_EQ(disk.asked.size(), 3u);
    EXPECT_NE(disk.asked[0].text.find("holds 2 lines"), std::string::npos);
    EXPECT_EQ(run.lines(), (Lines{"first", "first again", "third"}));
    EXPECT_EQ(disk.copies(), (std::vector<std::string>{"joblist-0001-a.recovery", "joblist-0003-c.recovery",
                                                       "joblist-0004-d.recovery", "joblist-0004-d.recovery.new"}));
    run.write_copy();
    EXPECT_EQ(disk.copies(), (std::vector<std::string>{"joblist-0004-d.recovery", "joblist-0004-d.recovery.new",
                                                       "joblist-0005-e.recovery"}));
    EXPECT_EQ(disk.files[copy_path("0004-d") + ".new"], "being written");
}

TEST(Recovery, DamagedCopiesAreNeverACrashAndGoOnlyAfterTheAnswer) {
    const std::string long_line(kMaxControlText + 1, 'x');
    const std::string whole = job_list_copy_text(kTwoJobs);
    const std::string could_not_read = "The job list of an earlier run that did not end normally could not be read "
                                       "from \"" + copy_path("0001-a") + "\". The file is deleted.";
    struct Case {
        const char* what;
        std::string bytes;
        bool unreadable;
        std::string kind, text;  // the box shown; none when kind is empty
        Lines lines;             // in the list after Yes
    };
    const Case cases[] = {
        {"cannot be read", whole, true, "message", could_not_read, {}},
        {"not a job list", "mode = 1\r\nvalue = 26\r\n", false, "message", could_not_read, {}},
        {"empty file", "", false, "message", could_not_read, {}},
        {"cut short", whole.substr(0, whole.find("@echo+") + 3), false, "yes-no",
         "The job list of an earlier run that did not end normally could be read only in part: 3 lines. Put them "
         "back into the job list?",
         Lines(kTwoJobs.begin(), kTwoJobs.begin() + 3)},
        {"over-long line", job_list_copy_text({"@echo.", long_line, "@echo+"}), false, "yes-no",
         "The job list of an earlier run that did not end normally holds 2 lines. 1 line longer than 32,767 "
         "characters is left out. Put them back into the job list?",
         {"@echo.", "@echo+"}},
        {"only over-long lines", job_list_copy_text({long_line, long_line}), false, "message", could_not_read, {}},
        {"copy of an empty list", job_list_copy_text({}), false, "", "", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Disk disk;
        disk.files[copy_path("0001-a")] = c.bytes;
        if (c.unreadable) disk.unreadable.insert(copy_path("0001-a"));
        disk.yes_no_answers = {true};
        ProgramRun run(disk, "0002-b");
        if (c.kind.empty()) {
            EXPECT_TRUE(disk.asked.empty());
        } else {
            ASSERT_EQ(disk.asked.size(), 1u);
            EXPECT_EQ(disk.asked[0].kind, c.kind);
            EXPECT_EQ(disk.asked[0].text, c.text);
            EXPECT_EQ(disk.file_there_at_box, std::vector<bool>{true});
        }
        EXPECT_EQ(run.lines(), c.lines);
        run.write_copy();
        EXPECT_EQ(disk.files.count(copy_path("0001-a")), 0u);
    }
}

}  // namespace
}  // namespace tav
