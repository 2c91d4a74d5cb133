#pragma once

#include <QDialog>
#include <QString>

class QCheckBox;
class QPlainTextEdit;
class QPushButton;

namespace support {
class Context;
}

namespace support {

// The hint window, shown without blocking. The caller gives the caption and the text with
// showHint; closeButton (or the window's close button) closes it. When it closes with "Visa inte igen"
// ticked it tells the caller through hintSwitchedOff, and the caller records that for the open
// account (the flag byte after the name in KontoFil).
class MsgForm : public QDialog {
    Q_OBJECT
public:
    MsgForm(support::Context& ctx, QWidget* parent = nullptr);

    // Caption, messageText and "OK" on closeButton; shows the window at its stored place.
    void showHint(const QString& caption, const QString& text);
    bool isShowingHint() const;

    // Closes the hint: stores the position, empties the text, closeButton back to "Avbryt", hides.
    void closeHint();

    // The fund-account hint over the cash-book "Saldo" heading.
    inline static const QString FundHintCaption = QStringLiteral("Om detta är ett fondkonto...");
    static QString fundHintText();
    // The heading's tooltip while the hint is on and the account has no standard transaction,
    // and when it has one.
    inline static const QString SaldoTipHint = QStringLiteral("Förenklad kontouppdatering");
    inline static const QString SaldoTipStandard = QStringLiteral("Klicka för direkt saldoinmatning !");

signals:
    // The hint was closed with dontShowAgainBox ticked: do not show it again for the open account.
    void hintSwitchedOff();

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    support::Context& ctx_;
    QPlainTextEdit* messageText_;
    QCheckBox* dontShowAgainBox_;
    QPushButton* yesButton_;
    QPushButton* noButton_;
    QPushButton* closeButton_;
};

} // namespace support
