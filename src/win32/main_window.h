// The program's one window: built from the control table, with the tab panel
// and its five pages, and the event loop that turns the controls'
// notifications into control events for the program.
#pragma once

#include <windows.h>

#include <shellapi.h>

#include <array>

#include "app/app.h"
#include "model/control_table.h"
#include "model/events.h"
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
    // page shown. False when the window cannot be opened; then nothing is
    // created.
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
    // "Cancel" has ended it.
    void run(App& app);
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
    void on_activate(WPARAM wparam);
    void on_focus();

    void dispatch(const ControlEvent& event);
    void request_quit();

    bool create_tab_panel(const ControlSpec& row);
    HWND create_control(const ControlSpec& row);
    // The 8-point Tahoma of every control but the default-GUI-font ones.
    void create_font();
    void show_page(int page);

    HINSTANCE instance_;
    HBITMAP logo_;
    HWND hwnd_ = nullptr;
    HWND tab_panel_ = nullptr;
    std::array<HWND, kPageCount> pages_{};
    HFONT font_ = nullptr;
    Win32ControlSurface surface_;

    App* app_ = nullptr;
    bool busy_ = false;   // a handler or the program's own work is running
    bool quit_ = false;
    HWND saved_focus_ = nullptr;  // restored when the window is activated again
};

}  // namespace tav
