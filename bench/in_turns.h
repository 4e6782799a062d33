// Timings of the program against a reference measured in the same run, the
// two taken in turns, and the one number that compares them. Used by the
// Wine timings (bench/wine/wine_bench.cpp); kept free of the platform so
// the native unit tests check it.
#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

namespace tav::bench {

// The single timings of each side, in the order they were taken.
struct InTurns {
    std::vector<double> program;
    std::vector<double> reference;
};

// Which side runs first in a round: the program in even rounds, the
// reference in odd ones (program, reference, reference, program, ...), so
// neither side always runs right after the other, and a load that comes or
// goes on the machine during the run weighs on both alike.
constexpr bool program_runs_first(int round) { return round % 2 == 0; }

// `rounds` rounds of one program run and one reference run; each callable
// runs its side once and returns its time.
template <class ProgramRun, class ReferenceRun>
InTurns time_in_turns(int rounds, ProgramRun&& program_run, ReferenceRun&& reference_run) {
    InTurns times;
    for (int round = 0; round < rounds; ++round) {
        if (program_runs_first(round)) {
            times.program.push_back(program_run());
            times.reference.push_back(reference_run());
        } else {
            times.reference.push_back(reference_run());
            times.program.push_back(program_run());
        }
    }
    return times;
}

inline double median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// The figure of a side: its median, which the few runs that a passing load
// stretches (on either side) do not move.
inline double figure_of(const std::vector<double>& side) { return median(side); }

}  // namespace tav::bench
