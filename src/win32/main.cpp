// The program's entry point: start-up, the event loop and the exit steps.
#include <windows.h>

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
    tav::create_working_folders(platform, program_folder);

    {
        tav::MainWindow window(instance, logo);
        if (window.build()) {
            platform.set_owner(window.hwnd());
            tav::App app(window.surface(), platform, tav::JobListCopy::Writing::InBackground);
            // Shown with its lists filled (filled while hidden, no control
            // repaints) and before the settings load: a dialog the load
            // opens (a custom matrix asks for its file) then has the window
            // behind it. Files named on the command line are taken once the
            // settings are loaded and any earlier job list is offered back.
            window.run_quietly([&] {
                app.initialise_controls();
                window.show();
                app.start();
                app.take_files(tav::command_line_file_names());
            });
            window.run(app);
            if (!window.session_ended()) window.run_quietly([&] { app.exit(); });
            platform.set_owner(nullptr);
        }
    }

    if (logo) DeleteObject(logo);
    return 0;
}
