// The one declared table of the main window's controls: kind, page, place,
// size, caption and input restrictions. The Win32 front end builds the real
// window from it and the in-memory surface builds its controls from it.
#pragma once

#include <span>
#include <string_view>

namespace tav {

enum class ControlKind {
    Button,
    CheckBox,
    Label,
    Frame,
    Edit,
    ListCombo,   // drop-down list: only its items can be chosen
    EditCombo,   // drop-down combo with a free edit part
    TrackBar,
    Image,
    List,        // single-selection list box (the job list)
    TabPanel,
};

// Pages of the tab panel, in tab order; Window means outside the panel.
enum class Page { Window = -1, Bitrate = 0, RateControl, MBsFrames, More, Job };

inline constexpr int kPageCount = 5;
inline constexpr std::string_view kPageCaptions[kPageCount] = {
    "Bitrate", "Rate Control", "MBs&&Frames", "More", "Job"};

namespace flag {
inline constexpr unsigned DigitsOnly = 1u << 0;     // edit accepts only 0-9
inline constexpr unsigned DefaultGuiFont = 1u << 1; // keeps the default GUI font
}  // namespace flag

struct ControlSpec {
    int id;
    ControlKind kind;
    Page page;
    int x, y, width, height;
    std::string_view text;  // caption or initial text
    unsigned flags = 0;
    int max_chars = 0;      // limit on what the user can type; 0 = none
    int range_min = 0;      // track bar range
    int range_max = 0;
};

// Window geometry.
inline constexpr int kClientWidth = 308;
inline constexpr int kClientHeight = 359;
inline constexpr std::string_view kWindowTitle = "tavrelion";

// Every control in creation order: window buttons, the panel, then each
// page's controls in tab order. Creation order is also the Tab focus order.
std::span<const ControlSpec> control_table();

// The row of a control, or nullptr for an identifier that is not in the table.
const ControlSpec* find_control(int id);

}  // namespace tav
