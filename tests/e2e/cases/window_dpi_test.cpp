// The window at the screen's DPI: at 144 and 192 DPI every rectangle of the
// 96-DPI layout is scaled, the fonts with it, nothing overlaps or leaves its
// page that does not at 96, every tab is in reach and the logo is sharp; a
// window moved to a screen of another DPI is laid out again and keeps all
// that its controls hold.
#include "driver.h"

#include <commctrl.h>

#include <cstdlib>
#include <map>
#include <set>

#include "check.h"
#include "expected_window.h"
#include "model/control_ids.h"

namespace tav::e2e {
namespace {

constexpr int kBase = 96;
const Rect kClient96{0, 0, 308, 359};

bool is_combo(const ExpectedControl& c) { return c.kind == Kind::ListCombo || c.kind == Kind::EditCombo; }

// Whether `got` is the 96-DPI rectangle at `dpi`: exactly at a whole
// multiple of 96, else each edge within a pixel. A combo's table height is
// that of its list, so its bottom edge is left out.
bool scaled_from(const Rect& got, const Rect& at96, int dpi, bool with_bottom = true) {
    const int slack = dpi % kBase == 0 ? 0 : kBase;
    const auto close_to = [&](int edge, int edge96) { return std::abs(edge * kBase - edge96 * dpi) <= slack; };
    return close_to(got.x, at96.x) && close_to(got.y, at96.y) && close_to(got.x + got.width, at96.x + at96.width) &&
           (!with_bottom || close_to(got.y + got.height, at96.y + at96.height));
}

bool overlap(const Rect& a, const Rect& b) {
    return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
}

Rect client_of(HWND hwnd) {
    RECT r{};
    GetClientRect(hwnd, &r);
    return {0, 0, r.right, r.bottom};
}

bool inside(const Rect& inner, const Rect& outer) {
    return inner.x >= outer.x && inner.y >= outer.y && inner.x + inner.width <= outer.x + outer.width &&
           inner.y + inner.height <= outer.y + outer.height;
}

// Every control of the table as the running window has it, by identifier.
struct Placed {
    HWND hwnd;
    HWND parent;
    Rect rect;    // in the parent
    bool fits;    // wholly inside the parent's client area
};
using Layout = std::map<int, Placed>;

Layout layout_of(const Program& program) {
    Layout layout;
    for (const ExpectedControl& c : expected_controls()) {
        HWND hwnd = find_expected(program, c);
        if (!hwnd) continue;
        const Rect r = rect_in_parent(hwnd);
        layout[c.id] = {hwnd, GetParent(hwnd), r, inside(r, client_of(GetParent(hwnd)))};
    }
    return layout;
}

// The row of tabs wholly in the panel (it never scrolls, so each tab is
// clicked where it is) and every page below it, inside the panel.
void check_tabs_and_pages(const Program& program) {
    HWND panel = program.control(0);
    const Rect client = client_of(panel);
    int row_bottom = 0;
    for (int p = 0; p < 5; ++p) {
        const RECT tab = program.tab_rect(p);
        CHECK(tab.left >= 0 && tab.right <= client.width && tab.right > tab.left);
        row_bottom = tab.bottom;
    }
    for (HWND hwnd : program.descendants()) {
        if (class_name(hwnd) == UPDOWN_CLASSA) {
            CHECK(!IsWindowVisible(hwnd));
        } else if (GetParent(hwnd) == panel) {
            const Rect page = rect_in_parent(hwnd);
            CHECK(inside(page, client) && page.y >= row_bottom);
        }
    }
}

// The colours of the logo on the screen (the "Bitrate" tab shown).
std::vector<COLORREF> logo_pixels(const Program& program, size_t& width) {
    RECT logo{};
    GetWindowRect(program.control(ctl::Logo), &logo);
    width = static_cast<size_t>(logo.right - logo.left);
    return screen_pixels(logo);
}

// The logo at `dpi`, whose colours at 96 DPI are `colours96`: at twice its
// size, each 2 x 2 block of pixels is one of them (sharp); at one and a half
// times, its edges are blended into colours of their own (smooth).
void check_logo(const Program& program, int dpi, const std::set<COLORREF>& colours96) {
    CONTEXT("the logo");
    size_t width = 0;
    const std::vector<COLORREF> pixels = logo_pixels(program, width);
    size_t blended = 0, blurred = 0;
    for (size_t i = width + 1; i < pixels.size(); ++i) {
        blended += colours96.count(pixels[i]) == 0;
        if ((i % width) % 2 == 1 && (i / width) % 2 == 1) {
            const COLORREF p = pixels[i];
            blurred += pixels[i - 1] != p || pixels[i - width] != p || pixels[i - width - 1] != p;
        }
    }
    CHECK(colours96.size() > 20);  // the picture itself, not a blank
    if (dpi == 2 * kBase) CHECK(blended == 0 && blurred == 0);
    else CHECK(blended > pixels.size() / 20);
}

// Every control at `dpi` where the table puts it at 96 DPI scaled, with
// its font made at that DPI; inside its page and clear of the others
// wherever it is so at 96 DPI (`at96`).
void check_scaled_layout(const Layout& at96, const Layout& now, int dpi) {
    for (const ExpectedControl& c : expected_controls()) {
        CONTEXT("control " + std::to_string(c.id));
        if (!CHECK(now.count(c.id) == 1 && at96.count(c.id) == 1)) continue;
        const Placed& placed = now.at(c.id);
        CHECK(scaled_from(placed.rect, {c.x, c.y, c.width, c.height}, dpi, !is_combo(c)));
        if (at96.at(c.id).fits) CHECK(placed.fits);
        // A combo's own height is its font's (8 points: 10 2/3 pixels more
        // per 96 DPI more) and the toolkit's frame.
        if (is_combo(c)) CHECK((placed.rect.height - at96.at(c.id).rect.height) * kBase >= 8 * (dpi - kBase));
        for (const auto& [other_id, other] : now) {
            if (other_id <= c.id || other.parent != placed.parent || !overlap(placed.rect, other.rect)) continue;
            CONTEXT("and control " + std::to_string(other_id));
            CHECK(at96.count(other_id) == 1 && overlap(at96.at(c.id).rect, at96.at(other_id).rect));
        }
    }
}

// The "Edit" box of the job list: 300 x 130 scaled, its field (22 high,
// 28 from the top) and button (75 x 24) with it.
void check_input_box(Program& program, int dpi) {
    CONTEXT("the \"Edit\" box");
    program.select_tab(4);
    program.click(ctl::Shut);  // a line to edit
    program.select(ctl::JobList, 0);
    program.click_async(ctl::Edit);
    HWND box = program.wait_dialog();
    RECT outer{};
    GetWindowRect(box, &outer);
    CHECK(scaled_from({0, 0, outer.right - outer.left, outer.bottom - outer.top}, {0, 0, 300, 130}, dpi));
    const Rect field = rect_in_parent(GetDlgItem(box, 101)), ok = rect_in_parent(GetDlgItem(box, IDOK));
    CHECK(scaled_from({0, field.y, 0, field.height}, {0, 28, 0, 22}, dpi));
    CHECK(scaled_from({0, 0, ok.width, ok.height}, {0, 0, 75, 24}, dpi));
    Program::press(box, IDCANCEL);
    program.settle();
}

TAV_CASE(window_at_144_and_192_dpi_is_the_96_dpi_layout_scaled) {
    Layout at96;
    std::set<COLORREF> logo96;
    {
        Program program;
        at96 = layout_of(program);
        size_t width = 0;
        const std::vector<COLORREF> logo = logo_pixels(program, width);
        logo96.insert(logo.begin(), logo.end());
        CHECK_EQ(program.close(), 0u);
    }
    for (int dpi : {144, 192}) {
        CONTEXT(std::to_string(dpi) + " DPI");
        ScreenDpi screen(dpi);
        Program program;
        CHECK(scaled_from(client_of(program.window()), kClient96, dpi));
        if (dpi == 192) CHECK_EQ(client_of(program.window()), (Rect{0, 0, 616, 718}));

        check_scaled_layout(at96, layout_of(program), dpi);
        check_tabs_and_pages(program);
        for (int p = 0; p < 5; ++p) {
            if (p != program.tab()) program.select_tab(p);
            CHECK(program.visible(ctl::JobList) == (p == 4));
            if (dpi == 192) program.screenshot(std::string(kShotNames[p]) + "-192dpi");
        }
        program.select_tab(0);
        check_logo(program, dpi, logo96);
        check_input_box(program, dpi);
        CHECK_EQ(program.close(), 0u);
    }
}

// What every control holds and shows, one line per control.
std::vector<std::string> contents(const Program& program) {
    std::vector<std::string> all;
    for (const ExpectedControl& c : expected_controls()) {
        HWND hwnd = find_expected(program, c);
        if (!hwnd) continue;
        const UINT state = c.kind == Kind::Check                                     ? BM_GETCHECK
                           : c.kind == Kind::ListCombo || c.kind == Kind::EditCombo ? CB_GETCURSEL
                           : c.kind == Kind::List                                    ? LB_GETCURSEL
                           : c.kind == Kind::Track                                   ? TBM_GETPOS
                                                                                     : WM_NULL;
        all.push_back(std::to_string(c.id) + ": \"" + window_text(hwnd) + "\" " +
                      std::to_string(SendMessageA(hwnd, state, 0, 0)) + (IsWindowEnabled(hwnd) ? " on" : " off") +
                      (IsWindowVisible(hwnd) ? " shown" : " hidden"));
    }
    return all;
}

// Tells the window, as the system does, that it is now on a screen of
// `dpi`, and suggests where it goes.
void move_to_screen(const Program& program, int dpi, const RECT& suggested) {
    program.send_inside(program.window(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), &suggested, sizeof suggested);
}

TAV_CASE(window_moved_to_a_screen_of_another_dpi_is_laid_out_again_as_it_was) {
    Program program;
    const Layout at96 = layout_of(program);
    const auto stock = reinterpret_cast<std::uintptr_t>(GetStockObject(DEFAULT_GUI_FONT));
    RECT outer96{};
    GetWindowRect(program.window(), &outer96);
    HWND jobs = program.control(ctl::JobList);

    // Something in every kind of control: a mode chosen, a job line selected.
    program.select(ctl::Mode, 2);
    program.select_tab(4);
    program.click(ctl::Shut);
    program.select(ctl::JobList, 0);
    const auto extent96 = SendMessageA(jobs, LB_GETHORIZONTALEXTENT, 0, 0);
    program.select_tab(0);
    std::vector<std::string> before = contents(program);

    // At 192 DPI, in the place and size the system suggests.
    RECT suggested{40, 30, 40 + 616, 30 + 718};
    AdjustWindowRectEx(&suggested, GetWindowLongA(program.window(), GWL_STYLE), FALSE, 0);
    move_to_screen(program, 192, suggested);
    {
        CONTEXT("at 192 DPI");
        RECT outer{};
        GetWindowRect(program.window(), &outer);
        CHECK(EqualRect(&outer, &suggested));
        CHECK_EQ(client_of(program.window()), (Rect{0, 0, 616, 718}));
        check_scaled_layout(at96, layout_of(program), 192);
        check_tabs_and_pages(program);
        CHECK(SendMessageA(jobs, LB_GETHORIZONTALEXTENT, 0, 0) > extent96 * 3 / 2);
        CHECK_EQ(contents(program), before);
    }

    // The bias field typed into and keeping the focus: its slider follows
    // only once the focus leaves it.
    program.select_tab(2);
    HWND bias = program.control(ctl::Bias);
    PostMessageA(bias, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    PostMessageA(bias, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    REQUIRE(wait_until([&] { return program.focus() == bias; }));
    program.erase(ctl::Bias);
    program.type(ctl::Bias, "-50");
    before = contents(program);

    // Back at 96 DPI, everything is where it was, and nothing moved on.
    move_to_screen(program, 96, outer96);
    {
        CONTEXT("back at 96 DPI");
        const Layout again = layout_of(program);
        for (const auto& [id, placed] : at96) {
            CONTEXT("control " + std::to_string(id));
            CHECK_EQ(again.at(id).rect, placed.rect);
        }
        CHECK_EQ(client_of(program.window()), kClient96);
        // At the system's DPI, the default GUI font is the stock one again.
        CHECK_EQ(program.font(again.at(ctl::Refresh).hwnd), stock);
        CHECK_EQ(SendMessageA(jobs, LB_GETHORIZONTALEXTENT, 0, 0), extent96);
        CHECK_EQ(contents(program), before);
        CHECK(program.focus() == bias);
        CHECK_EQ(program.slider(ctl::BiasSlider), 100);
    }

    // The window still answers its user: the bias reaches the slider once
    // the focus moves on.
    program.press_key(VK_TAB);
    CHECK(wait_until([&] { return program.slider(ctl::BiasSlider) == 50; }));
    CHECK_EQ(program.close(), 0u);
}

}  // namespace
}  // namespace tav::e2e
