#include "overview/Selection.h"

#include "accounts/Register.h"
#include "catalogue/Catalogue.h"
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

store::Amount amountOf(std::string_view raw) {
    const auto value = store::Amount::parse(store::trimField(raw));
    if (!value)
        throw store::DataError("Ogiltigt belopp: '" + std::string(store::trimField(raw)) + "'");
    return *value;
}

int numberOf(std::string_view raw) {
    return store::parseRecordNumber(store::trimField(raw));
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

const MainTransaction& OpenAccount::main(int transNr) const {
    static const MainTransaction none;
    return transNr >= 1 && static_cast<std::size_t>(transNr) < mains.size() ? mains[transNr] : none;
}

const std::string& OpenAccount::sub(int subNr) const {
    static const std::string none;
    return subNr >= 1 && static_cast<std::size_t>(subNr) < subs.size() ? subs[subNr] : none;
}

OpenAccount openAccount(const store::DataPaths& paths, const AccountInfo& info) {
    const auto raw = store::utf8ToCp1252(info.name);
    if (!raw)
        throw store::DataError("Kontonamnet kan inte skrivas i filernas teckenuppsättning");
    OpenAccount account{info, stats::openAccountFiles(paths, *raw, info.kind), 0, {}, {}};
    account.postCount = ledger::findPostCount(account.files.kontoData);
    account.mains.resize(account.files.transakt.count() + 1);
    for (catalogue::CatalogueItem& item : catalogue::mainTransactions(account.files.transakt))
        account.mains[static_cast<std::size_t>(item.recordNumber)] = {std::move(item.name), item.sign};
    account.subs.resize(account.files.kategori.count() + 1);
    for (catalogue::CatalogueItem& item : catalogue::subTransactions(account.files.kategori))
        account.subs[static_cast<std::size_t>(item.recordNumber)] = std::move(item.name);
    return account;
}

PostView readPost(const OpenAccount& account, int record) {
    std::string_view bytes = stats::recordView(account.files.kontoData, record);
    const std::size_t length = account.files.kontoData.recordLength();
    // The last record of a file cut short reads its missing bytes as zero bytes.
    thread_local std::string padded;
    if (bytes.size() < length) {
        padded.assign(bytes);
        padded.resize(length, '\0');
        bytes = padded;
    }
    const std::string_view date = bytes.substr(0, 10);
    if (date == "          ")
        return {record, date, 0, 0, {}, {}, false}; // out of use: its other fields may be anything
    if (account.info.kind == ledger::Kind::Cash) {
        using P = store::PostRec_Enkel;
        return {record,
                fieldOf(bytes, P::Datum),
                numberOf(fieldOf(bytes, P::TransNr)),
                numberOf(fieldOf(bytes, P::SubTransNr)),
                amountOf(fieldOf(bytes, P::Belopp)),
                store::Amount(),
                true};
    }
    using P = store::PostRec_Budget;
    return {record,
            fieldOf(bytes, P::Datum),
            numberOf(fieldOf(bytes, P::TransNr)),
            numberOf(fieldOf(bytes, P::SubTransNr)),
            amountOf(fieldOf(bytes, P::VerklBelopp)),
            amountOf(fieldOf(bytes, P::BudgBelopp)),
            fieldOf(bytes, P::BStatus) == "*"};
}

} // namespace overview
