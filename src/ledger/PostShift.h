#pragma once

// What the post operations of both ledgers share: the outcomes the user is told about, where a new
// post goes, and the raw passes over a KontoData image that open or close a gap, move a run of
// posts and rewrite the balance fields of the posts they pass.
//
// Every operation works on the file's image in memory and changes only the fields it means to: a
// shifted post keeps every byte but the balances it adjusts, and a balance whose value stays the
// same keeps its bytes. Nothing is committed here: the caller commits the file once at the end of
// its procedure, or reload()s it when the procedure fails. Every limit is checked before the first
// byte is written, so a refused operation leaves the image exactly as it was.

#include "store/Amount.h"
#include "store/AmountField.h"
#include "store/RecordFile.h"
#include "store/Records.h"
#include "support/Halves.h"

#include <algorithm>
#include <array>
#include <compare>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

namespace ledger {

// Outcomes the window reports to the user. Failures of the file or its data are thrown instead
// (store::FileError, store::DataError for a field that is no number).
enum class Outcome {
    Done,
    NoChange,    // the change alters nothing; nothing was written
    AmountLimit, // an amount or running balance would reach 100 000 000; nothing was written
    DoesNotFit,  // a value's text is longer than its 11-character field; nothing was written
    OnlyPost,    // the post to delete is the account's only post; nothing was written, the caller
                 // asks the user and removes the whole account
};

struct PostResult {
    Outcome outcome = Outcome::Done;
    int postCount = 0;    // N after the operation
    int recountStart = 0; // S: the first post whose balances may have changed; the check starts here
    int position = 0;     // the inserted post, or the first moved post in its new place

    friend bool operator==(const PostResult&, const PostResult&) = default;
};

// Where a post dated `date` goes: after the last of posts 1..postCount dated on or before it (so
// after every post of the same day), 1 when every post is dated later.
int insertPosition(const store::RecordFile& kontoData, int postCount, std::string_view date);

namespace shift {

// A date field as a number that orders as its text does. The search for a new post's place compares
// it with every later post, so it is two integer comparisons, not text.
struct DateKey {
    std::uint64_t head;
    std::uint16_t tail;
    // A date field: its ten bytes.
    explicit DateKey(const char* datum) {
        std::memcpy(&head, datum, 8);
        head = __builtin_bswap64(head);
        tail = static_cast<std::uint16_t>(static_cast<unsigned char>(datum[8]) << 8 |
                                          static_cast<unsigned char>(datum[9]));
    }
    // A date given as text; a shorter text is taken as padded with zero bytes.
    static DateKey of(std::string_view date) {
        char padded[10] = {};
        std::memcpy(padded, date.data(), std::min<std::size_t>(date.size(), 10));
        return DateKey(padded);
    }
    friend auto operator<=>(const DateKey&, const DateKey&) = default;
};

// Whether a post dated `datum` (its ten bytes) stands before a new post dated `date`: it is in use
// (its date not blank) and not later.
inline bool placedBefore(std::string_view datum, const DateKey& date) {
    static const DateKey blank("          ");
    const DateKey key(datum.data());
    return key != blank && key <= date;
}

// A date text must be a real "yyyy-mm-dd": a post with any other date would break the order of the
// file for good. Throws std::invalid_argument otherwise.
void requireDate(std::string_view date);

using FieldBytes = std::array<char, store::AmountFieldWidth>;

// Records 1..N of a post file for reading, straight from the image. A file whose last record is cut
// short is read from a copy padded with zero bytes, as reading that record gives.
class Posts {
public:
    Posts(const store::RecordFile& file, int postCount);

    int count() const { return count_; }
    std::size_t length() const { return length_; }
    std::string_view record(int n) const { return image_.substr(offset(n), length_); }
    std::string_view field(int n, store::Field f) const {
        return image_.substr(offset(n) + f.offset, f.width);
    }
    std::string_view datum(int n) const { return field(n, {0, 10}); }
    // A field that is no number is a data error.
    store::Amount amount(int n, store::Field f) const;

private:
    std::size_t offset(int n) const {
        if (n < 1 || n > count_)
            outOfRange(n);
        return static_cast<std::size_t>(n - 1) * length_;
    }
    [[noreturn]] void outOfRange(int n) const;

    std::string_view image_;
    std::string padded_;
    std::size_t length_;
    int count_;
};

// A stored amount field; a field that is no number is a data error. Inline, with the general
// reader only for a field not in the form the program writes: the passes over the later posts of a
// change read one or more of these per post.
inline store::Amount readAmount(std::string_view field) {
    std::int64_t units;
    if (field.size() == store::AmountFieldWidth && store::field::read(field.data(), units))
        return store::Amount::fromUnits(units);
    return store::Amount::parseStored(field);
}
// The same, empty for a field that is no number.
inline std::optional<store::Amount> tryReadAmount(std::string_view field) {
    std::int64_t units;
    if (field.size() == store::AmountFieldWidth && store::field::read(field.data(), units))
        return store::Amount::fromUnits(units);
    return store::Amount::parse(field);
}

inline store::Amount Posts::amount(int n, store::Field f) const {
    return readAmount(field(n, f));
}

// Two balances agree when they show the same at two decimals: the display rounds a half away from
// zero, and a value that rounds to zero counts as zero whatever its sign. A difference that
// disappears at two decimals is therefore no fault.
bool sameOnTwoDecimals(store::Amount a, store::Amount b);

// A balance may be written when it stays below the amount limit and its text fits the field; the
// padded field bytes go to `out`.
Outcome balanceBytes(store::Amount value, FieldBytes& out);
// The same without the amount limit, for the difference of a budget post's two balances, which
// only has to fit its field.
Outcome differenceBytes(store::Amount value, FieldBytes& out);

// Whether the field passes of store::field can take field f in records of `length`: they read 16
// bytes from the start of each field.
inline bool summable(store::Field f, std::size_t length) {
    return f.offset + 16 <= length;
}

// Posts first..last, as many at a time as quick(n, count) takes from post n (it returns how many it
// did: the field passes of store::field, or 0 where they cannot run), and each post it leaves by
// general(n), until an outcome other than Done.
template <class Quick, class General>
Outcome quickThenGeneral(int first, int last, const Quick& quick, const General& general) {
    for (int n = first; n <= last; ++n) {
        n += quick(n, last - n + 1);
        if (n > last)
            break;
        if (const Outcome o = general(n); o != Outcome::Done)
            return o;
    }
    return Outcome::Done;
}

// The amounts of posts first..last added into `running` (store::field::sum as far as it goes where
// `sums`), each post it leaves by addAmounts(n): the start of a recount's second half.
template <class AddAmounts>
void addUpAmounts(const Posts& posts, int first, int last, bool sums, const store::field::RunFields& fields,
                  store::field::Running& running, const AddAmounts& addAmounts) {
    quickThenGeneral(
        first, last,
        [&](int n, int count) {
            return sums ? store::field::sum(posts.record(n).data(), posts.length(), count, fields, running)
                        : 0;
        },
        [&](int n) {
            addAmounts(n);
            return Outcome::Done;
        });
}

// New texts for one field of a run of posts, made and checked before anything is written. Entry k
// belongs to the k-th post of the run; an entry left kept leaves the field's bytes as they are.
class Column {
public:
    // An amount field: its entries are AmountFieldWidth bytes.
    explicit Column(store::Field f) : field_(f) {
        if (f.width != store::AmountFieldWidth)
            throw std::invalid_argument("not an amount field");
    }

    store::Field field() const { return field_; }
    // Room for n entries, each one kept.
    void reset(int n);
    int size() const { return count_; }
    bool kept(int k) const { return slots_[static_cast<std::size_t>(k)].bytes[0] == '\0'; }
    void keep(int k) { slots_[static_cast<std::size_t>(k)].bytes[0] = '\0'; }
    // For the passes of store::field that fill entries in place: entry k's 16 bytes, the entries
    // entryStride() apart; an entry of zero bytes is kept.
    char* entry(int k) { return slots_[static_cast<std::size_t>(k)].bytes; }
    static constexpr std::size_t entryStride() { return sizeof(Slot); }
    bool summable(std::size_t length) const { return shift::summable(field_, length); }
    // Entry k becomes the text of `value`. A running balance (limited) must stay below the amount
    // limit; every text must fit its field.
    Outcome put(int k, store::Amount value, bool limited);

    // Posts from..to with their stored values moved by delta; every entry kept when delta is zero.
    // A stored value that is no number is a data error.
    Outcome shiftBy(const Posts& posts, int from, int to, store::Amount delta, bool limited);
    // The same for several columns at once (see shift::shiftTogether).
    struct Shift {
        Column* column;
        store::Amount delta;
        bool limited;
    };

private:
    friend Outcome shiftTogether(const Posts&, int, int, std::span<const Column::Shift>);
    friend void writeColumns(std::string&, std::size_t, int, int, int, std::span<const Column* const>);

    // An entry's text, padded with spaces: 16 bytes are as quick to store and copy as 11, and a slot
    // no larger keeps the entries of a long run compact.
    struct alignas(16) Slot {
        char bytes[16];
    };
    // Room for n entries, left as they are.
    void allocate(int n);
    // The entries of posts first..last of a shift that starts at post `from`.
    Outcome shiftRun(const Posts& posts, int from, int first, int last, const store::field::Addend& addend,
                     store::Amount delta, bool limited);

    store::Field field_;
    std::unique_ptr<Slot[]> slots_;
    int count_ = 0;
};

// Inline: the passes over the later posts of a change put an entry for each.
inline Outcome Column::put(int k, store::Amount value, bool limited) {
    if (limited && !store::withinAmountLimit(value))
        return Outcome::AmountLimit;
    char text[store::field::SlotWidth]; // room for the writer's whole stores
    const bool fits = store::field::writeSlot(value.units(), text);
    std::memcpy(slots_[static_cast<std::size_t>(k)].bytes, text, sizeof(Slot));
    return fits ? Outcome::Done : Outcome::DoesNotFit;
}

// Writes entries from..to of the columns (those each has: none after a shift by zero), entry k into
// record first + k.
void writeColumns(std::string& image, std::size_t length, int first, int from, int to,
                  std::span<const Column* const> columns);
// Writes every entry of the columns, entry k into record first + k.
void writeColumns(std::string& image, std::size_t length, int first, std::span<const Column* const> columns);

// Posts from..to with the stored values of each column moved by its delta (every entry kept for a
// zero delta), in one pass that reads each post once for all of them.
Outcome shiftTogether(const Posts& posts, int from, int to, std::span<const Column::Shift> shifts);

// The posts passed by a budget move: posts from..to with columns a and b moved by da and db (a column
// whose delta is zero keeps every entry) and the difference column set to b minus a where that changes
// its stored value. The difference only has to fit its field; a and b stay below the amount limit.
// Every entry of the three columns is reset first.
Outcome shiftWithDifference(const Posts& posts, int from, int to, Column& a, store::Amount da, Column& b,
                            store::Amount db, Column& difference);

// A recount's second half first adds up the amounts of the posts before it, so it takes the smaller
// share (measured: 40 % against 50 % is about a twentieth quicker).
inline constexpr int RecountSecondShare = 40;

// A pass over posts first..last, split in two halves where it is long (support::inHalves, the second
// taking secondShare percent), that ends at the first outcome other than Done.
template <class Run> Outcome passInHalves(int first, int last, const Run& run, int secondShare = 50) {
    return support::inHalves(
        first, last, run, [](Outcome o) { return o != Outcome::Done; }, secondShare);
}

// The image of `file` to change, grown with zero bytes to hold `records` whole records (the bytes a
// write of them would leave).
std::string& writableImage(store::RecordFile& file, int records);

// Writes bytes into field f of record n.
void put(std::string& image, std::size_t length, int n, store::Field f, std::string_view bytes);
inline void put(std::string& image, std::size_t length, int n, store::Field f, const FieldBytes& bytes) {
    put(image, length, n, f, std::string_view(bytes.data(), bytes.size()));
}

// Moves records p..N one place up (the image holds N + 1 records); record p is then free to write.
// The entries of `columns` go into the moved records, entry k into record p + 1 + k.
void openGap(std::string& image, std::size_t length, int postCount, int p,
             std::span<const Column* const> columns);
// Moves records p+1..N one place down, the entries of `columns` into them (entry k into record
// p + k), and marks record N out of use: its date becomes ten spaces, its other bytes stay.
void closeGap(std::string& image, std::size_t length, int postCount, int p,
              std::span<const Column* const> columns);
void blankDatum(std::string& image, std::size_t length, int n);

// The sub-transaction of post n (field f) becomes `number`, four spaces for 0; the post's amounts
// and balances stay, so nothing else of the file changes.
void setSubTransaction(store::RecordFile& file, int postCount, int n, store::Field f, int number);
// Post n gets the date `date` and keeps every other byte: the one post of an account moved to a
// new date has no other post to pass.
void setDate(store::RecordFile& file, int postCount, int n, std::string_view date);

// Moving posts first..last to a new date, worked out on the posts as they stand. The moved posts
// keep their order and go after the last other post dated on or before the new date; the posts
// they pass ("between") shift by one run and change their balances by the moved amounts.
struct MoveLayout {
    int first = 0, last = 0; // the moved posts in their old places
    int windowStart = 0;     // the records whose content changes: windowStart..windowEnd
    int windowEnd = 0;
    int movedStart = 0;   // new record of the first moved post
    int betweenOld = 0;   // old record of the first post passed
    int betweenNew = 0;   // its new record
    int betweenCount = 0; // how many posts are passed
    bool later = false;   // the posts go to a later place: those passed lose their amounts
    int moved() const { return last - first + 1; }
};
MoveLayout planMove(const Posts& posts, int first, int last, std::string_view date);
// Puts the records of the window in their new order, and the entries of `between` into the posts
// passed (entry k into the k-th of them); no other field changes.
void rearrange(std::string& image, std::size_t length, const MoveLayout& layout,
               std::span<const Column* const> between);

} // namespace shift

} // namespace ledger
