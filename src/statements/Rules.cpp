#include "statements/Rules.h"

#include "store/Cp1252.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <set>

namespace statements {

namespace {

// Words a bank puts before the payee of a card purchase or a pending one: not the payee.
constexpr std::array<std::string_view, 8> PurchaseWords{
    "KORTKOP", "KOP", "KORTBETALNING", "KORTTRANSAKTION", "RESERVATION", "RESERVERAT", "PRELIMINAR", "PREL"};

// The next code point of UTF-8 text; an invalid byte is taken as U+FFFD so it folds to nothing.
char32_t nextCodePoint(std::string_view s, std::size_t& i) {
    const auto b = static_cast<unsigned char>(s[i++]);
    if (b < 0x80)
        return b;
    int extra = b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : -1;
    if (extra < 0)
        return 0xFFFD;
    char32_t cp = b & (0x3F >> extra);
    for (; extra > 0; --extra) {
        if (i >= s.size() || (static_cast<unsigned char>(s[i]) & 0xC0) != 0x80)
            return 0xFFFD;
        cp = (cp << 6) | (static_cast<unsigned char>(s[i++]) & 0x3F);
    }
    return cp;
}

// The letters of the Latin-1 range without their accents, from U+00C0; "" for the two signs.
constexpr std::array<std::string_view, 64> LatinLetters{
    "A", "A", "A", "A", "A", "A", "AE", "C", "E", "E", "E", "E", "I", "I", "I",  "I",
    "D", "N", "O", "O", "O", "O", "O",  "",  "O", "U", "U", "U", "U", "Y", "TH", "SS",
    "A", "A", "A", "A", "A", "A", "AE", "C", "E", "E", "E", "E", "I", "I", "I",  "I",
    "D", "N", "O", "O", "O", "O", "O",  "",  "O", "U", "U", "U", "U", "Y", "TH", "Y"};

enum class Fold { Letters, Separator, Dropped };

// A code point beyond ASCII in its matching form: the letters it stands for, a separator, or
// nothing at all for a character Windows-1252 cannot hold.
Fold fold(char32_t cp, std::string_view& letters) {
    if (cp >= 0xC0 && cp <= 0xFF)
        letters = LatinLetters[cp - 0xC0];
    else if (cp == 0x152 || cp == 0x153)
        letters = "OE";
    else if (cp == 0x160 || cp == 0x161)
        letters = "S";
    else if (cp == 0x17D || cp == 0x17E)
        letters = "Z";
    else if (cp == 0x178)
        letters = "Y";
    else if (cp < 0x100 || cp == 0x20AC || cp == 0x2013 || cp == 0x2014 || cp == 0x2018 || cp == 0x2019 ||
             cp == 0x201C || cp == 0x201D || cp == 0x2022 || cp == 0x2026 || cp == 0x2030 || cp == 0x2122 ||
             cp == 0x192 || cp == 0x2C6 || cp == 0x2DC || cp == 0x201A || cp == 0x201E || cp == 0x2020 ||
             cp == 0x2021 || cp == 0x2039 || cp == 0x203A)
        return Fold::Separator;
    else
        return Fold::Dropped;
    return letters.empty() ? Fold::Separator : Fold::Letters;
}

// Upper-case letters and digits for themselves, zero for a separator.
constexpr std::array<char, 128> AsciiFolds = [] {
    std::array<char, 128> t{};
    for (char c = '0'; c <= '9'; ++c)
        t[static_cast<std::size_t>(c)] = c;
    for (char c = 'A'; c <= 'Z'; ++c)
        t[static_cast<std::size_t>(c)] = t[static_cast<std::size_t>(c - 'A' + 'a')] = c;
    return t;
}();

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Writes the matching form word by word into a buffer sized for it once: the form is never longer
// than the text and a space, and this runs for every row of a statement.
class FormWriter {
public:
    // `out` is the buffer, its old content dropped and its room kept.
    FormWriter(std::string& out, std::size_t textSize) : out_(out) { out_.resize(textSize + 1); }
    void letter(char c) {
        out_[size_++] = c;
        digits_ += isDigit(c) ? 1 : 0;
        masks_ += c == 'X' ? 1 : 0;
    }
    void letters(std::string_view s) {
        for (const char c : s)
            letter(c);
    }
    // Decides on the word just written: gone when it is a date, an amount, a number or a masked
    // card number; a long run of digits inside a word goes by itself.
    void endWord() {
        const std::size_t length = size_ - start_;
        if (length > 0) {
            if (digits_ + masks_ == length && (digits_ > 0 || masks_ >= 4)) {
                size_ = start_;
            } else {
                if (digits_ >= 4)
                    dropLongNumbers();
                out_[size_++] = ' ';
            }
        }
        start_ = size_;
        digits_ = masks_ = 0;
    }
    // Leaves the words in the buffer, one space between them.
    void finish() {
        endWord();
        out_.resize(size_ > 0 ? size_ - 1 : 0);
    }

private:
    void dropLongNumbers() {
        std::size_t w = start_;
        for (std::size_t r = start_; r < size_;) {
            std::size_t run = r;
            while (run < size_ && isDigit(out_[run]))
                ++run;
            if (run - r >= 4) {
                r = run;
                continue;
            }
            for (; r < run; ++r)
                out_[w++] = out_[r];
            if (r < size_)
                out_[w++] = out_[r++];
        }
        size_ = w;
    }

    std::string& out_;
    std::size_t size_ = 0, start_ = 0, digits_ = 0, masks_ = 0;
};

// The matching form (normaliseText); a single word of a text is taken without the purchase words.
void matchingForm(std::string_view utf8, bool dropPurchaseWords, std::string& out) {
    FormWriter form(out, utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        // Bank texts are mostly ASCII: a table look-up for those.
        if (const auto b = static_cast<unsigned char>(utf8[i]); b < 0x80) {
            ++i;
            if (const char f = AsciiFolds[b])
                form.letter(f);
            else
                form.endWord();
            continue;
        }
        std::string_view letters;
        switch (fold(nextCodePoint(utf8, i), letters)) {
        case Fold::Letters:
            form.letters(letters);
            break;
        case Fold::Separator:
            form.endWord();
            break;
        case Fold::Dropped:
            break;
        }
    }
    form.finish();
    if (dropPurchaseWords) {
        std::size_t from = 0;
        for (std::size_t space; (space = out.find(' ', from)) != std::string::npos; from = space + 1)
            if (std::find(PurchaseWords.begin(), PurchaseWords.end(),
                          std::string_view(out).substr(from, space - from)) == PurchaseWords.end())
                break;
        out.erase(0, from);
    }
}

std::string matchingForm(std::string_view utf8, bool dropPurchaseWords) {
    std::string out;
    matchingForm(utf8, dropPurchaseWords, out);
    return out;
}

bool isWhite(char32_t cp) {
    return cp == ' ' || cp == '\t' || cp == 0xA0 || cp == 0x2009 || cp == 0x202F || cp == '\r' || cp == '\n';
}

char signOf(const std::vector<catalogue::CatalogueItem>& transactions, int transNr, bool& exists) {
    for (const auto& t : transactions)
        if (t.recordNumber == transNr) {
            exists = true;
            return t.sign;
        }
    exists = false;
    return ' ';
}

} // namespace

std::string normaliseText(std::string_view utf8) {
    return matchingForm(utf8, true);
}

void normaliseText(std::string_view utf8, std::string& out) {
    matchingForm(utf8, true, out);
}

namespace {

// Month names and their short forms, Swedish and English, in the matching form: "Hyra november"
// comes back as "Hyra december" next month, so a pattern holding the month would match once.
constexpr std::array<std::string_view, 33> MonthWords{
    "JANUARI", "JANUARY", "JAN",      "FEBRUARI", "FEBRUARY",  "FEB",  "MARS", "MARCH",   "MAR",
    "APRIL",   "APR",     "MAJ",      "MAY",      "JUNI",      "JUNE", "JUN",  "JULI",    "JULY",
    "JUL",     "AUGUSTI", "AUGUST",   "AUG",      "SEPTEMBER", "SEPT", "SEP",  "OKTOBER", "OCTOBER",
    "OKT",     "OCT",     "NOVEMBER", "NOV",      "DECEMBER",  "DEC"};

bool isMonthWord(std::string_view form) {
    for (std::size_t i = 0; i <= form.size();) {
        const std::size_t end = std::min(form.find(' ', i), form.size());
        if (std::find(MonthWords.begin(), MonthWords.end(), form.substr(i, end - i)) == MonthWords.end())
            return false;
        i = end + 1;
    }
    return true;
}

} // namespace

std::string suggestPattern(std::string_view bankText) {
    struct Word {
        std::string form; // in the matching form
        std::string shown;
    };
    std::vector<Word> words;
    for (std::size_t i = 0; i < bankText.size();) {
        std::size_t next = i;
        if (isWhite(nextCodePoint(bankText, next))) {
            i = next;
            continue;
        }
        std::string word;
        while (i < bankText.size()) {
            next = i;
            if (isWhite(nextCodePoint(bankText, next)))
                break;
            word.append(bankText.substr(i, next - i));
            i = next;
        }
        std::string form = matchingForm(word, false);
        if (form.empty())
            continue;
        // What Windows-1252 holds of the word, without its long runs of digits and the signs
        // around it ("*ICA-4021" -> "ICA").
        std::string shown;
        for (std::size_t j = 0; j < word.size();) {
            std::size_t run = j;
            while (run < word.size() && isDigit(word[run]))
                ++run;
            if (run - j >= 4) {
                j = run;
                continue;
            }
            std::size_t after = j;
            nextCodePoint(word, after);
            const std::string_view ch = std::string_view(word).substr(j, after - j);
            if (store::utf8ToCp1252(ch))
                shown.append(ch);
            j = after;
        }
        const auto inWord = [](char c) {
            return isDigit(c) || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c & 0x80);
        };
        const auto first = std::find_if(shown.begin(), shown.end(), inWord);
        const auto last = std::find_if(shown.rbegin(), shown.rend(), inWord).base();
        words.push_back({std::move(form), first < last ? std::string(first, last) : std::string()});
    }
    // Leading purchase words go while a word follows, as in the matching form.
    std::size_t from = 0;
    while (from + 1 < words.size() &&
           std::find(PurchaseWords.begin(), PurchaseWords.end(), words[from].form) != PurchaseWords.end())
        ++from;
    // A pattern is one run of words; the longest run without a month word, when there is one.
    std::size_t begin = from, end = words.size(), best = 0;
    for (std::size_t w = from; w < words.size();) {
        if (words[w].shown.empty() || isMonthWord(words[w].form)) {
            ++w;
            continue;
        }
        std::size_t run = w, chars = 0;
        for (; run < words.size() && !isMonthWord(words[run].form); ++run)
            chars += store::utf8Length(words[run].shown) + 1;
        if (chars > best) {
            best = chars;
            begin = w;
            end = run;
        }
        w = run;
    }
    std::string pattern;
    std::size_t length = 0;
    for (std::size_t w = begin; w < end; ++w) {
        const std::string& word = words[w].shown;
        const std::size_t wordLength = store::utf8Length(word);
        if (word.empty())
            continue;
        if (length + (length ? 1 : 0) + wordLength > MaxPatternLength) {
            if (length == 0) { // one long word: cut at a character
                std::size_t i = 0;
                for (std::size_t n = 0; n < MaxPatternLength; ++n)
                    nextCodePoint(word, i);
                pattern = word.substr(0, i);
            }
            break;
        }
        if (length)
            pattern += ' ';
        pattern += word;
        length += (length ? 1 : 0) + wordLength;
    }
    return pattern;
}

bool patternMatches(std::string_view pattern, std::string_view normalisedText) {
    const std::string form = normaliseText(pattern);
    return !form.empty() && normalisedText.find(form) != std::string_view::npos;
}

bool signAgrees(char sign, store::Amount amount) {
    return (sign == '-' && amount.isNegative()) || (sign == '+' && !amount.isNegative() && !amount.isZero());
}

std::vector<catalogue::CatalogueItem>
offeredTransactions(const std::vector<catalogue::CatalogueItem>& transactions, store::Amount amount) {
    std::vector<catalogue::CatalogueItem> offered;
    for (const auto& t : transactions)
        if (signAgrees(t.sign, amount))
            offered.push_back(t);
    return offered;
}

RuleSet::RuleSet(const std::vector<Rule>& rules, const std::vector<catalogue::CatalogueItem>& transactions,
                 const std::vector<catalogue::CatalogueItem>& subTransactions) {
    for (const Rule& r : rules) {
        bool exists = false;
        const char sign = signOf(transactions, r.transNr, exists);
        std::string form = normaliseText(r.pattern);
        if (!exists || form.empty())
            continue;
        const bool subExists = std::any_of(subTransactions.begin(), subTransactions.end(),
                                           [&](const auto& s) { return s.recordNumber == r.subNr; });
        entries_.push_back({std::move(form), &r, sign, subExists ? r.subNr : 0, 0});
    }
    std::stable_sort(entries_.begin(), entries_.end(),
                     [](const Entry& a, const Entry& b) { return a.folded.size() > b.folded.size(); });
    std::map<unsigned, int> shared; // how many patterns have each pair
    for (const Entry& e : entries_) {
        std::set<unsigned> pairs;
        for (std::size_t i = 0; i + 1 < e.folded.size(); ++i)
            pairs.insert(pairAt(e.folded, i));
        for (const unsigned p : pairs)
            ++shared[p];
    }
    for (std::size_t k = 0; k < entries_.size(); ++k) {
        Entry& e = entries_[k];
        if (e.folded.size() < 2) {
            single_.push_back(k);
            continue;
        }
        for (std::size_t i = 1; i + 1 < e.folded.size(); ++i)
            if (shared[pairAt(e.folded, i)] < shared[pairAt(e.folded, e.anchor)])
                e.anchor = i;
        const unsigned pair = pairAt(e.folded, e.anchor);
        anchored_.emplace_back(pair, k);
        anchorBits_[pair >> 6] |= std::uint64_t{1} << (pair & 63);
    }
    std::sort(anchored_.begin(), anchored_.end());
}

RuleSet::Match RuleSet::match(std::string_view normalisedText, store::Amount amount) const {
    // entries_ is longest first and in the file's order within a length: the lowest entry found is
    // the longest pattern, and the lowest one whose sign agrees wins if it is as long.
    constexpr std::size_t None = static_cast<std::size_t>(-1);
    std::size_t first = None, firstAgreeing = None;
    const auto found = [&](std::size_t k) {
        first = std::min(first, k);
        if (signAgrees(entries_[k].sign, amount))
            firstAgreeing = std::min(firstAgreeing, k);
    };
    for (std::size_t i = 0; i + 1 < normalisedText.size(); ++i) {
        const unsigned pair = pairAt(normalisedText, i);
        if (!(anchorBits_[pair >> 6] >> (pair & 63) & 1))
            continue;
        for (auto a = std::lower_bound(anchored_.begin(), anchored_.end(),
                                       std::pair<unsigned, std::size_t>(pair, 0));
             a != anchored_.end() && a->first == pair; ++a) {
            const Entry& e = entries_[a->second];
            if (i >= e.anchor && i - e.anchor + e.folded.size() <= normalisedText.size() &&
                normalisedText.compare(i - e.anchor, e.folded.size(), e.folded) == 0)
                found(a->second);
        }
    }
    for (const std::size_t k : single_)
        if (normalisedText.find(entries_[k].folded) != std::string_view::npos)
            found(k);
    if (first == None)
        return {};
    const std::size_t k =
        firstAgreeing != None && entries_[firstAgreeing].folded.size() == entries_[first].folded.size()
            ? firstAgreeing
            : first;
    return {entries_[k].rule, k == firstAgreeing, entries_[k].subNr};
}

void addRule(std::vector<Rule>& rules, Rule rule, const std::vector<catalogue::CatalogueItem>& transactions) {
    bool exists = false;
    const char sign = signOf(transactions, rule.transNr, exists);
    const std::string form = normaliseText(rule.pattern);
    for (Rule& r : rules) {
        if (normaliseText(r.pattern) == form && signOf(transactions, r.transNr, exists) == sign) {
            rule.record = r.record;
            r = std::move(rule);
            return;
        }
    }
    rules.push_back(std::move(rule));
}

} // namespace statements
