#include "support/ui/QtPlatform.h"

#include "support/ui/FtpUpload.h"
#include "support/ui/HelpViewer.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPrinterInfo>
#include <QStorageInfo>
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
    // Over whatever window asked for it (the report form), so the progress window stays on top.
    return ftpUploadShowingProgress(
        QApplication::activeModalWidget(),
        {settings_.ftpHost, settings_.ftpPort, settings_.ftpUser, settings_.ftpPassword, {}}, file);
}

void QtPlatform::fetchAndDiscard(const QString& url) {
    if (url.trimmed().isEmpty())
        return;
    if (!network_)
        network_ = std::make_unique<QNetworkAccessManager>();
    QNetworkReply* reply = network_->get(QNetworkRequest(QUrl(url.trimmed())));
    QObject::connect(reply, &QNetworkReply::finished, reply, &QObject::deleteLater);
}

std::vector<backup::MountInfo> QtPlatform::mountedDrives() {
    std::vector<backup::MountInfo> mounts;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        backup::MountInfo mount;
        mount.root = std::filesystem::path(QFile::encodeName(volume.rootPath()).toStdString());
        mount.fileSystem = volume.fileSystemType().toStdString();
        mount.device = volume.device().toStdString();
        // A file bind-mounted over another (as containers do) is no drive.
        mount.ready = volume.isValid() && volume.isReady() && QFileInfo(volume.rootPath()).isDir();
        mount.removableDevice = backup::deviceIsRemovable(mount.device);
        mounts.push_back(std::move(mount));
    }
    return mounts;
}

bool QtPlatform::printersInstalled() {
    return !QPrinterInfo::availablePrinters().isEmpty();
}

} // namespace support
