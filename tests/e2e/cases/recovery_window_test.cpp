// A job list survives a run that is ended abruptly, and a normal end leaves
// no copy of it behind.
#include "e2ejobs_support.h"
#include "e2esettings_support.h"

namespace tav::e2e::jobs {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;
using settings_support::copies_in;

// The job lines a copy holds: the lines between its header and its last.
Lines lines_of_copy(const fs::path& path) {
    const std::string text = read_file(path);
    Lines lines;
    for (size_t at = 0, end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2)
        lines.push_back(text.substr(at, end - at));
    const auto header_end = std::find(lines.begin(), lines.end(), "lines");
    if (header_end == lines.end()) return {};
    return {header_end + 1, lines.end() - 1};
}

// Waits until the program's copy holds `lines`; returns its name.
std::string wait_for_copy(const fs::path& folder, const Lines& lines) {
    std::string found;
    wait_until(
        [&] {
            for (const std::string& name : copies_in(folder))
                if (name.size() > 9 && name.substr(name.size() - 9) == ".recovery" &&
                    lines_of_copy(folder / name) == lines)
                    found = name;
            return !found.empty();
        },
        10000);
    if (found.empty()) throw Abort("no copy of the job list appeared: " + show(copies_in(folder)));
    return found;
}

// Two jobs, the shutdown line, a disabled line and a line edited by hand.
Lines build_list(Program& program) {
    add_quick_job(program, "D:\\a.avs", "D:\\a.mp4");
    add_quick_job(program, "D:\\b.avs", "D:\\b.mp4");
    program.select_tab(kJobTab);
    program.click(ctl::Shut);
    program.select(ctl::JobList, 4);
    program.click(ctl::Disable);
    program.select(ctl::JobList, 1);
    program.click_async(ctl::Edit);
    HWND box = wait_dialog_titled(program, "Edit");
    SetWindowTextA(FindWindowExA(box, nullptr, "Edit", nullptr), "@echo Input: D:\\a & b.avs  100%");
    Program::press(box, IDOK);
    program.settle();
    Lines lines = list_lines(program);
    if (lines.size() != 13u || lines[4].rfind("@rem ", 0) != 0) throw Abort("unexpected job list: " + show(lines));
    return lines;
}

// Starts the program in `folder` again and answers the offer of the list.
std::string answer_offer(Program& program, int answer) {
    HWND box = program.wait_dialog();
    CHECK_EQ(window_text(box), "tavrelion");
    const std::string text = Program::dialog_text(box);
    Program::press(box, answer);
    program.settle();
    return text;
}

constexpr const char* kOffer =
    "The job list of an earlier run that did not end normally holds 13 lines. It holds a shutdown line "
    "(\"shutdown.exe -s -f -t 30\"): a batch made from it switches the computer off when it gets there. Put them "
    "back into the job list?";

TAV_CASE(job_list_of_a_killed_run_comes_back_on_yes_and_is_gone_on_no) {
    const fs::path folder = make_temp_folder("tav-e2e-recovery-");
    Lines lines;
    std::string first_copy;
    {
        Program first({.program_folder = folder});
        lines = build_list(first);
        first_copy = wait_for_copy(folder, lines);
        first.kill();
    }
    {
        Program second({.program_folder = folder});
        CHECK_EQ(answer_offer(second, IDYES), kOffer);
        second.select_tab(kJobTab);
        CHECK_EQ(list_lines(second), lines);
        CHECK_EQ(second.text(ctl::Value), "26");  // the settings were loaded first
        // The new run's copy takes over from the old one.
        const std::string second_copy = wait_for_copy(folder, lines);
        CHECK(second_copy != first_copy);
        CHECK(wait_until([&] { return copies_in(folder) == Lines{second_copy}; }));
        second.kill();
    }
    {
        Program third({.program_folder = folder});
        CHECK_EQ(answer_offer(third, IDNO), kOffer);
        CHECK_EQ(line_count(third), 0u);
        CHECK_EQ(copies_in(folder), Lines{});
        CHECK_EQ(third.close(), 0u);
    }
    // Nothing is offered any more.
    {
        Program fourth({.program_folder = folder});
        CHECK(!fourth.dialog_open());
        CHECK_EQ(fourth.close(), 0u);
    }
    std::error_code ignored;
    if (failure_count() == 0) fs::remove_all(folder, ignored);
}

// After a crash and Yes, the jobs put back hold their names: a new input of
// the same file name gets names of its own.
TAV_CASE(jobs_put_back_after_a_crash_hold_their_names) {
    const fs::path folder = make_temp_folder("tav-e2e-recovery-");
    const std::string in = ansi_path(folder) + "\\";
    const StartOptions start{.files = {{"a\\clip.mkv", "x"}, {"a\\clip.avi", "x"}, {"b\\clip.mkv", "x"}},
                             .program_folder = folder};
    {
        Program first(start);
        first.select(ctl::Mode, 3);  // a first pass: the job names its statistics file
        choose_input(first, in + "a\\clip.mkv");
        first.settle();
        CHECK_EQ(first.text(ctl::OutputFile), in + "a\\clip.mp4");
        first.click(ctl::Add);
        wait_for_copy(folder, list_lines(first));
        first.kill();
    }
    Program second(start);
    answer_offer(second, IDYES);
    CHECK_EQ(line_count(second), 6u);
    // The same output folder: the recovered job's output is taken.
    choose_input(second, in + "a\\clip.avi");
    second.settle();
    CHECK_EQ(second.text(ctl::OutputFile), in + "a\\clip-2.mp4");
    // The same file name: the recovered job's wrapper and statistics are taken.
    choose_input(second, in + "b\\clip.mkv");
    second.settle();
    CHECK_EQ(second.text(ctl::InputFile), in + "avs\\clip-2.mkv.avs");
    CHECK_EQ(second.text(ctl::StatsFile), in + "stats\\clip-2.mkv.stat");
    CHECK_EQ(read_file(in + "avs\\clip.mkv.avs").substr(0, 4 + in.size()), "fs=\"" + in);
    CHECK_EQ(second.close(), 0u);
    std::error_code ignored;
    if (failure_count() == 0) fs::remove_all(folder, ignored);
}

TAV_CASE(a_second_window_leaves_the_copy_of_a_running_one_alone) {
    const fs::path folder = make_temp_folder("tav-e2e-recovery-");
    {
        Program first({.program_folder = folder});
        const Lines lines = build_list(first);
        const std::string copy = wait_for_copy(folder, lines);
        {
            Program second({.program_folder = folder});
            CHECK(!second.dialog_open());
            CHECK_EQ(line_count(second), 0u);
            CHECK_EQ(second.close(), 0u);
        }
        CHECK_EQ(copies_in(folder), Lines{copy});
        CHECK_EQ(lines_of_copy(folder / copy), lines);
        CHECK_EQ(first.close(), 0u);
    }
    CHECK_EQ(copies_in(folder), Lines{});
    std::error_code ignored;
    if (failure_count() == 0) fs::remove_all(folder, ignored);
}

TAV_CASE(a_normal_end_leaves_no_copy_of_the_job_list) {
    for (const bool by_cancel : {false, true}) {
        CONTEXT(by_cancel ? "Cancel" : "close box");
        Program program;
        const Lines lines = build_list(program);
        wait_for_copy(program.folder(), lines);
        DWORD code;
        if (by_cancel) {
            program.click_async(ctl::Cancel);
            code = program.wait_exit();
        } else {
            code = program.close();
        }
        CHECK_EQ(code, 0u);
        CHECK_EQ(copies_in(program.folder()), Lines{});
    }
}

}  // namespace
}  // namespace tav::e2e::jobs
