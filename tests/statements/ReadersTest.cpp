#include "statements/Reader.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

using namespace statements;

namespace {

std::string sample(const std::string& name) {
    const auto path =
        std::filesystem::path(__FILE__).parent_path().parent_path() / "fixtures" / "statements" / name;
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in) << path;
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A row as one line: date, amount, text, then what is special about it.
std::string describe(const BankRow& r) {
    std::string s = (r.bookingDate ? store::dateText(*r.bookingDate) : "-") + " | " + r.amount.amountText() +
                    " | " + r.text;
    if (r.reserved)
        s += " | reserverad";
    if (!r.error.empty())
        s += " | fel: " + r.error;
    return s;
}

std::vector<std::string> describe(const Statement& s) {
    std::vector<std::string> out;
    for (const auto& r : s.rows)
        out.push_back(describe(r));
    return out;
}

struct SampleCase {
    std::string file;
    std::string format;
    std::vector<std::string> rows; // oldest first
};

TEST(ReadersTest, EachBanksSampleReadOldestFirst) {
    const std::vector<SampleCase> cases = {
        {"swedbank.csv",
         "Swedbank, kontoutdrag CSV",
         {"2023-11-20 | -8000 | HYRA \"DEC\", BRF LINDEN", "2023-11-25 | 25000 | LÖN NOVEMBER",
          "2023-12-04 | -42 | KORTKÖP 231203 SL", "2023-12-04 | -30,4 | KORTKÖP 231202 ICA NÄRA SOLNA"}},
        {"swedbank-tabs.txt",
         "Swedbank, kontoutdrag CSV",
         {"2023-11-30 | 1000 | SWISH FRÅN ANNA",
          "2023-12-01 | -120 | HOTEL \"ALPINA\" | fel: raden är i EUR, kontot i SEK"}},
        {"swedbank-english.csv",
         "Swedbank, kontoutdrag CSV (äldre engelsk layout)",
         {"2023-11-03 | -125,5 | Coop Konsum Card payment", "2023-11-05 | 2000 | Acme AB Salary",
          "2023-11-06 | 0 | Unknown Odd | fel: tecknet \"X\" är varken D eller K"}},
        {"nordea.csv",
         "Nordea, kontoutdrag CSV",
         {"2023-12-01 | 10000 | Lön", "2023-12-05 | -500 | Swish till Erik",
          "- | -99 | Kortköp 231206 Pressbyrån | reserverad"}},
        {"nordea-old.csv",
         "Nordea, kontoutdrag CSV (äldre layout)",
         {"2016-01-02 | 5000 | Insättning", "2016-01-05 | -245,5 | Kortköp 160104 Hemköp"}},
        {"seb.csv",
         "SEB, kontoutdrag CSV",
         {"2023-12-01 | 2253,52 | LÖN", "2023-12-05 | -253,52 | ÅHLÉNS CITY",
          "2023-12-05 | -253,52 | ÅHLÉNS CITY"}},
        {"handelsbanken.xls",
         "Handelsbanken, kontoutdrag XLS",
         {"2023-11-02 | -3746,5 | Bolån & ränta", "2023-11-28 | -1019,5 | Apotek Hjärtat"}},
        {"lansforsakringar.csv",
         "Länsförsäkringar, kontoutdrag CSV",
         {"2023-11-20 | 1500 | Insättning", "2023-11-29 | -312,9 | Willys Hemma"}},
        {"ica.csv",
         "ICA Banken, kontoutdrag CSV",
         {"2023-11-30 | 0 | Räntor | fel: beloppet (1 000 000 000,00) kr är för stort",
          "2023-12-01 | 21000 | Insättning", "2023-12-03 | -19961,17 | ICA Kvantum"}},
        {"statement1.ofx",
         "Nordbank, kontoutdrag OFX",
         {"- | -1 | Broken date | fel: datumet \"2023111\" går inte att läsa",
          "2023-11-10 | 1200,5 | Återbetalning", "2023-11-28 | -45 | Kiosk & Bar Card 1234"}},
        {"statement2.ofx",
         "Kontoutdrag OFX",
         {"2023-12-01 | -99,9 | Bokhandel & Café",
          "2023-12-02 | -10 | Hotel | fel: raden är i EUR, kontot i SEK"}},
        {"daymonth.qif",
         "Kontoutdrag QIF",
         {"2023-11-25 | 500 | Lön", "2023-12-03 | -1234,5 | Hyresvärd December"}},
    };
    for (const auto& c : cases) {
        const std::string bytes = sample(c.file);
        const Recognition r = recognise(bytes, {});
        EXPECT_TRUE(r.known) << c.file;
        EXPECT_EQ(r.format, c.format) << c.file;
        EXPECT_FALSE(r.qifDateOrderAmbiguous) << c.file;
        const Statement s = readStatement(bytes, {}, {});
        EXPECT_EQ(s.format, c.format) << c.file;
        EXPECT_EQ(s.bank, r.bank) << c.file;
        EXPECT_EQ(describe(s), c.rows) << c.file;
    }
}

TEST(ReadersTest, AccountBalanceAndIdentityComeWithTheRows) {
    const Statement swedbank = readStatement(sample("swedbank.csv"), {});
    EXPECT_TRUE(swedbank.hasBalance);
    EXPECT_EQ(swedbank.rows.back().balance, store::Amount::fromUnits(102341000));
    EXPECT_EQ(swedbank.rows.back().accountNumber, "8327-9-123456789");
    EXPECT_EQ(swedbank.rows.back().line, 3);
    EXPECT_EQ(readStatement(sample("ica.csv"), {}).rows.back().accountNumber, "Konto 9270-123 456 7");
    EXPECT_FALSE(readStatement(sample("lansforsakringar.csv"), {}).hasBalance);
    const Statement ofx = readStatement(sample("statement1.ofx"), {});
    EXPECT_EQ(ofx.rows.back().fitid, "T-0003");
    EXPECT_EQ(ofx.rows.back().accountNumber, "55501234");
    EXPECT_EQ(ofx.rows.back().transactionDate, (store::Date{2023, 11, 27}));
}

TEST(ReadersTest, TransactionDateTakenWhenAsked) {
    ReadOptions options;
    options.useTransactionDate = true;
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"swedbank.csv", "2023-11-19"},
        {"handelsbanken.xls", "2023-11-01"},
        {"statement1.ofx", "2023-11-10"}, // the first dated row has no DTUSER
        {"seb.csv", "2023-12-01"},        // no transaction date: the booking date stays
    };
    for (const auto& [file, first] : cases) {
        const Statement s = readStatement(sample(file), {}, options);
        const auto dated =
            std::find_if(s.rows.begin(), s.rows.end(), [](const BankRow& r) { return r.bookingDate; });
        EXPECT_EQ(store::dateText(*dated->bookingDate), first) << file;
    }
    EXPECT_TRUE(recognise(sample("swedbank.csv"), {}).hasTransactionDate);
    EXPECT_FALSE(recognise(sample("seb.csv"), {}).hasTransactionDate);
}

TEST(ReadersTest, QifDateOrderAskedOnlyWhenTheDatesLeaveItOpen) {
    const std::string bytes = sample("ambiguous.qif");
    EXPECT_TRUE(recognise(bytes, {}).qifDateOrderAmbiguous);
    EXPECT_THROW(readStatement(bytes, {}), UnreadableStatement);
    ReadOptions options;
    options.qifDateOrder = QifDateOrder::MonthDay;
    EXPECT_EQ(describe(readStatement(bytes, {}, options)),
              (std::vector<std::string>{"2023-03-04 | -10 | Kiosk", "2023-05-04 | -20 | Bio"}));
    options.qifDateOrder = QifDateOrder::DayMonth;
    EXPECT_EQ(describe(readStatement(bytes, {}, options)),
              (std::vector<std::string>{"2023-04-03 | -10 | Kiosk", "2023-04-05 | -20 | Bio"}));
    // A date that reads only one way settles the order, whatever the options say.
    options.qifDateOrder = QifDateOrder::MonthDay;
    EXPECT_EQ(readStatement(sample("daymonth.qif"), {}, options).rows.back().bookingDate,
              (store::Date{2023, 12, 3}));
}

TEST(ReadersTest, UnknownLayoutReadThroughTheMappingSavedForIt) {
    const std::string bytes = sample("own-layout.csv");
    EXPECT_FALSE(recognise(bytes, {}).known);
    EXPECT_THROW(readStatement(bytes, {}), UnreadableStatement);

    Mapping m = guessMapping(bytes);
    EXPECT_EQ(m.encoding, Encoding::Cp1252);
    EXPECT_EQ(m.separator, ';');
    EXPECT_EQ(m.skipLines, 1);
    EXPECT_TRUE(m.headerLine);
    EXPECT_EQ(
        (std::vector<int>{m.bookingDateColumn, m.textColumn, m.amountColumn, m.debitColumn, m.creditColumn}),
        (std::vector<int>{1, 2, 0, 3, 4}));
    EXPECT_EQ(m.dateFormat, DateFormat::DayMonthDots);
    EXPECT_TRUE(m.decimalComma);
    EXPECT_TRUE(m.newestFirst);
    EXPECT_EQ(m.signature.size(), 16u);
    EXPECT_EQ(previewCells(bytes, m, 2),
              (std::vector<std::vector<std::string>>{{"Dag", "Vad", "Ut", "In"},
                                                     {"05.12.2023", "Elräkning", "812,00", ""}}));

    m.name = "Sparbanken";
    const std::vector<Mapping> saved = {guessMapping(sample("nordea.csv")), m};
    const Recognition r = recognise(bytes, saved);
    EXPECT_TRUE(r.known);
    EXPECT_EQ(r.savedMapping, 1);
    EXPECT_EQ(r.format, "Sparbanken, sparat format");
    const Statement s = readStatement(bytes, saved);
    EXPECT_EQ(s.bank, "Sparbanken");
    EXPECT_EQ(describe(s),
              (std::vector<std::string>{"2023-12-01 | 1250 | Barnbidrag", "2023-12-05 | -812 | Elräkning"}));

    // A column the bank adds is another layout: the saved mapping no longer claims the file.
    std::string changed = bytes;
    changed.replace(changed.find("Dag;Vad;Ut;In"), 13, "Dag;Vad;Ut;In;Saldo");
    EXPECT_FALSE(recognise(changed, saved).known);
}

std::string utf16le(std::string_view ascii) {
    std::string out = "\xFF\xFE";
    for (const char c : ascii)
        out += std::string{c, '\0'};
    return out;
}

TEST(ReadersTest, MappingReadsWhatTheUserChose) {
    struct Case {
        std::string bytes;
        Mapping mapping;
        std::vector<std::string> rows;
    };
    Mapping signed_;
    signed_.encoding = Encoding::Utf16;
    signed_.separator = '\t';
    signed_.bookingDateColumn = 1;
    signed_.amountColumn = 2;
    signed_.signColumn = 3;
    signed_.textColumn = 4;
    signed_.dateFormat = DateFormat::Compact;
    signed_.decimalComma = false;
    Mapping headerless;
    headerless.skipLines = 2;
    headerless.headerLine = false;
    headerless.bookingDateColumn = 2;
    headerless.amountColumn = 1;
    headerless.dateFormat = DateFormat::DayMonthSlash;
    headerless.newestFirst = true;
    const std::vector<Case> cases = {
        {utf16le("Dag\tSumma\tDK\tText\r\n20231201\t1,250.5\tK\tL\xE5n\r\n20231202\t12.00\tD\tBio\r\n"),
         signed_,
         {"2023-12-01 | 1250,5 | L\xC3\xA5n", "2023-12-02 | -12 | Bio"}},
        {"Rapport\nKonto 1\n-5,5;02/12/2023;x\n1 000;01/12/2023\n;;\n7;31/11/2023\n",
         headerless,
         {"- | 7 |  | fel: datumet \"31/11/2023\" går inte att läsa", "2023-12-01 | 1000 | ",
          "2023-12-02 | -5,5 | "}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(describe(readWithMapping(c.bytes, c.mapping)), c.rows) << c.rows.front();
}

TEST(ReadersTest, AFileThatIsNoStatementIsRefusedWithAReason) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", "Filen är tom."},
        {" \r\n", "Filen är tom."},
        {"Hej!\nDetta är ett brev.\n", "Filens format känns inte igen."},
        {std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), "Filens format känns inte igen."},
        {"<html><body><table><tr><td>1</td></tr></table></body></html>", "Filens format känns inte igen."},
        {"OFXHEADER:100\nno tags here", "Filen är ingen läsbar OFX-fil."},
    };
    for (const auto& [bytes, reason] : cases) {
        try {
            readStatement(bytes, {});
            ADD_FAILURE() << bytes;
        } catch (const UnreadableStatement& e) {
            EXPECT_EQ(std::string(e.what()), reason);
        }
        EXPECT_FALSE(recognise(bytes, {}).known);
    }
    Mapping incomplete = guessMapping(sample("own-layout.csv"));
    incomplete.bookingDateColumn = 0;
    EXPECT_THROW(readWithMapping(sample("own-layout.csv"), incomplete), UnreadableStatement);
}

// The file the user names may be anything a shared folder holds: only a regular file is read, never
// through a link, and a FIFO is refused at once instead of waiting for a writer.
TEST(ReadersTest, OnlyARegularFileIsReadAsAStatement) {
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "moniva-statement-files";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir / "mapp");
    std::ofstream(dir / "tom.csv").flush();
    std::ofstream(dir / "utdrag.csv") << sample("swedbank.csv");
    ASSERT_EQ(::mkfifo((dir / "fifo.csv").c_str(), 0600), 0);
    std::filesystem::create_symlink(dir / "utdrag.csv", dir / "lank.csv");
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"saknas.csv", "Filen finns inte, är en länk eller är ingen vanlig fil."},
        {"mapp", "Filen finns inte, är en länk eller är ingen vanlig fil."},
        {"fifo.csv", "Filen finns inte, är en länk eller är ingen vanlig fil."},
        {"tom.csv", "Filen är tom."},
        {"lank.csv", "Filen finns inte, är en länk eller är ingen vanlig fil."},
        {"utdrag.csv", ""},
    };
    for (const auto& [name, reason] : cases) {
        try {
            EXPECT_EQ(readStatementFile((dir / name).string()), sample("swedbank.csv")) << name;
            EXPECT_EQ(reason, "") << name;
        } catch (const UnreadableStatement& e) {
            EXPECT_EQ(std::string(e.what()), reason) << name;
        }
    }
    std::filesystem::remove_all(dir);
}

} // namespace
