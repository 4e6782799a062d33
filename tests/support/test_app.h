// The program without a window: the in-memory controls, a fake platform and
// the real program over them (its session, its job list's copy, its
// dispatch), built as the program builds itself, driven by user-like actions.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "app/app.h"
#include "model/context.h"
#include "model/memory_surface.h"
#include "support/fake_platform.h"

namespace tav::test {

class TestApp {
public:
    MemorySurface ui;
    FakePlatform platform;
    // The copy is written only when a test asks (JobListCopy::write_if_due).
    App app{ui, platform, JobListCopy::Writing::WhenAsked};
    Context& ctx = app.context();
    Session& session = app.session();

    // The controls as start-up leaves them before any settings file is
    // read: lists filled, initial states applied.
    TestApp();

    // The full start-up (lists, states, preset and template lists, the main
    // settings file from the fake file system), and the background work
    // that follows once the window waits for the user.
    void start() {
        app.start();
        app.begin_background_work();
    }

    // User actions. Each reports its events to the dispatch like the window.
    // Types character by character; digits-only fields refuse other
    // characters and field 16 takes at most three.
    void type(int id, std::string_view text);
    // Replaces the whole text at once, as a paste does.
    void paste(int id, std::string_view text);
    // Empties a field as the user's delete key does.
    void erase(int id) { paste(id, ""); }
    // Clicks a button or toggles a check box. Returns false when the
    // dispatch asked the event loop to end.
    bool click(int id);
    void select(int id, int index);
    void slide(int id, int position);
    void leave(int id);  // the field loses the focus
    // Picks a line of the job list (no handler runs for it).
    void select_line(int index) { ui.set_state(ctl_job_list(), index); }

    std::vector<std::string> job_lines() const { return ui.items(ctl_job_list()); }
    void set_job_lines(const std::vector<std::string>& lines);

private:
    static int ctl_job_list();
    bool send(int id, Trigger trigger);
};

}  // namespace tav::test
