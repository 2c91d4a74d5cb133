#include "support/ui/DonateForm.h"

#include "support/ui/Context.h"
#include "support/ui/Trap.h"
#include "support/ui/WindowPosition.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPushButton>
#include <QShowEvent>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace support {

namespace {

ErrorDescription positionError(const QString& routine) {
    return {
        QStringLiteral("Ett fel har uppstått i subrutinen ") + routine +
            QStringLiteral("\r\n vid placering av fönstret Donation.\r\n\r\n"),
        {QStringLiteral("Fel i rutinen ") + routine, QStringLiteral(" vid placering av fönstret Donation")}};
}

} // namespace

QString DonateForm::thankYouText(const QString& bankAccountLine) {
    return QStringLiteral("\r\n\r\n"
                          "Detta är ett s k FreeWare-program, vilket innebär"
                          " att det är fritt för dig att använda under obegränsad tid.\r\n\r\n"
                          "Är du nöjd med programmet och vill visa din uppskattning får"
                          " du gärna överraska mig med en donation på valfritt belopp !\r\n\r\n"
                          "Det enklaste sättet att utföra en sådan är via din internetbank !\r\n"
                          "Då kan du föra över ett valfritt belopp till konto nr:\r\n") +
           bankAccountLine +
           QStringLiteral("\r\n\r\n"
                          "           Med vänlig hälsning\r\n\r\n"
                          "                /Ollon");
}

QString DonateForm::pageFailedText(const QString& reason) {
    return QStringLiteral("Donationssidan kunde inte hämtas: ") + reason;
}

DonateForm::DonateForm(support::Context& ctx, QWidget* parent)
    : QDialog(parent), ctx_(ctx), pageView_(new QTextBrowser(this)), introLabel_(new QLabel(this)),
      cancelButton_(new QPushButton(QStringLiteral("Avbryt"), this)) {
    setObjectName(QStringLiteral("DonateForm"));
    setWindowTitle(QStringLiteral("Donation"));
    pageView_->setObjectName(QStringLiteral("pageView"));
    pageView_->setAccessibleName(QStringLiteral("Donationssidan"));
    introLabel_->setObjectName(QStringLiteral("introLabel"));
    cancelButton_->setObjectName(QStringLiteral("cancelButton"));

    pageView_->setOpenExternalLinks(true);
    introLabel_->setText(
        thankYouText(ctx_.settings.donationAccount).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    introLabel_->setWordWrap(true);
    introLabel_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    cancelButton_->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cancelButton_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pageView_, 1);
    layout->addWidget(introLabel_);
    layout->addLayout(buttons);
    resize(560, 600);

    connect(cancelButton_, &QPushButton::clicked, this, &DonateForm::cancel);

    const QString address = pageAddress();
    if (address.isEmpty()) {
        pageView_->setPlainText(NoPageText);
        return;
    }
    network_ = new QNetworkAccessManager(this);
    QNetworkReply* reply = network_->get(QNetworkRequest(QUrl(address)));
    connect(reply, &QNetworkReply::finished, this, [this, reply] { pageArrived(reply); });
}

QString DonateForm::pageAddress() const {
    return ctx_.settings.page(PagePath);
}

void DonateForm::pageArrived(QNetworkReply* reply) {
    reply->deleteLater();
    if (reply->error() != QNetworkReply::NoError) {
        pageView_->setPlainText(pageFailedText(reply->errorString()));
    } else {
        // Links and images of the page resolve against its own address.
        pageView_->document()->setBaseUrl(reply->url());
        pageView_->setHtml(QString::fromUtf8(reply->readAll()));
    }
    emit pageFinished();
}

void DonateForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (placed_)
        return;
    placed_ = true;
    trapped(
        ctx_, this, [this] { restoreWindowPosition(ctx_, *this, store::WindowPair::DonateForm); },
        [] { return positionError(QStringLiteral("DonateForm_Load")); });
}

void DonateForm::cancel() {
    done(QDialog::Rejected);
}

void DonateForm::done(int result) {
    if (!closing_ && isVisible()) {
        closing_ = true;
        trapped(
            ctx_, this, [this] { storeWindowPosition(ctx_, *this, store::WindowPair::DonateForm); },
            [] { return positionError(QStringLiteral("Command2_Click")); });
        closing_ = false;
    }
    if (QWidget* main = parentWidget())
        main->setEnabled(true);
    QDialog::done(result);
}

} // namespace support
