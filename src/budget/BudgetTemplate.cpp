#include "budget/BudgetTemplate.h"

#include "store/Amount.h"
#include "store/Errors.h"

#include <algorithm>
#include <charconv>

namespace budget {

namespace {

using store::Amount;
using Post = store::PostRec_Budget;
using Mall = store::MallRec;

constexpr std::int64_t Ten = 10 * Amount::Scale;
// Largest multiple of ten whose text fits the eight-character amount field.
constexpr std::int64_t MaxTemplateValue = 99'999'990;
constexpr std::int64_t MinTemplateValue = -9'999'990;

// Month and day of a post: characters 6-7 and 9-10 of "yyyy-mm-dd".
std::string_view monthOf(const Post& p) {
    return p.raw(Post::Datum).substr(5, 2);
}
std::string_view dayOf(const Post& p) {
    return p.raw(Post::Datum).substr(8, 2);
}

} // namespace

std::int64_t templateValue(std::string_view actualAmountText) {
    std::string_view text = store::trimField(actualAmountText);
    if (!text.empty() && text.front() == '-') {
        const Amount t = Amount::parseStored(store::trimField(text.substr(1)));
        if (t.roundedWholeHalfEven() < 1)
            return 0;
        // t is positive here, so the integer division is the floor.
        return (t.units() / Ten + 1) * 10;
    }
    const Amount a = Amount::parseStored(text);
    if (a.roundedWholeHalfEven() < 1)
        return 0;
    return (a.units() / Ten - 1) * 10;
}

std::string templateAmountText(std::int64_t value) {
    return std::to_string(std::clamp(value, MinTemplateValue, MaxTemplateValue));
}

BudgetTemplate::BudgetTemplate(store::RecordFile& mall) : mall_(mall) {
    reloadCount();
}

void BudgetTemplate::reloadCount() {
    count_ = static_cast<int>(mall_.count());
    index_.clear();
    for (int n = 1; n <= count_; ++n) {
        const auto rec = mall_.read<Mall>(static_cast<std::size_t>(n));
        index_.try_emplace(key(rec.text(Mall::TransNr), rec.raw(Mall::Month)), n);
    }
}

std::string BudgetTemplate::key(std::string_view transNr, std::string_view month) {
    std::string k(transNr);
    k += '\x1f';
    k += month;
    return k;
}

bool BudgetTemplate::open(const store::RecordFile& kontoData, int postCount, std::string_view today) {
    // The count always follows the file: a template that already holds records keeps them even
    // for an account that is down to one post, so a later post is appended after them instead of
    // overwriting the first record.
    if (postCount <= 1 || count_ > 0)
        return false;
    build(kontoData, postCount, today);
    return true;
}

void BudgetTemplate::update(const Post& post) {
    const std::string transNr = post.text(Post::TransNr);
    const std::string amount = templateAmountText(templateValue(post.text(Post::VerklBelopp)));
    const std::string_view month = monthOf(post);
    const std::string_view day = dayOf(post);

    const auto found = index_.find(key(transNr, month));
    if (found != index_.end()) {
        auto rec = mall_.read<Mall>(static_cast<std::size_t>(found->second));
        rec.set(Mall::Amount, amount);
        rec.set(Mall::Day, day);
        mall_.write(static_cast<std::size_t>(found->second), rec);
        return;
    }
    Mall rec;
    rec.set(Mall::TransNr, transNr);
    rec.set(Mall::Amount, amount);
    rec.set(Mall::Month, month);
    rec.set(Mall::Day, day);
    rec.set(Mall::Exclusion, "  ");
    ++count_;
    mall_.write(static_cast<std::size_t>(count_), rec);
    index_.try_emplace(key(transNr, month), count_);
}

void BudgetTemplate::build(const store::RecordFile& kontoData, int postCount, std::string_view today) {
    int year = 0;
    const std::string_view yearText = today.substr(0, std::min<std::size_t>(4, today.size()));
    const auto [end, ec] = std::from_chars(yearText.data(), yearText.data() + yearText.size(), year);
    if (yearText.size() != 4 || ec != std::errc() || end != yearText.data() + yearText.size())
        throw store::DataError("Ogiltigt datum: '" + std::string(today) + "'");
    std::string previous = std::to_string(year - 1);
    previous.insert(0, previous.size() < 4 ? 4 - previous.size() : 0, '0');

    // Walk down: the last post of the previous year ends the range, the first post of an older
    // year before it starts it; posts of later years are passed over.
    int first = 0;
    int last = 0;
    // Straight from the image: this walks every post of the account when it opens.
    const std::string_view image = kontoData.image();
    const auto postAt = [&](int n) {
        const std::size_t offset = static_cast<std::size_t>(n - 1) * Post::Length;
        return Post(offset < image.size() ? image.substr(offset, Post::Length) : std::string_view());
    };
    for (int n = postCount; n >= 1; --n) {
        const auto post = postAt(n);
        if (store::isFreePost(post))
            continue;
        const std::string_view postYear = post.raw(Post::Datum).substr(0, 4);
        if (postYear == previous) {
            if (last == 0)
                last = n;
        } else if (postYear < previous) {
            first = n + 1;
            break;
        }
    }
    if (first == 0)
        first = 1;
    if (last == 0)
        last = postCount;

    for (int n = first; n <= last; ++n) {
        const auto post = postAt(n);
        if (!store::isFreePost(post) && post.confirmed())
            update(post);
    }
}

} // namespace budget
