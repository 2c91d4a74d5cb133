#include "support/ui/QtPlatform.h"

#include "support/ui/FtpUpload.h"
#include "support/ui/HelpViewer.h"

#include <QDesktopServices>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

namespace support {

QtPlatform::QtPlatform(Settings settings) : settings_(std::move(settings)) {}

QtPlatform::~QtPlatform() = default;

void QtPlatform::openUrl(const QString& url) {
    if (url.trimmed().isEmpty())
        return;
    QDesktopServices::openUrl(QUrl(url.trimmed()));
}

void QtPlatform::showHelp(int contextNumber) {
    if (helpHandler_)
        helpHandler_(contextNumber);
    else
        showHelpTopic(contextNumber);
}

UploadResult QtPlatform::uploadReport(const std::filesystem::path& file) {
    return ftpUpload({settings_.ftpHost, settings_.ftpPort, settings_.ftpUser, settings_.ftpPassword}, file);
}

void QtPlatform::fetchAndDiscard(const QString& url) {
    if (url.trimmed().isEmpty())
        return;
    if (!network_)
        network_ = std::make_unique<QNetworkAccessManager>();
    QNetworkReply* reply = network_->get(QNetworkRequest(QUrl(url.trimmed())));
    QObject::connect(reply, &QNetworkReply::finished, reply, &QObject::deleteLater);
}

} // namespace support
