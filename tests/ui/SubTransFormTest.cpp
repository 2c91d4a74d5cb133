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

using fixtures::cash;
using fixtures::field;
using uitest::control;
using uitest::FakeCatalogueHost;

const std::string Posts = cash("2026-01-01", "1", "0", "0") + cash("2026-01-02", "3", "-10", "-10", "2") +
                          cash("2026-01-03", "3", "-20", "-30", "1") +
                          cash("2026-01-04", "2", "5", "-25", "2") +
                          cash("2026-01-05", "3", "-1", "-26", "2");
const std::string Kategori = field("El", 35) + field("Mat", 35) + field("Mat", 35);

struct Window {
    Window(FakeCatalogueHost& host, const QString& mode)
        : form(std::make_unique<catalogue::SubTransForm>(host, mode)) {
        form->show();
    }
    QLineEdit* nameBox() { return control<QLineEdit>(*form, "nameBox"); }
    QRadioButton* option(const char* name) { return control<QRadioButton>(*form, name); }
    QPushButton* ok() { return control<QPushButton>(*form, "okButton"); }
    QPushButton* cancel() { return control<QPushButton>(*form, "cancelButton"); }
    QString hint() { return control<QLabel>(*form, "hintLabel")->text(); }
    std::string enabled(std::initializer_list<const char*> names) { return uitest::enabledOf(*form, names); }
    void enter(const QString& text) {
        nameBox()->setText(text);
        uitest::pressEnter(nameBox());
    }
    std::unique_ptr<catalogue::SubTransForm> form;
};

TEST(SubTransForm, NewSubTransactionTakesTheFreeRecord) {
    FakeCatalogueHost host("Ek", Posts, fixtures::standardTransakt(), field("El", 35) + std::string(35, ' '));
    host.mode = "0";
    host.main = {"Uttag", 3, "-"};
    Window w(host, "ny");
    EXPECT_EQ(w.form->windowTitle(), "Nytt namn subtransaktion");
    EXPECT_FALSE(host.window.isEnabled());
    EXPECT_EQ(w.enabled({"changeOption", "deleteOption", "okButton"}), "000");
    EXPECT_EQ(w.cancel()->text(), "Avbryt ny subtransaktion");
    EXPECT_EQ(w.hint(), "Sätt namn på ny subtransaktion. Avsluta med Enter !");

    host.tc.dialogs.answerNo();
    uitest::pressEnter(w.nameBox());
    EXPECT_TRUE(uitest::showed(
        host.tc.dialogs, -1, "Saknat transaktionsnamn",
        "Inget namn har angivits på subtransaktionen !\r\n\r\nVill du avsluta och återvända till "
        "huvudformuläret ?"));
    EXPECT_FALSE(w.ok()->isEnabled());

    w.enter("Bränsle");
    EXPECT_TRUE(w.nameBox()->isReadOnly());
    EXPECT_TRUE(w.ok()->isEnabled());
    w.ok()->click();
    EXPECT_EQ(host.file("Kategori"), field("El", 35) + field("Br\xE4nsle", 35));
    EXPECT_EQ(host.sub.number, 2);
    EXPECT_EQ(host.file("KontoData"), Posts);
    EXPECT_EQ(host.calls, (QStringList{"reloadTransactionList", "resetCancelButton", "box Bränsle",
                                       "focusTransactionBox", "box ", "pressCancel"}));
    EXPECT_TRUE(host.window.isEnabled() && !w.form->isVisible());
}

TEST(SubTransForm, RenameChangesOnlyTheCatalogue) {
    FakeCatalogueHost host("Ek", Posts, fixtures::standardTransakt(), Kategori);
    host.sub = {"El", 1, QString()};
    Window w(host, "chg");
    EXPECT_EQ(w.form->windowTitle(), "Ändra/Radera namn på subtransaktion");
    EXPECT_FALSE(w.nameBox()->isEnabled());
    EXPECT_EQ(w.nameBox()->text(), "El");
    EXPECT_EQ(w.cancel()->text(), "Avbryt ändra subtrans.");
    EXPECT_EQ(w.hint(), "Markera ett alternativ 'Ändra' eller 'Radera'");

    host.tc.dialogs.answerYes().answerNo().answerYes();
    w.option("changeOption")->click();
    EXPECT_TRUE(uitest::showed(host.tc.dialogs, -1, "Nytt eller ändrat namn på subtransaktion",
                               "Vill du ändra namnet på subtransaktionen El"));
    EXPECT_EQ(w.enabled({"nameBox", "deleteOption"}), "10");
    EXPECT_EQ(w.hint(),
              "Ändra namn, eller skriv ett nytt, sedan ENTER\n\n(Alla poster med subtransaktionen ändras !)");
    w.enter("Elräkning");
    EXPECT_EQ(
        host.tc.dialogs.calls().back().text,
        "Namnet på subtransaktionen föreslås ändrat från:\r\nEl  till  Elräkning\r\n\r\nÄr ändringen OK ?");
    EXPECT_EQ(w.form->renameFlag(), "0"); // No: still editing
    uitest::pressEnter(w.nameBox());
    EXPECT_EQ(w.form->renameFlag(), "1");
    EXPECT_EQ(w.hint(), "Transaktionsnamn ändras. Klicka på OK !");
    w.ok()->click();
    EXPECT_EQ(host.file("Kategori"), field("Elr\xE4kning", 35) + field("Mat", 35) + field("Mat", 35));
    EXPECT_EQ(host.file("KontoData"), Posts);
    EXPECT_FALSE(w.form->isVisible());
}

TEST(SubTransForm, DeleteClearsThePostsOfTheFirstOfTwoNamesakes) {
    FakeCatalogueHost host("Ek", Posts, fixtures::standardTransakt(), Kategori);
    host.sub = {"Mat", 3, QString()};
    Window w(host, "chg");
    w.option("deleteOption")->click();
    EXPECT_EQ(w.hint(),
              "Klicka OK för att radera subtransaktionen 'Mat'\n Eller klicka på knappen 'Avbryt....'");
    EXPECT_TRUE(w.nameBox()->isReadOnly());
    EXPECT_TRUE(w.ok()->isEnabled());
    w.ok()->click();
    EXPECT_EQ(host.file("Kategori"), field("El", 35) + std::string(35, ' ') + field("Mat", 35));
    EXPECT_EQ(host.file("KontoData"),
              cash("2026-01-01", "1", "0", "0") + cash("2026-01-02", "3", "-10", "-10") +
                  cash("2026-01-03", "3", "-20", "-30", "1") + cash("2026-01-04", "2", "5", "-25") +
                  cash("2026-01-05", "3", "-1", "-26"));
    EXPECT_TRUE(uitest::showed(
        host.tc.dialogs, -1, "Radering subtransaktion",
        "SubTransaktionen\r\n\r\nMat\r\n\r\när nu raderad från listan !\r\n\r\nSubTransaktionen "
        "hittades i 3 kontoposter och raderades från dessa !"));
    EXPECT_FALSE(w.form->isVisible());

    // A sub-transaction no post uses.
    FakeCatalogueHost unused("Bg", fixtures::budgetPosts(2), fixtures::standardTransakt(), field("El", 35));
    unused.sub = {"El", 1, QString()};
    Window u(unused, "chg");
    u.option("deleteOption")->click();
    u.ok()->click();
    EXPECT_TRUE(unused.tc.dialogs.calls().back().text.endsWith(
        "SubTransaktionen hittades dock inte i någon av kontoposterna...."));
    EXPECT_EQ(unused.file("Kategori"), std::string(35, ' '));
}

TEST(SubTransForm, CancelAndHelp) {
    FakeCatalogueHost host("Ek", Posts, fixtures::standardTransakt(), Kategori);
    Window w(host, "ny");
    w.form->findChild<QAction*>("hlp_mn")->trigger();
    EXPECT_EQ(host.tc.platform.helpContexts, std::vector<int>{30000});
    w.cancel()->click();
    EXPECT_TRUE(!w.form->isVisible() && host.window.isEnabled());
    EXPECT_EQ(host.file("Kategori"), Kategori);
    EXPECT_EQ(host.calls, (QStringList{"box ", "pressCancel"}));
}

} // namespace
