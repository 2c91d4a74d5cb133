#include "statements/Layouts.h"

#include "statements/Text.h"

#include <algorithm>
#include <string_view>

namespace statements {

namespace {

class Header {
public:
    explicit Header(const CsvRecord& record) {
        names_.reserve(record.cells.size());
        for (const std::string& cell : record.cells)
            names_.push_back(text::fold(cell));
    }
    int column(std::string_view name) const {
        const auto it = std::find(names_.begin(), names_.end(), name);
        return it == names_.end() ? -1 : static_cast<int>(it - names_.begin());
    }

private:
    std::vector<std::string> names_;
};

struct Profile {
    std::string_view bank;
    std::string_view variant; // after the format's kind: " (äldre layout)"
    std::initializer_list<std::string_view> required;
    bool newestFirst;
    bool accountAbove; // the account number on the first line, above the table
    void (*configure)(TableLayout&, const Header&);
};

void columns(std::vector<int>& into, const Header& h, std::initializer_list<std::string_view> names) {
    for (const std::string_view n : names)
        if (const int c = h.column(n); c >= 0)
            into.push_back(c);
}

// Most specific first: a layout whose names are a subset of another's comes after it.
const Profile Profiles[] = {
    {"Swedbank",
     "",
     {"radnummer", "bokföringsdag", "transaktionsdag", "beskrivning", "belopp"},
     true,
     false,
     [](TableLayout& l, const Header& h) {
         l.bookingDate = h.column("bokföringsdag");
         l.transactionDate = h.column("transaktionsdag");
         columns(l.text, h, {"beskrivning", "referens"});
         l.amount = h.column("belopp");
         l.balance = h.column("bokfört saldo");
         l.currency = h.column("valuta");
         columns(l.account, h, {"clearingnummer", "kontonummer"});
     }},
    {"Swedbank",
     " (äldre engelsk layout)",
     {"row type", "date", "debit/credit", "amount"},
     false,
     false,
     [](TableLayout& l, const Header& h) {
         l.bookingDate = h.column("date");
         columns(l.text, h, {"beneficiary/payer", "details"});
         l.joinText = true;
         l.amount = h.column("amount");
         l.sign = h.column("debit/credit");
         l.currency = h.column("currency");
         columns(l.account, h, {"client account"});
         l.rowType = h.column("row type");
     }},
    {"Nordea",
     "",
     {"bokföringsdag", "belopp", "rubrik", "saldo"},
     true,
     false,
     [](TableLayout& l, const Header& h) {
         l.bookingDate = h.column("bokföringsdag");
         columns(l.text, h, {"rubrik", "namn", "meddelande"});
         l.amount = h.column("belopp");
         l.balance = h.column("saldo");
         l.currency = h.column("valuta");
         l.reservedWord = "reserverat";
     }},
    {"Nordea",
     " (äldre layout)",
     {"datum", "transaktion", "kategori", "belopp", "saldo"},
     true,
     false,
     [](TableLayout& l, const Header& h) {
         l.bookingDate = h.column("datum");
         columns(l.text, h, {"transaktion", "kategori"});
         l.amount = h.column("belopp");
         l.balance = h.column("saldo");
         l.reservedWord = "reserverat";
     }},
    {"SEB",
     "",
     {"bokföringsdatum", "valutadatum", "verifikationsnummer", "text", "belopp"},
     true,
     false,
     [](TableLayout& l, const Header& h) {
         l.bookingDate = h.column("bokföringsdatum");
         columns(l.text, h, {"text"});
         l.amount = h.column("belopp");
         l.balance = h.column("saldo");
     }},
    {"Handelsbanken",
     "",
     {"reskontradatum", "transaktionsdatum", "text", "belopp"},
     true,
     false,
     [](TableLayout& l, const Header& h) {
         l.bookingDate = h.column("reskontradatum");
         l.transactionDate = h.column("transaktionsdatum");
         columns(l.text, h, {"text"});
         l.amount = h.column("belopp");
         l.balance = h.column("saldo");
     }},
    {"Länsförsäkringar",
     "",
     {"bokföringsdatum", "transaktionsdatum", "transaktionstyp", "meddelande", "belopp"},
     true,
     false,
     [](TableLayout& l, const Header& h) {
         l.bookingDate = h.column("bokföringsdatum");
         l.transactionDate = h.column("transaktionsdatum");
         columns(l.text, h, {"meddelande", "transaktionstyp"});
         l.amount = h.column("belopp");
         l.balance = h.column("saldo");
     }},
    {"ICA Banken",
     "",
     {"datum", "text", "typ", "budgetgrupp", "belopp"},
     true,
     true,
     [](TableLayout& l, const Header& h) {
         l.bookingDate = h.column("datum");
         columns(l.text, h, {"text", "typ"});
         l.amount = h.column("belopp");
         l.balance = h.column("saldo");
     }},
};

} // namespace

std::optional<KnownLayout> findKnownLayout(const std::vector<CsvRecord>& records, std::size_t maxRecords,
                                           const std::string& kind) {
    for (std::size_t r = 0; r < records.size() && r < maxRecords; ++r) {
        if (records[r].cells.size() < 3)
            continue;
        const Header header(records[r]);
        for (const Profile& p : Profiles) {
            if (!std::all_of(p.required.begin(), p.required.end(),
                             [&](std::string_view n) { return header.column(n) >= 0; }))
                continue;
            KnownLayout found;
            found.bank = p.bank;
            found.format = std::string(p.bank) + ", kontoutdrag " + kind + std::string(p.variant);
            found.headerRecord = r;
            found.newestFirst = p.newestFirst;
            p.configure(found.layout, header);
            found.hasTransactionDate = found.layout.transactionDate >= 0;
            if (p.accountAbove && r > 0) {
                std::string above;
                for (const std::string& cell : records[0].cells)
                    if (const std::string part = text::cleanText(cell); !part.empty())
                        above += (above.empty() ? "" : " ") + part;
                if (!above.empty() && above.find_first_of("0123456789") != std::string::npos)
                    found.layout.fixedAccount = above;
            }
            return found;
        }
    }
    return std::nullopt;
}

} // namespace statements
