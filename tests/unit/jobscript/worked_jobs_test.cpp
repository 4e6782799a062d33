// Whole jobs through the window, with the real encoder lines.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "jobscript/input_prep.h"
#include "model/control_ids.h"
#include "support/test_app.h"

namespace tav {
namespace {

using Lines = std::vector<std::string>;

const std::string kCommon =
    "@x264.exe --progress --no-psnr --no-ssim --cqm flat --scenecut 40 -I 250 -i 25 -t 1 --me hex --sar 1:1 "
    "--threads 1 -r 1 --nr 0 -f 0:0 -b 2 --direct \"auto\" --b-bias 0 -w";
const std::string kFirstPass =
    kCommon +
    " -p 1 --stats \"D:\\enc\\stats\\movie.stat\" -B 800 --qpmin 10 --qpmax 51 --8x8dct -A p8x8,b8x8,i8x8,i4x4 "
    "--ipratio 1.400000 --pbratio 1.300000 -m 5 --ratetol 1.000000 --vbv-init 0.9 --vbv-bufsize 0 --vbv-maxrate 0 "
    "-o nul \"D:\\enc\\avs\\movie.avs\" 2>&1|lputs.exe \"D:\\enc\\log\\movie.txt\"";
const std::string kSecondPass =
    kCommon +
    " -p 2 --stats \"D:\\enc\\stats\\movie.stat\" -B 800 --qpmin 10 --qpmax 51 --qpstep 4 --qcomp 0.600000 "
    "--ipratio 1.400000 --pbratio 1.300000 --8x8dct -A p8x8,b8x8,i8x8,i4x4 -m 5 --ratetol 1.000000 --vbv-init 0.9 "
    "--vbv-bufsize 0 --vbv-maxrate 0 -o \"D:\\enc\\out\\movie.mp4\" \"D:\\enc\\avs\\movie.avs\" 2>&1|lputs.exe "
    "\"D:\\enc\\log\\movie.txt\"";
const std::string kCrfFirstPassTail =
    " --stats \"D:\\enc\\stats\\movie.stat\" -p 1 --crf 20 --8x8dct -A p8x8,b8x8,i8x8,i4x4 --ipratio 1.400000 "
    "--pbratio 1.300000 -m 5 --qpmin 10 --qpmax 51 --qpstep 4 --qcomp 0.600000 --ratetol 1.000000 --vbv-init 0.9 "
    "--vbv-bufsize 0 --vbv-maxrate 0 -o \"D:\\enc\\out\\movie.mp4\" \"D:\\enc\\avs\\movie.avs\" 2>&1|lputs.exe "
    "\"D:\\enc\\log\\movie.txt\"";

class WorkedJobs : public ::testing::Test {
protected:
    // The encoder settings of the worked examples, and one job's files.
    void SetUp() override {
        MemorySurface& ui = t.ui;
        for (auto [id, text] : std::initializer_list<std::pair<int, const char*>>{
                 {ctl::QuantMatrix, "flat"}, {ctl::SceneCut, "40"}, {ctl::MaxIdr, "250"}, {ctl::MinIdr, "25"},
                 {ctl::SarWidth, "1"}, {ctl::SarHeight, "1"}, {ctl::Threads, "1"}, {ctl::MaxRefs, "1"},
                 {ctl::NoiseReduction, "0"}, {ctl::StrengthValue, "0"}, {ctl::ThresholdValue, "0"},
                 {ctl::MaxBFrames, "2"}, {ctl::Bias, "0"}, {ctl::KeyframeBoost, "40"},
                 {ctl::BFrameReduction, "30"}, {ctl::MinQp, "10"}, {ctl::MaxQp, "51"}, {ctl::MaxQpStep, "4"},
                 {ctl::QuantCompression, "60"}, {ctl::BitrateVariance, "100"}, {ctl::VbvInitBuffer, "0.9"},
                 {ctl::VbvBufferSize, "0"}, {ctl::VbvMaxRate, "0"}, {ctl::Value, "800"}})
            ui.set_text(id, text);
        for (auto [id, state] : std::initializer_list<std::pair<int, int>>{
                 {ctl::FastPSkip, 1}, {ctl::DctDecimate, 1}, {ctl::ThreadInput, 0}, {ctl::MixedRefs, 0},
                 {ctl::Cabac, 1}, {ctl::Trellis, 1}, {ctl::MeMethod, 1}, {ctl::Deblock, 1},
                 {ctl::DirectMode, 2}, {ctl::BidirectionalMe, 0}, {ctl::AdaptiveB, 1}, {ctl::BReferences, 0},
                 {ctl::WeightedB, 1}, {ctl::PartitionDecision, 4}, {ctl::ChromaMe, 1}, {ctl::Transform8x8, 1},
                 {ctl::PSearch8x8, 1}, {ctl::BSearch8x8, 1}, {ctl::PSearch4x4, 0}, {ctl::Intra8x8, 1},
                 {ctl::Intra4x4, 1}, {ctl::SizeMode, 0}, {ctl::UpdateStats, 0}, {ctl::LogEnabled, 1},
                 {ctl::Audio, 0}})
            ui.set_state(id, state);
        set_files();
    }
    // "Add" empties these after every job.
    void set_files() {
        t.ui.set_text(ctl::StatsFile, "D:\\enc\\stats\\movie.stat");
        t.ui.set_text(ctl::InputFile, "D:\\enc\\avs\\movie.avs");
        t.ui.set_text(ctl::OutputFile, "D:\\enc\\out\\movie.mp4");
        t.ui.set_text(ctl::LogFile, "D:\\enc\\log\\movie.txt");
    }
    Lines add_in_mode(int mode) {
        t.select(ctl::Mode, mode);
        t.click(ctl::Add);
        return t.job_lines();
    }

    test::TestApp t;
};

TEST_F(WorkedJobs, AutomatedDoublePassesGiveTheFirstAndNthPass) {
    EXPECT_EQ(add_in_mode(6), (Lines{"@echo.", "@echo Input:\"D:\\enc\\avs\\movie.avs\"",
                                     "@echo Output:\"D:\\enc\\out\\movie.mp4\"",
                                     "@echo Encode Mode:Automated Double Passes", kFirstPass, kSecondPass,
                                     "@echo+"}));
    EXPECT_EQ(t.ui.state(ctl::Mode), 6);
}

TEST_F(WorkedJobs, ConditionalDoublePassesCheckTheSizeBeforeTheNthPass) {
    t.ui.set_text(ctl::FirstPassCrf, "20");
    const Lines lines = add_in_mode(13);
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[3], "@echo Encode Mode:Conditional Double Passes(1P-CRF)");
    EXPECT_EQ(lines[4], kCommon + kCrfFirstPassTail);
    EXPECT_EQ(lines[5], "@chksize.exe 90 110 \"D:\\enc\\out\\movie.mp4\"");
    EXPECT_TRUE(lines[6].starts_with("@if errorlevel 1 ")) << lines[6];
    EXPECT_NE(lines[6].find(" -p 2 --stats \"D:\\enc\\stats\\movie.stat\" -B 800 "), std::string::npos) << lines[6];
    EXPECT_EQ(t.ui.text(ctl::Value), "800");
}

TEST_F(WorkedJobs, CrfFirstPassesTakeTheCrfFieldAndTheNthPassTheValueField) {
    t.ui.set_text(ctl::Value, "1200");
    t.ui.set_text(ctl::FirstPassCrf, "18");
    for (int mode : {10, 11}) {
        t.set_job_lines({});
        set_files();
        const Lines lines = add_in_mode(mode);
        ASSERT_EQ(lines.size(), 7u);
        EXPECT_NE(lines[4].find(" -p 1 --crf 18 "), std::string::npos) << lines[4];
        EXPECT_NE(lines[4].find(" -o nul "), std::string::npos) << lines[4];
        EXPECT_NE(lines[5].find(" -p 2 "), std::string::npos) << lines[5];
        EXPECT_NE(lines[5].find(" -B 1200 "), std::string::npos) << lines[5];
        EXPECT_EQ(t.ui.text(ctl::Value), "1200");
        EXPECT_EQ(t.ui.text(ctl::FirstPassCrf), "18");
    }
}

TEST_F(WorkedJobs, TheBatchFileOfOneBitrateJobWithAudio) {
    t.ui.set_state(ctl::Audio, 1);
    t.ui.set_state(ctl::LogEnabled, 0);
    add_in_mode(0);
    t.platform.save_answers.push_back("D:\\jobs\\one");
    t.click(ctl::MakeBat);
    const std::string text = t.platform.files["D:\\jobs\\one.bat"];
    Lines lines;
    for (size_t at = 0; at < text.size();) {
        const size_t end = text.find("\r\n", at);
        ASSERT_NE(end, std::string::npos);
        lines.push_back(text.substr(at, end - at));
        at = end + 2;
    }
    ASSERT_EQ(lines.size(), 13u);
    EXPECT_EQ(lines[0], "@cd /d \"C:\\prog\\\"");
    EXPECT_EQ(lines[4], "@echo.");
    EXPECT_EQ(lines[7], "@echo Encode Mode:Single Pass - Bitrate");
    EXPECT_TRUE(lines[8].starts_with(kCommon + " ")) << lines[8];
    EXPECT_TRUE(lines[8].ends_with(" -o \"D:\\enc\\out\\movie.mp4\" \"D:\\enc\\avs\\movie.avs\"")) << lines[8];
    EXPECT_EQ(lines[9], "@bepipe.exe --script \"import(^D:\\enc\\avs\\movie.avs^)\" | neroaacenc.exe -if - -of "
                        "\"D:\\enc\\out\\movie.audio.mp4\" -ignorelength -cbr 64000");
    EXPECT_EQ(lines[10], "@mp4box.exe -add \"D:\\enc\\out\\movie.audio.mp4\" \"D:\\enc\\out\\movie.mp4\"");
    EXPECT_EQ(lines[11], "@if not errorlevel 1 del \"D:\\enc\\out\\movie.audio.mp4\"");
    EXPECT_EQ(lines[12], "@echo+");
}

}  // namespace
}  // namespace tav
