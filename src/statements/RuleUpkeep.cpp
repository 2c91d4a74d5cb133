#include "statements/RuleUpkeep.h"

#include "statements/ImportFiles.h"

#include <filesystem>
#include <string>

namespace statements {

namespace {

// Each rule record naming `number` in field f, changed by `change`; only a changed record is written.
template <typename Change>
void eachNaming(store::RecordFile& rules, store::Field f, int number, Change change) {
    for (std::size_t n = 1; n <= rules.count(); ++n) {
        RuleRec rec = rules.read<RuleRec>(n);
        if (rec.isBlank(RuleRec::Monster) || rec.recordNumber(f) != number)
            continue;
        change(rec);
        rules.write(n, rec);
    }
}

} // namespace

std::optional<store::RecordFile> openRulesBeside(const store::RecordFile& kontoData) {
    const std::filesystem::path file = kontoData.path().parent_path() / "Importregler";
    std::error_code ec;
    if (!std::filesystem::exists(std::filesystem::symlink_status(file, ec)))
        return std::nullopt;
    return std::optional<store::RecordFile>(std::in_place, file, RuleRec::Length,
                                            store::RecordFile::Missing::Fail);
}

void dropRulesOf(store::RecordFile& rules, int transNr) {
    eachNaming(rules, RuleRec::TransNr, transNr, [](RuleRec& rec) { rec = RuleRec(); });
}

void clearSubInRules(store::RecordFile& rules, int subTransNr) {
    eachNaming(rules, RuleRec::SubTransNr, subTransNr,
               [](RuleRec& rec) { rec.set(RuleRec::SubTransNr, ""); });
}

void moveRules(store::RecordFile& rules, int fromTransNr, int toTransNr) {
    if (fromTransNr == toTransNr)
        return;
    eachNaming(rules, RuleRec::TransNr, fromTransNr,
               [&](RuleRec& rec) { rec.setRecordNumber(RuleRec::TransNr, toTransNr); });
}

} // namespace statements
