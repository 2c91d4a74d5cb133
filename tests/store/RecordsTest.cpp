#include "store/Records.h"
#include "store/Cp1252.h"
#include "store/Errors.h"

#include <gtest/gtest.h>

#include <vector>

using store::Amount;

namespace {

std::string spaces(std::size_t n) {
    return std::string(n, ' ');
}
std::string zeros(std::size_t n) {
    return std::string(n, '\0');
}

TEST(RecordsTest, KontoRecBytes) {
    const auto name = store::utf8ToCp1252("Hushåll");
    ASSERT_TRUE(name);
    store::KontoRec rec;
    rec.setName(*name, false);
    rec.set(store::KontoRec::KontoNr, "5201-12 345 67");
    rec.set(store::KontoRec::KontoTyp, "Ek");
    rec.set(store::KontoRec::Placering, "/home/anna/MoniData/"); // informational, cut to its field

    const std::string expected =
        "Hush\xE5ll" + spaces(28) + "5201-12 345 67" + spaces(16) + "Ek" + "/home/anna/Moni";
    ASSERT_EQ(expected.size(), store::KontoRec::Length);
    EXPECT_EQ(rec.bytes(), expected);

    const store::KontoRec back(expected);
    EXPECT_EQ(back, rec);
    EXPECT_EQ(store::cp1252ToUtf8(back.name()), "Hushåll");
    EXPECT_FALSE(back.infoDismissed());
    EXPECT_FALSE(back.isFree());
    EXPECT_EQ(back.text(store::KontoRec::KontoTyp), "Ek");

    // Removing the account blanks the name only.
    store::KontoRec removed = back;
    removed.set(store::KontoRec::KontoNamn, "");
    EXPECT_TRUE(removed.isFree());
    EXPECT_EQ(removed.bytes().substr(35), expected.substr(35));
    // A slot past the end of the file reads as zero bytes and is free too.
    EXPECT_TRUE(store::KontoRec(std::string_view{}).isFree());
}

TEST(RecordsTest, KontoRecInfoFlag) {
    const std::string name34 = "Sparkonto f\xF6r resor och n\xF6jen 2013";
    ASSERT_EQ(name34.size(), 34u);
    store::KontoRec rec;
    rec.setName(name34, true);
    EXPECT_EQ(rec.raw(store::KontoRec::KontoNamn), name34 + "\x06");
    EXPECT_EQ(rec.name(), name34);
    EXPECT_TRUE(rec.infoDismissed());

    store::KontoRec shortName;
    shortName.setName("Bil", true);
    EXPECT_EQ(shortName.raw(store::KontoRec::KontoNamn), "Bil\x06" + spaces(31));
    EXPECT_EQ(shortName.name(), "Bil");
    EXPECT_TRUE(shortName.infoDismissed());
    shortName.setName("Bil", false);
    EXPECT_EQ(shortName.raw(store::KontoRec::KontoNamn), "Bil" + spaces(32));
    EXPECT_FALSE(shortName.infoDismissed());

    // A full-width name leaves no room for the flag: the name itself is kept whole.
    const std::string name35 = name34 + "!";
    store::KontoRec full;
    full.setName(name35, true);
    EXPECT_EQ(full.name(), name35);
    EXPECT_FALSE(full.infoDismissed());
}

TEST(RecordsTest, RecordNumberFields) {
    const auto transNr = [](std::string_view field) {
        std::string raw = spaces(store::PostRec_Enkel::Length);
        raw.replace(10, 4, field);
        return store::PostRec_Enkel(raw).recordNumber(store::PostRec_Enkel::TransNr);
    };
    const std::vector<std::pair<std::string, int>> readable = {
        {"12  ", 12}, {"    ", 0}, {zeros(4), 0}, {"9999", 9999}, {" 7  ", 7}, {"-5  ", 5}, // older files
    };
    for (const auto& [field, n] : readable)
        EXPECT_EQ(transNr(field), n) << field;
    for (const std::string field : {"1a  ", "ab  ", "1 2 ", "--5 ", "-   ", "+5  ", "1,5 "})
        EXPECT_THROW(transNr(field), store::DataError) << field;

    store::PostRec_Enkel rec;
    rec.setRecordNumber(store::PostRec_Enkel::TransNr, 12);
    EXPECT_EQ(rec.raw(store::PostRec_Enkel::TransNr), "12  ");
    rec.setRecordNumber(store::PostRec_Enkel::TransNr, 9999);
    EXPECT_EQ(rec.raw(store::PostRec_Enkel::TransNr), "9999");
    // A number that does not fit is refused, never cut to another record's number.
    EXPECT_THROW(rec.setRecordNumber(store::PostRec_Enkel::TransNr, 12345), store::DataError);
    EXPECT_THROW(rec.setRecordNumber(store::PostRec_Enkel::TransNr, -1), store::DataError);
    EXPECT_EQ(rec.raw(store::PostRec_Enkel::TransNr), "9999");
    rec.setRecordNumber(store::PostRec_Enkel::SubTransNr, 0);
    EXPECT_EQ(rec.raw(store::PostRec_Enkel::SubTransNr), "    ");
}

TEST(RecordsTest, CashBookPostBytes) {
    using P = store::PostRec_Enkel;
    P rec;
    rec.set(P::Datum, "2013-03-05");
    rec.setRecordNumber(P::TransNr, 3);
    rec.setAmount(P::Belopp, Amount::parseStored("-37,5"));
    rec.setAmount(P::Saldo, Amount::parseStored("1212,50"));
    rec.set(P::Markering, "x");
    rec.setRecordNumber(P::SubTransNr, 12);

    const std::string expected =
        std::string("2013-03-05") + "3   " + "-37,5      " + "1212,5     " + "x" + "12  " + "  ";
    ASSERT_EQ(expected.size(), P::Length);
    EXPECT_EQ(rec.bytes(), expected);

    const P back(expected);
    EXPECT_EQ(back.amount(P::Belopp), Amount::parseStored("-37,5"));
    EXPECT_EQ(back.amount(P::Saldo), Amount::parseStored("1212,5"));
    EXPECT_EQ(back.recordNumber(P::SubTransNr), 12);
    EXPECT_FALSE(store::isFreePost(back));

    // An amount whose text is longer than its field is refused and the record stays as it was.
    P refused = back;
    EXPECT_THROW(refused.setAmount(P::Saldo, Amount::parseStored("-12345678,25")), store::DataError);
    EXPECT_EQ(refused.bytes(), expected);
    refused.setAmount(P::Saldo, Amount::parseStored("-1234567,25"));
    EXPECT_EQ(refused.raw(P::Saldo), "-1234567,25");

    P blanked = back;
    blanked.set(P::Datum, "");
    EXPECT_TRUE(store::isFreePost(blanked));
    EXPECT_EQ(blanked.bytes().substr(10), expected.substr(10));

    std::string broken = expected;
    broken.replace(14, 11, "12 kr      ");
    EXPECT_THROW(P(broken).amount(P::Belopp), store::DataError);
    EXPECT_THROW(P(spaces(P::Length)).amount(P::Belopp), store::DataError);
}

TEST(RecordsTest, BudgetPostBytes) {
    using P = store::PostRec_Budget;
    P rec;
    rec.set(P::Datum, "2026-06-06");
    rec.setRecordNumber(P::TransNr, 2);
    rec.set(P::BudgBelopp, "-1234,50"); // budget amounts keep the digits as typed
    rec.setAmount(P::VerklBelopp, Amount::whole(-1250));
    rec.setAmount(P::BudgSaldo, Amount::parseStored("5000,25"));
    rec.setAmount(P::VerklSaldo, Amount::parseStored("4984,75"));
    rec.setAmount(P::DiffSaldo, Amount::parseStored("-15,5"));
    rec.set(P::BStatus, "*");

    const std::string expected = std::string("2026-06-06") + "2   " + "-1234,50   " + "-1250      " +
                                 "5000,25    " + "4984,75    " + "-15,5      " + " " + "*" + "    " + "  ";
    ASSERT_EQ(expected.size(), P::Length);
    EXPECT_EQ(rec.bytes(), expected);

    const P back(expected);
    EXPECT_TRUE(back.confirmed());
    EXPECT_EQ(back.amount(P::BudgBelopp), Amount::parseStored("-1234,5"));
    EXPECT_EQ(back.amount(P::DiffSaldo), Amount::parseStored("-15,5"));
    EXPECT_EQ(back.recordNumber(P::SubTransNr), 0);
    EXPECT_FALSE(store::isFreePost(back));

    P unconfirmed = back;
    unconfirmed.set(P::BStatus, "");
    EXPECT_FALSE(unconfirmed.confirmed());
    unconfirmed.set(P::Datum, "");
    EXPECT_TRUE(store::isFreePost(unconfirmed));
}

TEST(RecordsTest, UnchangedBytesSurviveAndOneFieldChangesOnlyItself) {
    std::string raw;
    for (std::size_t i = 0; i < store::PostRec_Budget::Length; ++i)
        raw.push_back(static_cast<char>(i % 3 == 0 ? '\0' : 0x80 + i));
    store::PostRec_Budget rec(raw);
    EXPECT_EQ(rec.bytes(), raw);
    rec.set(store::PostRec_Budget::Markering, "x");
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (i == 69)
            EXPECT_EQ(rec.bytes()[i], 'x');
        else
            EXPECT_EQ(rec.bytes()[i], raw[i]) << i;
    }
    // A short read is filled with zero bytes, a long one keeps the record's own bytes.
    EXPECT_EQ(store::TransRec("Uttag").bytes(), "Uttag" + zeros(31));
    EXPECT_EQ(store::KatRec(std::string(40, 'k')).bytes(), std::string(35, 'k'));
}

TEST(RecordsTest, PositionRecord) {
    store::PosRec rec{std::string_view{}};
    EXPECT_EQ(rec.bytes(), zeros(140));
    for (int pair = 1; pair <= 10; ++pair)
        EXPECT_FALSE(rec.position(pair)) << pair;

    rec.setPosition(static_cast<int>(store::WindowPair::HeadForm), 1500, 3500);
    EXPECT_EQ(rec.bytes(), "1500   3500   " + zeros(126));
    EXPECT_EQ(rec.position(1), (std::pair{1500, 3500}));
    EXPECT_FALSE(rec.position(2));

    rec.setPosition(static_cast<int>(store::WindowPair::HolidayForm), 0, 12);
    EXPECT_EQ(rec.bytes().substr(126), "0      12     ");
    EXPECT_EQ(rec.position(10), (std::pair{0, 12}));

    // A fresh record of spaces holds no position either.
    EXPECT_FALSE(store::PosRec().position(3));
}

TEST(RecordsTest, CatalogueTemplateAndRedDayBytes) {
    store::TransRec trans;
    trans.set(store::TransRec::TransNamn, *store::utf8ToCp1252("Insättning"));
    trans.set(store::TransRec::Tecken, "+");
    EXPECT_EQ(trans.bytes(), "Ins\xE4ttning" + spaces(25) + "+");

    store::MallRec mall;
    mall.setRecordNumber(store::MallRec::TransNr, 7);
    mall.setAmount(store::MallRec::Amount, Amount::whole(-10));
    mall.set(store::MallRec::Month, "03");
    mall.set(store::MallRec::Day, "14");
    EXPECT_EQ(mall.bytes(), "7   -10     0314  ");
    EXPECT_FALSE(mall.excluded());
    mall.set(store::MallRec::Exclusion, "*");
    EXPECT_EQ(mall.bytes(), "7   -10     0314* ");
    EXPECT_TRUE(mall.excluded());
    EXPECT_EQ(store::MallRec(mall.bytes()).amount(store::MallRec::Amount), Amount::whole(-10));
    EXPECT_THROW(mall.setAmount(store::MallRec::Amount, Amount::whole(-12345678)), store::DataError);

    store::RedDayRec red;
    red.set(store::RedDayRec::Name, "Juldagen");
    red.set(store::RedDayRec::Date, "2026-12-25");
    EXPECT_EQ(red.bytes(), "Juldagen" + spaces(17) + "2026-12-25");
    EXPECT_FALSE(red.isFree());
    red.set(store::RedDayRec::Name, "*");
    EXPECT_EQ(red.bytes(), "*" + spaces(24) + "2026-12-25");
    EXPECT_TRUE(red.isFree());
}

} // namespace
