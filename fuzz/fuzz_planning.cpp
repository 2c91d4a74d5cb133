// Random bytes as the files the budget planning reads and marks: the budget template (B-mall), the
// red-day file and the account's catalogue, given in that order and separated by a line "##". The
// transactions are listed under every filter, each one's months filled and scanned for two
// periods, its exclusion mark set and cleared; the red days are counted, listed, and one is added,
// changed and removed. Only store::DataError and store::FileError may come out; a mark may change
// nothing but the mark bytes of the transaction's records (and write a last record cut short whole).

#include "FuzzFiles.h"

#include "budget/Period.h"
#include "budget/PeriodFill.h"
#include "budget/TemplateEdits.h"
#include "calendar/RedDays.h"
#include "store/Errors.h"
#include "store/RecordFile.h"
#include "store/Records.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

void planEveryTransaction(store::RecordFile& mall, const store::RecordFile& transakt,
                          const budget::RedDaySet& redDays) {
    const auto records = budget::readTemplate(mall);
    FUZZ_REQUIRE(records.size() == mall.count());
    for (const auto filter :
         {budget::Filter::All, budget::Filter::BudgetableOnly, budget::Filter::ExcludedOnly}) {
        for (const auto& t : budget::listTransactions(transakt, records, filter)) {
            FUZZ_REQUIRE(t.transNr >= 1 && static_cast<std::size_t>(t.transNr) <= transakt.count());
            for (const budget::Period period : {budget::Period{2027, 1, 12}, budget::Period{2028, 2, 3}}) {
                const auto rows = budget::fillFromTemplate(records, t.transNr, period, redDays);
                for (int m = 1; m <= 12; ++m) {
                    const auto& row = rows[static_cast<std::size_t>(m - 1)];
                    FUZZ_REQUIRE(row.day.empty() || period.contains(m));
                    if (!row.day.empty())
                        FUZZ_REQUIRE(row.day.size() == 2 &&
                                     std::stoi(row.day) <= store::daysInMonth(period.year, m));
                }
                const auto scan = budget::scanRows(rows, t.sign);
                for (const auto& s : scan.months)
                    FUZZ_REQUIRE(period.contains(s.month) && !s.amountText.empty());
            }
            if (filter != budget::Filter::All)
                continue;
            // Marking and unmarking touches the mark bytes of the transaction's records only.
            const std::string before = mall.image();
            const int marked = budget::setExclusion(mall, t.transNr, true);
            budget::setExclusion(mall, t.transNr, false);
            const std::string after = mall.image();
            // A last record cut short is written whole.
            const std::size_t whole = (before.size() + store::MallRec::Length - 1) / store::MallRec::Length;
            FUZZ_REQUIRE(after.size() >= before.size() && after.size() <= whole * store::MallRec::Length);
            for (std::size_t i = 0; i < before.size(); ++i)
                if (after[i] != before[i])
                    FUZZ_REQUIRE(marked > 0 && i % store::MallRec::Length >= 16);
            mall.mutableImage() = before;
        }
    }
}

void editRedDays(calendar::RedDays& days) {
    const int count = days.count();
    FUZZ_REQUIRE(count >= 0 && static_cast<std::size_t>(count) <= days.file().count());
    const auto list = days.list();
    FUZZ_REQUIRE(list.size() == static_cast<std::size_t>(count));
    (void)days.outdated(2026);
    fuzz::allowingDataErrors([&] {
        const int n = days.insert("Fuzzdag", "2026-06-06");
        FUZZ_REQUIRE(days.count() == count + 1 && n >= 1 && n <= days.count());
        FUZZ_REQUIRE(days.at(n).date == "2026-06-06");
        const int moved = days.change(n, "Annan dag", "2026-12-24");
        FUZZ_REQUIRE(days.count() == count + 1 && days.at(moved).date == "2026-12-24");
        days.remove(moved);
        FUZZ_REQUIRE(days.count() == count);
    });
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    static const fuzz::Workspace w("moniva-fuzz-plan");
    fuzz::writeFile(w / "B-mall", fuzz::part(input, 0));
    fuzz::writeFile(w / "RedDayFil", fuzz::part(input, 1));
    fuzz::writeFile(w / "Transakt", fuzz::part(input, 2));

    budget::RedDaySet redDays;
    fuzz::allowingDataErrors([&] {
        calendar::RedDays days(w / "RedDayFil");
        redDays = budget::redDaySet(days);
        editRedDays(days);
    });
    fuzz::allowingDataErrors([&] {
        store::RecordFile mall(w / "B-mall", store::MallRec::Length, store::RecordFile::Missing::Fail);
        const store::RecordFile transakt(w / "Transakt", store::TransRec::Length,
                                         store::RecordFile::Missing::Fail);
        planEveryTransaction(mall, transakt, redDays);
    });
    return 0;
}
