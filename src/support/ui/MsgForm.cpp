#include "support/ui/MsgForm.h"

#include "support/ui/Context.h"
#include "support/ui/Trap.h"
#include "support/ui/WindowPosition.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace support {

QString MsgForm::fundHintText() {
    return QStringLiteral("...sker uppdateringen av kontot mestadels via kontosaldot hos bank."
                          " Det kan då kopieras från bankens hemsida / klistras in som"
                          " Nytt Saldo\r\n\r\n"
                          "Klicka på rubriken 'Saldo' ! Då kan också en"
                          " standardtransaktion skapas för ändamålet\r\n"
                          "(ex. \"Ändrad andel/kurs\")\r\n\r\n"
                          "Transaktionsbelopp framräknas slutligen av programmet, teckensätts"
                          " och läggs in automatiskt !");
}

MsgForm::MsgForm(support::Context& ctx, QWidget* parent)
    : QDialog(parent), ctx_(ctx), messageText_(new QPlainTextEdit(this)),
      dontShowAgainBox_(new QCheckBox(QStringLiteral("Visa inte igen"), this)),
      yesButton_(new QPushButton(this)), noButton_(new QPushButton(QStringLiteral("Nej"), this)),
      closeButton_(new QPushButton(QStringLiteral("Avbryt"), this)) {
    setObjectName(QStringLiteral("MsgForm"));
    setModal(false);
    messageText_->setObjectName(QStringLiteral("messageText"));
    messageText_->setAccessibleName(QStringLiteral("Meddelande"));
    dontShowAgainBox_->setObjectName(QStringLiteral("dontShowAgainBox"));
    yesButton_->setObjectName(QStringLiteral("yesButton"));
    noButton_->setObjectName(QStringLiteral("noButton"));
    closeButton_->setObjectName(QStringLiteral("closeButton"));

    messageText_->setReadOnly(true);
    yesButton_->hide();
    noButton_->hide();
    closeButton_->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(dontShowAgainBox_);
    buttons->addStretch();
    buttons->addWidget(yesButton_);
    buttons->addWidget(noButton_);
    buttons->addWidget(closeButton_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(messageText_, 1);
    layout->addLayout(buttons);
    resize(420, 240);

    connect(closeButton_, &QPushButton::clicked, this, &MsgForm::closeHint);
}

void MsgForm::showHint(const QString& caption, const QString& text) {
    const bool wasVisible = isVisible();
    setWindowTitle(caption);
    messageText_->setPlainText(QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    closeButton_->setText(QStringLiteral("OK"));
    show();
    raise();
    if (!wasVisible)
        trapped(
            ctx_, this, [this] { restoreWindowPosition(ctx_, *this, store::WindowPair::MsgForm); },
            [] {
                return ErrorDescription{QStringLiteral("Ett fel har uppstått i subrutinen MsgForm_Load\r\n"
                                                       " vid placering av fönstret.\r\n\r\n"),
                                        {QStringLiteral("Fel i rutinen MsgForm_Load"),
                                         QStringLiteral(" vid placering av fönstret")}};
            });
}

bool MsgForm::isShowingHint() const {
    return isVisible();
}

void MsgForm::closeHint() {
    if (isVisible())
        trapped(
            ctx_, this, [this] { storeWindowPosition(ctx_, *this, store::WindowPair::MsgForm); },
            [] {
                return ErrorDescription{QStringLiteral("Ett fel har uppstått i subrutinen Command3_Click\r\n"
                                                       " vid lagring av fönstrets position.\r\n\r\n"),
                                        {QStringLiteral("Fel i rutinen Command3_Click"),
                                         QStringLiteral(" vid lagring av fönstrets position")}};
            });
    messageText_->clear();
    closeButton_->setText(QStringLiteral("Avbryt"));
    hide();
    if (dontShowAgainBox_->isChecked()) {
        // Unticked again, so the next account's hint does not start out switched off.
        dontShowAgainBox_->setChecked(false);
        emit hintSwitchedOff();
    }
}

void MsgForm::closeEvent(QCloseEvent* event) {
    closeHint();
    event->accept();
}

void MsgForm::reject() {
    closeHint();
}

} // namespace support
