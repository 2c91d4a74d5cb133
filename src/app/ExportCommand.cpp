#include "app/ExportCommand.h"

#include "overview/Export.h"
#include "overview/Sheets.h"
#include "overview/Sums.h"
#include "store/Errors.h"

#include <algorithm>
#include <cctype>

namespace app {

namespace {

using overview::OpenAccount;

ExportOutcome bad(std::string why) {
    return {BadCommandLine, std::move(why)};
}

// An open end of the period reaches the first or the last post of the accounts, so that a month
// by month report spans only months that have posts.
overview::Period periodOf(const ExportRequest& request, const std::vector<OpenAccount>& accounts) {
    std::string first = "9999-12-31", last = "0000-01-01";
    for (const OpenAccount& account : accounts)
        overview::forEachPost(account, [&](const overview::PostView& post) {
            const std::string_view date = post.date();
            if (date < first)
                first = date;
            if (date > last)
                last = date;
        });
    if (first > last) // no posts at all
        first = last = request.from.value_or(request.to.value_or("2000-01-01"));
    return {request.from.value_or(first), request.to.value_or(last)};
}

std::vector<overview::Sheet> sheetsOf(const ExportRequest& request, const std::vector<OpenAccount>& accounts,
                                      const overview::Period& period) {
    using Kind = ExportRequest::Kind;
    switch (request.kind) {
    case Kind::Posts: {
        std::vector<overview::Sheet> sheets;
        for (const OpenAccount& account : accounts)
            sheets.push_back(overview::postsSheet(account, period));
        return sheets;
    }
    case Kind::PerTransaction:
        return {
            overview::perTransactionSheet(overview::perTransaction(accounts, period, overview::Flow::Both))};
    case Kind::Month:
        return {overview::monthSheet(overview::monthByMonth(accounts, period, overview::Flow::Both))};
    }
    return {};
}

bool isCsv(const std::filesystem::path& out) {
    std::string ending = out.extension().string();
    std::transform(ending.begin(), ending.end(), ending.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ending == ".csv";
}

} // namespace

ExportOutcome runExport(const ExportRequest& request, const store::DataPaths& paths) {
    std::vector<OpenAccount> accounts;
    try {
        const std::vector<overview::AccountInfo> registered = overview::registeredAccounts(paths);
        std::vector<overview::AccountInfo> chosen;
        if (request.everyAccount)
            chosen = registered;
        for (const std::string& name : request.accounts) {
            const auto found = std::find_if(registered.begin(), registered.end(),
                                            [&](const overview::AccountInfo& a) { return a.name == name; });
            if (found == registered.end())
                return bad("kontot finns inte: " + name);
            if (std::none_of(chosen.begin(), chosen.end(),
                             [&](const overview::AccountInfo& a) { return a.name == name; }))
                chosen.push_back(*found);
        }
        if (chosen.empty())
            return bad("det finns inga konton i " + paths.dataRoot().string());
        // One CSV file holds one table, and the posts of different accounts have different columns.
        if (request.kind == ExportRequest::Kind::Posts && chosen.size() > 1 && isCsv(request.out))
            return bad("poster från flera konton kräver en .xlsx-fil (ett blad per konto)");
        for (const overview::AccountInfo& info : chosen)
            accounts.push_back(overview::openAccount(paths, info));
    } catch (const store::FileError& e) {
        return {ExportFailed, "kontot kunde inte läsas: " + e.path() + ": " + e.what()};
    } catch (const store::DataError& e) {
        return {ExportFailed, std::string("kontot kunde inte läsas: ") + e.what()};
    }

    try {
        const overview::Period period = periodOf(request, accounts);
        const std::vector<overview::Sheet> sheets = sheetsOf(request, accounts, period);
        if (isCsv(request.out))
            overview::writeCsv(request.out, sheets.front(), overview::CsvForm::Spreadsheet);
        else
            overview::writeXlsx(request.out, sheets);
        return {0, "Rapporten sparades i " + request.out.string() + " (" + period.from + " – " + period.to +
                       ")"};
    } catch (const store::FileError& e) {
        return {ExportFailed, overview::exportProblem(e)};
    } catch (const store::DataError& e) {
        return {ExportFailed, std::string("kontot kunde inte läsas: ") + e.what()};
    } catch (const std::exception& e) {
        return {ExportFailed, std::string("rapporten kunde inte sparas: ") + e.what()};
    }
}

} // namespace app
