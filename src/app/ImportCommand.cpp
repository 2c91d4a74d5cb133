#include "app/ImportCommand.h"

#include "app/InstanceLock.h"
#include "budget/BudgetTemplate.h"
#include "ledger/LedgerView.h"
#include "statements/Apply.h"
#include "statements/Classify.h"
#include "statements/ImportFiles.h"
#include "statements/Reader.h"
#include "store/Cp1252.h"
#include "store/DateText.h"
#include "store/Errors.h"
#include "store/GroupCommit.h"
#include "store/History.h"
#include "store/Records.h"

#include <cstdlib>
#include <optional>

namespace app {

namespace {

namespace fs = std::filesystem;

ImportOutcome fail(int status, std::string message) {
    ImportOutcome out;
    out.status = status;
    out.message = std::move(message);
    return out;
}

struct Registered {
    std::string name; // Windows-1252
    ledger::Kind kind;
};

std::optional<Registered> findAccount(const store::DataPaths& paths, const std::string& utf8Name) {
    const std::optional<std::string> wanted = store::utf8ToCp1252(utf8Name);
    if (!wanted || !fs::is_regular_file(paths.kontoFil()))
        return std::nullopt;
    const store::RecordFile kontoFil(paths.kontoFil(), store::KontoRec::Length,
                                     store::RecordFile::Missing::Fail);
    for (std::size_t n = 1; n <= kontoFil.count(); ++n) {
        const auto rec = kontoFil.read<store::KontoRec>(n);
        if (rec.isFree() || rec.name() != *wanted)
            continue;
        if (const auto kind = ledger::kindFromCode(rec.text(store::KontoRec::KontoTyp)))
            return Registered{rec.name(), *kind};
    }
    return std::nullopt;
}

// A field of a line: the bank's text may hold the separators themselves.
std::string cell(std::string text) {
    for (char& c : text)
        if (c == '\t' || c == '\n' || c == '\r')
            c = ' ';
    return text;
}

std::string transactionName(const statements::AccountView& view, int transNr) {
    for (const catalogue::CatalogueItem& t : view.transactions)
        if (t.recordNumber == transNr)
            return t.name;
    return {};
}

// The rows a script may import without a person: a rule gave the transaction and nothing
// suggests the row is in the account already.
bool placedByRule(const statements::ClassifiedRow& row) {
    return row.tickable() && row.transNr > 0 && row.statusWord() == "regel";
}

bool settled(const statements::ClassifiedRow& row) {
    return row.status == statements::RowStatus::AlreadyImported ||
           row.status == statements::RowStatus::Reserved;
}

} // namespace

std::string lineAmount(long long units) {
    const bool negative = units < 0;
    const unsigned long long value = negative ? 0ULL - static_cast<unsigned long long>(units) : units;
    std::string fraction = std::to_string(value % 10000 + 10000).substr(1);
    while (fraction.size() > 2 && fraction.back() == '0')
        fraction.pop_back();
    return (negative ? "-" : "") + std::to_string(value / 10000) + "," + fraction;
}

ImportOutcome runImport(const ImportRequest& request, const store::DataPaths& paths,
                        const std::string& today) {
    std::string bytes;
    try {
        bytes = statements::readStatementFile(request.file.string());
    } catch (const statements::UnreadableStatement& e) {
        return fail(BadCommandLine, request.file.string() + ": " + e.what());
    }
    std::optional<Registered> account;
    try {
        account = findAccount(paths, request.account);
    } catch (const std::exception& e) {
        return fail(ImportFailed, std::string("kontoregistret kan inte läsas: ") + e.what());
    }
    if (!account)
        return fail(BadCommandLine, "kontot finns inte: " + request.account);

    // The statement first: a file that is none is told before the data is touched.
    std::vector<statements::Profile> profiles;
    statements::Statement statement;
    try {
        profiles = statements::readProfiles(paths);
        const std::vector<statements::Mapping> saved = statements::savedMappings(profiles);
        const statements::Recognition known = statements::recognise(bytes, saved);
        if (!known.known)
            return fail(BadCommandLine, "okänt filformat: " + request.file.string() +
                                            " (spara en tolkning av det i programmets importfönster)");
        statements::ReadOptions options;
        options.useTransactionDate = statements::usesTransactionDate(profiles, known.bank);
        statement = statements::readStatement(bytes, saved, options);
    } catch (const statements::UnreadableStatement& e) {
        return fail(BadCommandLine, request.file.string() + ": " + e.what());
    } catch (const std::exception& e) {
        return fail(ImportFailed, std::string("de sparade tolkningarna kan inte läsas: ") + e.what());
    }

    // The window must not write the same files meanwhile; a dry run writes nothing and needs no lock.
    std::unique_ptr<QLockFile> lock;
    if (!request.dryRun) {
        lock = lockDataRoot(paths);
        if (!lock)
            return fail(ImportFailed, "Moniva arbetar redan med data i " + paths.dataRoot().string() +
                                          "; stäng programmet och försök igen.");
    }

    try {
        std::optional<store::History> history;
        if (!request.dryRun) {
            // What a start of the window does first: an interrupted commit or undo is finished.
            store::recoverGroupCommit(paths.journalFolder());
            store::removeLeftoverTempFiles(paths.accountFolder(account->name));
            history.emplace(paths);
            try {
                history->recover();
            } catch (const store::HistoryMismatch&) {
                // The history is dropped and the import goes on without it, as in the window.
            }
            history->activate();
        }

        const statements::AccountView view = statements::readAccountView(paths, account->name, account->kind);
        statements::ImportPlan plan;
        plan.bank = statement.bank;
        plan.hasBalance = statement.hasBalance;
        plan.rows = statements::classify(std::move(statement), view);

        ImportOutcome out;
        bool left = false;
        for (const statements::ClassifiedRow& row : plan.rows) {
            const bool placed = placedByRule(row);
            plan.ticked.push_back(placed);
            left = left || !(placed || settled(row));
            out.rows += (row.row.bookingDate ? store::dateText(*row.row.bookingDate) : std::string()) + '\t' +
                        lineAmount(row.row.amount.units()) + '\t' + cell(row.row.text) + '\t' +
                        cell(transactionName(view, row.transNr)) + '\t' + row.statusWord() + '\n';
        }
        out.status = left ? ImportLeftRows : ImportComplete;

        const auto name = store::cp1252ToUtf8(account->name);
        if (request.dryRun)
            return out;

        store::RecordFile kontoData(paths.kontoData(account->name), ledger::recordLength(account->kind),
                                    store::RecordFile::Missing::Fail);
        store::RecordFile transakt(paths.transakt(account->name), store::TransRec::Length,
                                   store::RecordFile::Missing::Fail);
        store::RecordFile kategori(paths.kategori(account->name), store::KatRec::Length);
        // A budget account without a template (never opened in the window) gets none from here.
        std::optional<store::RecordFile> mall;
        std::optional<budget::BudgetTemplate> plannedTemplate;
        if (account->kind == ledger::Kind::Budget && fs::is_regular_file(paths.bMall(account->name))) {
            mall.emplace(paths.bMall(account->name), store::MallRec::Length,
                         store::RecordFile::Missing::Fail);
            plannedTemplate.emplace(*mall);
        }
        const statements::ImportTarget target{paths,
                                              account->name,
                                              kontoData,
                                              ledger::findPostCount(kontoData),
                                              transakt,
                                              kategori,
                                              mall ? &*mall : nullptr,
                                              plannedTemplate ? &*plannedTemplate : nullptr,
                                              today};
        const statements::ImportResult result = statements::applyImport(plan, target);
        if (result.outcome != ledger::Outcome::Done) {
            out.status = ImportLeftRows;
            out.message = "Ingenting lästes in: " + result.refusal;
            return out;
        }
        const statements::ImportSummary& s = result.summary;
        out.message = s.countsText() + " i kontot " + name + ".";
        for (const std::string& more : {s.confirmedText(), s.balanceText()})
            if (!more.empty())
                out.message += "\n" + more;
        return out;
    } catch (const std::exception& e) {
        return fail(ImportFailed, std::string("importen misslyckades, ingenting ändrades: ") + e.what());
    }
}

} // namespace app
