#include "store/History.h"
#include "accounts/RemoveAccount.h"
#include "backup/Backup.h"
#include "fixtures/AccountFiles.h"
#include "fixtures/Faults.h"
#include "fixtures/TempDrive.h"
#include "ledger/Cashbook.h"
#include "store/GroupCommit.h"
#include "store/Records.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include <unistd.h>

using namespace store;
namespace fs = std::filesystem;
using namespace std::string_literals;

namespace {

// A data root with an account and one change of every kind: a group commit that makes an
// account folder with a file, rewrites the register and removes an account's file and folder,
// then a single file replaced twice within the same change.
struct Scene {
    TempDrive drive;
    DataPaths paths{drive.path()};
    std::map<std::string, std::string> before, after;

    Scene() {
        drive.writeFile("MoniData/KontoFil", "Hush\xE5ll" + std::string(60, ' '));
        drive.writeFile("MoniData/Bil/Transakt", "Kontostart" + std::string(26, ' '));
        drive.writeFile("MoniData/Konto A/Transakt", "A" + std::string(35, ' '));
        drive.writeFile("MoniData/PosFil", "place");
        before = drive.tree("MoniData");
    }

    void change(const std::string& description = "borttaget konto Bil") {
        ChangeScope scope;
        GroupCommit group(paths.journalFolder());
        group.createFolder(drive / "MoniData/Ny\nkonto");
        group.stage(drive / "MoniData/Ny\nkonto/KontoData", "2024-01-01");
        group.stage(paths.kontoFil(), "R\xE4ttat"s + std::string(60, '\0'));
        group.remove(drive / "MoniData/Bil/Transakt");
        group.commit();
        fs::remove(drive / "MoniData/Bil");
        replaceFileAtomically(drive / "MoniData/Konto A/Transakt", "first");
        replaceFileAtomically(drive / "MoniData/Konto A/Transakt", "second");
        replaceFileAtomically(paths.posFil(), "moved"); // a window place is no data
        describeChange(description);
        after = drive.tree("MoniData");
    }
};

} // namespace

TEST(History, UndoAndRedoGiveBackEveryFileAlsoAfterARestart) {
    Scene s;
    auto history = std::make_unique<History>(s.paths);
    history->activate();
    history->setViewProvider([n = 0]() mutable { return ChangeView{"Bil", ++n}; });
    s.change();
    ASSERT_EQ(history->undoDescription(), "borttaget konto Bil");
    EXPECT_FALSE(history->redoDescription());

    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        const ChangeView view = history->undo();
        EXPECT_EQ(view.account, "Bil");
        EXPECT_EQ(view.post, 2) << "the view returns to the changed post";
        auto expected = s.before;
        expected["MoniData/PosFil"] = "moved";
        EXPECT_EQ(s.drive.tree("MoniData"), expected);
        EXPECT_EQ(history->redoDescription(), "borttaget konto Bil");
        EXPECT_FALSE(history->undoDescription());

        // A restart reads the same history.
        history = std::make_unique<History>(s.paths);
        history->activate();
        history->recover();
        EXPECT_EQ(history->redo().post, 2);
        EXPECT_EQ(s.drive.tree("MoniData"), s.after);
        EXPECT_EQ(history->undoCount(), 1u);
    }
    // A change of nothing but settings is none; a new change, also one commit made outside any
    // procedure, ends what could be redone.
    history->undo();
    {
        ChangeScope scope;
        replaceFileAtomically(s.paths.posFil(), "again");
    }
    EXPECT_EQ(history->redoCount(), 1u);
    replaceFileAtomically(s.drive / "MoniData/Konto A/Transakt", "other"); // a change of its own
    EXPECT_EQ(history->redoCount(), 0u);
    EXPECT_EQ(history->undoDescription(), "ändring");
}

// Changes one after the other (every kind alone is in the reliability tests; a restore from a
// backup only here), undone in turn back to the start and made again, each time byte for byte.
TEST(History, EveryKindOfChangeUndoneAndRedone) {
    TempDrive drive;
    const DataPaths paths(drive.path());
    const fs::path root = paths.dataRoot();
    fixtures::writeFile(root / "KontoFil",
                        fixtures::kontoRec("Kassa", "1", "Ek") + fixtures::kontoRec("Bil", "2", "Ek"));
    fixtures::writeAccount(root, "Kassa", fixtures::cashPosts(30));
    fixtures::writeAccount(root, "Bil", fixtures::cashPosts(3));
    fs::create_directories(drive / "Stick");
    const fs::path backup = backup::backUpAll(paths, drive / "Stick", "2026-12-01", "09:00:00");
    History history(paths);
    history.activate();
    const auto kontoData = [&] { return RecordFile(paths.kontoData("Kassa"), PostRec_Enkel::Length); };
    const std::vector<std::function<void()>> operations{
        [&] { // a new post
            RecordFile file = kontoData();
            ledger::Cashbook(file, 30).insert({"2026-01-05", 3, 0, Amount::parse("-9500").value()});
            file.commit();
        },
        [&] { accounts::reduceAccount(paths, 2, "Bil", false); },
        [&] { backup::restoreAll(paths, backup, "2026-12-06", "10:00:00"); },
    };
    // KontoIni, the account of the last exit, is no data; an empty file is what opening a missing
    // file leaves behind.
    const auto data = [&] {
        auto all = drive.tree("MoniData");
        std::erase_if(all, [](const auto& e) { return e.first == "MoniData/KontoIni" || e.second.empty(); });
        return all;
    };
    std::vector<std::map<std::string, std::string>> states{data()};
    for (const auto& operation : operations) {
        ChangeScope change;
        operation();
        states.push_back(data());
    }
    ASSERT_EQ(history.undoCount(), operations.size());
    for (std::size_t n = operations.size(); n-- > 0;) {
        SCOPED_TRACE(n);
        ASSERT_NE(states[n], states[n + 1]);
        history.undo();
        EXPECT_EQ(data(), states[n]);
    }
    for (std::size_t n = 0; n < operations.size(); ++n) {
        SCOPED_TRACE(n);
        history.redo();
        EXPECT_EQ(data(), states[n + 1]);
    }
}

TEST(History, KeepsTheLastFiftyChanges) {
    TempDrive drive;
    drive.writeFile("MoniData/KontoFil", "0");
    History history{DataPaths(drive.path())};
    history.activate();
    for (int n = 1; n <= 60; ++n) {
        ChangeScope scope;
        replaceFileAtomically(drive / "MoniData/KontoFil", std::to_string(n));
        describeChange("steg " + std::to_string(n));
    }
    EXPECT_EQ(history.undoCount(), 50u);
    while (history.undoDescription())
        history.undo();
    EXPECT_EQ(drive.readFile("MoniData/KontoFil"), "10");
    EXPECT_EQ(history.redoDescription(), "steg 11");
    history.recover(); // the dropped changes' folders are gone once their removal has ended
    EXPECT_EQ(drive.list(".MoniData.history").size(), 50u);
}

// A history that does not match the files is dropped without writing anything: a file edited by
// hand, a manifest naming a file outside the data root, an image swapped in the history.
TEST(History, MismatchIsNeverApplied) {
    const std::vector<std::string> cases{"edited", "outside", "image"};
    for (const std::string& kind : cases) {
        SCOPED_TRACE(kind);
        Scene s;
        s.drive.writeFile("Other/KontoFil", "not ours");
        auto history = std::make_unique<History>(s.paths);
        history->activate();
        s.change();
        const fs::path dir = history->folder() / "0000000001";
        if (kind == "edited") {
            s.drive.writeFile("MoniData/KontoFil", "by hand");
        } else if (kind == "image") {
            for (const auto& e : fs::directory_iterator(dir))
                if (e.path().filename().string().rfind("0-", 0) == 0) {
                    fs::remove(e.path());
                    s.drive.writeFile(e.path(), "swapped");
                }
        } else {
            // The same length keeps the manifest readable: KontoFil -> ../Other/KontoFil.
            std::string manifest = s.drive.readFile(dir / "manifest");
            const std::string from = "\x08"s + std::string(7, '\0') + "KontoFil";
            const auto at = manifest.find(from);
            ASSERT_NE(at, std::string::npos);
            const std::string to = "../Other/KontoFil";
            manifest.replace(at, from.size(), char(to.size()) + std::string(7, '\0') + to);
            s.drive.writeFile(dir / "manifest", manifest);
            history = std::make_unique<History>(s.paths);
            history->activate();
            history->recover();
        }
        const auto files = s.drive.tree("MoniData");
        EXPECT_THROW(history->undo(), HistoryMismatch);
        EXPECT_EQ(s.drive.tree("MoniData"), files);
        EXPECT_EQ(s.drive.readFile("Other/KontoFil"), "not ours");
        EXPECT_FALSE(history->undoDescription());
        EXPECT_FALSE(s.drive.exists(".MoniData.history"));
    }
}

// The disk fills while the images are linked, or while the files are put in place.
TEST(History, FullDiskDuringUndoLeavesEverything) {
    for (const auto& [failing, at] : {std::pair(CommitStep::Write, 2), std::pair(CommitStep::Rename, 3)}) {
        SCOPED_TRACE(at);
        Scene s;
        fixtures::FaultHook reset;
        History history(s.paths);
        history.activate();
        s.change();
        int steps = 0;
        setCommitFaultHook([&, failing = failing, at = at](CommitStep step, const fs::path&) {
            if (step == failing && ++steps == at)
                throw FileError(std::error_code(ENOSPC, std::system_category()), "disk");
        });
        EXPECT_THROW(history.undo(), FileError);
        EXPECT_EQ(s.drive.tree("MoniData"), s.after);
        setCommitFaultHook({});
        history.undo();
        EXPECT_EQ(s.drive.tree("MoniData")["MoniData/Bil/Transakt"], s.before["MoniData/Bil/Transakt"]);
    }
}

// Killed at any step of an undo (and of the recovery at the next start), the data is either all
// before or all after the undo once the next start has recovered.
TEST(History, KillDuringUndoLeavesBeforeOrAfter) {
    fixtures::FaultHook reset;
    bool finished = false;
    for (int killAt = 1; !finished && killAt < 200; ++killAt) {
        SCOPED_TRACE(killAt);
        Scene s;
        {
            History history(s.paths);
            history.activate();
            s.change();
        }
        auto undone = s.before;
        undone["MoniData/PosFil"] = "moved";
        const int code = fixtures::inChild([&] {
            History history(s.paths);
            history.recover();
            int steps = 0;
            setCommitFaultHook([&](CommitStep, const fs::path&) {
                if (++steps == killAt)
                    ::kill(::getpid(), SIGKILL);
            });
            history.undo();
        });
        ASSERT_TRUE(code == 0 || code == 128 + SIGKILL) << code;
        finished = code == 0;
        fixtures::inChild([&] {
            int steps = 0;
            setCommitFaultHook([&](CommitStep, const fs::path&) {
                if (++steps == 1 + killAt % 3)
                    ::kill(::getpid(), SIGKILL);
            });
            History(s.paths).recover();
        });
        History history(s.paths);
        history.recover();
        const auto files = s.drive.tree("MoniData");
        EXPECT_TRUE(files == s.after || files == undone);
        EXPECT_EQ(history.undoCount() + history.redoCount(), 1u);
        EXPECT_EQ(history.undoCount() == 1, files == s.after) << "the history says where the files are";
    }
    EXPECT_TRUE(finished);
}
