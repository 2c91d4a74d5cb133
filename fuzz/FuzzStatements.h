#pragma once

// Shared by the statement readers' harnesses: every input ends in rows or an UnreadableStatement,
// and every row read is one the import can take as it stands or shows with its reason.

#include "FuzzCheck.h"

#include "statements/Reader.h"
#include "statements/Text.h"
#include "store/Amount.h"

#include <string_view>
#include <vector>

namespace fuzz {

inline void checkStatement(const statements::Statement& s) {
    for (const statements::BankRow& row : s.rows) {
        FUZZ_REQUIRE(statements::text::isValidUtf8(row.text) && statements::text::isValidUtf8(row.error));
        for (const char c : row.text)
            FUZZ_REQUIRE(static_cast<unsigned char>(c) >= 0x20);
        if (row.error.empty()) {
            FUZZ_REQUIRE(row.reserved || row.bookingDate.has_value());
            FUZZ_REQUIRE(store::withinAmountLimit(row.amount) && store::fitsAmountField(row.amount));
            FUZZ_REQUIRE(row.currency == "SEK");
        }
    }
}

// Reads the input as a file, recognised first as the wizard does; only UnreadableStatement may
// come out of the reading.
inline void readAll(std::string_view bytes, const std::vector<statements::Mapping>& saved) {
    const statements::Recognition r = statements::recognise(bytes, saved);
    FUZZ_REQUIRE(r.savedMapping < static_cast<int>(saved.size()));
    for (const auto order : {statements::QifDateOrder::Unknown, statements::QifDateOrder::MonthDay}) {
        for (const bool transactionDate : {false, true}) {
            try {
                statements::ReadOptions options;
                options.qifDateOrder = order;
                options.useTransactionDate = transactionDate;
                checkStatement(statements::readStatement(bytes, saved, options));
            } catch (const statements::UnreadableStatement&) {
            }
        }
    }
}

} // namespace fuzz
