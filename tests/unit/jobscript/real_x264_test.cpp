// The batch lines run by the real x264 of this machine (Debian's package
// "x264"): a job in every encode mode and the option variants, written for
// the installed encoder from its own "--fullhelp", each x264 line run on a
// small clip of the test's own with the paths mapped to the test's folder.
// The same jobs written for an x264 of 2008 are the documented lines.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "jobscript/job_step.h"
#include "model/control_ids.h"
#include "model/muxers.h"
#include "support/test_app.h"
#include "support/test_data.h"

namespace tav {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

constexpr int kFrames = 8;
const std::string kEnc = "C:\\enc\\";  // the jobs' folder on the Windows side

// What a command printed on its output and error streams, and its exit code.
struct Ran {
    int status = -1;
    std::string output;
};

Ran run(const std::vector<std::string>& argv) {
    std::string command;
    for (const std::string& word : argv) command += "'" + word + "' ";
    Ran ran;
    FILE* pipe = popen((command + "2>&1 </dev/null").c_str(), "r");
    if (!pipe) return ran;
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) ran.output.append(buffer, n);
    const int status = pclose(pipe);
    ran.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return ran;
}

// A 64x48 clip whose picture moves from frame to frame.
void write_clip(const fs::path& path) {
    std::ofstream out(path, std::ios::binary);
    out << "YUV4MPEG2 W64 H48 F25:1 Ip A1:1 C420jpeg\n";
    for (int f = 0; f < kFrames; ++f) {
        out << "FRAME\n";
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 64; ++x) out.put(static_cast<char>((x * 3 + y * 2 + f * 5 + (x * y) % 7) & 0xFF));
        for (int i = 0; i < 64 * 48 / 2; ++i) out.put(static_cast<char>(128 + (i + f) % 9));
    }
}

// A custom quantization matrix in the JM form the encoder reads (the lists
// it leaves out keep their defaults).
void write_matrix(const fs::path& path) {
    std::ofstream out(path);
    out << "INTRA4X4_LUMA =\n";
    for (int i = 0; i < 16; ++i) out << 16 + i % 5 << (i % 4 == 3 ? ",\n" : ",");
}

// The words of a batch line: quotes group and are dropped.
Lines words_of(std::string_view line) {
    Lines words;
    std::string word;
    bool quoted = false, any = false;
    for (char c : line) {
        if (c == '"') {
            quoted = !quoted;
            any = true;
        } else if (c == ' ' && !quoted) {
            if (any) words.push_back(word);
            word.clear();
            any = false;
        } else {
            word += c;
            any = true;
        }
    }
    if (any) words.push_back(word);
    return words;
}

// The x264 command of a batch line, with its files in `folder`.
std::vector<std::string> command_of(std::string line, const fs::path& folder, const fs::path& clip) {
    for (const std::string prefix : {"@if errorlevel 1 @", "@"})
        if (line.rfind(prefix, 0) == 0) line.erase(0, prefix.size());
    if (const size_t pipe = line.find(" 2>&1|lputs.exe "); pipe != std::string::npos) line.erase(pipe);
    std::vector<std::string> command;
    for (std::string word : words_of(line)) {
        if (word == "x264.exe") word = "x264";
        else if (word == "nul") word = "/dev/null";
        else if (word.size() > 4 && word.compare(word.size() - 4, 4, ".avs") == 0) word = clip.string();
        else if (word.rfind(kEnc, 0) == 0) word = (folder / word.substr(kEnc.size())).string();
        command.push_back(word);
    }
    return command;
}

// A control set as a user would: a text pasted, a box ticked or not, an
// item selected.
struct Setting {
    int id;
    int state;
    const char* text = nullptr;
};

// One job: its name (also of its output and statistics), its mode and the
// settings it differs in from the start-up ones.
struct Job {
    const char* name;
    int mode;
    std::vector<Setting> settings = {};
    const char* stats = nullptr;  // another job's statistics (an Nth pass after its first pass)
};

const std::vector<Job>& jobs() {
    using namespace ctl;
    static const std::vector<Job> all = {
        {"bitrate", 0}, {"quantizer", 1}, {"crf", 2}, {"first", 3}, {"nth", 5, {}, "first"}, {"first-fast", 4},
        {"double", 6}, {"double-fast", 7}, {"first-crf", 8}, {"first-crf-fast", 9}, {"double-crf", 10},
        {"double-crf-fast", 11}, {"crf-output", 12}, {"conditional", 13},
        {"references", 6, {{BReferences, 1}}},
        {"bime", 0, {{BidirectionalMe, 1}}},
        {"b-rdo", 6, {{PartitionDecision, 6}}},
        {"b-rdo-best", 2, {{PartitionDecision, 8}}},
        {"esa", 2, {{MeMethod, 3}, {MeRange, 0, "24"}}},
        {"umh", 0, {{MeMethod, 2}}},
        {"no-cabac-no-deblock", 2, {{Cabac, 0}, {Deblock, 0}}},
        {"trellis", 6, {{Trellis, 2}}},
        {"threads-auto", 0, {{Threads, 0, "0"}}},
        {"mixed-refs", 2, {{MaxRefs, 0, "3"}, {MixedRefs, 1}}},
        {"jvt", 1, {{QuantMatrix, 1}}},
        {"matrix-file", 2, {{QuantMatrix, 0, "\"C:\\enc\\matrix.cfg\""}}},
        {"every-flag", 7, {{FastPSkip, 0}, {DctDecimate, 0}, {ThreadInput, 1}, {MaxRefs, 0, "2"}, {MixedRefs, 1},
                           {AdaptiveB, 0}, {WeightedB, 1}, {BidirectionalMe, 1}, {BReferences, 1}, {Transform8x8, 1},
                           {PSearch8x8, 1}, {PSearch4x4, 1}, {PartitionDecision, 7}, {ChromaMe, 0}}},
        {"no-partitions", 0, {{Transform8x8, 0}, {PSearch8x8, 0}, {BSearch8x8, 0}, {PSearch4x4, 0}, {Intra8x8, 0},
                              {Intra4x4, 0}}},
        {"size", 6, {{SizeMode, 1}, {Value, 0, "1"}}},
    };
    return all;
}

// The x264 lines of every job, each added through a window of its own
// with the given encoder beside the program (none when `help` is empty).
std::vector<Lines> lines_of_jobs(const std::map<std::string, std::string>& help) {
    std::vector<Lines> all;
    for (const Job& job : jobs()) {
        test::TestApp t;
        if (!help.empty()) t.platform.put_program(t.platform.folder + "x264.exe", {{1, 1}, help});
        // The size mode measures the input: ten seconds at 25 frames a second.
        t.platform.media[kEnc + "clip.avs"] = {250, 25};
        t.start();
        t.ui.set_state(ctl::Muxer, muxer::NoMux);
        t.paste(ctl::MaxBFrames, "3");
        t.select(ctl::Mode, job.mode);
        const bool rate_factor = job.mode == 1 || job.mode == 2 || job.mode == 8 || job.mode == 9 || job.mode == 12;
        t.paste(ctl::Value, rate_factor ? "24" : "300");
        for (const Setting& s : job.settings) {
            if (s.text) t.paste(s.id, s.text);
            else if (t.ui.row(s.id)->kind != ControlKind::CheckBox) t.select(s.id, s.state);
            else if (t.ui.state(s.id) != s.state) t.click(s.id);
        }
        t.paste(ctl::InputFile, kEnc + "clip.avs");
        t.paste(ctl::OutputFile, kEnc + job.name + (all.size() % 2 ? ".264" : ".mkv"));
        t.paste(ctl::StatsFile, kEnc + (job.stats ? job.stats : job.name) + ".stat");
        t.click(ctl::Add);
        Lines encodes;
        for (const std::string& line : t.job_lines())
            if (line.find("x264.exe") != std::string::npos) encodes.push_back(line);
        all.push_back(encodes);
        EXPECT_TRUE(t.platform.messages().empty()) << job.name;
    }
    return all;
}

TEST(RealX264, EveryLineWrittenForTheInstalledEncoderEncodesEveryFrame) {
    const fs::path folder = fs::temp_directory_path() / ("tav-x264-" + std::to_string(getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder);
    const Ran help = run({"x264", "--fullhelp"});
    ASSERT_EQ(help.status, 0) << "x264 is not installed (scripts/packages.txt lists it): " << help.output;

    const std::vector<Lines> today = lines_of_jobs({{"--fullhelp", help.output}});
    const std::vector<Lines> documented = lines_of_jobs({});
    const std::vector<Lines> era = lines_of_jobs(
        {{"--fullhelp", "x264 [error]: unknown option or missing argument\n"}, {"--longhelp", test::era_option_list()}});
    ASSERT_EQ(today.size(), jobs().size());
    ASSERT_EQ(documented.size(), today.size());
    EXPECT_EQ(era, documented);

    const fs::path clip = folder / "clip.y4m";
    write_clip(clip);
    write_matrix(folder / "matrix.cfg");
    const std::string every_frame = "encoded " + std::to_string(kFrames) + " frames";
    int ran = 0;
    for (size_t j = 0; j < today.size(); ++j) {
        const Job& job = jobs()[j];
        ASSERT_EQ(today[j].size(), documented[j].size()) << job.name;
        ASSERT_FALSE(today[j].empty()) << job.name;
        for (size_t i = 0; i < today[j].size(); ++i) {
            SCOPED_TRACE(std::string(job.name) + ": " + today[j][i]);
            // Only the five options today's encoder refuses differ.
            EXPECT_EQ(today[j][i], test::in_todays_form(documented[j][i]));
            const Ran encode = run(command_of(today[j][i], folder, clip));
            EXPECT_EQ(encode.status, 0) << encode.output;
            EXPECT_NE(encode.output.find(every_frame), std::string::npos) << encode.output;
            ++ran;
        }
    }
    EXPECT_GE(ran, 29);
    if (!HasFailure()) fs::remove_all(folder);
}

}  // namespace
}  // namespace tav
