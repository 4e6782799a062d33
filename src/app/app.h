// The program's spine: start-up, the dispatch of control events to their
// handlers, and the exit steps. The front end owns the window and the
// event loop and hands every control event to `handle`.
#pragma once

#include <string>

#include "model/context.h"
#include "model/events.h"

namespace tav {

// Start-up before the window exists: the working folders under the
// program folder, in their fixed order.
void create_working_folders(Platform& platform, const std::string& program_folder);

class App {
public:
    explicit App(Context& ctx) : ctx_(ctx) {}

    // Once the window is built: fill the choice lists, apply the initial states.
    void initialise_controls();
    // Then: the preset and template lists, the main settings file from
    // the current directory, and the job lists of earlier runs that did not
    // end normally; the encoder the batch would run is asked which options
    // it takes, beside the window.
    void start();
    // Runs the handler of the event's control. Returns false when the
    // event loop must end (the "Cancel" button).
    bool handle(const ControlEvent& event);
    // Exit steps: save the settings into the program folder; the job list
    // needs no copy any more.
    void exit();

private:
    Context& ctx_;
};

}  // namespace tav
