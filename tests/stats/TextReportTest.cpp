#include "stats/TextReport.h"

#include "StatsFiles.h"
#include "fixtures/AccountFiles.h"
#include "store/Errors.h"

#include <gtest/gtest.h>

using namespace stats;
using statstest::budget;
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

std::size_t countOf(const std::string& bytes, std::string_view what) {
    std::size_t n = 0;
    for (std::size_t pos = bytes.find(what); pos != std::string::npos; pos = bytes.find(what, pos + 1))
        ++n;
    return n;
}

Statistics statisticsOf(int rows) {
    Statistics st;
    for (int i = 0; i < rows; ++i)
        st.rows.push_back(StatRow{"2020-01-01", "", "1,00", store::Amount::whole(1)});
    st.summary = "Antal = " + std::to_string(rows);
    return st;
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
    EXPECT_EQ(accountReportFile(files, ReportKind::Pr_2, PostRange{2, 2}, "Hushåll", "2026-12-06"),
              heading + "Datum" + sp(6) + "Huvudtransaktion" + sp(5) + "Subtransaktion" + sp(13) + "Belopp" +
                  sp(8) + "Saldo\r\n" + "2020-01-05 Mat" + sp(18) +
                  "Br\xF6"
                  "d" +
                  sp(20) + "-1 234,50" + sp(4) + "-1 234,50\r\n");
    // A period without posts writes nothing, not even a heading.
    EXPECT_EQ(accountReportFile(files, ReportKind::Pr_1, PostRange{4, 3}, "Hushåll", "2026-12-06"), "");
    // A name the file's character set cannot hold is refused, not replaced.
    EXPECT_THROW(
        accountReportFile(files, ReportKind::Pr_1, PostRange{2, 3}, "Konto \xF0\x9F\x98\x80", "2026-12-06"),
        store::DataError);
}

TEST(TextReport, ALongNamePushesTheRestOfThePostOntoTheNextLine) {
    TempDrive drive;
    const std::string transakt =
        statstest::trans("Kontostart", ' ') + statstest::trans("Abcdefghijklmnopqrstuvwxy", '-');
    const auto files =
        statstest::account(drive, ledger::Kind::Cash, cash("2020-01-05", "2", "-100", "-100", "1"), transakt);
    const std::vector<std::string> l =
        lines(accountReportFile(files, ReportKind::Pr_2, PostRange{1, 1}, "K", "2026-12-06"));
    ASSERT_EQ(l.size(), 5u);
    EXPECT_EQ(l[3], "2020-01-05 Abcdefghijklmnopqrstuvwxy");
    EXPECT_EQ(l[4], sp(32) + "Hyra" + sp(22) + "-100,00" + sp(6) + "-100,00");
}

TEST(TextReport, BudgetReportColumns) {
    TempDrive drive;
    const auto files =
        statstest::account(drive, ledger::Kind::Budget,
                           budget("2020-01-05", "4", "-300", "-250,25", "-300", "-250,25", "49,75", "1"));
    const std::vector<std::string> l =
        lines(accountReportFile(files, ReportKind::Pr_5, PostRange{1, 1}, "B", "2026-12-06"));
    ASSERT_EQ(l.size(), 4u);
    EXPECT_EQ(l[2], "Datum" + sp(6) + "Huvudtransaktion" + sp(5) + "Subtransaktion" + sp(8) + "Budg.belopp" +
                        sp(1) + "Verkl.belopp" + sp(3) + "Budg.saldo" + sp(2) + "Verkl.saldo" + sp(3) +
                        "Saldodiff.");
    EXPECT_EQ(l[3], "2020-01-05 Mat" + sp(18) + "Hyra" + sp(22) + "-300,00" + sp(6) + "-250,25" + sp(6) +
                        "-300,00" + sp(6) + "-250,25" + sp(8) + "49,75");
    // Every amount column ends just before its edge column.
    const std::vector<int> edges{66, 79, 92, 105, 118};
    for (int edge : edges)
        EXPECT_NE(l[3][static_cast<std::size_t>(edge - 2)], ' ') << edge;
    EXPECT_EQ(l[3].size(), 117u);
}

TEST(TextReport, PagesOfSeventyPosts) {
    for (const int posts : {140, 141}) {
        TempDrive drive;
        const auto files = statstest::account(drive, ledger::Kind::Cash, fixtures::cashPosts(posts));
        const std::string bytes =
            accountReportFile(files, ReportKind::Pr_1, PostRange{1, posts}, "K", "2026-12-06");
        const std::vector<std::string> l = lines(bytes);
        const std::size_t pages = posts == 140 ? 2 : 3;
        EXPECT_EQ(countOf(bytes, "Sida "), pages);
        ASSERT_EQ(l.size(), pages * 3 + static_cast<std::size_t>(posts) + (pages - 1));
        // Page two follows post 70 after one empty line.
        EXPECT_EQ(l[3 + 69].substr(0, 10), fixtures::nthDate(70));
        EXPECT_EQ(l[3 + 70], "");
        EXPECT_EQ(l[3 + 71], "Utskrift av K 2026-12-06" + sp(14) + "Sida 2");
        EXPECT_EQ(l[3 + 72], "");
        EXPECT_EQ(l[3 + 74].substr(0, 10), fixtures::nthDate(71));
        EXPECT_EQ(l.back().substr(0, 10), fixtures::nthDate(posts));
        if (posts == 141) {
            EXPECT_EQ(l[l.size() - 4], "Utskrift av K 2026-12-06" + sp(14) + "Sida 3");
        }
    }
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

    EXPECT_EQ(countOf(statisticsReportFile(statisticsOf(68), "K", "T", "2026-12-06"), "Sida "), 1u);
    const std::string two = statisticsReportFile(statisticsOf(69), "K", "T", "2026-12-06");
    const std::vector<std::string> l = lines(two);
    EXPECT_EQ(countOf(two, "Sida "), 2u);
    ASSERT_EQ(l.size(), 5u + 68 + 1 + 5 + 1);
    EXPECT_EQ(l[73], "");
    EXPECT_EQ(l[74], "Konto: 'K', datum: 2026-12-06, Sida 2");
    EXPECT_EQ(l[76], "Antal = 69");
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
