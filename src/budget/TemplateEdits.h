#pragma once

// What the budget alternatives window reads from and marks in the budget template (B-mall): the
// records of a transaction, the transactions excluded from budgeting, and the exclusion mark.

#include "store/RecordFile.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace budget {

// One template record as the window uses it. Fields that do not read as numbers are kept apart so
// that one damaged record does not hide the others.
struct TemplateRecord {
    int record = 0;                     // 1-based record number in B-mall
    int transNr = 0;                    // 0 when the field is blank or no number
    int month = 0;                      // 1..12; 0 when the field is blank or no month
    int day = 0;                        // 1..31; 0 when the field is blank or no day
    std::optional<std::int64_t> amount; // empty when the field is no whole number
    bool monthBlank = false;            // the month field holds nothing at all
    bool excluded = false;              // "* " in the exclusion mark
    friend bool operator==(const TemplateRecord&, const TemplateRecord&) = default;
};

// Every record of the file, in file order (the count is the file length / 18).
std::vector<TemplateRecord> readTemplate(const store::RecordFile& mall);

// The records of one transaction, in file order.
std::vector<TemplateRecord> recordsOf(const std::vector<TemplateRecord>& records, int transNr);

// MarkCheck: each transaction that has a marked record, once, in the order of the template.
std::vector<int> excludedTransactions(const std::vector<TemplateRecord>& records);
bool isExcluded(const std::vector<TemplateRecord>& records, int transNr);
// Whether a marked record lies in the start month or later: the window then opens on the list of
// budgetable transactions.
bool anyExclusionFrom(const std::vector<TemplateRecord>& records, int startMonth);

// Every record of the transaction gets the exclusion mark "* " (excluded) or two blanks; nothing
// else in a record changes. Returns the number of records of the transaction: 0 means it is not in
// the template ("Transaktionen förekommer inte i budgetmallen !") and nothing was written. Works
// on the image; the caller commits.
int setExclusion(store::RecordFile& mall, int transNr, bool excluded);

} // namespace budget
