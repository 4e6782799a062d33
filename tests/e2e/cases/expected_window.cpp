#include "expected_window.h"

#include "driver.h"

namespace tav::e2e {
namespace {

using K = Kind;
constexpr unsigned D = want::Digits;
constexpr unsigned G = want::GuiFont;

constexpr ExpectedControl kControls[] = {
    {3, K::Button, -1, 5, 330, 85, 25, "Load Default"},
    {4, K::Button, -1, 230, 330, 65, 25, "Add"},
    {5, K::Button, -1, 160, 330, 65, 25, "Cancel"},
    {0, K::Tabs, -1, 0, 0, 310, 325, ""},

    {22, K::Image, 0, 58, 24, 200, 59, ""},
    {143, K::Edit, 0, 133, 24, 60, 20, "90"},
    {141, K::Edit, 0, 133, 54, 60, 20, "110"},
    {144, K::Label, 0, 63, 24, 70, 20, "Min size(MB):"},
    {142, K::Label, 0, 63, 54, 70, 20, "Max size(MB):"},
    {23, K::ListCombo, 0, 58, 104, 200, 140, ""},
    {116, K::Button, 0, 5, 155, 55, 21, "Refresh", G},
    {24, K::Label, 0, 58, 134, 80, 16, "Quantizer"},
    {125, K::Check, 0, 10, 130, 40, 21, "Size"},
    {88, K::Label, 0, 58, 85, 205, 17, "Range 0~51"},
    {25, K::Edit, 0, 148, 134, 50, 20, "26"},
    {121, K::Edit, 0, 208, 134, 50, 20, "16", G},
    {122, K::Label, 0, 260, 134, 50, 20, "<-CRF", G},
    {115, K::EditCombo, 0, 159, 155, 99, 200, "", G},
    {129, K::ListCombo, 0, 60, 155, 99, 200, "", G},
    {105, K::Button, 0, 260, 155, 20, 20, "S"},
    {106, K::Button, 0, 280, 155, 20, 20, "L"},
    {28, K::Check, 0, 23, 235, 120, 15, "Update Statsfile"},
    {114, K::Button, 0, 150, 230, 120, 25, "Files input"},
    {29, K::Label, 0, 18, 259, 90, 20, "Statsfile name"},
    {128, K::Check, 0, 18, 279, 120, 20, "Logfile(empty=none)"},
    {30, K::Edit, 0, 108, 259, 145, 20, ""},
    {126, K::Edit, 0, 138, 279, 115, 20, ""},
    {31, K::Button, 0, 258, 259, 25, 20, "..."},
    {127, K::Button, 0, 258, 279, 25, 20, "..."},
    {93, K::Label, 0, 8, 179, 70, 15, "Input file:"},
    {94, K::Label, 0, 8, 204, 80, 15, "Output file:"},
    {89, K::Edit, 0, 83, 179, 175, 20, ""},
    {90, K::Edit, 0, 93, 204, 165, 20, ""},
    {91, K::Button, 0, 263, 179, 25, 20, "..."},
    {92, K::Button, 0, 263, 204, 25, 20, "..."},

    {32, K::Frame, 1, 8, 9, 290, 80, "Bitrate && Quantization Limits"},
    {33, K::Frame, 1, 8, 99, 290, 100, "VBV Settings"},
    {34, K::Frame, 1, 8, 204, 290, 80, "Scene Cuts"},
    {35, K::Label, 1, 20, 24, 110, 15, "KeyFrame boost(%)"},
    {36, K::Label, 1, 20, 44, 110, 15, "B-frames reduction(%)"},
    {37, K::Label, 1, 20, 64, 110, 15, "Quantizer Comp(%)"},
    {38, K::Edit, 1, 135, 22, 30, 20, "40", D},
    {39, K::Edit, 1, 135, 42, 30, 20, "30", D},
    {40, K::Edit, 1, 135, 62, 30, 20, "60", D},
    {41, K::Label, 1, 170, 24, 65, 15, "Min QP"},
    {42, K::Label, 1, 170, 44, 65, 15, "Max QP"},
    {43, K::Label, 1, 170, 64, 65, 15, "Max QP Step"},
    {44, K::Edit, 1, 236, 22, 35, 20, "10", D},
    {45, K::Edit, 1, 236, 42, 35, 20, "51", D},
    {46, K::Edit, 1, 236, 62, 35, 20, "4", D},
    {135, K::Label, 1, 53, 115, 135, 20, "VBV Buffer Size"},
    {136, K::Label, 1, 53, 135, 135, 20, "VBV Maximum Bitrate"},
    {137, K::Label, 1, 53, 155, 135, 20, "VBV Initial Buffer"},
    {138, K::Label, 1, 53, 175, 135, 20, "Bitrate Variance(%)"},
    {131, K::Edit, 1, 198, 115, 45, 20, "0", D},
    {132, K::Edit, 1, 198, 135, 45, 20, "0", D},
    {133, K::Edit, 1, 198, 155, 45, 20, "0.9"},
    {134, K::Edit, 1, 198, 175, 45, 20, "100", D},
    {139, K::Label, 1, 245, 115, 50, 20, "(0=Auto)"},
    {140, K::Label, 1, 245, 135, 50, 20, "(0=Auto)"},
    {47, K::Label, 1, 53, 224, 135, 15, "Sence Cut Threshold"},
    {48, K::Label, 1, 53, 244, 135, 15, "Min IDR-frame interval"},
    {49, K::Label, 1, 53, 264, 135, 15, "Max IDR-frame interval"},
    {50, K::Edit, 1, 198, 219, 35, 20, "40", D},
    {51, K::Edit, 1, 198, 239, 35, 20, "25", D},
    {52, K::Edit, 1, 198, 259, 35, 20, "250", D},

    {1, K::Frame, 2, 8, 4, 285, 145, "Partitions"},
    {2, K::Frame, 2, 8, 154, 285, 140, "B Frames"},
    {6, K::Check, 2, 28, 24, 255, 15, "8x8 Transform"},
    {7, K::Check, 2, 28, 44, 255, 15, "8x8,8x16 and 16x8 P-frame search"},
    {8, K::Check, 2, 28, 64, 255, 15, "8x8,8x16 and 16x8 B-Frame search"},
    {9, K::Check, 2, 28, 84, 255, 15, "4x4,4x8 and 8x4 P-frame search"},
    {10, K::Check, 2, 28, 104, 255, 15, "8x8 Intra search"},
    {11, K::Check, 2, 28, 124, 255, 15, "4x4 Intra search"},
    {12, K::Label, 2, 28, 174, 110, 15, "Max consecutive"},
    {13, K::Label, 2, 28, 194, 35, 15, "Bias"},
    {14, K::Track, 2, 73, 194, 120, 15, ""},
    {15, K::Edit, 2, 208, 169, 55, 20, "2", D},
    {16, K::Edit, 2, 208, 194, 55, 20, "0"},
    {17, K::Check, 2, 28, 219, 125, 15, "Use as references"},
    {18, K::Check, 2, 168, 219, 120, 15, "Bidirectional ME"},
    {19, K::Check, 2, 28, 239, 75, 15, "Adaptive"},
    {20, K::Check, 2, 113, 239, 155, 15, "Weighted biprediction"},
    {21, K::Label, 2, 28, 264, 80, 15, "Direct Mode"},
    {83, K::ListCombo, 2, 123, 264, 150, 130, ""},

    {53, K::Frame, 3, 8, 9, 290, 130, "Motion Estimation"},
    {54, K::ListCombo, 3, 133, 24, 145, 110, ""},
    {55, K::ListCombo, 3, 118, 49, 160, 115, ""},
    {56, K::Label, 3, 13, 24, 115, 20, "Partition decision"},
    {57, K::Label, 3, 13, 49, 100, 20, "Method"},
    {58, K::Label, 3, 13, 79, 50, 20, "Range"},
    {59, K::Label, 3, 13, 109, 100, 20, "Max Ref. frames"},
    {60, K::Edit, 3, 73, 79, 35, 20, "16", D},
    {61, K::Edit, 3, 118, 109, 45, 20, "1", D},
    {62, K::Check, 3, 210, 79, 70, 15, "Chroma ME"},
    {63, K::Check, 3, 210, 99, 70, 15, "Mixed Refs"},
    {119, K::Check, 3, 210, 119, 70, 15, "Fast P Skip"},
    {120, K::Check, 3, 118, 79, 90, 15, "DCT Decimate"},
    {64, K::Frame, 3, 8, 144, 290, 150, "Misc. options"},
    {-1, K::Frame, 3, 132, 155, 160, 70, "Audio", G},
    {108, K::Check, 3, 142, 175, 60, 15, "Audio"},
    {109, K::Edit, 3, 202, 173, 40, 20, "64"},
    {110, K::Label, 3, 245, 175, 40, 15, "Kbps"},
    {111, K::ListCombo, 3, 142, 195, 70, 140, ""},
    {112, K::ListCombo, 3, 222, 195, 65, 140, ""},
    {66, K::Label, 3, 13, 174, 55, 15, "Sample AR"},
    {67, K::Edit, 3, 68, 174, 15, 18, "1", D},
    {68, K::Edit, 3, 98, 174, 15, 18, "1", D},
    {69, K::Label, 3, 83, 174, 15, 15, " :"},
    {70, K::Label, 3, 13, 199, 55, 15, "Threads"},
    {113, K::Check, 3, 18, 217, 110, 15, "Alone Thread Input"},
    {71, K::Edit, 3, 68, 199, 15, 18, "1"},
    {72, K::Check, 3, 18, 234, 65, 15, "CABAC"},
    {73, K::Label, 3, 83, 234, 40, 15, "Trellis"},
    {130, K::ListCombo, 3, 124, 232, 30, 100, ""},
    {74, K::Label, 3, 163, 234, 95, 15, "Noise Reduction"},
    {75, K::Edit, 3, 258, 234, 35, 18, "0"},
    {76, K::Check, 3, 18, 252, 100, 15, "Deblocking filter:"},
    {123, K::Label, 3, 18, 275, 50, 15, "Quant:"},
    {124, K::EditCombo, 3, 68, 270, 70, 50, ""},
    {77, K::Label, 3, 153, 254, 50, 15, "Strength"},
    {78, K::Label, 3, 153, 270, 55, 15, "Threshold"},
    {79, K::Track, 3, 213, 254, 55, 15, ""},
    {80, K::Track, 3, 213, 269, 55, 15, ""},
    {81, K::Label, 3, 268, 254, 20, 15, "0"},
    {82, K::Label, 3, 268, 269, 20, 15, "0"},

    {95, K::List, 4, 3, 4, 260, 265, ""},
    {96, K::Button, 4, 230, 274, 65, 20, "Make BAT"},
    {97, K::Button, 4, 155, 274, 65, 20, "Clear"},
    {98, K::Button, 4, 80, 274, 65, 20, "Disable"},
    {100, K::Button, 4, 5, 274, 65, 20, "Start"},
    {104, K::Button, 4, 264, 10, 40, 30, "view"},
    {101, K::Button, 4, 264, 50, 40, 30, "up"},
    {102, K::Button, 4, 264, 90, 40, 30, "down"},
    {103, K::Button, 4, 264, 130, 40, 30, "edit"},
    {145, K::Button, 4, 264, 170, 40, 30, "del"},
    {107, K::Button, 4, 264, 210, 40, 30, "Shut"},
};

}  // namespace

std::span<const ExpectedControl> expected_controls() { return kControls; }

HWND find_expected(const Program& program, const ExpectedControl& c) {
    if (c.id >= 0) return program.find_control(c.id);
    HWND more_page = GetParent(program.control(108));
    for (HWND hwnd : program.descendants()) {
        if (GetParent(hwnd) == more_page && class_name(hwnd) == "Button" &&
            (GetWindowLongA(hwnd, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX && window_text(hwnd) == "Audio")
            return hwnd;
    }
    return nullptr;
}

}  // namespace tav::e2e
