// The choice lists and control states right after start-up, when no
// settings file exists yet: the lists as filled, then the built-in defaults
// loaded over the initial states.
#include "check.h"
#include "driver.h"
#include "expected_window.h"

namespace tav::e2e {
namespace {

using Items = std::vector<std::string>;

TAV_CASE(choice_lists_hold_their_items_in_order) {
    Program program;
    const Items modes(std::begin(kModeNames), std::end(kModeNames));
    const std::pair<int, Items> lists[] = {
        {83, {"Temporal", "Spatial", "Auto", "None"}},
        {23, modes},
        {54, {"1(Fastest)", "2", "3", "4", "5(Highest)", "6(RDO)", "6b(RDO on B-frames)", "7(Best)",
              "7b(RDO on B-frames)"}},
        {111, {"CT AAC", "Nero", " |-sse2", "Nero(ABR)", " |-sse2", "Nero(Q)", " |-sse2"}},
        {112, {"MP4Box", "MP4Creator", "MKVMerge", "No mux", "Audio Only"}},
        {55, {"Diamond Search", "Hexagonal Search", "Uneven Muti-Hexagon", "Exhaustive Search"}},
        {124, {"flat", "jvt", "custom..."}},
        {130, {"0", "1", "2"}},
        // No presets and no templates exist in a fresh program folder.
        {115, {}},
        {129, {}},
        {95, {}},
    };
    for (const auto& [id, items] : lists) {
        CONTEXT("list " + std::to_string(id));
        CHECK_EQ(program.items(id), items);
    }
    CHECK_EQ(program.close(), 0u);
}

TAV_CASE(start_up_shows_the_built_in_defaults) {
    Program program;
    // Selections, as index and as the text the box shows.
    const std::tuple<int, int, const char*> selections[] = {
        {23, 1, "Single Pass - Quantizer"}, {83, 0, "Temporal"},      {54, 4, "5(Highest)"},
        {55, 1, "Hexagonal Search"},        {111, 1, "Nero"},         {112, 0, "MP4Box"},
        {130, 0, "0"},                      {129, -1, ""},
    };
    for (const auto& [id, index, text] : selections) {
        CONTEXT("list " + std::to_string(id));
        CHECK_EQ(program.selection(id), index);
        CHECK_EQ(program.text(id), text);
    }

    const std::pair<int, int> checks[] = {
        {28, 1}, {6, 1},   {7, 1},   {8, 1},   {9, 0},   {10, 1},  {11, 1}, {72, 1},  {63, 0},
        {76, 1}, {17, 0},  {18, 0},  {19, 1},  {20, 1},  {108, 0}, {113, 0}, {119, 1}, {120, 1},
        {128, 1}, {125, 0}, {62, 1},
    };
    for (const auto& [id, state] : checks) {
        CONTEXT("check box " + std::to_string(id));
        CHECK_EQ(program.checked(id), state);
    }

    for (const auto& [id, position] : {std::pair{14, 100}, {79, 6}, {80, 6}}) {
        CONTEXT("track bar " + std::to_string(id));
        CHECK_EQ(program.slider(id), position);
    }

    const std::pair<int, const char*> texts[] = {
        {25, "26"},  {24, "Quantizer"}, {88, "Range 0~51"}, {15, "2"},   {16, "0"},   {81, "0"},
        {82, "0"},   {109, "64"},       {110, "Kbps"},      {60, "16"},  {61, "1"},   {67, "1"},
        {68, "1"},   {71, "1"},         {75, "0"},          {38, "40"},  {39, "30"},  {40, "60"},
        {44, "10"},  {45, "51"},        {46, "4"},          {131, "0"},  {132, "0"},  {133, "0.9"},
        {134, "100"}, {50, "40"},       {51, "25"},         {52, "250"}, {121, "16"}, {141, "110"},
        {143, "90"}, {30, ""},          {126, ""},          {89, ""},    {90, ""},    {115, ""},
        {124, "flat"},
    };
    for (const auto& [id, text] : texts) {
        CONTEXT("control " + std::to_string(id));
        CHECK_EQ(program.text(id), text);
    }

    // Enabled states: the quantizer mode greys the rate limits and the
    // statistics controls; the others follow their check boxes and lists.
    const int disabled[] = {40, 44, 45, 46, 131, 132, 133, 134, 28, 30, 31, 63, 60, 109};
    const int enabled[] = {38, 39, 25, 23, 10, 9, 62, 73, 126, 127, 8, 83, 14, 16, 17, 18, 19, 20, 61, 108};
    for (int id : disabled) {
        CONTEXT("control " + std::to_string(id));
        CHECK(!program.enabled(id));
    }
    for (int id : enabled) {
        CONTEXT("control " + std::to_string(id));
        CHECK(program.enabled(id));
    }

    // Hidden: the Size box in a quantizer mode, the first-pass CRF pair and
    // the size limits of mode 13; the logo shows.
    for (int id : {125, 121, 122, 143, 141, 144, 142}) {
        CONTEXT("control " + std::to_string(id));
        CHECK(!program.shown(id));
    }
    CHECK(program.visible(22));
    CHECK_EQ(program.tab(), 0);
    CHECK_EQ(program.close(), 0u);
}

}  // namespace
}  // namespace tav::e2e
