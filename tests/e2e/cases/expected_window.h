// What the window must look like, written down independently of the
// program's own control table so that a slip in either shows up.
#pragma once

#include <windows.h>

#include <span>
#include <string_view>

namespace tav::e2e {

enum class Kind { Button, Check, Label, Frame, Edit, ListCombo, EditCombo, Track, Image, List, Tabs };

// Page -1 is the window itself, 0 to 4 the tabs in order.
inline constexpr int kWindowPage = -1;
inline constexpr std::string_view kTabCaptions[] = {"Bitrate", "Rate Control", "MBs&&Frames", "More", "Job"};
// The items of the encode mode list, by index.
inline constexpr std::string_view kModeNames[] = {
    "Single Pass - Bitrate",
    "Single Pass - Quantizer",
    "Single Pass - CRF",
    "Mutipass - First Pass",
    "Mutipass - First Pass(fast)",
    "Mutipass - Nth pass",
    "Automated Double Passes",
    "Automated Double Passes(fast)",
    "Mutipass - First Pass(CRF)",
    "Mutipass - First Pass(CRF-fast)",
    "Automated Double Passes(1P-CRF)",
    "Automated Double Passes(1P-CRF-fast)",
    "Mutipass - First Pass(CRF with output)",
    "Conditional Double Passes(1P-CRF)",
};
inline constexpr std::string_view kShotNames[] = {"bitrate", "rate-control", "mbs-frames", "more", "job"};

namespace want {
inline constexpr unsigned Digits = 1;   // ES_NUMBER
inline constexpr unsigned GuiFont = 2;  // keeps the default GUI font
}  // namespace want

struct ExpectedControl {
    int id;  // -1: the "Audio" frame, which has no fixed identifier
    Kind kind;
    int page;
    int x, y, width, height;
    std::string_view text;
    unsigned flags = 0;
};

std::span<const ExpectedControl> expected_controls();

class Program;
// The window of a row in the running program, or null. The "Audio" frame,
// which has no fixed identifier, is the group box of that caption on the
// "More" page.
HWND find_expected(const Program& program, const ExpectedControl& c);

}  // namespace tav::e2e
