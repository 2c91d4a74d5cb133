#include "statements/ImportFiles.h"

#include "store/Cp1252.h"
#include "store/Errors.h"
#include "store/FileIo.h"

#include <algorithm>
#include <fcntl.h>
#include <set>

namespace statements {

namespace {

template <typename Rec> std::size_t recordCount(std::string_view image) {
    return (image.size() + Rec::Length / 2) / Rec::Length;
}

template <typename Rec> Rec recordAt(std::string_view image, std::size_t n) {
    const std::size_t offset = (n - 1) * Rec::Length;
    return Rec(offset < image.size() ? image.substr(offset, Rec::Length) : std::string_view());
}

template <typename Rec> void put(std::string& image, std::size_t n, const Rec& rec) {
    const std::size_t offset = (n - 1) * Rec::Length;
    if (image.size() < offset + Rec::Length)
        image.resize(offset + Rec::Length, ' ');
    image.replace(offset, Rec::Length, rec.bytes());
}

// Windows-1252 bytes of a text the user gave a name or a pattern, refused when it cannot be kept
// whole: a rule or mapping that silently lost characters would not be the one the user saved.
std::string storedText(std::string_view utf8, std::size_t width, const char* what) {
    const auto bytes = store::utf8ToCp1252(utf8);
    if (!bytes || store::trimField(*bytes).empty() || bytes->size() > width)
        throw store::DataError(std::string(what) + " kan inte sparas: \"" + std::string(utf8) + "\"");
    return *bytes;
}

// The bank's text kept in the log: what Windows-1252 holds of it, cut to the field.
std::string logText(std::string_view utf8) {
    return store::cp1252Within(utf8, LogRec::Text.width, '\0');
}

char flag(bool on) {
    return on ? 'J' : 'N';
}

bool isOn(std::string_view raw) {
    return raw == "J";
}

int digitField(const ProfileRec& rec, store::Field f, int last) {
    const int value = rec.recordNumber(f);
    if (value > last)
        throw store::DataError("Importprofiler: " + std::string(rec.raw(f)));
    return value;
}

} // namespace

std::string readImportFile(const std::filesystem::path& file) {
    store::io::UniqueFd fd;
    if (const int err = store::io::openRegular(AT_FDCWD, file.c_str(), false, fd)) {
        if (err == ENOENT)
            return {};
        store::io::fail(err, file);
    }
    std::string image;
    if (const int err = store::io::readAllAt(fd.get(), image))
        store::io::fail(err, file);
    return image;
}

std::vector<Rule> parseRules(std::string_view image) {
    std::vector<Rule> rules;
    for (std::size_t n = 1; n <= recordCount<RuleRec>(image); ++n) {
        const auto rec = recordAt<RuleRec>(image, n);
        if (rec.isBlank(RuleRec::Monster))
            continue;
        rules.push_back({static_cast<int>(n), store::cp1252ToUtf8(rec.text(RuleRec::Monster)),
                         rec.recordNumber(RuleRec::TransNr), rec.recordNumber(RuleRec::SubTransNr)});
    }
    return rules;
}

std::vector<LogEntry> parseLog(std::string_view image) {
    std::vector<LogEntry> log;
    log.reserve(recordCount<LogRec>(image));
    for (std::size_t n = 1; n <= recordCount<LogRec>(image); ++n) {
        const auto rec = recordAt<LogRec>(image, n);
        if (rec.isBlank(LogRec::Fingeravtryck))
            continue;
        const auto date = store::parseDate(rec.raw(LogRec::Datum));
        if (!date)
            throw store::DataError("Importlogg: " + std::string(rec.raw(LogRec::Datum)));
        log.push_back({rec.text(LogRec::Fingeravtryck), *date, rec.amount(LogRec::Belopp),
                       store::cp1252ToUtf8(rec.text(LogRec::Text))});
    }
    return log;
}

std::vector<Profile> parseProfiles(std::string_view image) {
    std::vector<Profile> profiles;
    for (std::size_t n = 1; n <= recordCount<ProfileRec>(image); ++n) {
        const auto rec = recordAt<ProfileRec>(image, n);
        if (rec.isBlank(ProfileRec::Namn))
            continue;
        Profile p;
        p.savedMapping = rec.raw(ProfileRec::Slag) != "B";
        p.useTransactionDate = isOn(rec.raw(ProfileRec::Transaktionsdag));
        Mapping& m = p.mapping;
        m.name = store::cp1252ToUtf8(rec.text(ProfileRec::Namn));
        if (p.savedMapping) {
            m.encoding = static_cast<Encoding>(digitField(rec, ProfileRec::Kodning, 3));
            m.separator = rec.raw(ProfileRec::Skiljetecken)[0];
            m.skipLines = rec.recordNumber(ProfileRec::Hoppa);
            m.headerLine = isOn(rec.raw(ProfileRec::Rubrikrad));
            m.bookingDateColumn = rec.recordNumber(ProfileRec::BokfKolumn);
            m.transactionDateColumn = rec.recordNumber(ProfileRec::TransKolumn);
            m.textColumn = rec.recordNumber(ProfileRec::TextKolumn);
            m.amountColumn = rec.recordNumber(ProfileRec::BeloppKolumn);
            m.debitColumn = rec.recordNumber(ProfileRec::DebetKolumn);
            m.creditColumn = rec.recordNumber(ProfileRec::KreditKolumn);
            m.signColumn = rec.recordNumber(ProfileRec::DkKolumn);
            m.balanceColumn = rec.recordNumber(ProfileRec::SaldoKolumn);
            m.dateFormat = static_cast<DateFormat>(digitField(rec, ProfileRec::Datumformat, 6));
            m.decimalComma = isOn(rec.raw(ProfileRec::Decimalkomma));
            m.newestFirst = isOn(rec.raw(ProfileRec::NyastForst));
            m.signature = rec.text(ProfileRec::Signatur);
        }
        profiles.push_back(std::move(p));
    }
    return profiles;
}

std::vector<Rule> readRules(const store::DataPaths& paths, std::string_view cp1252Account) {
    return parseRules(readImportFile(paths.importregler(cp1252Account)));
}

std::vector<LogEntry> readLog(const store::DataPaths& paths, std::string_view cp1252Account) {
    return parseLog(readImportFile(paths.importlogg(cp1252Account)));
}

std::vector<Profile> readProfiles(const store::DataPaths& paths) {
    return parseProfiles(readImportFile(paths.importprofiler()));
}

std::string rulesContent(std::string_view oldImage, const std::vector<Rule>& rules) {
    std::string image(oldImage);
    const std::size_t oldCount = recordCount<RuleRec>(oldImage);
    std::set<std::size_t> named;
    for (const Rule& r : rules)
        if (r.record > 0)
            named.insert(static_cast<std::size_t>(r.record));
    // Records no rule names any more are free: blanked, and the first to be taken by a new rule.
    for (std::size_t n = 1; n <= oldCount; ++n)
        if (!named.contains(n) && !recordAt<RuleRec>(oldImage, n).isBlank(RuleRec::Monster))
            put(image, n, RuleRec());
    std::size_t nextFree = 1;
    std::set<std::size_t> written;
    for (const Rule& r : rules) {
        RuleRec rec;
        rec.set(RuleRec::Monster, storedText(r.pattern, MaxPatternLength, "Mönstret"));
        rec.setRecordNumber(RuleRec::TransNr, r.transNr);
        rec.setRecordNumber(RuleRec::SubTransNr, r.subNr);
        auto n = static_cast<std::size_t>(r.record);
        if (n == 0 || written.contains(n)) {
            while (named.contains(nextFree) || written.contains(nextFree) ||
                   (nextFree <= oldCount && !recordAt<RuleRec>(image, nextFree).isBlank(RuleRec::Monster)))
                ++nextFree;
            n = nextFree;
        }
        written.insert(n);
        // A rule that did not change keeps its record's bytes, whatever padding an older write left.
        const auto old =
            n <= oldCount ? parseRules(recordAt<RuleRec>(oldImage, n).bytes()) : std::vector<Rule>();
        if (old.size() != 1 || old[0].pattern != r.pattern || old[0].transNr != r.transNr ||
            old[0].subNr != r.subNr || image.size() < n * RuleRec::Length)
            put(image, n, rec);
    }
    return image;
}

std::string logContent(std::string_view oldImage, const std::vector<LogEntry>& added) {
    std::string image(oldImage);
    image.resize(recordCount<LogRec>(oldImage) * LogRec::Length, ' ');
    image.reserve(image.size() + added.size() * LogRec::Length);
    for (const LogEntry& e : added) {
        LogRec rec;
        rec.set(LogRec::Fingeravtryck, e.fingerprint);
        rec.set(LogRec::Datum, store::dateText(e.date));
        rec.setAmount(LogRec::Belopp, e.amount);
        rec.set(LogRec::Text, logText(e.text));
        image += rec.bytes();
    }
    return image;
}

std::string profilesContent(std::string_view oldImage, const std::vector<Profile>& profiles) {
    std::string image(oldImage);
    std::size_t n = 0;
    for (const Profile& p : profiles) {
        const Mapping& m = p.mapping;
        ProfileRec rec;
        rec.set(ProfileRec::Namn, storedText(m.name, MaxProfileNameLength, "Namnet"));
        rec.set(ProfileRec::Slag, p.savedMapping ? "M" : "B");
        rec.set(ProfileRec::Transaktionsdag, std::string(1, flag(p.useTransactionDate)));
        if (p.savedMapping) {
            rec.set(ProfileRec::Kodning, std::to_string(static_cast<int>(m.encoding)));
            rec.set(ProfileRec::Skiljetecken, std::string(1, m.separator));
            rec.setRecordNumber(ProfileRec::Hoppa, m.skipLines);
            rec.set(ProfileRec::Rubrikrad, std::string(1, flag(m.headerLine)));
            rec.setRecordNumber(ProfileRec::BokfKolumn, m.bookingDateColumn);
            rec.setRecordNumber(ProfileRec::TransKolumn, m.transactionDateColumn);
            rec.setRecordNumber(ProfileRec::TextKolumn, m.textColumn);
            rec.setRecordNumber(ProfileRec::BeloppKolumn, m.amountColumn);
            rec.setRecordNumber(ProfileRec::DebetKolumn, m.debitColumn);
            rec.setRecordNumber(ProfileRec::KreditKolumn, m.creditColumn);
            rec.setRecordNumber(ProfileRec::DkKolumn, m.signColumn);
            rec.setRecordNumber(ProfileRec::SaldoKolumn, m.balanceColumn);
            rec.set(ProfileRec::Datumformat, std::to_string(static_cast<int>(m.dateFormat)));
            rec.set(ProfileRec::Decimalkomma, std::string(1, flag(m.decimalComma)));
            rec.set(ProfileRec::NyastForst, std::string(1, flag(m.newestFirst)));
            rec.set(ProfileRec::Signatur, m.signature);
        }
        ++n;
        if (recordAt<ProfileRec>(oldImage, n).bytes() != rec.bytes() || image.size() < n * ProfileRec::Length)
            put(image, n, rec);
    }
    for (++n; n <= recordCount<ProfileRec>(oldImage); ++n)
        if (!recordAt<ProfileRec>(oldImage, n).isBlank(ProfileRec::Namn))
            put(image, n, ProfileRec());
    return image;
}

std::vector<Mapping> savedMappings(const std::vector<Profile>& profiles) {
    std::vector<Mapping> out;
    for (const Profile& p : profiles)
        if (p.savedMapping)
            out.push_back(p.mapping);
    return out;
}

bool usesTransactionDate(const std::vector<Profile>& profiles, std::string_view bank) {
    return std::any_of(profiles.begin(), profiles.end(),
                       [&](const Profile& p) { return p.mapping.name == bank && p.useTransactionDate; });
}

void setTransactionDate(std::vector<Profile>& profiles, std::string_view bank, bool useTransactionDate) {
    const auto it = std::find_if(profiles.begin(), profiles.end(),
                                 [&](const Profile& p) { return p.mapping.name == bank; });
    if (it != profiles.end()) {
        it->useTransactionDate = useTransactionDate;
        return;
    }
    // The booking date is what a bank without a record takes: no record is needed to say so.
    if (!useTransactionDate)
        return;
    Profile p;
    p.savedMapping = false;
    p.useTransactionDate = true;
    p.mapping.name = std::string(bank);
    profiles.push_back(std::move(p));
}

void saveMapping(std::vector<Profile>& profiles, const Mapping& mapping) {
    const auto it = std::find_if(profiles.begin(), profiles.end(),
                                 [&](const Profile& p) { return p.mapping.name == mapping.name; });
    if (it != profiles.end()) {
        it->savedMapping = true;
        it->mapping = mapping;
        return;
    }
    Profile p;
    p.mapping = mapping;
    profiles.push_back(std::move(p));
}

} // namespace statements
