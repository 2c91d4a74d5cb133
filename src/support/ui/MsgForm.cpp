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
    : QDialog(parent), ctx_(ctx), text1_(new QPlainTextEdit(this)),
      check1_(new QCheckBox(QStringLiteral("Visa inte igen"), this)), command1_(new QPushButton(this)),
      command2_(new QPushButton(QStringLiteral("Nej"), this)),
      command3_(new QPushButton(QStringLiteral("Avbryt"), this)) {
    setObjectName(QStringLiteral("MsgForm"));
    setModal(false);
    text1_->setObjectName(QStringLiteral("Text1"));
    check1_->setObjectName(QStringLiteral("Check1"));
    command1_->setObjectName(QStringLiteral("Command1"));
    command2_->setObjectName(QStringLiteral("Command2"));
    command3_->setObjectName(QStringLiteral("Command3"));

    text1_->setReadOnly(true);
    command1_->hide();
    command2_->hide();
    command3_->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(check1_);
    buttons->addStretch();
    buttons->addWidget(command1_);
    buttons->addWidget(command2_);
    buttons->addWidget(command3_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text1_, 1);
    layout->addLayout(buttons);
    resize(420, 240);

    connect(command3_, &QPushButton::clicked, this, &MsgForm::Command3_Click);
}

void MsgForm::showHint(const QString& caption, const QString& text) {
    const bool wasVisible = isVisible();
    setWindowTitle(caption);
    text1_->setPlainText(QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    command3_->setText(QStringLiteral("OK"));
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

void MsgForm::Command3_Click() {
    if (isVisible())
        trapped(
            ctx_, this, [this] { storeWindowPosition(ctx_, *this, store::WindowPair::MsgForm); },
            [] {
                return ErrorDescription{QStringLiteral("Ett fel har uppstått i subrutinen Command3_Click\r\n"
                                                       " vid lagring av fönstrets position.\r\n\r\n"),
                                        {QStringLiteral("Fel i rutinen Command3_Click"),
                                         QStringLiteral(" vid lagring av fönstrets position")}};
            });
    text1_->clear();
    command3_->setText(QStringLiteral("Avbryt"));
    hide();
    if (check1_->isChecked()) {
        // Unticked again, so the next account's hint does not start out switched off.
        check1_->setChecked(false);
        emit hintSwitchedOff();
    }
}

void MsgForm::closeEvent(QCloseEvent* event) {
    Command3_Click();
    event->accept();
}

void MsgForm::reject() {
    Command3_Click();
}

} // namespace support
