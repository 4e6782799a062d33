// The window at the screen's DPI. Every length of the layout is written in
// 96-DPI pixels; scale_to_dpi is the one rule that turns it into pixels of
// the window's DPI, so at 96 DPI every rectangle stays as written. The
// DPI functions of newer systems are looked up at run time: on Windows 7
// the system DPI is the only one.
#pragma once

#include <windows.h>

namespace tav {

inline constexpr int kBaseDpi = 96;

// A 96-DPI length or coordinate at `dpi`, rounded to the nearest pixel.
int scale_to_dpi(int value, int dpi);

// A 96-DPI rectangle (x, y, width, height) at `dpi`. Its edges are scaled,
// not its size: rectangles that touch or keep apart at 96 DPI do the same
// at every DPI, and each size is within a pixel of the scaled size.
RECT scale_rect(int x, int y, int width, int height, int dpi);

// True for a DPI a screen can have (50 % to 1000 %); anything else, such
// as a stray message's, is no DPI to lay a window out at.
bool is_screen_dpi(int dpi);

// The DPI of the screen the window is on.
int window_dpi(HWND hwnd);
// The DPI the system was started at (what GDI measures the screen in).
int system_dpi();

// The outer size of a window with this style whose client area is the
// given 96-DPI size at `dpi`.
SIZE window_size_for_client(int client_width, int client_height, DWORD style, DWORD ex_style, int dpi);

// Lets the system scale the title bar and frame of a window on a screen of
// another DPI where it does not do so by itself; called on WM_NCCREATE.
void scale_frame_with_dpi(HWND hwnd);

// The two fonts of the window's controls, made for one DPI: Tahoma 8 and
// the system's default GUI font. The default GUI font is the stock object
// itself wherever the stock object was made for that DPI. A window that
// moves to another DPI makes new ones and deletes the old ones only once
// every control has the new ones.
class ControlFonts {
public:
    explicit ControlFonts(int dpi);
    ~ControlFonts();
    ControlFonts(const ControlFonts&) = delete;
    ControlFonts& operator=(const ControlFonts&) = delete;

    // Null when the font could not be made.
    HFONT tahoma() const { return tahoma_; }
    HFONT default_gui() const { return default_gui_; }

private:
    HFONT tahoma_ = nullptr;
    HFONT default_gui_ = nullptr;
    bool own_default_gui_ = false;
};

}  // namespace tav
