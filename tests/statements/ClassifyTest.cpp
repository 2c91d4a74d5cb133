#include "statements/Classify.h"

#include "fixtures/AccountFiles.h"
#include "fixtures/TempDrive.h"

#include <gtest/gtest.h>

#include <set>
#include <tuple>

using statements::AccountPost;
using statements::AccountView;
using statements::BankRow;
using statements::ClassifiedRow;
using statements::RowStatus;
using store::Amount;
using store::Date;

namespace {

constexpr Date Day0{2023, 12, 10};

Date dayOf(int offset) {
    return store::stepDay(Day0, offset);
}

BankRow bankRow(int day, long long kronor, std::string text = "KORTKÖP 231210 ICA NARA") {
    BankRow r;
    r.bookingDate = dayOf(day);
    r.amount = Amount::whole(kronor);
    r.text = std::move(text);
    return r;
}

// An account with the standard signs and one rule: ICA is food, money out.
AccountView view(bool budget, std::vector<AccountPost> posts = {}) {
    AccountView v;
    v.budget = budget;
    v.posts = std::move(posts);
    v.transactions = {{1, "Kontostart", ' '}, {2, "Mat", '-'}, {3, "Hyra", '-'}, {4, "Lön", '+'}};
    v.rules = {{1, "ICA", 2, 0}};
    return v;
}

AccountPost post(int record, int day, long long kronor, int transNr = 2, bool planned = false) {
    return {record, dayOf(day), Amount::whole(kronor), transNr, planned};
}

std::vector<ClassifiedRow> run(std::vector<BankRow> rows, const AccountView& v) {
    statements::Statement s;
    s.bank = "Swedbank";
    s.rows = std::move(rows);
    return statements::classify(s, v);
}

} // namespace

TEST(Classify, EveryRowGetsAStatusAndOnlyImportableRowsAreTicked) {
    struct Case {
        const char* what;
        BankRow row;
        const char* text;
        const char* word;
        bool ticked, tickable;
    };
    std::vector<Case> cases{
        {"rule", bankRow(0, -50), "Regel: ICA", "regel", true, true},
        {"no rule", bankRow(0, -50, "PRESSBYRAN"), "Ny", "ny", true, true},
        {"sign", bankRow(0, 50), "Ny", "ny", true, true},
        {"largest", bankRow(0, 0, "LÖN"), "Ny", "ny", true, true},
        {"error", bankRow(0, -50), "Fel: ogiltigt belopp", "fel", false, false},
        {"reserved", bankRow(0, -50), "Reserverad — hoppas över", "reserverad", false, false},
        {"no date", bankRow(0, -50), "Fel: datum saknas", "fel", false, false},
        {"currency", bankRow(0, -50), "Fel: beloppet är i EUR, kontot förs i SEK", "fel", false, false},
        {"zero", bankRow(0, 0), "Fel: beloppet är 0", "fel", false, false},
        {"limit", bankRow(0, 100'000'000), "Fel: beloppet är för stort för kontot", "fel", false, false},
        {"field", bankRow(0, -99'999'999), "Fel: beloppet är för stort för kontot", "fel", false, false},
    };
    cases[3].row.amount = Amount::fromUnits(999'999'999'900); // 99 999 999,99 still fits
    cases[4].row.error = "ogiltigt belopp";
    cases[5].row.reserved = true;
    cases[5].row.bookingDate.reset();
    cases[6].row.bookingDate.reset();
    cases[7].row.currency = "EUR";
    cases[10].row.amount = Amount::fromUnits(-999'999'990'001); // "-99999999,0001" does not fit
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const ClassifiedRow r = run({c.row}, view(false)).front();
        EXPECT_EQ(r.statusText(), c.text);
        EXPECT_EQ(r.statusWord(), c.word);
        EXPECT_EQ(r.tickedByDefault(), c.ticked);
        EXPECT_EQ(r.tickable(), c.tickable);
    }
}

TEST(Classify, IdenticalRowsImportOnceEachAndAreKnownTheNextTime) {
    // Three coffees the same day are three rows; the card number in the text is no difference.
    std::vector<BankRow> rows{bankRow(0, -35, "KAFFE *1234"), bankRow(0, -35, "KAFFE *5678"),
                              bankRow(0, -35, "KAFFE"), bankRow(0, -35, "PRESSBYRAN")};
    const auto first = run(rows, view(false));
    std::set<std::string> prints;
    std::vector<int> occurrences;
    for (const auto& r : first) {
        prints.insert(r.fingerprint);
        occurrences.push_back(r.occurrence);
        EXPECT_EQ(r.status, RowStatus::New);
    }
    EXPECT_EQ(prints.size(), 4u);
    EXPECT_EQ(occurrences, (std::vector<int>{1, 2, 3, 1}));
    // The same money in another order is still known by its occurrence; it must never change.
    EXPECT_EQ(first[0].fingerprint, statements::fingerprint("Swedbank", rows[2], 1));
    EXPECT_EQ(first[0].fingerprint, "ef25e20e72612d3866cace80c5f6fc3a");
    // Keys ending anywhere in a 16-byte block, an occurrence carrying into a new block.
    BankRow pinned;
    pinned.bookingDate = store::Date{2024, 1, 5};
    pinned.amount = Amount::fromUnits(-304000);
    pinned.text = "KORTKÖP 240105 ICA";
    for (const auto& [bank, occurrence, print] : std::vector<std::tuple<const char*, int, const char*>>{
             {"B", 1, "4e3da7ca2524017332e6dfdadb0e6204"},
             {"Bankens", 12, "88a3c3413234e7273b817f6929737380"},
             {"Bankennamnet", 123456789, "cb998a7eed289033a368de1e79436599"},
             {"Bankennamnetlangt12345", 12, "09410067c9be0198de68522bd98c3bea"}})
        EXPECT_EQ(statements::fingerprint(bank, pinned, occurrence), print) << bank;

    // The first import took two of the coffees (and made their posts): the third is still new.
    AccountView v = view(false, {post(1, 0, -35), post(2, 0, -35)});
    v.log = {first[0].logEntry(), first[1].logEntry(), first[3].logEntry()};
    std::vector<std::string> statuses;
    for (const auto& r : run(rows, v))
        statuses.push_back(r.statusText());
    EXPECT_EQ(statuses, (std::vector<std::string>{"Redan inläst", "Redan inläst", "Ny", "Redan inläst"}));

    // An OFX row is its FITID, whatever else the bank changes; another bank's FITID is another row.
    BankRow ofx = rows[0], later = rows[1];
    ofx.fitid = later.fitid = "2023121000017";
    later.bookingDate = dayOf(1);
    EXPECT_EQ(statements::fingerprint("Bank", ofx, 1), statements::fingerprint("Bank", later, 2));
    EXPECT_NE(statements::fingerprint("Bank", ofx, 1), statements::fingerprint("Annan", ofx, 1));
    later = rows[0];
    later.accountNumber = "8327-9,123 456 789-0";
    EXPECT_NE(statements::fingerprint("Bank", rows[0], 1), statements::fingerprint("Bank", later, 1));
    // Posts taking the transaction date instead of the booking date leave the row known as it was.
    BankRow booked = rows[0], dated = rows[0];
    booked.transactionDate = dated.transactionDate = dayOf(-2);
    dated.bookingDate = dayOf(-2);
    EXPECT_EQ(statements::fingerprint("Bank", booked, 1), statements::fingerprint("Bank", dated, 1));
}

TEST(Classify, APostOfTheSameAmountNearTheRowMayBeItUnlessAnImportMadeIt) {
    struct Case {
        const char* what;
        std::vector<AccountPost> posts;
        std::vector<statements::LogEntry> log;
        const char* status;
    };
    const statements::LogEntry imported{"x", dayOf(-1), Amount::whole(-50), "ICA"};
    const std::vector<Case> cases{
        {"5 days before", {post(1, -5, -50)}, {}, "Regel: ICA"},
        {"4 days before", {post(1, -4, -50)}, {}, "Möjlig dubblett av post 2023-12-06 -50,00"},
        {"same day", {post(7, 0, -50)}, {}, "Möjlig dubblett av post 2023-12-10 -50,00"},
        {"2 days after", {post(1, 2, -50)}, {}, "Möjlig dubblett av post 2023-12-12 -50,00"},
        {"3 days after", {post(1, 3, -50)}, {}, "Regel: ICA"},
        {"other amount", {post(1, 0, -51)}, {}, "Regel: ICA"},
        {"made by an import", {post(1, -1, -50)}, {imported}, "Regel: ICA"},
        {"one made by an import",
         {post(1, -1, -50), post(2, 1, -50)},
         {imported},
         "Möjlig dubblett av post 2023-12-11 -50,00"},
        {"nearest", {post(1, -3, -50), post(2, -1, -50)}, {}, "Möjlig dubblett av post 2023-12-09 -50,00"},
        {"a file out of order",
         {post(1, 9, -50), post(2, 1, -50), post(3, -9, -50)},
         {},
         "Möjlig dubblett av post 2023-12-11 -50,00"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        AccountView v = view(false, c.posts);
        v.log = c.log;
        EXPECT_EQ(run({bankRow(0, -50)}, v).front().statusText(), c.status);
    }
    // A post is the double of one row at most: the second row of the day is new.
    const auto two = run({bankRow(0, -50), bankRow(0, -50, "ICA MAXI")}, view(false, {post(3, 1, -50)}));
    EXPECT_EQ(two[0].status, RowStatus::PossibleDuplicate);
    EXPECT_EQ(two[0].matchedPost, 3);
    EXPECT_EQ(two[1].status, RowStatus::Rule);
    // Planned budget posts are not money yet: never a double, they are confirmed instead.
    EXPECT_EQ(run({bankRow(0, -50)}, view(true, {post(1, 0, -50, 3, true)})).front().status, RowStatus::Rule);
}

TEST(Classify, ABankRowConfirmsTheNearestPlannedPostOfItsTransaction) {
    struct Case {
        const char* what;
        std::vector<AccountPost> posts;
        std::vector<int> rowDays;
        std::vector<int> confirmed; // per row: the planned post's record, -1 none
    };
    const std::vector<Case> cases{
        {"7 days after", {post(1, 7, -400, 2, true)}, {0}, {1}},
        {"7 days before", {post(1, -7, -400, 2, true)}, {0}, {1}},
        {"8 days after", {post(1, 8, -400, 2, true)}, {0}, {-1}},
        {"8 days before", {post(1, -8, -400, 2, true)}, {0}, {-1}},
        {"nearest", {post(1, -3, -400, 2, true), post(2, 2, -400, 2, true)}, {0}, {2}},
        {"other transaction", {post(1, 0, -400, 3, true)}, {0}, {-1}},
        {"already confirmed", {post(1, 0, -400, 2, false)}, {0}, {-1}},
        {"one row per post", {post(1, 4, -400, 2, true)}, {0, 5}, {-1, 1}},
        {"each its own", {post(1, 1, -400, 2, true), post(2, 3, -400, 2, true)}, {0, 2}, {1, 2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<BankRow> rows;
        for (const int d : c.rowDays)
            rows.push_back(bankRow(d, -383, "ICA " + std::to_string(d)));
        std::vector<int> got;
        for (const auto& r : run(rows, view(true, c.posts)))
            got.push_back(r.status == RowStatus::ConfirmsBudget ? r.matchedPost : -1);
        EXPECT_EQ(got, c.confirmed);
    }
    const auto r = run({bankRow(0, -383)}, view(true, {post(9, -1, -400, 2, true)})).front();
    EXPECT_EQ(r.statusText(), "Bekräftar budgeterad post 2023-12-09 -400,00");
    EXPECT_EQ(r.statusWord(), "regel");
    EXPECT_TRUE(r.tickedByDefault());
    // A cash book has no planned posts to confirm.
    EXPECT_EQ(run({bankRow(0, -383)}, view(false, {post(9, -1, -400, 2, true)})).front().status,
              RowStatus::Rule);
}

TEST(Classify, ATransactionChosenOrARuleSavedIsTakenByTheRowsAgain) {
    AccountView v = view(true, {post(5, 1, -9000, 3, true)});
    auto rows =
        run({bankRow(0, -9000, "HYRESVÄRDEN AB"), bankRow(0, -120, "HEMKÖP"), bankRow(1, -80, "HEMKÖP")}, v);
    EXPECT_EQ(rows[0].status, RowStatus::New);
    rows[0].transNr = 3;
    rows[0].chosen = true;
    v.rules.push_back({0, "Hemköp", 2, 0});
    statements::reclassify(rows, v);
    EXPECT_EQ(rows[0].statusText(), "Bekräftar budgeterad post 2023-12-11 -9 000,00");
    EXPECT_EQ(rows[0].statusWord(), "ny");
    EXPECT_EQ(rows[1].statusText(), "Regel: Hemköp");
    EXPECT_EQ(rows[2].transNr, 2);
    // A choice that saved a rule says so, and keeps it when the rows are taken again.
    rows[1].transNr = 3;
    rows[1].chosen = true;
    rows[1].pattern = "Hemköp Solna";
    statements::reclassify(rows, v);
    EXPECT_EQ(rows[1].statusText(), "Regel: Hemköp Solna");
    EXPECT_EQ(rows[1].transNr, 3);
}

TEST(Classify, PostsAreReadFromEitherKindOfAccount) {
    TempDrive drive;
    const store::DataPaths paths(drive.path());
    fixtures::writeAccount(paths.dataRoot(), "Kassa",
                           fixtures::cashPost("2023-12-01", 1, 1000, 1000) +
                               fixtures::cash("2023-12-02", "3", "-30,5", "969,5"));
    fixtures::writeAccount(paths.dataRoot(), "Budget",
                           fixtures::budgetPost("2023-12-01", 3, -400, -383, -400, -383, true) +
                               fixtures::budgetPost("2023-12-24", 3, -500, 0, -900, -383, false));
    drive.writeFile("MoniData/Kassa/Importregler", std::string("ICA") + std::string(37, ' ') + "3       ");

    const AccountView cash = statements::readAccountView(paths, "Kassa", ledger::Kind::Cash);
    ASSERT_EQ(cash.posts.size(), 2u);
    EXPECT_EQ(cash.posts[1].record, 2);
    EXPECT_EQ(cash.posts[1].date, (Date{2023, 12, 2}));
    EXPECT_EQ(cash.posts[1].amount, Amount::fromUnits(-305000));
    EXPECT_EQ(cash.posts[1].transNr, 3);
    EXPECT_EQ(cash.rules.size(), 1u);
    EXPECT_EQ(cash.transactions.size(), 3u);

    const AccountView budget = statements::readAccountView(paths, "Budget", ledger::Kind::Budget);
    ASSERT_EQ(budget.posts.size(), 2u);
    EXPECT_FALSE(budget.posts[0].planned);
    EXPECT_EQ(budget.posts[0].amount, Amount::whole(-383)); // the actual amount
    EXPECT_TRUE(budget.posts[1].planned);
    EXPECT_EQ(budget.posts[1].amount, Amount::whole(-500)); // the budgeted one
    EXPECT_TRUE(budget.rules.empty());
    EXPECT_FALSE(drive.exists("MoniData/Budget/Importregler"));
    EXPECT_FALSE(drive.exists("MoniData/Budget/Importlogg"));
}

TEST(Classify, SharingTheWorkWithTheSecondCoreChangesNothing) {
    // Rows of every kind: ruled, new, identical, near posts, logged before, in error, pending.
    std::vector<BankRow> rows;
    for (int i = 0; i < 60; ++i) {
        BankRow r =
            bankRow(i % 9, -10 - i % 7, i % 3 ? "KORTKÖP 231210 ICA NARA" : "SWISH " + std::to_string(i % 4));
        r.reserved = i % 17 == 0;
        if (i % 23 == 0)
            r.error = "datumet går inte att läsa";
        rows.push_back(r);
    }
    std::vector<AccountPost> posts;
    for (int i = 0; i < 30; ++i)
        posts.push_back(post(i + 1, i % 9, -10 - i % 5));
    AccountView v = view(false, posts);
    const auto once = run(rows, v);
    for (std::size_t i = 0; i < once.size(); i += 4)
        v.log.push_back(once[i].logEntry());

    TempDrive drive;
    const store::DataPaths paths(drive.path());
    std::string image;
    for (int i = 0; i < 40; ++i)
        image += fixtures::cashPost(
            "2023-12-" + std::string(i % 28 < 9 ? "0" : "") + std::to_string(i % 28 + 1), 2, -i, -i);
    fixtures::writeAccount(paths.dataRoot(), "Kassa", image);
    const store::RecordFile file(paths.kontoData("Kassa"), ledger::recordLength(ledger::Kind::Cash),
                                 store::RecordFile::Missing::Fail);

    const auto outcome = [&](std::size_t threshold) {
        statements::parallelRows = statements::parallelPosts = threshold;
        std::vector<std::string> seen;
        for (const auto& r : run(rows, v))
            seen.push_back(r.statusText() + "|" + r.fingerprint + "|" + std::to_string(r.occurrence) + "|" +
                           std::to_string(r.transNr) + "|" + std::to_string(r.matchedPost));
        for (const auto& p : statements::accountPosts(file, ledger::Kind::Cash))
            seen.push_back(std::to_string(p.record) + store::dateText(p.date) + p.amount.amountText());
        return seen;
    };
    const auto alone = outcome(1'000'000), shared = outcome(2);
    statements::parallelRows = 2000;
    statements::parallelPosts = 16384;
    EXPECT_EQ(alone, shared);
    EXPECT_EQ(alone.size(), 100u);
}
