#pragma once

#include "accounts/ui/NyKontoHost.h"

#include <QColor>
#include <QString>
#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace support {
class Context;
}

namespace accounts {

// The new-account window ("Nytt konto"): asks for the name, number and kind of an account,
// shows a summary, creates the account's folder, files and register record, and makes it the
// main window's current account. The main window is disabled while it is open.
//
// A top-level window without a parent (a disabled parent would disable it too); whoever opens
// it owns it, typically with Qt::WA_DeleteOnClose.
class NyKontoForm : public QWidget {
    Q_OBJECT
public:
    NyKontoForm(support::Context& ctx, NyKontoHost& host);

    // OK: checks the input in order, the first failing check explains itself in hintLabel; then the
    // summary question and, on Yes, Skapa_Konto.
    void saveAccount();
    // Cancel: stores the position, enables the main window, closes; with no account at all the
    // main window offers to end the program.
    void cancel();
    // Creates the account from the window's input and makes it the current account.
    void Skapa_Konto();

    // "Bg", "Ek", or empty while no kind is chosen.
    const QString& kind() const { return kind_; }

    inline static const QColor Red{255, 0, 0};
    inline static const QColor DarkBlue{0, 0, 128};

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load();
    void setHint(const QString& text, const QColor& colour);
    void clearInput();
    void enableHost();
    // Closes the window as the end of a procedure (not the user's close button).
    void closeWindow();

    support::Context& ctx_;
    NyKontoHost& host_;
    QString kind_;
    QColor instructionColour_;
    bool loaded_ = false;
    bool closing_ = false;

    QLabel* nameTitle_;
    QLineEdit* nameBox_;
    QLabel* numberTitle_;
    QLineEdit* numberBox_;
    QRadioButton* budgetOption_;
    QRadioButton* cashOption_;
    QPushButton* okButton_;
    QPushButton* cancelButton_;
    QLabel* hintLabel_;
};

} // namespace accounts
