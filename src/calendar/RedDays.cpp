#include "calendar/RedDays.h"

#include "store/Cp1252.h"
#include "store/DateText.h"
#include "store/Errors.h"

namespace calendar {

namespace {

const std::string FreeMark = "*";

bool hasControl(std::string_view bytes) {
    for (const char c : bytes)
        if (static_cast<unsigned char>(c) < 0x20 || c == '\x7f')
            return true;
    return false;
}

// The same rules as redDayNameProblem, on bytes already in Windows-1252.
std::optional<std::string> cp1252NameProblem(std::string_view raw) {
    const std::string_view bytes = store::trimField(raw);
    if (bytes.empty())
        return "Textfältet saknar en benämning för 'Röd dag' !";
    if (hasControl(bytes))
        return "Namnet på 'Röd dag' innehåller tecken som inte kan sparas !\r\n"
               "Använd bokstäver, siffror och vanliga skiljetecken.";
    if (bytes == FreeMark)
        return "Namnet '*' kan inte användas för en 'Röd dag' !\r\nVälj ett annat namn.";
    if (bytes.size() > RedDayNameLength)
        return "Namnet på 'Röd dag' får vara högst " + std::to_string(RedDayNameLength) + " tecken långt !";
    return std::nullopt;
}

std::string dateOf(const store::RedDayRec& rec) {
    return rec.text(store::RedDayRec::Date);
}

} // namespace

std::optional<std::string> redDayNameProblem(std::string_view utf8Name) {
    const std::optional<std::string> bytes = store::utf8ToCp1252(utf8Name);
    if (!bytes)
        return "Namnet på 'Röd dag' innehåller tecken som inte kan sparas !\r\n"
               "Använd bokstäver, siffror och vanliga skiljetecken.";
    return cp1252NameProblem(*bytes);
}

int countRedDays(const store::RecordFile& file) {
    for (std::size_t n = file.count(); n >= 1; --n)
        if (!file.read<store::RedDayRec>(n).isFree())
            return static_cast<int>(n);
    return 0;
}

RedDays::RedDays(const std::filesystem::path& path)
    : file_(path, store::RedDayRec::Length, store::RecordFile::Missing::Create), count_(countRedDays(file_)) {
}

void RedDays::checkRecord(int n) const {
    if (n < 1 || n > count_)
        throw store::DataError("Röd dag nummer " + std::to_string(n) + " finns inte (antal " +
                               std::to_string(count_) + ")");
}

RedDay RedDays::at(int n) const {
    checkRecord(n);
    const auto rec = file_.read<store::RedDayRec>(static_cast<std::size_t>(n));
    return {n, rec.text(store::RedDayRec::Name), dateOf(rec)};
}

std::vector<RedDay> RedDays::list() const {
    std::vector<RedDay> days;
    days.reserve(static_cast<std::size_t>(count_));
    for (int n = 1; n <= count_; ++n)
        days.push_back(at(n));
    return days;
}

std::optional<int> RedDays::find(std::string_view date) const {
    for (int n = 1; n <= count_; ++n)
        if (dateOf(file_.read<store::RedDayRec>(static_cast<std::size_t>(n))) == date)
            return n;
    return std::nullopt;
}

std::vector<RedDay> RedDays::outdated(int year) const {
    std::string yearText = std::to_string(year);
    if (yearText.size() < 4)
        yearText.insert(0, 4 - yearText.size(), '0');
    std::vector<RedDay> old;
    for (RedDay& day : list())
        if (day.date.substr(0, 4) < yearText)
            old.push_back(std::move(day));
    return old;
}

int RedDays::insert(std::string_view cp1252Name, std::string_view date) {
    if (const auto problem = cp1252NameProblem(cp1252Name))
        throw store::DataError(*problem);
    // A date that names no real day would never match a budget date and cannot be shown.
    if (!store::parseDate(date))
        throw store::DataError("Ogiltigt datum för 'Röd dag': " + std::string(date));

    int pos = count_ + 1;
    for (int n = 1; n <= count_; ++n)
        if (dateOf(file_.read<store::RedDayRec>(static_cast<std::size_t>(n))) >= date) {
            pos = n;
            break;
        }
    for (int n = count_; n >= pos; --n)
        file_.writeRaw(static_cast<std::size_t>(n + 1), file_.readRaw(static_cast<std::size_t>(n)));

    store::RedDayRec rec;
    rec.set(store::RedDayRec::Name, store::trimField(cp1252Name));
    rec.set(store::RedDayRec::Date, date);
    file_.write(static_cast<std::size_t>(pos), rec);
    ++count_;
    return pos;
}

void RedDays::takeOut(int n) {
    for (int i = n + 1; i <= count_; ++i)
        file_.writeRaw(static_cast<std::size_t>(i - 1), file_.readRaw(static_cast<std::size_t>(i)));
    auto last = file_.read<store::RedDayRec>(static_cast<std::size_t>(count_));
    last.set(store::RedDayRec::Name, FreeMark);
    file_.write(static_cast<std::size_t>(count_), last);
    --count_;
}

void RedDays::remove(int n) {
    checkRecord(n);
    takeOut(n);
}

int RedDays::change(int n, std::string_view cp1252Name, std::string_view date) {
    checkRecord(n);
    if (const auto problem = cp1252NameProblem(cp1252Name))
        throw store::DataError(*problem);
    if (!store::parseDate(date))
        throw store::DataError("Ogiltigt datum för 'Röd dag': " + std::string(date));

    const auto rec = file_.read<store::RedDayRec>(static_cast<std::size_t>(n));
    if (dateOf(rec) == date) {
        store::RedDayRec changed;
        changed.set(store::RedDayRec::Name, store::trimField(cp1252Name));
        changed.set(store::RedDayRec::Date, date);
        file_.write(static_cast<std::size_t>(n), changed);
        return n;
    }
    takeOut(n);
    return insert(cp1252Name, date);
}

void RedDays::reload() {
    file_.reload();
    count_ = countRedDays(file_);
}

} // namespace calendar
