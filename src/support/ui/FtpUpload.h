#pragma once

#include "support/ui/Platform.h"

#include <QString>

#include <filesystem>
#include <stop_token>

class QWidget;

namespace support {

struct FtpTarget {
    QString host; // "ftp.example.org" (an "ftp://" in front and a "/" behind are allowed); empty: none
    int port = 21;
    QString user; // empty: an anonymous login
    QString password;
    std::filesystem::path caFile; // certificates trusted for TLS instead of the system's; empty: the system's
};

// Uploads the file by FTP in passive mode, stored under its own name in the login's default
// folder (ftp://host:port/<name>), replacing a file of that name. The login and the file go over
// TLS when the server offers it, in plain text when it does not. Blocks until done, the timeout
// has passed or a stop is requested. On failure the result carries the transfer library's own
// description (or a Swedish one when there is no host, the file cannot be read or it was stopped).
UploadResult ftpUpload(const FtpTarget& target, const std::filesystem::path& file, long timeoutSeconds = 60,
                       std::stop_token stop = {});

// The same on a thread of its own, while a small window over `parent` says that the report is on
// its way; its "Avbryt" (or Esc) stops the transfer. The program's windows stay drawn meanwhile.
UploadResult ftpUploadShowingProgress(QWidget* parent, const FtpTarget& target,
                                      const std::filesystem::path& file, long timeoutSeconds = 60);

inline const QString NoFtpHostText = QStringLiteral("Ingen mottagare av felrapporter är inställd");
inline const QString UploadStoppedText = QStringLiteral("Överföringen avbröts");

} // namespace support
