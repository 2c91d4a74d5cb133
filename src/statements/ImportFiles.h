#pragma once

// The three files bank statement imports keep: fixed-record files like the rest of the data folder
// (Windows-1252, space padded, no line ends). Importregler and Importlogg lie in the account's
// folder, Importprofiler in the data root. None of them is made on opening: a missing file reads
// as empty, and the group commit of the first import that needs one creates it. The files of an
// older version keep their layout, so an account with imports still opens where these are unknown.

#include "statements/Reader.h"
#include "store/Amount.h"
#include "store/DateText.h"
#include "store/Paths.h"
#include "store/Records.h"

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace statements {

// Importregler: one rule per record; a blank pattern marks a free record, which a new rule reuses.
struct RuleRec : store::FixedRecord<48> {
    using FixedRecord::FixedRecord;
    static constexpr store::Field Monster{0, 40};    // the pattern
    static constexpr store::Field TransNr{40, 4};    // main transaction, record number in Transakt
    static constexpr store::Field SubTransNr{44, 4}; // sub-transaction in Kategori, blank for none
};

// Importlogg: one record per imported row, appended in the order of the imports.
struct LogRec : store::FixedRecord<113> {
    using FixedRecord::FixedRecord;
    static constexpr store::Field Fingeravtryck{0, 32}; // 32 hexadecimal digits
    static constexpr store::Field Datum{32, 10};        // the date the post took, yyyy-mm-dd
    static constexpr store::Field Belopp{42, 11};       // AmountText, "-" for money out
    static constexpr store::Field Text{53, 60};         // the bank's text, cut to the field
};

// Importprofiler: one record per saved mapping of an unknown layout, and one per known bank whose
// posts take the transaction date; a blank name marks a free record. Flags are "J" or "N".
struct ProfileRec : store::FixedRecord<86> {
    using FixedRecord::FixedRecord;
    static constexpr store::Field Namn{0, 35};
    static constexpr store::Field Slag{35, 1};            // "M" a saved mapping, "B" a bank's date choice
    static constexpr store::Field Transaktionsdag{36, 1}; // "J": posts take the transaction date
    static constexpr store::Field Kodning{37, 1};         // Encoding as its digit
    static constexpr store::Field Skiljetecken{38, 1};    // ";", "," or a tab byte
    static constexpr store::Field Hoppa{39, 3};           // lines to skip
    static constexpr store::Field Rubrikrad{42, 1};
    static constexpr store::Field BokfKolumn{43, 3}; // columns from 1, blank for none
    static constexpr store::Field TransKolumn{46, 3};
    static constexpr store::Field TextKolumn{49, 3};
    static constexpr store::Field BeloppKolumn{52, 3};
    static constexpr store::Field DebetKolumn{55, 3};
    static constexpr store::Field KreditKolumn{58, 3};
    static constexpr store::Field DkKolumn{61, 3};
    static constexpr store::Field SaldoKolumn{64, 3};
    static constexpr store::Field Datumformat{67, 1}; // DateFormat as its digit
    static constexpr store::Field Decimalkomma{68, 1};
    static constexpr store::Field NyastForst{69, 1};
    static constexpr store::Field Signatur{70, 16}; // the header line's signature, blank for none
};

inline constexpr std::size_t MaxPatternLength = RuleRec::Monster.width;
inline constexpr std::size_t MaxProfileNameLength = ProfileRec::Namn.width;

// A remembered rule: bank rows whose text holds the pattern get the transaction.
struct Rule {
    int record = 0;      // record number in Importregler; 0 for a rule not written yet
    std::string pattern; // UTF-8, only characters Windows-1252 holds, at most MaxPatternLength
    int transNr = 0;
    int subNr = 0; // 0 for none
    friend bool operator==(const Rule&, const Rule&) = default;
};

// One imported row, so a second import of the same row is known.
struct LogEntry {
    std::string fingerprint;
    store::Date date;
    store::Amount amount;
    std::string text; // UTF-8
    friend bool operator==(const LogEntry&, const LogEntry&) = default;
};

struct Profile {
    // True: `mapping` is a saved mapping of an unknown layout. False: only the date choice of a
    // built-in layout, whose bank is mapping.name.
    bool savedMapping = true;
    bool useTransactionDate = false;
    Mapping mapping;
};

// The whole image of an import file; empty when it does not exist. Opened as every data file is,
// as a regular file and never through a link. Throws store::FileError when it cannot be read.
std::string readImportFile(const std::filesystem::path& file);

// Records decoded from an image. A record whose number fields hold anything but digits is a
// store::DataError; free records are left out.
std::vector<Rule> parseRules(std::string_view image);
std::vector<LogEntry> parseLog(std::string_view image);
std::vector<Profile> parseProfiles(std::string_view image);

std::vector<Rule> readRules(const store::DataPaths& paths, std::string_view cp1252Account);
std::vector<LogEntry> readLog(const store::DataPaths& paths, std::string_view cp1252Account);
std::vector<Profile> readProfiles(const store::DataPaths& paths);

// The new content of a file, to stage in the import's store::GroupCommit. Like every data file
// they never shrink and keep the bytes of every record that does not change:
//  - rules: a rule with a record number is written there, a new one (record 0) takes the first free
//    record or is appended, and a record no rule names any more is blanked. A pattern that is
//    empty, longer than MaxPatternLength or not Windows-1252 is a store::DataError.
//  - log: the entries are appended; a text is cut to its field (it only reminds of the row).
//  - profiles: written in order from record 1, the records after them blanked. A name that is
//    empty, too long or not Windows-1252 is a store::DataError.
std::string rulesContent(std::string_view oldImage, const std::vector<Rule>& rules);
std::string logContent(std::string_view oldImage, const std::vector<LogEntry>& added);
std::string profilesContent(std::string_view oldImage, const std::vector<Profile>& profiles);

// The saved mappings in record order, as recognise() and readStatement() take them (an index of
// Recognition::savedMapping counts in this list).
std::vector<Mapping> savedMappings(const std::vector<Profile>& profiles);
// Whether the bank's posts take the transaction date (a saved mapping's own flag, else the bank's
// record), and the choice changed: a known bank without a record gets one.
bool usesTransactionDate(const std::vector<Profile>& profiles, std::string_view bank);
void setTransactionDate(std::vector<Profile>& profiles, std::string_view bank, bool useTransactionDate);
// A mapping saved under a name that is already saved replaces it (keeping its date choice).
void saveMapping(std::vector<Profile>& profiles, const Mapping& mapping);

} // namespace statements
