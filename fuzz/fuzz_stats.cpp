// Random bytes as the three files the statistics and report window reads (KontoData, Transakt,
// Kategori, separated by lines "##"), read as an account of either kind: the period found and
// narrowed, the statistics of every transaction with their table, text file, printout and diagram
// pages, every report kind on screen, in the text file and on paper, and the report's scrolling.
// Only store::DataError and store::FileError may come out; anything else is a fault.

#include "FuzzFiles.h"

#include "stats/AccountFiles.h"
#include "stats/Diagram.h"
#include "stats/Period.h"
#include "stats/PrintLayout.h"
#include "stats/Reports.h"
#include "stats/Statistics.h"
#include "stats/TextReport.h"
#include "store/Paths.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

constexpr std::string_view Today = "2026-06-15";
constexpr std::string_view Name = "Konto";

const store::DataPaths& paths() {
    static fuzz::Workspace w("moniva-fuzz-stats");
    static const store::DataPaths p = [] {
        store::DataPaths d(w.path());
        fuzz::fs::create_directories(d.accountFolder(Name));
        return d;
    }();
    return p;
}

stats::RecordingTarget printer() {
    return stats::RecordingTarget(
        [](stats::PrintFont, std::string_view text) { return static_cast<int>(text.size()) * 100; });
}

void statistics(const stats::AccountFiles& files, const stats::PeriodSelection& period, int transNr) {
    fuzz::allowingDataErrors([&] {
        const stats::Statistics st = stats::computeStatistics(files, period.range(), transNr);
        FUZZ_REQUIRE(st.hits() <= period.range().size());
        FUZZ_REQUIRE(st.noHits() == st.summary.empty() && st.noHits() == st.meanText.empty());
        const auto rows = stats::statisticsRows(st, 1, stats::ScreenRows);
        FUZZ_REQUIRE(rows.size() == static_cast<std::size_t>(std::min(st.hits(), stats::ScreenRows)));
        FUZZ_REQUIRE(stats::statisticsReportFile(st, "Konto", "Mat", Today).empty() == st.noHits());
        auto target = printer();
        FUZZ_REQUIRE(stats::printStatisticsReport(target, st, "Konto", "Mat", Today));

        stats::Diagram diagram(st.rows, transNr % 2 == 0);
        for (int page = 0; page < 3; ++page) {
            FUZZ_REQUIRE(diagram.entries().size() <= static_cast<std::size_t>(stats::diagram::PageSize));
            for (const auto& line : diagram.drawing().lines)
                FUZZ_REQUIRE(line.x1 >= 0 && line.x2 <= stats::diagram::PictureWidth && line.y1 >= 0 &&
                             line.y2 <= stats::diagram::PictureHeight);
            (void)diagram.yearText();
            diagram.DiagramSkapa();
        }
        (void)stats::diagramTitle("Mat", "Konto", period.parts());
    });
}

void reports(const stats::AccountFiles& files, const stats::PostRange& range) {
    for (const auto kind : {stats::ReportKind::Pr_1, stats::ReportKind::Pr_2, stats::ReportKind::Pr_3,
                            stats::ReportKind::Pr_4, stats::ReportKind::Pr_5, stats::ReportKind::Pr_6}) {
        if (stats::needsBudgetAccount(kind) && files.kind != ledger::Kind::Budget)
            continue;
        fuzz::allowingDataErrors([&] {
            // A screen page as the window asks for it.
            const int to = std::min(range.first + stats::ScreenRows - 1, range.last);
            const auto rows = stats::reportRows(files, kind, range.first, to);
            FUZZ_REQUIRE(rows.size() == static_cast<std::size_t>(std::max(0, to - range.first + 1)));
            for (const auto& row : rows)
                FUZZ_REQUIRE(row.size() == stats::layoutOf(kind).columns.size());
            (void)stats::accountReportFile(files, kind, range, "Konto", Today);
            auto target = printer();
            FUZZ_REQUIRE(stats::printAccountReport(target, files, kind, range, "Konto", Today));
        });
    }
    // The scroll buttons a page offers keep the report inside the range.
    int current = range.first;
    for (const auto step :
         {stats::ScrollStep::Forward15, stats::ScrollStep::Forward1, stats::ScrollStep::Forward15,
          stats::ScrollStep::Back15, stats::ScrollStep::Back1}) {
        const bool forward = step == stats::ScrollStep::Forward1 || step == stats::ScrollStep::Forward15;
        if (forward ? !stats::canScrollForward(range, current) : !stats::canScrollBack(range, current))
            continue;
        current = stats::scrolled(range, current, step);
        FUZZ_REQUIRE(current >= range.first && current <= range.last);
    }
}

void readAccount(ledger::Kind kind) {
    const stats::AccountFiles files = stats::openAccountFiles(paths(), Name, kind);
    stats::PeriodSelection period(files.kontoData);
    const int postCount = period.hasPosts() ? period.span()->postCount : 0;
    FUZZ_REQUIRE(period.range().size() <= postCount);
    if (period.hasPosts()) {
        // A narrower period: the second year of the file on, up to its last month's middle.
        stats::PeriodParts narrower = period.parts();
        // Dates that are no dates leave no years to pick.
        if (const auto years = period.years(); !years.empty())
            narrower.startYear = years[std::min<std::size_t>(1, years.size() - 1)];
        narrower.endDay = "15";
        const auto days = stats::dayList(narrower.endYear, narrower.endMonth);
        FUZZ_REQUIRE(days.size() >= 28 && days.size() <= 31);
        stats::PeriodSelection narrowed = period;
        if (narrowed.change(files.kontoData, narrower))
            FUZZ_REQUIRE(narrowed.range().first >= 1 && narrowed.range().last <= postCount);
        reports(files, narrowed.range());
    }
    reports(files, period.range());
    const int transactions = static_cast<int>(std::min<std::size_t>(files.transakt.count(), 6));
    for (int transNr = 0; transNr <= transactions; ++transNr)
        statistics(files, period, transNr);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const store::DataPaths& p = paths();
    fuzz::writeFile(p.kontoData(Name), fuzz::part(input, 0));
    fuzz::writeFile(p.transakt(Name), fuzz::part(input, 1));
    fuzz::writeFile(p.kategori(Name), fuzz::part(input, 2));
    fuzz::allowingDataErrors([] { readAccount(ledger::Kind::Cash); });
    fuzz::allowingDataErrors([] { readAccount(ledger::Kind::Budget); });
    return 0;
}
