#include "catalogue/ui/SubTransForm.h"

#include "FakeCatalogueHost.h"
#include "UiHelpers.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <gtest/gtest.h>

#include <memory>

namespace {

using fixtures::field;
using uitest::control;
using uitest::FakeCatalogueHost;

// A cash-book post with a sub-transaction.
std::string post(std::string_view date, int trans, long long amount, long long balance,
                 std::string_view sub) {
    std::string p = fixtures::cashPost(date, trans, amount, balance);
    p.replace(37, 4, field(sub, 4));
    return p;
}

const std::string Posts = post("2026-01-01", 1, 0, 0, "") + post("2026-01-02", 3, -10, -10, "2") +
                          post("2026-01-03", 3, -20, -30, "1") + post("2026-01-04", 2, 5, -25, "2") +
                          post("2026-01-05", 3, -1, -26, "2");
const std::string Kategori = field("El", 35) + field("Mat", 35) + field("Mat", 35);

struct Window {
    Window(FakeCatalogueHost& host, const QString& mode)
        : form(std::make_unique<catalogue::SubTransForm>(host, mode)) {
        form->show();
    }
    QLineEdit* text1() { return control<QLineEdit>(*form, "Text1"); }
    QRadioButton* option(int n) { return form->findChild<QRadioButton*>(QStringLiteral("Option%1").arg(n)); }
    QPushButton* ok() { return control<QPushButton>(*form, "Command2"); }
    QPushButton* cancel() { return control<QPushButton>(*form, "Command1"); }
    QString label2() { return control<QLabel>(*form, "Label2")->text(); }
    std::unique_ptr<catalogue::SubTransForm> form;
};

TEST(SubTransForm, NewSubTransactionTakesTheFreeRecord) {
    FakeCatalogueHost host(QStringLiteral("Ek"), Posts, fixtures::standardTransakt(),
                           field("El", 35) + std::string(35, ' '));
    host.mode = QStringLiteral("0");
    host.main = {QStringLiteral("Uttag"), 3, QStringLiteral("-")};
    Window w(host, QStringLiteral("ny"));
    EXPECT_EQ(w.form->windowTitle(), QStringLiteral("Nytt namn subtransaktion"));
    EXPECT_FALSE(host.window.isEnabled());
    EXPECT_FALSE(w.option(1)->isEnabled());
    EXPECT_FALSE(w.option(2)->isEnabled());
    EXPECT_FALSE(w.ok()->isEnabled());
    EXPECT_EQ(w.cancel()->text(), QStringLiteral("Avbryt ny subtransaktion"));
    EXPECT_EQ(w.label2(), QStringLiteral("Sätt namn på ny subtransaktion. Avsluta med Enter !"));

    host.tc.dialogs.answerNo();
    uitest::pressEnter(w.text1());
    EXPECT_EQ(host.tc.dialogs.calls().back().title, QStringLiteral("Saknat transaktionsnamn"));
    EXPECT_EQ(host.tc.dialogs.calls().back().text,
              QStringLiteral(
                  "Inget namn har angivits på subtransaktionen !\r\n\r\nVill du avsluta och återvända till "
                  "huvudformuläret ?"));
    EXPECT_FALSE(w.ok()->isEnabled());

    w.text1()->setText(QStringLiteral("Bränsle"));
    uitest::pressEnter(w.text1());
    EXPECT_TRUE(w.text1()->isReadOnly());
    EXPECT_TRUE(w.ok()->isEnabled());
    w.ok()->click();
    EXPECT_EQ(host.file("Kategori"), field("El", 35) + field("Br\xE4nsle", 35));
    EXPECT_EQ(host.sub.number, 2);
    EXPECT_EQ(host.file("KontoData"), Posts);
    EXPECT_EQ(host.calls, (QStringList{"reloadTransactionList", "command3ToCancel", "box Bränsle",
                                       "focusTransactionBox", "box ", "pressCommand3"}));
    EXPECT_TRUE(host.window.isEnabled());
    EXPECT_FALSE(w.form->isVisible());
}

TEST(SubTransForm, RenameChangesOnlyTheCatalogue) {
    FakeCatalogueHost host(QStringLiteral("Ek"), Posts, fixtures::standardTransakt(), Kategori);
    host.sub = {QStringLiteral("El"), 1, QString()};
    Window w(host, QStringLiteral("chg"));
    EXPECT_EQ(w.form->windowTitle(), QStringLiteral("Ändra/Radera namn på subtransaktion"));
    EXPECT_FALSE(w.text1()->isEnabled());
    EXPECT_EQ(w.text1()->text(), QStringLiteral("El"));
    EXPECT_EQ(w.cancel()->text(), QStringLiteral("Avbryt ändra subtrans."));
    EXPECT_EQ(w.label2(), QStringLiteral("Markera ett alternativ 'Ändra' eller 'Radera'"));

    host.tc.dialogs.answerYes().answerNo().answerYes();
    w.option(1)->click();
    EXPECT_EQ(host.tc.dialogs.calls().back().title,
              QStringLiteral("Nytt eller ändrat namn på subtransaktion"));
    EXPECT_EQ(host.tc.dialogs.calls().back().text,
              QStringLiteral("Vill du ändra namnet på subtransaktionen El"));
    EXPECT_TRUE(w.text1()->isEnabled());
    EXPECT_FALSE(w.option(2)->isEnabled());
    EXPECT_EQ(w.label2(), QStringLiteral("Ändra namn, eller skriv ett nytt, sedan ENTER\n\n(Alla poster med "
                                         "subtransaktionen ändras !)"));
    w.text1()->setText(QStringLiteral("Elräkning"));
    uitest::pressEnter(w.text1());
    EXPECT_EQ(
        host.tc.dialogs.calls().back().text,
        QStringLiteral("Namnet på subtransaktionen föreslås ändrat från:\r\nEl  till  Elräkning\r\n\r\nÄr "
                       "ändringen OK ?"));
    EXPECT_EQ(w.form->renameFlag(), QStringLiteral("0")); // No: still editing
    uitest::pressEnter(w.text1());
    EXPECT_EQ(w.form->renameFlag(), QStringLiteral("1"));
    EXPECT_EQ(w.label2(), QStringLiteral("Transaktionsnamn ändras. Klicka på OK !"));
    w.ok()->click();
    EXPECT_EQ(host.file("Kategori"), field("Elr\xE4kning", 35) + field("Mat", 35) + field("Mat", 35));
    EXPECT_EQ(host.file("KontoData"), Posts);
    EXPECT_FALSE(w.form->isVisible());
}

TEST(SubTransForm, DeleteClearsThePostsOfTheFirstOfTwoNamesakes) {
    FakeCatalogueHost host(QStringLiteral("Ek"), Posts, fixtures::standardTransakt(), Kategori);
    host.sub = {QStringLiteral("Mat"), 3, QString()};
    Window w(host, QStringLiteral("chg"));
    w.option(2)->click();
    EXPECT_EQ(w.label2(),
              QStringLiteral("Klicka OK för att radera subtransaktionen 'Mat'\n Eller klicka på knappen "
                             "'Avbryt....'"));
    EXPECT_TRUE(w.text1()->isReadOnly());
    EXPECT_TRUE(w.ok()->isEnabled());
    w.ok()->click();
    EXPECT_EQ(host.file("Kategori"), field("El", 35) + std::string(35, ' ') + field("Mat", 35));
    EXPECT_EQ(host.file("KontoData"), post("2026-01-01", 1, 0, 0, "") + post("2026-01-02", 3, -10, -10, "") +
                                          post("2026-01-03", 3, -20, -30, "1") +
                                          post("2026-01-04", 2, 5, -25, "") +
                                          post("2026-01-05", 3, -1, -26, ""));
    EXPECT_EQ(host.tc.dialogs.calls().back().title, QStringLiteral("Radering subtransaktion"));
    EXPECT_EQ(host.tc.dialogs.calls().back().text,
              QStringLiteral(
                  "SubTransaktionen\r\n\r\nMat\r\n\r\när nu raderad från listan !\r\n\r\nSubTransaktionen "
                  "hittades i 3 kontoposter och raderades från dessa !"));
    EXPECT_FALSE(w.form->isVisible());

    // A sub-transaction no post uses.
    FakeCatalogueHost unused(QStringLiteral("Bg"), fixtures::budgetPosts(2), fixtures::standardTransakt(),
                             field("El", 35));
    unused.sub = {QStringLiteral("El"), 1, QString()};
    Window u(unused, QStringLiteral("chg"));
    u.option(2)->click();
    u.ok()->click();
    EXPECT_TRUE(unused.tc.dialogs.calls().back().text.endsWith(
        QStringLiteral("SubTransaktionen hittades dock inte i någon av kontoposterna....")));
    EXPECT_EQ(unused.file("Kategori"), std::string(35, ' '));
}

TEST(SubTransForm, CancelAndHelp) {
    FakeCatalogueHost host(QStringLiteral("Ek"), Posts, fixtures::standardTransakt(), Kategori);
    Window w(host, QStringLiteral("ny"));
    w.form->findChild<QAction*>(QStringLiteral("hlp_mn"))->trigger();
    EXPECT_EQ(host.tc.platform.helpContexts, std::vector<int>{30000});
    w.cancel()->click();
    EXPECT_FALSE(w.form->isVisible());
    EXPECT_TRUE(host.window.isEnabled());
    EXPECT_EQ(host.file("Kategori"), Kategori);
    EXPECT_EQ(host.calls, (QStringList{"box ", "pressCommand3"}));
}

} // namespace
