// The job list's buttons through the real window: "view", "up", "down",
// "edit" through the real input box, "Disable", "del", "Clear" and "Shut",
// each checked against the list it should leave and the selection after it.
#include "e2ejobs_support.h"

namespace tav::e2e::jobs {
namespace {

using Lines = std::vector<std::string>;

const std::string kShutdown = "shutdown.exe -s -f -t 30";

// Two complete jobs with the shutdown line between them.
Lines build_list(Program& program) {
    add_quick_job(program, "D:\\a.avs", "D:\\a.mp4");
    program.select_tab(kJobTab);
    program.click(ctl::Shut);
    add_quick_job(program, "D:\\b.avs", "D:\\b.mp4");
    program.select_tab(kJobTab);
    Lines lines = list_lines(program);
    if (lines.size() != 13u || lines[6] != kShutdown) throw Abort("unexpected job list: " + show(lines));
    return lines;
}

// Clicks the button on line `line` (-1: with nothing selected).
void click_on(Program& program, int button, int line) {
    program.select(ctl::JobList, line);
    program.click(button);
}

TAV_CASE(list_buttons_move_disable_delete_clear_and_shut_lines) {
    Program program;
    Lines model = build_list(program);

    // Nothing selected: no button changes anything or shows anything.
    for (int button : {ctl::View, ctl::Up, ctl::Down, ctl::Edit, ctl::Disable, ctl::Del}) {
        CONTEXT("button " + std::to_string(button) + " without a selection");
        click_on(program, button, -1);
        CHECK(!program.dialog_open());
        CHECK_EQ(list_lines(program), model);
    }

    {
        CONTEXT("up");
        click_on(program, ctl::Up, 6);
        std::swap(model[5], model[6]);
        CHECK_EQ(list_lines(program), model);
        CHECK_EQ(program.selection(ctl::JobList), -1);
        program.click(ctl::Up);  // the selection is gone: nothing moves
        CHECK_EQ(list_lines(program), model);
        click_on(program, ctl::Up, 0);
        CHECK_EQ(list_lines(program), model);
    }
    {
        CONTEXT("down");
        click_on(program, ctl::Down, 5);
        std::swap(model[5], model[6]);
        CHECK_EQ(list_lines(program), model);
        CHECK_EQ(program.selection(ctl::JobList), -1);
        click_on(program, ctl::Down, 11);  // the last but one: the last two swap
        std::swap(model[11], model[12]);
        CHECK_EQ(list_lines(program), model);
        click_on(program, ctl::Down, 12);
        CHECK_EQ(list_lines(program), model);
        click_on(program, ctl::Down, 11);
        std::swap(model[11], model[12]);
        CHECK_EQ(list_lines(program), model);
    }
    {
        CONTEXT("Disable twice");
        const std::string line = model[1];
        click_on(program, ctl::Disable, 1);
        model[1] = "@rem " + line;
        CHECK_EQ(list_lines(program), model);
        CHECK_EQ(program.selection(ctl::JobList), 1);
        program.click(ctl::Disable);
        model[1] = line;
        CHECK_EQ(list_lines(program), model);
        CHECK_EQ(program.selection(ctl::JobList), 1);
    }
    {
        CONTEXT("del");
        click_on(program, ctl::Del, 9);  // inside the second job: all of it goes
        model.erase(model.begin() + 7, model.end());
        CHECK_EQ(list_lines(program), model);
        CHECK_EQ(program.selection(ctl::JobList), -1);
        click_on(program, ctl::Del, 6);  // after the first job's end: the job above goes
        model.erase(model.begin(), model.begin() + 6);
        CHECK_EQ(list_lines(program), model);
        CHECK_EQ(model, Lines{kShutdown});
    }
    {
        CONTEXT("Shut and Clear");
        program.click(ctl::Shut);
        CHECK_EQ(list_lines(program), (Lines{kShutdown, kShutdown}));
        program.click(ctl::Clear);
        CHECK_EQ(list_lines(program), Lines{});
        program.click(ctl::Clear);
        CHECK_EQ(list_lines(program), Lines{});
        program.click(ctl::Shut);
        CHECK_EQ(list_lines(program), Lines{kShutdown});
    }
    CHECK_EQ(program.close(), 0u);
}

TAV_CASE(view_shows_the_selected_line_in_a_message_box) {
    Program program;
    const Lines model = build_list(program);
    program.select(ctl::JobList, 4);
    program.click_async(ctl::View);
    HWND box = wait_dialog_titled(program, "The command line parameter is:");
    CHECK_EQ(Program::dialog_text(box), model[4]);
    CHECK(!IsWindowEnabled(program.window()));
    Program::press(box, IDOK);
    program.settle();
    CHECK_EQ(list_lines(program), model);
    CHECK_EQ(program.close(), 0u);
}

// Opens "edit" on `line` and returns the input box.
HWND open_edit(Program& program, int line) {
    program.select(ctl::JobList, line);
    program.click_async(ctl::Edit);
    return wait_dialog_titled(program, "Edit");
}

constexpr int kPrompt = 100, kField = 101;

TAV_CASE(edit_replaces_the_line_on_ok_or_enter_and_keeps_it_on_escape_or_close) {
    Program program;
    Lines model = build_list(program);

    {
        CONTEXT("the box");
        HWND box = open_edit(program, 3);
        HWND field = GetDlgItem(box, kField);
        CHECK_EQ(window_text(GetDlgItem(box, kPrompt)), "For expert only!");
        CHECK_EQ(window_text(field), model[3]);
        CHECK_EQ(window_text(GetDlgItem(box, IDOK)), "OK");
        DWORD start = 0, end = 0;
        SendMessageA(field, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        CHECK_EQ(start, static_cast<DWORD>(model[3].size()));
        CHECK_EQ(end, static_cast<DWORD>(model[3].size()));
        RECT r{};
        GetWindowRect(box, &r);
        CHECK_EQ(r.right - r.left, 300);
        CHECK_EQ(r.bottom - r.top, 130);
        const int screen_width = GetSystemMetrics(SM_CXSCREEN), screen_height = GetSystemMetrics(SM_CYSCREEN);
        CHECK(std::abs(r.left + r.right - screen_width) <= 1);
        CHECK(std::abs(r.top + r.bottom - screen_height) <= 1);
        CHECK(!IsWindowEnabled(program.window()));  // the main window waits for the box
        SendMessageA(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("@echo by OK"));
        Program::press(box, IDOK);
        program.settle();
        model[3] = "@echo by OK";
        CHECK_EQ(list_lines(program), model);
        CHECK_EQ(program.selection(ctl::JobList), -1);
    }
    {
        CONTEXT("Enter");
        HWND box = open_edit(program, 2);
        HWND field = GetDlgItem(box, kField);
        SendMessageA(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("@echo by Enter & 100%"));
        PostMessageA(field, WM_KEYDOWN, VK_RETURN, 1);
        program.settle();
        model[2] = "@echo by Enter & 100%";
        CHECK_EQ(list_lines(program), model);
    }
    // A cancelled box keeps the user's line.
    {
        CONTEXT("Escape");
        HWND box = open_edit(program, 4);
        HWND field = GetDlgItem(box, kField);
        SendMessageA(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("thrown away"));
        PostMessageA(field, WM_KEYDOWN, VK_ESCAPE, 1);
        program.settle();
        CHECK_EQ(list_lines(program), model);
    }
    {
        CONTEXT("close box");
        HWND box = open_edit(program, 4);
        SendMessageA(GetDlgItem(box, kField), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("thrown away"));
        PostMessageA(box, WM_SYSCOMMAND, SC_CLOSE, 0);
        program.settle();
        CHECK_EQ(list_lines(program), model);
    }
    {
        CONTEXT("OK with an emptied field");
        HWND box = open_edit(program, 5);
        SendMessageA(GetDlgItem(box, kField), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
        Program::press(box, IDOK);
        program.settle();
        model[5] = "";
        CHECK_EQ(list_lines(program), model);
    }
    CHECK_EQ(program.close(), 0u);
}

}  // namespace
}  // namespace tav::e2e::jobs
