#pragma once

// The sub-transactions of an account (Kategori). They carry no sign: a rename touches only the
// Kategori record, a deletion frees the record and clears the reference (SubTransNr) in the posts
// that used it; no amount or balance changes.

#include "store/RecordFile.h"

#include <filesystem>
#include <string_view>

namespace catalogue {

// SubTransSpar, new: the first free record (trimmed name empty), else appended. Returns its
// number. Committed before it returns.
int createSubTransaction(store::RecordFile& kategori, std::string_view cp1252Name);

// SubTransSpar, rename: the record gets the new name. Committed.
void renameSubTransaction(store::RecordFile& kategori, int subTransNr, std::string_view cp1252Name);

// SubTransRadera_Enkel / SubTransRadera_Budget: the record becomes 35 blanks and every post whose
// SubTransNr names it gets four blanks there. Kategori and KontoData are committed together, so a
// freed number is never reused while a post (or an import rule) still points at it. Returns how many
// posts it cleared.
int deleteSubTransaction(store::RecordFile& kategori, store::RecordFile& kontoData, int postCount,
                         bool budget, int subTransNr, const std::filesystem::path& journalFolder);

} // namespace catalogue
