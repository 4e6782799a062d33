// Files from outside the window, through the real program: dropped on it as
// Explorer drops them, or named on its command line. Each becomes a job as
// "Files input" makes it; what cannot be taken is told, and a drop while a
// dialog of the program is open is not taken.
#include "e2ejobs_support.h"

namespace tav::e2e::jobs {
namespace {

namespace fs = std::filesystem;

// The text after `prefix` of every job line that starts with it.
std::vector<std::string> echoed(const Program& program, std::string_view prefix) {
    std::vector<std::string> found;
    for (const std::string& line : list_lines(program))
        if (line.starts_with(prefix)) found.push_back(line.substr(prefix.size()));
    return found;
}

TAV_CASE(files_and_a_folder_dropped_on_the_window_become_jobs_and_what_is_missing_is_told) {
    Program program({.working_directory = {},
                     .files = {{"in\\b clip.avi", "video"},
                               {"in\\a.avs", "Version()"},
                               {"season\\ep10.mkv", "video"},
                               {"season\\Ep2.MKV", "video"},
                               {"season\\ep1.avs", "Version()"},
                               {"season\\notes.txt", ""},
                               {"season\\cover.jpg", ""},
                               {"season\\extra\\ep0.mkv", "video"},
                               {"out\\keep.txt", ""},
                               {"avsinc\\plain.avs", "# template"}}});
    const std::string folder = folder_of(program);
    // The system hands a drop on any control to the nearest window that takes files.
    CHECK((GetWindowLongA(program.window(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES) != 0);
    program.select(ctl::Mode, 1);
    program.paste(ctl::Value, "26");
    const std::string template_name = program.text(ctl::Template);
    // A file whose name the ANSI code page cannot carry.
    const fs::path lacking = program.folder() / L"in" / L"caf\u0151.avi";
    std::ofstream(lacking) << "video";

    program.drop({path_from_ansi(folder + "in\\b clip.avi"), path_from_ansi(folder + "season"),
                  path_from_ansi(folder + "in\\gone.avi"), lacking, path_from_ansi(folder + "in\\a.avs")});
    Program::choose_file(wait_dialog_titled(program, "Select a folder for output"), folder + "out\\");
    HWND box = wait_dialog_titled(program, "tavrelion");
    const std::string told = Program::dialog_text(box);
    CHECK(told.find("\n" + folder + "in\\gone.avi") != std::string::npos);
    CHECK(told.find("\n" + folder + "in\\caf?.avi") != std::string::npos);
    Program::press(box, IDOK);
    program.settle();

    const std::string avs = folder + "avs\\", out = folder + "out\\";
    CHECK_EQ(echoed(program, "@echo Input:"),
             (std::vector<std::string>{in_quotes(avs + "b clip.avi.avs"), in_quotes(folder + "season\\ep1.avs"),
                                       in_quotes(avs + "Ep2.MKV.avs"), in_quotes(avs + "ep10.mkv.avs"),
                                       in_quotes(folder + "in\\a.avs")}));
    CHECK_EQ(echoed(program, "@echo Output:"),
             (std::vector<std::string>{in_quotes(out + "b clip.mp4"), in_quotes(out + "ep1.mp4"),
                                       in_quotes(out + "Ep2.mp4"), in_quotes(out + "ep10.mp4"),
                                       in_quotes(out + "a.mp4")}));
    CHECK_EQ(read_file(avs + "Ep2.MKV.avs"), "fs=\"" + folder + "season\\Ep2.MKV\"\r\nmfn=\"" + folder +
                                                 "season\\Ep2\"\r\nimport(\"..\\avsinc\\" + template_name +
                                                 ".avs\")\r\n");
    CHECK_EQ(program.text(ctl::InputFile), "");
    CHECK_EQ(program.close(), 0u);
}

TAV_CASE(a_drop_while_a_dialog_of_the_program_is_open_is_not_taken) {
    Program program({.working_directory = {}, .files = {{"in\\a.avs", "Version()"}}});
    const fs::path dropped = path_from_ansi(folder_of(program) + "in\\a.avs");
    program.click_async(ctl::FilesInput);
    HWND chooser = wait_dialog_titled(program, "Select a folder for output");
    program.drop({dropped});
    Sleep(500);
    Program::press(chooser, IDCANCEL);
    program.settle();
    // No chooser of the drop follows the closed one.
    Sleep(500);
    CHECK(!program.dialog_open());
    CHECK_EQ(line_count(program), 0u);

    // With no dialog open the same drop is taken.
    program.drop({dropped});
    Program::press(wait_dialog_titled(program, "Select a folder for output"), IDCANCEL);
    program.settle();
    CHECK_EQ(line_count(program), 0u);
    CHECK_EQ(program.close(), 0u);
}

TAV_CASE(files_named_on_the_command_line_become_jobs_once_the_window_is_ready) {
    // Outside the program folder, which the program's start makes; the
    // program starts in it, so a relative name is taken from there, and so
    // are the settings that choose the template.
    const fs::path inputs = make_temp_folder("tav-e2e-named-");
    fs::create_directories(inputs / "my clips");
    std::ofstream(inputs / "my clips" / "two words.avi") << "video";
    std::ofstream(inputs / "one.avs") << "Version()";
    std::ofstream(inputs / "tavrelion.ini", std::ios::binary) << "avsinc = plain\r\n";
    const std::string in = ansi_path(inputs) + "\\";
    {
        Program program({.working_directory = inputs,
                         .files = {{"avsinc\\plain.avs", "# template"}},
                         .arguments = {in + "my clips\\two words.avi", "one.avs"}});
        const std::string folder = folder_of(program);
        Program::choose_file(wait_dialog_titled(program, "Select a folder for output"), in);
        program.settle();
        CHECK_EQ(echoed(program, "@echo Input:"),
                 (std::vector<std::string>{in_quotes(folder + "avs\\two words.avi.avs"), in_quotes(in + "one.avs")}));
        CHECK_EQ(echoed(program, "@echo Output:"),
                 (std::vector<std::string>{in_quotes(in + "two words.mp4"), in_quotes(in + "one.mp4")}));
        // The settings were loaded before: the wrapper imports their template.
        CHECK_EQ(read_file(folder + "avs\\two words.avi.avs"),
                 "fs=\"" + in + "my clips\\two words.avi\"\r\nmfn=\"" + in +
                     "my clips\\two words\"\r\nimport(\"..\\avsinc\\plain.avs\")\r\n");
        CHECK_EQ(program.close(), 0u);
    }
    std::error_code ignored;
    fs::remove_all(inputs, ignored);
}

}  // namespace
}  // namespace tav::e2e::jobs
