#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "jobscript/audio_mux.h"
#include "support/test_app.h"
#include "model/control_ids.h"
#include "model/muxers.h"
#include "model/memory_surface.h"

namespace tav {
namespace {

using Lines = std::vector<std::string>;

// The controls as start-up leaves them, with one job's files filled in.
// No input was chosen and no job added: the muxed file keeps its ordinary name.
struct AudioJob {
    test::TestApp t;
    AudioJob(std::string input, std::string output, std::string value, int muxer_index) {
        t.ui.set_text(ctl::InputFile, input);
        t.ui.set_text(ctl::OutputFile, output);
        t.ui.set_text(ctl::AudioBitrate, value);
        t.ui.set_state(ctl::Muxer, muxer_index);
    }
    Lines lines(int encoder) {
        Lines out;
        write_audio_commands(t.ctx, encoder, out);
        return out;
    }
};

TEST(AudioCommands, WorkedExamplesComeOutByteForByte) {
    EXPECT_EQ(AudioJob("D:\\video\\movie.avs", "D:\\video\\movie.mp4", "64", muxer::Mp4Box).lines(1),
              (Lines{"@bepipe.exe --script \"import(^D:\\video\\movie.avs^)\" | neroaacenc.exe -if - -of "
                     "\"D:\\video\\movie.audio.mp4\" -ignorelength -cbr 64000",
                     "@mp4box.exe -add \"D:\\video\\movie.audio.mp4\" \"D:\\video\\movie.mp4\"",
                     "@if not errorlevel 1 del \"D:\\video\\movie.audio.mp4\""}));

    // The sources of an MKV go only after mkvmerge finished (exit code below 2).
    EXPECT_EQ(AudioJob("D:\\video\\movie.avs", "D:\\video\\movie.264", "96", muxer::MkvMerge).lines(0),
              (Lines{"@bepipe.exe --script \"import(^D:\\video\\movie.avs^)\" | enc_aacplus.exe - "
                     "\"D:\\video\\movie.audio.aac\" --cbr 96000",
                     "@mkvmerge -o \"D:\\video\\movie.mkv\" \"D:\\video\\movie.264\" \"D:\\video\\movie.audio.aac\"",
                     "@if not errorlevel 2 if exist \"D:\\video\\movie.mkv\" del \"D:\\video\\movie.audio.aac\"",
                     "@if not errorlevel 2 if exist \"D:\\video\\movie.mkv\" del \"D:\\video\\movie.264\""}));

    EXPECT_EQ(AudioJob("D:\\video\\movie.avs", "D:\\video\\movie.mp4", "0.35", muxer::Mp4Creator).lines(6),
              (Lines{"@bepipe.exe --script \"import(^D:\\video\\movie.avs^)\" | neroaacenc_sse2.exe -if - -of "
                     "\"D:\\video\\movie.audio.mp4\" -ignorelength -q 0.35",
                     "@mp4creator.exe -create=\"D:\\video\\movie.audio.mp4\" \"D:\\video\\movie.mp4\"",
                     "@if not errorlevel 1 del \"D:\\video\\movie.audio.mp4\""}));
}

TEST(AudioCommands, EveryEncoderNamesItsProgramFileAndRate) {
    const std::string pipe = "@bepipe.exe --script \"import(^in.avs^)\" | ";
    const struct {
        int encoder;
        std::string line;
    } cases[] = {
        {0, pipe + "enc_aacplus.exe - \"o.audio.aac\" --cbr 128000"},
        {1, pipe + "neroaacenc.exe -if - -of \"o.audio.mp4\" -ignorelength -cbr 128000"},
        {2, pipe + "neroaacenc_sse2.exe -if - -of \"o.audio.mp4\" -ignorelength -cbr 128000"},
        {3, pipe + "neroaacenc.exe -if - -of \"o.audio.mp4\" -ignorelength -br 128000"},
        {4, pipe + "neroaacenc_sse2.exe -if - -of \"o.audio.mp4\" -ignorelength -br 128000"},
        {5, pipe + "neroaacenc.exe -if - -of \"o.audio.mp4\" -ignorelength -q 128"},
        {6, pipe + "neroaacenc_sse2.exe -if - -of \"o.audio.mp4\" -ignorelength -q 128"},
    };
    for (const auto& c : cases) {
        const Lines lines = AudioJob("in.avs", "o.264", "128", muxer::NoMux).lines(c.encoder);
        EXPECT_EQ(lines, Lines{c.line}) << "encoder " << c.encoder;
    }
}

TEST(AudioCommands, BitrateIsTheIntegerRuleTimesAThousandAndQualityIsCopied) {
    const struct {
        std::string value;
        std::string bitrate_end;  // encoders 0..4
        std::string quality_end;  // encoders 5, 6
    } cases[] = {
        {"64k", " 64000", " 64k"},
        {" 96", " 96000", "  96"},
        {"\t+80", " 80000", " \t+80"},
        {"96.5", " 96000", " 96.5"},
        {"", " 0", " "},
        {"abc", " 0", " abc"},
        {"-5", " -5000", " -5"},
        // Saturated at 32 bits, then widened: no wrap-around into a negative rate.
        {"99999999999", " 2147483647000", " 99999999999"},
    };
    for (const auto& c : cases) {
        AudioJob job("in.avs", "out.mp4", c.value, muxer::NoMux);
        for (int encoder = 0; encoder <= 6; ++encoder) {
            const Lines lines = job.lines(encoder);
            ASSERT_EQ(lines.size(), 1u);
            const std::string& end = encoder <= 4 ? c.bitrate_end : c.quality_end;
            const std::string option = encoder == 0 ? "--cbr" : encoder <= 2 ? "-cbr" : encoder <= 4 ? "-br" : "-q";
            EXPECT_EQ(lines[0].substr(lines[0].size() - end.size() - option.size()), option + end)
                << "value '" << c.value << "', encoder " << encoder;
        }
    }
}

TEST(AudioCommands, AnEncoderOutsideTheListWritesNothing) {
    AudioJob job("in.avs", "out.mp4", "64", muxer::Mp4Box);
    EXPECT_TRUE(job.lines(-1).empty());
    EXPECT_TRUE(job.lines(7).empty());
}

TEST(AudioCommands, MuxersWithoutAMuxWriteOnlyTheAudioLine) {
    for (int m : {muxer::NoMux, muxer::AudioOnly, -1}) {
        const Lines lines = AudioJob("in.avs", "out.mp4", "64", m).lines(1);
        ASSERT_EQ(lines.size(), 1u) << "muxer " << m;
        EXPECT_TRUE(lines[0].starts_with("@bepipe.exe ")) << "muxer " << m;
    }
}

TEST(AudioCommands, TheAudioFileSitsBesideTheOutputUnderItsStem) {
    const struct {
        std::string output;
        std::string audio;
    } cases[] = {
        {"D:\\out.dir\\movie.264", "\"D:\\out.dir\\movie.audio.mp4\""},
        {"D:\\video\\movie.MP4", "\"D:\\video\\movie.audio.mp4\""},
        {"D:\\video\\a.b.mp4", "\"D:\\video\\a.b.audio.mp4\""},
        // A name without a dot gets one before the suffix.
        {"D:\\my.video\\movie", "\"D:\\my.video\\movie.audio.mp4\""},
        {"D:/video/movie.mp4", "\"D:/video/movie.audio.mp4\""},
    };
    for (const auto& c : cases) {
        const Lines lines = AudioJob("in.avs", c.output, "64", muxer::Mp4Box).lines(1);
        ASSERT_EQ(lines.size(), 3u);
        EXPECT_NE(lines[0].find(" -of " + c.audio + " "), std::string::npos) << lines[0];
        EXPECT_EQ(lines[1], "@mp4box.exe -add " + c.audio + " \"" + c.output + "\"");
        EXPECT_EQ(lines[2], "@if not errorlevel 1 del " + c.audio);
    }
}

TEST(AudioCommands, MkvMergeNeverMuxesIntoTheOutputItself) {
    const struct {
        std::string output;
        std::string mkv;
    } cases[] = {
        {"D:\\v\\movie.mp4", "D:\\v\\movie.mkv"},
        {"D:\\v\\movie", "D:\\v\\movie.mkv"},
        {"D:\\v\\movie.mkv", "D:\\v\\movie.muxed.mkv"},
        {"D:\\v\\movie.MKV", "D:\\v\\movie.muxed.mkv"},
        {"D:\\v\\movie.mKv", "D:\\v\\movie.muxed.mkv"},
        {"D:\\v\\movie.muxed.mkv", "D:\\v\\movie.muxed.muxed.mkv"},
    };
    for (const auto& c : cases) {
        AudioJob job("in.avs", c.output, "64", muxer::MkvMerge);
        EXPECT_EQ(muxed_mkv_name(job.t.ctx, c.output), c.mkv);
        const Lines lines = job.lines(0);
        ASSERT_EQ(lines.size(), 4u);
        const std::string mkv = "\"" + c.mkv + "\"";
        EXPECT_TRUE(lines[1].starts_with("@mkvmerge -o " + mkv + " \"" + c.output + "\" ")) << lines[1];
        EXPECT_TRUE(lines[2].starts_with("@if not errorlevel 2 if exist " + mkv + " del ")) << lines[2];
        EXPECT_EQ(lines[3], "@if not errorlevel 2 if exist " + mkv + " del \"" + c.output + "\"");
    }
}

TEST(AudioCommands, PercentSignsInFileNamesAreDoubledForTheBatch) {
    const Lines mp4box = AudioJob("C:\\a%b\\x.avs", "D:\\100%\\m.mp4", "64", muxer::Mp4Box).lines(1);
    EXPECT_EQ(mp4box, (Lines{"@bepipe.exe --script \"import(^C:\\a%%b\\x.avs^)\" | neroaacenc.exe -if - -of "
                             "\"D:\\100%%\\m.audio.mp4\" -ignorelength -cbr 64000",
                             "@mp4box.exe -add \"D:\\100%%\\m.audio.mp4\" \"D:\\100%%\\m.mp4\"",
                             "@if not errorlevel 1 del \"D:\\100%%\\m.audio.mp4\""}));

    const Lines mkv = AudioJob("x.avs", "D:\\%TEMP%\\m.264", "64", muxer::MkvMerge).lines(0);
    ASSERT_EQ(mkv.size(), 4u);
    EXPECT_EQ(mkv[3], "@if not errorlevel 2 if exist \"D:\\%%TEMP%%\\m.mkv\" del \"D:\\%%TEMP%%\\m.264\"");

    // The quality text is no file name and goes in as typed.
    const Lines quality = AudioJob("x.avs", "m.mp4", "50%", muxer::NoMux).lines(5);
    ASSERT_EQ(quality.size(), 1u);
    EXPECT_TRUE(quality[0].ends_with(" -q 50%"));
}

TEST(AudioCommands, BlanksAndAmpersandsStayInsideTheQuotes) {
    const Lines lines = AudioJob("C:\\My Clips\\a&b.avs", "D:\\Out Dir\\a&b.mp4", "64", muxer::Mp4Creator).lines(1);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "@bepipe.exe --script \"import(^C:\\My Clips\\a&b.avs^)\" | neroaacenc.exe -if - -of "
                        "\"D:\\Out Dir\\a&b.audio.mp4\" -ignorelength -cbr 64000");
    EXPECT_EQ(lines[1], "@mp4creator.exe -create=\"D:\\Out Dir\\a&b.audio.mp4\" \"D:\\Out Dir\\a&b.mp4\"");
}

}  // namespace
}  // namespace tav
