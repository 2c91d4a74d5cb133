// Printing the widest report of a large account to a PDF through QPrinter, as the window does
// without a printer: the time of the whole job and the file's size (bytes) as a counter.

#include "StatsAccounts.h"
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

void BM_PrintPdf(benchmark::State& state, stats::ReportKind kind) {
    const int n = static_cast<int>(state.range(0));
    std::random_device rd;
    const fs::path root = fs::temp_directory_path() / ("moniva-printbench-" + std::to_string(rd()));
    const auto files = benchdata::statsAccount(root / "MoniData", ledger::Kind::Budget, n);
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
