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

// The sub-transactions window ("Subtransaktion"): a new sub-transaction (mode "ny"), or a rename
// or the deletion of the chosen one (mode "chg"). The main window is disabled while it is open;
// every path ends through the cancel button.
//
// A top-level window without a parent; whoever opens it owns it, typically with
// Qt::WA_DeleteOnClose.
class SubTransForm : public QWidget {
    Q_OBJECT
public:
    SubTransForm(CatalogueHost& host, const QString& mode);

    void nameEntered();
    void chooseChange();
    void chooseDelete();
    void confirm();
    void cancel();
    void hlp_mn_Click();

    // Saves a new sub-transaction, or the new name of the chosen one.
    void SubTransSpar();
    // Deletes the chosen sub-transaction from a cash-book account's catalogue and posts.
    void SubTransRadera_Enkel();
    // Deletes the chosen sub-transaction from a budget account's catalogue and posts.
    void SubTransRadera_Budget();

    const QString& mode() const { return mode_; }
    const QString& renameFlag() const { return renameFlag_; }

    inline static const QColor DarkGreen{0, 64, 0};

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load();
    void setHint(const QString& text, const QColor& colour = QColor());
    // What both deletions share: the question, the removal and the balance check.
    void SubTransRadera();
    void cancelSteps();
    void closeWindow();

    CatalogueHost& host_;
    QString mode_;
    QString renameFlag_ = QStringLiteral("0");
    TransactionChoice current_;
    bool loaded_ = false;
    bool closing_ = false;

    QLabel* nameLabel_;
    QLineEdit* nameBox_;
    QRadioButton* changeOption_;
    QRadioButton* deleteOption_;
    QPushButton* okButton_;
    QPushButton* cancelButton_;
    QLabel* hintLabel_;
    QAction* hlp_mn_;
};

} // namespace catalogue
