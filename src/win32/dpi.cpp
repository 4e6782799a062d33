#include "win32/dpi.h"

#include <climits>

namespace tav {
namespace {

constexpr int kTahomaPoints = 8;

// A function of a newer system, or null where the system lacks it.
template <typename Function>
Function find_function(HMODULE module, const char* name) {
    if (!module) return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

struct NewerDpiFunctions {
    // Windows 10 (1607).
    UINT(WINAPI* dpi_for_window)(HWND) = nullptr;
    BOOL(WINAPI* adjust_window_rect_for_dpi)(RECT*, DWORD, BOOL, DWORD, UINT) = nullptr;
    BOOL(WINAPI* enable_non_client_scaling)(HWND) = nullptr;
    // Windows 8.1, from shcore.dll: MDT_EFFECTIVE_DPI is 0.
    HRESULT(WINAPI* dpi_for_monitor)(HMONITOR, int, UINT*, UINT*) = nullptr;
};

const NewerDpiFunctions& newer_functions() {
    static const NewerDpiFunctions functions = [] {
        NewerDpiFunctions f;
        const HMODULE user = GetModuleHandleA("user32.dll");
        f.dpi_for_window = find_function<decltype(f.dpi_for_window)>(user, "GetDpiForWindow");
        f.adjust_window_rect_for_dpi =
            find_function<decltype(f.adjust_window_rect_for_dpi)>(user, "AdjustWindowRectExForDpi");
        f.enable_non_client_scaling =
            find_function<decltype(f.enable_non_client_scaling)>(user, "EnableNonClientDpiScaling");
        // Only needed where the window cannot be asked directly; kept loaded
        // for the life of the program.
        if (!f.dpi_for_window)
            f.dpi_for_monitor = find_function<decltype(f.dpi_for_monitor)>(LoadLibraryA("shcore.dll"),
                                                                            "GetDpiForMonitor");
        return f;
    }();
    return functions;
}

// A DPI as the system reports it, or the system DPI for a value that
// cannot be one.
int valid_dpi(UINT dpi) {
    return dpi <= INT_MAX && is_screen_dpi(static_cast<int>(dpi)) ? static_cast<int>(dpi) : system_dpi();
}

}  // namespace

bool is_screen_dpi(int dpi) { return dpi >= kBaseDpi / 2 && dpi <= 10 * kBaseDpi; }

int scale_to_dpi(int value, int dpi) { return MulDiv(value, dpi, kBaseDpi); }

RECT scale_rect(int x, int y, int width, int height, int dpi) {
    return RECT{scale_to_dpi(x, dpi), scale_to_dpi(y, dpi), scale_to_dpi(x + width, dpi),
                scale_to_dpi(y + height, dpi)};
}

int system_dpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : kBaseDpi;
    if (screen) ReleaseDC(nullptr, screen);
    return is_screen_dpi(dpi) ? dpi : kBaseDpi;
}

int window_dpi(HWND hwnd) {
    const NewerDpiFunctions& f = newer_functions();
    if (f.dpi_for_window) return valid_dpi(f.dpi_for_window(hwnd));
    UINT x = 0, y = 0;
    const HMONITOR screen = MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST);
    if (f.dpi_for_monitor && SUCCEEDED(f.dpi_for_monitor(screen, 0, &x, &y))) return valid_dpi(y);
    return system_dpi();
}

SIZE window_size_for_client(int client_width, int client_height, DWORD style, DWORD ex_style, int dpi) {
    RECT frame = scale_rect(0, 0, client_width, client_height, dpi);
    const NewerDpiFunctions& f = newer_functions();
    // Without the DPI-aware form, the frame is the system DPI's, which is
    // then the only DPI there is.
    if (!f.adjust_window_rect_for_dpi ||
        !f.adjust_window_rect_for_dpi(&frame, style, FALSE, ex_style, static_cast<UINT>(dpi)))
        AdjustWindowRectEx(&frame, style, FALSE, ex_style);
    return SIZE{frame.right - frame.left, frame.bottom - frame.top};
}

void scale_frame_with_dpi(HWND hwnd) {
    if (const auto enable = newer_functions().enable_non_client_scaling) enable(hwnd);
}

ControlFonts::ControlFonts(int dpi) {
    // Tahoma 8: the point size as a character height in pixels of this DPI.
    tahoma_ = CreateFontA(-MulDiv(kTahomaPoints, dpi, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                          DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                          DEFAULT_PITCH | FF_DONTCARE, "Tahoma");

    // The stock font is made for the system DPI; at another DPI the same
    // font is made at that DPI's size.
    const auto stock = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    default_gui_ = stock;
    const int stock_dpi = system_dpi();
    LOGFONTA font{};
    if (dpi != stock_dpi && GetObjectA(stock, sizeof font, &font) == sizeof font) {
        font.lfHeight = MulDiv(font.lfHeight, dpi, stock_dpi);
        font.lfWidth = MulDiv(font.lfWidth, dpi, stock_dpi);
        if (HFONT scaled = CreateFontIndirectA(&font)) {
            default_gui_ = scaled;
            own_default_gui_ = true;
        }
    }
}

ControlFonts::~ControlFonts() {
    if (tahoma_) DeleteObject(tahoma_);
    if (own_default_gui_) DeleteObject(default_gui_);
}

}  // namespace tav
