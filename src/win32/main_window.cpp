#include "win32/main_window.h"

#include <commctrl.h>

#include <string>

#include "model/control_ids.h"
#include "logo/logo_image.h"
#include "win32/logo.h"
#include "win32/outside_files.h"

namespace tav {
namespace {

constexpr char kWindowClass[] = "TavrelionMainWindow";
constexpr char kPageClass[] = "TavrelionPage";
constexpr DWORD kWindowStyle = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr int kMinTabWidth = 40;
// Where the pages sit inside the tab panel, in 96-DPI pixels: this far from
// its left, right and bottom edges, and this far below the row of tabs.
constexpr int kPageInset = 2;
constexpr int kPageGap = 4;

// Messages of newer systems, named here since the build targets Windows 7.
constexpr UINT kDpiChangedMessage = 0x02E0;        // WM_DPICHANGED
constexpr UINT kGetDpiScaledSizeMessage = 0x02E4;  // WM_GETDPISCALEDSIZE

// An editable combo copies the chosen item into its edit part only after it
// has reported the selection change, so that event is handled once the
// combo is done: the handler then reads the chosen text, and what it writes
// is not overwritten.
constexpr UINT kDeferredEvent = WM_APP + 1;
// The program's background work starts a moment after the event loop has
// begun, so that on a busy processor its thread does not hold up the
// window's first answers.
constexpr UINT_PTR kBackgroundWorkTimer = 1;
constexpr UINT kBackgroundWorkDelayMs = 250;

// How each kind of control is made.
struct NativeKind {
    ControlKind kind;
    const char* window_class;
    DWORD style;
    DWORD ex_style;
};

constexpr NativeKind kNativeKinds[] = {
    {ControlKind::Button, "BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0},
    {ControlKind::CheckBox, "BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP, 0},
    {ControlKind::Label, "STATIC", SS_LEFT, 0},
    {ControlKind::Frame, "BUTTON", BS_GROUPBOX, 0},
    {ControlKind::Edit, "EDIT", ES_LEFT | ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE},
    {ControlKind::ListCombo, "COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0},
    {ControlKind::EditCombo, "COMBOBOX", CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP, 0},
    {ControlKind::TrackBar, TRACKBAR_CLASSA, TBS_HORZ | WS_TABSTOP, 0},
    {ControlKind::Image, "STATIC", SS_BITMAP, 0},
    {ControlKind::List, "LISTBOX",
     LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE},
    // Its pages hold the controls; Tab moves into the selected one.
    {ControlKind::TabPanel, WC_TABCONTROLA, WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_TABSTOP, WS_EX_CONTROLPARENT},
};

const NativeKind& native_kind(ControlKind kind) {
    for (const NativeKind& n : kNativeKinds)
        if (n.kind == kind) return n;
    return kNativeKinds[0];
}

// Which notification of which kind of control is which event.
struct Notification {
    ControlKind kind;
    UINT code;
    Trigger trigger;
};

constexpr Notification kNotifications[] = {
    {ControlKind::Button, BN_CLICKED, Trigger::Click},
    {ControlKind::CheckBox, BN_CLICKED, Trigger::Click},
    {ControlKind::Edit, EN_CHANGE, Trigger::Change},
    {ControlKind::Edit, EN_SETFOCUS, Trigger::FocusGained},
    {ControlKind::Edit, EN_KILLFOCUS, Trigger::FocusLost},
    {ControlKind::ListCombo, CBN_SELCHANGE, Trigger::SelChange},
    {ControlKind::ListCombo, CBN_SETFOCUS, Trigger::FocusGained},
    {ControlKind::ListCombo, CBN_KILLFOCUS, Trigger::FocusLost},
    {ControlKind::EditCombo, CBN_SELCHANGE, Trigger::SelChange},
    {ControlKind::EditCombo, CBN_EDITCHANGE, Trigger::Change},
    {ControlKind::EditCombo, CBN_SETFOCUS, Trigger::FocusGained},
    {ControlKind::EditCombo, CBN_KILLFOCUS, Trigger::FocusLost},
    {ControlKind::List, LBN_SELCHANGE, Trigger::SelChange},
    {ControlKind::List, LBN_DBLCLK, Trigger::DoubleClick},
};

const Notification* find_notification(ControlKind kind, UINT code) {
    for (const Notification& n : kNotifications)
        if (n.kind == kind && n.code == code) return &n;
    return nullptr;
}

bool is_control_colour_message(UINT message) {
    return message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC;
}

// The job-list buttons that change lines without opening a box. The list
// updates its scroll bar and repaints after every line inserted, removed or
// selected, which on a long list costs milliseconds each; around these
// handlers it is redrawn once, at the end.
bool edits_job_list_quietly(int id) {
    switch (id) {
        case ctl::Up:
        case ctl::Down:
        case ctl::Disable:
        case ctl::Del:
        case ctl::Clear:
        case ctl::Shut:
            return true;
        default:
            return false;
    }
}

}  // namespace

MainWindow::MainWindow(HINSTANCE instance, HBITMAP logo) : instance_(instance), logo_(logo) {}

MainWindow::~MainWindow() {
    destroy();
    if (scaled_logo_) DeleteObject(scaled_logo_);
}

bool MainWindow::build() {
    // The common-control classes the table uses: tab panel and track bars.
    INITCOMMONCONTROLSEX common_controls{sizeof common_controls,
                                         ICC_STANDARD_CLASSES | ICC_TAB_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&common_controls);

    WNDCLASSEXA window{};
    window.cbSize = sizeof window;
    window.lpfnWndProc = &MainWindow::window_proc;
    window.hInstance = instance_;
    window.hCursor = LoadCursor(nullptr, IDC_ARROW);
    window.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    window.lpszClassName = kWindowClass;
    WNDCLASSEXA page = window;
    page.lpfnWndProc = &MainWindow::page_proc;
    page.lpszClassName = kPageClass;
    if (!RegisterClassExA(&window) || !RegisterClassExA(&page)) return false;

    // Opened in the size for the system's DPI, which is its screen's but
    // where screens of several DPIs are joined; then sized for its screen.
    const int system = system_dpi();
    SIZE size = window_size_for_client(kClientWidth, kClientHeight, kWindowStyle, 0, system);
    hwnd_ = CreateWindowExA(0, kWindowClass, std::string(kWindowTitle).c_str(), kWindowStyle, 0, 0, size.cx,
                            size.cy, nullptr, nullptr, instance_, this);
    if (!hwnd_) return false;
    dpi_ = window_dpi(hwnd_);
    if (dpi_ != system) {
        size = window_size_for_client(kClientWidth, kClientHeight, kWindowStyle, 0, dpi_);
        SetWindowPos(hwnd_, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    // Files dropped anywhere on the window, a control included, reach it.
    accept_dropped_files(hwnd_);

    // Every control gets its final font when it is made: a second pass over
    // 155 controls would lay each one out again.
    fonts_ = std::make_unique<ControlFonts>(dpi_);
    for (const ControlSpec& row : control_table()) {
        if (row.kind == ControlKind::TabPanel) {
            create_tab_panel(row);
            continue;
        }
        if (HWND control = create_control(row)) surface_.add(row.id, control);
    }
    return true;
}

bool MainWindow::create_tab_panel(const ControlSpec& row) {
    tab_panel_ = create_control(row);
    if (!tab_panel_) return false;
    surface_.add(row.id, tab_panel_);
    // Tabs as narrow as their captions allow, so all five fit in the panel's
    // width even where the toolkit's default minimum tab width is large.
    SendMessageA(tab_panel_, TCM_SETMINTABWIDTH, 0, scale_to_dpi(kMinTabWidth, dpi_));
    for (int i = 0; i < kPageCount; ++i) {
        std::string caption(kPageCaptions[i]);
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = caption.data();
        SendMessageA(tab_panel_, TCM_INSERTITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    }

    const RECT page = page_place();
    for (int i = 0; i < kPageCount; ++i) {
        // Pages are containers, so Tab moves through the controls they hold.
        // Each is made as show_page(0) would leave it: the first shown, the
        // others hidden and disabled.
        const DWORD state = i == 0 ? WS_VISIBLE : WS_DISABLED;
        pages_[i] = CreateWindowExA(WS_EX_CONTROLPARENT, kPageClass, "", WS_CHILD | WS_CLIPSIBLINGS | state,
                                    page.left, page.top, page.right - page.left, page.bottom - page.top, tab_panel_,
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstPageNativeId + i)),
                                    instance_, nullptr);
    }
    SendMessageA(tab_panel_, TCM_SETCURSEL, 0, 0);
    return true;
}

HWND MainWindow::create_control(const ControlSpec& row) {
    HWND parent = hwnd_;
    if (row.page != Page::Window) {
        parent = pages_[static_cast<int>(row.page)];
        if (!parent) return nullptr;
    }
    const NativeKind& native = native_kind(row.kind);
    DWORD style = WS_CHILD | WS_VISIBLE | native.style;
    if (row.kind == ControlKind::Edit && row.traits.digits_only) style |= ES_NUMBER;
    const int native_id = row.id >= 0 ? row.id : kAudioFrameNativeId;

    const RECT place = place_of(row);
    HWND control = CreateWindowExA(native.ex_style, native.window_class, std::string(row.text).c_str(), style,
                                   place.left, place.top, place.right - place.left, place.bottom - place.top,
                                   parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(native_id)), instance_,
                                   nullptr);
    if (!control) return nullptr;
    made_.emplace_back(&row, control);

    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_for(row)), FALSE);
    if (row.kind == ControlKind::Edit && row.traits.max_chars > 0)
        SendMessageA(control, EM_LIMITTEXT, static_cast<WPARAM>(row.traits.max_chars), 0);
    if (row.kind == ControlKind::TrackBar)
        SendMessageA(control, TBM_SETRANGE, TRUE, MAKELPARAM(row.traits.range_min, row.traits.range_max));
    if (row.kind == ControlKind::Image) {
        if (HBITMAP logo = logo_for(place))
            SendMessageA(control, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(logo));
    }
    return control;
}

RECT MainWindow::place_of(const ControlSpec& row) const {
    return scale_rect(row.x, row.y, row.width, row.height, dpi_);
}

RECT MainWindow::page_place() const {
    // The row's height follows the font.
    RECT tab_row{};
    SendMessageA(tab_panel_, TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&tab_row));
    const int row_height = tab_row.bottom - tab_row.top;
    RECT client{};
    GetClientRect(tab_panel_, &client);
    const int inset = scale_to_dpi(kPageInset, dpi_);
    return RECT{inset, row_height + scale_to_dpi(kPageGap, dpi_), client.right - inset, client.bottom - inset};
}

HFONT MainWindow::font_for(const ControlSpec& row) const {
    const bool gui_font = row.traits.default_gui_font || !fonts_->tahoma();
    return gui_font ? fonts_->default_gui() : fonts_->tahoma();
}

HBITMAP MainWindow::logo_for(const RECT& place) {
    const int width = place.right - place.left, height = place.bottom - place.top;
    if (width == kLogoWidth && height == kLogoHeight) return logo_;
    // A window has one copy at a time: on_dpi_changed takes the old one first.
    if (!scaled_logo_) scaled_logo_ = make_logo_bitmap(width, height);
    return scaled_logo_ ? scaled_logo_ : logo_;
}

void MainWindow::on_dpi_changed(int dpi, const RECT& suggested) {
    if (!is_screen_dpi(dpi)) return;
    run_quietly([&] {
        dpi_ = dpi;
        // The old fonts and logo are deleted only once no control uses them.
        auto old_fonts = std::exchange(fonts_, std::make_unique<ControlFonts>(dpi_));
        HBITMAP old_logo = std::exchange(scaled_logo_, nullptr);
        const auto move = [](HWND w, const RECT& r) {
            SetWindowPos(w, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
        };
        for (const auto& [row, control] : made_) {
            const RECT place = place_of(*row);
            SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_for(*row)), FALSE);
            if (row->kind == ControlKind::Image)
                SendMessageA(control, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(logo_for(place)));
            move(control, place);
            if (row->kind == ControlKind::TabPanel) {
                SendMessageA(control, TCM_SETMINTABWIDTH, 0, scale_to_dpi(kMinTabWidth, dpi_));
                const RECT page_rect = page_place();
                for (HWND page : pages_)
                    if (page) move(page, page_rect);
            }
        }
        if (old_logo) DeleteObject(old_logo);
        surface_.remeasure_widest_line();
        SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                     suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
        RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    });
}

void MainWindow::show_page(int page) {
    // Leave the old page first, so at no moment two pages are shown. Pages
    // already in the wanted state are left alone: every change is a round
    // trip through the window system.
    const auto shown = [](HWND w) { return (GetWindowLongPtrA(w, GWL_STYLE) & WS_VISIBLE) != 0; };
    for (int i = 0; i < kPageCount; ++i) {
        if (i == page || !pages_[i]) continue;
        if (shown(pages_[i])) ShowWindow(pages_[i], SW_HIDE);
        if (IsWindowEnabled(pages_[i])) EnableWindow(pages_[i], FALSE);
    }
    if (page >= 0 && page < kPageCount && pages_[page]) {
        if (!IsWindowEnabled(pages_[page])) EnableWindow(pages_[page], TRUE);
        if (!shown(pages_[page])) ShowWindow(pages_[page], SW_SHOW);
    }
}

void MainWindow::show() {
    if (!hwnd_) return;
    ShowWindow(hwnd_, SW_SHOWNORMAL);
    UpdateWindow(hwnd_);
}

void MainWindow::run(App& app) {
    app_ = &app;
    SetTimer(hwnd_, kBackgroundWorkTimer, kBackgroundWorkDelayMs, nullptr);
    MSG message;
    while (!quit_ && GetMessageA(&message, nullptr, 0, 0) > 0) {
        // Tab and Shift+Tab move the focus, as in a dialog.
        if (hwnd_ && IsDialogMessageA(hwnd_, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    app_ = nullptr;
}

void MainWindow::destroy() {
    if (hwnd_) DestroyWindow(hwnd_);
    hwnd_ = nullptr;
}

LRESULT CALLBACK MainWindow::window_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lparam);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        scale_frame_with_dpi(hwnd);
    }
    auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!self || !self->hwnd_) return DefWindowProcA(hwnd, message, wparam, lparam);
    return self->on_message(message, wparam, lparam);
}

// Pages pass what their controls report on to the main window.
LRESULT CALLBACK MainWindow::page_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_COMMAND || message == WM_HSCROLL || is_control_colour_message(message))
        return SendMessageA(GetAncestor(hwnd, GA_ROOT), message, wparam, lparam);
    return DefWindowProcA(hwnd, message, wparam, lparam);
}

LRESULT MainWindow::on_message(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_COMMAND:
            on_command(wparam, lparam);
            return 0;
        case WM_HSCROLL:
            on_scroll(lparam);
            return 0;
        case WM_NOTIFY:
            on_notify(*reinterpret_cast<const NMHDR*>(lparam));
            return 0;
        case kDeferredEvent:
            dispatch({static_cast<int>(wparam), static_cast<Trigger>(lparam)});
            return 0;
        case WM_TIMER:
            if (wparam == kBackgroundWorkTimer) on_background_work_due();
            return 0;
        case WM_DROPFILES:
            on_drop(reinterpret_cast<HDROP>(wparam));
            return 0;
        case WM_CLOSE:
            on_close();
            return 0;
        case WM_QUERYENDSESSION:
            return TRUE;  // nothing to finish first: the end of the session saves everything
        case WM_ENDSESSION:
            on_end_session(wparam != FALSE);
            return 0;
        case WM_ACTIVATE:
            // The default handling then gives the window the focus, which
            // on_focus hands on to a control.
            on_activate(wparam);
            return DefWindowProcA(hwnd_, message, wparam, lparam);
        case WM_SETFOCUS:
            on_focus();
            return 0;
        case kGetDpiScaledSizeMessage:
            // The client area at the new DPI is exactly the layout's size.
            if (!lparam || !is_screen_dpi(LOWORD(wparam))) return FALSE;
            *reinterpret_cast<SIZE*>(lparam) =
                window_size_for_client(kClientWidth, kClientHeight, kWindowStyle, 0, LOWORD(wparam));
            return TRUE;
        case kDpiChangedMessage:
            if (lparam) on_dpi_changed(HIWORD(wparam), *reinterpret_cast<const RECT*>(lparam));
            return 0;
        default:
            return DefWindowProcA(hwnd_, message, wparam, lparam);
    }
}

void MainWindow::on_command(WPARAM wparam, LPARAM lparam) {
    // Commands without a control (keyboard shortcuts such as Enter or
    // Escape outside any button) are not control events.
    const auto control = reinterpret_cast<HWND>(lparam);
    if (!control) return;
    const ControlSpec* row = surface_.spec_of(control);
    if (!row) return;
    const Notification* n = find_notification(row->kind, HIWORD(wparam));
    if (!n) return;
    if (row->kind == ControlKind::EditCombo && n->trigger == Trigger::SelChange) {
        if (!busy_ && !surface_.writing())
            PostMessageA(hwnd_, kDeferredEvent, static_cast<WPARAM>(row->id), static_cast<LPARAM>(n->trigger));
        return;
    }
    dispatch({row->id, n->trigger});
}

void MainWindow::on_scroll(LPARAM lparam) {
    const ControlSpec* row = surface_.spec_of(reinterpret_cast<HWND>(lparam));
    if (row && row->kind == ControlKind::TrackBar) dispatch({row->id, Trigger::Scroll});
}

void MainWindow::on_notify(const NMHDR& header) {
    if (header.hwndFrom == tab_panel_ && header.code == TCN_SELCHANGE)
        show_page(static_cast<int>(SendMessageA(tab_panel_, TCM_GETCURSEL, 0, 0)));
}

void MainWindow::on_drop(HDROP drop) {
    // A drop while a handler or the program's own work runs, each of which
    // may have a dialog open, is not taken: never two dialogs at once.
    const bool taken = app_ && !busy_;
    const std::vector<std::string> names = taken ? dropped_file_names(drop) : std::vector<std::string>();
    DragFinish(drop);
    if (taken) run_quietly([&] { app_->take_files(names); });
}

void MainWindow::on_close() {
    // A handler still running (one waiting for its dialog) finishes first.
    if (!busy_) request_quit();
}

void MainWindow::on_background_work_due() {
    KillTimer(hwnd_, kBackgroundWorkTimer);
    if (app_) run_quietly([&] { app_->begin_background_work(); });
}

void MainWindow::on_end_session(bool ending) {
    // The system may end the process as soon as this returns, so the
    // session's steps run now, even while a handler waits for its dialog.
    if (!ending || !app_ || session_ended_) return;
    session_ended_ = true;
    run_quietly([&] { app_->end_session(); });
    request_quit();
}

void MainWindow::on_activate(WPARAM wparam) {
    if (LOWORD(wparam) != WA_INACTIVE) return;
    const HWND focus = GetFocus();
    if (focus && IsChild(hwnd_, focus)) saved_focus_ = focus;
}

void MainWindow::on_focus() {
    // Give the focus back to the control that had it before a dialog or
    // another program took it, else to the first control.
    HWND target = saved_focus_;
    if (!target || !IsWindow(target) || !IsChild(hwnd_, target) || !IsWindowVisible(target) ||
        !IsWindowEnabled(target))
        target = GetNextDlgTabItem(hwnd_, nullptr, FALSE);
    if (target) SetFocus(target);
}

void MainWindow::dispatch(const ControlEvent& event) {
    // Notifications caused by the program's own writes, or arriving while a
    // handler waits for its dialog, are no user events.
    if (!app_ || busy_ || surface_.writing()) return;
    busy_ = true;
    const HWND quiet_list = edits_job_list_quietly(event.id) ? surface_.handle(ctl::JobList) : nullptr;
    if (quiet_list) SendMessageA(quiet_list, WM_SETREDRAW, FALSE, 0);
    const bool keep_running = app_->handle(event);
    if (quiet_list) {
        SendMessageA(quiet_list, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(quiet_list, nullptr, TRUE);
    }
    busy_ = false;
    if (!keep_running) request_quit();
}

void MainWindow::request_quit() {
    quit_ = true;
    PostQuitMessage(0);
}

}  // namespace tav
