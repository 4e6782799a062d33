// The job list survives a run that does not end normally: each window keeps
// a copy, and the next start offers the copies of ended runs back, each to
// one window once.
#include "jobs/recovery.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/app.h"
#include "jobs/job_list_copy.h"
#include "jobscript/input_prep.h"
#include "model/control_ids.h"
#include "model/memory_surface.h"
#include "model/muxers.h"
#include "model/text_limits.h"
#include "settings/config_files.h"
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

// The disk the runs share. Each box notes whether a copy was still there
// under its own name (not yet taken) when it was shown.
class Disk : public test::FakePlatform {
public:
    std::vector<bool> untaken_copy_at_box;
    std::set<std::string> unreadable;

    bool ask_yes_no(const std::string& title, const std::string& text) override {
        note_copies_at_box();
        return FakePlatform::ask_yes_no(title, text);
    }
    void message_box(const std::string& title, const std::string& text) override {
        note_copies_at_box();
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
    void note_copies_at_box() {
        bool untaken = false;
        for (const std::string& name : copies()) untaken = untaken || name.ends_with(".recovery");
        untaken_copy_at_box.push_back(untaken);
    }
};

std::string copy_name(const std::string& tag) { return job_list_copy_name(tag, "Studio-PC"); }
std::string copy_path(const std::string& tag) { return kFolder + copy_name(tag); }

// One run of the program on the shared disk, started with the given tag,
// built as the program builds itself.
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
void crashed_run(Disk& disk, const std::string& tag, const Lines& lines, const JobListCopyHeader& header = {}) {
    disk.files[copy_path(tag)] = job_list_copy_text(lines, header);
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
              "The job list of an earlier run that did not end normally holds 8 lines. It holds a shutdown line "
              "(\"shutdown.exe -s -f -t 30\"): a batch made from it switches the computer off when it gets there. "
              "Put them back into the job list?");
    EXPECT_EQ(second.lines(), before);
    // Taken before it was offered, and gone once this window's copy holds it.
    EXPECT_EQ(disk.untaken_copy_at_box, std::vector<bool>{false});
    EXPECT_EQ(disk.copies(), std::vector<std::string>{copy_name("0002-b")});
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
    crashed_run(disk, "0001-a", {"@echo.", "@echo+"});
    disk.yes_no_answers = {false};
    ProgramRun run(disk, "0002-b");
    ASSERT_EQ(disk.asked.size(), 1u);
    EXPECT_EQ(disk.asked[0].text,
              "The job list of an earlier run that did not end normally holds 2 lines. Put them back into the job "
              "list?");
    EXPECT_TRUE(run.lines().empty());
    EXPECT_TRUE(disk.copies().empty());
}

TEST(Recovery, CopiesAreOfferedOldestFirstEachToOneWindowOfItsOwnComputer) {
    Disk disk;
    crashed_run(disk, "0003-c", {"third"});
    crashed_run(disk, "0001-a", {"first", "first again"});
    disk.files[kFolder + "joblist-0002-b.recovery"] = job_list_copy_text({"second, an earlier version's"});
    crashed_run(disk, "0004-d", {"still running"});
    disk.files[copy_path("0004-d") + ".new"] = "being written";
    disk.files[copy_path("0003-c") + ".new"] = "left by the crash";
    // Another window took a copy to offer it and still shows it; one that
    // took a copy and crashed left it for the next start.
    disk.files[copy_path("0000-x") + ".taken-by-0006-f"] = job_list_copy_text({"in another window's box"});
    disk.files[copy_path("0000-y") + ".taken-by-0000-z"] = job_list_copy_text({"taken, then a crash"});
    disk.running_tags = {"0004-d", "0006-f"};
    // A program folder shared with another computer: its running window
    // looks ended from here.
    disk.files[kFolder + job_list_copy_name("0000-w", "LAPTOP")] = job_list_copy_text({"the laptop's"});

    disk.yes_no_answers = {true, true, false, true};
    ProgramRun run(disk, "0005-e");
    ASSERT_EQ(disk.asked.size(), 4u);
    EXPECT_NE(disk.asked[1].text.find("holds 2 lines"), std::string::npos);
    EXPECT_EQ(run.lines(), (Lines{"taken, then a crash", "first", "first again", "third"}));
    EXPECT_EQ(disk.copies(), (std::vector<std::string>{
                                 "joblist-0000-w@laptop.recovery",
                                 copy_name("0000-x") + ".taken-by-0006-f",
                                 copy_name("0004-d"),
                                 copy_name("0004-d") + ".new",
                                 copy_name("0005-e"),
                             }));
    EXPECT_EQ(disk.files[copy_path("0004-d") + ".new"], "being written");
    EXPECT_EQ(read_job_list_copy(disk.files[copy_path("0005-e")]).lines, run.lines());
}

// A crash between putting the lines back and retiring their copy leaves
// both; the window's copy says it took the other in, so its lines come back once.
TEST(Recovery, LinesPutBackAreOfferedOnceWhateverMomentTheWindowCrashedAt) {
    Disk disk;
    crashed_run(disk, "0001-a", {"old"});
    disk.files[copy_path("0001-a") + ".taken-by-0002-b"] = disk.files[copy_path("0001-a")];
    disk.files.erase(copy_path("0001-a"));
    JobListCopyHeader took{false, {"0001-a"}};
    crashed_run(disk, "0002-b", {"old", "new"}, took);

    disk.yes_no_answers = {true};
    ProgramRun run(disk, "0003-c");
    ASSERT_EQ(disk.asked.size(), 1u);
    EXPECT_NE(disk.asked[0].text.find("holds 2 lines"), std::string::npos);
    EXPECT_EQ(run.lines(), (Lines{"old", "new"}));
    EXPECT_EQ(disk.copies(), std::vector<std::string>{copy_name("0003-c")});
    // This window's copy says so in turn.
    EXPECT_EQ(read_job_list_copy(disk.files[copy_path("0003-c")]).header.taken_in,
              (std::vector<std::string>{"0002-b"}));
}

TEST(Recovery, CopiesTheProgramCannotHandleAreNeverLostAndNeverComeBackAnswered) {
    Disk disk;
    crashed_run(disk, "0001-a", {"read-only"});
    disk.undeletable.insert(copy_path("0001-a"));
    crashed_run(disk, "0002-b", {"unreadable now"});
    disk.unreadable.insert(copy_path("0002-b") + ".taken-by-0004-d");
    disk.files[copy_path("0003-c")] = "tavrelion job list copy, version 7\r\nwhatever comes\r\n";

    disk.yes_no_answers = {false};
    {
        ProgramRun run(disk, "0004-d");
        const auto messages = disk.messages();
        ASSERT_EQ(messages.size(), 3u);
        EXPECT_NE(messages[0].find(copy_path("0001-a") + ".taken-by-0004-d\" could not be deleted. It is kept as \"" +
                                   copy_path("0001-a") + ".answered\""),
                  std::string::npos)
            << messages[0];
        EXPECT_NE(messages[1].find("could not be read now. It is kept and offered again"), std::string::npos)
            << messages[1];
        EXPECT_NE(messages[2].find("kept as \"" + copy_path("0003-c") + ".kept\""), std::string::npos) << messages[2];
        EXPECT_EQ(disk.copies(), (std::vector<std::string>{
                                     copy_name("0001-a") + ".answered",
                                     copy_name("0002-b") + ".taken-by-0004-d",
                                     copy_name("0003-c") + ".kept",
                                 }));
        run.app.exit();
    }

    // Only the copy that could not be read is offered again.
    disk.unreadable.clear();
    disk.asked.clear();
    disk.yes_no_answers = {true};
    ProgramRun later(disk, "0005-e");
    ASSERT_EQ(disk.asked.size(), 1u);
    EXPECT_EQ(later.lines(), Lines{"unreadable now"});
    EXPECT_EQ(disk.copies(), (std::vector<std::string>{copy_name("0001-a") + ".answered",
                                                       copy_name("0003-c") + ".kept", copy_name("0005-e")}));
}

TEST(Recovery, DamagedCopiesAreNeverACrash) {
    const std::string long_line(kMaxControlText + 1, 'x');
    const std::string whole = job_list_copy_text(kTwoJobs);
    const std::string could_not_read = "The job list of an earlier run that did not end normally could not be read "
                                       "from \"" + copy_path("0001-a") + ".taken-by-0002-b\". The file is deleted.";
    struct Case {
        const char* what;
        std::string bytes;
        std::string kind, text;  // the box shown; none when kind is empty
        Lines lines;             // in the list after Yes
    };
    const Case cases[] = {
        {"not a job list", "mode = 1\r\nvalue = 26\r\n", "message", could_not_read, {}},
        {"empty file", "", "message", could_not_read, {}},
        {"cut short", whole.substr(0, whole.find("@echo+") + 3), "yes-no",
         "The job list of an earlier run that did not end normally could be read only in part: 3 lines. Put them "
         "back into the job list?",
         Lines(kTwoJobs.begin(), kTwoJobs.begin() + 3)},
        {"over-long line", job_list_copy_text({"@echo.", long_line, "@echo+"}), "yes-no",
         "The job list of an earlier run that did not end normally holds 2 lines. 1 line longer than 32,767 "
         "characters is left out. Put them back into the job list?",
         {"@echo.", "@echo+"}},
        {"only over-long lines", job_list_copy_text({long_line, long_line}), "message", could_not_read, {}},
        {"copy of an empty list", job_list_copy_text({}), "", "", {}},
        {"an earlier version's copy", "tavrelion job list copy\r\none\r\n", "yes-no",
         "The job list of an earlier run that did not end normally could be read only in part: 1 line. Put it "
         "back into the job list?",
         {"one"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Disk disk;
        disk.files[copy_path("0001-a")] = c.bytes;
        disk.yes_no_answers = {true};
        ProgramRun run(disk, "0002-b");
        if (c.kind.empty()) {
            EXPECT_TRUE(disk.asked.empty());
        } else {
            ASSERT_EQ(disk.asked.size(), 1u);
            EXPECT_EQ(disk.asked[0].kind, c.kind);
            EXPECT_EQ(disk.asked[0].text, c.text);
        }
        EXPECT_EQ(run.lines(), c.lines);
        EXPECT_EQ(disk.copies(), c.lines.empty() ? std::vector<std::string>{} : std::vector{copy_name("0002-b")});
    }
}

TEST(Recovery, AFolderWhereNoCopyCanBeWrittenIsToldOncePerRun) {
    Disk disk;
    disk.unwritable.insert(kFolder);
    ProgramRun run(disk, "0001-a");
    ASSERT_EQ(disk.messages().size(), 1u);
    EXPECT_NE(disk.messages()[0].find("No copy of the job list can be written in \"C:\\prog\\\""), std::string::npos)
        << disk.messages()[0];
    run.click(ctl::Shut);
    run.write_copy();
    run.click(ctl::Shut);
    run.write_copy();
    EXPECT_EQ(disk.messages().size(), 1u);
    EXPECT_EQ(run.lines().size(), 2u);
}

// The end of the Windows session is an exit: the settings are saved, and
// the list stays for the next start unless it is finished work.
TEST(Recovery, TheEndOfTheSessionKeepsEveryListButFinishedWork) {
    struct Case {
        const char* what;
        bool started, changed_since, batch_ended, kept;
    };
    const Case cases[] = {
        {"never started", false, false, false, true},
        {"started and run to its end", true, false, true, false},
        {"its batch still runs", true, false, false, true},
        {"changed since it was started", true, true, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Disk disk;
        {
            ProgramRun run(disk, "0001-a");
            run.copy.append_items(ctl::JobList, kTwoJobs);
            if (c.started) run.click(ctl::Start);
            if (c.changed_since) run.click(ctl::Shut);
            if (c.batch_ended) disk.ended_batches.insert(1001);
            disk.files.erase(kFolder + "tavrelion.ini");
            run.app.end_session();
            EXPECT_EQ(disk.files.count(kFolder + "tavrelion.ini"), 1u);
            EXPECT_EQ(disk.copies(), c.kept ? std::vector{copy_name("0001-a")} : std::vector<std::string>{});
        }
        disk.asked.clear();
        disk.yes_no_answers = {true};
        ProgramRun next(disk, "0002-b");
        ASSERT_EQ(disk.asked.size(), c.kept ? 1u : 0u);
        if (c.kept) {
            EXPECT_TRUE(disk.asked[0].text.starts_with(
                "The job list of an earlier run, left when Windows ended its session, holds "))
                << disk.asked[0].text;
        }
    }
}

// Jobs put back hold their names as the jobs of one run do.
TEST(Recovery, JobsPutBackHoldTheirNames) {
    Disk disk;
    {
        ProgramRun first(disk, "0001-a");
        first.window.append_items(ctl::Template, {"plain"});
        first.window.set_state(ctl::Muxer, muxer::MkvMerge);
        first.window.set_state(ctl::Mode, 3);  // a first pass: statistics of its own
        first.window.set_text(ctl::InputFile, "E:\\a\\clip.mkv");
        prepare_input(first.app.context(), "D:\\out\\");
        first.click(ctl::Add);
        first.window.set_text(ctl::InputFile, "E:\\a\\clip.mp4");
        prepare_input(first.app.context(), "E:\\a\\");
        first.click(ctl::Add);
        first.write_copy();
    }
    disk.yes_no_answers = {true};
    ProgramRun second(disk, "0002-b");
    ASSERT_EQ(second.lines().size(), 12u);
    second.window.append_items(ctl::Template, {"plain"});
    second.window.set_state(ctl::Muxer, muxer::MkvMerge);
    second.window.set_state(ctl::Audio, 1);
    const auto has_line = [&](const std::string& start) {
        const Lines lines = second.lines();
        return std::any_of(lines.begin(), lines.end(), [&](const std::string& line) { return line.starts_with(start); });
    };

    second.window.set_text(ctl::InputFile, "E:\\b\\clip.mkv");
    prepare_input(second.app.context(), "D:\\out\\");
    EXPECT_EQ(second.window.text(ctl::InputFile), "C:\\prog\\avs\\clip-2.mkv.avs");
    EXPECT_EQ(second.window.text(ctl::StatsFile), "C:\\prog\\stats\\clip-2.mkv.stat");
    EXPECT_EQ(second.window.text(ctl::OutputFile), "D:\\out\\clip-2.mp4");
    // The output never is a recovered job's source, nor is the muxed file.
    second.window.set_text(ctl::InputFile, "E:\\c\\clip.avi");
    prepare_input(second.app.context(), "E:\\a\\");
    EXPECT_EQ(second.window.text(ctl::OutputFile), "E:\\a\\clip-3.mp4");  // clip-2.mp4 is a recovered job's
    second.window.set_text(ctl::InputFile, "E:\\a\\clip.avs");
    second.window.set_text(ctl::OutputFile, "E:\\a\\clip.264");
    second.click(ctl::Add);
    EXPECT_TRUE(has_line("@mkvmerge -o \"E:\\a\\clip.muxed.mkv\" \"E:\\a\\clip.264\""));

    // A job typed with "edit" holds its names too.
    second.select_line(0);
    disk.input_answers.push_back(std::string("@echo Output:\"E:\\d\\typed.mp4\""));
    second.click(ctl::Edit);
    second.window.set_text(ctl::InputFile, "E:\\e\\typed.avs");
    prepare_input(second.app.context(), "E:\\d\\");
    EXPECT_EQ(second.window.text(ctl::OutputFile), "E:\\d\\typed-2.mp4");
}

}  // namespace
}  // namespace tav
