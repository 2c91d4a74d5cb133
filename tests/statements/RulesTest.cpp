#include "statements/Rules.h"

#include <gtest/gtest.h>

using statements::normaliseText;
using statements::Rule;
using statements::RuleSet;
using statements::suggestPattern;
using store::Amount;

namespace {

struct TextCase {
    const char* bankText;
    const char* matching;
    const char* suggested;
};

// Texts as the banks write them, with what changes between two rows of the same payee.
const TextCase Texts[] = {
    {"KORTKÖP 231205 ICA NARA SOLNA", "ICA NARA SOLNA", "ICA NARA SOLNA"},
    {"Kortköp 231205 ICA Nära Solna", "ICA NARA SOLNA", "ICA Nära Solna"},
    {"Reservation Kortköp ICA Nära", "ICA NARA", "ICA Nära"},
    {"*ICA-4021 Kvantum 2023-12-05", "ICA KVANTUM", "ICA Kvantum"},
    {"XXXX XXXX XXXX 1234 SPOTIFY", "SPOTIFY", "SPOTIFY"},
    {"4321XXXXXXXX1234 Åhléns City", "AHLENS CITY", "Åhléns City"},
    {"BG 5050-1055 FOLKSAM OCR 12345678901", "BG FOLKSAM OCR", "BG FOLKSAM OCR"},
    {"Swish 46701234567 Anna Öberg", "SWISH ANNA OBERG", "Swish Anna Öberg"},
    {"Café ☕ Göteborg\u00a005.12", "CAFE GOTEBORG", "Café Göteborg"},
    {"LÖN", "LON", "LÖN"},
    {"KÖP", "KOP", "KÖP"}, // a purchase word alone is the text
    {"123456 05/12", "", ""},
    // A month changes from one statement to the next: the payee is kept, not the month.
    {"Hyra november", "HYRA NOVEMBER", "Hyra"},
    {"LÖN DEC 2023", "LON DEC", "LÖN"},
    {"Kortköp Sept. Netflix", "SEPT NETFLIX", "Netflix"},
    {"HYRA \"DEC\", BRF LINDEN", "HYRA DEC BRF LINDEN", "BRF LINDEN"}, // the longest run left
    {"Avgift jan/feb", "AVGIFT JAN FEB", "Avgift"},
    {"Maj", "MAJ", "Maj"}, // no other word: the month is the text
    {"Elektronikbutiken Mediamarkt Barkarby Handelsplats Järfälla",
     "ELEKTRONIKBUTIKEN MEDIAMARKT BARKARBY HANDELSPLATS JARFALLA",
     "Elektronikbutiken Mediamarkt Barkarby"}, // cut between words at 40 characters
};

} // namespace

TEST(Rules, TextsTakeTheirMatchingFormAndSuggestAPatternThatMatchesThem) {
    for (const TextCase& c : Texts) {
        SCOPED_TRACE(c.bankText);
        EXPECT_EQ(normaliseText(c.bankText), c.matching);
        const std::string pattern = suggestPattern(c.bankText);
        EXPECT_EQ(pattern, c.suggested);
        EXPECT_EQ(statements::patternMatches(pattern, normaliseText(c.bankText)), !pattern.empty());
    }
    // One word longer than the field is cut at a character.
    EXPECT_EQ(suggestPattern(std::string(30, 'A') + std::string(20, 'B')),
              std::string(30, 'A') + std::string(10, 'B'));
    EXPECT_FALSE(statements::patternMatches("1234", "ICA 1234"));
}

TEST(Rules, TheLongestMatchingRuleWhoseSignAgreesGivesTheTransaction) {
    const std::vector<catalogue::CatalogueItem> transactions{
        {1, "Kontostart", ' '}, {2, "Mat", '-'}, {3, "Godis", '-'}, {4, "Swish in", '+'},
        {5, "Swish ut", '-'},   {6, "Lön", '+'}, {7, "Övrigt", ' '}};
    const std::vector<catalogue::CatalogueItem> subs{{1, "Lunch", ' '}};
    const std::vector<Rule> rules{{1, "ICA", 2, 1},        {2, "ica nära", 3, 9}, {3, "Swish", 4, 0},
                                  {4, "SWISH", 5, 0},      {5, "Lön", 6, 0},      {6, "Borttagen", 99, 0},
                                  {7, "Kontostart", 1, 0}, {8, "Övrigt", 7, 0},   {9, "q", 5, 0}};
    const RuleSet set(rules, transactions, subs);
    struct Case {
        const char* text;
        long long kronor;
        int rule; // 0: no rule matches
        bool agrees;
        int subNr;
    };
    const Case cases[] = {
        {"ICA MAXI", -50, 1, true, 1},               // the sub-transaction kept while it exists
        {"Kortköp ICA NÄRA SOLNA", -50, 2, true, 0}, // the longer pattern wins; its sub is gone
        {"ICA NARA SOLNA", 50, 2, false, 0},         // a refund: the longest rule's sign disagrees
        {"SWISH ANNA", 100, 3, true, 0},             // as long: the one whose sign agrees
        {"SWISH ANNA", -100, 4, true, 0},
        {"LÖN DECEMBER", -10, 5, false, 0},
        {"BORTTAGEN", -10, 0, false, 0}, // its transaction no longer exists
        {"KONTOSTART", 10, 7, false, 0}, // a transaction without a sign is never given
        {"ÖVRIGT", -10, 8, false, 0},
        {"HEMKÖP", -10, 0, false, 0},
        {"ICA ICA NÄRA", -50, 2, true, 0}, // found past a place where it begins but does not match
        {"BUTIK Q", -10, 9, true, 0},      // a pattern of one character
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text + std::string(" ") + std::to_string(c.kronor));
        const auto m = set.match(normaliseText(c.text), Amount::whole(c.kronor));
        EXPECT_EQ(m.rule ? m.rule->record : 0, c.rule);
        EXPECT_EQ(m.signAgrees, c.agrees);
        EXPECT_EQ(m.subNr, c.subNr);
    }

    std::vector<int> in, out;
    for (const auto& t : statements::offeredTransactions(transactions, Amount::whole(5)))
        in.push_back(t.recordNumber);
    for (const auto& t : statements::offeredTransactions(transactions, Amount::fromUnits(-1)))
        out.push_back(t.recordNumber);
    EXPECT_EQ(in, (std::vector<int>{4, 6}));
    EXPECT_EQ(out, (std::vector<int>{2, 3, 5}));
}

TEST(Rules, ASavedRuleReplacesTheOneForTheSamePayeeAndDirection) {
    const std::vector<catalogue::CatalogueItem> transactions{
        {2, "Mat", '-'}, {3, "Godis", '-'}, {4, "In", '+'}};
    std::vector<Rule> rules{{1, "ICA Nära", 2, 0}, {2, "SWISH", 4, 0}};
    statements::addRule(rules, {0, "KORTKÖP ica nara", 3, 0}, transactions); // same payee, money out
    statements::addRule(rules, {0, "ICA NARA", 4, 0}, transactions); // refunds get a rule of their own
    EXPECT_EQ(rules,
              (std::vector<Rule>{{1, "KORTKÖP ica nara", 3, 0}, {2, "SWISH", 4, 0}, {0, "ICA NARA", 4, 0}}));
}
