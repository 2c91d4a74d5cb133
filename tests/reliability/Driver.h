#pragma once

// Random committed operations of every kind on a drive folder, run through the core as the windows
// run them: each opens the account it needs (as the main window does), changes the images, commits
// as the window does at the end of its procedure, and on a failure drops the changes as the window
// does before the failure goes on. The choices come from a seed and the data alone, so the same
// seed on the same data does the same thing in any process.

#include "store/RecordFile.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

namespace reliability {

// Every kind of operation with how often it comes up: posts are entered far more often than
// accounts are made.
// clang-format off
#define RELIABILITY_OPERATIONS(X)                                                                      \
    X(CashInsert, 12) X(CashRemove, 3) X(CashChange, 3) X(CashMove, 3) X(CashTick, 2)                  \
    X(BudgetInsert, 12) X(BudgetConfirm, 3) X(BudgetRemove, 3) X(BudgetChange, 3) X(BudgetMove, 3)     \
    X(BudgetTick, 2) X(PeriodPosting, 3)                                                               \
    X(NewMain, 2) X(RenameMain, 2) X(SignChange, 2) X(DeleteMain, 1) X(NewSub, 2) X(RenameSub, 1)      \
    X(DeleteSub, 1) X(ReplaceOne, 2) X(ReplaceAll, 1) X(NewAccount, 1) X(RemoveAccount, 1)             \
    X(RedDayInsert, 2) X(RedDayChange, 1) X(RedDayRemove, 1) X(Exclusion, 1) X(Import, 4)
// clang-format on

#define RELIABILITY_ENUMERATOR(name, weight) name,
enum class Op { RELIABILITY_OPERATIONS(RELIABILITY_ENUMERATOR) Count };
#undef RELIABILITY_ENUMERATOR

const char* opName(Op op);

inline constexpr const char* Today = "2026-06-15";

class Driver {
public:
    // checkpoint is called after every change that stands on its own: the end of each operation,
    // each month of a period posting, an account opened whose template was made.
    Driver(std::filesystem::path drive, std::function<void()> checkpoint = {});
    ~Driver();

    // The operation with the choices drawn from seed; false when the data offers it nothing to
    // work on (no account of the kind, too few posts), and nothing was written. Failures throw.
    bool run(Op op, std::uint64_t seed);
    // A random operation that applies to the data; returns its kind.
    Op runAny(std::uint64_t seed);
    // Forgets the open account: the next operation reads every file from disk.
    void close();

    // Two accounts of each kind with some posts, transactions and red days.
    static void makeStartData(const std::filesystem::path& drive, int operations, std::uint64_t seed);

private:
    struct Account;
    struct Rng;
    Account* open(Rng& rng, int kind); // kind: 0 cash, 1 budget, -1 either
    bool runOn(Op op, Rng& rng);
    bool ledgerOp(Op op, Rng& rng);
    bool catalogueOp(Op op, Rng& rng);
    bool accountOp(Op op, Rng& rng);
    bool redDayOp(Op op, Rng& rng);
    bool importOp(Rng& rng);
    void checkpoint() {
        if (checkpoint_)
            checkpoint_();
    }

    std::filesystem::path drive_;
    std::function<void()> checkpoint_;
    std::unique_ptr<Account> open_;
};

} // namespace reliability
