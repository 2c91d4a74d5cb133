// Spreadsheet files: CSV byte for byte, XLSX read back by a spreadsheet library.

#include "overview/Export.h"
#include "overview/Sheets.h"

#include "OverviewFiles.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>

using namespace overview;
using store::Amount;
namespace fs = std::filesystem;

namespace {

Sheet sample(std::string name = "Prov") {
    return sheetOf(std::move(name), {"Namn", "Datum", "Belopp", "Antal", "Andel (%)"},
                   {{Cell::textCell("Mat; \"bröd\""), Cell::dateCell("2026-01-05"),
                     Cell::amountCell(*Amount::parse("-1234,5")), Cell::countCell(3), Cell::shareCell(1667)},
                    {Cell::textCell("a,b"), Cell(), Cell::amountCell(*Amount::parse("0,1234")),
                     Cell::countCell(0), Cell::shareCell(-5)}});
}

// What the reading script prints, one line per checked fact.
std::string readBack(const fs::path& file) {
    const std::string script = R"(
import sys, openpyxl
wb = openpyxl.load_workbook(sys.argv[1])
for ws in wb.worksheets:
    print(ws.title, ws.freeze_panes, ws['A1'].font.b)
    for row in ws.iter_rows(min_row=1, max_row=3):
        print('|'.join('%s:%r:%s' % (c.data_type, c.value, c.number_format) for c in row))
    print(' '.join('%s=%d' % (k, v.width) for k, v in sorted(ws.column_dimensions.items())))
)";
    const std::string command =
        "/usr/bin/python3 -c \"$(cat <<'PY'\n" + script + "PY\n)\" '" + file.string() + "'";
    std::string out;
    FILE* pipe = ::popen(command.c_str(), "r");
    std::array<char, 4096> buffer{};
    while (std::size_t n = std::fread(buffer.data(), 1, buffer.size(), pipe))
        out.append(buffer.data(), n);
    ::pclose(pipe);
    return out;
}

} // namespace

TEST(Export, CsvInBothForms) {
    EXPECT_EQ(csvText(sample(), CsvForm::Spreadsheet), "\xEF\xBB\xBFNamn;Datum;Belopp;Antal;Andel (%)\r\n"
                                                       "\"Mat; \"\"bröd\"\"\";2026-01-05;-1234,50;3;16,67\r\n"
                                                       "a,b;;0,1234;0;-0,05\r\n");
    EXPECT_EQ(csvText(sample(), CsvForm::Standard), "Namn,Datum,Belopp,Antal,Andel (%)\r\n"
                                                    "\"Mat; \"\"bröd\"\"\",2026-01-05,-1234.50,3,16.67\r\n"
                                                    "\"a,b\",,0.1234,0,-0.05\r\n");
    TempDrive drive;
    writeCsv(drive / "a.csv", sample(), CsvForm::Spreadsheet);
    EXPECT_EQ(drive.readFile("a.csv"), csvText(sample(), CsvForm::Spreadsheet));
}

TEST(Export, CsvTextThatOpensLikeAFormulaStaysText) {
    struct Case {
        Cell cell;
        std::string spreadsheet, standard;
    } cases[] = {
        {Cell::textCell("=SUMMA(A1)"), "'=SUMMA(A1)", "'=SUMMA(A1)"},
        {Cell::textCell("+46 hyra"), "'+46 hyra", "'+46 hyra"},
        {Cell::textCell("-Hyra;el"), "\"'-Hyra;el\"", "'-Hyra;el"},
        {Cell::textCell("@a,b"), "'@a,b", "\"'@a,b\""},
        {Cell::textCell("\tx"), "'\tx", "'\tx"},
        {Cell::textCell("\rx"), "\"'\rx\"", "\"'\rx\""},
        {Cell::textCell("Mat = 5"), "Mat = 5", "Mat = 5"},
        {Cell::amountCell(*Amount::parse("-12,5")), "-12,50", "-12.50"},
        {Cell::shareCell(-5), "-0,05", "-0.05"},
    };
    for (const Case& c : cases) {
        const Sheet sheet = sheetOf("Prov", {"A"}, {{c.cell}});
        EXPECT_EQ(csvText(sheet, CsvForm::Spreadsheet), "\xEF\xBB\xBF"
                                                        "A\r\n" +
                                                            c.spreadsheet + "\r\n");
        EXPECT_EQ(csvText(sheet, CsvForm::Standard), "A\r\n" + c.standard + "\r\n");
    }
}

TEST(Export, XlsxCellsFormatsAndFrozenHeading) {
    TempDrive drive;
    const fs::path file = drive / "rapport.xlsx";
    writeXlsx(file, {sample(), sample("Andra")});
    EXPECT_EQ(drive.list(), (std::vector<std::string>{"rapport.xlsx"})); // no temporary file left
    const std::string sheet =
        "s:'Namn':General|s:'Datum':General|s:'Belopp':General|s:'Antal':General|s:'Andel (%)':General\n"
        "s:'Mat; \"bröd\"':General|d:datetime.datetime(2026, 1, 5, 0, 0):yyyy-mm-dd|n:-1234.5:#,##0.00|"
        "n:3:General|n:16.67:0.00\n"
        "s:'a,b':General|n:None:General|n:0.1234:#,##0.00|n:0:General|n:-0.05:0.00\n"
        "A=13 B=12 C=11 D=8 E=12\n";
    EXPECT_EQ(readBack(file), "Prov A2 True\n" + sheet + "Andra A2 True\n" + sheet);
}

TEST(Export, AFailedOrStoppedWritingLeavesNoFile) {
    TempDrive drive;
    const fs::path missing = drive / "saknas" / "rapport.xlsx";
    try {
        writeXlsx(missing, {sample()});
        FAIL();
    } catch (const store::FileError& e) {
        EXPECT_EQ(exportProblem(e), "Filen kunde inte sparas som\n" + missing.string() +
                                        "\n\nMappen finns inte.\n\nVälj en annan plats och försök igen.");
    }
    std::vector<Row> rows(3000, Row{Cell::countCell(1)});
    const Sheet large = sheetOf("Stor", {"Tal"}, rows);
    std::size_t seen = 0;
    EXPECT_THROW(writeXlsx(drive / "stor.xlsx", {large},
                           [&](std::size_t n) {
                               seen = n;
                               return n < 2048;
                           }),
                 ExportCancelled);
    EXPECT_EQ(seen, 2048u);
    EXPECT_THROW(writeCsv(missing.parent_path() / "a.csv", large, CsvForm::Standard), store::FileError);
    EXPECT_TRUE(drive.list().empty());
}
