#include "stats/Reports.h"

#include "store/Cp1252.h"
#include "store/Records.h"

#include <array>
#include <stdexcept>

namespace stats {

namespace {

using C = Column;

struct ColumnInfo {
    std::string_view screenHeading, fileHeading;
    Align align;
};

ColumnInfo infoOf(Column c) {
    switch (c) {
    case C::Datum:
        return {"Datum", "Datum", Align::Centre};
    case C::Huvudtransaktion:
        return {"Huvudtransaktion", "Huvudtransaktion", Align::Left};
    case C::Subtransaktion:
        return {"Subtransaktion", "Subtransaktion", Align::Left};
    case C::Belopp:
        return {"Belopp", "Belopp", Align::Right};
    case C::Saldo:
        return {"Saldo", "Saldo", Align::Right};
    case C::BudgBelopp:
        return {"Budg.bel.", "Budg.belopp", Align::Right};
    case C::VerklBelopp:
        return {"Verkl.bel.", "Verkl.belopp", Align::Right};
    case C::BudgSaldo:
        return {"Budg.saldo", "Budg.saldo", Align::Right};
    case C::VerklSaldo:
        return {"Verkl.saldo", "Verkl.saldo", Align::Right};
    case C::DiffSaldo:
        return {"Saldodiff.", "Saldodiff.", Align::Right};
    }
    return {};
}

// Column, grid width, heading position on screen, file column.
struct Placement {
    Column column;
    int width, left, fileColumn;
};

ReportLayout make(ReportKind kind, int frameWidth, int frameLeft, int gridWidth, int perPage,
                  std::initializer_list<Placement> placements) {
    ReportLayout l{kind, frameWidth, frameLeft, gridWidth, perPage, {}};
    for (const Placement& s : placements) {
        const ColumnInfo info = infoOf(s.column);
        l.columns.push_back(ReportColumn{s.column, info.screenHeading, info.fileHeading, info.align, s.width,
                                         s.left, s.fileColumn, info.align == Align::Right});
    }
    return l;
}

const std::array<ReportLayout, 7>& layouts() {
    static const std::array<ReportLayout, 7> all{
        make(ReportKind::Pr_1, 6900, 4010, 6050, 70,
             {{C::Datum, 1100, 265, 1},
              {C::Huvudtransaktion, 2300, 1350, 12},
              {C::Belopp, 1300, 3710, 45},
              {C::Saldo, 1300, 5010, 58}}),
        make(ReportKind::Pr_2, 9200, 2860, 8350, 70,
             {{C::Datum, 1100, 265, 1},
              {C::Huvudtransaktion, 2300, 1350, 12},
              {C::Subtransaktion, 2300, 3650, 33},
              {C::Belopp, 1300, 6010, 66},
              {C::Saldo, 1300, 7310, 79}}),
        make(ReportKind::Pr_3, 9500, 2710, 8650, 70,
             {{C::Datum, 1100, 265, 1},
              {C::Huvudtransaktion, 2300, 1350, 12},
              {C::BudgBelopp, 1300, 3710, 45},
              {C::VerklBelopp, 1300, 5010, 58},
              {C::BudgSaldo, 1300, 6310, 71},
              {C::VerklSaldo, 1300, 7610, 84}}),
        make(ReportKind::Pr_4, 10800, 2060, 9970, 70,
             {{C::Datum, 1100, 265, 1},
              {C::Huvudtransaktion, 2300, 1350, 12},
              {C::BudgBelopp, 1300, 3710, 45},
              {C::VerklBelopp, 1300, 5010, 58},
              {C::BudgSaldo, 1300, 6310, 71},
              {C::VerklSaldo, 1300, 7610, 84},
              {C::DiffSaldo, 1300, 8910, 97}}),
        make(ReportKind::Pr_5, 13100, 910, 12250, 47,
             {{C::Datum, 1100, 265, 1},
              {C::Huvudtransaktion, 2300, 1350, 12},
              {C::Subtransaktion, 2300, 3650, 33},
              {C::BudgBelopp, 1300, 6010, 66},
              {C::VerklBelopp, 1300, 7310, 79},
              {C::BudgSaldo, 1300, 8610, 92},
              {C::VerklSaldo, 1300, 9910, 105},
              {C::DiffSaldo, 1300, 11210, 118}}),
        make(ReportKind::Pr_6, 11800, 1560, 10950, 47,
             {{C::Datum, 1100, 265, 1},
              {C::Huvudtransaktion, 2300, 1350, 12},
              {C::Subtransaktion, 2300, 3650, 33},
              {C::BudgBelopp, 1300, 6010, 66},
              {C::VerklBelopp, 1300, 7310, 79},
              {C::BudgSaldo, 1300, 8610, 92},
              {C::VerklSaldo, 1300, 9910, 105}}),
        make(ReportKind::Pr_7, 5600, 4460, 4750, 68,
             {{C::Datum, 1100, 265, 1}, {C::Subtransaktion, 2300, 1350, 12}, {C::Belopp, 1300, 3710, 45}}),
    };
    return all;
}

// The stored text of an amount column; a budget account's "Belopp" and "Saldo" are the actual
// ones.
template <typename Post> store::Field amountField(Column c);

template <> store::Field amountField<store::PostRec_Enkel>(Column c) {
    using P = store::PostRec_Enkel;
    if (c == C::Belopp)
        return P::Belopp;
    if (c == C::Saldo)
        return P::Saldo;
    throw std::invalid_argument("budget column on a cash-book account");
}

template <> store::Field amountField<store::PostRec_Budget>(Column c) {
    using P = store::PostRec_Budget;
    switch (c) {
    case C::Belopp:
    case C::VerklBelopp:
        return P::VerklBelopp;
    case C::Saldo:
    case C::VerklSaldo:
        return P::VerklSaldo;
    case C::BudgBelopp:
        return P::BudgBelopp;
    case C::BudgSaldo:
        return P::BudgSaldo;
    case C::DiffSaldo:
        return P::DiffSaldo;
    default:
        throw std::invalid_argument("not an amount column");
    }
}

template <typename Post>
void rowsOf(const AccountFiles& files, const ReportLayout& layout, int from, int to,
            const std::function<void(const ReportRow&)>& take, ReadTrace* trace) {
    const int last = std::min(to, static_cast<int>(files.kontoData.count()));
    ReportRow row(layout.columns.size());
    for (int n = std::max(from, 1); n <= last; ++n) {
        const Post post(recordView(files.kontoData, n));
        if (trace) {
            trace->record = n;
            trace->datum.assign(post.raw(Post::Datum));
            trace->amount.assign(post.raw(amountField<Post>(C::Belopp)));
        }
        for (std::size_t i = 0; i < layout.columns.size(); ++i) {
            const Column column = layout.columns[i].column;
            switch (column) {
            case C::Datum:
                row[i].assign(post.raw(Post::Datum));
                break;
            case C::Huvudtransaktion:
                row[i] = transactionNameRaw(files.transakt, post.raw(Post::TransNr));
                break;
            case C::Subtransaktion:
                row[i] = subTransactionNameRaw(files.kategori, post.raw(Post::SubTransNr));
                break;
            default:
                row[i] = store::displayStoredAmount(post.raw(amountField<Post>(column)));
                break;
            }
        }
        take(row);
    }
}

} // namespace

std::string_view kindCode(ReportKind kind) {
    static constexpr std::array<std::string_view, 7> codes{"Pr_1", "Pr_2", "Pr_3", "Pr_4",
                                                           "Pr_5", "Pr_6", "Pr_7"};
    return codes[static_cast<std::size_t>(kind)];
}

std::optional<ReportKind> kindFromChecks(bool sub, bool budget, bool diff) {
    if (!budget)
        return diff ? std::nullopt : std::optional(sub ? ReportKind::Pr_2 : ReportKind::Pr_1);
    if (sub)
        return diff ? ReportKind::Pr_5 : ReportKind::Pr_6;
    return diff ? ReportKind::Pr_4 : ReportKind::Pr_3;
}

bool needsBudgetAccount(ReportKind kind) {
    return kind != ReportKind::Pr_1 && kind != ReportKind::Pr_2 && kind != ReportKind::Pr_7;
}

const ReportLayout& layoutOf(ReportKind kind) {
    return layouts()[static_cast<std::size_t>(kind)];
}

void forEachReportRowRaw(const AccountFiles& files, ReportKind kind, int from, int to,
                         const std::function<void(const ReportRow&)>& take, ReadTrace* trace) {
    if (kind == ReportKind::Pr_7)
        throw std::invalid_argument("the statistics report has no account rows");
    if (needsBudgetAccount(kind) && files.kind != ledger::Kind::Budget)
        throw std::invalid_argument("budget report kind on a cash-book account");
    const ReportLayout& layout = layoutOf(kind);
    if (files.kind == ledger::Kind::Cash)
        rowsOf<store::PostRec_Enkel>(files, layout, from, to, take, trace);
    else
        rowsOf<store::PostRec_Budget>(files, layout, from, to, take, trace);
}

std::vector<ReportRow> reportRowsRaw(const AccountFiles& files, ReportKind kind, int from, int to) {
    std::vector<ReportRow> rows;
    forEachReportRowRaw(files, kind, from, to, [&](const ReportRow& row) { rows.push_back(row); });
    return rows;
}

std::vector<ReportRow> reportRows(const AccountFiles& files, ReportKind kind, int from, int to,
                                  ReadTrace* trace) {
    std::vector<ReportRow> rows;
    forEachReportRowRaw(
        files, kind, from, to, [&](const ReportRow& row) { rows.push_back(row); }, trace);
    for (ReportRow& row : rows)
        for (std::string& cell : row)
            cell = store::cp1252ToUtf8(cell);
    return rows;
}

std::vector<ReportRow> statisticsRows(const Statistics& st, int from, int to) {
    std::vector<ReportRow> rows;
    const int last = std::min(to, st.hits());
    for (int n = std::max(from, 1); n <= last; ++n) {
        const StatRow& r = st.rows[static_cast<std::size_t>(n - 1)];
        rows.push_back(ReportRow{r.datum, r.subTransaction, r.amount});
    }
    return rows;
}

int scrolled(const PostRange& range, int current, ScrollStep step) {
    switch (step) {
    case ScrollStep::Back1:
        return current - 1;
    case ScrollStep::Back15:
        return std::max(current - ScreenRows, range.first);
    case ScrollStep::Forward1:
        return current + 1;
    case ScrollStep::Forward15:
        return current + 2 * ScreenRows - 1 > range.last ? range.last - (ScreenRows - 1)
                                                         : current + ScreenRows;
    }
    return current;
}

bool canScrollBack(const PostRange& range, int current) {
    return current > range.first;
}

bool canScrollForward(const PostRange& range, int current) {
    return current + ScreenRows - 1 < range.last;
}

} // namespace stats
