#pragma once

#include "store/RecordFile.h"

#include <string>
#include <vector>

namespace catalogue {

// A main or sub-transaction as the lists show it: its record number and trimmed name (UTF-8).
struct CatalogueItem {
    int recordNumber = 0;
    std::string name;
    char sign = ' '; // main transactions: '+', '-' or ' '
};

// Every named record of Transakt, in record order; free slots are left out.
std::vector<CatalogueItem> mainTransactions(const store::RecordFile& transakt);
// Every named record of Kategori, in record order.
std::vector<CatalogueItem> subTransactions(const store::RecordFile& kategori);
// Record number of the neutral standard transaction: the first record from 2 on with a name and
// a blank sign (record 1, "Kontostart", never counts); 0 when there is none.
int neutralStandardTransaction(const store::RecordFile& transakt);

} // namespace catalogue
