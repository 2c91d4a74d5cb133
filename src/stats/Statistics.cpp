#include "stats/Statistics.h"

#include "store/Cp1252.h"
#include "store/Errors.h"
#include "store/Records.h"

namespace stats {

namespace {

template <typename Post>
void collect(const AccountFiles& files, const PostRange& range, int transNr, store::Field amountField,
             Statistics& st) {
    const int last = std::min(range.last, static_cast<int>(files.kontoData.count()));
    for (int n = range.first; n <= last; ++n) {
        const Post post(recordView(files.kontoData, n));
        if (post.recordNumber(Post::TransNr) != transNr)
            continue;
        StatRow row;
        row.datum = store::cp1252ToUtf8(post.raw(Post::Datum));
        row.subTransaction =
            store::cp1252ToUtf8(subTransactionNameRaw(files.kategori, post.raw(Post::SubTransNr)));
        const std::string stored = post.text(amountField);
        row.value = store::Amount::parseStored(stored);
        row.amount = store::displayStoredAmount(stored);
        // A damaged file can hold amounts far past the limit; a sum that no longer fits is refused
        // rather than wrapped into a wrong total.
        std::int64_t sum = 0;
        if (__builtin_add_overflow(st.total.units(), row.value.units(), &sum))
            throw store::DataError("Summan av beloppen är för stor");
        st.total = store::Amount::fromUnits(sum);
        st.rows.push_back(std::move(row));
    }
}

} // namespace

std::string totalText(store::Amount total) {
    return store::displayAmount(total);
}

std::string meanText(store::Amount total, int hits) {
    if (hits <= 0)
        return {};
    // |total| / hits in hundredths: units are ten-thousandths, so divide by hits * 100 and round
    // the remainder half away from zero.
    const std::int64_t units = total.abs().units();
    const std::int64_t divisor = static_cast<std::int64_t>(hits) * 100;
    std::int64_t hundredths = units / divisor;
    if ((units % divisor) * 2 >= divisor)
        ++hundredths;
    const std::string shown =
        store::formatPattern(store::Amount::fromUnits(hundredths * 100), store::DisplayPattern);
    return total.isNegative() ? "-" + shown : shown;
}

Statistics computeStatistics(const AccountFiles& files, const PostRange& range, int transNr) {
    Statistics st;
    st.transNr = transNr;
    if (transNr >= 1 && !range.empty()) {
        if (files.kind == ledger::Kind::Cash)
            collect<store::PostRec_Enkel>(files, range, transNr, store::PostRec_Enkel::Belopp, st);
        else
            collect<store::PostRec_Budget>(files, range, transNr, store::PostRec_Budget::VerklBelopp, st);
    }
    st.totalText = totalText(st.total);
    if (st.noHits())
        return st;
    st.meanText = meanText(st.total, st.hits());
    st.summary =
        "Antal = " + std::to_string(st.hits()) + ", Totalbel. = " + st.totalText + ", Medel = " + st.meanText;
    return st;
}

std::string noHitsMessageTitle(std::string_view utf8TransactionName) {
    return "Statistikupptagning av " + std::string(utf8TransactionName);
}

std::string statisticsHeading(std::string_view utf8TransactionName) {
    return "Statistik " + std::string(utf8TransactionName);
}

} // namespace stats
