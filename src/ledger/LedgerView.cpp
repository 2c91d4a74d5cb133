#include "ledger/LedgerView.h"

#include "store/Amount.h"
#include "store/Cp1252.h"

#include <algorithm>
#include <charconv>

namespace ledger {

namespace {

constexpr int WindowRows = 10;
constexpr std::size_t DatumWidth = 10;
constexpr std::string_view BlankDatum = "          ";

static_assert(store::PostRec_Enkel::Datum.offset == 0 && store::PostRec_Enkel::Datum.width == DatumWidth);
static_assert(store::PostRec_Budget::Datum.offset == 0 && store::PostRec_Budget::Datum.width == DatumWidth);

// The Datum field of record n, read straight from the file image so that walking a long account
// costs no copy per record. A record running past the end of the image reads its missing bytes as
// zero bytes, as every read of the file does.
std::string_view datumOf(const store::RecordFile& file, int n, std::array<char, DatumWidth>& scratch) {
    const std::string& image = file.image();
    const std::size_t offset = static_cast<std::size_t>(n - 1) * file.recordLength();
    if (offset + DatumWidth <= image.size())
        return std::string_view(image).substr(offset, DatumWidth);
    scratch.fill('\0');
    if (offset < image.size())
        image.copy(scratch.data(), image.size() - offset, offset);
    return {scratch.data(), DatumWidth};
}

// The rows first..last that exist: at most ten, from record 1, none past the file.
std::pair<int, int> shownRange(const store::RecordFile& kontoData, int first, int last) {
    first = std::max(first, 1);
    last = std::min({last, first + WindowRows - 1, static_cast<int>(kontoData.count())});
    return {first, last};
}

struct ShownAmount {
    std::string text;
    bool negative;
};

ShownAmount shownAmount(std::string_view stored) {
    return {store::displayStoredAmount(stored), !stored.empty() && stored.front() == '-'};
}

} // namespace

std::optional<Kind> kindFromCode(std::string_view code) {
    code = store::trimField(code);
    if (code == "Ek")
        return Kind::Cash;
    if (code == "Bg")
        return Kind::Budget;
    return std::nullopt;
}

std::size_t recordLength(Kind kind) {
    return kind == Kind::Cash ? store::PostRec_Enkel::Length : store::PostRec_Budget::Length;
}

int findPostCount(const store::RecordFile& kontoData) {
    std::array<char, DatumWidth> scratch{};
    for (int n = static_cast<int>(kontoData.count()); n >= 1; --n)
        if (datumOf(kontoData, n, scratch) != BlankDatum)
            return n;
    return 0;
}

int findCurrentPost(const store::RecordFile& kontoData, int postCount, std::string_view workingDate) {
    if (postCount <= 0)
        return 0;
    std::array<char, DatumWidth> scratch{};
    for (int n = postCount; n >= 1; --n) {
        const std::string_view datum = datumOf(kontoData, n, scratch);
        if (datum != BlankDatum && datum <= workingDate)
            return n;
    }
    // Every post lies after the working date: the view opens on the first post rather than on
    // whatever post was current in the account shown before.
    return 1;
}

void narrowRange(ScrollState& s, int postCount) {
    s.minimum = s.value > WindowRows ? s.value - WindowRows : 1;
    s.maximum = postCount - s.value > WindowRows ? s.value + WindowRows : postCount;
    // An account without posts still gets a valid (one-value) range.
    s.maximum = std::max(s.maximum, s.minimum);
}

ScrollState scrollSet(int postCount, int currentPost) {
    ScrollState s;
    s.enabled = true;
    if (postCount <= WindowRows) {
        s.value = 1;
        s.lastShown = postCount;
        s.enabled = false;
    } else if (postCount - currentPost >= WindowRows) {
        if (currentPost < 2) {
            s.value = 1;
            s.lastShown = WindowRows;
        } else {
            // The current post stands in the second row, with the post before it above.
            s.value = currentPost - 1;
            s.lastShown = currentPost + WindowRows - 2;
        }
    } else {
        s.value = postCount - WindowRows + 1;
        s.lastShown = postCount;
    }
    narrowRange(s, postCount);
    return s;
}

bool scrollTo(ScrollState& s, int postCount, int value) {
    if (postCount <= WindowRows) {
        s.value = 1;
        return false;
    }
    bool changed = true;
    if (value + WindowRows - 1 >= postCount) {
        s.value = postCount - WindowRows + 1;
        changed = s.lastShown != postCount;
        s.lastShown = postCount;
    } else if (value < 2) {
        s.value = 1;
        s.lastShown = WindowRows;
    } else {
        s.value = value;
        s.lastShown = value + WindowRows - 1;
    }
    narrowRange(s, postCount);
    return changed;
}

std::string transactionName(const store::RecordFile& transakt, std::string_view transNrField) {
    std::string_view digits = store::trimField(transNrField);
    // Older files hold some transaction numbers negated; the name is that of the absolute value.
    if (!digits.empty() && digits.front() == '-')
        digits.remove_prefix(1);
    int n = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), n);
    if (digits.empty() || ec != std::errc() || end != digits.data() + digits.size() || n < 1 ||
        static_cast<std::size_t>(n) > transakt.count())
        return {};
    const auto rec = transakt.read<store::TransRec>(static_cast<std::size_t>(n));
    return store::cp1252ToUtf8(rec.text(store::TransRec::TransNamn));
}

std::vector<CashRow> readCashView(const store::RecordFile& kontoData, const store::RecordFile& transakt,
                                  int first, int last) {
    using P = store::PostRec_Enkel;
    const auto [from, to] = shownRange(kontoData, first, last);
    std::vector<CashRow> rows;
    rows.reserve(WindowRows);
    for (int n = from; n <= to; ++n) {
        const auto post = kontoData.read<P>(static_cast<std::size_t>(n));
        CashRow row;
        row.datum = store::cp1252ToUtf8(post.text(P::Datum));
        row.transaktion = transactionName(transakt, post.raw(P::TransNr));
        auto belopp = shownAmount(post.text(P::Belopp));
        auto saldo = shownAmount(post.text(P::Saldo));
        row.belopp = std::move(belopp.text);
        row.beloppNegative = belopp.negative;
        row.saldo = std::move(saldo.text);
        row.saldoNegative = saldo.negative;
        row.markering = store::cp1252ToUtf8(post.text(P::Markering));
        rows.push_back(std::move(row));
    }
    return rows;
}

std::vector<BudgetRow> readBudgetView(const store::RecordFile& kontoData, const store::RecordFile& transakt,
                                      int first, int last) {
    using P = store::PostRec_Budget;
    const auto [from, to] = shownRange(kontoData, first, last);
    std::vector<BudgetRow> rows;
    rows.reserve(WindowRows);
    for (int n = from; n <= to; ++n) {
        const auto post = kontoData.read<P>(static_cast<std::size_t>(n));
        BudgetRow row;
        row.datum = store::cp1252ToUtf8(post.text(P::Datum));
        row.transaktion = transactionName(transakt, post.raw(P::TransNr));
        const std::array<store::Field, 5> fields{P::BudgBelopp, P::VerklBelopp, P::BudgSaldo, P::VerklSaldo,
                                                 P::DiffSaldo};
        const std::array<std::string*, 5> texts{&row.budgBelopp, &row.verklBelopp, &row.budgSaldo,
                                                &row.verklSaldo, &row.diffSaldo};
        for (std::size_t i = 0; i < fields.size(); ++i) {
            auto shown = shownAmount(post.text(fields[i]));
            *texts[i] = std::move(shown.text);
            row.negative[i] = shown.negative;
        }
        row.markering = store::cp1252ToUtf8(post.text(P::Markering));
        row.confirmed = post.confirmed();
        rows.push_back(std::move(row));
    }
    return rows;
}

} // namespace ledger
