#include "accounts/RemoveAccount.h"

#include "accounts/NewAccount.h"
#include "accounts/Register.h"
#include "fixtures/AccountFiles.h"
#include "fixtures/Faults.h"
#include "fixtures/TempDrive.h"
#include "fixtures/Unprivileged.h"
#include "store/Errors.h"
#include "store/Paths.h"
#include "store/RecordFile.h"
#include "store/Records.h"

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;
using accounts::InUseFile;
using accounts::RemovalResult;
using fixtures::kontoRec;

const std::string Blanks35(35, ' ');

class RemoveAccountTest : public ::testing::Test {
protected:
    TempDrive drive;
    store::DataPaths paths{drive.path()};
    fs::path root = paths.dataRoot();

    std::string read(const fs::path& relative) const {
        return drive.readFile(fs::path("MoniData") / relative);
    }
    void writeRegister(const std::string& bytes) const { drive.writeFile("MoniData/KontoFil", bytes); }
    // Files outside the data root that a removal must never reach.
    void writeSentinels() const {
        for (const char* file : {"KontoData", "Transakt", "Kategori", "B-mall", "keep.txt"}) {
            drive.writeFile(fs::path("Outside") / file, std::string("outside ") + file);
            drive.writeFile(file, std::string("drive ") + file);
        }
    }
};

TEST_F(RemoveAccountTest, MiddleOfThreeLeavesAFreedSlotThatTheNextAccountTakes) {
    const std::string first = kontoRec("Mat", "111", "Ek");
    // Removing keeps number, kind and place; the name goes, the hint flag byte with it.
    const std::string second = kontoRec("Hush\xE5ll\x06", "5000-12 34", "Bg", "/home/a/MoniDat");
    const std::string third = kontoRec("Spar", "333", "Ek");
    writeRegister(first + second + third);
    drive.writeFile("MoniData/KontoIni", "2\r\nAnna\r\n");
    fixtures::writeAccount(root, "Mat", fixtures::cashPosts(4));
    fixtures::writeAccount(root, "Spar", fixtures::cashPosts(2));
    fixtures::writeAccount(root, "Hushåll", fixtures::budgetPosts(6));
    drive.writeFile("MoniData/Hushåll/B-mall", std::string(36, 'm'));
    // Whatever else the folder holds goes with it.
    drive.writeFile("MoniData/Hushåll/.KontoData.tmp-99999", "half a save");
    drive.writeFile("MoniData/Hushåll/gammalt/djupare/anteckning.txt", "x");
    const auto others = drive.tree("MoniData/Mat");

    EXPECT_EQ(accounts::reduceAccount(paths, 2, "Hush\xE5ll", false), RemovalResult::NameBlanked);

    EXPECT_EQ(read("KontoFil"), first + Blanks35 + second.substr(35) + third);
    EXPECT_EQ(drive.list("MoniData"), (std::vector<std::string>{"KontoFil", "KontoIni", "Mat", "Spar"}));
    EXPECT_EQ(drive.tree("MoniData/Mat"), others);
    EXPECT_EQ(read("KontoIni"), "2\r\nAnna\r\n");
    EXPECT_EQ(drive.list(), std::vector<std::string>{"MoniData"}); // no journal left behind

    {
        const store::RecordFile kontoFil(paths.kontoFil(), store::KontoRec::Length);
        EXPECT_EQ(accounts::findFreeSlot(kontoFil), 2);
        const auto listed = accounts::listAccounts(kontoFil);
        ASSERT_EQ(listed.size(), 2u);
        EXPECT_EQ(listed[0].name, "Mat");
        EXPECT_EQ(listed[1].name, "Spar");
    }
    EXPECT_EQ(accounts::createAccount(paths, {"Ny", "9", "Ek"}, "2024-05-01", "Anna"), 2);
    EXPECT_EQ(read("KontoFil").size(), 3u * 82u);
    EXPECT_EQ(read("KontoFil").substr(82, 67), fixtures::field("Ny", 35) + fixtures::field("9", 30) + "Ek");
    // The name of the removed account is free for a new one too.
    EXPECT_EQ(accounts::createAccount(paths, {"Hushåll", "", "Bg"}, "2024-05-01", "Anna"), 4);
}

TEST_F(RemoveAccountTest, LastAccountDeletesTheRegisterUnlessItStillNamesAnother) {
    writeRegister(kontoRec("Ensam", "1", "Ek") + kontoRec("", "gammalt", "Bg"));
    drive.writeFile("MoniData/KontoIni", "1\r\nAnna\r\n");
    fixtures::writeAccount(root, "Ensam", fixtures::cashPosts(3));

    EXPECT_EQ(accounts::reduceAccount(paths, 1, "Ensam", true), RemovalResult::RegisterDeleted);
    EXPECT_EQ(drive.list("MoniData"), std::vector<std::string>{"KontoIni"});
    EXPECT_EQ(drive.list(), std::vector<std::string>{"MoniData"});

    // A caller whose list is out of date never deletes the name of another account.
    const std::string other = kontoRec("Annat", "2", "Ek");
    writeRegister(kontoRec("Ensam", "1", "Ek") + other);
    fixtures::writeAccount(root, "Ensam", fixtures::cashPosts(3));
    EXPECT_EQ(accounts::reduceAccount(paths, 1, "Ensam", true), RemovalResult::NameBlanked);
    EXPECT_EQ(read("KontoFil"), Blanks35 + kontoRec("Ensam", "1", "Ek").substr(35) + other);
    EXPECT_FALSE(drive.exists("MoniData/Ensam"));

    // An account whose folder is already gone still leaves the register.
    EXPECT_EQ(accounts::reduceAccount(paths, 2, "Annat", true), RemovalResult::RegisterDeleted);
    EXPECT_FALSE(drive.exists("MoniData/KontoFil"));
}

TEST_F(RemoveAccountTest, RefusesARecordThatNamesAnotherAccountBeforeTouchingAnything) {
    writeRegister(kontoRec("Mat", "1", "Ek") + kontoRec("Spar", "2", "Ek"));
    fixtures::writeAccount(root, "Mat", fixtures::cashPosts(2));
    fixtures::writeAccount(root, "Spar", fixtures::cashPosts(2));
    const auto before = drive.tree();

    EXPECT_THROW(accounts::reduceAccount(paths, 2, "Mat", false), store::DataError);
    EXPECT_THROW(accounts::reduceAccount(paths, 3, "Mat", false), store::DataError);
    EXPECT_THROW(accounts::reduceAccount(paths, 0, "Mat", false), store::DataError);
    // The name as the register holds it (Windows-1252), not as it is shown.
    writeRegister(kontoRec("Hush\xE5ll", "1", "Ek"));
    EXPECT_THROW(accounts::reduceAccount(paths, 1, "Hushåll", true), store::DataError);
    writeRegister(kontoRec("Mat", "1", "Ek") + kontoRec("Spar", "2", "Ek"));
    EXPECT_EQ(drive.tree(), before);
}

TEST_F(RemoveAccountTest, RegisterNameGoesOnlyWhenTheAccountHoldsNoData) {
    const std::string mat = kontoRec("Mat\x06", "1", "Ek", "D:\\MoniData\\");
    const std::string spar = kontoRec("Spar", "2", "Bg");
    writeRegister(mat + spar);
    fixtures::writeAccount(root, "Mat", fixtures::cashPosts(2));
    auto before = drive.tree();

    EXPECT_EQ(accounts::removeRegisterName(paths, 1), InUseFile::Transakt);
    EXPECT_EQ(drive.tree(), before);

    drive.writeFile("MoniData/Mat/Transakt", "");
    before = drive.tree();
    const auto inUse = accounts::filesInUse(paths, "Mat");
    EXPECT_FALSE(inUse.transakt);
    EXPECT_TRUE(inUse.kontoData);
    EXPECT_EQ(accounts::removeRegisterName(paths, 1), InUseFile::KontoData);
    EXPECT_EQ(drive.tree(), before);

    // Empty files hold no data.
    drive.writeFile("MoniData/Mat/KontoData", "");
    EXPECT_EQ(accounts::removeRegisterName(paths, 1), std::nullopt);
    EXPECT_EQ(read("KontoFil"), Blanks35 + mat.substr(35) + spar);
    EXPECT_EQ(read("Mat/KontoData"), ""); // only the register is changed

    // The folder was deleted outside the program: the name goes.
    EXPECT_EQ(accounts::removeRegisterName(paths, 2), std::nullopt);
    EXPECT_EQ(read("KontoFil"), Blanks35 + mat.substr(35) + Blanks35 + spar.substr(35));

    EXPECT_THROW(accounts::removeRegisterName(paths, 3), store::DataError);
    fs::remove(paths.kontoFil());
    EXPECT_THROW(accounts::removeRegisterName(paths, 1), store::FileError);
}

TEST_F(RemoveAccountTest, HostileNamesNeverReachOutsideTheDataRoot) {
    writeSentinels();
    drive.writeFile("MoniData/a/b/KontoData", "inside, but no account folder");
    drive.writeFile("MoniData/KontoIni", "1\r\nAnna\r\n");
    const std::string hostile[] = {"..", "../x", "a/b", "/tmp", "a\x01z", ".", "KontoFil", "kontoini"};
    for (const std::string& name : hostile) {
        const std::string other = kontoRec("Mat", "", "Ek");
        writeRegister(kontoRec(name, "", "Ek") + other);
        const auto before = drive.tree();
        EXPECT_THROW(accounts::reduceAccount(paths, 1, name, false), store::DataError) << name;
        EXPECT_THROW(accounts::reduceAccount(paths, 1, name, true), store::DataError) << name;
        EXPECT_EQ(drive.tree(), before) << name;

        // Such a name can have no files, so it may leave the register; only KontoFil changes.
        EXPECT_FALSE(accounts::filesInUse(paths, name).transakt) << name;
        EXPECT_EQ(accounts::removeRegisterName(paths, 1), std::nullopt) << name;
        auto expected = before;
        expected["MoniData/KontoFil"] = Blanks35 + kontoRec(name, "", "Ek").substr(35) + other;
        EXPECT_EQ(drive.tree(), expected) << name;
    }
}

TEST_F(RemoveAccountTest, SymbolicLinksAreRemovedAsLinksNeverFollowed) {
    writeSentinels();
    const auto outside = drive.tree("Outside");
    writeRegister(kontoRec("L\xE4nk", "", "Ek") + kontoRec("Mat", "", "Ek") + kontoRec("Spar", "", "Ek"));
    fs::create_directories(root);
    // An account folder that is a link out of the drive folder, with account files behind it.
    fs::create_directory_symlink(drive / "Outside", root / "Länk");
    // A real account folder whose files and sub-folder are links out.
    drive.writeFile("MoniData/Mat/Kategori", "");
    fs::create_symlink(drive / "Outside/KontoData", root / "Mat/KontoData");
    fs::create_symlink(drive / "Outside/Transakt", root / "Mat/Transakt");
    fs::create_directory_symlink(drive / "Outside", root / "Mat/B-mall");
    fs::create_directory_symlink(drive / "Outside", root / "Mat/ut");

    // The account opens through the link, so its files count as in use.
    EXPECT_TRUE(accounts::filesInUse(paths, "L\xE4nk").transakt);

    EXPECT_EQ(accounts::reduceAccount(paths, 1, "L\xE4nk", false), RemovalResult::NameBlanked);
    EXPECT_EQ(accounts::reduceAccount(paths, 2, "Mat", false), RemovalResult::NameBlanked);
    EXPECT_EQ(drive.list("MoniData"), std::vector<std::string>{"KontoFil"});
    EXPECT_EQ(drive.tree("Outside"), outside);
    EXPECT_EQ(drive.readFile("KontoData"), "drive KontoData");
    EXPECT_EQ(read("KontoFil").substr(0, 35), Blanks35);
    EXPECT_EQ(read("KontoFil").substr(82, 35), Blanks35);
}

TEST_F(RemoveAccountTest, FailedCommitLeavesEveryFileAsItWas) {
    const store::CommitStep steps[] = {store::CommitStep::OpenTemp, store::CommitStep::Write,
                                       store::CommitStep::Fsync, store::CommitStep::Rename,
                                       store::CommitStep::SyncFolder};
    for (const bool last : {false, true}) {
        for (const store::CommitStep failing : steps) {
            writeRegister(last ? kontoRec("Budget", "2", "Bg")
                               : kontoRec("Mat", "1", "Ek") + kontoRec("Budget", "2", "Bg"));
            fixtures::writeAccount(root, "Budget", fixtures::budgetPosts(5));
            drive.writeFile("MoniData/Budget/B-mall", std::string(18 * 3, 'b'));
            drive.writeFile("MoniData/Budget/Importregler", std::string(48, 'r'));
            drive.writeFile("MoniData/Budget/Importlogg", std::string(113, 'l'));
            const auto before = drive.tree();
            // The register's replacement fails (a blanked name: its folder is synced once for all
            // the files renamed into it); when the register is deleted instead, saving the
            // manifest of the journal fails.
            const fs::path target = last ? drive / ".MoniData.journal/manifest"
                                    : failing == store::CommitStep::SyncFolder
                                        ? paths.kontoFil().parent_path()
                                        : paths.kontoFil();
            bool failed = false;
            {
                fixtures::FaultHook hook([&](store::CommitStep step, const fs::path& file) {
                    if (!failed && step == failing && file == target) {
                        failed = true;
                        throw store::FileError("Input/output error", file.string());
                    }
                });
                EXPECT_THROW(accounts::reduceAccount(paths, last ? 1 : 2, "Budget", last), store::FileError);
            }
            EXPECT_TRUE(failed);
            EXPECT_EQ(drive.tree(), before) << last << " " << static_cast<int>(failing);

            // Nothing blocks the next attempt.
            EXPECT_EQ(accounts::reduceAccount(paths, last ? 1 : 2, "Budget", last),
                      last ? RemovalResult::RegisterDeleted : RemovalResult::NameBlanked);
            EXPECT_FALSE(drive.exists("MoniData/Budget"));
        }
    }
}

TEST_F(RemoveAccountTest, LeftOverThatCannotBeDeletedLeavesTheAccountWhole) {
    writeRegister(kontoRec("Mat", "1", "Ek") + kontoRec("Spar", "2", "Ek"));
    fixtures::writeAccount(root, "Mat", fixtures::cashPosts(3));
    drive.writeFile("MoniData/Mat/skyddat/fil", "x");
    fs::permissions(root / "Mat/skyddat", fs::perms::owner_write, fs::perm_options::remove);
    const auto before = drive.tree();

    const auto r = fixtures::asUnprivileged(drive.path(), [&] {
        return fixtures::failureText([&] { accounts::reduceAccount(paths, 1, "Mat", false); });
    });
    ASSERT_TRUE(r.ran) << r.output;
    EXPECT_EQ(r.output, "Permission denied");
    EXPECT_EQ(drive.tree(), before);
    fs::permissions(root / "Mat/skyddat", fs::perms::owner_write, fs::perm_options::add);
}

} // namespace
