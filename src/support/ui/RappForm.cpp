#include "support/ui/RappForm.h"

#include "support/ErrorReport.h"
#include "support/ui/Context.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <exception>
#include <system_error>

namespace support {

QString RappForm::instructionText() {
    return QStringLiteral(
        "Beskriv kort nedan hur felet yttrar sig och i vilket sammanhang ! Lägg gärna till din"
        " mailadress om du vill ha ett svar !\r\n\r\n"
        "Ditt meddelande, samt uppsamlade data om felet, sammanställs"
        " och sänds när du klickar på 'Skicka' i formuläret !");
}

QString RappForm::sentText() {
    return QStringLiteral("Felrapporten har nu skickats !\r\n\r\n"
                          "Jag beklagar besvären och ska snarast undersöka vad felet"
                          " kan bestå i, med ledning av rapporten och bifogade data !\r\n\r\n"
                          "Med vänlig hälsning\r\n\r\n"
                          "             /Ollon");
}

QString RappForm::notSentText(const QString& reason, const std::filesystem::path& keptFile) {
    QString text = QStringLiteral("Felrapporten kunde inte skickas !\r\n\r\nOrsak: ") + reason;
    if (keptFile.empty())
        return text + QStringLiteral("\r\n\r\nIngen rapportfil kunde sparas.");
    return text + QStringLiteral("\r\n\r\nRapporten finns sparad i filen:\r\n") +
           QString::fromStdString(keptFile.string());
}

RappForm::RappForm(support::Context& ctx, QWidget* parent)
    : QDialog(parent), ctx_(ctx), introLabel_(new QLabel(this)), reportBox_(new QPlainTextEdit(this)),
      sendButton_(new QPushButton(QStringLiteral("Skicka"), this)),
      cancelButton_(new QPushButton(QStringLiteral("Avbryt"), this)) {
    setObjectName(QStringLiteral("RappForm"));
    setWindowTitle(QStringLiteral("Rapportformulär"));
    introLabel_->setObjectName(QStringLiteral("introLabel"));
    reportBox_->setObjectName(QStringLiteral("reportBox"));
    reportBox_->setAccessibleName(QStringLiteral("Rapport"));
    sendButton_->setObjectName(QStringLiteral("sendButton"));
    cancelButton_->setObjectName(QStringLiteral("cancelButton"));

    introLabel_->setText(instructionText().replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    introLabel_->setWordWrap(true);
    reportBox_->setTabChangesFocus(true);
    sendButton_->setAutoDefault(false);
    cancelButton_->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(sendButton_);
    buttons->addWidget(cancelButton_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(introLabel_);
    layout->addWidget(reportBox_, 1);
    layout->addLayout(buttons);
    resize(480, 360);

    connect(sendButton_, &QPushButton::clicked, this, &RappForm::send);
    connect(cancelButton_, &QPushButton::clicked, this, &RappForm::cancel);
    reportBox_->setFocus();
}

void RappForm::send() {
    ReportFacts facts;
    facts.today = ctx_.today;
    facts.time = ctx_.clockTime ? ctx_.clockTime() : std::string();
    facts.userName = ctx_.userName;
    facts.installDate = ctx_.installDate;
    facts.message = reportBox_->toPlainText().toStdString();

    std::filesystem::path file;
    try {
        file = writeErrorReport(ctx_.startupDir, ctx_.error, facts);
    } catch (const std::exception& e) {
        // No trap routine here: it would offer this very form again.
        ctx_.dialogs.message(this, NotSentTitle, notSentText(QString::fromUtf8(e.what()), {}),
                             Dialogs::Icon::Exclamation);
        cancel();
        return;
    }

    // The upload shows its own progress window with "Avbryt"; a wait cursor would cover it.
    const UploadResult sent = ctx_.platform.uploadReport(file);

    if (sent.ok) {
        std::error_code ignored; // the report has reached its receiver; a leftover copy harms nobody
        std::filesystem::remove(file, ignored);
        ctx_.dialogs.message(this, SentTitle, sentText(), Dialogs::Icon::Information);
    } else {
        ctx_.dialogs.message(this, NotSentTitle, notSentText(sent.error, file), Dialogs::Icon::Exclamation);
    }
    cancel();
}

void RappForm::cancel() {
    done(QDialog::Rejected);
}

} // namespace support
