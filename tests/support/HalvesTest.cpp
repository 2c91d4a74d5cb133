#include "support/Halves.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace {

// A pass over 0..99 that stops (returns its first entry) or throws at given entries, split in halves
// at 50 as a long run is: the result must be what one pass from the start gives.
TEST(Halves, ASplitPassEndsWhereOnePassWould) {
    const int saved = std::exchange(support::longRun, 2);
    struct Case {
        int stopAt, throwAt; // -1: never
        int expected;        // -1: the pass throws, 100: it runs through
    };
    for (const bool inTurn : {false, true})
        for (const Case c : std::vector<Case>{{-1, -1, 100},
                                              {10, -1, 10},
                                              {70, -1, 70},
                                              {10, 70, 10}, // the first half stops before the second's error
                                              {70, 10, -1},
                                              {-1, 70, -1},
                                              {60, 70, 60},
                                              {70, 60, -1}}) {
            std::vector<int> seen(100, 0);
            const auto pass = [&](int first, int last) {
                for (int i = first; i <= last; ++i) {
                    seen[static_cast<std::size_t>(i)] = 1;
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
                got = support::inHalves(0, 99, pass, [](int r) { return r != 100; });
            } catch (const std::runtime_error&) {
            }
            EXPECT_EQ(got, c.expected) << c.stopAt << ' ' << c.throwAt << (inTurn ? " in turn" : "");
            if (support::twoCores()) {
                EXPECT_EQ(seen[50], 1) << "the second half ran";
            }
        }
    support::longRun = saved;
    support::halvesInTurn = false;
}

} // namespace
