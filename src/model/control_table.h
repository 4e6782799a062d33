// The one declared table of the main window's controls: kind, page, place,
// size, caption and input restrictions. The Win32 front end builds the real
// window from it and the in-memory surface builds its controls from it.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
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

// A choice list's fixed items, in list order.
using ChoiceItems = std::span<const std::string_view>;

// The item texts of a table with one row per item (the encode modes, the
// audio encoders, the muxers), for the list that shows them.
template <class Row, std::size_t N>
constexpr std::array<std::string_view, N> item_texts(const std::array<Row, N>& rows, std::string_view Row::*item) {
    std::array<std::string_view, N> texts{};
    for (std::size_t i = 0; i < N; ++i) texts[i] = rows[i].*item;
    return texts;
}

struct IntRange {
    int lower;
    int upper;
};

// What a control takes and how it starts, beyond its place and text.
struct ControlTraits {
    bool digits_only = false;       // an edit that accepts only 0-9
    bool default_gui_font = false;  // keeps the default GUI font instead of Tahoma 8
    int max_chars = 0;              // the most the user can type; 0 = no limit
    int range_min = 0;              // a track bar's range
    int range_max = 0;
    // An integer field's range: after each event a value above it becomes
    // the upper text, one below it the lower text.
    std::optional<IntRange> clamp = {};
    // A decimal fraction kept within 0..1 the same way.
    bool fraction_clamp = false;

    // Right after the window is built (the settings load then overrides
    // most of it):
    ChoiceItems items = {};  // a choice list's fixed items
    int selected = -1;       // ...and the one selected; -1: none
    bool checked = false;
    bool disabled = false;
    bool hidden = false;
    int position = 0;  // a track bar's position
};

struct ControlSpec {
    int id;
    ControlKind kind;
    Page page;
    int x, y, width, height;
    std::string_view text;  // caption or initial text
    ControlTraits traits = {};
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
