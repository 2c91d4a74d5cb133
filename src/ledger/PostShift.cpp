#include "ledger/PostShift.h"

#include "store/AmountField.h"
#include "store/DateText.h"
#include "store/Errors.h"

#include <algorithm>
#include <compare>
#include <cstdint>
#include <cstring>
#include <stdexcept>

namespace ledger {

namespace {

constexpr std::string_view BlankDatum = "          ";

using shift::DateKey;
using shift::placedBefore;

} // namespace

int insertPosition(const store::RecordFile& kontoData, int postCount, std::string_view date) {
    const shift::Posts posts(kontoData, postCount);
    const DateKey key = DateKey::of(date);
    for (int n = posts.count(); n >= 1; --n)
        if (placedBefore(posts.datum(n), key))
            return n + 1;
    return 1;
}

namespace shift {

void requireDate(std::string_view date) {
    if (date.size() != 10 || !store::parseDate(date))
        throw std::invalid_argument("not a date: '" + std::string(date) + "'");
}

Posts::Posts(const store::RecordFile& file, int postCount)
    : image_(file.image()), length_(file.recordLength()), count_(postCount) {
    if (postCount < 0 || static_cast<std::size_t>(postCount) > file.count())
        throw std::out_of_range("post count " + std::to_string(postCount) + " of " + file.path().string());
    const std::size_t whole = static_cast<std::size_t>(postCount) * length_;
    if (image_.size() < whole) {
        padded_.assign(image_);
        padded_.resize(whole, '\0');
        image_ = padded_;
    }
}

void Posts::outOfRange(int n) const {
    throw std::out_of_range("post " + std::to_string(n) + " of " + std::to_string(count_));
}

bool sameOnTwoDecimals(store::Amount a, store::Amount b) {
    const auto hundredths = [](store::Amount v) {
        const std::int64_t u = v.units();
        return u < 0 ? -((-u + 50) / 100) : (u + 50) / 100;
    };
    return hundredths(a) == hundredths(b);
}

Outcome differenceBytes(store::Amount value, FieldBytes& out) {
    char slot[store::field::SlotWidth];
    if (!store::field::writeSlot(value.units(), slot))
        return Outcome::DoesNotFit;
    std::memcpy(out.data(), slot, out.size());
    return Outcome::Done;
}

Outcome balanceBytes(store::Amount value, FieldBytes& out) {
    if (!store::withinAmountLimit(value))
        return Outcome::AmountLimit;
    return differenceBytes(value, out);
}

void Column::allocate(int n) {
    if (n > count_ || !slots_)
        slots_ = std::make_unique_for_overwrite<Slot[]>(static_cast<std::size_t>(std::max(n, 1)));
    count_ = n;
}

void Column::reset(int n) {
    allocate(n);
    for (int k = 0; k < n; ++k)
        slots_[static_cast<std::size_t>(k)].bytes[0] = '\0';
}

Outcome Column::shiftBy(const Posts& posts, int from, int to, store::Amount delta, bool limited) {
    const Shift shift[] = {{this, delta, limited}};
    return shiftTogether(posts, from, to, shift);
}

Outcome Column::shiftRun(const Posts& posts, int from, int first, int last,
                         const store::field::Addend& addend, store::Amount delta, bool limited) {
    // The sum is worked out on the digits of the texts; a field that way leaves (another form, a sum
    // too long or at the limit) is read and written as a number, which also tells why it is refused.
    const bool sums = summable(posts.length());
    return quickThenGeneral(
        first, last,
        [&](int n, int count) {
            return sums ? store::field::add(posts.field(n, field_).data(), posts.length(), count, addend,
                                            entry(n - from), entryStride())
                        : 0;
        },
        [&](int n) { return put(n - from, readAmount(posts.field(n, field_)) + delta, limited); });
}

Outcome shiftTogether(const Posts& posts, int from, int to, std::span<const Column::Shift> shifts) {
    std::array<store::field::Addend, 3> addends;
    if (shifts.size() > addends.size())
        throw std::invalid_argument("more columns than one pass shifts");
    bool any = false;
    for (std::size_t i = 0; i < shifts.size(); ++i) {
        const Column::Shift& s = shifts[i];
        s.column->reset(0);
        if (s.delta.isZero() || from > to)
            continue;
        // Every entry is written below, or the whole shift is refused.
        s.column->allocate(to - from + 1);
        addends[i] = store::field::addendOf(s.delta.units());
        any = true;
    }
    if (!any)
        return Outcome::Done;
    // Straight along the image, a stretch of posts at a time for all the columns while it is at hand:
    // this pass runs over every later post of a change.
    constexpr int Stretch = 256;
    const auto shiftRun = [&](int first, int last) {
        for (int start = first; start <= last; start += Stretch) {
            const int end = std::min(last, start + Stretch - 1);
            for (std::size_t i = 0; i < shifts.size(); ++i) {
                const Column::Shift& s = shifts[i];
                if (s.delta.isZero())
                    continue;
                if (const Outcome o =
                        s.column->shiftRun(posts, from, start, end, addends[i], s.delta, s.limited);
                    o != Outcome::Done)
                    return o;
            }
        }
        return Outcome::Done;
    };
    try {
        if (const Outcome o = passInHalves(from, to, shiftRun); o == Outcome::Done || shifts.size() == 1)
            return o;
    } catch (const store::DataError&) {
        if (shifts.size() == 1)
            throw;
    }
    // A refusal, or a field that is no number: the user is told of the first column's, as a pass
    // per column finds it. Rare, so the columns are simply gone through again one by one.
    for (const Column::Shift& s : shifts)
        if (const Outcome o = s.column->shiftBy(posts, from, to, s.delta, s.limited); o != Outcome::Done)
            return o;
    return Outcome::Done;
}

Outcome shiftWithDifference(const Posts& posts, int from, int to, Column& a, store::Amount da, Column& b,
                            store::Amount db, Column& difference) {
    const int count = to - from + 1;
    for (Column* c : {&a, &b, &difference})
        c->reset(count);
    if (count <= 0)
        return Outcome::Done;
    const store::field::Pair pair{a.field().offset, b.field().offset, difference.field().offset};
    const store::field::Addend addA = store::field::addendOf(da.units()),
                               addB = store::field::addendOf(db.units());
    const auto slotsOf = [&](Column& c, bool moves) { return moves ? c.entry(0) : nullptr; };
    const store::field::Into into{slotsOf(a, !da.isZero()), slotsOf(b, !db.isZero()), difference.entry(0),
                                  Column::entryStride()};
    const bool sums =
        a.summable(posts.length()) && b.summable(posts.length()) && difference.summable(posts.length());
    // The sums give each post's three entries; a post they leave goes the general way, which also
    // tells why a value is refused.
    const auto quick = [&](int n, int count) {
        if (!sums)
            return 0;
        const std::size_t at = static_cast<std::size_t>(n - from) * into.stride;
        const store::field::Into here{into.a ? into.a + at : nullptr, into.b ? into.b + at : nullptr,
                                      into.difference + at, into.stride};
        return store::field::addWithDifference(posts.record(n).data(), posts.length(), count, pair, addA,
                                               addB, here);
    };
    const auto general = [&](int n) {
        const int k = n - from;
        const store::Amount valueA = posts.amount(n, a.field()) + da;
        const store::Amount valueB = posts.amount(n, b.field()) + db;
        const store::Amount valueDifference = valueB - valueA;
        Outcome o = da.isZero() ? Outcome::Done : a.put(k, valueA, true);
        if (o == Outcome::Done && !db.isZero())
            o = b.put(k, valueB, true);
        if (o != Outcome::Done)
            return o;
        // A difference that keeps its value keeps its bytes (and its stored text fits).
        if (tryReadAmount(posts.field(n, difference.field())) != valueDifference)
            return difference.put(k, valueDifference, false);
        difference.keep(k);
        return Outcome::Done;
    };
    const auto run = [&](int first, int last) { return quickThenGeneral(first, last, quick, general); };
    return passInHalves(from, to, run);
}

void writeColumns(std::string& image, std::size_t length, int first, int from, int to,
                  std::span<const Column* const> columns) {
    // A column at a time: a straight run of copies is quicker than going through the columns at
    // every record.
    for (const Column* c : columns) {
        char* at = image.data() + static_cast<std::size_t>(first + from - 1) * length + c->field_.offset;
        for (int k = from; k <= std::min(to, c->count_ - 1); ++k, at += length)
            if (!c->kept(k))
                std::memcpy(at, c->slots_[static_cast<std::size_t>(k)].bytes, store::AmountFieldWidth);
    }
}

void writeColumns(std::string& image, std::size_t length, int first, std::span<const Column* const> columns) {
    int size = 0;
    for (const Column* c : columns)
        size = std::max(size, c->size());
    passInHalves(0, size - 1, [&](int from, int to) {
        writeColumns(image, length, first, from, to, columns);
        return Outcome::Done;
    });
}

std::string& writableImage(store::RecordFile& file, int records) {
    std::string& image = file.mutableImage();
    const std::size_t whole = static_cast<std::size_t>(records) * file.recordLength();
    if (image.size() < whole)
        image.resize(whole, '\0');
    return image;
}

void put(std::string& image, std::size_t length, int n, store::Field f, std::string_view bytes) {
    char* at = image.data() + static_cast<std::size_t>(n - 1) * length + f.offset;
    const std::size_t size = std::min(bytes.size(), f.width);
    std::memcpy(at, bytes.data(), size);
    std::memset(at + size, ' ', f.width - size);
}

void setSubTransaction(store::RecordFile& file, int postCount, int n, store::Field f, int number) {
    if (n < 1 || n > postCount)
        throw std::out_of_range("post " + std::to_string(n) + " outside 1.." + std::to_string(postCount));
    const std::string text = store::recordNumberText(std::max(number, 0), f.width);
    put(writableImage(file, postCount), file.recordLength(), n, f, text);
}

void setDate(store::RecordFile& file, int postCount, int n, std::string_view date) {
    requireDate(date);
    if (n < 1 || n > postCount)
        throw std::out_of_range("post " + std::to_string(n) + " outside 1.." + std::to_string(postCount));
    put(writableImage(file, postCount), file.recordLength(), n, {0, 10}, date);
}

namespace {

// Records from..to move `by` places (up for by > 0), and the columns' entries go into them, entry k
// into the record that was from + k. A long run moves in two halves at once. Each half then writes
// over |by| records of the other's (the first of the second half going up, the last of the first
// half going down): those are kept aside before either starts, and their own half takes them from
// there. A run too short for that moves at once.
void moveRecords(std::string& image, std::size_t length, int from, int to, int by,
                 std::span<const Column* const> columns) {
    if (from > to)
        return;
    char* const base = image.data();
    const auto at = [&](int record) { return base + static_cast<std::size_t>(record - 1) * length; };
    const auto bytes = [&](int records) { return static_cast<std::size_t>(records) * length; };
    const int middle = support::middleOf(from, to);
    const int span = std::abs(by);
    const int asideFirst = by > 0 ? middle : middle - span;
    const int asideLast = asideFirst + span - 1;
    const auto moveRun = [&](int first, int last, const std::string& kept) {
        const bool keepsAside = !kept.empty() && first <= asideFirst && asideLast <= last;
        const int moveFirst = keepsAside && asideFirst == first ? asideLast + 1 : first;
        const int moveLast = keepsAside && asideLast == last ? asideFirst - 1 : last;
        if (moveFirst <= moveLast)
            std::memmove(at(moveFirst + by), at(moveFirst), bytes(moveLast - moveFirst + 1));
        if (keepsAside)
            std::memcpy(at(asideFirst + by), kept.data(), kept.size());
        writeColumns(image, length, from + by, first - from, last - from, columns);
        return Outcome::Done;
    };
    if (!support::splitsInHalves(from, to) || asideFirst < from || asideLast > to) {
        moveRun(from, to, {});
        return;
    }
    const std::string kept(at(asideFirst), bytes(span));
    passInHalves(from, to, [&](int first, int last) { return moveRun(first, last, kept); });
}

} // namespace

void openGap(std::string& image, std::size_t length, int postCount, int p,
             std::span<const Column* const> columns) {
    moveRecords(image, length, p, postCount, 1, columns);
}

void blankDatum(std::string& image, std::size_t length, int n) {
    put(image, length, n, {0, 10}, BlankDatum);
}

void closeGap(std::string& image, std::size_t length, int postCount, int p,
              std::span<const Column* const> columns) {
    moveRecords(image, length, p + 1, postCount, -1, columns);
    blankDatum(image, length, postCount);
}

MoveLayout planMove(const Posts& posts, int first, int last, std::string_view date) {
    if (first > last)
        std::swap(first, last);
    if (first < 1 || last > posts.count())
        throw std::out_of_range("posts " + std::to_string(first) + ".." + std::to_string(last) + " of " +
                                std::to_string(posts.count()));
    // The last post outside the range dated on or before the new date (0: none).
    const DateKey key = DateKey::of(date);
    int target = 0;
    for (int n = posts.count(); n >= 1; --n) {
        if (n == last) {
            n = first;
            continue;
        }
        if (placedBefore(posts.datum(n), key)) {
            target = n;
            break;
        }
    }
    MoveLayout m;
    m.first = first;
    m.last = last;
    if (target > last) {
        m.later = true;
        m.windowStart = first;
        m.windowEnd = target;
        m.betweenOld = last + 1;
        m.betweenNew = first;
        m.betweenCount = target - last;
        m.movedStart = target - m.moved() + 1;
    } else {
        m.windowStart = target + 1;
        m.windowEnd = last;
        m.movedStart = target + 1;
        m.betweenOld = target + 1;
        m.betweenCount = first - target - 1;
        m.betweenNew = target + m.moved() + 1;
    }
    return m;
}

namespace {

// Records [left, mid) and [mid, right) change places: the smaller part waits in a buffer while the
// larger one moves in one memmove.
void swapRuns(char* left, char* mid, char* right) {
    const auto front = static_cast<std::size_t>(mid - left);
    const auto back = static_cast<std::size_t>(right - mid);
    if (front <= back) {
        const std::string buffer(left, front);
        std::memmove(left, mid, back);
        std::memcpy(left + back, buffer.data(), front);
    } else {
        const std::string buffer(mid, back);
        std::memmove(left + back, left, front);
        std::memcpy(left, buffer.data(), back);
    }
}

} // namespace

void rearrange(std::string& image, std::size_t length, const MoveLayout& m,
               std::span<const Column* const> between) {
    const auto at = [&](int n) {
        return image.data() + static_cast<std::ptrdiff_t>(n - 1) * static_cast<std::ptrdiff_t>(length);
    };
    if (m.betweenCount >= m.moved()) {
        // The posts passed are the longer run: they move with their new balances, the moved posts
        // are kept aside meanwhile.
        const std::string moved(at(m.first), static_cast<std::size_t>(m.moved()) * length);
        moveRecords(image, length, m.betweenOld, m.betweenOld + m.betweenCount - 1,
                    m.betweenNew - m.betweenOld, between);
        std::memcpy(at(m.movedStart), moved.data(), moved.size());
        return;
    }
    if (m.later)
        swapRuns(at(m.first), at(m.last + 1), at(m.windowEnd + 1));
    else
        swapRuns(at(m.windowStart), at(m.first), at(m.last + 1));
    writeColumns(image, length, m.betweenNew, between);
}

} // namespace shift

} // namespace ledger
