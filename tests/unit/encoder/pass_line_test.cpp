#include <gtest/gtest.h>

#include <string>

#include "encoder/dialect.h"
#include "encoder/pass_line.h"
#include "model/control_ids.h"
#include "support/test_app.h"

namespace tav {
namespace {

const std::string kStart =
    "@x264.exe --progress --no-psnr --no-ssim --cqm flat --scenecut 40 -I 250 -i 25 -t 1 --me hex --sar 1:1"
    " --threads 1 -r 1 --nr 0 -f 0:0 -b 2 --direct \"auto\" --b-bias 0 -w";
const std::string kStats = " --stats \"D:\\enc\\stats\\movie.stat\"";
const std::string kPartition = " --8x8dct -A p8x8,b8x8,i8x8,i4x4";
const std::string kRatio = " --ipratio 1.400000 --pbratio 1.300000";
const std::string kQpFull = " --qpmin 10 --qpmax 51 --qpstep 4 --qcomp 0.600000";
const std::string kQpLimits = " --qpmin 10 --qpmax 51";
const std::string kVbv = " --vbv-init 0.9 --vbv-bufsize 0 --vbv-maxrate 0";
const std::string kVbvTol = " --ratetol 1.000000" + kVbv;
const std::string kToNul = " -o nul \"D:\\enc\\avs\\movie.avs\"";
const std::string kToOutput = " -o \"D:\\enc\\out\\movie.mp4\" \"D:\\enc\\avs\\movie.avs\"";
const std::string kLog = " 2>&1|lputs.exe \"D:\\enc\\log\\movie.txt\"";

// The settings of the worked examples, entered as a user would.
struct PassLine : ::testing::Test {
    test::TestApp t;
    explicit PassLine(int mode = 6) {
        t.click(ctl::FastPSkip);
        t.click(ctl::DctDecimate);
        t.select(ctl::Trellis, 1);
        t.select(ctl::Mode, mode);
        t.erase(ctl::Value);
        t.type(ctl::Value, "800");
        t.click(ctl::UpdateStats);
        t.type(ctl::StatsFile, "D:\\enc\\stats\\movie.stat");
        t.type(ctl::InputFile, "D:\\enc\\avs\\movie.avs");
        t.type(ctl::OutputFile, "D:\\enc\\out\\movie.mp4");
        t.click(ctl::LogEnabled);
        t.type(ctl::LogFile, "D:\\enc\\log\\movie.txt");
    }
    std::string line(PassOverrides overrides = {}) {
        return make_pass_line(SettingsView(t.ui, documented_dialect(), std::move(overrides)), t.platform);
    }
};

TEST_F(PassLine, AutomatedDoublePassesExample) {
    EXPECT_EQ(line({.mode = 3}),
              "@x264.exe --progress --no-psnr --no-ssim --cqm flat --scenecut 40 -I 250 -i 25 -t 1 --me hex --sar 1:1"
              " --threads 1 -r 1 --nr 0 -f 0:0 -b 2 --direct \"auto\" --b-bias 0 -w -p 1 --stats"
              " \"D:\\enc\\stats\\movie.stat\" -B 800 --qpmin 10 --qpmax 51 --8x8dct -A p8x8,b8x8,i8x8,i4x4"
              " --ipratio 1.400000 --pbratio 1.300000 -m 5 --ratetol 1.000000 --vbv-init 0.9 --vbv-bufsize 0"
              " --vbv-maxrate 0 -o nul \"D:\\enc\\avs\\movie.avs\" 2>&1|lputs.exe \"D:\\enc\\log\\movie.txt\"");
    EXPECT_EQ(line({.mode = 5}),
              "@x264.exe --progress --no-psnr --no-ssim --cqm flat --scenecut 40 -I 250 -i 25 -t 1 --me hex --sar 1:1"
              " --threads 1 -r 1 --nr 0 -f 0:0 -b 2 --direct \"auto\" --b-bias 0 -w -p 2 --stats"
              " \"D:\\enc\\stats\\movie.stat\" -B 800 --qpmin 10 --qpmax 51 --qpstep 4 --qcomp 0.600000"
              " --ipratio 1.400000 --pbratio 1.300000 --8x8dct -A p8x8,b8x8,i8x8,i4x4 -m 5 --ratetol 1.000000"
              " --vbv-init 0.9 --vbv-bufsize 0 --vbv-maxrate 0 -o \"D:\\enc\\out\\movie.mp4\""
              " \"D:\\enc\\avs\\movie.avs\" 2>&1|lputs.exe \"D:\\enc\\log\\movie.txt\"");
    // The passes were built from overrides: the window keeps the user's mode.
    EXPECT_EQ(t.ui.state(ctl::Mode), 6);
}

TEST_F(PassLine, ConditionalDoublePassesExample) {
    EXPECT_EQ(line({.mode = 12, .value = "20", .audio = false}),
              kStart + " --stats \"D:\\enc\\stats\\movie.stat\" -p 1 --crf 20 --8x8dct -A p8x8,b8x8,i8x8,i4x4"
                       " --ipratio 1.400000 --pbratio 1.300000 -m 5 --qpmin 10 --qpmax 51 --qpstep 4 --qcomp 0.600000"
                       " --ratetol 1.000000 --vbv-init 0.9 --vbv-bufsize 0 --vbv-maxrate 0"
                       " -o \"D:\\enc\\out\\movie.mp4\" \"D:\\enc\\avs\\movie.avs\" 2>&1|lputs.exe"
                       " \"D:\\enc\\log\\movie.txt\"");
    const std::string second_pass = " -p 2" + kStats + " -B 800" + kQpFull + kRatio + kPartition + " -m 5" + kVbvTol +
                                     kToOutput;
    // The test stands directly before the command, the log pipe included,
    // with or without the log.
    EXPECT_EQ(line({.mode = 13}), "@if errorlevel 1 " + kStart + second_pass + kLog);
    t.click(ctl::LogEnabled);
    EXPECT_EQ(line({.mode = 13}), "@if errorlevel 1 " + kStart + second_pass);
}

TEST_F(PassLine, EveryModeInTheOrderOfItsRow) {
    struct Case {
        int mode;
        std::string tail;  // after the common part, without the log pipe
    };
    const Case cases[] = {
        {0, kRatio + kPartition + " -B 800" + kQpFull + " -m 5" + kVbvTol + kToOutput},
        {1, " -q 800" + kQpLimits + kPartition + " -m 5" + kToOutput},
        {2, " --crf 800" + kPartition + " -m 5" + kQpFull + kRatio + kVbv + kToOutput},
        {3, " -p 1" + kStats + " -B 800" + kQpLimits + kPartition + kRatio + " -m 5" + kVbvTol + kToNul},
        {4, " -p 1" + kStats + " -B 800" + kQpLimits + kRatio + " -A p8x8,i4x4 -m 3" + kVbvTol + kToNul},
        {5, " -p 2" + kStats + " -B 800" + kQpFull + kRatio + kPartition + " -m 5" + kVbvTol + kToOutput},
        {8, kStats + " -p 1 --crf 800" + kPartition + kRatio + " -m 5" + kQpFull + kVbvTol + kToNul},
        {9, kStats + " -p 1 --crf 800 -A p8x8,i4x4 -m 3" + kQpFull + kRatio + kVbvTol + kToNul},
        {12, kStats + " -p 1 --crf 800" + kPartition + kRatio + " -m 5" + kQpFull + kVbvTol + kToOutput},
    };
    t.click(ctl::LogEnabled);
    // Chroma ME off shows where each row places the chroma option.
    t.click(ctl::ChromaMe);
    const std::string chroma = " --no-chroma-me";
    for (const Case& c : cases) {
        std::string tail = c.tail;
        // Rows with the chroma option carry it right after the partition list
        // (modes 1, 3, 8, 12), after the subpel level (2) or after the ratios (5).
        switch (c.mode) {
            case 1: case 3: case 8: case 12: tail.insert(tail.find(kPartition) + kPartition.size(), chroma); break;
            case 2: tail.insert(tail.find(" -m 5") + 5, chroma); break;
            case 5: tail.insert(tail.find(kRatio) + kRatio.size(), chroma); break;
            default: break;
        }
        EXPECT_EQ(line({.mode = c.mode}), kStart + tail) << "mode " << c.mode;
    }
}

TEST_F(PassLine, UpdateStatsfileGivesPassThree) {
    t.click(ctl::UpdateStats);
    for (int mode : {5, 13}) EXPECT_NE(line({.mode = mode}).find(" -w -p 3 --stats "), std::string::npos) << mode;
}

TEST_F(PassLine, CombinedModesHaveNoSingleLine) {
    for (int mode : {6, 7, 10, 11, -1, 14}) EXPECT_EQ(line({.mode = mode}), "") << mode;
}

TEST_F(PassLine, OverridesReplaceTheValueAndTheModeForOnePass) {
    t.select(ctl::Mode, 10);
    t.erase(ctl::Value);
    t.type(ctl::Value, "1200");
    t.erase(ctl::FirstPassCrf);
    t.type(ctl::FirstPassCrf, "18");
    const std::string first = line({.mode = 8, .value = t.ui.text(ctl::FirstPassCrf)});
    const std::string second = line({.mode = 5});
    EXPECT_NE(first.find(" -p 1 --crf 18 "), std::string::npos);
    EXPECT_NE(second.find(" -B 1200 "), std::string::npos);
    EXPECT_EQ(t.ui.text(ctl::Value), "1200");
    EXPECT_EQ(t.ui.state(ctl::Mode), 10);
}

TEST_F(PassLine, PercentInFileNamesIsDoubledForTheBatch) {
    t.platform.open_answers.push_back(std::string("D:\\q%x\\m.cfg"));
    t.select(ctl::QuantMatrix, 2);
    t.paste(ctl::StatsFile, "D:\\%TEMP%\\a.stat");
    t.paste(ctl::InputFile, "D:\\100%\\in.avs");
    t.paste(ctl::OutputFile, "D:\\50%off.mp4");
    t.paste(ctl::LogFile, "D:\\%%.txt");
    t.paste(ctl::NoiseReduction, "5%");  // a typed option value stays as typed
    const std::string l = line({.mode = 5});
    EXPECT_NE(l.find(" --cqmfile \"D:\\q%%x\\m.cfg\" "), std::string::npos) << l;
    EXPECT_NE(l.find(" --nr 5% "), std::string::npos) << l;
    EXPECT_NE(l.find(" --stats \"D:\\%%TEMP%%\\a.stat\" "), std::string::npos) << l;
    EXPECT_TRUE(l.ends_with(" -o \"D:\\50%%off.mp4\" \"D:\\100%%\\in.avs\" 2>&1|lputs.exe \"D:\\%%%%.txt\"")) << l;
}

TEST_F(PassLine, EmptyNamesStayEmptyQuotes) {
    t.erase(ctl::StatsFile);
    t.erase(ctl::LogFile);
    const std::string l = line({.mode = 3});
    EXPECT_NE(l.find(" --stats \"\" "), std::string::npos);
    EXPECT_TRUE(l.ends_with(" 2>&1|lputs.exe \"\""));
}

TEST_F(PassLine, SizeModeMeasuresTheInputOncePerBitratePass) {
    t.select(ctl::Mode, 0);
    t.click(ctl::SizeMode);
    t.paste(ctl::Value, "350");
    t.platform.media["D:\\enc\\avs\\movie.avs"] = {45000, 25};
    EXPECT_NE(line().find(kPartition + " -B 1626" + kQpFull), std::string::npos);
    EXPECT_NE(line({.mode = 5}).find(kStats + " -B 1626" + kQpFull), std::string::npos);
    EXPECT_EQ(line({.mode = 8}).find(" -B "), std::string::npos);
    EXPECT_EQ(t.platform.media_queries, 2);
    // An input that cannot be measured: the line is built without a rate.
    t.platform.media.clear();
    EXPECT_EQ(line(), kStart + kRatio + kPartition + kQpFull + " -m 5" + kVbvTol + kToOutput + kLog);
}

TEST_F(PassLine, LineWithoutLogEndsWithTheQuotedInput) {
    t.click(ctl::LogEnabled);
    for (int mode : {0, 1, 2, 3, 4, 5, 8, 9, 12, 13})
        EXPECT_TRUE(line({.mode = mode}).ends_with(" \"D:\\enc\\avs\\movie.avs\"")) << mode;
}

// Parentheses, carets and stray quotes typed into an option or a name reach
// the conditional pass as they stand, logged or not.
TEST_F(PassLine, ConditionalPassCarriesTypedTextsUnchanged) {
    struct Case {
        const char* noise;  // a typed option text
        const char* input;
    };
    const Case cases[] = {
        {"0", "D:\\enc\\avs\\movie.avs"},
        {"1)", "D:\\enc\\avs\\movie.avs"},
        {"(1)", "D:\\clips (2)\\in.avs"},
        {"^(1^)", "D:\\b).avs"},
        {"\"1", "D:\\in).avs"},
    };
    for (bool logged : {true, false}) {
        if (t.ui.checked(ctl::LogEnabled) != logged) t.click(ctl::LogEnabled);
        for (const Case& c : cases) {
            t.paste(ctl::NoiseReduction, c.noise);
            t.paste(ctl::InputFile, c.input);
            const std::string l = line({.mode = 13});
            EXPECT_TRUE(l.starts_with("@if errorlevel 1 @x264.exe ")) << l;
            EXPECT_NE(l.find(std::string(" --nr ") + c.noise + " -f 0:0 "), std::string::npos) << l;
            EXPECT_TRUE(l.ends_with(std::string(" \"") + c.input + "\"" + (logged ? kLog : ""))) << l;
        }
    }
}

}  // namespace
}  // namespace tav
