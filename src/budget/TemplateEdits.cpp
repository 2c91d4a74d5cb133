#include "budget/TemplateEdits.h"

#include "store/Records.h"

#include <algorithm>
#include <charconv>
#include <string_view>

namespace budget {

namespace {

using Mall = store::MallRec;

// A field of decimal digits (an amount may have a leading "-"); empty for anything else.
std::optional<std::int64_t> number(std::string_view raw, bool signedValue) {
    const std::string_view text = store::trimField(raw);
    if (text.empty())
        return std::nullopt;
    std::size_t start = 0;
    if (signedValue && text.front() == '-')
        start = 1;
    if (start == text.size())
        return std::nullopt;
    for (std::size_t i = start; i < text.size(); ++i)
        if (text[i] < '0' || text[i] > '9')
            return std::nullopt;
    std::int64_t v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return v;
}

int inRange(std::optional<std::int64_t> v, int low, int high) {
    return v && *v >= low && *v <= high ? static_cast<int>(*v) : 0;
}

// A record's transaction number the way the template looks it up: its trimmed text.
bool sameTransaction(const Mall& rec, int transNr) {
    return rec.text(Mall::TransNr) == std::to_string(transNr);
}

} // namespace

std::vector<TemplateRecord> readTemplate(const store::RecordFile& mall) {
    std::vector<TemplateRecord> out;
    const auto count = mall.count();
    out.reserve(count);
    for (std::size_t n = 1; n <= count; ++n) {
        const auto rec = mall.read<Mall>(n);
        TemplateRecord r;
        r.record = static_cast<int>(n);
        r.transNr = inRange(number(rec.raw(Mall::TransNr), false), 1, 9999);
        r.month = inRange(number(rec.raw(Mall::Month), false), 1, 12);
        r.day = inRange(number(rec.raw(Mall::Day), false), 1, 31);
        r.amount = number(rec.raw(Mall::Amount), true);
        r.monthBlank = rec.isBlank(Mall::Month);
        r.excluded = rec.excluded();
        out.push_back(r);
    }
    return out;
}

std::vector<TemplateRecord> recordsOf(const std::vector<TemplateRecord>& records, int transNr) {
    std::vector<TemplateRecord> out;
    std::copy_if(records.begin(), records.end(), std::back_inserter(out),
                 [&](const TemplateRecord& r) { return transNr > 0 && r.transNr == transNr; });
    return out;
}

std::vector<int> excludedTransactions(const std::vector<TemplateRecord>& records) {
    std::vector<int> out;
    for (const auto& r : records)
        if (r.excluded && r.transNr > 0 && std::find(out.begin(), out.end(), r.transNr) == out.end())
            out.push_back(r.transNr);
    return out;
}

bool isExcluded(const std::vector<TemplateRecord>& records, int transNr) {
    return std::any_of(records.begin(), records.end(), [&](const TemplateRecord& r) {
        return r.excluded && transNr > 0 && r.transNr == transNr;
    });
}

bool anyExclusionFrom(const std::vector<TemplateRecord>& records, int startMonth) {
    return std::any_of(records.begin(), records.end(),
                       [&](const TemplateRecord& r) { return r.excluded && r.month >= startMonth; });
}

int setExclusion(store::RecordFile& mall, int transNr, bool excluded) {
    if (transNr <= 0)
        return 0;
    int found = 0;
    const auto count = mall.count();
    for (std::size_t n = 1; n <= count; ++n) {
        auto rec = mall.read<Mall>(n);
        if (!sameTransaction(rec, transNr))
            continue;
        ++found;
        const std::string_view mark = excluded ? "* " : "  ";
        if (rec.raw(Mall::Exclusion) == mark)
            continue;
        rec.set(Mall::Exclusion, mark);
        mall.write(n, rec);
    }
    return found;
}

} // namespace budget
