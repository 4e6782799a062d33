// The control surface over the real window must read exactly like the
// in-memory one the unit tests use: the same operations are applied to both
// and every control is compared afterwards. Runs under Windows or Wine; the
// window is built but never shown.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "model/choice_lists.h"
#include "model/control_ids.h"
#include "model/memory_surface.h"
#include "win32/main_window.h"

namespace tav {
namespace {

int failures = 0;

template <typename A, typename B>
void check_equal(const A& got, const B& expected, const std::string& what) {
    if (got == expected) return;
    ++failures;
    std::printf("FAILED: %s\n", what.c_str());
}

void check(bool condition, const std::string& what) {
    if (condition) return;
    ++failures;
    std::printf("FAILED: %s\n", what.c_str());
}

std::string describe(int id, const char* property, const std::string& step) {
    return step + ": control " + std::to_string(id) + " " + property;
}

// Every control of the table reads the same through both surfaces.
void compare_all(const ControlSurface& real, const ControlSurface& model, const std::string& step) {
    for (const ControlSpec& row : control_table()) {
        if (row.id < 0) continue;
        const int id = row.id;
        check_equal(real.exists(id), model.exists(id), describe(id, "exists", step));
        if (row.kind != ControlKind::TabPanel) {
            check_equal(real.text(id), model.text(id), describe(id, "text", step));
            check_equal(real.state(id), model.state(id), describe(id, "state", step));
        }
        check_equal(real.items(id), model.items(id), describe(id, "items", step));
        check_equal(real.item_count(id), model.item_count(id), describe(id, "item count", step));
        check_equal(real.enabled(id), model.enabled(id), describe(id, "enabled", step));
        check_equal(real.visible(id), model.visible(id), describe(id, "visible", step));
    }
}

struct Step {
    const char* name;
    std::function<void(ControlSurface&)> apply;
};

// Operations whose results both surfaces must agree on, in order.
const std::vector<Step>& steps() {
    static const std::vector<Step> all = {
        {"fill the choice lists", [](ControlSurface& ui) { fill_choice_lists(ui); }},
        {"apply the initial states", [](ControlSurface& ui) { apply_initial_states(ui); }},
        {"a list combo's text selects its item ignoring case",
         [](ControlSurface& ui) { ui.set_text(ctl::Mode, "single pass - CRF"); }},
        {"a text matching no item changes nothing", [](ControlSurface& ui) { ui.set_text(ctl::Mode, "Pass 3"); }},
        {"an empty text clears a list combo", [](ControlSurface& ui) { ui.set_text(ctl::MeMethod, ""); }},
        {"an index outside the list selects nothing", [](ControlSurface& ui) { ui.set_state(ctl::PartitionDecision, 99); }},
        {"a negative index selects nothing", [](ControlSurface& ui) { ui.set_state(ctl::Muxer, -1); }},
        {"an editable combo keeps a text that is no item",
         [](ControlSurface& ui) { ui.set_text(ctl::QuantMatrix, "\"C:\\m 1.cfg\""); }},
        {"an editable combo's item index sets its text", [](ControlSurface& ui) { ui.set_state(ctl::QuantMatrix, 1); }},
        {"the program writes past the bias field's typing limit",
         [](ControlSurface& ui) { ui.set_text(ctl::Bias, "-100"); }},
        {"labels and buttons take new captions",
         [](ControlSurface& ui) {
             ui.set_text(ctl::ValueLabel, "Size in MB");
             ui.set_text(ctl::RangeLabel, "");
             ui.set_text(ctl::Cancel, "Close");
         }},
        {"track bars keep their range",
         [](ControlSurface& ui) {
             ui.set_state(ctl::BiasSlider, 500);
             ui.set_state(ctl::DeblockStrength, -4);
             ui.set_state(ctl::DeblockThreshold, 9);
         }},
        {"a check box state is 1 or 0",
         [](ControlSurface& ui) {
             ui.set_state(ctl::Transform8x8, 0);
             ui.set_state(ctl::PSearch4x4, 7);
         }},
        {"enabling and visibility",
         [](ControlSurface& ui) {
             ui.set_enabled(ctl::Start, false);
             ui.set_visible(ctl::Logo, false);
             ui.set_visible(ctl::MinSize, true);
             ui.set_enabled(ctl::MixedRefs, true);
         }},
        {"job lines appended at once", [](ControlSurface& ui) { ui.append_items(ctl::JobList, {"@echo.", "@x264 a", "@echo+"}); }},
        {"a job line far longer than any buffer of 512 characters",
         [](ControlSurface& ui) { ui.insert_item(ctl::JobList, 1, "@x264.exe" + std::string(3000, 'p') + " end"); }},
        {"a job line selected", [](ControlSurface& ui) { ui.set_state(ctl::JobList, 1); }},
        {"a line inserted above the selection keeps it on its line",
         [](ControlSurface& ui) { ui.insert_item(ctl::JobList, 0, "@rem first"); }},
        {"lines inserted at the end, by -1 and by an index past it",
         [](ControlSurface& ui) {
             ui.insert_item(ctl::JobList, -1, "@echo last");
             ui.insert_item(ctl::JobList, 999, "@echo after");
         }},
        {"removing a line above the selection moves it up", [](ControlSurface& ui) { ui.remove_item(ctl::JobList, 0); }},
        {"removing the selected line leaves none selected", [](ControlSurface& ui) { ui.remove_item(ctl::JobList, 1); }},
        {"removing a line that does not exist does nothing",
         [](ControlSurface& ui) {
             ui.remove_item(ctl::JobList, 50);
             ui.remove_item(ctl::JobList, -1);
         }},
        {"setting the job list's text replaces nothing", [](ControlSurface& ui) { ui.set_text(ctl::JobList, "@echo x"); }},
        {"preset names listed under a typed name",
         [](ControlSurface& ui) {
             ui.set_text(ctl::PresetName, "mine");
             ui.append_items(ctl::PresetName, {"anime", "film"});
         }},
        {"emptying a preset list keeps the typed name", [](ControlSurface& ui) { ui.clear_items(ctl::PresetName); }},
        {"emptying the job list", [](ControlSurface& ui) { ui.clear_items(ctl::JobList); }},
        {"identifiers outside the table are passed over",
         [](ControlSurface& ui) {
             ui.set_text(999, "x");
             ui.set_state(-1, 3);
             ui.set_enabled(200, false);
         }},
    };
    return all;
}

void surfaces_read_alike(Win32ControlSurface& real) {
    MemorySurface model;
    compare_all(real, model, "after building");
    for (const Step& step : steps()) {
        step.apply(real);
        step.apply(model);
        compare_all(real, model, step.name);
    }
    check(!real.exists(999) && real.text(999).empty() && real.state(999) == -1, "an unknown identifier reads as empty");
    check(!real.writing(), "no write is left open");
}

void job_list_stays_quick_with_100000_lines(Win32ControlSurface& ui) {
    std::vector<std::string> lines;
    lines.reserve(100000);
    for (int i = 0; i < 100000; ++i)
        lines.push_back("@x264.exe --pass 2 --bitrate " + std::to_string(i) + " --output \"D:\\video\\out.mp4\" in.avs");
    lines.back() += std::string(1200, 'w');  // the widest line comes last

    const auto start = std::chrono::steady_clock::now();
    ui.append_items(ctl::JobList, lines);
    const std::vector<std::string> back = ui.items(ctl::JobList);
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    std::printf("100000 job lines appended and read back in %lld ms\n", static_cast<long long>(elapsed.count()));
    check(back == lines, "every job line reads back as written");
    check(elapsed.count() < 20000, "appending and reading 100000 lines takes seconds, not minutes");

    // The list scrolls sideways as far as its widest line.
    const HWND list = ui.handle(ctl::JobList);
    const auto extent = static_cast<int>(SendMessageA(list, LB_GETHORIZONTALEXTENT, 0, 0));
    HDC dc = GetDC(list);
    const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(list, WM_GETFONT, 0, 0)));
    SIZE widest{};
    GetTextExtentPoint32A(dc, lines.back().c_str(), static_cast<int>(lines.back().size()), &widest);
    SelectObject(dc, old);
    ReleaseDC(list, dc);
    check(extent >= widest.cx, "the scrollable width reaches the end of the widest line");
    check(extent <= widest.cx + 20, "the scrollable width is not much wider than the widest line");

    ui.clear_items(ctl::JobList);
    check(SendMessageA(list, LB_GETHORIZONTALEXTENT, 0, 0) == 0, "an emptied list no longer scrolls sideways");
}

}  // namespace
}  // namespace tav

int main() {
    tav::MainWindow window(GetModuleHandleA(nullptr), nullptr);
    if (!window.build()) {
        std::printf("FAILED: the window could not be built\n");
        return 1;
    }
    tav::surfaces_read_alike(window.surface());
    tav::job_list_stays_quick_with_100000_lines(window.surface());
    window.destroy();
    std::printf("%s (%d failed checks)\n", tav::failures ? "FAIL" : "PASS", tav::failures);
    return tav::failures ? 1 : 0;
}
