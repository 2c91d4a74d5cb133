#include "support/Halves.h"
#include "store/SecondThread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>
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
                // The second half may be left unrun only when the first half's error ends the pass.
                const int split = share == 50 ? 50 : 60;
                const bool firstThrows =
                    c.throwAt >= 0 && c.throwAt < split && (c.stopAt < 0 || c.throwAt < c.stopAt);
                if (store::twoCores() && !firstThrows) {
                    EXPECT_EQ(begun[static_cast<std::size_t>(split)], 1) << "the second half began there";
                }
            }
    support::longRun = saved;
    support::halvesInTurn = false;
}

// Two callers at once, each also calling from within its other part, and a part that throws: every
// part runs exactly once, or (other, behind an own part that threw) not at all, and alongside returns
// only once other has ended.
TEST(Halves, AlongsideRunsEachPartOnceWhateverTheKeptThreadIsDoing) {
    const auto caller = [](int rounds) {
        int errors = 0;
        for (int round = 0; round < rounds; ++round) {
            std::atomic<int> own{0}, other{0}, inner{0};
            std::atomic<bool> otherRunning{false};
            const bool throws = round % 7 == 0;
            try {
                store::alongside(
                    [&] {
                        ++own;
                        if (throws)
                            throw std::runtime_error("own");
                    },
                    [&] {
                        otherRunning = true;
                        store::alongside([&] { ++inner; }, [&] { ++inner; });
                        ++other;
                        otherRunning = false;
                    });
            } catch (const std::runtime_error&) {
                ++errors;
            }
            EXPECT_EQ(own, 1);
            EXPECT_FALSE(otherRunning);
            EXPECT_TRUE(other == 1 || (throws && other == 0)) << round;
            EXPECT_EQ(inner, 2 * other);
        }
        return errors;
    };
    int errors[2] = {};
    std::thread second([&] { errors[1] = caller(3000); });
    errors[0] = caller(3000);
    second.join();
    EXPECT_EQ(errors[0], 429);
    EXPECT_EQ(errors[1], 429);
}

} // namespace
