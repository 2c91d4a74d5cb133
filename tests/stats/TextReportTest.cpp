#include "stats/TextReport.h"

#include "StatsFiles.h"
#include "fixtures/AccountFiles.h"
#include "store/Errors.h"

#include <gtest/gtest.h>

using namespace stats;
using statstest::budg;
using statstest::cash;

namespace {

std::string sp(std::size_t n) {
    return std::string(n, ' ');
}

const std::string CrLf = "\r\n";

std::vector<std::string> lines(const std::string& bytes) {
    std::vector<std::string> out;
    std::size_t start = 0;
    for (std::size_t pos; (pos = bytes.find(CrLf, start)) != std::string::npos; start = pos + 2)
        out.push_back(bytes.substr(start, pos - start));
    EXPECT_EQ(start, bytes.size()) << "the last line is ended";
    return out;
}

} // namespace

TEST(TextReport, ColumnPlacement) {
    ColumnWriter w;
    w.at(1, "2020-01-01");
    w.rightTo(45, "1 234 567,89"); // twelve characters end in column 44: they start in column 33
    w.endLine();
    w.at(1, "abc");
    w.at(3, "x");            // column 3 already passed: next line, at column 3
    w.at(4, "y");            // exactly where the line stands: same line
    w.rightTo(3, "toolong"); // an edge before the text's length starts the text at column 1
    EXPECT_EQ(w.finish(),
              "2020-01-01" + sp(22) + "1 234 567,89\r\n" + "abc\r\n" + sp(2) + "xy\r\n" + "toolong\r\n");
    EXPECT_EQ(ColumnWriter().finish(), "");
}

// A range from the middle of the file: posts of several transactions, a name with \xE4.
TEST(TextReport, CashBookReportBytes) {
    TempDrive drive;
    const auto files = statstest::account(drive, ledger::Kind::Cash,
                                          cash("2020-01-01", "1", "0", "0") +
                                              cash("2020-01-05", "4", "-1234,5", "-1234,5", "3") +
                                              cash("2020-01-06", "2", "12,3", "-1222,2"));
    const std::string heading = "Utskrift av Hush\xE5ll 2026-12-06" + sp(14) + "Sida 1\r\n\r\n";
    EXPECT_EQ(accountReportFile(files, ReportKind::Pr_1, PostRange{2, 3}, "Hushåll", "2026-12-06"),
              heading + "Datum" + sp(6) + "Huvudtransaktion" + sp(11) + "Belopp" + sp(8) + "Saldo\r\n" +
                  "2020-01-05 Mat" + sp(21) + "-1 234,50" + sp(4) + "-1 234,50\r\n" +
                  "2020-01-06 Ins\xE4ttning" + sp(18) + "12,30" + sp(4) + "-1 222,20\r\n");
    // A name the file's character set cannot hold is refused, not replaced.
    EXPECT_THROW(
        accountReportFile(files, ReportKind::Pr_1, PostRange{2, 3}, "Konto \xF0\x9F\x98\x80", "2026-12-06"),
        store::DataError);
}

// Every kind, byte for byte, over a full page and over one post more: no empty page after a full
// one, the page break, page two's heading and the columns of each kind. Every post is transaction
// "Mat" with sub-transaction "Bröd"; the amounts differ per column so a swapped column shows.
TEST(TextReport, EveryKindPageByPage) {
    using ledger::Kind;
    const std::string brd = std::string("Br\xF6") + "d", mat = " Mat", brod = mat + sp(18) + brd;
    const std::string h1 = "Datum" + sp(6) + "Huvudtransaktion", h2 = h1 + sp(5) + "Subtransaktion";
    const std::string hStat = "Datum" + sp(6) + "Subtransaktion" + sp(13) + "Belopp";
    const std::string budgetHeads =
        "Budg.belopp" + sp(1) + "Verkl.belopp" + sp(3) + "Budg.saldo" + sp(2) + "Verkl.saldo";
    const std::string budgetCells = "-300,00" + sp(6) + "-250,25" + sp(4) + "-3 000,00" + sp(4) + "-2 502,50";
    struct Case {
        ReportKind kind;
        Kind account;
        int perPage;
        std::string heads, tail;               // the column headings; a post line after its date
        std::vector<std::string> summary = {}; // statistics: the summary lines of a full page and of one more
    };
    const std::vector<Case> cases{
        {ReportKind::Pr_1, Kind::Cash, 70, h1 + sp(11) + "Belopp" + sp(8) + "Saldo",
         mat + sp(21) + "-1 234,50" + sp(4) + "98 765,40"},
        {ReportKind::Pr_2, Kind::Cash, 70, h2 + sp(13) + "Belopp" + sp(8) + "Saldo",
         brod + sp(20) + "-1 234,50" + sp(4) + "98 765,40"},
        {ReportKind::Pr_1, Kind::Budget, 70, h1 + sp(11) + "Belopp" + sp(8) + "Saldo",
         mat + sp(23) + "-250,25" + sp(4) + "-2 502,50"},
        {ReportKind::Pr_2, Kind::Budget, 70, h2 + sp(13) + "Belopp" + sp(8) + "Saldo",
         brod + sp(22) + "-250,25" + sp(4) + "-2 502,50"},
        {ReportKind::Pr_3, Kind::Budget, 70, h1 + sp(6) + budgetHeads, mat + sp(23) + budgetCells},
        {ReportKind::Pr_4, Kind::Budget, 70, h1 + sp(6) + budgetHeads + sp(3) + "Saldodiff.",
         mat + sp(23) + budgetCells + sp(7) + "497,50"},
        {ReportKind::Pr_5, Kind::Budget, 47, h2 + sp(8) + budgetHeads + sp(3) + "Saldodiff.",
         brod + sp(22) + budgetCells + sp(7) + "497,50"},
        {ReportKind::Pr_6, Kind::Budget, 47, h2 + sp(8) + budgetHeads, brod + sp(22) + budgetCells},
        {ReportKind::Pr_7,
         Kind::Cash,
         68,
         hStat,
         " " + brd + sp(20) + "-1 234,50",
         {"Antal = 68, Totalbel. = -83 946,00, Medel = -1 234,50",
          "Antal = 69, Totalbel. = -85 180,50, Medel = -1 234,50"}},
        {ReportKind::Pr_7,
         Kind::Budget,
         68,
         hStat,
         " " + brd + sp(22) + "-250,25",
         {"Antal = 68, Totalbel. = -17 017,00, Medel = -250,25",
          "Antal = 69, Totalbel. = -17 267,25, Medel = -250,25"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(kindCode(c.kind)) + (c.account == Kind::Cash ? " cash" : " budget"));
        std::string data;
        for (int i = 1; i <= c.perPage + 1; ++i)
            data += c.account == Kind::Cash ? cash(fixtures::nthDate(i), "4", "-1234,5", "98765,4", "3")
                                            : budg(fixtures::nthDate(i), "4", "-300", "-250,25", "-3000",
                                                   "-2502,5", "497,5", ' ', '*', "3");
        TempDrive drive;
        const auto files = statstest::account(drive, c.account, data);
        for (const int posts : {c.perPage, c.perPage + 1}) {
            const auto pageHeading = [&](int page) {
                const std::string p = std::to_string(page);
                if (c.kind != ReportKind::Pr_7)
                    return "Utskrift av Hush\xE5ll 2026-12-06" + sp(14) + "Sida " + p + CrLf + CrLf;
                return "Konto: 'Hush\xE5ll', datum: 2026-12-06, Sida " + p + CrLf +
                       "Statistik, transaktionen 'Mat' " + CrLf +
                       c.summary[static_cast<std::size_t>(posts - c.perPage)] + CrLf + CrLf;
            };
            std::string expected;
            for (int i = 1; i <= posts; ++i) {
                if (i % c.perPage == 1)
                    expected += (i > 1 ? CrLf : "") + pageHeading(i / c.perPage + 1) + c.heads + CrLf;
                expected += fixtures::nthDate(i) + c.tail + CrLf;
            }
            const PostRange range{1, posts};
            EXPECT_EQ(
                c.kind == ReportKind::Pr_7
                    ? statisticsReportFile(computeStatistics(files, range, 4), "Hushåll", "Mat", "2026-12-06")
                    : accountReportFile(files, c.kind, range, "Hushåll", "2026-12-06"),
                expected)
                << posts << " posts";
            // A period without posts: the first page's heading and no post line.
            if (c.kind != ReportKind::Pr_7) {
                EXPECT_EQ(
                    accountReportFile(files, c.kind, PostRange{posts + 1, posts}, "Hushåll", "2026-12-06"),
                    pageHeading(1) + c.heads + CrLf);
            }
        }
    }
}

TEST(TextReport, ALongNamePushesTheRestOfThePostOntoTheNextLine) {
    TempDrive drive;
    const std::string transakt =
        statstest::transRec("Kontostart", ' ') + statstest::transRec("Abcdefghijklmnopqrstuvwxy", '-');
    const auto files =
        statstest::account(drive, ledger::Kind::Cash, cash("2020-01-05", "2", "-100", "-100", "1"), transakt);
    const std::vector<std::string> l =
        lines(accountReportFile(files, ReportKind::Pr_2, PostRange{1, 1}, "K", "2026-12-06"));
    ASSERT_EQ(l.size(), 5u);
    EXPECT_EQ(l[3], "2020-01-05 Abcdefghijklmnopqrstuvwxy");
    EXPECT_EQ(l[4], sp(32) + "Hyra" + sp(22) + "-100,00" + sp(6) + "-100,00");
}

TEST(TextReport, StatisticsReport) {
    Statistics st;
    st.rows = {StatRow{"2020-01-05", "Hyra", "-250,25", store::Amount()},
               StatRow{"2020-01-25", "", "0,00", store::Amount()}};
    st.summary = "Antal = 2, Totalbel. = -250,25, Medel = -125,13";
    EXPECT_EQ(statisticsReportFile(st, "Hushåll", "Mat", "2026-12-06"),
              std::string("Konto: 'Hush\xE5ll', datum: 2026-12-06, Sida 1\r\n"
                          "Statistik, transaktionen 'Mat' \r\n"
                          "Antal = 2, Totalbel. = -250,25, Medel = -125,13\r\n"
                          "\r\n") +
                  "Datum" + sp(6) + "Subtransaktion" + sp(13) + "Belopp\r\n" + "2020-01-05 Hyra" + sp(22) +
                  "-250,25\r\n" + "2020-01-25" + sp(30) + "0,00\r\n");

    EXPECT_EQ(statisticsReportFile(Statistics{}, "K", "T", "2026-12-06"), "");
}

TEST(TextReport, WrittenMessage) {
    EXPECT_EQ(reportWrittenText("/home/a/r.txt"),
              "Utskriften finns nu tillgänglig på anvisad sökväg: /home/a/r.txt !\n"
              "Rekommenderas att filen öppnas med Anteckningar (NotePad) och med font Courier New, "
              "fontstorlek 10 punkter ! \n"
              "Detta för att visa raka och överskådliga kolumner.\n\n"
              "Ovanstående fil kan med fördel printas ut !");
}
