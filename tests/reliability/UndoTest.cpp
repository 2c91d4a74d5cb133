// Every kind of operation the program has, run as its procedure runs it, is undone and made again:
// the data comes back byte for byte each way, and the data root is whole after each step.

#include "fixtures/DataRootCheck.h"
#include "fixtures/TempDrive.h"
#include "reliability/Driver.h"
#include "store/History.h"
#include "store/Paths.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;
using namespace reliability;

TEST(Undo, EveryKindOfOperationIsUndoneAndRedoneByteForByte) {
    TempDrive drive;
    Driver::makeStartData(drive.path(), 60, 3);
    store::History history{store::DataPaths(drive.path())};
    history.activate();
    // The history itself, the settings (the account of the last exit, window places) and the empty
    // files that opening a missing file leaves are no data of a change.
    const auto data = [&] {
        fixtures::DriveSnapshot s = fixtures::snapshotDrive(drive.path());
        std::erase_if(s, [](const auto& e) {
            return e.first.starts_with(".MoniData.history") || e.first == "MoniData/KontoIni" ||
                   e.first == "MoniData/PosFil" || e.second.empty();
        });
        return s;
    };
    int undone = 0;
    for (int k = 0; k < static_cast<int>(Op::Count); ++k) {
        const Op op = static_cast<Op>(k);
        SCOPED_TRACE(opName(op));
        // The first seed with which the operation changes something.
        for (std::uint64_t seed = 1; seed <= 12; ++seed) {
            const fixtures::DriveSnapshot before = data();
            const std::size_t changes = history.undoCount();
            {
                const store::ChangeScope change;
                Driver(drive.path()).run(op, seed);
            }
            const fixtures::DriveSnapshot after = data();
            if (after == before)
                continue;
            ASSERT_EQ(history.undoCount(), changes + 1) << "one procedure, one step";
            history.undo();
            EXPECT_EQ(fixtures::firstDifference(data(), before), "") << "undo, seed " << seed;
            EXPECT_TRUE(fixtures::dataRootFaults(drive.path()).empty());
            history.redo();
            EXPECT_EQ(fixtures::firstDifference(data(), after), "") << "redo, seed " << seed;
            EXPECT_TRUE(fixtures::dataRootFaults(drive.path()).empty());
            ++undone;
            break;
        }
    }
    EXPECT_EQ(undone, static_cast<int>(Op::Count)) << "an operation changed nothing with any seed";
}
