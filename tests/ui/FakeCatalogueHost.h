#pragma once

// The main window as the catalogue windows see it: an account folder on a temporary drive with its
// files open, registered in KontoFil beside a second account, and a record of every request made
// of the main window.

#include "TestContext.h"
#include "accounts/RemoveAccount.h"
#include "catalogue/ui/CatalogueHost.h"
#include "fixtures/AccountFiles.h"
#include "store/RecordFile.h"
#include "support/ui/Trap.h"

#include <QStringList>
#include <QWidget>

#include <memory>
#include <string>

namespace uitest {

class FakeCatalogueHost : public catalogue::CatalogueHost {
public:
    // kind "Ek" or "Bg"; posts as the file holds them.
    FakeCatalogueHost(const QString& kind, const std::string& posts,
                      const std::string& transakt = fixtures::standardTransakt(),
                      const std::string& kategori = "")
        : kind_(kind) {
        const auto folder = tc.ctx.paths.accountFolder(name);
        fixtures::writeFile(folder / "KontoData", posts);
        fixtures::writeFile(folder / "Transakt", transakt);
        fixtures::writeFile(folder / "Kategori", kategori);
        fixtures::writeFile(tc.ctx.paths.kontoFil(), fixtures::kontoRec(name, "1", kind.toStdString()) +
                                                         fixtures::kontoRec("Spar", "2", "Ek"));
        open();
        posts_ = static_cast<int>(kontoData_->count());
    }

    std::string file(const char* which) const {
        return fixtures::readFile(tc.ctx.paths.accountFolder(name) / which);
    }

    support::Context& context() override { return tc.ctx; }
    QWidget* hostWindow() override { return &window; }
    store::RecordFile& transakt() override { return *transakt_; }
    store::RecordFile& kontoData() override { return *kontoData_; }
    store::RecordFile* budgetMall() override { return nullptr; }
    void budgetMallChanged() override { calls << QStringLiteral("budgetMallChanged"); }
    std::string accountNameBytes() const override { return name; }
    QString accountKind() const override { return kind_; }
    int postCount() const override { return posts_; }
    void setPostCount(int n) override {
        posts_ = n;
        calls << QStringLiteral("setPostCount %1").arg(n);
    }
    void setRecountStart(int post) override { calls << QStringLiteral("setRecountStart %1").arg(post); }
    QString workingDate() const override { return QStringLiteral("2026-12-06"); }
    QString listMode() const override { return mode; }
    catalogue::TransactionChoice chosenMain() const override { return main; }
    void setChosenMain(const catalogue::TransactionChoice& c) override { main = c; }
    catalogue::TransactionChoice chosenSub() const override { return sub; }
    void setChosenSub(const catalogue::TransactionChoice& c) override { sub = c; }
    void reloadTransactionList() override { calls << QStringLiteral("reloadTransactionList"); }
    void setTransactionBox(const QString& text) override { calls << QStringLiteral("box ") + text; }
    void focusTransactionBox() override { calls << QStringLiteral("focusTransactionBox"); }
    void unlockAmountBox() override { calls << QStringLiteral("unlockAmountBox"); }
    void chooseMainTransaction(int number) override { calls << QStringLiteral("choose %1").arg(number); }
    void disableActionButton() override { calls << QStringLiteral("disableActionButton"); }
    void resetCancelButton() override { calls << QStringLiteral("resetCancelButton"); }
    void pressCancel(bool armReset) override {
        calls << (armReset ? QStringLiteral("pressCancel armed") : QStringLiteral("pressCancel"));
    }
    void balanceCheck(int from) override { calls << QStringLiteral("balanceCheck %1").arg(from); }
    void reloadLedgerView() override { calls << QStringLiteral("reloadLedgerView"); }
    void markSaldoHeading() override { calls << QStringLiteral("markSaldoHeading"); }
    void startBalanceEntry() override { calls << QStringLiteral("startBalanceEntry"); }
    // As the main window does it: the files closed, the account removed from the disk and the
    // register, the outcome reported once; a failure is trapped and the account opened again.
    bool Reducera_Konto() override {
        calls << QStringLiteral("Reducera_Konto");
        kontoData_.reset();
        transakt_.reset();
        bool removed = false;
        support::trapped(
            tc.ctx, &window,
            [&] {
                const bool last = accounts::reduceAccount(tc.ctx.paths, 1, name, false) ==
                                  accounts::RemovalResult::RegisterDeleted;
                removed = true;
                if (last)
                    tc.ctx.dialogs.message(&window, QStringLiteral("Alla konton raderade"),
                                           QStringLiteral("Det sista kvarvarande kontot\nhar avslutats !"));
                else
                    tc.ctx.dialogs.message(&window, QStringLiteral("Konto borttaget"),
                                           QStringLiteral("Hushåll konto har avlägsnats !"));
            },
            [] {
                return support::ErrorDescription{
                    QStringLiteral("Ett fel har uppstått i subrutinen Reducera_Konto"),
                    {QStringLiteral("Fel i rutinen Reducera_Konto")}};
            });
        if (!removed)
            open();
        return removed;
    }

    TestContext tc;
    QWidget window;
    QStringList calls;
    QString mode = QStringLiteral("1");
    catalogue::TransactionChoice main, sub;
    const std::string name = "Hush\xE5ll"; // "Hushåll" in Windows-1252

private:
    void open() {
        const auto folder = tc.ctx.paths.accountFolder(name);
        kontoData_ = std::make_unique<store::RecordFile>(folder / "KontoData", kind_ == "Bg" ? 77 : 43);
        transakt_ = std::make_unique<store::RecordFile>(folder / "Transakt", 36);
    }

    QString kind_;
    std::unique_ptr<store::RecordFile> kontoData_, transakt_;
    int posts_ = 0;
};

} // namespace uitest
