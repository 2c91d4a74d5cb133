// Reading bank statements of 1 000, 10 000 and 100 000 rows: Swedbank's CSV in Windows-1252
// (newest first, so reversed), Nordea's in UTF-8 with decimal commas, and an OFX file, from the
// bytes in memory to the rows oldest first.

#include "statements/Reader.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

std::string twoDigits(int n) {
    return (n < 10 ? "0" : "") + std::to_string(n);
}

// Day `i` counted back from the end of 2023 in 28-day months, so every date is real.
std::string dateOf(int i, int rows) {
    const int day = (rows - i) / 3;
    return std::to_string(2023 - day / 336) + "-" + twoDigits(1 + day / 28 % 12) + "-" +
           twoDigits(1 + day % 28);
}

std::string swedbank(int rows) {
    std::string s = "* Transaktioner Period 2000-01-01 \x96 2023-12-31 Skapad 2023-12-31 10:11 CET\r\n"
                    "Radnummer,Clearingnummer,Kontonummer,Produkt,Valuta,Bokf\xF6ringsdag,Transaktionsdag,"
                    "Valutadag,Referens,Beskrivning,Belopp,Bokf\xF6rt saldo\r\n";
    for (int i = 0; i < rows; ++i) {
        const std::string date = dateOf(i, rows);
        s += std::to_string(rows - i) + ",8327-9,123456789,Privatkonto,SEK," + date + "," + date + "," +
             date + ",ICA N\xC4RA,\"KORTK\xD6P 231202 ICA N\xC4RA SOLNA " + std::to_string(i % 97) + "\",-" +
             std::to_string(30 + i % 500) + "." + twoDigits(i % 100) + ",10234.10\r\n";
    }
    return s;
}

std::string nordea(int rows) {
    std::string s =
        "\xEF\xBB\xBF"
        "Bokf\xC3\xB6ringsdag;Belopp;Avs\xC3\xA4ndare;Mottagare;Namn;Rubrik;Saldo;Valuta;Meddelande;Egna "
        "anteckningar;\r\n";
    for (int i = 0; i < rows; ++i)
        s += dateOf(i, rows) + ";-1 " + std::to_string(100 + i % 900) + "," + twoDigits(i % 100) +
             ";1234 56 78901;;;Kortk\xC3\xB6p 231205 Pressbyr\xC3\xA5n;9 500,00;SEK;;;\r\n";
    return s;
}

std::string ofx(int rows) {
    std::string s =
        "OFXHEADER:100\r\nDATA:OFXSGML\r\nVERSION:102\r\n\r\n<OFX><BANKMSGSRSV1><STMTTRNRS><STMTRS>"
        "<CURDEF>SEK<BANKACCTFROM><ACCTID>55501234</BANKACCTFROM><BANKTRANLIST>\r\n";
    for (int i = 0; i < rows; ++i) {
        std::string date = dateOf(rows - i, rows);
        date.erase(7, 1).erase(4, 1);
        s += "<STMTTRN><TRNTYPE>DEBIT<DTPOSTED>" + date + "<TRNAMT>-" + std::to_string(10 + i % 700) +
             ".50<FITID>T" + std::to_string(i) + "<NAME>Kiosk " + std::to_string(i % 31) + "</STMTTRN>\r\n";
    }
    return s + "</BANKTRANLIST></STMTRS></STMTTRNRS></BANKMSGSRSV1></OFX>\r\n";
}

void BM_Read(benchmark::State& state, std::string (*make)(int)) {
    const std::string bytes = make(static_cast<int>(state.range(0)));
    std::size_t rows = 0;
    for (auto _ : state) {
        const auto statement = statements::readStatement(bytes, {});
        rows = statement.rows.size();
        benchmark::DoNotOptimize(statement);
    }
    if (rows != static_cast<std::size_t>(state.range(0)))
        state.SkipWithError("rows lost");
}

BENCHMARK_CAPTURE(BM_Read, Swedbank, swedbank)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Read, Nordea, nordea)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Read, Ofx, ofx)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
