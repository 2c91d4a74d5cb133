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
    : QDialog(parent), label1_(new QLabel(this)), text1_(new QLineEdit(this)),
      command1_(new QPushButton(QStringLiteral("OK"), this)),
      command2_(new QPushButton(QStringLiteral("Avbryt"), this)) {
    setObjectName(QStringLiteral("InsetBox"));
    label1_->setObjectName(QStringLiteral("Label1"));
    text1_->setObjectName(QStringLiteral("Text1"));
    command1_->setObjectName(QStringLiteral("Command1"));
    command2_->setObjectName(QStringLiteral("Command2"));

    label1_->setWordWrap(true);
    label1_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    text1_->setToolTip(EnterTip);
    command1_->setEnabled(false);
    // Enter belongs to the answer box; a focused button is pressed with Enter or space.
    command1_->setAutoDefault(true);
    command2_->setAutoDefault(true);
    text1_->installEventFilter(this);

    label1_->setText(QString(prompt).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    setWindowTitle(title);
    text1_->setText(defaultText);
    arrange();

    connect(command1_, &QPushButton::clicked, this, &InsetBox::Command1_Click);
    connect(command2_, &QPushButton::clicked, this, &InsetBox::Command2_Click);
    connect(text1_, &QLineEdit::textEdited, this, [this] { command1_->setEnabled(false); });
    text1_->setFocus();
}

void InsetBox::arrange() {
    const int width = twipsX(*this, FormWidth);
    const int left = twipsX(*this, LabelLeft);
    const int innerWidth = width - 2 * left;
    const int labelTop = twipsY(*this, LabelTop);
    int labelHeight = label1_->text().isEmpty() ? 0 : label1_->heightForWidth(innerWidth);
    if (labelHeight < 0)
        labelHeight = label1_->sizeHint().height();
    label1_->setGeometry(left, labelTop, innerWidth, labelHeight);

    const int textTop = labelTop + labelHeight + twipsY(*this, TextBelowLabel);
    text1_->setGeometry(left, textTop, innerWidth, twipsY(*this, TextHeight));
    const int buttonTop = textTop + twipsY(*this, ButtonsBelowText);
    command1_->setGeometry(twipsX(*this, Button1Left), buttonTop, twipsX(*this, ButtonWidth),
                           twipsY(*this, ButtonHeight));
    command2_->setGeometry(twipsX(*this, Button2Left), buttonTop, twipsX(*this, ButtonWidth),
                           twipsY(*this, ButtonHeight));
    setFixedSize(width, labelHeight + twipsY(*this, HeightBelowLabel));
}

bool InsetBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched == text1_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            // Taken here, so that the dialog does not also press a default button with it.
            Text1_Enter();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void InsetBox::Text1_Enter() {
    answer_ = text1_->text();
    command1_->setEnabled(true);
    command1_->setFocus();
}

void InsetBox::clearAndReset() {
    label1_->clear();
    text1_->clear();
    const int left = twipsX(*this, LabelLeft);
    const int innerWidth = twipsX(*this, FormWidth) - 2 * left;
    text1_->move(left, twipsY(*this, DesignTextTop));
    command1_->move(command1_->x(), twipsY(*this, DesignButtonTop));
    command2_->move(command2_->x(), twipsY(*this, DesignButtonTop));
    label1_->resize(innerWidth, label1_->height());
    setFixedSize(width(), twipsY(*this, DesignFormHeight));
    command1_->setEnabled(false);
}

void InsetBox::Command1_Click() {
    if (!command1_->isEnabled())
        return;
    clearAndReset();
    done(QDialog::Accepted);
}

void InsetBox::Command2_Click() {
    answer_.clear();
    clearAndReset();
    done(QDialog::Rejected);
}

void InsetBox::reject() {
    Command2_Click();
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
