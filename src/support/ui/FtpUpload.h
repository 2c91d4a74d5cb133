#pragma once

#include "support/ui/Platform.h"

#include <QString>

#include <filesystem>

namespace support {

struct FtpTarget {
    QString host; // "ftp.example.org" (an "ftp://" in front and a "/" behind are allowed); empty: none
    int port = 21;
    QString user;
    QString password;
};

// Uploads the file by FTP in passive mode, stored under its own name in the login's default
// folder (ftp://host:port/<name>), replacing a file of that name. Blocks until done. On failure
// the result carries the transfer library's own description (or a Swedish one when there is no
// host or the file cannot be read).
UploadResult ftpUpload(const FtpTarget& target, const std::filesystem::path& file, long timeoutSeconds = 60);

inline const QString NoFtpHostText = QStringLiteral("Ingen mottagare av felrapporter är inställd");

} // namespace support
