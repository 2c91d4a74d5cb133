#pragma once

// Every record format of the data folder, byte for byte. A record keeps its raw bytes exactly as
// in the file (Windows-1252, space padded, possibly NUL bytes where a field was never written),
// so a record read and written back unchanged is byte-identical.

#include "store/Amount.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace store {

struct Field {
    std::size_t offset;
    std::size_t width;
};

// Spaces and NUL bytes around a field are not part of its value.
std::string_view trimField(std::string_view raw);

template <std::size_t L> class FixedRecord {
public:
    static constexpr std::size_t Length = L;

    // A fresh record is all spaces: every field blank.
    FixedRecord() { bytes_.fill(' '); }
    // From file bytes; a short read (past the end of the file) is filled with zero bytes, as a
    // never-written part of a file reads.
    explicit FixedRecord(std::string_view raw) {
        bytes_.fill('\0');
        raw.copy(bytes_.data(), std::min(raw.size(), L));
    }

    std::string_view bytes() const { return {bytes_.data(), L}; }
    std::string_view raw(Field f) const { return bytes().substr(f.offset, f.width); }
    // The field's value: Windows-1252 bytes with surrounding spaces (and NULs) trimmed.
    std::string text(Field f) const { return std::string(trimField(raw(f))); }
    // Left-aligned and space padded; a longer value is cut to the width (callers that must not
    // lose anything check the length first).
    void set(Field f, std::string_view cp1252) {
        for (std::size_t i = 0; i < f.width; ++i)
            bytes_[f.offset + i] = i < cp1252.size() ? cp1252[i] : ' ';
    }
    bool isBlank(Field f) const { return trimField(raw(f)).empty(); }

    // A record number of another file ("12  "); 0 when the field is blank. Older files may hold a
    // number with a leading "-" ("-5  "); it names the same record, so its absolute value is
    // returned. A field with anything else but digits is a data error.
    int recordNumber(Field f) const;
    // Blank for 0. Refuses (store::DataError) a negative number or one with more digits than the
    // field holds: a cut number would silently point at another record.
    void setRecordNumber(Field f, int n);

    // An AmountText field; a text that is no number is a data error.
    Amount amount(Field f) const { return Amount::parseStored(text(f)); }
    // Refuses (store::DataError) a value whose text does not fit the field: never cut.
    void setAmount(Field f, Amount a);

    friend bool operator==(const FixedRecord&, const FixedRecord&) = default;

private:
    std::array<char, L> bytes_{};
};

int parseRecordNumber(std::string_view trimmed);        // throws DataError
std::string recordNumberText(int n, std::size_t width); // throws DataError
void checkAmountFits(Amount a, std::size_t width);      // throws DataError

template <std::size_t L> int FixedRecord<L>::recordNumber(Field f) const {
    return parseRecordNumber(trimField(raw(f)));
}
template <std::size_t L> void FixedRecord<L>::setRecordNumber(Field f, int n) {
    set(f, recordNumberText(n, f.width));
}
template <std::size_t L> void FixedRecord<L>::setAmount(Field f, Amount a) {
    checkAmountFits(a, f.width);
    set(f, a.amountText());
}

// The byte that, last in a trimmed account name, says the user dismissed the fund-account hint.
inline constexpr char InfoFlagByte = '\x06';
inline constexpr std::size_t AccountNameWidth = 35;

// KontoFil: the account register, one record per account; the record number is KontoNum.
struct KontoRec : FixedRecord<82> {
    using FixedRecord::FixedRecord;
    static constexpr Field KontoNamn{0, 35};
    static constexpr Field KontoNr{35, 30};
    static constexpr Field KontoTyp{65, 2};
    static constexpr Field Placering{67, 15};

    bool isFree() const { return isBlank(KontoNamn); }
    // The name proper, without the flag byte (a last character below code 33 is the flag).
    std::string name() const;
    bool infoDismissed() const;
    // Writes the name, followed by the flag byte when the hint is dismissed.
    void setName(std::string_view cp1252Name, bool infoDismissed);
};

// PosFil: one record of ten (left, top) pairs in twips. Pair 1 is the main window.
struct PosRec : FixedRecord<140> {
    using FixedRecord::FixedRecord;
    static constexpr Field fieldOf(int pair, bool top) {
        return Field{static_cast<std::size_t>((pair - 1) * 14 + (top ? 7 : 0)), 7};
    }
    // Empty when the pair's first field does not begin with a digit (unset).
    std::optional<std::pair<int, int>> position(int pair) const;
    void setPosition(int pair, int left, int top);
};

// Pairs of PosRec by window.
enum class WindowPair : int {
    HeadForm = 1,
    BackUpForm,
    DonateForm,
    BudgAltForm,
    NyKontoForm,
    SubTransForm,
    TransForm,
    UtskrStatForm,
    MsgForm,
    HolidayForm
};

// KontoData of a cash-book account ("Ek").
struct PostRec_Enkel : FixedRecord<43> {
    using FixedRecord::FixedRecord;
    static constexpr Field Datum{0, 10};
    static constexpr Field TransNr{10, 4};
    static constexpr Field Belopp{14, 11};
    static constexpr Field Saldo{25, 11};
    static constexpr Field Markering{36, 1};
    static constexpr Field SubTransNr{37, 4};
    static constexpr Field Reserv{41, 2};
};

// KontoData of a budget account ("Bg").
struct PostRec_Budget : FixedRecord<77> {
    using FixedRecord::FixedRecord;
    static constexpr Field Datum{0, 10};
    static constexpr Field TransNr{10, 4};
    static constexpr Field BudgBelopp{14, 11};
    static constexpr Field VerklBelopp{25, 11};
    static constexpr Field BudgSaldo{36, 11};
    static constexpr Field VerklSaldo{47, 11};
    static constexpr Field DiffSaldo{58, 11};
    static constexpr Field Markering{69, 1};
    static constexpr Field BStatus{70, 1};
    static constexpr Field SubTransNr{71, 4};
    static constexpr Field Reserv{75, 2};

    bool confirmed() const { return raw(BStatus) == "*"; }
};

// Both post formats mark a record out of use with a date of ten spaces.
template <typename Post> bool isFreePost(const Post& p) {
    return p.raw(Post::Datum) == "          ";
}

// Transakt: main transactions; the record number is a post's TransNr.
struct TransRec : FixedRecord<36> {
    using FixedRecord::FixedRecord;
    static constexpr Field TransNamn{0, 35};
    static constexpr Field Tecken{35, 1};
};

// Kategori: sub-transactions; the record number is a post's SubTransNr.
struct KatRec : FixedRecord<35> {
    using FixedRecord::FixedRecord;
    static constexpr Field SubTransNamn{0, 35};
};

// B-mall: the budget template of a budget account.
struct MallRec : FixedRecord<18> {
    using FixedRecord::FixedRecord;
    static constexpr Field TransNr{0, 4};
    static constexpr Field Amount{4, 8};
    static constexpr Field Month{12, 2};
    static constexpr Field Day{14, 2};
    static constexpr Field Exclusion{16, 2};

    bool excluded() const { return raw(Exclusion).substr(0, 1) == "*"; }
};

// RedDayFil: the user's red days, ordered by date; "*" as the name marks a free record.
struct RedDayRec : FixedRecord<35> {
    using FixedRecord::FixedRecord;
    static constexpr Field Name{0, 25};
    static constexpr Field Date{25, 10};

    bool isFree() const { return text(Name) == "*"; }
};

} // namespace store
