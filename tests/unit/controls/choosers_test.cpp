// The single-field file choosers through a fake platform.
#include <gtest/gtest.h>

#include "model/control_ids.h"
#include "support/test_app.h"

namespace tav {
namespace {

TEST(OutputChooser, AppendsMp4OnlyToANameWithoutExtension) {
    struct Case {
        std::optional<std::string> answer;
        const char* shown;
    };
    const Case cases[] = {
        {"D:\\out\\movie", "D:\\out\\movie.mp4"},
        {"D:\\out\\movie.mkv", "D:\\out\\movie.mkv"},
        {"D:\\out.dir\\movie", "D:\\out.dir\\movie.mp4"},
        {"D:\\out/movie", "D:\\out/movie.mp4"},
        {"D:\\out\\movie.", "D:\\out\\movie."},  // a dot after the last separator counts
        {"", ""},                              // nothing chosen gets no ".mp4" either
        {std::nullopt, "typed by hand"},  // a cancel keeps what the field held
    };
    for (const Case& c : cases) {
        test::TestApp t;
        t.ui.set_text(ctl::OutputFile, "typed by hand");
        t.platform.save_answers.push_back(c.answer);
        t.click(ctl::OutputBrowse);
        EXPECT_EQ(t.ui.text(ctl::OutputFile), c.shown);
        ASSERT_EQ(t.platform.asked.size(), 1u);
        EXPECT_EQ(t.platform.asked[0].kind, "save");
        EXPECT_EQ(t.platform.asked[0].title, "");
        EXPECT_EQ(t.platform.asked[0].filter, "MP4(*.mp4)|*.MP4|MKV(*.mkv)|*.MKV|RAW(*.264)|*.264");
    }
}

TEST(InputChooser, CancelLeavesTheFieldAndRunsNothingElse) {
    test::TestApp t;
    t.ui.set_text(ctl::InputFile, "E:\\clips\\typed.avs");
    t.click(ctl::InputBrowse);
    EXPECT_EQ(t.ui.text(ctl::InputFile), "E:\\clips\\typed.avs");
    EXPECT_EQ(t.ui.text(ctl::OutputFile), "");
    ASSERT_EQ(t.platform.asked.size(), 1u);
    EXPECT_EQ(t.platform.asked[0].kind, "open");
    EXPECT_EQ(t.platform.asked[0].filter, "AVS(*.avs)|*.AVS|Other Media|*.*");
}

TEST(StatsChooser, FastFirstPassOpensOtherModesSave) {
    for (int mode : {4, 5}) {
        test::TestApp t;
        t.select(ctl::Mode, mode);
        t.ui.set_text(ctl::StatsFile, "C:\\prog\\stats\\old.stat");
        t.platform.open_answers.push_back("C:\\s\\new.stat");
        t.platform.save_answers.push_back("C:\\s\\new.stat");
        t.click(ctl::StatsBrowse);
        ASSERT_EQ(t.platform.asked.size(), 1u);
        EXPECT_EQ(t.platform.asked[0].kind, mode == 4 ? "open" : "save");
        EXPECT_EQ(t.platform.asked[0].text, "C:\\prog\\stats\\old.stat");
        EXPECT_EQ(t.platform.asked[0].filter, "Statsfile (*.stat)|*.stat");
        EXPECT_EQ(t.ui.text(ctl::StatsFile), "C:\\s\\new.stat");
    }
    test::TestApp t;
    t.ui.set_text(ctl::StatsFile, "keep.stat");
    t.click(ctl::StatsBrowse);  // cancelled
    EXPECT_EQ(t.ui.text(ctl::StatsFile), "keep.stat");
}

TEST(LogChooser, OffersTheCurrentNameAndKeepsItOnCancel) {
    test::TestApp t;
    t.ui.set_text(ctl::LogFile, "C:\\prog\\log\\a.txt");
    t.click(ctl::LogBrowse);
    EXPECT_EQ(t.ui.text(ctl::LogFile), "C:\\prog\\log\\a.txt");
    t.platform.save_answers.push_back("C:\\logs\\b.txt");
    t.click(ctl::LogBrowse);
    EXPECT_EQ(t.ui.text(ctl::LogFile), "C:\\logs\\b.txt");
    ASSERT_EQ(t.platform.asked.size(), 2u);
    EXPECT_EQ(t.platform.asked[1].text, "C:\\prog\\log\\a.txt");
    EXPECT_EQ(t.platform.asked[1].filter, "Log file (*.txt)|*.txt");
}

TEST(MatrixChooser, OnlyCustomOpensTheDialog) {
    test::TestApp t;
    t.select(ctl::QuantMatrix, 1);  // "jvt"
    EXPECT_TRUE(t.platform.asked.empty());
    EXPECT_EQ(t.ui.text(ctl::QuantMatrix), "jvt");

    t.select(ctl::QuantMatrix, 2);  // "custom...", cancelled
    ASSERT_EQ(t.platform.asked.size(), 1u);
    EXPECT_EQ(t.platform.asked[0].title, "Select a matrix file");
    EXPECT_EQ(t.platform.asked[0].filter, "*.*|*.*");
    EXPECT_EQ(t.ui.text(ctl::QuantMatrix), "flat");

    t.platform.open_answers.push_back("");  // no file named
    t.select(ctl::QuantMatrix, 2);
    EXPECT_EQ(t.ui.text(ctl::QuantMatrix), "flat");

    t.platform.open_answers.push_back("C:\\m\\my matrix.cfg");
    t.select(ctl::QuantMatrix, 2);
    EXPECT_EQ(t.ui.text(ctl::QuantMatrix), "\"C:\\m\\my matrix.cfg\"");
    // Typing "custom..." by hand asks as well.
    t.paste(ctl::QuantMatrix, "custom...");
    EXPECT_EQ(t.platform.asked.size(), 4u);
}

}  // namespace
}  // namespace tav
