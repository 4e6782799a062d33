// The program's spine: what a window keeps for its life (the session and
// the job list's copy), start-up, the dispatch of control events to their
// handlers, and the exit steps. The front end owns the window and the event
// loop and hands every control event to `handle`; the program and the tests
// build the program the same way, over a window and a platform.
#pragma once

#include <string>
#include <vector>

#include "jobs/job_list_copy.h"
#include "jobscript/session.h"
#include "model/context.h"
#include "model/events.h"

namespace tav {

// Start-up before the window exists: the working folders under the
// program folder, in their fixed order.
void create_working_folders(Platform& platform, const std::string& program_folder);

class App {
public:
    // `window` and `platform` must outlive the program. The job list's copy
    // is written as `writing` says (a thread of its own in the program).
    App(ControlSurface& window, Platform& platform, JobListCopy::Writing writing);
    App(const App&) = delete;
    App& operator=(const App&) = delete;

    // What every operation works on: the controls (through the job list's
    // copy), the platform, the program folder and the session.
    Context& context() { return ctx_; }
    Session& session() { return session_; }
    JobListCopy& job_list_copy() { return job_list_copy_; }

    // Once the window is built: fill the choice lists, apply the initial states.
    void initialise_controls();
    // Then: the preset and template lists, the main settings file from
    // the current directory, and the job lists of earlier runs that did not
    // end normally.
    void start();
    // Once the window waits for the user: the encoder the batch would run
    // is asked which options it takes, beside the window. Left until then,
    // its thread does not hold up the window's start on a busy processor.
    void begin_background_work();
    // Runs the handler of the event's control. Returns false when the
    // event loop must end (the "Cancel" button).
    bool handle(const ControlEvent& event);
    // Files and folders dropped on the window or named on the command line:
    // jobs as "Files input" makes them.
    void take_files(const std::vector<std::string>& names);
    // Exit steps: save the settings into the program folder; the job list
    // needs no copy any more.
    void exit();
    // The Windows session ends (logging off, shutting down, restarting):
    // the settings are saved as at exit. The job list's copy goes only when
    // the list is finished work (run with "Start", unchanged since, its
    // batch ended); any other list is offered back at the next start.
    void end_session();

private:
    void save_settings_at_exit();
    // "Start", noting the batch it started.
    void start_batch();

    Session session_;
    // Follows what the program writes into the window's job list.
    JobListCopy job_list_copy_;
    Context ctx_;
};

}  // namespace tav
