// The program's entry point: start-up, the event loop and the exit steps.
#include <windows.h>

#include <objbase.h>

#include "app/app.h"
#include "win32/logo.h"
#include "win32/main_window.h"
#include "win32/outside_files.h"
#include "win32/win32_platform.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    // Made once, before the window, and kept for the life of the program.
    HBITMAP logo = tav::make_logo_bitmap();

    tav::Win32Platform platform;
    const std::string program_folder = platform.program_folder();
    // The media length query works through COM.
    const bool com_ready = SUCCEEDED(CoInitialize(nullptr));
    tav::create_working_folders(platform, program_folder);

    {
        tav::MainWindow window(instance, logo);
        if (window.build()) {
            platform.set_owner(window.hwnd());
            tav::App app(window.surface(), platform, tav::JobListCopy::Writing::InBackground);
            // Shown once built: a dialog the settings load opens (a custom
            // matrix asks for its file) then has the window behind it.
            window.show();
            // Files named on the command line are taken once the settings
            // are loaded and any earlier job list is offered back.
            window.run_quietly([&] {
                app.initialise_controls();
                app.start();
                app.take_files(tav::command_line_file_names());
            });
            window.run(app);
            if (!window.session_ended()) window.run_quietly([&] { app.exit(); });
            platform.set_owner(nullptr);
        }
    }

    if (com_ready) CoUninitialize();
    if (logo) DeleteObject(logo);
    return 0;
}
