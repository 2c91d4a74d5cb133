#include "statements/Apply.h"

#include "budget/BudgetTemplate.h"
#include "fixtures/AccountFiles.h"
#include "fixtures/TempDrive.h"
#include "store/Errors.h"
#include "store/History.h"
#include "store/Records.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>

using fixtures::budg;
using fixtures::cash;
using statements::ClassifiedRow;
using statements::RowStatus;
using store::Amount;
using store::RecordFile;

namespace {

const std::string Account = "Hush\xE5ll";

ClassifiedRow bankRow(const char* date, double kronor, const char* text, RowStatus status, int transNr,
                      int subNr = 0, std::optional<double> balance = {}) {
    ClassifiedRow r;
    if (*date)
        r.row.bookingDate = store::parseDate(date);
    r.row.amount = Amount::fromUnits(static_cast<std::int64_t>(kronor * 10000));
    r.row.text = text;
    if (balance)
        r.row.balance = Amount::fromUnits(static_cast<std::int64_t>(*balance * 10000));
    r.row.reserved = status == RowStatus::Reserved;
    r.status = status;
    r.transNr = transNr;
    r.subNr = subNr;
    r.fingerprint = statements::fingerprint("Testbanken", r.row, 1);
    return r;
}

// A drive with one account, its files open as the main window holds them.
struct Drive {
    TempDrive drive;
    store::DataPaths paths{drive.path()};
    std::optional<RecordFile> kontoData, transakt, kategori, mall;
    std::optional<budget::BudgetTemplate> plan;

    Drive(const std::string& posts, bool budget) {
        fixtures::writeRegister(paths.dataRoot(), fixtures::kontoRec(Account, "1", budget ? "Bg" : "Ek"));
        fixtures::writeAccount(paths.dataRoot(), "Hushåll", posts);
        kontoData.emplace(paths.kontoData(Account), budget ? 77 : 43, RecordFile::Missing::Fail);
        transakt.emplace(paths.transakt(Account), 36, RecordFile::Missing::Fail);
        kategori.emplace(paths.kategori(Account), 35, RecordFile::Missing::Fail);
        if (budget) {
            mall.emplace(paths.bMall(Account), 18);
            plan.emplace(*mall);
        }
    }
    statements::ImportTarget target(int postCount) {
        return {paths,
                Account,
                *kontoData,
                postCount,
                *transakt,
                *kategori,
                mall ? &*mall : nullptr,
                plan ? &*plan : nullptr,
                "2026-01-31"};
    }
    std::string file(const std::filesystem::path& p) const { return fixtures::readFile(p); }
    // The data files, without the history and the journal beside them.
    std::map<std::string, std::string> data() const {
        auto tree = drive.tree();
        std::erase_if(tree, [](const auto& e) { return e.first.starts_with(".MoniData"); });
        return tree;
    }
};

const std::string C1 = cash("2026-01-01", "1", "0", "0");
const std::string C2 = cash("2026-01-10", "2", "1000", "1000");
const std::string C3 = cash("2026-01-20", "3", "-200", "800");

statements::ImportPlan cashPlan() {
    statements::ImportPlan plan;
    plan.bank = "Testbanken";
    plan.hasBalance = true;
    plan.rows = {bankRow("2026-01-05", -50, "KORTK\xC3\x96P 260105 ICA NARA", RowStatus::Rule, 3),
                 bankRow("2026-01-10", 300, "L\xC3\x96N", RowStatus::New, -1, -1, 1300),
                 bankRow("2026-01-12", -20, "SWISH", RowStatus::AlreadyImported, 3),
                 bankRow("", -99, "PENDING", RowStatus::Reserved, 0)};
    plan.newTransactions = {{"L\xC3\xB6n", '+'}};
    plan.newSubTransactions = {"Maj"};
    plan.rules = std::vector<statements::Rule>{{0, "ICA NARA", 3, 0}, {0, "L\xC3\x96N", -1, -1}};
    return plan;
}

} // namespace

// The posts, the catalogue's new entries, the rules and the fingerprints land byte for byte in one
// change, which undo takes back and redo makes again.
TEST(Apply, CashBookImportIsOneUndoStep) {
    Drive d(C1 + C2 + C3, false);
    store::History history(d.paths);
    history.activate();
    const auto before = d.data();
    const statements::ImportPlan plan = cashPlan();

    const statements::ImportResult r = statements::applyImport(plan, d.target(3));
    ASSERT_EQ(r.outcome, ledger::Outcome::Done);
    EXPECT_EQ(r.postCount, 5);
    EXPECT_EQ(r.recountStart, 2);
    EXPECT_EQ(r.summary.countsText(), "2 poster läses in, 2 hoppas över (1 redan inläst, 1 reserverad)");
    EXPECT_EQ(r.summary.balanceText(), "Banken 1 300,00 \u2014 kontot 1 250,00: skillnad 50,00");
    EXPECT_EQ(d.file(d.paths.kontoData(Account)),
              C1 + cash("2026-01-05", "3", "-50", "-50") + cash("2026-01-10", "2", "1000", "950") +
                  cash("2026-01-10", "4", "300", "1250", "1") + cash("2026-01-20", "3", "-200", "1050"));
    EXPECT_EQ(d.file(d.paths.transakt(Account)),
              fixtures::standardTransakt() + fixtures::transRec("L\xF6n", '+'));
    EXPECT_EQ(d.file(d.paths.kategori(Account)), fixtures::field("Maj", 35));
    EXPECT_EQ(d.file(d.paths.importregler(Account)),
              statements::rulesContent("", {{0, "ICA NARA", 3, 0}, {0, "L\xC3\x96N", 4, 1}}));
    EXPECT_EQ(d.file(d.paths.importlogg(Account)),
              statements::logContent("", {plan.rows[0].logEntry(), plan.rows[1].logEntry()}));
    EXPECT_FALSE(d.drive.exists("MoniData/Importprofiler"));
    EXPECT_FALSE(d.kontoData->dirty());

    const auto after = d.data();
    EXPECT_EQ(history.undoDescription(), "import av 2 poster från Testbanken");
    history.undo();
    EXPECT_EQ(d.data(), before);
    history.redo();
    EXPECT_EQ(d.data(), after);
}

// The bank confirms a planned post: its actual amount, the bank's date and the template as a
// confirmation leaves them; a row without a planned post is a new confirmed post budgeted at zero.
TEST(Apply, BudgetAccountConfirmedByTheBank) {
    const std::string B1 = budg("2026-01-01", "1", "0", "0", "0", "0", "0");
    const std::string B2 = budg("2026-01-25", "3", "-500", "0", "-500", "0", "500", ' ', ' ');
    Drive d(B1 + B2, true);
    statements::ImportPlan plan;
    plan.bank = "Testbanken";
    plan.rows = {bankRow("2026-01-24", -520, "HYRA", RowStatus::ConfirmsBudget, 3),
                 bankRow("2026-01-26", -30, "ICA", RowStatus::Rule, 3)};
    plan.rows[0].matchedPost = 2;

    const statements::ImportResult r = statements::applyImport(plan, d.target(2));
    ASSERT_EQ(r.outcome, ledger::Outcome::Done);
    EXPECT_EQ(r.summary.confirmedText(), "1 budgeterad post bekräftas, verkligt mot budgeterat: -20,00");
    EXPECT_EQ(d.file(d.paths.kontoData(Account)),
              B1 + budg("2026-01-24", "3", "-500", "-520", "-500", "-520", "-20") +
                  budg("2026-01-26", "3", "-0", "-30", "-500", "-550", "-50"));
    EXPECT_EQ(d.file(d.paths.bMall(Account)),
              fixtures::mallRec("3", budget::templateAmountText(budget::templateValue("-520")), "01", "24"));
}

// Refused at the amount limit, or failing at any write of the group: every file stays as it was
// and the open images are read again.
TEST(Apply, RefusalOrFailureLeavesEveryFile) {
    const std::string nearLimit = C1 + cash("2026-01-10", "2", "99999900", "99999900");
    for (int failAt = 0; failAt <= 6; ++failAt) {
        SCOPED_TRACE(failAt);
        Drive d(failAt == 0 ? nearLimit : C1 + C2 + C3, false);
        const auto before = d.data();
        statements::ImportPlan plan = cashPlan();
        if (failAt == 0) {
            plan.rows[1].row.amount = Amount::whole(300);
            const statements::ImportResult r = statements::applyImport(plan, d.target(2));
            EXPECT_EQ(r.outcome, ledger::Outcome::AmountLimit);
            EXPECT_EQ(r.row, 1);
            EXPECT_EQ(
                r.refusal,
                "Raden 2026-01-10 300,00 L\xC3\x96N skulle föra ett saldo till beloppsgränsen 100 000 000.");
        } else {
            int step = 0;
            store::setCommitFaultHook([&](store::CommitStep, const std::filesystem::path&) {
                if (++step == failAt * 3)
                    throw store::FileError(std::make_error_code(std::errc::no_space_on_device), "x");
            });
            EXPECT_THROW(statements::applyImport(plan, d.target(3)), store::FileError);
            store::setCommitFaultHook({});
        }
        EXPECT_EQ(d.data(), before);
        for (RecordFile* f : {&*d.kontoData, &*d.transakt, &*d.kategori})
            EXPECT_EQ(f->image(), d.file(f->path()));
    }
}
