// Printing the widest report of a large account to a PDF through QPrinter, as the window does
// without a printer: the time of the whole job and the file's size (bytes) as a counter.

#include "stats/PrintLayout.h"
#include "stats/ui/ReportPrinter.h"
#include "store/Amount.h"
#include "store/DateText.h"

#include <QGuiApplication>
#include <QPrinter>

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace fs = std::filesystem;

namespace {

std::string pad(std::string s, std::size_t w) {
    s.resize(w, ' ');
    return s;
}

void write(const fs::path& p, const std::string& bytes) {
    fs::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary | std::ios::trunc)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// A budget account of n posts, three a day, five main and three sub-transactions in turn.
stats::AccountFiles account(const fs::path& root, int n) {
    const std::string name = "Budget" + std::to_string(n);
    const store::DataPaths paths(root);
    std::string posts, transakt, kategori;
    for (int t = 1; t <= 5; ++t)
        transakt += pad("Transaktion " + std::to_string(t), 35) + (t % 2 ? "-" : "+");
    for (int s = 1; s <= 3; ++s)
        kategori += pad("Sub " + std::to_string(s), 35);
    store::Date date{1990, 1, 1};
    store::Amount balance;
    for (int i = 0; i < n; ++i) {
        if (i > 0 && i % 3 == 0)
            date = store::stepDay(date, 1);
        const store::Amount amount = store::Amount::fromUnits(i % 2 ? -4117500 : 12345000);
        balance += amount;
        const std::string a = amount.amountText(), b = balance.amountText();
        posts += store::dateText(date) + pad(std::to_string(i % 5 + 1), 4) + pad(a, 11) + pad(a, 11) +
                 pad(b, 11) + pad(b, 11) + pad("0", 11) + " *" + pad(i % 4 ? std::to_string(i % 4) : "", 4) +
                 "  ";
    }
    write(paths.kontoData(name), posts);
    write(paths.transakt(name), transakt);
    write(paths.kategori(name), kategori);
    return stats::openAccountFiles(paths, name, ledger::Kind::Budget);
}

void BM_PrintPdf(benchmark::State& state, stats::ReportKind kind) {
    const int n = static_cast<int>(state.range(0));
    std::random_device rd;
    const fs::path root = fs::temp_directory_path() / ("moniva-printbench-" + std::to_string(rd()));
    const auto files = account(root / "MoniData", n);
    const fs::path pdf = root / "rapport.pdf";
    for (auto _ : state) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(pdf.string()));
        stats::QtPrintTarget target(printer, nullptr);
        if (!stats::printAccountReport(target, files, kind, stats::PostRange{1, n}, "Budget", "2026-12-06"))
            state.SkipWithError("stopped");
    }
    state.counters["bytes"] = static_cast<double>(fs::file_size(pdf));
    state.counters["pages"] = stats::printedPages(kind, n);
    fs::remove_all(root);
}

} // namespace

BENCHMARK_CAPTURE(BM_PrintPdf, Pr_1, stats::ReportKind::Pr_1)
    ->Arg(1000)
    ->Arg(100000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PrintPdf, Pr_5, stats::ReportKind::Pr_5)
    ->Arg(1000)
    ->Arg(100000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    // Fonts and the PDF engine need a GUI application; no window is shown.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
