// The handlers of the window's own controls, driven as a user would: range
// clamps, the value field's two ranges, the mode table, the B-frame count,
// slider mirrors, dependent enabling, and the two ways to end the program.
#include <algorithm>
#include <fstream>
#include <iterator>
#include <tuple>

#include "check.h"
#include "driver.h"
#include "support/expected_modes.h"

namespace tav::e2e {
namespace {

constexpr int kBitrateTab = 0, kRateControlTab = 1, kFramesTab = 2, kMoreTab = 3;

// Empties the field, then types the text one character at a time.
void retype(Program& program, int id, std::string_view text) {
    program.erase(id);
    program.type(id, text);
}

TAV_CASE(typed_numbers_are_clamped_as_the_user_types) {
    Program program;
    program.select(23, 0);  // a bitrate mode: the rate limits take input
    program.select_tab(kRateControlTab);

    // Keyframe boost: the fourth digit of 1000 crosses 900.
    program.erase(38);
    CHECK_EQ(program.text(38), "");  // lower bound 0: an empty field stays empty
    program.type(38, "100");
    CHECK_EQ(program.text(38), "100");
    program.type(38, "0");
    CHECK_EQ(program.text(38), "900");
    // Digits-only fields refuse signs and points.
    retype(program, 39, "-5.5");
    CHECK_EQ(program.text(39), "55");

    // Lower bound 1: emptying the field puts "1" back at once.
    program.erase(44);
    CHECK_EQ(program.text(44), "1");
    struct Case {
        int id;
        const char* pasted;
        const char* result;
    };
    const Case cases[] = {
        {45, "99", "51"},      {46, "77", "50"},          {40, "101", "100"},  {50, "250", "100"},
        {134, "5", "10"},      {134, "1500", "1000"},     {131, "300000", "240000"},
        {132, "9000", "8000"}, {133, "1.5", "1"},         {133, "-0.2", "0"},  {133, "0.95", "0.95"},
        {133, "1", "1"},       {133, "0", "0"},
        // Beyond 32 bits a number saturates instead of wrapping round.
        {44, "99999999999", "51"}, {46, "-99999999999", "1"}, {52, "400", "400"},
    };
    for (const Case& c : cases) {
        CONTEXT("field " + std::to_string(c.id) + " given " + c.pasted);
        program.paste(c.id, c.pasted);
        CHECK_EQ(program.text(c.id), c.result);
    }

    // Threads accept any text: a lone minus stays, "-3" becomes "0".
    program.select_tab(kMoreTab);
    program.erase(71);
    program.type(71, "-");
    CHECK_EQ(program.text(71), "-");
    program.type(71, "3");
    CHECK_EQ(program.text(71), "0");
    retype(program, 71, "9");
    CHECK_EQ(program.text(71), "4");
    // A pasted negative range becomes "0" (the range field needs method > 1).
    program.select(55, 2);
    program.paste(60, "-5");
    CHECK_EQ(program.text(60), "0");
    retype(program, 60, "65");
    CHECK_EQ(program.text(60), "64");
    CHECK_EQ(program.close(), 0u);
}

TAV_CASE(the_value_field_range_follows_the_mode_and_the_size_box) {
    Program program;
    // Mode 1 (quantizer): 0 to 51.
    CHECK_EQ(program.selection(23), 1);
    retype(program, 25, "60");
    CHECK_EQ(program.text(25), "51");

    // Mode 0 (bitrate): 0 to 8000; the mode change itself clamps nothing.
    program.select(23, 0);
    retype(program, 25, "60");
    CHECK_EQ(program.text(25), "60");
    retype(program, 25, "9000");
    CHECK_EQ(program.text(25), "8000");

    // Back to a quantizer mode: the written-back text is no user edit.
    program.select(23, 2);
    CHECK_EQ(program.text(25), "8000");
    program.type(25, "0");
    CHECK_EQ(program.text(25), "51");

    // With "Size" checked nothing is clamped.
    program.select(23, 0);
    program.click(125);
    CHECK_EQ(program.checked(125), 1);
    retype(program, 25, "123456");
    CHECK_EQ(program.text(25), "123456");
    CHECK_EQ(program.close(), 0u);
}

void check_mode_row(const Program& program, const test::ExpectedModeRow& row) {
    CHECK_EQ(program.text(24), row.value_label);
    CHECK_EQ(program.text(88), row.range_label);
    CHECK_EQ(program.shown(125), row.size_box);
    for (int id : {40, 44, 45, 46}) CHECK_EQ(program.enabled(id), row.qp_limits);
    for (int id : {131, 132, 133}) CHECK_EQ(program.enabled(id), row.vbv);
    CHECK_EQ(program.enabled(134), row.variance);
    for (int id : {28, 30, 31}) CHECK_EQ(program.enabled(id), row.stats);
    for (int id : {121, 122}) CHECK_EQ(program.shown(id), row.crf_box);
    for (int id : {143, 141, 144, 142}) CHECK_EQ(program.shown(id), row.size_limits);
    CHECK_EQ(program.shown(22), !row.size_limits);
}

TAV_CASE(selecting_a_mode_relabels_and_enables_its_controls) {
    Program program;
    // Forward, then backward, so every row is also reached from its other neighbour.
    for (int pass = 0; pass < 2; ++pass) {
        for (int i = 0; i < 14; ++i) {
            const test::ExpectedModeRow& row = test::kExpectedModeRows[pass == 0 ? i : 13 - i];
            CONTEXT("mode " + std::to_string(row.mode));
            program.select(23, row.mode);
            check_mode_row(program, row);
            if (row.size_box) {
                CHECK(program.enabled(38));
                CHECK(program.enabled(39));
            }
        }
    }
    CHECK_EQ(program.close(), 0u);
}

TAV_CASE(the_size_box_relabels_bitrate_modes_and_survives_quantizer_modes) {
    Program program;
    program.select(23, 0);
    program.click(125);
    CHECK_EQ(program.text(24), "Size in MB");
    CHECK_EQ(program.text(88), "");
    program.select(23, 13);
    CHECK_EQ(program.text(24), "Size in MB");
    CHECK_EQ(program.text(88), "");

    // A quantizer mode hides the box but keeps it checked.
    program.select(23, 1);
    CHECK(!program.shown(125));
    CHECK_EQ(program.checked(125), 1);
    CHECK_EQ(program.text(24), "Quantizer");
    CHECK_EQ(program.text(88), "Range 0~51");
    program.select(23, 0);
    CHECK(program.shown(125));
    CHECK_EQ(program.checked(125), 1);
    CHECK_EQ(program.text(24), "Size in MB");

    program.click(125);
    CHECK_EQ(program.checked(125), 0);
    CHECK_EQ(program.text(24), "Average Bitrate");
    CHECK_EQ(program.text(88), "Range 0~8000");
    CHECK_EQ(program.close(), 0u);
}

TAV_CASE(the_b_frame_count_is_limited_and_enables_the_b_frame_controls) {
    Program program;
    program.select_tab(kFramesTab);
    const int all[] = {8, 83, 14, 16, 17, 18, 19, 20};
    auto check_enabled = [&](std::initializer_list<int> off) {
        for (int id : all) {
            CONTEXT("control " + std::to_string(id));
            CHECK_EQ(program.enabled(id), std::find(off.begin(), off.end(), id) == off.end());
        }
    };
    retype(program, 15, "20");
    CHECK_EQ(program.text(15), "16");
    check_enabled({});
    retype(program, 15, "1");
    check_enabled({17, 20});
    retype(program, 15, "0");
    check_enabled({8, 83, 14, 16, 17, 18, 19, 20});
    retype(program, 15, "2");
    check_enabled({});
    // The labels stay as they are.
    for (int id : {12, 13, 21}) CHECK(program.enabled(id));
    CHECK_EQ(program.close(), 0u);
}

TAV_CASE(the_bias_slider_and_field_mirror_each_other) {
    Program program;
    program.select_tab(kFramesTab);
    for (auto [position, text] : {std::pair{0, "-100"}, {200, "100"}, {130, "30"}, {100, "0"}}) {
        CONTEXT("slider at " + std::to_string(position));
        program.slide(14, position);
        CHECK_EQ(program.text(16), text);
    }
    // The field holds three characters; it moves the slider on focus loss only.
    retype(program, 16, "-501");
    CHECK_EQ(program.text(16), "-50");
    CHECK_EQ(program.slider(14), 100);
    program.leave(16);
    CHECK_EQ(program.slider(14), 50);
    retype(program, 16, "75");
    program.leave(16);
    CHECK_EQ(program.slider(14), 175);

    // Deblocking sliders show their value minus 6 beside them.
    program.select_tab(kMoreTab);
    for (auto [id, label] : {std::pair{79, 81}, {80, 82}}) {
        for (auto [position, text] : {std::pair{0, "-6"}, {12, "6"}, {3, "-3"}, {6, "0"}}) {
            CONTEXT("slider " + std::to_string(id) + " at " + std::to_string(position));
            program.slide(id, position);
            CHECK_EQ(program.text(label), text);
        }
    }
    CHECK_EQ(program.close(), 0u);
}

TAV_CASE(check_boxes_and_lists_enable_their_dependents) {
    Program program;
    program.select_tab(kFramesTab);
    for (auto [source, target] : {std::pair{6, 10}, {7, 9}}) {
        CONTEXT("check box " + std::to_string(source));
        program.click(source);
        CHECK_EQ(program.checked(source), 0);
        CHECK(!program.enabled(target));
        program.click(source);
        CHECK(program.enabled(target));
    }

    program.select_tab(kMoreTab);
    for (auto [index, on] : {std::pair{3, false}, {4, true}, {0, false}, {8, true}}) {
        CONTEXT("partition decision " + std::to_string(index));
        program.select(54, index);
        CHECK_EQ(program.enabled(62), on);
    }
    for (auto [index, on] : {std::pair{2, true}, {1, false}, {3, true}, {0, false}}) {
        CONTEXT("method " + std::to_string(index));
        program.select(55, index);
        CHECK_EQ(program.enabled(60), on);
    }
    // Reference frames: clamped first, then Mixed Refs follows the clamped value.
    for (auto [typed, text, on] : {std::tuple{"2", "2", true}, {"1", "1", false}, {"40", "16", true}, {"", "", false}}) {
        CONTEXT(std::string("reference frames typed ") + typed);
        retype(program, 61, typed);
        CHECK_EQ(program.text(61), text);
        CHECK_EQ(program.enabled(63), on);
    }
    for (auto [source, target] : {std::pair{72, 73}, {108, 109}}) {
        CONTEXT("check box " + std::to_string(source));
        const bool was_checked = program.checked(source) == 1;
        program.click(source);
        CHECK_EQ(program.enabled(target), !was_checked);
        program.click(source);
        CHECK_EQ(program.enabled(target), was_checked);
    }

    // The log check box enables the log name and its chooser.
    program.select_tab(kBitrateTab);
    program.click(128);
    CHECK(!program.enabled(126));
    CHECK(!program.enabled(127));
    program.click(128);
    CHECK(program.enabled(126));
    CHECK(program.enabled(127));
    CHECK_EQ(program.close(), 0u);
}

TAV_CASE(the_audio_unit_label_follows_the_encoder) {
    Program program;
    program.select_tab(kMoreTab);
    const char* units[] = {"Kbps", "Kbps", "Kbps", "Kbps", "Kbps", "Quality", "Quality"};
    for (int index : {5, 6, 0, 1, 2, 3, 4, 6}) {
        CONTEXT("audio encoder " + std::to_string(index));
        program.select(111, index);
        CHECK_EQ(program.text(110), units[index]);
    }
    CHECK_EQ(program.close(), 0u);
}

TAV_CASE(settings_load_from_the_working_directory_and_save_beside_the_program) {
    const std::filesystem::path elsewhere = make_temp_folder("tav-e2e-cwd-");
    std::ofstream(elsewhere / "tavrelion.ini", std::ios::binary) << "mode = 5\r\nvalue = 1234\r\nkfb = 2000\r\n";
    {
        Program program({.working_directory = elsewhere});
        CHECK_EQ(program.selection(23), 5);
        CHECK_EQ(program.text(24), "Average Bitrate");
        CHECK_EQ(program.text(25), "1234");
        CHECK_EQ(program.text(38), "900");  // limited on load
        program.select(23, 0);
        CHECK_EQ(program.close(), 0u);

        std::ifstream saved(program.folder() / "tavrelion.ini", std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(saved)), std::istreambuf_iterator<char>());
        CHECK(text.find("\r\nmode = 0\r\n") != std::string::npos);
        CHECK(text.find("\r\nvalue = 1234\r\n") != std::string::npos);
    }
    // The file in the working directory is only read.
    std::ifstream original(elsewhere / "tavrelion.ini", std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(original)), std::istreambuf_iterator<char>());
    CHECK_EQ(text, "mode = 5\r\nvalue = 1234\r\nkfb = 2000\r\n");
    std::error_code ignored;
    std::filesystem::remove_all(elsewhere, ignored);
}

TAV_CASE(cancel_ends_the_program_with_exit_code_0) {
    Program program;
    program.click_async(5);
    CHECK_EQ(program.wait_exit(), 0u);
}

TAV_CASE(the_close_box_ends_the_program_with_exit_code_0) {
    Program program;
    program.select_tab(kMoreTab);
    CHECK_EQ(program.close(), 0u);
}

}  // namespace
}  // namespace tav::e2e
