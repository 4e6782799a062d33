// The program's one window: built from the control table, with the tab panel
// and its five pages, and the event loop that turns the controls'
// notifications into control events for the program.
#pragma once

#include <windows.h>

#include <shellapi.h>

#include <array>
#include <memory>
#include <utility>
#include <vector>

#include "app/app.h"
#include "model/control_table.h"
#include "model/events.h"
#include "win32/dpi.h"
#include "win32/win32_surface.h"

namespace tav {

// Native identifiers of windows that the program never addresses: the
// "Audio" frame and the tab pages. None is in the control table.
inline constexpr int kAudioFrameNativeId = 0xFFFF;
inline constexpr int kFirstPageNativeId = 0xFFF0;

class MainWindow {
public:
    MainWindow(HINSTANCE instance, HBITMAP logo);
    ~MainWindow();
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Registers the common-control classes, opens the window invisible and
    // creates every control of the table, each with its font, and the first
    // page shown, all at the DPI of the screen the window is on. False when
    // the window cannot be opened; then nothing is created.
    bool build();
    HWND hwnd() const { return hwnd_; }
    Win32ControlSurface& surface() { return surface_; }

    // Runs the program's own work (start-up, exit steps) with control
    // events held back: nothing it writes runs a handler.
    template <typename Work>
    void run_quietly(Work&& work) {
        const bool was_busy = busy_;
        busy_ = true;
        work();
        busy_ = was_busy;
    }

    void show();
    // The event loop: returns once the window's close box or the program's
    // "Cancel" has ended it, or the Windows session ended.
    void run(App& app);
    // True once the Windows session ended: its steps ran instead of the
    // exit steps.
    bool session_ended() const { return session_ended_; }
    void destroy();

private:
    static LRESULT CALLBACK window_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
    static LRESULT CALLBACK page_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
    LRESULT on_message(UINT message, WPARAM wparam, LPARAM lparam);

    void on_command(WPARAM wparam, LPARAM lparam);
    void on_scroll(LPARAM lparam);
    void on_notify(const NMHDR& header);
    void on_drop(HDROP drop);
    void on_close();
    void on_end_session(bool ending);
    void on_background_work_due();
    void on_activate(WPARAM wparam);
    void on_focus();

    void dispatch(const ControlEvent& event);
    void request_quit();

    bool create_tab_panel(const ControlSpec& row);
    HWND create_control(const ControlSpec& row);
    void show_page(int page);

    // Layout at the window's DPI (dpi_). The table's rectangle of a control.
    RECT place_of(const ControlSpec& row) const;
    // The page rectangle inside the tab panel: below its row of tabs.
    RECT page_place() const;
    HFONT font_for(const ControlSpec& row) const;
    // The logo at the size of `place`: the program's own bitmap where that
    // is its natural size, else a copy made for it, which the window keeps.
    HBITMAP logo_for(const RECT& place);
    // Moved to a screen of another DPI: every control, font, the logo and
    // the pages laid out again, the window moved to `suggested`; texts,
    // states, selections and the focus stay, and no control event results.
    void on_dpi_changed(int dpi, const RECT& suggested);

    HINSTANCE instance_;
    HBITMAP logo_;
    HBITMAP scaled_logo_ = nullptr;  // the logo at the window's DPI, when not its natural size
    HWND hwnd_ = nullptr;
    HWND tab_panel_ = nullptr;
    std::array<HWND, kPageCount> pages_{};
    // Every control made, with its row, the "Audio" frame included.
    std::vector<std::pair<const ControlSpec*, HWND>> made_;
    int dpi_ = kBaseDpi;
    std::unique_ptr<ControlFonts> fonts_;
    Win32ControlSurface surface_;

    App* app_ = nullptr;
    bool busy_ = false;   // a handler or the program's own work is running
    bool quit_ = false;
    bool session_ended_ = false;
    HWND saved_focus_ = nullptr;  // restored when the window is activated again
};

}  // namespace tav
