#pragma once

#include "store/RecordFile.h"
#include "store/Records.h"

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace calendar {

// The name field of a red day holds 25 bytes, one per character.
inline constexpr std::size_t RedDayNameLength = store::RedDayRec::Name.width;

// One used record of the red-day file, as a person sees it: the name trimmed (Windows-1252
// bytes) and the date text.
struct RedDay {
    int record = 0;
    std::string name;
    std::string date;
    friend bool operator==(const RedDay&, const RedDay&) = default;
};

// Why a typed name (UTF-8, trimmed) cannot be stored as a red day, as the Swedish text the window
// shows; std::nullopt when it can. Characters Windows-1252 cannot hold are refused, never
// replaced; "*" alone is the mark of a free record, so a red day by that name would vanish from
// the list.
std::optional<std::string> redDayNameProblem(std::string_view utf8Name);

// The number of used records: scanning from the last record down, the number of the first one
// whose trimmed name is not "*" (0 when there is none).
int countRedDays(const store::RecordFile& file);

// The red-day file, open for as long as the budget alternatives window uses it, with its count
// kept up to date. The used records 1..count stand in ascending order of their date texts;
// records after the count are free ("*" in the name) and the file never shrinks.
//
// insert, change and remove work on the file's image only; the caller commits once at the end of
// its procedure, or reloads to drop the change.
class RedDays {
public:
    // Opens the file, creating it empty when it is missing, and counts its used records.
    explicit RedDays(const std::filesystem::path& path);

    store::RecordFile& file() { return file_; }
    const store::RecordFile& file() const { return file_; }
    int count() const { return count_; }

    // Record n, 1 <= n <= count.
    RedDay at(int n) const;
    // Records 1 to count, in file order.
    std::vector<RedDay> list() const;
    // The first used record with exactly this date text.
    std::optional<int> find(std::string_view date) const;
    bool isRedDay(std::string_view date) const { return find(date).has_value(); }
    // Used records whose year (the first four characters of the date) is before the given year.
    std::vector<RedDay> outdated(int year) const;

    // Places a new red day before the first used record whose date is not earlier than its own
    // (so before the ones of the same date); later records move up by one. Returns its record
    // number. Throws store::DataError for a name that cannot be stored (see redDayNameProblem;
    // here in Windows-1252) or a date that names no real day.
    int insert(std::string_view cp1252Name, std::string_view date);
    // Record n gets a new name and date: in place when the date is unchanged, otherwise it is
    // taken out and placed again by its date. The count stays. Returns its new record number.
    int change(int n, std::string_view cp1252Name, std::string_view date);
    // Takes record n out: later used records move down by one and the record that was last gets
    // "*" as its name (its date stays).
    void remove(int n);

    void commit() { file_.commit(); }
    // Drops uncommitted changes and counts again.
    void reload();

private:
    void checkRecord(int n) const;
    void takeOut(int n);

    store::RecordFile file_;
    int count_ = 0;
};

} // namespace calendar
