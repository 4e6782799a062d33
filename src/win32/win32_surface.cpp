#include "win32/win32_surface.h"

#include <commctrl.h>

#include <algorithm>

#include "common/text_rules.h"
#include "win32/code_pages.h"

namespace tav {
namespace {

// The item messages of the two families of controls that hold items.
struct ItemMessages {
    UINT count, text_length, text, insert, remove, reset, get_selection, set_selection;
};
constexpr ItemMessages kComboMessages{CB_GETCOUNT,     CB_GETLBTEXTLEN, CB_GETLBTEXT,  CB_INSERTSTRING,
                                      CB_DELETESTRING, CB_RESETCONTENT, CB_GETCURSEL, CB_SETCURSEL};
constexpr ItemMessages kListMessages{LB_GETCOUNT,     LB_GETTEXTLEN,   LB_GETTEXT,   LB_INSERTSTRING,
                                     LB_DELETESTRING, LB_RESETCONTENT, LB_GETCURSEL, LB_SETCURSEL};

const ItemMessages* item_messages(ControlKind kind) {
    switch (kind) {
        case ControlKind::ListCombo:
        case ControlKind::EditCombo:
            return &kComboMessages;
        case ControlKind::List:
            return &kListMessages;
        default:
            return nullptr;
    }
}

LRESULT send(HWND hwnd, UINT message, WPARAM wparam = 0, LPARAM lparam = 0) {
    return SendMessageA(hwnd, message, wparam, lparam);
}

std::string window_text(HWND hwnd) {
    const int length = GetWindowTextLengthA(hwnd);
    if (length <= 0) return {};
    std::string text(static_cast<size_t>(length) + 1, '\0');
    text.resize(static_cast<size_t>(std::max(0, GetWindowTextA(hwnd, text.data(), length + 1))));
    return text;
}

int count_of(HWND hwnd, const ItemMessages& m) { return static_cast<int>(send(hwnd, m.count)); }

int selection_of(HWND hwnd, const ItemMessages& m) {
    const LRESULT selection = send(hwnd, m.get_selection);
    return selection < 0 ? -1 : static_cast<int>(selection);
}

// Item texts travel as wide characters: the system's ANSI translation of
// item messages goes through a fixed 512-character buffer, which a long job
// line would overflow.
void to_ansi(const wchar_t* wide, int length, std::string& out) {
    const int n = length > 0 ? WideCharToMultiByte(CP_ACP, 0, wide, length, nullptr, 0, nullptr, nullptr) : 0;
    out.resize(static_cast<size_t>(std::max(0, n)));
    if (n > 0) WideCharToMultiByte(CP_ACP, 0, wide, length, out.data(), n, nullptr, nullptr);
}

// Reads one item into `buffer`, reusing storage across calls.
void read_item(HWND hwnd, const ItemMessages& m, int index, std::string& buffer) {
    thread_local std::wstring wide;
    const LRESULT length = SendMessageW(hwnd, m.text_length, static_cast<WPARAM>(index), 0);
    if (length <= 0) {
        buffer.clear();
        return;
    }
    wide.resize(static_cast<size_t>(length) + 1);
    const LRESULT got = SendMessageW(hwnd, m.text, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(wide.data()));
    to_ansi(wide.data(), got < 0 ? 0 : static_cast<int>(std::min<LRESULT>(got, length)), buffer);
}

void insert_text(HWND hwnd, const ItemMessages& m, WPARAM index, std::string_view text) {
    const std::wstring wide = wide_from_ansi(text);
    SendMessageW(hwnd, m.insert, index, reinterpret_cast<LPARAM>(wide.c_str()));
}

}  // namespace

void Win32ControlSurface::add(int id, HWND hwnd) {
    const ControlSpec* row = find_control(id);
    if (!hwnd || !row) return;
    controls_[id] = Control{hwnd, row};
    ids_[hwnd] = id;
}

const Win32ControlSurface::Control* Win32ControlSurface::find(int id) const {
    auto it = controls_.find(id);
    return it == controls_.end() ? nullptr : &it->second;
}

HWND Win32ControlSurface::handle(int id) const {
    const Control* c = find(id);
    return c ? c->hwnd : nullptr;
}

int Win32ControlSurface::id_of(HWND hwnd) const {
    auto it = ids_.find(hwnd);
    return it == ids_.end() ? -1 : it->second;
}

const ControlSpec* Win32ControlSurface::spec_of(HWND hwnd) const {
    const Control* c = find(id_of(hwnd));
    return c ? c->row : nullptr;
}

bool Win32ControlSurface::exists(int id) const { return find(id) != nullptr; }

std::string Win32ControlSurface::text(int id) const {
    const Control* c = find(id);
    if (!c) return {};
    switch (c->row->kind) {
        case ControlKind::ListCombo:
        case ControlKind::List: {
            const ItemMessages& m = *item_messages(c->row->kind);
            const int selection = selection_of(c->hwnd, m);
            std::string text;
            if (selection >= 0) read_item(c->hwnd, m, selection, text);
            return text;
        }
        default:
            return window_text(c->hwnd);
    }
}

void Win32ControlSurface::set_text(int id, std::string_view text) {
    const Control* c = find(id);
    if (!c) return;
    WriteGuard guard(write_depth_);
    switch (c->row->kind) {
        case ControlKind::ListCombo: {
            if (text.empty()) {
                select_index(*c, -1);
                return;
            }
            // The first item equal to the text, ignoring ASCII letter case;
            // no match changes nothing.
            if (const int match = find_item(*c, text); match >= 0) select_index(*c, match);
            return;
        }
        case ControlKind::List:
        case ControlKind::TrackBar:
        case ControlKind::Image:
        case ControlKind::TabPanel:
            return;  // no text of their own to set
        default:
            // The same text again changes nothing the user could see, but
            // would cost a repaint.
            if (window_text(c->hwnd) != text) SetWindowTextA(c->hwnd, std::string(text).c_str());
            caret_to_end_if_focused(*c);
            return;
    }
}

int Win32ControlSurface::find_item(const Control& c, std::string_view text) const {
    const ItemMessages* m = item_messages(c.row->kind);
    if (!m) return -1;
    const int n = count_of(c.hwnd, *m);
    std::string item;
    for (int i = 0; i < n; ++i) {
        read_item(c.hwnd, *m, i, item);
        if (equals_ignoring_ascii_case(item, text)) return i;
    }
    return -1;
}

int Win32ControlSurface::state(int id) const {
    const Control* c = find(id);
    if (!c) return -1;
    switch (c->row->kind) {
        case ControlKind::CheckBox:
            return send(c->hwnd, BM_GETCHECK) == BST_CHECKED ? 1 : 0;
        case ControlKind::TrackBar:
            return static_cast<int>(send(c->hwnd, TBM_GETPOS));
        case ControlKind::ListCombo:
        case ControlKind::EditCombo:
        case ControlKind::List:
            return selection_of(c->hwnd, *item_messages(c->row->kind));
        default:
            return 0;
    }
}

void Win32ControlSurface::set_state(int id, int state) {
    const Control* c = find(id);
    if (!c) return;
    WriteGuard guard(write_depth_);
    switch (c->row->kind) {
        case ControlKind::CheckBox: {
            const LRESULT check = state != 0 ? BST_CHECKED : BST_UNCHECKED;
            if (send(c->hwnd, BM_GETCHECK) != check) send(c->hwnd, BM_SETCHECK, static_cast<WPARAM>(check));
            return;
        }
        case ControlKind::TrackBar: {
            const int position = std::clamp(state, c->row->traits.range_min, c->row->traits.range_max);
            if (send(c->hwnd, TBM_GETPOS) != position) send(c->hwnd, TBM_SETPOS, TRUE, position);
            return;
        }
        case ControlKind::ListCombo:
        case ControlKind::EditCombo:
        case ControlKind::List: {
            const int n = count_of(c->hwnd, *item_messages(c->row->kind));
            select_index(*c, state >= 0 && state < n ? state : -1);
            caret_to_end_if_focused(*c);
            return;
        }
        default:
            return;
    }
}

void Win32ControlSurface::select_index(const Control& c, int index) {
    const ItemMessages* m = item_messages(c.row->kind);
    if (!m) return;
    // Choosing a closed drop-down list's chosen item again shows nothing new.
    // (An editable combo's edit part and the job list's scroll position may
    // still change, so those are always written.)
    if (c.row->kind == ControlKind::ListCombo && selection_of(c.hwnd, *m) == index) return;
    // Clearing an editable combo's selection would also empty its edit part.
    const bool keep_text = index < 0 && c.row->kind == ControlKind::EditCombo;
    const std::string kept = keep_text ? window_text(c.hwnd) : std::string();
    send(c.hwnd, m->set_selection, static_cast<WPARAM>(index));
    if (keep_text && window_text(c.hwnd) != kept) SetWindowTextA(c.hwnd, kept.c_str());
}

void Win32ControlSurface::caret_to_end_if_focused(const Control& c) {
    // A control that is not shown does not hold the focus (hiding a window
    // hands the focus to its parent), and asking for the focus is a round
    // trip through the window system: while the window is built and filled,
    // nothing is shown yet.
    if (!IsWindowVisible(c.hwnd)) return;
    const HWND focus = GetFocus();
    if (!focus) return;
    if (c.row->kind == ControlKind::Edit && focus == c.hwnd) {
        const int length = GetWindowTextLengthA(c.hwnd);
        send(c.hwnd, EM_SETSEL, static_cast<WPARAM>(length), length);
    } else if (c.row->kind == ControlKind::EditCombo && (focus == c.hwnd || IsChild(c.hwnd, focus))) {
        const int length = GetWindowTextLengthA(c.hwnd);
        send(c.hwnd, CB_SETEDITSEL, 0, MAKELPARAM(length, length));
    }
}

int Win32ControlSurface::item_count(int id) const {
    const Control* c = find(id);
    const ItemMessages* m = c ? item_messages(c->row->kind) : nullptr;
    return m ? std::max(0, count_of(c->hwnd, *m)) : 0;
}

std::string Win32ControlSurface::item_text(int id, int index) const {
    const Control* c = find(id);
    const ItemMessages* m = c ? item_messages(c->row->kind) : nullptr;
    if (!m || index < 0 || index >= count_of(c->hwnd, *m)) return {};
    std::string text;
    read_item(c->hwnd, *m, index, text);
    return text;
}

void Win32ControlSurface::insert_item(int id, int index, std::string_view text) {
    const Control* c = find(id);
    const ItemMessages* m = c ? item_messages(c->row->kind) : nullptr;
    if (!m) return;
    WriteGuard guard(write_depth_);
    const int n = count_of(c->hwnd, *m);
    if (index < 0 || index > n) index = n;
    const int selected = selection_of(c->hwnd, *m);
    const std::string edit_text = c->row->kind == ControlKind::EditCombo ? window_text(c->hwnd) : std::string();

    insert_text(c->hwnd, *m, index == n ? static_cast<WPARAM>(-1) : static_cast<WPARAM>(index), text);

    // The selection stays on the same item, as the in-memory controls keep it.
    const int expected = selected >= index ? selected + 1 : selected;
    if (selection_of(c->hwnd, *m) != expected) select_index(*c, expected);
    if (c->row->kind == ControlKind::EditCombo && window_text(c->hwnd) != edit_text)
        SetWindowTextA(c->hwnd, edit_text.c_str());
    if (c->row->kind == ControlKind::List) widen_list(*c, {text});
}

void Win32ControlSurface::remove_item(int id, int index) {
    const Control* c = find(id);
    const ItemMessages* m = c ? item_messages(c->row->kind) : nullptr;
    if (!m || index < 0 || index >= count_of(c->hwnd, *m)) return;
    WriteGuard guard(write_depth_);
    const int selected = selection_of(c->hwnd, *m);
    const std::string edit_text = c->row->kind == ControlKind::EditCombo ? window_text(c->hwnd) : std::string();

    send(c->hwnd, m->remove, static_cast<WPARAM>(index));

    const int expected = selected == index ? -1 : selected > index ? selected - 1 : selected;
    if (selection_of(c->hwnd, *m) != expected) select_index(*c, expected);
    if (c->row->kind == ControlKind::EditCombo && window_text(c->hwnd) != edit_text)
        SetWindowTextA(c->hwnd, edit_text.c_str());
}

void Win32ControlSurface::clear_items(int id) {
    const Control* c = find(id);
    const ItemMessages* m = c ? item_messages(c->row->kind) : nullptr;
    if (!m) return;
    WriteGuard guard(write_depth_);
    const std::string edit_text = c->row->kind == ControlKind::EditCombo ? window_text(c->hwnd) : std::string();
    send(c->hwnd, m->reset);
    if (c->row->kind == ControlKind::EditCombo && window_text(c->hwnd) != edit_text)
        SetWindowTextA(c->hwnd, edit_text.c_str());
    if (c->row->kind == ControlKind::List) {
        list_extent_ = 0;
        widest_line_.clear();
        send(c->hwnd, LB_SETHORIZONTALEXTENT, 0);
    }
}

std::vector<std::string> Win32ControlSurface::items(int id) const {
    const Control* c = find(id);
    const ItemMessages* m = c ? item_messages(c->row->kind) : nullptr;
    if (!m) return {};
    const int n = std::max(0, count_of(c->hwnd, *m));
    std::vector<std::string> out(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) read_item(c->hwnd, *m, i, out[static_cast<size_t>(i)]);
    return out;
}

void Win32ControlSurface::append_items(int id, const std::vector<std::string>& texts) {
    const Control* c = find(id);
    if (!c || c->row->kind != ControlKind::List) {
        ControlSurface::append_items(id, texts);
        return;
    }
    if (texts.empty()) return;
    WriteGuard guard(write_depth_);
    size_t bytes = 0;
    for (const auto& t : texts) bytes += (t.size() + 1) * sizeof(wchar_t);
    send(c->hwnd, WM_SETREDRAW, FALSE);
    send(c->hwnd, LB_INITSTORAGE, texts.size(), static_cast<LPARAM>(bytes));
    for (const auto& t : texts) insert_text(c->hwnd, kListMessages, static_cast<WPARAM>(-1), t);
    widen_list(*c, std::vector<std::string_view>(texts.begin(), texts.end()));
    send(c->hwnd, WM_SETREDRAW, TRUE);
    InvalidateRect(c->hwnd, nullptr, TRUE);
}

void Win32ControlSurface::remeasure_widest_line() {
    for (const auto& [id, c] : controls_) {
        if (c.row->kind != ControlKind::List || widest_line_.empty()) continue;
        const std::string widest = widest_line_;
        list_extent_ = 0;
        widen_list(c, {widest});
    }
}

void Win32ControlSurface::widen_list(const Control& c, const std::vector<std::string_view>& added) {
    HDC dc = GetDC(c.hwnd);
    if (!dc) return;
    const auto font = reinterpret_cast<HFONT>(send(c.hwnd, WM_GETFONT));
    const HGDIOBJ old_font = font ? SelectObject(dc, font) : nullptr;
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    const int widest_char = std::max<int>(1, metrics.tmMaxCharWidth);
    constexpr int kMargin = 6;  // room for the item's inner padding
    int extent = list_extent_;
    std::string_view widest;
    for (std::string_view line : added) {
        // Only a line that could be wider than the widest so far is measured.
        if (static_cast<long long>(line.size()) * widest_char + kMargin <= extent) continue;
        SIZE size{};
        if (GetTextExtentPoint32A(dc, line.data(), static_cast<int>(line.size()), &size) &&
            size.cx + kMargin > extent) {
            extent = size.cx + kMargin;
            widest = line;
        }
    }
    if (old_font) SelectObject(dc, old_font);
    ReleaseDC(c.hwnd, dc);
    if (extent != list_extent_) {
        list_extent_ = extent;
        widest_line_.assign(widest);
        send(c.hwnd, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(extent));
    }
}

bool Win32ControlSurface::enabled(int id) const {
    const Control* c = find(id);
    return c && IsWindowEnabled(c->hwnd);
}

void Win32ControlSurface::set_enabled(int id, bool enabled) {
    const Control* c = find(id);
    if (!c) return;
    if ((IsWindowEnabled(c->hwnd) != FALSE) == enabled) return;
    WriteGuard guard(write_depth_);
    EnableWindow(c->hwnd, enabled ? TRUE : FALSE);
}

bool Win32ControlSurface::visible(int id) const {
    const Control* c = find(id);
    return c && (GetWindowLongPtrA(c->hwnd, GWL_STYLE) & WS_VISIBLE) != 0;
}

void Win32ControlSurface::set_visible(int id, bool visible) {
    const Control* c = find(id);
    if (!c) return;
    if (this->visible(id) == visible) return;
    WriteGuard guard(write_depth_);
    ShowWindow(c->hwnd, visible ? SW_SHOWNA : SW_HIDE);
}

}  // namespace tav
