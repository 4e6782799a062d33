// "Add" and "Files input" through the program's own dispatch.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "jobscript/input_prep.h"
#include "jobscript/job_step.h"
#include "model/control_ids.h"
#include "model/muxers.h"
#include "model/forwarding_surface.h"
#include "support/test_app.h"

namespace tav {
namespace {

using Lines = std::vector<std::string>;

// Forwards to the in-memory controls and records every change the program
// makes, except to the job list.
class RecordingSurface final : public ForwardingSurface {
public:
    using ForwardingSurface::ForwardingSurface;
    std::vector<int> changed;

    void set_text(int id, std::string_view text) override { note(id), inner().set_text(id, text); }
    void set_state(int id, int state) override { note(id), inner().set_state(id, state); }
    void insert_item(int id, int index, std::string_view text) override {
        note(id), inner().insert_item(id, index, text);
    }
    void remove_item(int id, int index) override { note(id), inner().remove_item(id, index); }
    void clear_items(int id) override { note(id), inner().clear_items(id); }
    void append_items(int id, const std::vector<std::string>& texts) override {
        note(id), inner().append_items(id, texts);
    }
    void set_enabled(int id, bool enabled) override { note(id), inner().set_enabled(id, enabled); }
    void set_visible(int id, bool visible) override { note(id), inner().set_visible(id, visible); }

private:
    void note(int id) {
        if (id != ctl::JobList) changed.push_back(id);
    }
};

class JobButtons : public ::testing::Test {
protected:
    void SetUp() override {
        t.ui.append_item(ctl::Template, "plain");
        t.ui.set_text(ctl::Template, "plain");
    }
    void fill_files() {
        t.ui.set_text(ctl::InputFile, "D:\\video\\movie.avs");
        t.ui.set_text(ctl::OutputFile, "D:\\video\\movie.mp4");
        t.ui.set_text(ctl::StatsFile, "D:\\video\\movie.stat");
        t.ui.set_text(ctl::LogFile, "D:\\video\\movie.txt");
    }
    std::string file(const std::string& path) const {
        const auto it = t.platform.files.find(path);
        return it == t.platform.files.end() ? "<none>" : it->second;
    }

    test::TestApp t;
};

// --- Add ---

TEST_F(JobButtons, AddAppendsACompleteJobAndClearsTheFileFields) {
    fill_files();
    t.select(ctl::Mode, 0);
    t.click(ctl::Audio);  // on
    t.click(ctl::Add);
    const Lines lines = t.job_lines();
    ASSERT_EQ(lines.size(), 9u);
    EXPECT_EQ(lines[0], "@echo.");
    EXPECT_EQ(lines[1], "@echo Input:\"D:\\video\\movie.avs\"");
    EXPECT_EQ(lines[2], "@echo Output:\"D:\\video\\movie.mp4\"");
    EXPECT_EQ(lines[3], "@echo Encode Mode:Single Pass - Bitrate");
    EXPECT_EQ(lines[5], "@bepipe.exe --script \"import(^D:\\video\\movie.avs^)\" | neroaacenc.exe -if - -of "
                        "\"D:\\video\\movie.audio.mp4\" -ignorelength -cbr 64000");
    EXPECT_EQ(lines[6], "@mp4box.exe -add \"D:\\video\\movie.audio.mp4\" \"D:\\video\\movie.mp4\"");
    EXPECT_EQ(lines[7], "@if not errorlevel 1 del \"D:\\video\\movie.audio.mp4\"");
    EXPECT_EQ(lines[8], "@echo+");
    for (int id : {ctl::InputFile, ctl::OutputFile, ctl::StatsFile, ctl::LogFile})
        EXPECT_EQ(t.ui.text(id), "") << "field " << id;
}

TEST_F(JobButtons, AddWithoutAnOutputAppendsOnlyTheMarkersAndKeepsTheFields) {
    fill_files();
    t.ui.set_text(ctl::OutputFile, "");
    t.click(ctl::Add);
    EXPECT_EQ(t.job_lines(), (Lines{"@echo.", "@echo+"}));
    EXPECT_EQ(t.ui.text(ctl::InputFile), "D:\\video\\movie.avs");
    EXPECT_EQ(t.ui.text(ctl::StatsFile), "D:\\video\\movie.stat");
}

TEST_F(JobButtons, AddLeavesEarlierJobsAsTheyWere) {
    t.set_job_lines({"@echo.", "@rem old", "@echo+", "@shutdown"});
    fill_files();
    t.click(ctl::Add);
    const Lines lines = t.job_lines();
    ASSERT_GT(lines.size(), 6u);
    EXPECT_EQ(Lines(lines.begin(), lines.begin() + 4), (Lines{"@echo.", "@rem old", "@echo+", "@shutdown"}));
    EXPECT_EQ(lines[4], "@echo.");
    EXPECT_EQ(lines.back(), "@echo+");
}

TEST_F(JobButtons, CombinedModesChangeNoControlButTheClearedFields) {
    RecordingSurface recording(t.ui);
    Context ctx{recording, t.platform, t.platform.folder, t.session};
    for (int mode : {6, 7, 10, 11, 13}) {
        SCOPED_TRACE("mode " + std::to_string(mode));
        t.select(ctl::Mode, mode);
        t.ui.set_text(ctl::Value, "1200");
        t.ui.set_text(ctl::FirstPassCrf, "18");
        t.ui.set_state(ctl::Audio, 1);
        fill_files();
        recording.changed.clear();
        add_one_job(ctx);
        std::sort(recording.changed.begin(), recording.changed.end());
        EXPECT_EQ(recording.changed, (std::vector<int>{ctl::StatsFile, ctl::InputFile, ctl::OutputFile,
                                                       ctl::LogFile}));
        EXPECT_EQ(t.ui.state(ctl::Mode), mode);
        EXPECT_EQ(t.ui.text(ctl::Value), "1200");
        EXPECT_TRUE(t.ui.checked(ctl::Audio));
        EXPECT_EQ(t.job_lines()[t.job_lines().size() - 1], "@echo+");
    }
}

// --- Files input ---

TEST_F(JobButtons, FilesInputAsksForAFolderThenForFiles) {
    t.platform.folder_answers.push_back("D:\\out\\");
    t.platform.open_many_answers.push_back(Lines{"E:\\c\\one.avs"});
    t.click(ctl::FilesInput);
    ASSERT_EQ(t.platform.asked.size(), 2u);
    EXPECT_EQ(t.platform.asked[0].kind, "folder");
    EXPECT_EQ(t.platform.asked[0].title, "Select a folder for output");
    EXPECT_EQ(t.platform.asked[0].text, "C:\\prog\\");
    EXPECT_EQ(t.platform.asked[1].kind, "open-many");
    EXPECT_EQ(t.platform.asked[1].title, "Select some files");
    EXPECT_EQ(t.platform.asked[1].text, "");
    EXPECT_EQ(t.platform.asked[1].filter, "AVS(*.AVS)|*.avs|Other Media|*.*");
}

TEST_F(JobButtons, FilesInputAddsOneJobPerFileInTheDialogsOrder) {
    t.select(ctl::Muxer, muxer::NoMux);
    t.ui.set_state(ctl::Audio, 1);
    t.platform.folder_answers.push_back("D:\\out\\");
    t.platform.open_many_answers.push_back(Lines{"E:\\c\\b.avi", "E:\\c\\a.avs", "E:\\c\\c d.mkv"});
    t.click(ctl::FilesInput);

    const Lines lines = t.job_lines();
    Lines inputs, outputs, audio;
    int starts = 0, ends = 0;
    for (const std::string& line : lines) {
        starts += line == "@echo.";
        ends += line == "@echo+";
        if (line.starts_with("@echo Input:")) inputs.push_back(line.substr(12));
        if (line.starts_with("@echo Output:")) outputs.push_back(line.substr(13));
        if (line.starts_with("@bepipe.exe")) audio.push_back(line);
    }
    EXPECT_EQ(starts, 3);
    EXPECT_EQ(ends, 3);
    EXPECT_EQ(inputs, (Lines{"\"C:\\prog\\avs\\b.avi.avs\"", "\"E:\\c\\a.avs\"", "\"C:\\prog\\avs\\c d.mkv.avs\""}));
    EXPECT_EQ(outputs, (Lines{"\"D:\\out\\b.mp4\"", "\"D:\\out\\a.mp4\"", "\"D:\\out\\c d.mp4\""}));
    ASSERT_EQ(audio.size(), 3u);
    EXPECT_NE(audio[2].find("import(^C:\\prog\\avs\\c d.mkv.avs^)"), std::string::npos);
    EXPECT_NE(audio[2].find("\"D:\\out\\c d.audio.mp4\""), std::string::npos);
    EXPECT_EQ(file("C:\\prog\\avs\\b.avi.avs"),
              "fs=\"E:\\c\\b.avi\"\r\nmfn=\"E:\\c\\b\"\r\nimport(\"..\\avsinc\\plain.avs\")\r\n");
    EXPECT_EQ(t.ui.text(ctl::InputFile), "");
    EXPECT_EQ(t.ui.text(ctl::OutputFile), "");
}

TEST_F(JobButtons, FilesInputGivesSameNamedFilesTheirOwnWrappers) {
    t.platform.folder_answers.push_back("D:\\out\\");
    t.platform.open_many_answers.push_back(Lines{"E:\\a\\m.avi", "E:\\b\\m.avi"});
    t.click(ctl::FilesInput);
    const Lines lines = t.job_lines();
    EXPECT_NE(std::find(lines.begin(), lines.end(), "@echo Input:\"C:\\prog\\avs\\m.avi.avs\""), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "@echo Input:\"C:\\prog\\avs\\m-2.avi.avs\""), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "@echo Output:\"D:\\out\\m-2.mp4\""), lines.end());
    EXPECT_EQ(file("C:\\prog\\avs\\m.avi.avs").substr(0, 17), "fs=\"E:\\a\\m.avi\"\r\n");
    EXPECT_EQ(file("C:\\prog\\avs\\m-2.avi.avs").substr(0, 17), "fs=\"E:\\b\\m.avi\"\r\n");
}

TEST_F(JobButtons, FilesInputCancelledAddsNothing) {
    // At the folder chooser: no file dialog follows.
    t.click(ctl::FilesInput);
    EXPECT_TRUE(t.job_lines().empty());
    EXPECT_EQ(t.platform.asked.size(), 1u);

    // At the file dialog, or with nothing selected.
    t.platform.folder_answers.push_back("D:\\out\\");
    t.click(ctl::FilesInput);
    t.platform.folder_answers.push_back("D:\\out\\");
    t.platform.open_many_answers.push_back(Lines{});
    t.click(ctl::FilesInput);
    EXPECT_TRUE(t.job_lines().empty());
    EXPECT_TRUE(t.platform.files.empty());
}

TEST_F(JobButtons, FilesInputPutsOutputsInsideTheChosenFolder) {
    t.platform.folder_answers.push_back("D:\\out");
    t.platform.open_many_answers.push_back(Lines{"E:\\c\\a.avs"});
    t.click(ctl::FilesInput);
    const Lines lines = t.job_lines();
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[2], "@echo Output:\"D:\\out\\a.mp4\"");
}

TEST_F(JobButtons, FilesInputLeavesOutFilesWhoseWrapperCannotBeWrittenAndSaysSoOnce) {
    t.platform.unwritable.insert("C:\\prog\\avs\\");
    t.platform.folder_answers.push_back("D:\\out\\");
    t.platform.open_many_answers.push_back(Lines{"E:\\c\\a.avi", "E:\\c\\b.avs", "E:\\c\\c.avi"});
    t.click(ctl::FilesInput);
    const Lines lines = t.job_lines();
    Lines inputs;
    for (const auto& line : lines)
        if (line.starts_with("@echo Input:")) inputs.push_back(line);
    EXPECT_EQ(inputs, Lines{"@echo Input:\"E:\\c\\b.avs\""});
    ASSERT_EQ(t.platform.messages().size(), 1u);
    const std::string message = t.platform.messages()[0];
    EXPECT_NE(message.find("E:\\c\\a.avi"), std::string::npos);
    EXPECT_NE(message.find("E:\\c\\c.avi"), std::string::npos);
    EXPECT_EQ(message.find("E:\\c\\b.avs"), std::string::npos);
}

TEST_F(JobButtons, FilesInputStaysQuickWithTwoThousandFiles) {
    Lines many;
    for (int i = 0; i < 2000; ++i) many.push_back("E:\\clips\\clip" + std::to_string(i) + ".avi");
    t.platform.folder_answers.push_back("D:\\out\\");
    t.platform.open_many_answers.push_back(many);
    t.ui.set_state(ctl::Audio, 1);
    t.select(ctl::Mode, 6);
    const auto start = std::chrono::steady_clock::now();
    t.click(ctl::FilesInput);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_LT(elapsed, std::chrono::seconds(2));
    const Lines lines = t.job_lines();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "@echo."), 2000);
    EXPECT_EQ(lines[lines.size() - 2], "@if not errorlevel 1 del \"D:\\out\\clip1999.audio.mp4\"");
}

}  // namespace
}  // namespace tav
