#include "win32/input_box.h"

#include <utility>
#include <vector>

#include "win32/dpi.h"

namespace tav {

namespace {

// Sizes in 96-DPI pixels, laid out at the box's DPI.
constexpr int kBoxWidth = 300;
constexpr int kBoxHeight = 130;
constexpr int kMargin = 10;
constexpr int kPromptHeight = 16;
constexpr int kFieldHeight = 22;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 24;
// Posted to the box to put the caret at the field's end once it is shown.
constexpr UINT kPlaceCaretMessage = WM_APP + 1;

struct InputBoxState {
    const std::string& title;
    const std::string& prompt;
    const std::string& initial;
    std::string answer;
};

// An empty dialog in Tahoma 8, the main window's font, which the system
// makes at the box's DPI; the controls are placed in pixels once the box
// exists.
std::vector<WORD> box_template() {
    std::vector<WORD> words(sizeof(DLGTEMPLATE) / sizeof(WORD), 0);
    auto* header = reinterpret_cast<DLGTEMPLATE*>(words.data());
    header->style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
    header->cdit = 0;
    header->cx = 200;
    header->cy = 80;
    words.push_back(0);  // no menu
    words.push_back(0);  // the standard dialog class
    words.push_back(0);  // no title yet: set as ANSI text below
    words.push_back(8);  // point size
    for (const char* face = "Tahoma"; *face; ++face) words.push_back(static_cast<WORD>(*face));
    words.push_back(0);
    return words;
}

// A control at a rectangle given in pixels of the box's DPI.
HWND add_control(HWND box, const char* window_class, const char* text, DWORD style, DWORD ex_style, int id,
                 const RECT& place) {
    HWND control = CreateWindowExA(ex_style, window_class, text, WS_CHILD | WS_VISIBLE | style, place.left,
                                   place.top, place.right - place.left, place.bottom - place.top, box,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr),
                                   nullptr);
    SendMessageA(control, WM_SETFONT, SendMessageA(box, WM_GETFONT, 0, 0), FALSE);
    return control;
}

void place_caret_at_end(HWND field) {
    const auto end = static_cast<WPARAM>(GetWindowTextLengthA(field));
    SendMessageA(field, EM_SETSEL, end, static_cast<LPARAM>(end));
    SendMessageA(field, EM_SCROLLCARET, 0, 0);
}

void lay_out(HWND box, const InputBoxState& state) {
    SetWindowTextA(box, state.title.c_str());
    const int dpi = window_dpi(box);
    const auto scaled = [dpi](int value) { return scale_to_dpi(value, dpi); };
    const int width = scaled(kBoxWidth), height = scaled(kBoxHeight);
    SetWindowPos(box, nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    RECT client{};
    GetClientRect(box, &client);
    // Each control spans the client area but for the margins: its right
    // edge follows the box, every other edge is a 96-DPI value scaled.
    const int right = client.right - scaled(kMargin);
    const auto band = [&](int left, int top, int band_height) {
        return RECT{left, scaled(top), right, scaled(top + band_height)};
    };

    int y = kMargin - 2;
    add_control(box, "STATIC", state.prompt.c_str(), SS_LEFT | SS_NOPREFIX, 0, kInputBoxPromptId,
                band(scaled(kMargin), y, kPromptHeight));
    y += kPromptHeight + 4;
    HWND field = add_control(box, "EDIT", "", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, kInputBoxFieldId,
                             band(scaled(kMargin), y, kFieldHeight));
    y += kFieldHeight + 8;
    add_control(box, "BUTTON", "OK", WS_TABSTOP | BS_DEFPUSHBUTTON, 0, IDOK,
                band(right - scaled(kButtonWidth), y, kButtonHeight));

    // Job lines can be long: lift the field's typing limit before filling it.
    SendMessageA(field, EM_SETLIMITTEXT, 0, 0);
    SetWindowTextA(field, state.initial.c_str());
    SetFocus(field);
    place_caret_at_end(field);
    // Activation may give the field its focus again, selecting the whole
    // text on the way: put the caret back once the box is up.
    PostMessageA(box, kPlaceCaretMessage, 0, 0);
}

std::string field_text(HWND box) {
    HWND field = GetDlgItem(box, kInputBoxFieldId);
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(field)) + 1, '\0');
    const int copied = GetWindowTextA(field, text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return text;
}

INT_PTR CALLBACK input_box_procedure(HWND box, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_INITDIALOG: {
        SetWindowLongPtrA(box, DWLP_USER, lparam);
        lay_out(box, *reinterpret_cast<InputBoxState*>(lparam));
        return FALSE;  // the focus was set to the field
    }
    case kPlaceCaretMessage:
        place_caret_at_end(GetDlgItem(box, kInputBoxFieldId));
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wparam) == IDOK) {
            reinterpret_cast<InputBoxState*>(GetWindowLongPtrA(box, DWLP_USER))->answer = field_text(box);
            EndDialog(box, IDOK);
            return TRUE;
        }
        if (LOWORD(wparam) == IDCANCEL) {  // Escape and the close box
            EndDialog(box, IDCANCEL);
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

}  // namespace

std::optional<std::string> show_input_box(HWND owner, const std::string& title, const std::string& prompt,
                                          const std::string& initial) {
    InputBoxState state{title, prompt, initial, {}};
    const std::vector<WORD> layout = box_template();
    const INT_PTR result =
        DialogBoxIndirectParamA(GetModuleHandleA(nullptr), reinterpret_cast<const DLGTEMPLATE*>(layout.data()),
                                owner, input_box_procedure, reinterpret_cast<LPARAM>(&state));
    if (result != IDOK) return std::nullopt;
    return std::move(state.answer);
}

}  // namespace tav
