// Jobs through the real window: "Add" in every encode mode, the combined
// modes putting the user's own values back, "Audio Only", the input chooser's
// wrappers, "Files input" through the folder chooser and the multi-selection
// dialog, and "Make BAT" writing the list byte for byte; then the written
// batches run by the command interpreter with stand-ins for the tools, which
// record exactly what each tool received and what the clean-up left.
#include <array>
#include <map>

#include "e2ejobs_support.h"

namespace tav::e2e::jobs {
namespace {

const JobNames kExample{"D:\\enc\\avs\\movie.avs", "D:\\enc\\out\\movie.mp4", "D:\\enc\\stats\\movie.stat",
                        "D:\\enc\\log\\movie.txt"};

// Types the job's file names into the Bitrate tab, as a user may instead of
// choosing them.
void enter_names(Program& program, const JobNames& names) {
    program.select_tab(kBitrateTab);
    set_check(program, ctl::LogEnabled, !names.log.empty());
    program.paste(ctl::InputFile, names.input);
    program.paste(ctl::OutputFile, names.output);
    if (program.enabled(ctl::StatsFile)) program.paste(ctl::StatsFile, names.stats);
    if (!names.log.empty()) program.paste(ctl::LogFile, names.log);
}

// Clicks "Add" and returns the lines it appended.
std::vector<std::string> add(Program& program) {
    const size_t before = line_count(program);
    program.click(ctl::Add);
    return list_lines_from(program, before);
}

struct ModeCase {
    int mode;
    const char* value;  // the value field's text
};

// The single passes that make up each mode's job: {mode, uses the CRF field}.
std::vector<std::pair<int, bool>> passes_of(int mode) {
    switch (mode) {
        case 6: return {{3, false}, {5, false}};
        case 7: return {{4, false}, {5, false}};
        case 10: return {{8, true}, {5, false}};
        case 11: return {{9, true}, {5, false}};
        case 13: return {{12, true}, {13, false}};
        default: return {{mode, false}};
    }
}

TAV_CASE(add_in_every_mode_writes_the_expected_job_and_restores_the_mode) {
    Program program;
    use_example_encoder_settings(program);
    const char* crf = "20";
    const ModeCase cases[] = {{0, "800"}, {1, "26"},  {2, "20"},  {3, "800"}, {4, "800"},  {5, "800"},  {6, "800"},
                              {7, "800"}, {8, "20"},  {9, "20"},  {10, "1200"}, {11, "800"}, {12, "20"}, {13, "800"}};
    for (const ModeCase& c : cases) {
        CONTEXT("mode " + std::to_string(c.mode));
        program.select(ctl::Mode, c.mode);
        program.paste(ctl::Value, c.value);
        const bool uses_crf_field = program.visible(ctl::FirstPassCrf);
        CHECK_EQ(uses_crf_field, c.mode == 10 || c.mode == 11 || c.mode == 13);
        if (uses_crf_field) program.paste(ctl::FirstPassCrf, crf);
        if (program.enabled(ctl::UpdateStats)) set_check(program, ctl::UpdateStats, false);
        const bool update_stats = program.checked(ctl::UpdateStats) == BST_CHECKED;
        enter_names(program, kExample);

        std::vector<std::string> expected = job_header(kExample, c.mode);
        for (auto [pass_mode, with_crf] : passes_of(c.mode)) {
            if (pass_mode == 13) expected.push_back("@chksize.exe 90 110 " + in_quotes(kExample.output));
            expected.push_back(expected_pass_line(pass_mode, with_crf ? crf : c.value, kExample, update_stats));
        }
        expected.push_back("@echo+");
        const auto added = add(program);
        CHECK_EQ(added, expected);

        // The window shows the user's own choices again, and the file
        // fields are ready for the next input.
        CHECK_EQ(program.selection(ctl::Mode), c.mode);
        CHECK_EQ(program.text(ctl::Value), c.value);
        if (uses_crf_field) CHECK_EQ(program.text(ctl::FirstPassCrf), crf);
        CHECK_EQ(program.visible(ctl::FirstPassCrf), uses_crf_field);
        for (int id : {ctl::InputFile, ctl::OutputFile, ctl::StatsFile, ctl::LogFile}) CHECK_EQ(program.text(id), "");

        // Reference lines, letter for letter.
        if (c.mode == 6 && CHECK_EQ(added.size(), 7u)) {
            CHECK_EQ(added[4],
                     "@x264.exe --progress --no-psnr --no-ssim --cqm flat --scenecut 40 -I 250 -i 25 -t 1 --me hex "
                     "--sar 1:1 --threads 1 -r 1 --nr 0 -f 0:0 -b 2 --direct \"auto\" --b-bias 0 -w -p 1 --stats "
                     "\"D:\\enc\\stats\\movie.stat\" -B 800 --qpmin 10 --qpmax 51 --8x8dct -A p8x8,b8x8,i8x8,i4x4 "
                     "--ipratio 1.400000 --pbratio 1.300000 -m 5 --ratetol 1.000000 --vbv-init 0.9 --vbv-bufsize 0 "
                     "--vbv-maxrate 0 -o nul \"D:\\enc\\avs\\movie.avs\" 2>&1|lputs.exe \"D:\\enc\\log\\movie.txt\"");
            CHECK_EQ(added[5],
                     "@x264.exe --progress --no-psnr --no-ssim --cqm flat --scenecut 40 -I 250 -i 25 -t 1 --me hex "
                     "--sar 1:1 --threads 1 -r 1 --nr 0 -f 0:0 -b 2 --direct \"auto\" --b-bias 0 -w -p 2 --stats "
                     "\"D:\\enc\\stats\\movie.stat\" -B 800 --qpmin 10 --qpmax 51 --qpstep 4 --qcomp 0.600000 "
                     "--ipratio 1.400000 --pbratio 1.300000 --8x8dct -A p8x8,b8x8,i8x8,i4x4 -m 5 --ratetol 1.000000 "
                     "--vbv-init 0.9 --vbv-bufsize 0 --vbv-maxrate 0 -o \"D:\\enc\\out\\movie.mp4\" "
                     "\"D:\\enc\\avs\\movie.avs\" 2>&1|lputs.exe \"D:\\enc\\log\\movie.txt\"");
        }
        if (c.mode == 13 && CHECK_EQ(added.size(), 8u)) {
            const std::string tail =
                " -w --stats \"D:\\enc\\stats\\movie.stat\" -p 1 --crf 20 --8x8dct -A p8x8,b8x8,i8x8,i4x4 --ipratio "
                "1.400000 --pbratio 1.300000 -m 5 --qpmin 10 --qpmax 51 --qpstep 4 --qcomp 0.600000 --ratetol "
                "1.000000 --vbv-init 0.9 --vbv-bufsize 0 --vbv-maxrate 0 -o \"D:\\enc\\out\\movie.mp4\" "
                "\"D:\\enc\\avs\\movie.avs\" 2>&1|lputs.exe \"D:\\enc\\log\\movie.txt\"";
            CHECK(added[4].size() > tail.size() && added[4].ends_with(tail));
            CHECK_EQ(added[5], "@chksize.exe 90 110 \"D:\\enc\\out\\movie.mp4\"");
            CHECK(added[6].starts_with("@if errorlevel 1 @x264.exe "));
            CHECK(added[6].ends_with(" 2>&1|lputs.exe \"D:\\enc\\log\\movie.txt\""));
        }
    }
    CHECK_EQ(program.close(), 0u);
}

// The audio line and the mux lines with "Nero" at 64 and "MP4Box".
std::vector<std::string> nero_mp4box_lines(const JobNames& names) {
    const std::string audio = in_quotes(names.output.substr(0, names.output.rfind('.') + 1) + "audio.mp4");
    return {"@bepipe.exe --script \"import(^" + names.input + "^)\" | neroaacenc.exe -if - -of " + audio +
                " -ignorelength -cbr 64000",
            "@mp4box.exe -add " + audio + " " + in_quotes(names.output), "@if not errorlevel 1 del " + audio};
}

TAV_CASE(audio_follows_the_last_pass_only_and_audio_only_writes_no_pass) {
    Program program;
    use_example_encoder_settings(program);
    program.select_tab(kMoreTab);
    set_check(program, ctl::Audio, true);
    program.select(ctl::AudioEncoder, 1);  // "Nero"
    program.select(ctl::Muxer, kMp4Box);
    program.paste(ctl::AudioBitrate, "64");

    // Mode 13: the first pass writes no audio; the audio follows the
    // second pass, and "Audio" is ticked again afterwards.
    program.select_tab(kBitrateTab);
    program.select(ctl::Mode, 13);
    program.paste(ctl::Value, "800");
    program.paste(ctl::FirstPassCrf, "20");
    const bool update_stats = program.checked(ctl::UpdateStats) == BST_CHECKED;
    enter_names(program, kExample);
    std::vector<std::string> expected = job_header(kExample, 13);
    expected.push_back(expected_pass_line(12, "20", kExample, update_stats));
    expected.push_back("@chksize.exe 90 110 " + in_quotes(kExample.output));
    expected.push_back(expected_pass_line(13, "800", kExample, update_stats));
    for (auto& line : nero_mp4box_lines(kExample)) expected.push_back(line);
    expected.push_back("@echo+");
    CHECK_EQ(add(program), expected);
    CHECK_EQ(program.checked(ctl::Audio), BST_CHECKED);
    CHECK_EQ(program.selection(ctl::Mode), 13);
    CHECK_EQ(program.text(ctl::Value), "800");

    // Reference audio lines, as the job list shows them.
    {
        const JobNames video{"D:\\video\\movie.avs", "D:\\video\\movie.mp4", "D:\\video\\movie.stat", ""};
        program.select(ctl::Mode, 1);
        program.paste(ctl::Value, "26");
        enter_names(program, video);
        const auto added = add(program);
        REQUIRE(added.size() == 9u);
        CHECK_EQ(lines_from(added, 5),
                 (std::vector<std::string>{
                     "@bepipe.exe --script \"import(^D:\\video\\movie.avs^)\" | neroaacenc.exe -if - -of "
                     "\"D:\\video\\movie.audio.mp4\" -ignorelength -cbr 64000",
                     "@mp4box.exe -add \"D:\\video\\movie.audio.mp4\" \"D:\\video\\movie.mp4\"",
                     "@if not errorlevel 1 del \"D:\\video\\movie.audio.mp4\"", "@echo+"}));
    }

    // "Audio Only": the audio line alone, whatever the mode and whether or
    // not "Audio" is ticked; the header still names the user's mode.
    program.select_tab(kMoreTab);
    set_check(program, ctl::Audio, false);
    program.select(ctl::Muxer, kAudioOnly);
    program.select_tab(kBitrateTab);
    program.select(ctl::Mode, 6);
    enter_names(program, kExample);
    expected = job_header(kExample, 6);
    expected.push_back(nero_mp4box_lines(kExample).front());
    expected.push_back("@echo+");
    CHECK_EQ(add(program), expected);
    CHECK_EQ(program.selection(ctl::Mode), 6);

    // Without an output the job is its two markers, and the input stays.
    program.paste(ctl::InputFile, kExample.input);
    program.paste(ctl::OutputFile, "");
    CHECK_EQ(add(program), (std::vector<std::string>{"@echo.", "@echo+"}));
    CHECK_EQ(program.text(ctl::InputFile), kExample.input);
    CHECK_EQ(program.close(), 0u);
}

// Answers the folder chooser and the multi-selection dialog of "Files input".
void choose_files(Program& program, const std::string& output_folder, const std::string& input_folder,
                  const std::string& quoted_names) {
    program.select_tab(kBitrateTab);
    program.click_async(ctl::FilesInput);
    Program::choose_file(wait_dialog_titled(program, "Select a folder for output"), output_folder);
    HWND files = wait_dialog_titled(program, "Select some files");
    Program::choose_file(files, input_folder);  // a folder typed in the name field opens it
    Sleep(300);
    Program::choose_file(files, quoted_names);
    program.settle();
}

TAV_CASE(files_input_adds_one_job_per_chosen_file_and_cancels_add_nothing) {
    Program program({.working_directory = {}, .files = {{"in\\one.avs", "Version()"},
                               {"in\\two words.avs", "Version()"},
                               {"in\\clip & 100%.avi", "not a video"},
                               {"out dir\\keep.txt", ""},
                               {"avsinc\\plain.avs", "# template"}}});
    const std::string folder = folder_of(program);
    const std::string in = folder + "in\\", out = folder + "out dir\\";
    use_example_encoder_settings(program);
    program.select(ctl::Mode, 1);
    program.paste(ctl::Value, "26");
    set_check(program, ctl::LogEnabled, true);
    const std::string template_name = program.text(ctl::Template);

    // Cancelled at the folder chooser, then at the file dialog: no job.
    program.click_async(ctl::FilesInput);
    Program::press(wait_dialog_titled(program, "Select a folder for output"), IDCANCEL);
    program.settle();
    CHECK_EQ(program.items(ctl::JobList).size(), 0u);
    program.click_async(ctl::FilesInput);
    Program::choose_file(wait_dialog_titled(program, "Select a folder for output"), out);
    Program::press(wait_dialog_titled(program, "Select some files"), IDCANCEL);
    program.settle();
    CHECK_EQ(program.items(ctl::JobList).size(), 0u);

    choose_files(program, out, in, "\"one.avs\" \"two words.avs\" \"clip & 100%.avi\"");
    const auto lines = program.items(ctl::JobList);
    // Every name in a batch line has its '%' doubled.
    const JobNames expected_names[] = {
        {in + "one.avs", out + "one.mp4", "", folder + "log\\one.avs.txt"},
        {in + "two words.avs", out + "two words.mp4", "", folder + "log\\two words.avs.txt"},
        {folder + "avs\\clip & 100%%.avi.avs", out + "clip & 100%%.mp4", "", folder + "log\\clip & 100%%.avi.txt"},
    };
    std::vector<std::string> expected;
    for (const JobNames& names : expected_names) {
        for (auto& line : job_header(names, 1)) expected.push_back(line);
        expected.push_back(expected_pass_line(1, "26", names, false));
        expected.push_back("@echo+");
    }
    CHECK_EQ(lines, expected);
    // The wrapper of the non-script input names it as it is.
    CHECK_EQ(read_file(folder + "avs\\clip & 100%.avi.avs"),
             "fs=\"" + in + "clip & 100%.avi\"\r\nmfn=\"" + in + "clip & 100%\"\r\nimport(\"..\\avsinc\\" +
                 template_name + ".avs\")\r\n");
    CHECK_EQ(program.selection(ctl::Mode), 1);
    CHECK_EQ(program.text(ctl::InputFile), "");
    CHECK_EQ(program.close(), 0u);
}

TAV_CASE(same_named_inputs_in_two_folders_keep_their_own_wrappers_and_names) {
    Program program({.working_directory = {}, .files = {{"x\\movie.avi", "first"}, {"y\\movie.avi", "second"}}});
    const std::string folder = folder_of(program);
    program.select(ctl::Mode, 1);
    std::vector<std::array<std::string, 4>> chosen;  // input field, statistics, log, output
    for (const char* sub : {"x", "y"}) {
        choose_input(program, folder + sub + "\\movie.avi");
        program.settle();
        chosen.push_back({program.text(ctl::InputFile), program.text(ctl::StatsFile), program.text(ctl::LogFile),
                          program.text(ctl::OutputFile)});
        CHECK_EQ(chosen.back()[3], folder + sub + "\\movie.mp4");
        program.click(ctl::Add);
    }
    CHECK_EQ(chosen[0][0], folder + "avs\\movie.avi.avs");  // the ordinary name while it is free
    for (size_t i = 0; i < 3; ++i) {
        CONTEXT("name " + std::to_string(i));
        CHECK(chosen[0][i] != chosen[1][i]);
    }
    // Each wrapper still reads its own input after the other was chosen.
    CHECK(read_file(chosen[0][0]).starts_with("fs=\"" + folder + "x\\movie.avi\"\r\n"));
    CHECK(read_file(chosen[1][0]).starts_with("fs=\"" + folder + "y\\movie.avi\"\r\n"));
    const auto lines = list_lines(program);
    REQUIRE(lines.size() == 12u);
    CHECK_EQ(lines[1], "@echo Input:" + in_quotes(chosen[0][0]));
    CHECK_EQ(lines[7], "@echo Input:" + in_quotes(chosen[1][0]));
    CHECK_EQ(program.close(), 0u);
}

// Only an added job holds its names: an input chosen and replaced before
// "Add" leaves the next one the names it would have alone.
TAV_CASE(an_input_replaced_before_add_holds_no_output_name) {
    Program program({.working_directory = {}, .files = {{"clips\\movie.AVI", "video"}, {"clips\\movie.Avs", "script"}}});
    const std::string folder = folder_of(program);
    choose_input(program, folder + "clips\\movie.AVI");
    program.settle();
    CHECK_EQ(program.text(ctl::OutputFile), folder + "clips\\movie.mp4");
    choose_input(program, folder + "clips\\movie.Avs");
    program.settle();
    CHECK_EQ(program.text(ctl::InputFile), folder + "clips\\movie.Avs");
    CHECK_EQ(program.text(ctl::OutputFile), folder + "clips\\movie.mp4");
    CHECK_EQ(program.close(), 0u);
}

TAV_CASE(a_wrapper_that_cannot_be_written_is_reported_and_the_input_stays_the_chosen_file) {
    // A folder stands where the wrapper would go.
    Program program({.working_directory = {}, .files = {{"clips\\movie.avi", "video"}, {"avs\\movie.avi.avs\\keep.txt", ""}}});
    const std::string folder = folder_of(program);
    choose_input(program, folder + "clips\\movie.avi");
    HWND box = wait_dialog_titled(program, "tavrelion");
    CHECK(Program::dialog_text(box).find(folder + "avs\\movie.avi.avs") != std::string::npos);
    Program::press(box, IDOK);
    program.settle();
    CHECK_EQ(program.text(ctl::InputFile), folder + "clips\\movie.avi");
    CHECK_EQ(program.text(ctl::OutputFile), folder + "clips\\movie.mp4");
    CHECK_EQ(program.close(), 0u);
}

TAV_CASE(files_input_takes_a_selection_beyond_ten_thousand_characters) {
    constexpr int kFiles = 50;
    StartOptions options;
    std::vector<std::string> names;
    std::string selection;
    for (int i = 0; i < kFiles; ++i) {
        // Long names, so the selection's text passes 10,000 characters.
        names.push_back((i < 10 ? "0" : "") + std::to_string(i) + " " + std::string(200, 'x') + ".avs");
        options.files.push_back({"many\\" + names.back(), "Version()"});
        selection += in_quotes(names.back()) + " ";
    }
    REQUIRE(selection.size() > 10000);
    options.files.push_back({"out\\keep.txt", ""});
    Program program(options);
    const std::string folder = folder_of(program);
    program.select(ctl::Mode, 1);
    set_check(program, ctl::LogEnabled, false);
    choose_files(program, folder + "out\\", folder + "many\\", selection);

    REQUIRE(line_count(program) == 6u * kFiles);
    HWND list = program.control(ctl::JobList);
    for (int i = 0; i < kFiles; ++i) {
        CONTEXT("file " + std::to_string(i));
        CHECK_EQ(list_line(program, list, 6 * i + 1), "@echo Input:" + in_quotes(folder + "many\\" + names[i]));
    }
    CHECK_EQ(program.close(), 0u);
}

TAV_CASE(make_bat_writes_the_header_and_every_line_byte_for_byte) {
    Program program({.working_directory = {}, .files = {{"bats\\keep.txt", ""}}});
    const std::string folder = folder_of(program);
    const std::string header = "@cd /d \"" + folder + "\"\r\n@setpath.exe run\r\n@call setpath.bat\r\n"
                               "@del setpath.bat\r\n";

    // An empty list gives the header alone; ".bat" is added to a bare name.
    make_bat(program, folder + "bats\\empty");
    CHECK_EQ(read_file(folder + "bats\\empty.bat"), header);

    const JobNames names{folder + "clip 100%.avs", folder + "clip 100%.mp4", folder + "stats\\c.stat", ""};
    program.select_tab(kBitrateTab);
    program.select(ctl::Mode, 2);
    program.paste(ctl::Value, "20");
    enter_names(program, names);
    program.click(ctl::Add);
    program.click(ctl::Add);  // fields cleared: a job of its two markers
    program.select_tab(kJobTab);
    program.click(ctl::Shut);
    program.select(ctl::JobList, 1);
    program.click(ctl::Disable);  // a disabled header line is written as it stands
    const auto lines = program.items(ctl::JobList);
    REQUIRE(lines.size() == 9u);
    CHECK(lines[1].starts_with("@rem @echo Input:"));
    CHECK_EQ(lines.back(), "shutdown.exe -s -f -t 30");

    std::string expected = header;
    for (const std::string& line : lines) expected += line + "\r\n";
    make_bat(program, folder + "bats\\jobs");
    CHECK_EQ(read_file(folder + "bats\\jobs.bat"), expected);
    CHECK_EQ(program.selection(ctl::JobList), static_cast<int>(lines.size()) - 1);
    // Any extension the user typed is kept.
    make_bat(program, folder + "bats\\jobs.cmd");
    CHECK_EQ(read_file(folder + "bats\\jobs.cmd"), expected);
    CHECK(!std::filesystem::exists(folder + "bats\\jobs.cmd.bat"));
    CHECK_EQ(program.items(ctl::JobList), lines);
    CHECK_EQ(program.close(), 0u);
}

// One row of the audio encoder list: the program, the audio file's
// extension, the words before the audio file and the rate option.
struct AudioEncoder {
    const char* program;
    const char* extension;
    std::vector<std::string> before_audio;
    const char* rate_option;
    bool quality;
};
const AudioEncoder kEncoders[] = {
    {"enc_aacplus.exe", "aac", {"-"}, "--cbr", false},
    {"neroaacenc.exe", "mp4", {"-if", "-", "-of"}, "-cbr", false},
    {"neroaacenc_sse2.exe", "mp4", {"-if", "-", "-of"}, "-cbr", false},
    {"neroaacenc.exe", "mp4", {"-if", "-", "-of"}, "-br", false},
    {"neroaacenc_sse2.exe", "mp4", {"-if", "-", "-of"}, "-br", false},
    {"neroaacenc.exe", "mp4", {"-if", "-", "-of"}, "-q", true},
    {"neroaacenc_sse2.exe", "mp4", {"-if", "-", "-of"}, "-q", true},
};

// A file name as a batch line carries it: every '%' doubled.
std::string in_batch(std::string_view name) {
    std::string out;
    for (char c : name) out += c == '%' ? std::string("%%") : std::string(1, c);
    return out;
}

std::string stem_of(const std::string& path) { return path.substr(0, path.rfind('.') + 1); }

// One job of the encoder x muxer table and what each tool must receive.
struct AudioJob {
    int encoder = 0, muxer = 0;
    std::string output, audio, mkv;  // real names, as the tools see them
    std::string value;               // the audio field's text
};

std::vector<std::string> expected_audio_and_mux_lines(const AudioJob& job, const std::string& input) {
    const AudioEncoder& e = kEncoders[job.encoder];
    const std::string audio = in_quotes(in_batch(job.audio)), output = in_quotes(in_batch(job.output));
    std::string line = "@bepipe.exe --script \"import(^" + in_batch(input) + "^)\" | " + e.program;
    for (size_t i = 0; i < e.before_audio.size(); ++i) line += " " + e.before_audio[i];
    line += " " + audio + (job.encoder > 0 ? " -ignorelength " : " ") + e.rate_option + " " +
            (e.quality ? job.value : "64000");
    std::vector<std::string> lines{line};
    if (job.muxer == kMp4Box) {
        lines.push_back("@mp4box.exe -add " + audio + " " + output);
        lines.push_back("@if not errorlevel 1 del " + audio);
    } else if (job.muxer == kMp4Creator) {
        lines.push_back("@mp4creator.exe -create=" + audio + " " + output);
        lines.push_back("@if not errorlevel 1 del " + audio);
    } else if (job.muxer == kMkvMerge) {
        const std::string mkv = in_quotes(in_batch(job.mkv));
        lines.push_back("@mkvmerge -o " + mkv + " " + output + " " + audio);
        lines.push_back("@if not errorlevel 2 if exist " + mkv + " del " + audio);
        lines.push_back("@if not errorlevel 2 if exist " + mkv + " del " + output);
    }
    return lines;
}

TAV_CASE(every_audio_encoder_and_muxer_runs_with_exactly_its_arguments) {
    // Names with blanks, '&' and '%' must reach every tool unchanged. Each
    // job's temporary audio file exists beforehand (the stand-in encoders
    // write none), and so does the muxed file of the MKVMerge jobs, so the
    // clean-up lines have something to delete.
    const std::string media = "media & 100%\\";
    std::vector<AudioJob> jobs;
    StartOptions options{.working_directory = {}, .files = {{media + "clip.avs", "Version()"}}};
    for (int e = 0; e < 7; ++e) {
        for (int x = kMp4Box; x <= kAudioOnly; ++x) {
            AudioJob job;
            job.encoder = e;
            job.muxer = x;
            const std::string name = media + "out " + std::to_string(e) + std::to_string(x) + ".mp4";
            job.output = name;
            job.audio = stem_of(name) + "audio." + kEncoders[e].extension;
            job.mkv = x == kMkvMerge ? stem_of(name) + "mkv" : "";
            job.value = kEncoders[e].quality ? "0.35" : "64";
            options.files.push_back({job.audio, "audio"});
            if (!job.mkv.empty()) options.files.push_back({job.mkv, "muxed"});
            jobs.push_back(job);
        }
    }
    Program program(options);
    const std::string folder = folder_of(program);
    const std::string input = folder + media + "clip.avs";
    for (AudioJob& job : jobs) {
        for (std::string* name : {&job.output, &job.audio, &job.mkv}) {
            if (!name->empty()) *name = folder + *name;
        }
    }

    program.select(ctl::Mode, 1);
    program.paste(ctl::Value, "26");
    set_check(program, ctl::LogEnabled, false);
    program.select_tab(kMoreTab);
    set_check(program, ctl::Audio, true);
    for (const AudioJob& job : jobs) {
        CONTEXT("encoder " + std::to_string(job.encoder) + ", muxer " + std::to_string(job.muxer));
        program.select_tab(kMoreTab);
        program.select(ctl::AudioEncoder, job.encoder);
        program.select(ctl::Muxer, job.muxer);
        set_field(program, ctl::AudioBitrate, job.value);
        CHECK_EQ(program.text(ctl::AudioUnit), kEncoders[job.encoder].quality ? "Quality" : "Kbps");
        enter_names(program, {input, job.output, "", ""});
        const auto added = add(program);
        const size_t audio_at = job.muxer == kAudioOnly ? 4 : 5;
        REQUIRE(added.size() > audio_at);
        CHECK_EQ(added[audio_at - 1].starts_with("@x264.exe "), job.muxer != kAudioOnly);
        std::vector<std::string> expected = expected_audio_and_mux_lines(job, input);
        expected.push_back("@echo+");
        CHECK_EQ(lines_from(added, audio_at), expected);
    }

    make_bat(program, folder + "audio jobs.bat");
    BatchResult result = run_batch(folder + "audio jobs.bat");
    CHECK_EQ(result.exit_code, 0u);

    // Every tool, in job order.
    auto next_run = [&, taken = std::map<std::string, size_t>()](const std::string& tool) mutable -> ToolRun {
        const auto runs = runs_of(result.runs, tool);
        const size_t index = taken[tool]++;
        if (index >= runs.size()) throw Abort("too few runs of " + tool);
        return runs[index];
    };
    for (const AudioJob& job : jobs) {
        CONTEXT("encoder " + std::to_string(job.encoder) + ", muxer " + std::to_string(job.muxer));
        if (job.muxer != kAudioOnly) {
            const ToolRun encode = next_run("x264.exe");
            REQUIRE(encode.argv.size() > 4);
            CHECK_EQ(std::vector<std::string>(encode.argv.end() - 3, encode.argv.end()),
                     (std::vector<std::string>{"-o", job.output, input}));
        }
        CHECK_EQ(arguments(next_run("bepipe.exe")), (std::vector<std::string>{"--script", "import(^" + input + "^)"}));
        const AudioEncoder& e = kEncoders[job.encoder];
        std::vector<std::string> encoder_arguments = e.before_audio;
        encoder_arguments.push_back(job.audio);
        if (job.encoder > 0) encoder_arguments.push_back("-ignorelength");
        encoder_arguments.push_back(e.rate_option);
        encoder_arguments.push_back(e.quality ? "0.35" : "64000");
        CHECK_EQ(arguments(next_run(e.program)), encoder_arguments);
        const bool muxed = job.muxer <= kMkvMerge;
        if (job.muxer == kMp4Box) {
            CHECK_EQ(arguments(next_run("mp4box.exe")), (std::vector<std::string>{"-add", job.audio, job.output}));
        } else if (job.muxer == kMp4Creator) {
            CHECK_EQ(arguments(next_run("mp4creator.exe")), (std::vector<std::string>{"-create=" + job.audio, job.output}));
        } else if (job.muxer == kMkvMerge) {
            CHECK_EQ(arguments(next_run("mkvmerge.exe")),
                     (std::vector<std::string>{"-o", job.mkv, job.output, job.audio}));
        }
        // Clean-up: a successful MP4 mux deletes the audio file; an existing
        // MKV deletes both of its sources; nothing else is deleted.
        CHECK_EQ(std::filesystem::exists(job.audio), !muxed);
        CHECK_EQ(std::filesystem::exists(job.output), job.muxer != kAudioOnly && job.muxer != kMkvMerge);
        if (!job.mkv.empty()) CHECK(std::filesystem::exists(job.mkv));
    }
    CHECK(std::filesystem::exists(input));
    CHECK_EQ(runs_of(result.runs, "x264.exe").size(), 28u);
    CHECK_EQ(runs_of(result.runs, "bepipe.exe").size(), 35u);

    // Failed MP4 muxes keep the audio; a failed MKV mux keeps both of its
    // sources, even with a (partial) MKV file left behind. A short list of
    // its own keeps this run quick.
    program.select_tab(kJobTab);
    program.click(ctl::Clear);
    CHECK_EQ(line_count(program), 0u);
    std::vector<AudioJob> again;
    for (const AudioJob& job : jobs) {
        if (job.encoder != 1 || job.muxer > kMkvMerge) continue;
        std::ofstream(job.audio, std::ios::binary) << "audio";
        if (!job.mkv.empty()) std::ofstream(job.mkv, std::ios::binary) << "partial";
        program.select_tab(kMoreTab);
        program.select(ctl::AudioEncoder, job.encoder);
        program.select(ctl::Muxer, job.muxer);
        set_field(program, ctl::AudioBitrate, job.value);
        enter_names(program, {input, job.output, "", ""});
        program.click(ctl::Add);
        again.push_back(job);
    }
    make_bat(program, folder + "failed muxes.bat");
    result = run_batch(folder + "failed muxes.bat",
                       {"TAV_STANDIN_EXIT_MP4BOX=1", "TAV_STANDIN_EXIT_MP4CREATOR=1", "TAV_STANDIN_EXIT_MKVMERGE=2"});
    CHECK_EQ(runs_of(result.runs, "mkvmerge.exe").size(), 1u);
    CHECK_EQ(runs_of(result.runs, "bepipe.exe").size(), again.size());
    for (const AudioJob& job : again) {
        CONTEXT("failed mux, muxer " + std::to_string(job.muxer));
        CHECK(std::filesystem::exists(job.audio));
        CHECK(std::filesystem::exists(job.output));
    }
    CHECK_EQ(program.close(), 0u);
}

TAV_CASE(conditional_pass_runs_only_after_a_failed_size_check_with_or_without_log_and_mkv_output_survives) {
    // Short names: the window's list cannot yet hand back lines longer than
    // 511 characters under Wine.
    const std::string media = "& %\\";
    Program program({.working_directory = {}, .files = {{media + "a.avs", "Version()"}}});
    const std::string folder = folder_of(program);
    const std::string input = folder + media + "a.avs", output = folder + media + "a.mkv";
    const std::string audio = folder + media + "a.audio.aac", muxed = folder + media + "a.muxed.mkv";
    const std::string log = "l.txt";  // beside the batch, in the program folder

    program.select(ctl::Mode, 13);
    program.paste(ctl::Value, "900");
    program.paste(ctl::FirstPassCrf, "18");
    program.paste(ctl::MinSize, "5");
    program.paste(ctl::MaxSize, "7");
    program.select_tab(kMoreTab);
    set_check(program, ctl::Audio, true);
    program.select(ctl::AudioEncoder, 0);
    program.select(ctl::Muxer, kMkvMerge);
    program.paste(ctl::AudioBitrate, "96");

    for (bool logged : {false, true}) {
        CONTEXT(logged ? "logged" : "not logged");
        program.select_tab(kJobTab);
        program.click(ctl::Clear);
        enter_names(program, {input, output, "D:\\s.stat", logged ? log : ""});
        const auto added = add(program);
        REQUIRE(added.size() == 12u);
        CHECK_EQ(added[5], "@chksize.exe 5 7 " + in_quotes(in_batch(output)));
        // Logged or not, the "if" guards the whole pass, log pipe included:
        // the batch run below proves it.
        CHECK(added[6].starts_with("@if errorlevel 1 @x264.exe "));
        // The output is already an MKV file: the muxed file gets its own name.
        const std::string q_muxed = in_quotes(in_batch(muxed)), q_audio = in_quotes(in_batch(audio));
        CHECK_EQ(lines_from(added, 8), (std::vector<std::string>{
                                           "@mkvmerge -o " + q_muxed + " " + in_quotes(in_batch(output)) + " " + q_audio,
                                           "@if not errorlevel 2 if exist " + q_muxed + " del " + q_audio,
                                           "@if not errorlevel 2 if exist " + q_muxed + " del " +
                                               in_quotes(in_batch(output)),
                                           "@echo+"}));
        make_bat(program, folder + "conditional.bat");

        for (int size_check : {1, 0}) {
            CONTEXT("chksize exit code " + std::to_string(size_check));
            const BatchResult result =
                run_batch(folder + "conditional.bat", {"TAV_STANDIN_EXIT_CHKSIZE=" + std::to_string(size_check)});
            const auto checks = runs_of(result.runs, "chksize.exe");
            if (CHECK_EQ(checks.size(), 1u)) CHECK_EQ(arguments(checks[0]), (std::vector<std::string>{"5", "7", output}));
            const auto encodes = runs_of(result.runs, "x264.exe");
            REQUIRE(encodes.size() == (size_check ? 2u : 1u));
            const auto has = [](const ToolRun& run, std::vector<std::string> words) {
                return std::search(run.argv.begin(), run.argv.end(), words.begin(), words.end()) != run.argv.end();
            };
            CHECK(has(encodes[0], {"-p", "1", "--crf", "18"}));
            if (size_check) CHECK(has(encodes[1], {"-B", "900"}));
            for (const ToolRun& run : encodes) CHECK_EQ(arguments(run).back(), input);
            const auto logs = runs_of(result.runs, "lputs.exe");
            CHECK_EQ(logs.size(), logged ? encodes.size() : 0u);
            for (const ToolRun& run : logs) CHECK_EQ(arguments(run), std::vector<std::string>{log});
            const auto muxes = runs_of(result.runs, "mkvmerge.exe");
            if (CHECK_EQ(muxes.size(), 1u)) {
                CHECK_EQ(arguments(muxes[0]), (std::vector<std::string>{"-o", muxed, output, audio}));
            }
            // The muxer made nothing here, so the encoded video stays.
            CHECK(std::filesystem::exists(output));
        }
    }
    CHECK_EQ(program.close(), 0u);
}

TAV_CASE(make_bat_into_a_missing_folder_is_reported) {
    Program program;
    const std::string folder = folder_of(program);
    program.select_tab(kJobTab);
    program.click(ctl::Shut);
    program.click_async(ctl::MakeBat);
    Program::choose_file(program.wait_dialog(), folder + "missing\\jobs");
    HWND box = wait_dialog_titled(program, "tavrelion");
    CHECK(Program::dialog_text(box).find(folder + "missing\\jobs.bat") != std::string::npos);
    Program::press(box, IDOK);
    program.settle();
    CHECK(!std::filesystem::exists(folder + "missing"));
    CHECK_EQ(program.close(), 0u);
}

}  // namespace
}  // namespace tav::e2e::jobs
