#include "support/test_app.h"

#include "model/control_ids.h"

namespace tav::test {

TestApp::TestApp() { app.initialise_controls(); }

int TestApp::ctl_job_list() { return ctl::JobList; }

bool TestApp::send(int id, Trigger trigger) { return app.handle({id, trigger}); }

void TestApp::type(int id, std::string_view text) {
    const ControlSpec* row = ui.row(id);
    for (char c : text) {
        if (row && row->traits.digits_only && !(c >= '0' && c <= '9')) continue;
        std::string now = ui.text(id);
        if (row && row->traits.max_chars > 0 && static_cast<int>(now.size()) >= row->traits.max_chars) continue;
        now += c;
        ui.set_text(id, now);
        send(id, Trigger::Change);
    }
}

void TestApp::paste(int id, std::string_view text) {
    ui.set_text(id, text);
    send(id, Trigger::Change);
}

bool TestApp::click(int id) {
    const ControlSpec* row = ui.row(id);
    if (row && row->kind == ControlKind::CheckBox) ui.set_state(id, ui.state(id) ? 0 : 1);
    return send(id, Trigger::Click);
}

void TestApp::select(int id, int index) {
    ui.set_state(id, index);
    send(id, Trigger::SelChange);
}

void TestApp::slide(int id, int position) {
    ui.set_state(id, position);
    send(id, Trigger::Scroll);
}

void TestApp::leave(int id) { send(id, Trigger::FocusLost); }

void TestApp::set_job_lines(const std::vector<std::string>& lines) {
    // Through the program's own view of the window, as its buttons write.
    ctx.ui.clear_items(ctl::JobList);
    ctx.ui.append_items(ctl::JobList, lines);
}

}  // namespace tav::test
