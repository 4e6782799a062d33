// The reference of the start-up figure: tavrelion's own window — every
// control of the table, its fonts, logo and pages, made by the program's
// window code — with none of the program's work: no settings read, no lists
// filled, no COM, no folders made, no libraries beyond the window's. What
// the program's start-up costs beyond this is the program's own.
#include <windows.h>

#include "win32/logo.h"
#include "win32/main_window.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    HBITMAP logo = tav::make_logo_bitmap();
    int status = 1;
    {
        tav::MainWindow window(instance, logo);
        if (window.build()) {
            window.show();
            MSG message;
            // The window's close box posts the quit message.
            while (GetMessageA(&message, nullptr, 0, 0) > 0) {
                if (IsDialogMessageA(window.hwnd(), &message)) continue;
                TranslateMessage(&message);
                DispatchMessageA(&message);
            }
            status = 0;
        }
    }
    if (logo) DeleteObject(logo);
    return status;
}
