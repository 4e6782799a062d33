#include "model/control_table.h"

#include <algorithm>
#include <array>

#include "model/control_ids.h"

namespace tav {
namespace {

using K = ControlKind;
using P = Page;
constexpr unsigned kDigits = flag::DigitsOnly;
constexpr unsigned kGuiFont = flag::DefaultGuiFont;

constexpr ControlSpec kControls[] = {
    // Window, outside the panel.
    {3, K::Button, P::Window, 5, 330, 85, 25, "Load Default"},
    {4, K::Button, P::Window, 230, 330, 65, 25, "Add"},
    {5, K::Button, P::Window, 160, 330, 65, 25, "Cancel"},
    {0, K::TabPanel, P::Window, 0, 0, 310, 325, ""},

    // Tab "Bitrate".
    {22, K::Image, P::Bitrate, 58, 24, 200, 59, ""},
    {143, K::Edit, P::Bitrate, 133, 24, 60, 20, "90"},
    {141, K::Edit, P::Bitrate, 133, 54, 60, 20, "110"},
    {144, K::Label, P::Bitrate, 63, 24, 70, 20, "Min size(MB):"},
    {142, K::Label, P::Bitrate, 63, 54, 70, 20, "Max size(MB):"},
    {23, K::ListCombo, P::Bitrate, 58, 104, 200, 140, ""},
    {116, K::Button, P::Bitrate, 5, 155, 55, 21, "Refresh", kGuiFont},
    {24, K::Label, P::Bitrate, 58, 134, 80, 16, "Quantizer"},
    {125, K::CheckBox, P::Bitrate, 10, 130, 40, 21, "Size"},
    {88, K::Label, P::Bitrate, 58, 85, 205, 17, "Range 0~51"},
    {25, K::Edit, P::Bitrate, 148, 134, 50, 20, "26"},
    {121, K::Edit, P::Bitrate, 208, 134, 50, 20, "16", kGuiFont},
    {122, K::Label, P::Bitrate, 260, 134, 50, 20, "<-CRF", kGuiFont},
    {115, K::EditCombo, P::Bitrate, 159, 155, 99, 200, "", kGuiFont},
    {129, K::ListCombo, P::Bitrate, 60, 155, 99, 200, "", kGuiFont},
    {105, K::Button, P::Bitrate, 260, 155, 20, 20, "S"},
    {106, K::Button, P::Bitrate, 280, 155, 20, 20, "L"},
    {28, K::CheckBox, P::Bitrate, 23, 235, 120, 15, "Update Statsfile"},
    {114, K::Button, P::Bitrate, 150, 230, 120, 25, "Files input"},
    {29, K::Label, P::Bitrate, 18, 259, 90, 20, "Statsfile name"},
    {128, K::CheckBox, P::Bitrate, 18, 279, 120, 20, "Logfile(empty=none)"},
    {30, K::Edit, P::Bitrate, 108, 259, 145, 20, ""},
    {126, K::Edit, P::Bitrate, 138, 279, 115, 20, ""},
    {31, K::Button, P::Bitrate, 258, 259, 25, 20, "..."},
    {127, K::Button, P::Bitrate, 258, 279, 25, 20, "..."},
    {93, K::Label, P::Bitrate, 8, 179, 70, 15, "Input file:"},
    {94, K::Label, P::Bitrate, 8, 204, 80, 15, "Output file:"},
    {89, K::Edit, P::Bitrate, 83, 179, 175, 20, ""},
    {90, K::Edit, P::Bitrate, 93, 204, 165, 20, ""},
    {91, K::Button, P::Bitrate, 263, 179, 25, 20, "..."},
    {92, K::Button, P::Bitrate, 263, 204, 25, 20, "..."},

    // Tab "Rate Control".
    {32, K::Frame, P::RateControl, 8, 9, 290, 80, "Bitrate && Quantization Limits"},
    {33, K::Frame, P::RateControl, 8, 99, 290, 100, "VBV Settings"},
    {34, K::Frame, P::RateControl, 8, 204, 290, 80, "Scene Cuts"},
    {35, K::Label, P::RateControl, 20, 24, 110, 15, "KeyFrame boost(%)"},
    {36, K::Label, P::RateControl, 20, 44, 110, 15, "B-frames reduction(%)"},
    {37, K::Label, P::RateControl, 20, 64, 110, 15, "Quantizer Comp(%)"},
    {38, K::Edit, P::RateControl, 135, 22, 30, 20, "40", kDigits},
    {39, K::Edit, P::RateControl, 135, 42, 30, 20, "30", kDigits},
    {40, K::Edit, P::RateControl, 135, 62, 30, 20, "60", kDigits},
    {41, K::Label, P::RateControl, 170, 24, 65, 15, "Min QP"},
    {42, K::Label, P::RateControl, 170, 44, 65, 15, "Max QP"},
    {43, K::Label, P::RateControl, 170, 64, 65, 15, "Max QP Step"},
    {44, K::Edit, P::RateControl, 236, 22, 35, 20, "10", kDigits},
    {45, K::Edit, P::RateControl, 236, 42, 35, 20, "51", kDigits},
    {46, K::Edit, P::RateControl, 236, 62, 35, 20, "4", kDigits},
    {135, K::Label, P::RateControl, 53, 115, 135, 20, "VBV Buffer Size"},
    {136, K::Label, P::RateControl, 53, 135, 135, 20, "VBV Maximum Bitrate"},
    {137, K::Label, P::RateControl, 53, 155, 135, 20, "VBV Initial Buffer"},
    {138, K::Label, P::RateControl, 53, 175, 135, 20, "Bitrate Variance(%)"},
    {131, K::Edit, P::RateControl, 198, 115, 45, 20, "0", kDigits},
    {132, K::Edit, P::RateControl, 198, 135, 45, 20, "0", kDigits},
    {133, K::Edit, P::RateControl, 198, 155, 45, 20, "0.9"},
    {134, K::Edit, P::RateControl, 198, 175, 45, 20, "100", kDigits},
    {139, K::Label, P::RateControl, 245, 115, 50, 20, "(0=Auto)"},
    {140, K::Label, P::RateControl, 245, 135, 50, 20, "(0=Auto)"},
    {47, K::Label, P::RateControl, 53, 224, 135, 15, "Sence Cut Threshold"},
    {48, K::Label, P::RateControl, 53, 244, 135, 15, "Min IDR-frame interval"},
    {49, K::Label, P::RateControl, 53, 264, 135, 15, "Max IDR-frame interval"},
    {50, K::Edit, P::RateControl, 198, 219, 35, 20, "40", kDigits},
    {51, K::Edit, P::RateControl, 198, 239, 35, 20, "25", kDigits},
    {52, K::Edit, P::RateControl, 198, 259, 35, 20, "250", kDigits},

    // Tab "MBs&&Frames".
    {1, K::Frame, P::MBsFrames, 8, 4, 285, 145, "Partitions"},
    {2, K::Frame, P::MBsFrames, 8, 154, 285, 140, "B Frames"},
    {6, K::CheckBox, P::MBsFrames, 28, 24, 255, 15, "8x8 Transform"},
    {7, K::CheckBox, P::MBsFrames, 28, 44, 255, 15, "8x8,8x16 and 16x8 P-frame search"},
    {8, K::CheckBox, P::MBsFrames, 28, 64, 255, 15, "8x8,8x16 and 16x8 B-Frame search"},
    {9, K::CheckBox, P::MBsFrames, 28, 84, 255, 15, "4x4,4x8 and 8x4 P-frame search"},
    {10, K::CheckBox, P::MBsFrames, 28, 104, 255, 15, "8x8 Intra search"},
    {11, K::CheckBox, P::MBsFrames, 28, 124, 255, 15, "4x4 Intra search"},
    {12, K::Label, P::MBsFrames, 28, 174, 110, 15, "Max consecutive"},
    {13, K::Label, P::MBsFrames, 28, 194, 35, 15, "Bias"},
    {14, K::TrackBar, P::MBsFrames, 73, 194, 120, 15, "", 0, 0, 0, 200},
    {15, K::Edit, P::MBsFrames, 208, 169, 55, 20, "2", kDigits},
    {16, K::Edit, P::MBsFrames, 208, 194, 55, 20, "0", 0, 3},
    {17, K::CheckBox, P::MBsFrames, 28, 219, 125, 15, "Use as references"},
    {18, K::CheckBox, P::MBsFrames, 168, 219, 120, 15, "Bidirectional ME"},
    {19, K::CheckBox, P::MBsFrames, 28, 239, 75, 15, "Adaptive"},
    {20, K::CheckBox, P::MBsFrames, 113, 239, 155, 15, "Weighted biprediction"},
    {21, K::Label, P::MBsFrames, 28, 264, 80, 15, "Direct Mode"},
    {83, K::ListCombo, P::MBsFrames, 123, 264, 150, 130, ""},

    // Tab "More".
    {53, K::Frame, P::More, 8, 9, 290, 130, "Motion Estimation"},
    {54, K::ListCombo, P::More, 133, 24, 145, 110, ""},
    {55, K::ListCombo, P::More, 118, 49, 160, 115, ""},
    {56, K::Label, P::More, 13, 24, 115, 20, "Partition decision"},
    {57, K::Label, P::More, 13, 49, 100, 20, "Method"},
    {58, K::Label, P::More, 13, 79, 50, 20, "Range"},
    {59, K::Label, P::More, 13, 109, 100, 20, "Max Ref. frames"},
    {60, K::Edit, P::More, 73, 79, 35, 20, "16", kDigits},
    {61, K::Edit, P::More, 118, 109, 45, 20, "1", kDigits},
    {62, K::CheckBox, P::More, 210, 79, 70, 15, "Chroma ME"},
    {63, K::CheckBox, P::More, 210, 99, 70, 15, "Mixed Refs"},
    {119, K::CheckBox, P::More, 210, 119, 70, 15, "Fast P Skip"},
    {120, K::CheckBox, P::More, 118, 79, 90, 15, "DCT Decimate"},
    {64, K::Frame, P::More, 8, 144, 290, 150, "Misc. options"},
    {ctl::Unassigned, K::Frame, P::More, 132, 155, 160, 70, "Audio", kGuiFont},
    {108, K::CheckBox, P::More, 142, 175, 60, 15, "Audio"},
    {109, K::Edit, P::More, 202, 173, 40, 20, "64"},
    {110, K::Label, P::More, 245, 175, 40, 15, "Kbps"},
    {111, K::ListCombo, P::More, 142, 195, 70, 140, ""},
    {112, K::ListCombo, P::More, 222, 195, 65, 140, ""},
    {66, K::Label, P::More, 13, 174, 55, 15, "Sample AR"},
    {67, K::Edit, P::More, 68, 174, 15, 18, "1", kDigits},
    {68, K::Edit, P::More, 98, 174, 15, 18, "1", kDigits},
    {69, K::Label, P::More, 83, 174, 15, 15, " :"},
    {70, K::Label, P::More, 13, 199, 55, 15, "Threads"},
    {113, K::CheckBox, P::More, 18, 217, 110, 15, "Alone Thread Input"},
    {71, K::Edit, P::More, 68, 199, 15, 18, "1"},
    {72, K::CheckBox, P::More, 18, 234, 65, 15, "CABAC"},
    {73, K::Label, P::More, 83, 234, 40, 15, "Trellis"},
    {130, K::ListCombo, P::More, 124, 232, 30, 100, ""},
    {74, K::Label, P::More, 163, 234, 95, 15, "Noise Reduction"},
    {75, K::Edit, P::More, 258, 234, 35, 18, "0"},
    {76, K::CheckBox, P::More, 18, 252, 100, 15, "Deblocking filter:"},
    {123, K::Label, P::More, 18, 275, 50, 15, "Quant:"},
    {124, K::EditCombo, P::More, 68, 270, 70, 50, ""},
    {77, K::Label, P::More, 153, 254, 50, 15, "Strength"},
    {78, K::Label, P::More, 153, 270, 55, 15, "Threshold"},
    {79, K::TrackBar, P::More, 213, 254, 55, 15, "", 0, 0, 0, 12},
    {80, K::TrackBar, P::More, 213, 269, 55, 15, "", 0, 0, 0, 12},
    {81, K::Label, P::More, 268, 254, 20, 15, "0"},
    {82, K::Label, P::More, 268, 269, 20, 15, "0"},

    // Tab "Job".
    {95, K::List, P::Job, 3, 4, 260, 265, ""},
    {96, K::Button, P::Job, 230, 274, 65, 20, "Make BAT"},
    {97, K::Button, P::Job, 155, 274, 65, 20, "Clear"},
    {98, K::Button, P::Job, 80, 274, 65, 20, "Disable"},
    {100, K::Button, P::Job, 5, 274, 65, 20, "Start"},
    {104, K::Button, P::Job, 264, 10, 40, 30, "view"},
    {101, K::Button, P::Job, 264, 50, 40, 30, "up"},
    {102, K::Button, P::Job, 264, 90, 40, 30, "down"},
    {103, K::Button, P::Job, 264, 130, 40, 30, "edit"},
    {145, K::Button, P::Job, 264, 170, 40, 30, "del"},
    {107, K::Button, P::Job, 264, 210, 40, 30, "Shut"},
};

// Lookup by identifier; identifiers are small, so a direct index is enough.
constexpr int kMaxId = 160;

struct IdIndex {
    std::array<short, kMaxId> row{};
    constexpr IdIndex() {
        for (auto& r : row) r = -1;
        for (short i = 0; i < static_cast<short>(std::size(kControls)); ++i)
            if (kControls[i].id >= 0) row[kControls[i].id] = i;
    }
};
constexpr IdIndex kIndex{};

}  // namespace

std::span<const ControlSpec> control_table() { return kControls; }

const ControlSpec* find_control(int id) {
    if (id < 0 || id >= kMaxId) return nullptr;
    const int row = kIndex.row[id];
    return row < 0 ? nullptr : &kControls[row];
}

}  // namespace tav
