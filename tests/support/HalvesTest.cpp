#include "support/Halves.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace {

// A pass over 0..99 that stops (returns its first entry) or throws at given entries, split in halves
// at 50 as a long run is, or at 60 where the second half takes 40 %: the result must be what one pass
// from the start gives.
TEST(Halves, ASplitPassEndsWhereOnePassWould) {
    const int saved = std::exchange(support::longRun, 2);
    struct Case {
        int stopAt, throwAt; // -1: never
        int expected;        // -1: the pass throws, 100: it runs through
    };
    for (const int share : {50, 40})
        for (const bool inTurn : {false, true})
            for (const Case c :
                 std::vector<Case>{{-1, -1, 100},
                                   {10, -1, 10},
                                   {70, -1, 70},
                                   {10, 70, 10}, // the first half stops before the second's error
                                   {70, 10, -1},
                                   {-1, 70, -1},
                                   {60, 70, 60},
                                   {70, 60, -1}}) {
                std::vector<int> begun(100, 0); // each half writes only its own first entry
                const auto pass = [&](int first, int last) {
                    begun[static_cast<std::size_t>(first)] = 1;
                    for (int i = first; i <= last; ++i) {
                        if (i == c.throwAt)
                            throw std::runtime_error("no number");
                        if (i == c.stopAt)
                            return i;
                    }
                    return 100;
                };
                int got = -1;
                support::halvesInTurn = inTurn;
                try {
                    got = support::inHalves(
                        0, 99, pass, [](int r) { return r != 100; }, share);
                } catch (const std::runtime_error&) {
                }
                EXPECT_EQ(got, c.expected)
                    << c.stopAt << ' ' << c.throwAt << (inTurn ? " in turn" : "") << ' ' << share;
                if (support::twoCores()) {
                    EXPECT_EQ(begun[share == 50 ? 50 : 60], 1) << "the second half began there";
                }
            }
    support::longRun = saved;
    support::halvesInTurn = false;
}

} // namespace
