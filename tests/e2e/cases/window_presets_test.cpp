// Presets through the real confirmation box: "S" asks before saving, "L"
// loads, and the preset list follows the configs folder.
#include "check.h"
#include "driver.h"

namespace tav::e2e {
namespace {

// Clicks "S" for the named preset and answers the box; returns its text.
std::string save_preset(Program& program, const std::string& name, int answer) {
    program.paste(115, name);
    program.click_async(105);
    HWND box = program.wait_dialog();
    CHECK_EQ(window_text(box), "Save");
    const std::string text = Program::dialog_text(box);
    Program::press(box, answer);
    program.settle();
    return text;
}

TAV_CASE(presets_save_after_yes_and_load_back) {
    Program program;
    const std::filesystem::path configs = program.folder() / "configs";

    program.select(23, 0);
    program.paste(25, "777");
    CHECK_EQ(save_preset(program, "not wanted", IDNO), "Are you sure?");
    CHECK(!std::filesystem::exists(configs / "not wanted.ini"));

    CHECK_EQ(save_preset(program, "mine", IDYES), "Are you sure?");
    CHECK(std::filesystem::exists(configs / "mine.ini"));
    CHECK_EQ(program.items(115), std::vector<std::string>{"mine"});

    // Change the settings, then load the preset back.
    program.select(23, 1);
    program.paste(25, "30");
    program.paste(115, "mine");
    program.click(106);
    CHECK_EQ(program.selection(23), 0);
    CHECK_EQ(program.text(25), "777");
    CHECK_EQ(program.text(24), "Average Bitrate");
    CHECK_EQ(program.close(), 0u);
}

}  // namespace
}  // namespace tav::e2e
