// Files and folders dropped on the window or named on the command line,
// through the program's own entry point.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "common/text_rules.h"
#include "jobscript/named_files.h"
#include "model/control_ids.h"
#include "support/test_app.h"

namespace tav {
namespace {

using Lines = std::vector<std::string>;

class NamedFiles : public ::testing::Test {
protected:
    void SetUp() override {
        t.ui.append_item(ctl::Template, "plain");
        t.ui.set_text(ctl::Template, "plain");
    }
    void put(const Lines& paths) {
        for (const std::string& path : paths) t.platform.files[path] = "x";
    }
    // The text after `prefix` of every job line that starts with it.
    Lines echoed(std::string_view prefix) const {
        Lines found;
        for (const std::string& line : t.job_lines())
            if (line.starts_with(prefix)) found.push_back(line.substr(prefix.size()));
        return found;
    }
    Lines inputs() const { return echoed("@echo Input:"); }

    test::TestApp t;
};

TEST_F(NamedFiles, FilesAndAFolderBecomeJobsInTheOrderGiven) {
    put({"E:\\c\\b clip.avi", "E:\\c\\a.avs", "E:\\c\\readme.txt", "E:\\season\\Ep10.mkv", "E:\\season\\ep2.MKV",
         "E:\\season\\ep1.avs", "E:\\season\\notes.txt", "E:\\season\\cover.jpg", "E:\\season\\ep1.srt",
         "E:\\season\\tavrelion.ini", "E:\\season\\extra\\ep0.mkv"});
    t.platform.folder_answers.push_back("D:\\out");
    // A name given alone is taken whatever its extension.
    t.app.take_files({"E:\\c\\b clip.avi", "E:\\season\\", "E:\\c\\readme.txt", "E:\\c\\a.avs"});

    ASSERT_EQ(t.platform.asked.size(), 1u);
    EXPECT_EQ(t.platform.asked[0].title, "Select a folder for output");
    EXPECT_EQ(inputs(), (Lines{"\"C:\\prog\\avs\\b clip.avi.avs\"", "\"E:\\season\\ep1.avs\"",
                               "\"C:\\prog\\avs\\ep2.MKV.avs\"", "\"C:\\prog\\avs\\Ep10.mkv.avs\"",
                               "\"C:\\prog\\avs\\readme.txt.avs\"", "\"E:\\c\\a.avs\""}));
    EXPECT_EQ(echoed("@echo Output:"), (Lines{"\"D:\\out\\b clip.mp4\"", "\"D:\\out\\ep1.mp4\"", "\"D:\\out\\ep2.mp4\"",
                                             "\"D:\\out\\Ep10.mp4\"", "\"D:\\out\\readme.mp4\"", "\"D:\\out\\a.mp4\""}));
    EXPECT_EQ(t.platform.files["C:\\prog\\avs\\ep2.MKV.avs"],
              "fs=\"E:\\season\\ep2.MKV\"\r\nmfn=\"E:\\season\\ep2\"\r\nimport(\"..\\avsinc\\plain.avs\")\r\n");
    EXPECT_EQ(t.ui.text(ctl::InputFile), "");
}

TEST_F(NamedFiles, WhatCannotBeAddedIsToldInOneBoxAndTheRestIsAdded) {
    put({"E:\\c\\a.avs", "E:\\texts\\notes.txt", "E:\\mixed\\ok.avi", "E:\\mixed\\?.avi"});
    t.platform.folders.insert("E:\\empty");
    t.platform.folder_answers.push_back("D:\\out\\");
    t.app.take_files({"E:\\c\\gone.avi", "E:\\c\\a.avs", "E:\\c\\caf?.avi", "E:\\empty", "E:\\texts", "E:\\mixed"});

    EXPECT_EQ(inputs(), (Lines{"\"E:\\c\\a.avs\"", "\"C:\\prog\\avs\\ok.avi.avs\""}));
    ASSERT_EQ(t.platform.messages().size(), 1u);
    EXPECT_EQ(t.platform.messages()[0],
              "These files or folders do not exist, so no job was added for them:\nE:\\c\\gone.avi\n\n"
              "The names of these files hold characters that the system's code page lacks (shown as \"?\"), so no "
              "job was added for them. Rename them:\nE:\\c\\caf?.avi\nE:\\mixed\\?.avi\n\n"
              "These folders hold no AviSynth scripts or videos (their subfolders are not looked into), so no job "
              "was added from them:\nE:\\empty\nE:\\texts");
}

TEST_F(NamedFiles, NothingToAddSaysWhyWithoutAskingForAFolder) {
    t.platform.folders.insert("E:\\empty\\");
    t.platform.folder_answers.push_back("D:\\out\\");
    t.app.take_files({"E:\\c\\gone.avi", "E:\\empty"});
    ASSERT_EQ(t.platform.asked.size(), 1u);
    EXPECT_EQ(t.platform.asked[0].kind, "message");
    EXPECT_NE(t.platform.asked[0].text.find("E:\\c\\gone.avi"), std::string::npos);
    EXPECT_NE(t.platform.asked[0].text.find("E:\\empty"), std::string::npos);
    EXPECT_TRUE(t.job_lines().empty());
}

TEST_F(NamedFiles, ACancelledOutputFolderAddsNothing) {
    put({"E:\\c\\a.avi"});
    t.app.take_files({"E:\\c\\a.avi", "E:\\c\\gone.avi"});
    EXPECT_TRUE(t.job_lines().empty());
    EXPECT_EQ(t.platform.files.count("C:\\prog\\avs\\a.avi.avs"), 0u);
    EXPECT_TRUE(t.platform.messages().empty());
}

TEST_F(NamedFiles, AFolderOfTwoThousandVideosIsQuickAndInNumberOrder) {
    for (int i = 0; i < 2000; ++i) t.platform.files["E:\\season\\clip" + std::to_string(i) + ".avi"] = "x";
    t.platform.files["E:\\season\\clip.nfo"] = "x";
    t.platform.folder_answers.push_back("D:\\out\\");
    t.ui.set_state(ctl::Audio, 1);
    t.select(ctl::Mode, 6);
    const auto start = std::chrono::steady_clock::now();
    t.app.take_files({"E:\\season"});
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    const Lines in = inputs();
    ASSERT_EQ(in.size(), 2000u);
    for (int i : {0, 9, 10, 1999}) EXPECT_EQ(in[i], "\"C:\\prog\\avs\\clip" + std::to_string(i) + ".avi.avs\"");
}

TEST(NaturalOrder, NumbersByValueLettersWithoutCaseAndAFixedOrderForTies) {
    const std::pair<std::string_view, std::string_view> ordered[] = {
        {"ep2.mkv", "ep10.mkv"},
        {"Ep9.mkv", "ep10.mkv"},
        {"a.avi", "B.avi"},
        {"clip", "clip1"},
        {"x1y", "x01z"},
        {"ep01", "ep1"},  // equal but for zeros: still one order
        {"EP1", "ep1"},   // equal but for letter case
        {"a99999999999999999999", "a100000000000000000000"},
        {"part 3 b", "part 12 a"},
    };
    for (const auto& [first, second] : ordered) {
        EXPECT_TRUE(natural_less(first, second)) << first << " < " << second;
        EXPECT_FALSE(natural_less(second, first)) << second << " < " << first;
    }
    EXPECT_FALSE(natural_less("ep1", "ep1"));
}

TEST(MediaFileNames, ScriptsAndVideosInAnyLetterCaseOnly) {
    for (const char* name : {"a.avs", "A.AVS", "movie.mkv", "x.M2TS", "clip.264", "b.c.mp4", "old.VOB", "z.y4m"})
        EXPECT_TRUE(is_media_file_name(name)) << name;
    for (const char* name : {"notes.txt", "subs.srt", "cover.jpg", "tavrelion.ini", "clip.mkv.txt", "mkv", "a.mp4.",
                             "joblist-1.recovery", "x.bat", "a.mp"})
        EXPECT_FALSE(is_media_file_name(name)) << name;
}

}  // namespace
}  // namespace tav
