// Random bytes through every record decoder and text codec of the store. A field that does not
// decode may only be refused with store::DataError; whatever decodes must survive being written
// back and read again.

#include "FuzzCheck.h"

#include "budget/BudgetTemplate.h"
#include "store/Amount.h"
#include "store/AmountField.h"
#include "store/Cp1252.h"
#include "store/DateText.h"
#include "store/Errors.h"
#include "store/Records.h"

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace {

using store::Amount;
using store::Field;

// Enough records and lines per input to reach every decoder without slowing the run.
constexpr std::size_t MaxPieces = 64;

// A record number either is refused or is written back to the same number.
template <typename Rec> void checkRecordNumber(const Rec& rec, Field f) {
    int n = 0;
    try {
        n = rec.recordNumber(f);
    } catch (const store::DataError&) {
        return;
    }
    FUZZ_REQUIRE(n >= 0);
    Rec copy;
    copy.setRecordNumber(f, n); // read from the same width, so it always fits
    FUZZ_REQUIRE(copy.recordNumber(f) == n);
}

// An amount field either is refused or is written back, in its canonical text, to the same value.
template <typename Rec> void checkAmountField(const Rec& rec, Field f) {
    // The quick reader of whole fields and the general reader (which a longer text always takes)
    // agree on every field.
    const std::string raw(rec.raw(f));
    FUZZ_REQUIRE(Amount::parse(raw) == Amount::parse(raw + ' '));
    if (raw.size() == store::AmountFieldWidth && store::field::wholeFieldReads) {
        // Both quick readers take the same fields, to the same value.
        std::int64_t byDigits = 0, whole = 0;
        const bool digitsRead = store::field::readByDigits(raw.data(), byDigits);
        FUZZ_REQUIRE(store::field::readWholeField(raw.data(), whole) == digitsRead);
        FUZZ_REQUIRE(!digitsRead || whole == byDigits);
        // A sum on the digits gives the bytes of reading, adding and writing, or leaves the field
        // to that general way.
        for (const std::int64_t delta : {1LL, -10'001LL, 123'456'789LL, -999'999'999'999LL}) {
            char field[16] = {}, onDigits[16], general[store::field::SlotWidth];
            raw.copy(field, raw.size());
            const bool takes = digitsRead && store::withinAmountLimit(Amount::fromUnits(byDigits + delta)) &&
                               store::field::writeSlot(byDigits + delta, general);
            FUZZ_REQUIRE(store::field::add(field, 16, 1, store::field::addendOf(delta), onDigits, 16) ==
                         (takes ? 1 : 0));
            FUZZ_REQUIRE(!takes || std::string_view(onDigits, 11) == std::string_view(general, 11));
        }
    }
    Amount a;
    try {
        a = rec.amount(f);
    } catch (const store::DataError&) {
        return;
    }
    // The ledgers' field writer gives the canonical text, padded, or refuses a text too long.
    if (f.width == store::AmountFieldWidth) {
        const std::string text = a.amountText();
        char slot[store::field::SlotWidth];
        FUZZ_REQUIRE(store::field::writeSlot(a.units(), slot) == (text.size() <= f.width));
        FUZZ_REQUIRE(text.size() > f.width ||
                     std::string_view(slot, f.width) == text + std::string(f.width - text.size(), ' '));
    }
    Rec copy;
    copy.setAmount(f, a);
    FUZZ_REQUIRE(copy.amount(f) == a);
    // The grids show every stored amount that decodes.
    (void)store::displayStoredAmount(rec.text(f));
}

void checkTemplateValue(std::string_view actualText) {
    try {
        const std::int64_t value = budget::templateValue(actualText);
        FUZZ_REQUIRE(value % 10 == 0);
        const std::string text = budget::templateAmountText(value);
        FUZZ_REQUIRE(text.size() <= store::MallRec::Amount.width);
    } catch (const store::DataError&) {
    }
}

void kontoRecord(std::string_view raw) {
    const store::KontoRec rec(raw);
    const std::string name = rec.name();
    const bool dismissed = rec.infoDismissed();
    FUZZ_REQUIRE(!rec.isFree() || name.empty());
    (void)store::cp1252ToUtf8(name);
    // A name that ends in an ordinary character keeps its name and flag through a rewrite.
    if (!name.empty() && static_cast<unsigned char>(name.back()) >= 33 &&
        name.size() + (dismissed ? 1 : 0) <= store::KontoRec::KontoNamn.width) {
        store::KontoRec copy;
        copy.setName(name, dismissed);
        FUZZ_REQUIRE(copy.name() == name);
        FUZZ_REQUIRE(copy.infoDismissed() == dismissed);
    }
}

void posRecord(std::string_view raw) {
    const store::PosRec rec(raw);
    for (int pair = 1; pair <= 10; ++pair) {
        const auto pos = rec.position(pair);
        if (!pos)
            continue;
        FUZZ_REQUIRE(pos->first >= 0);
        store::PosRec copy;
        copy.setPosition(pair, pos->first, pos->second);
        FUZZ_REQUIRE(copy.position(pair) == pos);
    }
}

void cashPost(std::string_view raw) {
    using P = store::PostRec_Enkel;
    const P rec(raw);
    (void)store::isFreePost(rec);
    (void)store::parseDate(rec.raw(P::Datum));
    checkRecordNumber(rec, P::TransNr);
    checkRecordNumber(rec, P::SubTransNr);
    checkAmountField(rec, P::Belopp);
    checkAmountField(rec, P::Saldo);
    FUZZ_REQUIRE(P(rec.bytes()) == rec);
}

void budgetPost(std::string_view raw) {
    using P = store::PostRec_Budget;
    const P rec(raw);
    (void)store::isFreePost(rec);
    (void)rec.confirmed();
    (void)store::parseDate(rec.raw(P::Datum));
    checkRecordNumber(rec, P::TransNr);
    checkRecordNumber(rec, P::SubTransNr);
    for (const Field f : {P::BudgBelopp, P::VerklBelopp, P::BudgSaldo, P::VerklSaldo, P::DiffSaldo})
        checkAmountField(rec, f);
    checkTemplateValue(rec.text(P::VerklBelopp));
}

void transRecord(std::string_view raw) {
    const store::TransRec rec(raw);
    const std::string name = rec.text(store::TransRec::TransNamn);
    FUZZ_REQUIRE(store::utf8ToCp1252(store::cp1252ToUtf8(name)) == name);
    (void)rec.raw(store::TransRec::Tecken);
}

void katRecord(std::string_view raw) {
    const store::KatRec rec(raw);
    (void)store::cp1252ToUtf8(rec.text(store::KatRec::SubTransNamn));
}

void mallRecord(std::string_view raw) {
    using M = store::MallRec;
    const M rec(raw);
    checkRecordNumber(rec, M::TransNr);
    checkAmountField(rec, M::Amount);
    (void)rec.excluded();
    (void)rec.text(M::Month);
    (void)rec.text(M::Day);
}

void redDayRecord(std::string_view raw) {
    using R = store::RedDayRec;
    const R rec(raw);
    (void)rec.isFree();
    (void)store::cp1252ToUtf8(rec.text(R::Name));
    (void)store::parseDate(rec.text(R::Date));
}

// Every record type over the input cut into records of its length; the last one may be short,
// as the last record of a file cut by a crash is.
template <typename Rec> void eachRecord(std::string_view data, void (*decode)(std::string_view)) {
    std::size_t pieces = 0;
    for (std::size_t at = 0; at < data.size() && pieces < MaxPieces; at += Rec::Length, ++pieces)
        decode(data.substr(at, Rec::Length));
    if (data.empty())
        decode(data);
}

void amountText(std::string_view text) {
    const auto value = Amount::parse(text);
    bool refused = false;
    try {
        (void)store::displayStoredAmount(text);
    } catch (const store::DataError&) {
        refused = true;
    }
    FUZZ_REQUIRE(refused == !value.has_value());

    const std::string cleaned = store::cleanTypedAmount(text);
    FUZZ_REQUIRE(cleaned.empty() || Amount::parse(cleaned).has_value());

    if (!value)
        return;
    FUZZ_REQUIRE(Amount::parse(value->amountText()) == value);
    FUZZ_REQUIRE(store::fitsAmountField(*value) == (value->amountText().size() <= store::AmountFieldWidth));

    // Whole-number roundings stay within a krona of the value (in 128 bits: the value may be
    // the largest the type holds).
    const __int128 units = value->units();
    const __int128 floor = static_cast<__int128>(value->floorWhole()) * Amount::Scale;
    FUZZ_REQUIRE(floor <= units && units < floor + Amount::Scale);
    const __int128 rounded = static_cast<__int128>(value->roundedWholeHalfEven()) * Amount::Scale;
    const __int128 distance = rounded > units ? rounded - units : units - rounded;
    FUZZ_REQUIRE(distance * 2 <= Amount::Scale);

    for (const std::string_view pattern : {"### ### ##0.#0", "### ### ##0", "#### #### ##0", "### ###.0#"}) {
        const std::string shown = store::formatPattern(*value, pattern);
        FUZZ_REQUIRE(!shown.empty());
    }
    (void)store::displayAmount(*value);
}

void dateText(std::string_view text, int delta) {
    const auto date = store::parseDate(text);
    if (!date)
        return;
    FUZZ_REQUIRE(store::dateText(*date) == text);
    const int day = store::weekday(*date);
    FUZZ_REQUIRE(day >= 0 && day <= 6);
    // Every step lands on a real day that reads back.
    for (const store::Date& moved :
         {store::stepDay(*date, delta), store::stepMonth(*date, delta), store::stepYear(*date, delta)})
        FUZZ_REQUIRE(store::parseDate(store::dateText(moved)) == moved);
}

// Any byte string survives the trip to UTF-8 and back; UTF-8 that is accepted survives the
// trip the other way.
void encodings(std::string_view bytes) {
    const std::string utf8 = store::cp1252ToUtf8(bytes);
    FUZZ_REQUIRE(store::utf8Length(utf8) == bytes.size());
    FUZZ_REQUIRE(store::utf8ToCp1252(utf8) == bytes);
    if (const auto back = store::utf8ToCp1252(bytes))
        FUZZ_REQUIRE(store::cp1252ToUtf8(*back) == bytes);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);

    eachRecord<store::KontoRec>(input, kontoRecord);
    eachRecord<store::PosRec>(input, posRecord);
    eachRecord<store::PostRec_Enkel>(input, cashPost);
    eachRecord<store::PostRec_Budget>(input, budgetPost);
    eachRecord<store::TransRec>(input, transRecord);
    eachRecord<store::KatRec>(input, katRecord);
    eachRecord<store::MallRec>(input, mallRecord);
    eachRecord<store::RedDayRec>(input, redDayRecord);

    encodings(input);

    // Typed and stored texts: one per line.
    std::size_t lines = 0;
    for (std::size_t start = 0; start <= input.size() && lines < MaxPieces; ++lines) {
        std::size_t end = input.find('\n', start);
        if (end == std::string_view::npos)
            end = input.size();
        const std::string_view line = input.substr(start, end - start);
        amountText(line);
        // The step size comes from the bytes after the line, so steps of every size are tried.
        int delta = 0;
        for (std::size_t i = end + 1; i < input.size() && i < end + 3; ++i)
            delta = delta * 256 + static_cast<unsigned char>(input[i]);
        dateText(line, delta - 32768);
        start = end + 1;
    }
    return 0;
}
