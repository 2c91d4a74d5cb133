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
// disabled while it is open; every path ends through the cancel button Command2.
//
// A top-level window without a parent; whoever opens it owns it, typically with
// Qt::WA_DeleteOnClose.
class TransForm : public QWidget {
    Q_OBJECT
public:
    TransForm(CatalogueHost& host, const QString& mode, const QString& caller = QStringLiteral("head"));

    void Text1_Enter();
    void Option1_MouseUp();
    void Option2_Click();
    void Option3_MouseUp();
    void Option4_MouseUp();
    void Command1_Click();
    void Command2_Click();
    void hlp_mn_Click();

    void TransSpar();
    void TransChange();
    void TransRadera_Enkel();
    void TransRadera_Budget();

    const QString& mode() const { return mode_; }

    inline static const QColor DarkGreen{0, 64, 0};

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load();
    void setLabel2(const QString& text, const QColor& colour = QColor());
    void signChoice(bool renamed);
    void chooseSign(const QString& sign);
    void TransRadera();
    void setCallerEnabled(bool enabled);
    // Command2 without the close: what every way out of the window does.
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

    QLabel* label1_;
    QLineEdit* text1_;
    QRadioButton* option1_;
    QRadioButton* option2_;
    QRadioButton* option3_;
    QRadioButton* option4_;
    QPushButton* command1_;
    QPushButton* command2_;
    QLabel* label2_;
    QAction* hlp_mn_;
};

} // namespace catalogue
