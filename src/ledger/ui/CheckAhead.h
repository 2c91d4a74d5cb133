#pragma once

// The balance check that follows a change, started beside the save of the post file: the save and
// the check only read the file's image, so the check of a long account costs the user no time of
// its own while the disk takes the file.

#include <functional>
#include <future>
#include <optional>
#include <system_error>
#include <utility>

namespace ledger {

template <class Fault> class CheckAhead {
public:
    using Check = std::function<std::optional<Fault>()>;

    CheckAhead() = default;
    CheckAhead(const CheckAhead&) = delete;
    CheckAhead& operator=(const CheckAhead&) = delete;
    ~CheckAhead() { forget(); }

    // Starts `check`, the check of an account of `postCount` posts from post `from`.
    void start(Check check, int postCount, int from) {
        forget();
        try {
            result_ = std::async(std::launch::async, std::move(check));
            postCount_ = postCount;
            from_ = from;
        } catch (const std::system_error&) {
            // No thread to be had: the check runs when its result is asked for.
        }
    }

    // Waits for a started check and drops its result: the image is about to change.
    void forget() {
        if (result_.valid()) {
            result_.wait();
            result_ = {};
        }
    }

    // The fault of the account as it stands with `postCount` posts, checked from `from`: the
    // result of the check started for exactly that, or else `check` run now. A check that failed
    // throws here, as checking now would.
    std::optional<Fault> take(int postCount, int from, const Check& check) {
        if (result_.valid() && postCount == postCount_ && from == from_)
            return std::exchange(result_, {}).get();
        forget();
        return check();
    }

private:
    std::future<std::optional<Fault>> result_;
    int postCount_ = 0;
    int from_ = 0;
};

} // namespace ledger
