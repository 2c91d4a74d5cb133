#include "store/GroupCommit.h"
#include "fixtures/Faults.h"
#include "fixtures/TempDrive.h"
#include "store/Errors.h"

#include <gtest/gtest.h>

#include <map>
#include <stdexcept>
#include <string>

#include <unistd.h>

using namespace store;
namespace fs = std::filesystem;
using namespace std::string_literals;

namespace {

// A data root with an account, and a group that rewrites the register and a transaction file,
// makes a new account folder (its name holds a line feed) with a post file, and deletes a file.
struct Scene {
    TempDrive drive;
    fs::path journal = drive / ".MoniJournal";
    std::map<std::string, std::string> before, after;

    Scene() {
        drive.writeFile("MoniData/KontoFil", "Hush\xE5ll" + std::string(28, ' ') + "1234" +
                                                 std::string(26, ' ') + "EkC:\\MoniData\\  ");
        drive.writeFile("MoniData/Konto A/Transakt", "Kontostart" + std::string(26, ' '));
        drive.writeFile("MoniData/Konto A/Kategori", "Mat" + std::string(32, ' '));
        before = drive.tree();
    }

    void stageAll(GroupCommit& group, RecordFile& transakt) const {
        group.createFolder(drive / "MoniData/Ny\nkonto/Arkiv");
        group.stage(drive / "MoniData/KontoFil", "R\xE4ttat"s + std::string(76, '\0'));
        transakt.writeRaw(2, "Ins\xE4ttning" + std::string(25, ' ') + "+");
        group.stage(transakt);
        group.stage(drive / "MoniData/Ny\nkonto/KontoData", "2024-01-01");
        group.remove(drive / "MoniData/Konto A/Kategori");
    }

    std::map<std::string, std::string> expectedAfter() const {
        auto t = before;
        t["MoniData/KontoFil"] = "R\xE4ttat"s + std::string(76, '\0');
        t["MoniData/Konto A/Transakt"] += "Ins\xE4ttning" + std::string(25, ' ') + "+";
        t.erase("MoniData/Konto A/Kategori");
        t["MoniData/Ny\nkonto"] = "<folder>";
        t["MoniData/Ny\nkonto/Arkiv"] = "<folder>";
        t["MoniData/Ny\nkonto/KontoData"] = "2024-01-01";
        return t;
    }
};

} // namespace

TEST(GroupCommit, AllChangesLandTogether) {
    Scene s;
    RecordFile transakt(s.drive / "MoniData/Konto A/Transakt", 36);
    GroupCommit group(s.journal);
    s.stageAll(group, transakt);
    group.commit();
    EXPECT_FALSE(transakt.dirty());
    EXPECT_EQ(s.drive.tree(), s.expectedAfter()) << "journal and temporary files are gone too";
    EXPECT_FALSE(recoverGroupCommit(s.journal));
    EXPECT_EQ(s.drive.tree(), s.expectedAfter());
}

TEST(GroupCommit, FailureRollsEveryFileBack) {
    Scene s;
    fixtures::FaultHook reset;
    RecordFile transakt(s.drive / "MoniData/Konto A/Transakt", 36);
    GroupCommit group(s.journal);
    s.stageAll(group, transakt);

    // The new account's post file fails after the register and Transakt were replaced.
    setCommitFaultHook([&](CommitStep step, const fs::path& p) {
        if (step == CommitStep::Rename && p.filename() == "KontoData")
            throw std::runtime_error("disk gone");
    });
    EXPECT_THROW(group.commit(), std::runtime_error);
    EXPECT_EQ(s.drive.tree(), s.before);
    EXPECT_TRUE(transakt.dirty());

    // A real failure (a file below a plain file) is a FileError with the system's text.
    setCommitFaultHook({});
    GroupCommit broken(s.journal);
    broken.stage(s.drive / "MoniData/Konto A/Transakt", "changed");
    broken.createFolder(s.drive / "MoniData/Ny");
    broken.stage(s.drive / "MoniData/KontoFil/Inside", "x");
    EXPECT_EQ(fixtures::failureText([&] { broken.commit(); }), "Not a directory");
    EXPECT_EQ(s.drive.tree(), s.before);

    // The same group commits once the fault is gone.
    group.commit();
    EXPECT_EQ(s.drive.tree(), s.expectedAfter());
}

// A crash at any step of the commit (and again at a step of the recovery that follows) leaves
// either the complete old state after recovery, or, once the commit point is passed, the new one.
TEST(GroupCommit, CrashAtAnyStepIsRecovered) {
    fixtures::FaultHook reset;
    bool finished = false;
    for (int crashAt = 1; !finished && crashAt < 100; ++crashAt) {
        SCOPED_TRACE(crashAt);
        Scene s;
        const int code = fixtures::inChild([&] {
            int steps = 0;
            setCommitFaultHook([&](CommitStep, const fs::path&) {
                if (++steps == crashAt)
                    ::_exit(7);
            });
            RecordFile transakt(s.drive / "MoniData/Konto A/Transakt", 36);
            GroupCommit group(s.journal);
            s.stageAll(group, transakt);
            group.commit();
        });
        ASSERT_TRUE(code == 0 || code == 7) << code;
        finished = code == 0;

        const int recoveryCode = fixtures::inChild([&] {
            int steps = 0;
            setCommitFaultHook([&](CommitStep, const fs::path&) {
                if (++steps == 1 + crashAt % 4)
                    ::_exit(7);
            });
            recoverGroupCommit(s.journal);
        });
        ASSERT_TRUE(recoveryCode == 0 || recoveryCode == 7) << recoveryCode;
        recoverGroupCommit(s.journal);

        EXPECT_EQ(s.drive.tree(), finished ? s.expectedAfter() : s.before);
    }
    EXPECT_TRUE(finished) << "the commit never ran to its end";
}

TEST(GroupCommit, DamagedOrPartialJournal) {
    Scene s;
    // Cut while the journal was being written: nothing outside it changed, it is just cleared.
    s.drive.writeFile(".MoniJournal/copy-0", "half");
    s.drive.writeFile(".MoniJournal/.manifest.tmp-99999", "half");
    EXPECT_FALSE(recoverGroupCommit(s.journal));
    EXPECT_EQ(s.drive.tree(), s.before);

    // A manifest that does not decode is reported and kept; no file is touched.
    s.drive.writeFile(".MoniJournal/manifest", "MONIVA-GROUP-JOURNAL-1\x05");
    EXPECT_THROW(recoverGroupCommit(s.journal), DataError);
    EXPECT_TRUE(s.drive.exists(".MoniJournal/manifest"));
    fs::remove_all(s.journal);
    EXPECT_EQ(s.drive.tree(), s.before);
}

namespace {

// A manifest as a commit writes it, naming one entry: 'F' (an original to put back from copy-0),
// 'A' (a file to remove again) or 'D' (a folder to remove again).
std::string manifestNaming(char kind, const std::string& path, const std::string& copy = {}) {
    const auto number = [](std::uint64_t n) {
        std::string out;
        for (int i = 0; i < 8; ++i)
            out.push_back(static_cast<char>((n >> (8 * i)) & 0xFF));
        return out;
    };
    std::string m = "MONIVA-GROUP-JOURNAL-1" + number(1) + kind + number(path.size()) + path;
    if (kind == 'F')
        m += number(6) + "copy-0" + number(copy.size());
    return m + "END";
}

} // namespace

// A manifest edited by hand or brought from elsewhere must not make start-up write or delete
// anything outside the data root beside the journal, however the path is spelt.
TEST(GroupCommit, RecoveryRefusesPathsOutsideTheDataRoot) {
    Scene s;
    s.drive.writeFile("victim", "keep me");
    fs::create_directories(s.drive / "elsewhere");
    s.drive.writeFile("elsewhere/victim", "keep me too");
    fs::create_directory_symlink(s.drive / "elsewhere", s.drive / "MoniData/link");
    const auto before = s.drive.tree();

    const std::string drive = s.drive.path().string();
    const struct {
        char kind;
        std::string path;
    } hostile[] = {
        {'F', drive + "/victim"},
        {'F', drive + "/MoniData/../victim"},
        {'F', drive + "/MoniData/link/victim"},
        {'A', drive + "/victim"},
        {'A', drive + "/MoniData"},
        {'D', drive + "/elsewhere"},
        {'F', "MoniData/KontoFil"},
    };
    for (const auto& h : hostile) {
        s.drive.writeFile(".MoniJournal/copy-0", "evil");
        s.drive.writeFile(".MoniJournal/manifest", manifestNaming(h.kind, h.path, "evil"));
        const auto journal = s.drive.tree();
        EXPECT_THROW(recoverGroupCommit(s.journal), DataError) << h.kind << " " << h.path;
        EXPECT_EQ(s.drive.tree(), journal) << "nothing touched, the journal kept: " << h.path;
        GroupCommit later(s.journal);
        later.stage(s.drive / "MoniData/KontoFil", "x");
        EXPECT_THROW(later.commit(), DataError) << "a later commit refuses too";
        EXPECT_EQ(s.drive.tree(), journal);
        fs::remove_all(s.journal);
    }
    EXPECT_EQ(s.drive.tree(), before);

    // The same manifest naming a file inside the data root is put back.
    s.drive.writeFile(".MoniJournal/copy-0", "original");
    s.drive.writeFile(".MoniJournal/manifest", manifestNaming('F', drive + "/MoniData/KontoFil", "original"));
    EXPECT_TRUE(recoverGroupCommit(s.journal));
    EXPECT_EQ(s.drive.readFile("MoniData/KontoFil"), "original");
}

// A drive folder someone else prepared: a link named like the journal or like anything in it is
// never followed, and only the journal's own regular files are ever removed.
TEST(GroupCommit, LinksAsOrInTheJournalAreNeverFollowed) {
    const struct {
        const char* layout;
        bool refused; // recovery refuses, naming the journal
    } cases[] = {
        {"journal-link", true}, {"manifest-link", true}, {"foreign-entries", false}, {"copy-link", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.layout);
        Scene s;
        s.drive.writeFile("victim/copy-0", "thesis");
        s.drive.writeFile("victim/manifest", manifestNaming('A', (s.drive / "MoniData/KontoFil").string()));
        s.drive.writeFile("victim/copy-of-thesis.odt", "thesis");
        const std::string layout = c.layout;
        if (layout == "journal-link") {
            fs::create_directory_symlink(s.drive / "victim", s.journal);
        } else {
            fs::create_directories(s.journal);
            if (layout == "manifest-link")
                fs::create_symlink(s.drive / "victim/manifest", s.journal / "manifest");
            if (layout == "foreign-entries") {
                fs::create_symlink(s.drive / "victim/copy-0", s.journal / "copy-0");
                fs::create_symlink(s.drive / "victim/manifest", s.journal / ".manifest.tmp-7");
                s.drive.writeFile(".MoniJournal/copy-1/inside", "not ours");
                s.drive.writeFile(".MoniJournal/copy-2", "ours");
            }
            if (layout == "copy-link") {
                fs::create_symlink(s.drive / "victim/copy-0", s.journal / "copy-0");
                s.drive.writeFile(".MoniJournal/manifest",
                                  manifestNaming('F', (s.drive / "MoniData/KontoFil").string(), "thesis"));
            }
        }
        auto expected = s.drive.tree();
        expected.erase(".MoniJournal/copy-2");
        if (c.refused)
            EXPECT_EQ(
                fixtures::failureText([&] { recoverGroupCommit(s.journal); }).rfind("other: Journal", 0), 0u);
        else
            EXPECT_FALSE(recoverGroupCommit(s.journal));
        EXPECT_EQ(s.drive.tree(), expected) << "nothing followed, only the journal's own file removed";

        // Nor does a commit write through them or remove them.
        GroupCommit group(s.journal);
        group.stage(s.drive / "MoniData/KontoFil", "x");
        group.stage(s.drive / "MoniData/Konto A/Transakt", "y");
        EXPECT_THROW(group.commit(), DataError);
        EXPECT_EQ(s.drive.tree(), expected);
    }
}
