#include "catalogue/SubTransactions.h"

#include "catalogue/MainTransactions.h"
#include "catalogue/PostPass.h"
#include "statements/RuleUpkeep.h"
#include "store/Records.h"

#include <stdexcept>
#include <string>

namespace catalogue {

using store::KatRec;

namespace {

void requireName(std::string_view cp1252Name) {
    if (store::trimField(cp1252Name).empty() || cp1252Name.size() > KatRec::SubTransNamn.width)
        throw std::invalid_argument("sub-transaction name empty or longer than its field");
}

void requireRecord(const store::RecordFile& kategori, int n) {
    if (n < 1 || static_cast<std::size_t>(n) > kategori.count())
        throw std::out_of_range("sub-transaction " + std::to_string(n) + " is not in Kategori");
}

} // namespace

int createSubTransaction(store::RecordFile& kategori, std::string_view cp1252Name) {
    requireName(cp1252Name);
    std::size_t slot = kategori.count() + 1;
    for (std::size_t n = 1; n <= kategori.count(); ++n)
        if (kategori.read<KatRec>(n).isBlank(KatRec::SubTransNamn)) {
            slot = n;
            break;
        }
    KatRec rec;
    rec.set(KatRec::SubTransNamn, cp1252Name);
    kategori.write(slot, rec);
    try {
        kategori.commit();
    } catch (...) {
        kategori.reload();
        throw;
    }
    return static_cast<int>(slot);
}

void renameSubTransaction(store::RecordFile& kategori, int subTransNr, std::string_view cp1252Name) {
    requireName(cp1252Name);
    requireRecord(kategori, subTransNr);
    KatRec rec;
    rec.set(KatRec::SubTransNamn, cp1252Name);
    kategori.write(static_cast<std::size_t>(subTransNr), rec);
    try {
        kategori.commit();
    } catch (...) {
        kategori.reload();
        throw;
    }
}

int deleteSubTransaction(store::RecordFile& kategori, store::RecordFile& kontoData, int postCount,
                         bool budget, int subTransNr, const std::filesystem::path& journalFolder) {
    try {
        requireRecord(kategori, subTransNr);
        const store::Field f = budget ? store::PostRec_Budget::SubTransNr : store::PostRec_Enkel::SubTransNr;
        pass::Plan plan(kontoData, postCount, budget);
        int cleared = 0;
        const ledger::shift::Posts posts(kontoData, postCount);
        for (int i = 1; i <= posts.count(); ++i)
            if (pass::numberIn(posts.field(i, f)) == subTransNr) {
                plan.setField(i, f, std::string(f.width, ' '));
                ++cleared;
            }
        kategori.write(static_cast<std::size_t>(subTransNr), KatRec());
        std::optional<store::RecordFile> rules = statements::openRulesBeside(kontoData);
        if (rules)
            statements::clearSubInRules(*rules, subTransNr);
        plan.apply();
        detail::commitTogether(journalFolder, {&kategori, &kontoData, statements::orNull(rules)});
        return cleared;
    } catch (...) {
        kategori.reload();
        kontoData.reload();
        throw;
    }
}

} // namespace catalogue
