// What each encode mode shows and enables, written out by hand from the
// mode table's documentation, for the unit tests and the window's own.
#pragma once

namespace tav::test {

struct ExpectedModeRow {
    int mode;
    const char* value_label;
    const char* range_label;
    bool size_box;     // the "Size" box is shown
    bool qp_limits;    // quantizer compression, minimum, maximum and step
    bool vbv;          // the three VBV fields
    bool variance;     // bitrate variance
    bool stats;        // "Update stats", the statistics file and its button
    bool crf_box;      // the first pass's CRF and its label
    bool size_limits;  // the minimum and maximum size fields (the logo hides)
};

// The fourteen modes in list order, with "Size" unchecked.
inline constexpr ExpectedModeRow kExpectedModeRows[] = {
    {0, "Average Bitrate", "Range 0~8000", true, true, true, true, false, false, false},
    {1, "Quantizer", "Range 0~51", false, false, false, false, false, false, false},
    {2, "Quantizer", "Range 0~51", false, true, true, false, false, false, false},
    {3, "Average Bitrate", "Range 0~8000", true, true, true, true, true, false, false},
    {4, "Average Bitrate", "Range 0~8000", true, true, true, true, true, false, false},
    {5, "Average Bitrate", "Range 0~8000", true, true, true, true, true, false, false},
    {6, "Average Bitrate", "Range 0~8000", true, true, true, true, true, false, false},
    {7, "Average Bitrate", "Range 0~8000", true, true, true, true, true, false, false},
    {8, "Quantizer", "Range 0~51", false, true, true, false, true, false, false},
    {9, "Quantizer", "Range 0~51", false, true, true, false, true, false, false},
    {10, "Average Bitrate", "Range 0~8000", true, true, true, true, true, true, false},
    {11, "Average Bitrate", "Range 0~8000", true, true, true, true, true, true, false},
    {12, "Quantizer", "Range 0~51", false, true, true, false, true, false, false},
    {13, "Average Bitrate", "Range 0~8000", true, true, true, true, true, true, true},
};

}  // namespace tav::test
