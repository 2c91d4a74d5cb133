#pragma once

// A pass over a long run of posts split in two halves, the second on another thread, for the
// passes that run over every later post of an account after a change. Each half must work only on
// its own entries; the result is what one pass from the start would give: the first half's result
// when it stops the pass, the second half's otherwise, and an exception of the second half only
// when the first half would have let the pass reach it.

#include <algorithm>
#include <exception>
#include <optional>
#include <type_traits>
#include <utility>

#include "store/SecondThread.h"

namespace support {

// Below this many entries a thread costs more than it saves. Tests lower it to split short runs.
inline int longRun = 16384;
// Tests: the halves run in turn on the calling thread, the second first, so that a half reading what
// the other writes shows every time instead of by the threads' timing.
inline bool halvesInTurn = false;

// Whether a run of entries first..last is split in halves, and where the second half starts.
inline bool splitsInHalves(int first, int last) {
    return last - first + 1 >= std::max(longRun, 2) && store::twoCores();
}
// The second half takes secondShare percent of the run: less than half where it has work of its own
// to do first.
inline int middleOf(int first, int last, int secondShare = 50) {
    return first + static_cast<int>(static_cast<long long>(last - first + 1) * (100 - secondShare) / 100);
}

// work(from, to) handles entries from..to and returns a result; stops(result) says whether a pass
// would end there. The halves are first..middle-1 and middle..last (middleOf, the second taking
// secondShare percent).
template <class Work, class Stops>
auto inHalves(int first, int last, const Work& work, const Stops& stops, int secondShare = 50)
    -> std::invoke_result_t<const Work&, int, int> {
    using Result = std::invoke_result_t<const Work&, int, int>;
    if (!splitsInHalves(first, last))
        return work(first, last);
    const int middle = middleOf(first, last, secondShare);
    std::optional<Result> second;
    std::exception_ptr secondError;
    const auto secondHalf = [&] {
        try {
            second.emplace(work(middle, last));
        } catch (...) {
            secondError = std::current_exception();
        }
    };
    std::optional<Result> firstResult;
    const auto firstHalf = [&] { firstResult.emplace(work(first, middle - 1)); };
    if (halvesInTurn) {
        secondHalf();
        firstHalf();
    } else {
        store::alongside(firstHalf, secondHalf);
    }
    if (stops(*firstResult))
        return std::move(*firstResult);
    if (secondError)
        std::rethrow_exception(secondError);
    return std::move(*second);
}

} // namespace support
