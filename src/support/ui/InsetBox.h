#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;

namespace support {
class Context;
}

namespace support {

class Dialogs;

// The program's own input box: a prompt, a one-line answer and OK/Avbryt, sized to the prompt.
// OK is enabled only by Enter in the answer box, and the answer is the text as it stood at that
// Enter; typing on afterwards disables OK again until the next Enter, so the answer returned is
// always the text on screen. Avbryt (or Escape, or closing the window) answers "".
class InsetBox : public QDialog {
    Q_OBJECT
public:
    InsetBox(QWidget* parent, const QString& prompt, const QString& title, const QString& defaultText);

    QString answer() const { return answer_; }

    void confirm();
    void cancel();
    void reject() override;

    // Measures in twips.
    static constexpr int FormWidth = 5400;
    static constexpr int LabelLeft = 240;
    static constexpr int LabelTop = 120;
    static constexpr int HeightBelowLabel = 2500; // window height = label height + this
    static constexpr int TextBelowLabel = 500;    // text box top = label bottom + this
    static constexpr int ButtonsBelowText = 600;  // buttons top = text box top + this

    inline static const QString EnterTip = QStringLiteral("Tryck Enter efter textinmatning !");

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void answerEntered();
    // Sizes the window to the prompt.
    void arrange();
    // Empties the box and puts the design layout back, as it is left between uses.
    void clearAndReset();

    QString answer_;
    QLabel* promptLabel_;
    QLineEdit* answerBox_;
    QPushButton* okButton_;
    QPushButton* cancelButton_;
};

// Shows InsetBox modally through the dialogs' exec and returns the answer ("" when cancelled or
// when nothing was confirmed with Enter). QtDialogs::input is this routine.
QString InmatningsBox(Dialogs& dialogs, QWidget* parent, const QString& prompt, const QString& title,
                      const QString& defaultText);
// What a window calls: the input box of the context's dialogs (a test answers it from its script).
QString InmatningsBox(support::Context& ctx, QWidget* parent, const QString& prompt, const QString& title,
                      const QString& defaultText);

} // namespace support
