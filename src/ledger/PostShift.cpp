#include "ledger/PostShift.h"

#include "store/DateText.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace ledger {

namespace {

constexpr std::string_view BlankDatum = "          ";

} // namespace

int insertPosition(const store::RecordFile& kontoData, int postCount, std::string_view date) {
    const shift::Posts posts(kontoData, postCount);
    for (int n = posts.count(); n >= 1; --n) {
        const std::string_view datum = posts.datum(n);
        if (datum != BlankDatum && datum <= date)
            return n + 1;
    }
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

std::size_t Posts::offset(int n) const {
    if (n < 1 || n > count_)
        throw std::out_of_range("post " + std::to_string(n) + " of " + std::to_string(count_));
    return static_cast<std::size_t>(n - 1) * length_;
}

store::Amount Posts::amount(int n, store::Field f) const {
    return store::Amount::parseStored(field(n, f));
}

bool sameOnTwoDecimals(store::Amount a, store::Amount b) {
    const auto hundredths = [](store::Amount v) {
        const std::int64_t u = v.units();
        return u < 0 ? -((-u + 50) / 100) : (u + 50) / 100;
    };
    return hundredths(a) == hundredths(b);
}

Outcome differenceBytes(store::Amount value, FieldBytes& out) {
    const std::string text = value.amountText();
    if (text.size() > out.size())
        return Outcome::DoesNotFit;
    out.fill(' ');
    std::memcpy(out.data(), text.data(), text.size());
    return Outcome::Done;
}

Outcome balanceBytes(store::Amount value, FieldBytes& out) {
    if (!store::withinAmountLimit(value))
        return Outcome::AmountLimit;
    return differenceBytes(value, out);
}

std::string& writableImage(store::RecordFile& file, int records) {
    std::string& image = file.mutableImage();
    const std::size_t whole = static_cast<std::size_t>(records) * file.recordLength();
    if (image.size() < whole)
        image.resize(whole, '\0');
    return image;
}

void put(std::string& image, std::size_t length, int n, store::Field f, std::string_view bytes) {
    const std::size_t at = static_cast<std::size_t>(n - 1) * length + f.offset;
    for (std::size_t i = 0; i < f.width; ++i)
        image[at + i] = i < bytes.size() ? bytes[i] : ' ';
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

void openGap(std::string& image, std::size_t length, int postCount, int p) {
    if (p > postCount)
        return;
    char* from = image.data() + static_cast<std::size_t>(p - 1) * length;
    std::memmove(from + length, from, static_cast<std::size_t>(postCount - p + 1) * length);
}

void blankDatum(std::string& image, std::size_t length, int n) {
    put(image, length, n, {0, 10}, BlankDatum);
}

void closeGap(std::string& image, std::size_t length, int postCount, int p) {
    if (p < postCount) {
        char* to = image.data() + static_cast<std::size_t>(p - 1) * length;
        std::memmove(to, to + length, static_cast<std::size_t>(postCount - p) * length);
    }
    blankDatum(image, length, postCount);
}

MoveLayout planMove(const Posts& posts, int first, int last, std::string_view date) {
    if (first > last)
        std::swap(first, last);
    if (first < 1 || last > posts.count())
        throw std::out_of_range("posts " + std::to_string(first) + ".." + std::to_string(last) + " of " +
                                std::to_string(posts.count()));
    // The last post outside the range dated on or before the new date (0: none).
    int target = 0;
    for (int n = posts.count(); n >= 1; --n) {
        if (n == last) {
            n = first;
            continue;
        }
        const std::string_view datum = posts.datum(n);
        if (datum != BlankDatum && datum <= date) {
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

void rearrange(std::string& image, std::size_t length, const MoveLayout& m) {
    const auto at = [&](int n) { return image.begin() + static_cast<std::ptrdiff_t>((n - 1) * length); };
    if (m.later)
        std::rotate(at(m.first), at(m.last + 1), at(m.windowEnd + 1));
    else
        std::rotate(at(m.windowStart), at(m.first), at(m.last + 1));
}

} // namespace shift

} // namespace ledger
