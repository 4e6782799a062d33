#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "in_turns.h"

namespace tav::bench {
namespace {

TEST(InTurns, NeitherSideAlwaysRunsRightAfterTheOther) {
    std::string order;
    double program_time = 0, reference_time = 100;
    const InTurns times = time_in_turns(
        5, [&] { order += 'P'; return ++program_time; }, [&] { order += 'R'; return ++reference_time; });
    EXPECT_EQ(order, "PRRPPRRPPR");
    // Each side keeps its own timings, in the order they were taken.
    EXPECT_EQ(times.program, (std::vector<double>{1, 2, 3, 4, 5}));
    EXPECT_EQ(times.reference, (std::vector<double>{101, 102, 103, 104, 105}));
}

TEST(InTurns, TheFigureOfASideIgnoresAFewStretchedRuns) {
    EXPECT_EQ(figure_of({120, 118, 900, 119, 121}), 120);
    EXPECT_EQ(figure_of({10, 40, 20, 30}), 25);
    EXPECT_EQ(figure_of({7}), 7);
    EXPECT_EQ(figure_of({}), 0);
}

}  // namespace
}  // namespace tav::bench
