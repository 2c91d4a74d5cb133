#include "store/History.h"
#include "accounts/RemoveAccount.h"
#include "backup/Backup.h"
#include "fixtures/AccountFiles.h"
#include "fixtures/Faults.h"
#include "fixtures/TempDrive.h"
#include "fixtures/Unprivileged.h"
#include "ledger/Cashbook.h"
#include "store/GroupCommit.h"
#include "store/Records.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include <sys/mount.h>
#include <sys/stat.h>
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

    // linked: MoniData is a link to a folder elsewhere, as the data root may be.
    explicit Scene(bool linked = false) {
        if (linked) {
            fs::create_directories(drive / "Disk/MoniData");
            fs::create_directory_symlink(drive / "Disk/MoniData", drive / "MoniData");
        }
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

// The history lives beside the resolved data root; where the data lies on another file system than
// the history (an account folder mounted from elsewhere) the swaps copy, and undo, redo and a
// restart still give back every file.
TEST(History, BesideALinkedDataRootAndAcrossFileSystems) {
    for (const bool linked : {true, false}) {
        SCOPED_TRACE(linked);
        Scene s(linked);
        History::simulateOtherFileSystem(!linked);
        auto history = std::make_unique<History>(s.paths);
        history->activate();
        s.change();
        EXPECT_EQ(history->folder(),
                  linked ? s.drive / "Disk/.MoniData.history" : s.drive / ".MoniData.history");
        EXPECT_EQ(s.drive.exists(".MoniData.history"), !linked);
        auto undone = s.before;
        undone["MoniData/PosFil"] = "moved";
        history->undo();
        EXPECT_EQ(s.drive.tree("MoniData"), undone);
        history->redo();
        EXPECT_EQ(s.drive.tree("MoniData"), s.after);
        history = std::make_unique<History>(s.paths);
        history->activate();
        history->recover();
        history->undo();
        EXPECT_EQ(s.drive.tree("MoniData"), undone);
        History::simulateOtherFileSystem(false);
    }
}

// The same on real file systems where this process may mount them: a data root that is a disk of
// its own has no history (said, nothing made on the other disk); an account folder mounted from
// elsewhere is undone and redone by copying.
TEST(History, OnMountedFileSystems) {
    TempDrive drive;
    struct Mounts {
        std::vector<fs::path> at;
        ~Mounts() {
            for (auto p = at.rbegin(); p != at.rend(); ++p)
                ::umount2(p->c_str(), MNT_DETACH);
        }
        bool add(const fs::path& p) {
            fs::create_directories(p);
            if (::mount("tmpfs", p.c_str(), "tmpfs", 0, "size=1m") != 0)
                return false;
            at.push_back(p);
            return true;
        }
    } mounts;
    if (!mounts.add(drive / "A/MoniData") || !mounts.add(drive / "B/MoniData/Bil"))
        GTEST_SKIP() << "no tmpfs can be mounted here";
    History alone(DataPaths(drive / "A"));
    alone.activate();
    alone.recover();
    EXPECT_NE(alone.unavailable().value_or("").find("kan inte ligga på samma disk"), std::string::npos);
    replaceFileAtomically(drive / "A/MoniData/KontoFil", "saved");
    EXPECT_FALSE(drive.exists("A/.MoniData.history"));

    drive.writeFile("B/MoniData/Bil/Transakt", "before");
    History history(DataPaths(drive / "B"));
    history.activate();
    replaceFileAtomically(drive / "B/MoniData/Bil/Transakt", "after");
    history.undo();
    EXPECT_EQ(drive.readFile("B/MoniData/Bil/Transakt"), "before");
    history.redo();
    EXPECT_EQ(drive.readFile("B/MoniData/Bil/Transakt"), "after");
}

// Links in the history's place or among its entries (a stick someone else prepared) are neither
// followed nor removed: with a link as the history nothing is recorded; links and foreign files
// among the entries stay where they are, and the history works around them.
TEST(History, LinksInAndAsTheHistoryAreLeftAlone) {
    for (const bool folderIsLink : {true, false}) {
        SCOPED_TRACE(folderIsLink);
        Scene s;
        s.drive.writeFile("victim/1700000000/manifest", "thesis");
        s.drive.writeFile("victim/pending-upload/a", "a");
        s.drive.writeFile("victim/doc", "doc");
        const fs::path h = s.drive / ".MoniData.history";
        if (folderIsLink) {
            fs::create_directory_symlink(s.drive / "victim", h);
        } else {
            fs::create_directories(h / "pending-7");
            fs::create_directories(h / "0000000003");
            for (const auto& [name, target] :
                 {std::pair("pending-1", "victim/pending-upload"), std::pair("drop-0000000001", "victim"),
                  std::pair("0000000002", "victim/1700000000"),
                  std::pair("0000000003/manifest", "victim/doc"),
                  std::pair("pending-7/manifest", "victim/doc")})
                fs::create_symlink(s.drive / target, h / name);
            s.drive.writeFile(h / "pending-7/notes", "not ours");
        }
        const auto outside = s.drive.tree("victim");
        const auto history = s.drive.tree(".MoniData.history");
        History h1(s.paths);
        h1.activate();
        h1.recover();
        EXPECT_EQ(h1.unavailable().has_value(), folderIsLink);
        s.change();
        EXPECT_EQ(s.drive.tree("MoniData"), s.after) << "saved as always";
        EXPECT_EQ(h1.undoCount(), folderIsLink ? 0u : 1u);
        if (!folderIsLink) {
            h1.undo();
            h1.redo();
            h1.discard();
            EXPECT_EQ(s.drive.tree("MoniData"), s.after);
        }
        EXPECT_EQ(s.drive.tree("victim"), outside);
        auto left = s.drive.tree(".MoniData.history");
        if (!folderIsLink)
            std::erase_if(left, [&](const auto& e) { return !history.count(e.first); });
        EXPECT_EQ(left, history) << "nothing the history did not write is removed";
    }
}

// On a nearly full disk the history gives up its oldest changes before a save that would not
// leave a margin free; the saves never fail for its sake and the newest change can be undone.
TEST(History, KeepsAMarginOfFreeSpace) {
    TempDrive drive;
    const std::uint64_t total = 1000 << 10;
    // A disk of that size holding every file of the drive once, however many names it has.
    const auto used = [&] {
        std::uint64_t bytes = 0;
        std::vector<ino_t> seen;
        for (const auto& e : fs::recursive_directory_iterator(drive.path())) {
            struct stat st {};
            if (::lstat(e.path().c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
                std::find(seen.begin(), seen.end(), st.st_ino) == seen.end()) {
                seen.push_back(st.st_ino);
                bytes += static_cast<std::uint64_t>(st.st_size);
            }
        }
        return bytes;
    };
    History::setSpaceProbe([&](const fs::path&) {
        return History::Space{total - std::min(total, used()), total};
    });
    drive.writeFile("MoniData/Bil/KontoData", std::string(300 << 10, '0'));
    History history{DataPaths(drive.path())};
    history.activate();
    for (char n = '1'; n <= '5'; ++n) {
        SCOPED_TRACE(n);
        {
            ChangeScope scope;
            replaceFileAtomically(drive / "MoniData/Bil/KontoData", std::string(300 << 10, n));
        }
        EXPECT_LE(used(), total);
        EXPECT_GE(history.undoCount(), 1u);
    }
    history.undo();
    EXPECT_EQ(drive.readFile("MoniData/Bil/KontoData"), std::string(300 << 10, '4'));
    History::setSpaceProbe({});
}

// A history that cannot be written is said to be so at the start and offers nothing; saving goes
// on as always and the history is left as it was.
TEST(History, ReadOnlyHistoryOffersNothing) {
    Scene s;
    {
        History history(s.paths);
        history.activate();
        s.change();
    }
    ::chmod((s.drive / ".MoniData.history").c_str(), 0555);
    const auto kept = s.drive.tree(".MoniData.history");
    const fixtures::Unprivileged run = fixtures::asUnprivileged(s.drive.path(), [&] {
        History history(s.paths);
        history.activate();
        history.recover(); // told at once, not first at the first change
        const std::string atStart =
            history.unavailable().value_or("none") + "|" + std::to_string(history.undoCount());
        replaceFileAtomically(s.drive / "MoniData/KontoFil", "saved");
        return atStart + "|" + std::to_string(history.undoCount());
    });
    ASSERT_TRUE(run.ran) << run.output;
    EXPECT_NE(run.output.find("kan inte skrivas (Permission denied)"), std::string::npos) << run.output;
    EXPECT_TRUE(run.output.ends_with("|0|0")) << run.output;
    EXPECT_EQ(s.drive.readFile("MoniData/KontoFil"), "saved");
    EXPECT_EQ(s.drive.tree(".MoniData.history"), kept);
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
// Also where the files must be copied between file systems.
TEST(History, KillDuringUndoLeavesBeforeOrAfter) {
    fixtures::FaultHook reset;
    for (const bool other : {false, true}) {
        History::simulateOtherFileSystem(other);
        bool finished = false;
        for (int killAt = 1; !finished && killAt < 200; ++killAt) {
            SCOPED_TRACE(killAt + 1000 * other);
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
    History::simulateOtherFileSystem(false);
}
