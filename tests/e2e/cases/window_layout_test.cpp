// The window as built: frame, pages, every control's class, place, caption,
// style and font, and a screenshot of every tab.
#include "driver.h"

#include <commctrl.h>

#include <map>
#include <set>

#include "check.h"
#include "expected_window.h"

namespace tav::e2e {
namespace {

LONG style_of(HWND hwnd) { return GetWindowLongA(hwnd, GWL_STYLE); }
LONG ex_style_of(HWND hwnd) { return GetWindowLongA(hwnd, GWL_EXSTYLE); }

HWND audio_frame(const Program& program) {
    for (const ExpectedControl& c : expected_controls())
        if (c.id < 0) return find_expected(program, c);
    return nullptr;
}

// Page windows in tab order, each the parent of the controls listed under its tab.
std::vector<HWND> page_windows(const Program& program) {
    std::vector<HWND> pages(5, nullptr);
    for (const ExpectedControl& c : expected_controls()) {
        if (c.page >= 0 && !pages[c.page] && c.id >= 0) pages[c.page] = GetParent(program.control(c.id));
    }
    return pages;
}

void check_kind(HWND hwnd, const ExpectedControl& c) {
    const LONG style = style_of(hwnd);
    const std::string cls = class_name(hwnd);
    const bool focusable = c.kind != Kind::Label && c.kind != Kind::Frame && c.kind != Kind::Image;
    if (focusable) CHECK((style & WS_TABSTOP) != 0);
    switch (c.kind) {
        case Kind::Button:
            CHECK_EQ(cls, "Button");
            CHECK_EQ(style & BS_TYPEMASK, BS_PUSHBUTTON);
            break;
        case Kind::Check:
            CHECK_EQ(cls, "Button");
            CHECK_EQ(style & BS_TYPEMASK, BS_AUTOCHECKBOX);
            break;
        case Kind::Frame:
            CHECK_EQ(cls, "Button");
            CHECK_EQ(style & BS_TYPEMASK, BS_GROUPBOX);
            break;
        case Kind::Label:
            CHECK_EQ(cls, "Static");
            CHECK_EQ(style & SS_TYPEMASK, SS_LEFT);
            break;
        case Kind::Image:
            CHECK_EQ(cls, "Static");
            CHECK_EQ(style & SS_TYPEMASK, SS_BITMAP);
            CHECK(SendMessageA(hwnd, STM_GETIMAGE, IMAGE_BITMAP, 0) != 0);
            break;
        case Kind::Edit:
            CHECK_EQ(cls, "Edit");
            CHECK((style & ES_MULTILINE) == 0);
            CHECK((style & ES_AUTOHSCROLL) != 0);
            CHECK((ex_style_of(hwnd) & WS_EX_CLIENTEDGE) != 0);
            CHECK_EQ((style & ES_NUMBER) != 0, (c.flags & want::Digits) != 0);
            break;
        case Kind::ListCombo:
            CHECK_EQ(cls, "ComboBox");
            CHECK_EQ(style & 3, CBS_DROPDOWNLIST);
            CHECK((style & CBS_SORT) == 0);
            break;
        case Kind::EditCombo:
            CHECK_EQ(cls, "ComboBox");
            CHECK_EQ(style & 3, CBS_DROPDOWN);
            CHECK((style & CBS_AUTOHSCROLL) != 0);
            CHECK((style & CBS_SORT) == 0);
            break;
        case Kind::Track:
            CHECK_EQ(cls, "msctls_trackbar32");
            CHECK((style & TBS_VERT) == 0);
            break;
        case Kind::List:
            CHECK_EQ(cls, "ListBox");
            CHECK((style & LBS_NOTIFY) != 0);
            CHECK((style & LBS_NOINTEGRALHEIGHT) != 0);
            CHECK((style & (LBS_SORT | LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) == 0);
            break;
        case Kind::Tabs:
            CHECK_EQ(cls, "SysTabControl32");
            break;
    }
}

TAV_CASE(window_has_its_title_size_place_and_fixed_frame) {
    Program program;
    HWND w = program.window();
    CHECK_EQ(window_text(w), "tavrelion");

    RECT client{};
    GetClientRect(w, &client);
    CHECK_EQ(client.right - client.left, 308);
    CHECK_EQ(client.bottom - client.top, 359);
    RECT outer{};
    GetWindowRect(w, &outer);
    CHECK_EQ(outer.left, 0);
    CHECK_EQ(outer.top, 0);

    const LONG style = style_of(w);
    CHECK((style & WS_CAPTION) == WS_CAPTION);
    CHECK((style & WS_SYSMENU) != 0);
    CHECK((style & WS_MINIMIZEBOX) != 0);
    CHECK((style & WS_MAXIMIZEBOX) == 0);
    CHECK((style & WS_THICKFRAME) == 0);
    CHECK(!IsZoomed(w));
    CHECK(!IsIconic(w));

    // Neither a double click on the title bar nor the frame's edges resize it.
    const LPARAM on_caption = MAKELPARAM(outer.left + 100, outer.top + 5);
    CHECK_EQ(SendMessageA(w, WM_NCHITTEST, 0, on_caption), HTCAPTION);
    SendMessageA(w, WM_NCLBUTTONDBLCLK, HTCAPTION, on_caption);
    CHECK(!IsZoomed(w));
    GetClientRect(w, &client);
    CHECK_EQ(client.right, 308);
    CHECK_EQ(client.bottom, 359);
    for (POINT edge : {POINT{outer.right - 1, outer.bottom - 1}, POINT{outer.right - 1, (outer.top + outer.bottom) / 2},
                       POINT{(outer.left + outer.right) / 2, outer.bottom - 1}}) {
        const LRESULT hit = SendMessageA(w, WM_NCHITTEST, 0, MAKELPARAM(edge.x, edge.y));
        CONTEXT("edge at " + std::to_string(edge.x) + "," + std::to_string(edge.y));
        CHECK(hit < HTLEFT || hit > HTBOTTOMRIGHT);
    }
    CHECK_EQ(program.close(), 0u);
}

TAV_CASE(every_control_has_its_class_place_caption_and_style) {
    Program program;
    const std::vector<HWND> pages = page_windows(program);
    HWND panel = program.control(0);
    std::set<HWND> seen;
    for (const ExpectedControl& c : expected_controls()) {
        CONTEXT("control " + std::to_string(c.id));
        HWND hwnd = find_expected(program, c);
        if (!CHECK(hwnd != nullptr)) continue;
        CHECK(seen.insert(hwnd).second);  // one window per row
        check_kind(hwnd, c);

        HWND expected_parent = c.page == kWindowPage ? program.window() : pages[c.page];
        CHECK(GetParent(hwnd) == expected_parent);

        const Rect got = rect_in_parent(hwnd);
        if (c.kind == Kind::ListCombo || c.kind == Kind::EditCombo) {
            // A combo's given height is that of its dropped-down list.
            CHECK_EQ((Rect{got.x, got.y, got.width, 0}), (Rect{c.x, c.y, c.width, 0}));
        } else {
            CHECK_EQ(got, (Rect{c.x, c.y, c.width, c.height}));
        }
        const bool has_caption = c.kind != Kind::ListCombo && c.kind != Kind::EditCombo &&
                                 c.kind != Kind::Image && c.kind != Kind::Tabs && c.kind != Kind::List;
        if (has_caption) CHECK_EQ(window_text(hwnd), c.text);
    }
    // The "Audio" frame's identifier belongs to no control of the table.
    if (HWND frame = audio_frame(program)) {
        const int id = GetDlgCtrlID(frame);
        for (const ExpectedControl& c : expected_controls()) CHECK(c.id != id);
    }
    // Nothing but the table's controls (and the parts of combos) is on the pages.
    for (HWND hwnd : program.descendants()) {
        HWND parent = GetParent(hwnd);
        if (parent == panel || parent == program.window()) continue;  // pages and window buttons
        if (class_name(GetParent(hwnd)) == "ComboBox") continue;
        CONTEXT("window of class " + class_name(hwnd) + " with id " + std::to_string(GetDlgCtrlID(hwnd)));
        CHECK(seen.count(hwnd) == 1);
    }

    // The job list shows a vertical scroll bar once its lines overflow it
    // (an empty list box drops the bar's style bit).
    HWND jobs = program.control(95);
    for (int i = 0; i < 40; ++i) {
        SendMessageA(jobs, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("@echo a line of the job list"));
    }
    CHECK((style_of(jobs) & WS_VSCROLL) != 0);

    CHECK_EQ(SendMessageA(program.control(16), EM_GETLIMITTEXT, 0, 0), 3);
    for (auto [id, high] : {std::pair{14, 200}, {79, 12}, {80, 12}}) {
        CONTEXT("track bar " + std::to_string(id));
        CHECK_EQ(SendMessageA(program.control(id), TBM_GETRANGEMIN, 0, 0), 0);
        CHECK_EQ(SendMessageA(program.control(id), TBM_GETRANGEMAX, 0, 0), high);
    }
    CHECK_EQ(program.close(), 0u);
}

TAV_CASE(pages_sit_inside_the_panel_and_follow_the_selected_tab) {
    Program program;
    HWND panel = program.control(0);
    const std::vector<std::string> captions(std::begin(kTabCaptions), std::end(kTabCaptions));
    CHECK_EQ(program.tab_captions(), captions);
    const std::vector<HWND> pages = page_windows(program);
    RECT panel_client{};
    GetClientRect(panel, &panel_client);
    for (int p = 0; p < 5; ++p) {
        CONTEXT("page " + std::to_string(p));
        REQUIRE(pages[p] != nullptr);
        CHECK(GetParent(pages[p]) == panel);
        const Rect r = rect_in_parent(pages[p]);
        CHECK_EQ(r.x, 2);
        CHECK(r.y > 4);  // below the row of tabs
        CHECK_EQ(r.width, panel_client.right - 4);
        CHECK_EQ(r.y + r.height, panel_client.bottom - 2);
        for (int q = 0; q < p; ++q) CHECK(pages[q] != pages[p]);
    }

    CHECK_EQ(program.tab(), 0);
    // Visit every tab, then come back to the first: only the selected page
    // is shown and enabled.
    for (int selected : {0, 1, 2, 3, 4, 0, 3}) {
        CONTEXT("tab " + std::to_string(selected) + " selected");
        if (selected != program.tab()) program.select_tab(selected);
        for (int p = 0; p < 5; ++p) {
            CONTEXT("page " + std::to_string(p));
            CHECK_EQ(IsWindowVisible(pages[p]) != 0, p == selected);
            CHECK_EQ(IsWindowEnabled(pages[p]) != 0, p == selected);
        }
    }
    CHECK_EQ(program.close(), 0u);
}

TAV_CASE(tahoma_everywhere_but_the_default_gui_font_controls) {
    Program program;
    const auto stock = reinterpret_cast<std::uintptr_t>(GetStockObject(DEFAULT_GUI_FONT));
    std::map<std::uintptr_t, int> tahoma_handles;
    std::map<std::uintptr_t, int> default_handles;
    for (const ExpectedControl& c : expected_controls()) {
        // Track bars and the picture show no text and keep no font.
        if (c.kind == Kind::Track || c.kind == Kind::Image) continue;
        HWND hwnd = find_expected(program, c);
        if (!hwnd) continue;  // reported by the layout case
        const std::uintptr_t font = program.font(hwnd);
        CONTEXT("control " + std::to_string(c.id));
        CHECK(font != 0);
        ++((c.flags & want::GuiFont) ? default_handles : tahoma_handles)[font];
    }
    // One Tahoma font, shared by every control; the rest keep the default
    // GUI font, which is a stock object with the same handle everywhere.
    CHECK_EQ(tahoma_handles.size(), 1u);
    CHECK_EQ(default_handles.size(), 1u);
    if (!default_handles.empty()) CHECK_EQ(default_handles.begin()->first, stock);
    if (!tahoma_handles.empty()) CHECK(tahoma_handles.begin()->first != stock);
    CHECK_EQ(program.close(), 0u);
}

TAV_CASE(screenshots_of_every_tab) {
    Program program;
    for (int p = 0; p < 5; ++p) {
        if (p != program.tab()) program.select_tab(p);
        program.screenshot(kShotNames[p]);
    }
    CHECK_EQ(program.close(), 0u);
}

}  // namespace
}  // namespace tav::e2e
