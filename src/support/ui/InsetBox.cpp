#include "support/ui/InsetBox.h"

#include "support/ui/Context.h"
#include "support/ui/Dialogs.h"
#include "support/ui/Twips.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace support {

namespace {

// Design measures of the controls, in twips.
constexpr int TextHeight = 315;
constexpr int ButtonWidth = 1215;
constexpr int ButtonHeight = 375;
constexpr int Button1Left = 1200;
constexpr int Button2Left = 2985;
// The layout the box is designed with and left in between uses.
constexpr int DesignFormHeight = 2010;
constexpr int DesignTextTop = 720;
constexpr int DesignButtonTop = 1320;

} // namespace

InsetBox::InsetBox(QWidget* parent, const QString& prompt, const QString& title, const QString& defaultText)
    : QDialog(parent), promptLabel_(new QLabel(this)), answerBox_(new QLineEdit(this)),
      okButton_(new QPushButton(QStringLiteral("OK"), this)),
      cancelButton_(new QPushButton(QStringLiteral("Avbryt"), this)) {
    setObjectName(QStringLiteral("InsetBox"));
    promptLabel_->setObjectName(QStringLiteral("promptLabel"));
    answerBox_->setObjectName(QStringLiteral("answerBox"));
    promptLabel_->setBuddy(answerBox_);
    okButton_->setObjectName(QStringLiteral("okButton"));
    cancelButton_->setObjectName(QStringLiteral("cancelButton"));

    promptLabel_->setWordWrap(true);
    promptLabel_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    answerBox_->setToolTip(EnterTip);
    okButton_->setEnabled(false);
    // Enter belongs to the answer box; a focused button is pressed with Enter or space.
    okButton_->setAutoDefault(true);
    cancelButton_->setAutoDefault(true);
    answerBox_->installEventFilter(this);

    promptLabel_->setText(QString(prompt).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    setWindowTitle(title);
    answerBox_->setText(defaultText);
    arrange();

    connect(okButton_, &QPushButton::clicked, this, &InsetBox::confirm);
    connect(cancelButton_, &QPushButton::clicked, this, &InsetBox::cancel);
    connect(answerBox_, &QLineEdit::textEdited, this, [this] { okButton_->setEnabled(false); });
    answerBox_->setFocus();
}

void InsetBox::arrange() {
    const int width = twipsX(*this, FormWidth);
    const int left = twipsX(*this, LabelLeft);
    const int innerWidth = width - 2 * left;
    const int labelTop = twipsY(*this, LabelTop);
    int labelHeight = promptLabel_->text().isEmpty() ? 0 : promptLabel_->heightForWidth(innerWidth);
    if (labelHeight < 0)
        labelHeight = promptLabel_->sizeHint().height();
    promptLabel_->setGeometry(left, labelTop, innerWidth, labelHeight);

    const int textTop = labelTop + labelHeight + twipsY(*this, TextBelowLabel);
    answerBox_->setGeometry(left, textTop, innerWidth, twipsY(*this, TextHeight));
    const int buttonTop = textTop + twipsY(*this, ButtonsBelowText);
    okButton_->setGeometry(twipsX(*this, Button1Left), buttonTop, twipsX(*this, ButtonWidth),
                           twipsY(*this, ButtonHeight));
    cancelButton_->setGeometry(twipsX(*this, Button2Left), buttonTop, twipsX(*this, ButtonWidth),
                               twipsY(*this, ButtonHeight));
    setFixedSize(width, labelHeight + twipsY(*this, HeightBelowLabel));
}

bool InsetBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched == answerBox_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            // Taken here, so that the dialog does not also press a default button with it.
            answerEntered();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void InsetBox::answerEntered() {
    answer_ = answerBox_->text();
    okButton_->setEnabled(true);
    okButton_->setFocus();
}

void InsetBox::clearAndReset() {
    promptLabel_->clear();
    answerBox_->clear();
    const int left = twipsX(*this, LabelLeft);
    const int innerWidth = twipsX(*this, FormWidth) - 2 * left;
    answerBox_->move(left, twipsY(*this, DesignTextTop));
    okButton_->move(okButton_->x(), twipsY(*this, DesignButtonTop));
    cancelButton_->move(cancelButton_->x(), twipsY(*this, DesignButtonTop));
    promptLabel_->resize(innerWidth, promptLabel_->height());
    setFixedSize(width(), twipsY(*this, DesignFormHeight));
    okButton_->setEnabled(false);
}

void InsetBox::confirm() {
    if (!okButton_->isEnabled())
        return;
    clearAndReset();
    done(QDialog::Accepted);
}

void InsetBox::cancel() {
    answer_.clear();
    clearAndReset();
    done(QDialog::Rejected);
}

void InsetBox::reject() {
    cancel();
}

QString InmatningsBox(Dialogs& dialogs, QWidget* parent, const QString& prompt, const QString& title,
                      const QString& defaultText) {
    InsetBox box(parent, prompt, title, defaultText);
    dialogs.exec(box);
    return box.answer();
}

QString InmatningsBox(support::Context& ctx, QWidget* parent, const QString& prompt, const QString& title,
                      const QString& defaultText) {
    return ctx.dialogs.input(parent, prompt, title, defaultText);
}

} // namespace support
