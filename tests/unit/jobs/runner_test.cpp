#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "jobs/runner.h"
#include "model/control_ids.h"
#include "settings/settings_model.h"
#include "support/test_app.h"

namespace tav {
namespace {

using Lines = std::vector<std::string>;

std::string header(const std::string& folder) {
    return "@cd /d \"" + folder + "\"\r\n"
           "@echo Please wait until this process is set into idle.\r\n"
           "@delay.exe 1000\r\n"
           "@setpath.exe run\r\n"
           "@call setpath.bat\r\n"
           "@del setpath.bat\r\n";
}

class Start : public ::testing::Test {
protected:
    test::TestApp t;
    const std::string folder = "C:\\prog\\";
    std::string batch(const std::string& name) { return t.platform.files[folder + name]; }
};

TEST_F(Start, WritesTheHeaderEveryLineAndTheSelfDeletionIntoTheProgramFolder) {
    const Lines lines = {"@echo.", "@rem @x264.exe --pass 1", "", "@x264.exe \"a %%b.avs\"", "@echo+",
                         "shutdown.exe -s -f -t 30"};
    t.set_job_lines(lines);
    t.click(ctl::Start);

    EXPECT_EQ(batch("temp.bat"), header(folder) +
                                     "@echo.\r\n"
                                     "@rem @x264.exe --pass 1\r\n"
                                     "\r\n"
                                     "@x264.exe \"a %%b.avs\"\r\n"
                                     "@echo+\r\n"
                                     "shutdown.exe -s -f -t 30\r\n"
                                     "del temp.bat");
    EXPECT_EQ(t.job_lines(), lines);
    EXPECT_EQ(t.platform.files.count("temp.bat"), 0u);  // not the current directory
}

TEST_F(Start, StartsTheWrittenBatchInTheProgramFolderAndLowersItToIdle) {
    t.set_job_lines({"@echo.", "@x264.exe", "@echo+"});
    t.click(ctl::Start);

    ASSERT_EQ(t.platform.started.size(), 1u);
    EXPECT_EQ(t.platform.started[0].path, folder + "temp.bat");
    EXPECT_EQ(t.platform.started[0].working_dir, folder);
    EXPECT_EQ(t.platform.started[0].content_at_start, batch("temp.bat"));
    EXPECT_EQ(t.platform.slept_ms, 600u);
    EXPECT_EQ(t.platform.idled, (std::vector<std::uint32_t>{1001}));
    EXPECT_TRUE(t.platform.messages().empty());
}

TEST_F(Start, AnEmptyListStillRunsTheHeader) {
    t.click(ctl::Start);
    EXPECT_EQ(batch("temp.bat"), header(folder) + "del temp.bat");
    EXPECT_EQ(t.platform.started.size(), 1u);
    EXPECT_EQ(t.ui.state(ctl::JobList), -1);
}

TEST_F(Start, LeavesTheLastLineSelected) {
    t.set_job_lines({"a", "b", "c"});
    t.select_line(0);
    t.click(ctl::Start);
    EXPECT_EQ(t.ui.state(ctl::JobList), 2);
}

TEST_F(Start, OnlyTheLastLineLacksItsLineEnd) {
    t.set_job_lines({"@echo.", "x", "@echo+"});
    t.click(ctl::Start);
    const std::string text = batch("temp.bat");
    ASSERT_FALSE(text.empty());
    EXPECT_NE(text.back(), '\n');
    size_t lines = 0, crlf = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n') {
            ++lines;
            if (i > 0 && text[i - 1] == '\r') ++crlf;
        }
        if (text[i] == '\r') {
            EXPECT_TRUE(i + 1 < text.size() && text[i + 1] == '\n');
        }
    }
    EXPECT_EQ(lines, 9u);  // six header lines, three job lines; the tenth has no end
    EXPECT_EQ(crlf, lines);
    EXPECT_EQ(text.substr(text.rfind('\n') + 1), "del temp.bat");
}

TEST_F(Start, EachStartWritesAFileOfItsOwnWhileEarlierOnesStillExist) {
    t.set_job_lines({"@x264.exe first"});
    t.click(ctl::Start);
    t.set_job_lines({"@x264.exe second"});
    t.click(ctl::Start);
    t.click(ctl::Start);

    ASSERT_EQ(t.platform.started.size(), 3u);
    EXPECT_EQ(t.platform.started[0].path, folder + "temp.bat");
    EXPECT_EQ(t.platform.started[1].path, folder + "temp2.bat");
    EXPECT_EQ(t.platform.started[2].path, folder + "temp3.bat");
    EXPECT_EQ(batch("temp.bat"), header(folder) + "@x264.exe first\r\ndel temp.bat");
    EXPECT_EQ(batch("temp2.bat"), header(folder) + "@x264.exe second\r\ndel temp2.bat");
    EXPECT_EQ(batch("temp3.bat"), header(folder) + "@x264.exe second\r\ndel temp3.bat");

    // Once the first batch has deleted itself its name is free again.
    t.platform.files.erase(folder + "temp.bat");
    t.click(ctl::Start);
    EXPECT_EQ(t.platform.started.back().path, folder + "temp.bat");
}

TEST_F(Start, GivesUpWhenEveryBatchNameIsTaken) {
    for (int number = 1; number <= 999; ++number)
        t.platform.files[folder + (number == 1 ? "temp.bat" : "temp" + std::to_string(number) + ".bat")] = "old";
    t.click(ctl::Start);
    EXPECT_TRUE(t.platform.started.empty());
    EXPECT_EQ(t.platform.messages().size(), 1u);
    EXPECT_EQ(t.platform.files[folder + "temp.bat"], "old");
    EXPECT_EQ(t.platform.files[folder + "temp999.bat"], "old");
    EXPECT_EQ(t.platform.files.count(folder + "temp1000.bat"), 0u);

    t.platform.files.erase(folder + "temp500.bat");
    t.click(ctl::Start);
    ASSERT_EQ(t.platform.started.size(), 1u);
    EXPECT_EQ(t.platform.started[0].path, folder + "temp500.bat");
}

TEST_F(Start, DoublesThePercentSignsOfTheProgramFolder) {
    test::TestApp odd;
    odd.platform.folder = "C:\\100% tools\\%PATH%\\";
    odd.ctx.program_folder = odd.platform.folder;
    odd.click(ctl::Start);
    const std::string text = odd.platform.files[odd.platform.folder + "temp.bat"];
    EXPECT_EQ(text.substr(0, text.find("\r\n")), "@cd /d \"C:\\100%% tools\\%%PATH%%\\\"");
    ASSERT_EQ(odd.platform.started.size(), 1u);
    EXPECT_EQ(odd.platform.started[0].working_dir, odd.platform.folder);
}

TEST_F(Start, SavesTheSettingsIntoTheCurrentDirectoryFirst) {
    t.select(ctl::Mode, 7);
    t.paste(ctl::Threads, "3");
    t.platform.unwritable.insert(folder);  // the settings are saved all the same
    t.click(ctl::Start);

    save_settings(t.ctx, "expected.ini");
    ASSERT_EQ(t.platform.files.count("tavrelion.ini"), 1u);
    EXPECT_EQ(t.platform.files["tavrelion.ini"], t.platform.files["expected.ini"]);
    EXPECT_EQ(t.platform.files.count(folder + "tavrelion.ini"), 0u);
}

TEST_F(Start, ABatchThatCannotBeWrittenIsReportedAndNotStarted) {
    t.set_job_lines({"a", "b"});
    t.select_line(0);
    t.platform.unwritable.insert(folder);
    t.click(ctl::Start);

    EXPECT_TRUE(t.platform.started.empty());
    EXPECT_TRUE(t.platform.idled.empty());
    ASSERT_EQ(t.platform.asked.size(), 1u);
    EXPECT_EQ(t.platform.asked[0].kind, "message");
    EXPECT_EQ(t.platform.asked[0].title, "tavrelion");
    EXPECT_NE(t.platform.asked[0].text.find(folder + "temp.bat"), std::string::npos);
    EXPECT_EQ(t.job_lines(), (Lines{"a", "b"}));
}

TEST_F(Start, AShortWriteCountsAsNotWritten) {
    t.platform.short_write = 10;
    t.click(ctl::Start);
    EXPECT_TRUE(t.platform.started.empty());
    EXPECT_EQ(t.platform.messages().size(), 1u);
}

TEST_F(Start, ABatchThatCannotBeStartedIsRemovedAndNotWaitedFor) {
    t.platform.start_fails = true;
    t.set_job_lines({"a"});
    t.click(ctl::Start);
    EXPECT_EQ(t.platform.files.count(folder + "temp.bat"), 0u);
    EXPECT_EQ(t.platform.slept_ms, 0u);
    EXPECT_TRUE(t.platform.idled.empty());
    EXPECT_TRUE(t.platform.messages().empty());
}

TEST_F(Start, ABatchStartedByTheShellKeepsItsPriority) {
    t.platform.start_without_pid = true;
    t.click(ctl::Start);
    EXPECT_EQ(t.platform.started.size(), 1u);
    EXPECT_EQ(t.platform.files.count(folder + "temp.bat"), 1u);
    EXPECT_TRUE(t.platform.idled.empty());
}

TEST(Shut, AppendsTheShutdownLineAtTheEnd) {
    test::TestApp t;
    t.click(ctl::Shut);
    EXPECT_EQ(t.job_lines(), (Lines{"shutdown.exe -s -f -t 30"}));

    t.select_line(0);
    t.click(ctl::Shut);
    EXPECT_EQ(t.job_lines(), (Lines{"shutdown.exe -s -f -t 30", "shutdown.exe -s -f -t 30"}));
    EXPECT_EQ(t.ui.state(ctl::JobList), 0);

    t.set_job_lines({"@echo.", "@x264.exe", "@echo+"});
    t.click(ctl::Shut);
    EXPECT_EQ(t.job_lines(), (Lines{"@echo.", "@x264.exe", "@echo+", "shutdown.exe -s -f -t 30"}));
}

TEST(StartSpeed, AHundredThousandLinesAreWrittenInOnePass) {
    test::TestApp t;
    const std::string line = "@x264.exe --bitrate 1000 --output \"out.mp4\" \"in.avs\"";
    t.set_job_lines(Lines(100'000, line));
    const auto start = std::chrono::steady_clock::now();
    t.click(ctl::Start);
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(took).count(), 500);
    EXPECT_EQ(t.platform.files["C:\\prog\\temp.bat"].size(),
              header("C:\\prog\\").size() + 100'000 * (line.size() + 2) + std::string("del temp.bat").size());
    EXPECT_EQ(t.ui.state(ctl::JobList), 99'999);
}

}  // namespace
}  // namespace tav
