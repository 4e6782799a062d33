// The encoder beside the program, asked which options it takes: the
// stand-in x264.exe answers "--fullhelp" as today's build does, only
// "--longhelp" as a build of 2008 does, or hangs, as the files beside it
// say. Today's answer gives today's lines; the others give the documented
// lines; the window keeps answering while the encoder hangs, the hung
// encoder is ended and asked again, the user is told once, and the question
// never shows up as a recorded run.
#include <chrono>
#include <sstream>

#include "e2ejobs_support.h"

namespace tav::e2e::jobs {
namespace {

const JobNames kNames{"D:\\enc\\avs\\movie.avs", "D:\\enc\\out\\movie.mp4", "D:\\enc\\stats\\movie.stat", ""};

std::filesystem::path tools_folder() {
    const char* tools = std::getenv("TAV_TOOLS_WIN");
    if (!tools || !*tools) throw Abort("TAV_TOOLS_WIN does not name the test tools");
    return tools;
}

// The stand-in as x264.exe beside the program, with its steering files.
StartOptions with_encoder(std::vector<std::pair<std::string, std::string>> steering) {
    const std::string standin = read_file(tools_folder() / "standins" / "x264.exe");
    if (standin.empty()) throw Abort("the stand-in tool was not built");
    steering.insert(steering.begin(), {"x264.exe", standin});
    return {.working_directory = {}, .files = std::move(steering)};
}

std::string option_list(const char* name) {
    const std::string text = read_file(tools_folder() / "data" / name);
    if (text.empty()) throw Abort(std::string("no option list ") + name);
    return text;
}

// The questions the stand-in was asked: "<argument> pid=<id> log=<set|unset>".
std::vector<std::string> questions(const Program& program) {
    std::vector<std::string> lines;
    std::istringstream in(read_file(program.folder() / "x264.asked"));
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) lines.push_back(line);
    }
    return lines;
}

DWORD pid_of(const std::string& question) {
    const size_t at = question.find("pid=");
    return at == std::string::npos ? 0 : static_cast<DWORD>(std::strtoul(question.c_str() + at + 4, nullptr, 10));
}

// True once the process has ended (or never was), waiting up to timeout_ms.
bool ended(DWORD pid, DWORD timeout_ms) {
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
    if (!process) return true;
    const bool done = WaitForSingleObject(process, timeout_ms) == WAIT_OBJECT_0;
    CloseHandle(process);
    return done;
}

// A job in mode 0 with the example settings, ready to be added.
void prepare_job(Program& program) {
    use_example_encoder_settings(program);
    program.select(ctl::Mode, 0);
    program.paste(ctl::Value, "800");
    set_check(program, ctl::LogEnabled, false);
    program.paste(ctl::InputFile, kNames.input);
    program.paste(ctl::OutputFile, kNames.output);
}

// Clicks "Add" and returns the job's x264 line.
std::string click_add(Program& program) {
    const size_t before = line_count(program);
    program.click(ctl::Add);
    const auto added = list_lines_from(program, before);
    REQUIRE(added.size() == 6u);
    return added[4];
}

// The five changes today's x264 needs, on the example settings' line
// (no pyramid, no bidirectional ME, no RDO on B-frames).
std::string in_todays_form(std::string line) {
    const std::string fixed = " --progress --no-psnr --no-ssim", bias = " --b-bias 0";
    line.erase(line.find(fixed), fixed.size());
    line.insert(line.find(bias) + bias.size(), " --b-pyramid none");
    return line;
}

TAV_CASE(todays_encoder_beside_the_program_gets_todays_lines_without_a_recorded_run) {
    const std::filesystem::path scratch = make_temp_folder("tav-e2e-log-");
    const std::filesystem::path log = scratch / "tools.log";
    SetEnvironmentVariableA("TAV_STANDIN_LOG", log.string().c_str());  // the program inherits it
    Program program(with_encoder({{"x264.fullhelp", option_list("x264-core164-fullhelp.txt")}}));
    SetEnvironmentVariableA("TAV_STANDIN_LOG", nullptr);

    REQUIRE(wait_until([&] { return !questions(program).empty(); }, 20000));
    const auto asked = questions(program);
    CHECK_EQ(asked.size(), 1u);
    CHECK(asked[0].starts_with("--fullhelp pid="));
    // The question runs without the caller's own settings.
    CHECK(asked[0].ends_with(" log=unset"));
    CHECK(ended(pid_of(asked[0]), 10000));

    prepare_job(program);
    const std::string line = click_add(program);
    CHECK_EQ(line, in_todays_form(expected_pass_line(0, "800", kNames, false)));
    CHECK(read_tool_runs(log).empty());
    CHECK(!program.dialog_open());
    CHECK_EQ(program.close(), 0u);
    std::error_code ignored;
    if (failure_count() == 0) std::filesystem::remove_all(scratch, ignored);
}

TAV_CASE(an_encoder_of_2008_is_asked_for_its_long_list_and_gets_the_documented_lines) {
    Program program(with_encoder({{"x264.longhelp", option_list("x264-r987-longhelp.txt")}}));
    REQUIRE(wait_until([&] { return questions(program).size() >= 2; }, 20000));
    const auto asked = questions(program);
    CHECK(asked[0].starts_with("--fullhelp "));
    CHECK(asked[1].starts_with("--longhelp "));
    CHECK(ended(pid_of(asked[1]), 10000));
    prepare_job(program);
    CHECK_EQ(click_add(program), expected_pass_line(0, "800", kNames, false));
    CHECK_EQ(program.close(), 0u);
}

TAV_CASE(a_hung_encoder_is_ended_and_asked_again_while_the_window_keeps_answering_and_the_user_is_told_once) {
    Program program(with_encoder({{"x264.hang", ""}}));
    REQUIRE(wait_until([&] { return !questions(program).empty(); }, 20000));
    const DWORD hung = pid_of(questions(program)[0]);
    const auto asked_at = std::chrono::steady_clock::now();
    REQUIRE(!ended(hung, 0));

    // The window answers at once while the encoder hangs.
    for (int i = 0; i < 5; ++i) {
        DWORD_PTR ignored = 0;
        CHECK(SendMessageTimeoutA(program.window(), WM_NULL, 0, 0, SMTO_NORMAL, 300, &ignored) != 0);
        Sleep(50);
    }
    prepare_job(program);
    const size_t before = line_count(program);
    const auto clicked = std::chrono::steady_clock::now();
    program.click_async(ctl::Add);
    // A moment at most, far less than the encoder is given to answer; the
    // lines are written, then the user is told.
    HWND box = program.wait_dialog();
    CHECK(std::chrono::steady_clock::now() - clicked < std::chrono::seconds(2));
    const std::string told = Program::dialog_text(box);
    CHECK(told.find("\"" + folder_of(program) + "x264.exe\" has not answered") != std::string::npos);
    CHECK(told.find("documented") != std::string::npos);
    Program::press(box, IDOK);
    program.settle();
    const auto added = list_lines_from(program, before);
    if (CHECK_EQ(added.size(), 6u)) CHECK_EQ(added[4], expected_pass_line(0, "800", kNames, false));

    // Ended a few seconds after it was asked, and asked again, since it
    // gave no answer; the user is not told twice.
    CHECK(ended(hung, 15000));
    CHECK(std::chrono::steady_clock::now() - asked_at < std::chrono::seconds(12));
    prepare_job(program);
    CHECK_EQ(click_add(program), expected_pass_line(0, "800", kNames, false));
    CHECK(wait_until([&] { return questions(program).size() >= 2u; }, 15000));
    CHECK_EQ(program.close(), 0u);
}

}  // namespace
}  // namespace tav::e2e::jobs
