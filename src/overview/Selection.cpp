#include "overview/Selection.h"

#include "accounts/Register.h"
#include "catalogue/Catalogue.h"
#include "store/AmountField.h"
#include "store/Cp1252.h"
#include "store/DateText.h"
#include "store/Errors.h"
#include "store/Records.h"

#include <filesystem>

namespace overview {

namespace {

Period fromMonths(int year, int firstMonth, int lastMonth) {
    return {store::dateText({year, firstMonth, 1}),
            store::dateText({year, lastMonth, store::daysInMonth(year, lastMonth)})};
}

// Every pass decodes up to three fields of each post: the usual forms are read directly, any other
// text goes to the store's general decoders, which take what older files hold or refuse it.
std::string_view blanksTrimmed(std::string_view raw) {
    std::size_t b = 0, e = raw.size();
    while (b < e && (raw[b] == ' ' || raw[b] == '\0'))
        ++b;
    while (e > b && (raw[e - 1] == ' ' || raw[e - 1] == '\0'))
        --e;
    return raw.substr(b, e - b);
}

store::Amount amountOf(std::string_view raw) {
    std::int64_t units = 0;
    if (raw.size() == store::AmountFieldWidth && store::field::read(raw.data(), units))
        return store::Amount::fromUnits(units);
    return store::Amount::parseStored(blanksTrimmed(raw));
}

int numberOf(std::string_view raw) {
    // As the program writes it: digits from the first byte, then spaces.
    int n = 0;
    std::size_t i = 0;
    for (; i < raw.size() && i < 4 && raw[i] >= '0' && raw[i] <= '9'; ++i)
        n = n * 10 + (raw[i] - '0');
    if (i > 0 && raw.find_first_not_of(' ', i) == std::string_view::npos)
        return n;
    const std::string_view t = blanksTrimmed(raw);
    const std::size_t sign = !t.empty() && t[0] == '-' ? 1 : 0;
    n = 0;
    for (i = sign; i < t.size() && i < sign + 4 && t[i] >= '0' && t[i] <= '9'; ++i)
        n = n * 10 + (t[i] - '0');
    if (t.empty() || (i > sign && i == t.size()))
        return n; // a negated number names the record of its absolute value
    return store::parseRecordNumber(t);
}

std::string_view fieldOf(std::string_view record, store::Field f) {
    return record.substr(f.offset, f.width);
}

} // namespace

Period monthPeriod(int year, int month) {
    return fromMonths(year, month, month);
}

Period quarterPeriod(int year, int quarter) {
    return fromMonths(year, quarter * 3 - 2, quarter * 3);
}

Period yearPeriod(int year) {
    return fromMonths(year, 1, 12);
}

Period rangePeriod(std::string_view from, std::string_view to) {
    if (!store::parseDate(from) || !store::parseDate(to))
        throw store::DataError("Ogiltigt datum");
    if (from > to)
        throw store::DataError("Startdatum efter slutdatum");
    return {std::string(from), std::string(to)};
}

std::vector<AccountInfo> registeredAccounts(const store::DataPaths& paths) {
    std::vector<AccountInfo> out;
    if (!std::filesystem::exists(paths.kontoFil()))
        return out;
    const store::RecordFile kontoFil(paths.kontoFil(), store::KontoRec::Length,
                                     store::RecordFile::Missing::Fail);
    for (const accounts::RegisterEntry& entry : accounts::listAccounts(kontoFil)) {
        const auto rec = kontoFil.read<store::KontoRec>(static_cast<std::size_t>(entry.recordNumber));
        if (const auto kind = ledger::kindFromCode(rec.text(store::KontoRec::KontoTyp)))
            out.push_back({entry.name, *kind});
    }
    return out;
}

const MainTransaction& Catalogue::main(int transNr) const {
    static const MainTransaction none;
    return transNr >= 1 && static_cast<std::size_t>(transNr) < mains.size() ? mains[transNr] : none;
}

const std::string& Catalogue::sub(int subNr) const {
    static const std::string none;
    return subNr >= 1 && static_cast<std::size_t>(subNr) < subs.size() ? subs[subNr] : none;
}

Catalogue readCatalogue(const stats::AccountFiles& files) {
    Catalogue c;
    c.mains.resize(files.transakt.count() + 1);
    for (catalogue::CatalogueItem& item : catalogue::mainTransactions(files.transakt))
        c.mains[static_cast<std::size_t>(item.recordNumber)] = {std::move(item.name), item.sign};
    c.subs.resize(files.kategori.count() + 1);
    for (catalogue::CatalogueItem& item : catalogue::subTransactions(files.kategori))
        c.subs[static_cast<std::size_t>(item.recordNumber)] = std::move(item.name);
    return c;
}

OpenAccount openAccount(const store::DataPaths& paths, const AccountInfo& info) {
    const auto raw = store::utf8ToCp1252(info.name);
    if (!raw)
        throw store::DataError("Kontonamnet kan inte skrivas i filernas teckenuppsättning");
    stats::AccountFiles files = stats::openAccountFiles(paths, *raw, info.kind);
    Catalogue catalogue = readCatalogue(files);
    const int postCount = ledger::findPostCount(files.kontoData);
    return OpenAccount{std::move(catalogue), info, std::move(files), postCount};
}

int PostView::transNr() const {
    return numberOf(fieldOf(bytes_, store::PostRec_Enkel::TransNr)); // the same place in both kinds
}

int PostView::subNr() const {
    return numberOf(fieldOf(bytes_, kind_ == ledger::Kind::Cash ? store::PostRec_Enkel::SubTransNr
                                                                : store::PostRec_Budget::SubTransNr));
}

store::Amount PostView::amount() const {
    return amountOf(fieldOf(bytes_, kind_ == ledger::Kind::Cash ? store::PostRec_Enkel::Belopp
                                                                : store::PostRec_Budget::VerklBelopp));
}

store::Amount PostView::budgeted() const {
    return kind_ == ledger::Kind::Cash ? store::Amount()
                                       : amountOf(fieldOf(bytes_, store::PostRec_Budget::BudgBelopp));
}

store::Amount PostView::amountAt(store::Field field) const {
    return amountOf(fieldOf(bytes_, field));
}

bool PostView::confirmed() const {
    return kind_ == ledger::Kind::Cash || fieldOf(bytes_, store::PostRec_Budget::BStatus) == "*";
}

} // namespace overview
