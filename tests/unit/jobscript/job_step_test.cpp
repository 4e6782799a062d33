#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "jobscript/input_prep.h"
#include "jobscript/job_step.h"
#include "model/control_ids.h"
#include "model/muxers.h"
#include "support/test_app.h"

namespace tav {
namespace {

using Lines = std::vector<std::string>;

// Shows which settings a pass saw, in place of the encoder line.
std::string stand_in_pass(const SettingsView& s, Platform&) {
    return "PASS mode=" + std::to_string(s.mode()) + " value=" + s.text(ctl::Value) +
           " audio=" + std::to_string(s.state(ctl::Audio));
}

constexpr const char* kAudioLine =
    "@bepipe.exe --script \"import(^C:\\prog\\avs\\movie.avi.avs^)\" | neroaacenc.exe -if - -of "
    "\"D:\\out\\movie.audio.mp4\" -ignorelength -cbr 64000";
constexpr const char* kSizeCheck = "@chksize.exe 90 110 \"D:\\out\\movie.mp4\"";

class JobStep : public ::testing::Test {
protected:
    void SetUp() override {
        t.ui.set_text(ctl::InputFile, "C:\\prog\\avs\\movie.avi.avs");
        t.ui.set_text(ctl::OutputFile, "D:\\out\\movie.mp4");
        t.ui.set_text(ctl::Value, "800");
        t.ui.set_state(ctl::Muxer, muxer::NoMux);
    }
    Lines job() { return build_job(t.ctx, documented_dialect(), stand_in_pass).lines; }
    // The lines between the header and the end marker.
    Lines body() {
        const Lines lines = job();
        EXPECT_GE(lines.size(), 5u);
        if (lines.size() < 5) return {};
        EXPECT_EQ(lines.front(), "@echo.");
        EXPECT_EQ(lines.back(), "@echo+");
        return Lines(lines.begin() + 4, lines.end() - 1);
    }
    static std::string pass(int mode, const std::string& value, int audio) {
        return "PASS mode=" + std::to_string(mode) + " value=" + value + " audio=" + std::to_string(audio);
    }

    test::TestApp t;
};

TEST_F(JobStep, EveryModeRunsItsPassSequence) {
    for (int audio : {0, 1}) {
        t.ui.set_state(ctl::Audio, audio);
        const std::string a = kAudioLine;
        const struct {
            int mode;
            Lines body;
        } cases[] = {
            {0, {pass(0, "800", audio)}},
            {1, {pass(1, "800", audio)}},
            {2, {pass(2, "800", audio)}},
            {3, {pass(3, "800", audio)}},
            {4, {pass(4, "800", audio)}},
            {5, {pass(5, "800", audio)}},
            {6, {pass(3, "800", audio), pass(5, "800", audio)}},
            {7, {pass(4, "800", audio), pass(5, "800", audio)}},
            {8, {pass(8, "800", audio)}},
            {9, {pass(9, "800", audio)}},
            {10, {pass(8, "16", audio), pass(5, "800", audio)}},
            {11, {pass(9, "16", audio), pass(5, "800", audio)}},
            {12, {pass(12, "800", audio)}},
            {13, {pass(12, "16", 0), kSizeCheck, pass(13, "800", audio)}},
        };
        for (const auto& c : cases) {
            SCOPED_TRACE("mode " + std::to_string(c.mode) + ", audio " + std::to_string(audio));
            t.ui.set_state(ctl::Mode, c.mode);
            Lines expected = c.body;
            // Audio follows every pass that writes the video, which in the
            // combined modes is the last one only.
            const bool writes_audio = audio && c.mode != 3 && c.mode != 4 && c.mode != 8 && c.mode != 9;
            if (writes_audio) expected.push_back(a);
            EXPECT_EQ(body(), expected);
        }
    }
}

TEST_F(JobStep, TheHeaderNamesTheFilesAndTheChosenMode) {
    t.ui.set_state(ctl::Mode, 6);
    const Lines lines = job();
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(lines[0], "@echo.");
    EXPECT_EQ(lines[1], "@echo Input:\"C:\\prog\\avs\\movie.avi.avs\"");
    EXPECT_EQ(lines[2], "@echo Output:\"D:\\out\\movie.mp4\"");
    EXPECT_EQ(lines[3], "@echo Encode Mode:Automated Double Passes");
}

TEST_F(JobStep, PercentSignsInTheHeaderAndSizeCheckAreDoubled) {
    t.ui.set_text(ctl::InputFile, "C:\\100%\\in.avs");
    t.ui.set_text(ctl::OutputFile, "D:\\%OUT%\\m.mp4");
    t.ui.set_state(ctl::Mode, 13);
    const Lines lines = job();
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[1], "@echo Input:\"C:\\100%%\\in.avs\"");
    EXPECT_EQ(lines[2], "@echo Output:\"D:\\%%OUT%%\\m.mp4\"");
    EXPECT_EQ(lines[5], "@chksize.exe 90 110 \"D:\\%%OUT%%\\m.mp4\"");
}

TEST_F(JobStep, TheSizeCheckUsesTheSizeFieldsAsTyped) {
    t.ui.set_state(ctl::Mode, 13);
    t.ui.set_text(ctl::MinSize, "700");
    t.ui.set_text(ctl::MaxSize, "750");
    const Lines b = body();
    ASSERT_EQ(b.size(), 3u);
    EXPECT_EQ(b[1], "@chksize.exe 700 750 \"D:\\out\\movie.mp4\"");
}

TEST_F(JobStep, AudioOnlyWritesNoEncoderPassWhateverTheModeAndBox) {
    t.ui.set_state(ctl::Muxer, muxer::AudioOnly);
    for (int mode : {0, 3, 6, 13}) {
        for (int audio : {0, 1}) {
            t.ui.set_state(ctl::Mode, mode);
            t.ui.set_state(ctl::Audio, audio);
            EXPECT_EQ(body(), Lines{kAudioLine}) << "mode " << mode << ", audio " << audio;
        }
    }
    t.ui.set_state(ctl::AudioEncoder, -1);
    EXPECT_TRUE(body().empty());
}

TEST_F(JobStep, MuxLinesFollowTheAudioLineOnce) {
    t.ui.set_state(ctl::Mode, 13);
    t.ui.set_state(ctl::Audio, 1);
    t.ui.set_state(ctl::Muxer, muxer::Mp4Box);
    EXPECT_EQ(body(), (Lines{pass(12, "16", 0), kSizeCheck, pass(13, "800", 1), kAudioLine,
                             "@mp4box.exe -add \"D:\\out\\movie.audio.mp4\" \"D:\\out\\movie.mp4\"",
                             "@if not errorlevel 1 del \"D:\\out\\movie.audio.mp4\""}));
}

TEST_F(JobStep, WithoutInputOrOutputAJobIsOnlyItsMarkers) {
    for (int empty : {ctl::InputFile, ctl::OutputFile}) {
        SetUp();
        t.ui.set_state(ctl::Audio, 1);
        t.ui.set_text(empty, "");
        EXPECT_EQ(job(), (Lines{"@echo.", "@echo+"}));
    }
}

TEST_F(JobStep, ANothingSelectedModeWritesTheHeaderOnly) {
    t.ui.set_state(ctl::Mode, -1);
    EXPECT_TRUE(body().empty());
}

}  // namespace
}  // namespace tav
