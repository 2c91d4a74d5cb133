#pragma once

#include "catalogue/ui/CatalogueHost.h"

#include <QColor>
#include <QString>
#include <QWidget>

class QAction;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace catalogue {

// The main transactions window ("Ny/Ändrad huvudtransaktion"): a new main transaction (mode
// "ny"), or a rename, a change of sign or the deletion of the chosen one (mode "chg"). The calling
// window (the main window for caller "head", the budget alternatives window for "budg") is
// disabled while it is open; every path ends through the cancel button.
//
// A top-level window without a parent; whoever opens it owns it, typically with
// Qt::WA_DeleteOnClose.
class TransForm : public QWidget {
    Q_OBJECT
public:
    TransForm(CatalogueHost& host, const QString& mode, const QString& caller = QStringLiteral("head"));

    void nameEntered();
    void chooseChange();
    void chooseDelete();
    void chooseIncome();
    void chooseExpense();
    void confirm();
    void cancel();
    void hlp_mn_Click();

    // Saves the new main transaction in the catalogue.
    void TransSpar();
    // Renames the chosen main transaction and, when asked, turns its sign over every post.
    void TransChange();
    // Deletes the chosen main transaction and its posts from a cash-book account.
    void TransRadera_Enkel();
    // Deletes the chosen main transaction and its posts from a budget account.
    void TransRadera_Budget();

    const QString& mode() const { return mode_; }

    inline static const QColor DarkGreen{0, 64, 0};

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load();
    void setHint(const QString& text, const QColor& colour = QColor());
    void signChoice(bool renamed);
    void chooseSign(const QString& sign);
    // What both deletions share: the questions, the removal and the balance check.
    void TransRadera();
    void setCallerEnabled(bool enabled);
    // The cancel button without the close: what every way out of the window does.
    void cancelSteps();
    void closeWindow();
    bool hasStandardTransaction();
    static void clearOption(QRadioButton* option);

    CatalogueHost& host_;
    QString mode_;
    QString caller_;
    TransactionChoice current_;
    QString targetSign_; // the sign chosen in a change

    bool loaded_ = false;
    bool closing_ = false;

    QLabel* nameLabel_;
    QLineEdit* nameBox_;
    QRadioButton* changeOption_;
    QRadioButton* deleteOption_;
    QRadioButton* incomeOption_;
    QRadioButton* expenseOption_;
    QPushButton* okButton_;
    QPushButton* cancelButton_;
    QLabel* hintLabel_;
    QAction* hlp_mn_;
};

} // namespace catalogue
