#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

#include "model/control_ids.h"
#include "settings/settings_model.h"
#include "support/test_app.h"

namespace tav {
namespace {

// A settings file of about `bytes` bytes: comments, many distinct keys,
// repeated keys and long values, with the real settings only at its end so
// that every line must be read.
std::string big_settings_file(size_t bytes) {
    std::string file;
    file.reserve(bytes + 4096);
    const std::string long_value(200, 'v');
    for (size_t i = 0; file.size() < bytes; ++i) {
        file += "; note " + std::to_string(i) + " = nothing\r\n";
        file += "k" + std::to_string(i) + " = " + std::to_string(i) + "\n";
        file += "extra = " + long_value + "\r";
        file += "  KEYWORD\t=\t" + std::to_string(i % 7) + "  \r\n";
    }
    file += "mode = 2\r\nvalue = 19\r\nminsize = 80\r\n[tail]\r\nmode = 5\r\n";
    return file;
}

double seconds_to_load(const std::string& content) {
    double best = 1e9;
    for (int run = 0; run < 2; ++run) {
        test::TestApp t;
        t.platform.files["big.ini"] = content;
        const auto start = std::chrono::steady_clock::now();
        load_settings(t.ctx, "big.ini");
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count());
        EXPECT_EQ(t.ui.state(ctl::Mode), 2);
        EXPECT_EQ(t.ui.text(ctl::Value), "19");
        EXPECT_EQ(t.ui.text(ctl::MinSize), "80");
    }
    return best;
}

TEST(LargeSettingsFile, LoadsInLinearTime) {
    const std::string small = big_settings_file(5u << 20);
    const std::string large = big_settings_file(50u << 20);
    const double small_time = seconds_to_load(small);
    const double large_time = seconds_to_load(large);
    // Ten times the size: linear work takes about ten times as long, a
    // quadratic one about a hundred times.
    EXPECT_LT(large_time, 30 * std::max(small_time, 0.01)) << small_time << " s vs " << large_time << " s";
    EXPECT_LT(large_time, 30.0);
}

}  // namespace
}  // namespace tav
