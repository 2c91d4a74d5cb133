#include "statements/Ofx.h"

#include "statements/Table.h"
#include "statements/Text.h"
#include "statements/Values.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <algorithm>
#include <climits>
#include <memory>
#include <string>
#include <vector>

namespace statements {

namespace {

// The file as a flat series of tags, whichever way it was written.
struct Event {
    enum Kind { Open, Close, Leaf } kind;
    std::string tag; // upper case
    std::string value;
    int line = 0;
};

std::string upper(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return out;
}

// SGML's character references as OFX 1 files use them.
std::string unescape(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '&') {
            static const std::pair<std::string_view, char> named[] = {{"&amp;", '&'},   {"&lt;", '<'},
                                                                      {"&gt;", '>'},    {"&quot;", '"'},
                                                                      {"&apos;", '\''}, {"&nbsp;", ' '}};
            bool done = false;
            for (const auto& [name, c] : named) {
                if (s.substr(i, name.size()) == name) {
                    out.push_back(c);
                    i += name.size() - 1;
                    done = true;
                    break;
                }
            }
            if (done)
                continue;
        }
        out.push_back(s[i]);
    }
    return out;
}

std::vector<Event> sgmlEvents(std::string_view s) {
    std::vector<Event> events;
    events.reserve(static_cast<std::size_t>(std::count(s.begin(), s.end(), '<')));
    int line = 1;
    std::size_t i = 0;
    const auto countLines = [&](std::size_t from, std::size_t to) {
        line += static_cast<int>(std::count(s.begin() + static_cast<std::ptrdiff_t>(from),
                                            s.begin() + static_cast<std::ptrdiff_t>(to), '\n'));
    };
    while (i < s.size()) {
        const std::size_t open = s.find('<', i);
        if (open == std::string_view::npos)
            break;
        countLines(i, open);
        const std::size_t close = s.find('>', open);
        if (close == std::string_view::npos)
            break;
        std::string_view inside = s.substr(open + 1, close - open - 1);
        i = close + 1;
        if (inside.substr(0, 3) == "!--") {
            const std::size_t end = s.find("-->", open);
            const std::size_t to = end == std::string_view::npos ? s.size() : end + 3;
            countLines(close, std::max(close, to));
            i = std::max(i, to);
            continue;
        }
        if (inside.empty() || inside.front() == '!' || inside.front() == '?') {
            countLines(open, close);
            continue;
        }
        const bool closing = inside.front() == '/';
        if (closing)
            inside.remove_prefix(1);
        const std::size_t nameEnd = inside.find_first_of(" \t\r\n/");
        const std::string tag = upper(text::trim(inside.substr(0, nameEnd)));
        countLines(open, close);
        if (tag.empty())
            continue;
        if (closing) {
            events.push_back({Event::Close, tag, {}, line});
            continue;
        }
        const std::size_t next = std::min(s.find('<', i), s.size());
        const std::string_view value = text::trim(s.substr(i, next - i));
        if (value.empty())
            events.push_back({Event::Open, tag, {}, line});
        else
            events.push_back({Event::Leaf, tag, unescape(value), line});
    }
    return events;
}

struct DocFree {
    void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
};

// The element's own text, from its text children only: an entity reference is never expanded.
std::string ownText(const xmlNode* node) {
    std::string out;
    for (const xmlNode* c = node->children; c != nullptr; c = c->next)
        if ((c->type == XML_TEXT_NODE || c->type == XML_CDATA_SECTION_NODE) && c->content != nullptr)
            out += reinterpret_cast<const char*>(c->content);
    return std::string(text::trim(out));
}

bool hasElementChild(const xmlNode* node) {
    for (const xmlNode* c = node->children; c != nullptr; c = c->next)
        if (c->type == XML_ELEMENT_NODE)
            return true;
    return false;
}

std::optional<std::vector<Event>> xmlEvents(std::string_view utf8) {
    if (utf8.size() > static_cast<std::size_t>(INT_MAX))
        return std::nullopt;
    xmlInitParser();
    const std::unique_ptr<xmlDoc, DocFree> doc(
        xmlReadMemory(utf8.data(), static_cast<int>(utf8.size()), nullptr, "UTF-8",
                      XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_IGNORE_ENC));
    if (!doc)
        return std::nullopt;
    std::vector<Event> events;
    const xmlNode* root = xmlDocGetRootElement(doc.get());
    const xmlNode* n = root;
    while (n != nullptr) {
        const std::string tag = upper(n->name != nullptr ? reinterpret_cast<const char*>(n->name) : "");
        const int line = static_cast<int>(xmlGetLineNo(n));
        if (n->type == XML_ELEMENT_NODE && hasElementChild(n)) {
            events.push_back({Event::Open, tag, {}, line});
            n = n->children;
            continue;
        }
        if (n->type == XML_ELEMENT_NODE)
            events.push_back({Event::Leaf, tag, ownText(n), line});
        // Up until there is a next sibling, closing every element left.
        while (n != root && n->next == nullptr) {
            n = n->parent;
            events.push_back({Event::Close, upper(reinterpret_cast<const char*>(n->name)), {}, 0});
        }
        n = n == root ? nullptr : n->next;
    }
    return events;
}

// Builds the rows from the tags: the statement's currency and account apply to the transactions
// that follow them.
Statement rowsOfEvents(const std::vector<Event>& events, const ReadOptions& options) {
    Statement statement;
    std::string currency = "SEK";
    std::string account;
    std::vector<std::string> open;
    struct Transaction {
        std::string posted, user, amount, fitid, name, payee, memo, currency;
    } trn;
    int trnLine = 0;
    bool inTrn = false;
    bool sawOfx = false;
    // Tags left open by a careless file pile up; the aggregates that matter lie near the top.
    constexpr std::size_t MaxOpen = 256;
    const auto within = [&](std::string_view aggregate) {
        for (auto it = open.rbegin(); it != open.rend() && *it != "STMTTRN"; ++it)
            if (*it == aggregate)
                return true;
        return false;
    };
    const auto finish = [&] {
        BankRow row;
        row.line = trnLine;
        row.fitid = trn.fitid;
        row.accountNumber = account;
        row.currency = trn.currency.empty() ? currency : trn.currency;
        std::string error;
        const std::string& posted = trn.posted;
        if (posted.empty())
            error = "datum saknas";
        else if (!(row.bookingDate = parseBankDate(posted.substr(0, 8), DateFormat::Compact)))
            error = "datumet \"" + text::cleanText(posted) + "\" går inte att läsa";
        if (!trn.user.empty())
            row.transactionDate = parseBankDate(trn.user.substr(0, 8), DateFormat::Compact);
        if (options.useTransactionDate && row.transactionDate) {
            row.bookingDate = row.transactionDate;
            error.clear();
        }
        std::string amountError;
        if (const auto amount = amountOrError(trn.amount, DecimalSign::Either, amountError))
            row.amount = *amount;
        const std::string name = text::cleanText(!trn.name.empty() ? trn.name : trn.payee);
        const std::string memo = text::cleanText(trn.memo);
        row.text = name.empty() ? memo : (memo.empty() || memo == name ? name : name + " " + memo);
        row.error = !error.empty() ? error : amountError;
        if (row.error.empty() && row.currency != "SEK")
            row.error = "raden är i " + row.currency + ", kontot i SEK";
        statement.rows.push_back(std::move(row));
        trn = {};
        inTrn = false;
    };
    for (const Event& e : events) {
        switch (e.kind) {
        case Event::Open:
            if (e.tag == "OFX")
                sawOfx = true;
            if (e.tag == "STMTTRN") {
                if (inTrn)
                    finish();
                inTrn = true;
                trnLine = e.line;
            }
            if (open.size() < MaxOpen)
                open.push_back(e.tag);
            break;
        case Event::Close: {
            const auto it = std::find(open.rbegin(), open.rend(), e.tag);
            if (it == open.rend())
                break;
            open.erase(std::prev(it.base()), open.end());
            if (inTrn && std::find(open.begin(), open.end(), "STMTTRN") == open.end())
                finish();
            break;
        }
        case Event::Leaf:
            if (inTrn) {
                if (e.tag == "DTPOSTED")
                    trn.posted = e.value;
                else if (e.tag == "DTUSER")
                    trn.user = e.value;
                else if (e.tag == "TRNAMT")
                    trn.amount = e.value;
                else if (e.tag == "FITID")
                    trn.fitid = e.value;
                else if (e.tag == "MEMO")
                    trn.memo = e.value;
                else if (e.tag == "NAME")
                    (within("PAYEE") ? trn.payee : trn.name) = e.value;
                else if (e.tag == "CURSYM" && within("CURRENCY"))
                    trn.currency = upper(e.value);
            } else if (e.tag == "CURDEF") {
                currency = upper(e.value);
            } else if (e.tag == "ACCTID" && (within("BANKACCTFROM") || within("CCACCTFROM"))) {
                account = text::cleanText(e.value);
            } else if (e.tag == "ORG" && within("FI") && statement.bank.empty()) {
                statement.bank = text::cleanText(e.value);
            }
            break;
        }
    }
    if (inTrn)
        finish();
    if (!sawOfx)
        throw UnreadableStatement("Filen är ingen läsbar OFX-fil.");
    return statement;
}

} // namespace

bool looksLikeOfx(std::string_view utf8) {
    const std::string_view start = text::trim(utf8.substr(0, 4096));
    return text::startsWithNoCase(start, "OFXHEADER") ||
           text::findNoCase(start, "<OFX>") != std::string_view::npos ||
           (text::startsWithNoCase(start, "<?xml") &&
            text::findNoCase(start, "<?OFX") != std::string_view::npos);
}

Statement readOfx(std::string_view utf8, const ReadOptions& options) {
    const std::string_view start = text::trim(utf8.substr(0, 4096));
    std::optional<std::vector<Event>> events;
    if (text::startsWithNoCase(start, "<?xml"))
        events = xmlEvents(utf8);
    if (!events)
        events = sgmlEvents(utf8);
    Statement statement = rowsOfEvents(*events, options);
    if (statement.bank.empty())
        statement.bank = "OFX";
    statement.format = statement.bank == "OFX" ? "Kontoutdrag OFX" : statement.bank + ", kontoutdrag OFX";
    // Banks list the transactions either way; put them oldest first by their dates.
    if (datesFall(statement.rows, false))
        std::reverse(statement.rows.begin(), statement.rows.end());
    return statement;
}

} // namespace statements
