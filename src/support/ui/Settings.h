#pragma once

#include <QString>

namespace support {

// The report login of the build settings MONIVA_FTP_USER and MONIVA_FTP_PASSWORD (empty unless
// set): they live in one generated file, so changing them rebuilds only that one.
QString builtFtpUser();
QString builtFtpPassword();

// Build-time addresses; empty means the program makes no request and says where a page would be.
struct Settings {
    QString webServer = QStringLiteral(MONIVA_WEB_SERVER);
    QString homePage = QStringLiteral(MONIVA_HOME_PAGE);
    QString feedbackEmail = QStringLiteral(MONIVA_FEEDBACK_EMAIL);
    QString ftpHost = QStringLiteral(MONIVA_FTP_HOST);
    QString donationAccount = QStringLiteral(MONIVA_DONATION_ACCOUNT);
    int ftpPort = 21;
    QString ftpUser = builtFtpUser();
    QString ftpPassword = builtFtpPassword();

    // The maker's page at a script path ("Moni_5.php"); empty when no server is configured.
    QString page(const QString& scriptPath) const {
        if (webServer.isEmpty())
            return {};
        return webServer.endsWith('/') ? webServer + scriptPath : webServer + '/' + scriptPath;
    }
};

} // namespace support
