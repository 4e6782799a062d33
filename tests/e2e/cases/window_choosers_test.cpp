// The single-field file choosers through the real file dialogs, and the
// keyboard's Tab key.
#include "check.h"
#include "driver.h"

namespace tav::e2e {
namespace {

constexpr int kMoreTab = 3, kFramesTab = 2;

std::string windows_path(const std::filesystem::path& path) { return path.string(); }

// Clicks the control, waits for its file dialog and returns it.
HWND open_chooser(Program& program, int id) {
    program.click_async(id);
    return program.wait_dialog();
}

TAV_CASE(input_chooser_fills_the_names_and_wraps_other_media) {
    Program program({.files = {{"clips\\clip.avi", "not really a video"}, {"clips\\movie.avs", "Version()"}}});
    const std::string folder = windows_path(program.folder()) + "\\";

    // An AviSynth script is used as it is.
    Program::choose_file(open_chooser(program, 91), folder + "clips\\movie.avs");
    program.settle();
    CHECK_EQ(program.text(89), folder + "clips\\movie.avs");
    CHECK_EQ(program.text(90), folder + "clips\\movie.mp4");
    CHECK_EQ(program.text(30), folder + "stats\\movie.avs.stat");
    CHECK_EQ(program.text(126), folder + "log\\movie.avs.txt");

    // Any other file gets a wrapper script in the avs folder; the names
    // still come from the chosen file.
    Program::choose_file(open_chooser(program, 91), folder + "clips\\clip.avi");
    program.settle();
    const std::string wrapper = folder + "avs\\clip.avi.avs";
    CHECK_EQ(program.text(89), wrapper);
    CHECK(std::filesystem::exists(wrapper));
    CHECK_EQ(program.text(90), folder + "clips\\clip.mp4");
    CHECK_EQ(program.text(30), folder + "stats\\clip.avi.stat");
    CHECK_EQ(program.text(126), folder + "log\\clip.avi.txt");
    CHECK_EQ(program.close(), 0u);
}

TAV_CASE(cancelled_choosers_leave_their_fields_as_they_were) {
    Program program;
    program.select(23, 3);  // a multipass mode: the statistics chooser is enabled
    const std::pair<int, int> choosers[] = {{91, 89}, {92, 90}, {31, 30}, {127, 126}};
    for (const auto& [button, field] : choosers) {
        program.paste(field, "D:\\typed by hand\\name.txt");
    }
    for (const auto& [button, field] : choosers) {
        CONTEXT("chooser " + std::to_string(button));
        Program::press(open_chooser(program, button), IDCANCEL);
        program.settle();
        CHECK_EQ(program.text(field), "D:\\typed by hand\\name.txt");
    }
    // Nothing else ran for the cancelled input: the other names are as typed.
    CHECK_EQ(program.text(90), "D:\\typed by hand\\name.txt");
    CHECK_EQ(program.close(), 0u);
}

TAV_CASE(output_chooser_adds_mp4_to_a_name_without_extension) {
    Program program({.files = {{"out\\keep.txt", ""}}});
    const std::string out = windows_path(program.folder()) + "\\out\\";
    for (auto [typed, result] : {std::pair{"movie", "movie.mp4"}, {"film.mkv", "film.mkv"}}) {
        CONTEXT(std::string("typed ") + typed);
        Program::choose_file(open_chooser(program, 92), out + typed);
        program.settle();
        CHECK_EQ(program.text(90), out + result);
    }
    CHECK_EQ(program.close(), 0u);
}

TAV_CASE(matrix_chooser_quotes_the_file_or_falls_back_to_flat) {
    Program program({.files = {{"matrices\\my matrix.cfg", "INTRA4X4_LUMA = 16"}}});
    program.select_tab(kMoreTab);

    program.select_async(124, 2);  // "custom..."
    HWND dialog = program.wait_dialog();
    CHECK_EQ(window_text(dialog), "Select a matrix file");
    Program::press(dialog, IDCANCEL);
    program.settle();
    CHECK_EQ(program.text(124), "flat");

    const std::string matrix = windows_path(program.folder()) + "\\matrices\\my matrix.cfg";
    program.select_async(124, 2);
    Program::choose_file(program.wait_dialog(), matrix);
    program.settle();
    CHECK_EQ(program.text(124), "\"" + matrix + "\"");

    // Any other item opens nothing.
    program.select(124, 1);
    CHECK(!program.dialog_open());
    CHECK_EQ(program.text(124), "jvt");
    CHECK_EQ(program.close(), 0u);
}

TAV_CASE(tab_key_moves_the_focus_in_creation_order) {
    Program program;
    program.select_tab(kFramesTab);
    // A click leaves the focus on the check box, as the mouse does.
    program.click(6);
    program.click(6);
    REQUIRE(program.focus() == program.control(6));
    for (int next : {7, 8, 9, 10, 11}) {
        CONTEXT("towards control " + std::to_string(next));
        program.press_key(VK_TAB);
        CHECK(wait_until([&] { return program.focus() == program.control(next); }, 3000));
    }
    CHECK_EQ(program.close(), 0u);
}

}  // namespace
}  // namespace tav::e2e
