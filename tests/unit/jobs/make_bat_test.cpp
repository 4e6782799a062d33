// "Make BAT" through the program's own dispatch: the job list as a batch file.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "jobs/batch_writer.h"
#include "model/control_ids.h"
#include "support/test_app.h"

namespace tav {
namespace {

using Lines = std::vector<std::string>;

class MakeBat : public ::testing::Test {
protected:
    std::string file(const std::string& path) const {
        const auto it = t.platform.files.find(path);
        return it == t.platform.files.end() ? "<none>" : it->second;
    }

    test::TestApp t;
};

TEST_F(MakeBat, WritesTheHeaderAndEveryLineWithCrLf) {
    const Lines jobs = {"@echo.", "@rem @x264.exe \xE9t\xE9", "", "@echo+", "@shutdown.exe -s"};
    t.set_job_lines(jobs);
    t.platform.save_answers.push_back("D:\\jobs\\run.bat");
    t.click(ctl::MakeBat);
    ASSERT_FALSE(t.platform.asked.empty());
    EXPECT_EQ(t.platform.asked[0].kind, "save");
    EXPECT_EQ(t.platform.asked[0].title, "");
    EXPECT_EQ(t.platform.asked[0].text, "");
    EXPECT_EQ(t.platform.asked[0].filter, "Batch File|*.BAT");
    EXPECT_EQ(file("D:\\jobs\\run.bat"),
              "@cd /d \"C:\\prog\\\"\r\n"
              "@setpath.exe run\r\n"
              "@call setpath.bat\r\n"
              "@del setpath.bat\r\n"
              "@echo.\r\n"
              "@rem @x264.exe \x82t\x82\r\n"  // the accents in the console's code page
              "\r\n"
              "@echo+\r\n"
              "@shutdown.exe -s\r\n");
    EXPECT_EQ(t.ui.state(ctl::JobList), 4);
    EXPECT_TRUE(t.platform.messages().empty());
}

TEST_F(MakeBat, AppendsBatOnlyToANameWithoutExtension) {
    const struct {
        std::string chosen, written;
    } cases[] = {
        {"D:\\jobs\\run", "D:\\jobs\\run.bat"},
        {"D:\\my.jobs\\run", "D:\\my.jobs\\run.bat"},
        {"D:\\jobs\\run.cmd", "D:\\jobs\\run.cmd"},
        {"D:\\jobs\\RUN.BAT", "D:\\jobs\\RUN.BAT"},
        {"D:/jobs/run", "D:/jobs/run.bat"},
    };
    for (const auto& c : cases) {
        t.platform.files.clear();
        t.platform.save_answers.push_back(c.chosen);
        t.click(ctl::MakeBat);
        EXPECT_EQ(t.platform.files.size(), 1u) << c.chosen;
        EXPECT_EQ(t.platform.files.count(c.written), 1u) << c.chosen;
    }
}

TEST_F(MakeBat, OfAnEmptyListWritesTheHeaderOnly) {
    t.platform.save_answers.push_back("D:\\jobs\\run.bat");
    t.click(ctl::MakeBat);
    EXPECT_EQ(file("D:\\jobs\\run.bat"),
              "@cd /d \"C:\\prog\\\"\r\n@setpath.exe run\r\n@call setpath.bat\r\n@del setpath.bat\r\n");
    EXPECT_EQ(t.ui.state(ctl::JobList), -1);
}

TEST(BatchFileText, DoublesPercentSignsOfTheProgramFolder) {
    EXPECT_TRUE(batch_file_text("C:\\100% sure\\", {}).starts_with("@cd /d \"C:\\100%% sure\\\"\r\n"));
}

TEST_F(MakeBat, CancelledWritesNothing) {
    t.set_job_lines({"@echo.", "@echo+"});
    t.click(ctl::MakeBat);
    t.platform.save_answers.push_back("");
    t.click(ctl::MakeBat);
    EXPECT_TRUE(t.platform.files.empty());
    EXPECT_TRUE(t.platform.messages().empty());
}

TEST_F(MakeBat, IntoAFileThatCannotBeWrittenSaysSo) {
    t.set_job_lines({"@echo.", "@echo+"});
    t.platform.unwritable.insert("R:\\locked.bat");
    t.platform.save_answers.push_back("R:\\locked.bat");
    t.click(ctl::MakeBat);
    ASSERT_EQ(t.platform.messages().size(), 1u);
    EXPECT_NE(t.platform.messages()[0].find("R:\\locked.bat"), std::string::npos);

    t.platform.unwritable.clear();
    t.platform.short_write = 5;
    t.platform.save_answers.push_back("R:\\full.bat");
    t.click(ctl::MakeBat);
    EXPECT_EQ(t.platform.messages().size(), 2u);
}

TEST_F(MakeBat, StaysQuickWithAHundredThousandLines) {
    Lines many;
    many.reserve(100000);
    for (int i = 0; i < 100000; ++i) many.push_back("@x264.exe --line " + std::to_string(i));
    t.set_job_lines(many);
    t.platform.save_answers.push_back("D:\\big.bat");
    const auto start = std::chrono::steady_clock::now();
    t.click(ctl::MakeBat);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    const std::string& text = t.platform.files["D:\\big.bat"];
    EXPECT_TRUE(text.ends_with("@x264.exe --line 99999\r\n"));
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 100004);
    EXPECT_EQ(t.ui.state(ctl::JobList), 99999);
}

}  // namespace
}  // namespace tav
