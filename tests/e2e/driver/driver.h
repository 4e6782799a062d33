// Drives the real tavrelion.exe from another process, as a user would:
// starts it in a fresh program folder, finds its window and controls by
// identifier, types, pastes, clicks, selects, slides, switches tabs, answers
// dialogs, reads back texts and states, and closes it. Every wait is bounded;
// a step that cannot be done throws Abort, which fails the case.
#pragma once

#include <windows.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tav::e2e {

struct Rect {
    int x = 0, y = 0, width = 0, height = 0;
    friend bool operator==(const Rect&, const Rect&) = default;
};
std::ostream& operator<<(std::ostream& out, const Rect& r);

struct StartOptions {
    // Working directory of the program; empty = its own program folder.
    std::filesystem::path working_directory = {};
    // Files to place in the program folder before the start: name -> content.
    std::vector<std::pair<std::string, std::string>> files = {};
    // A program folder of an earlier start to start in again, kept when the
    // program ends; empty = a fresh one, removed by the program.
    std::filesystem::path program_folder = {};
    // The command line after the program's name, one argument each, put in
    // double quotes when it holds a blank, as Explorer passes names.
    std::vector<std::string> arguments = {};
};

// The program under test: TAV_PROGRAM_WIN names the built executable.
std::filesystem::path program_under_test();

// A fresh, empty folder below the temporary folder, removed by its owner.
std::filesystem::path make_temp_folder(std::string_view prefix);

// Paths and the ANSI code page the program works in: this library's own
// path conversions take a narrow text byte by byte and give UTF-8 back,
// which names beyond ASCII do not survive.
std::filesystem::path path_from_ansi(std::string_view text);
std::string ansi_path(const std::filesystem::path& path);

class Program {
public:
    explicit Program(const StartOptions& options = {});
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    const std::filesystem::path& folder() const { return folder_; }
    HWND window() const { return window_; }
    DWORD process_id() const { return process_.dwProcessId; }

    // The control with this identifier anywhere below the window; throws when absent.
    HWND control(int id) const;
    // Null when absent.
    HWND find_control(int id) const;
    // Every descendant window, in the order the system lists them.
    std::vector<HWND> descendants() const;

    // Reading.
    std::string text(int id) const;
    int selection(int id) const;                 // combo or list box, -1 = none
    std::vector<std::string> items(int id) const;
    int checked(int id) const;                   // BM_GETCHECK
    int slider(int id) const;                    // TBM_GETPOS
    bool enabled(int id) const;                  // the control's own state
    bool shown(int id) const;                    // WS_VISIBLE of the control itself
    bool visible(int id) const;                  // shown, and every parent shown
    int tab() const;                             // selected tab index
    RECT tab_rect(int index) const;              // a tab's rectangle in the panel; empty when none
    // The control's font handle (WM_GETFONT), which Wine does not answer
    // across processes.
    std::uintptr_t font(HWND hwnd) const;
    // Sends a message from a thread inside the program, for messages whose
    // pointers Wine does not carry across processes. Returns the low 32 bits.
    std::uintptr_t send_inside(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) const;
    // The same with `size` bytes of `data` placed in the program as lparam.
    std::uintptr_t send_inside(HWND hwnd, UINT message, WPARAM wparam, const void* data, size_t size) const;
    std::vector<std::string> tab_captions() const;

    // User-like actions. Each refuses (throws) a control that the user could
    // not reach: hidden, on a page not shown, or disabled.
    void type(int id, std::string_view characters);  // WM_CHAR one by one
    void paste(int id, std::string_view text);       // WM_SETTEXT
    void erase(int id);                              // select all, then delete
    void click(int id);                              // BM_CLICK, waits for the handler
    void click_async(int id);                        // posted: for clicks that open a dialog
    void select(int id, int index);                  // combo or list, notifies the parent
    void select_async(int id, int index);            // the same, for a choice that opens a dialog
    void slide(int id, int position);                // track bar, notifies the parent
    void leave(int id);                              // focus lost: EN_KILLFOCUS to the parent
    void select_tab(int index);                      // mouse click on the tab

    // Drops the files on the window as Explorer does: a DROPFILES block
    // with the wide names in the program's memory, posted as WM_DROPFILES.
    void drop(const std::vector<std::filesystem::path>& names);

    // Dialogs of this process: a visible #32770 window, waited for up to
    // timeout_ms (generous: a loaded machine may take seconds to show one).
    HWND wait_dialog(DWORD timeout_ms = 20000) const;
    bool dialog_open() const;
    static std::string dialog_text(HWND dialog);     // the message box text (static 65535)
    static void press(HWND dialog, int button);      // WM_COMMAND with the button id
    // Types a path into a file dialog's name field and presses OK.
    static void choose_file(HWND dialog, std::string_view path);
    // Waits until no dialog is open and the program is back in its loop.
    void settle(DWORD timeout_ms = 20000);
    // The control that has the keyboard focus in the program, or null.
    HWND focus() const;
    // Presses a key in the focused control (posted, as the keyboard does).
    void press_key(WORD key);

    // Writes the window's picture to TAV_SHOT_WIN\<name>.bmp (the test
    // wrapper turns it into a PNG); does nothing when no folder is given.
    void screenshot(std::string_view name) const;

    // Asks the window to close and waits for the exit; returns the exit code.
    DWORD close(DWORD timeout_ms = 15000);
    // Waits for the process to end by itself (e.g. after Cancel).
    DWORD wait_exit(DWORD timeout_ms = 15000);
    bool running() const;
    // Ends the process at once, as a crash would: no exit steps run.
    void kill();

private:
    void require_reachable(int id, HWND hwnd) const;
    void notify_parent(HWND hwnd, int code) const;

    std::filesystem::path folder_;
    bool own_folder_ = true;
    PROCESS_INFORMATION process_{};
    HANDLE job_ = nullptr;
    HWND window_ = nullptr;
};

// The screen's DPI as Wine reads it when a program starts (the prefix's
// HKCU\Control Panel\Desktop\LogPixels): programs started while a
// ScreenDpi lives see `dpi`; afterwards, and at the start of every case
// (one killed while it had changed it cannot leave it), they see 96.
bool set_screen_dpi(int dpi);
class ScreenDpi {
public:
    explicit ScreenDpi(int dpi);  // throws Abort when the DPI cannot be set
    ~ScreenDpi() { set_screen_dpi(96); }
    ScreenDpi(const ScreenDpi&) = delete;
    ScreenDpi& operator=(const ScreenDpi&) = delete;
};

// The colours (0x00BBGGRR) of a rectangle of the screen, row by row.
std::vector<COLORREF> screen_pixels(const RECT& area);

// Polls until pred() holds or timeout_ms passes; returns the last result.
template <class Pred>
bool wait_until(Pred pred, DWORD timeout_ms = 5000) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (pred()) return true;
        if (GetTickCount() - start >= timeout_ms) return false;
        Sleep(10);
    }
}

// Window class name and styles, for checks of the controls' kinds.
std::string class_name(HWND hwnd);
std::string window_text(HWND hwnd);
// Rectangle of hwnd in its parent's client coordinates.
Rect rect_in_parent(HWND hwnd);

}  // namespace tav::e2e
