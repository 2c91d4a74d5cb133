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

enum class Op {
    CashInsert,
    CashRemove,
    CashChange,
    CashMove,
    CashTick,
    BudgetInsert,
    BudgetConfirm,
    BudgetRemove,
    BudgetChange,
    BudgetMove,
    BudgetTick,
    PeriodPosting,
    NewMain,
    RenameMain,
    SignChange,
    DeleteMain,
    NewSub,
    RenameSub,
    DeleteSub,
    ReplaceOne,
    ReplaceAll,
    NewAccount,
    RemoveAccount,
    RedDayInsert,
    RedDayChange,
    RedDayRemove,
    Exclusion,
    Count
};
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
    void checkpoint() {
        if (checkpoint_)
            checkpoint_();
    }

    std::filesystem::path drive_;
    std::function<void()> checkpoint_;
    std::unique_ptr<Account> open_;
};

} // namespace reliability
