#pragma once

// The three files of one account that the statistics and report window reads. The window never
// writes them: they are opened read-only in spirit (a missing file is an error, never created).

#include "ledger/LedgerView.h"
#include "store/Paths.h"
#include "store/RecordFile.h"

#include <string>
#include <string_view>

namespace stats {

struct AccountFiles {
    ledger::Kind kind;
    store::RecordFile kontoData;
    store::RecordFile transakt;
    store::RecordFile kategori;
};

// Opens the account's KontoData (record length by kind), Transakt and Kategori from the data root.
// Throws store::FileError when one of them is missing or unreadable, store::DataError for a name
// that is no folder name.
AccountFiles openAccountFiles(const store::DataPaths& paths, std::string_view cp1252Name, ledger::Kind kind);

// The trimmed name (Windows-1252) of sub-transaction `subTransNr` in Kategori; empty for a blank
// field, a free slot or a number beyond the file. A field that is no number is a data error.
std::string subTransactionNameRaw(const store::RecordFile& kategori, std::string_view subTransNrField);
// The trimmed name (Windows-1252) of main transaction |transNr| in Transakt; empty as above.
std::string transactionNameRaw(const store::RecordFile& transakt, std::string_view transNrField);

// A view of record n of a file image without copying the file; past the end the record is short
// (the record types fill the rest with zero bytes, as a never-written part of a file reads).
std::string_view recordView(const store::RecordFile& file, int n);

} // namespace stats
