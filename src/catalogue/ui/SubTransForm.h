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
// every path ends through the cancel button Command1.
//
// A top-level window without a parent; whoever opens it owns it, typically with
// Qt::WA_DeleteOnClose.
class SubTransForm : public QWidget {
    Q_OBJECT
public:
    SubTransForm(CatalogueHost& host, const QString& mode);

    void Text1_Enter();
    void Option1_MouseUp();
    void Option2_MouseUp();
    void Command2_Click();
    void Command1_Click();
    void hlp_mn_Click();

    void SubTransSpar();
    void SubTransRadera_Enkel();
    void SubTransRadera_Budget();

    const QString& mode() const { return mode_; }
    const QString& renameFlag() const { return renameFlag_; }

    inline static const QColor DarkGreen{0, 64, 0};

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load();
    void setLabel2(const QString& text, const QColor& colour = QColor());
    void SubTransRadera();
    void cancelSteps();
    void closeWindow();

    CatalogueHost& host_;
    QString mode_;
    QString renameFlag_ = QStringLiteral("0");
    TransactionChoice current_;
    bool loaded_ = false;
    bool closing_ = false;

    QLabel* label1_;
    QLineEdit* text1_;
    QRadioButton* option1_;
    QRadioButton* option2_;
    QPushButton* command2_;
    QPushButton* command1_;
    QLabel* label2_;
    QAction* hlp_mn_;
};

} // namespace catalogue
