#pragma once

#include "backup/Drives.h"

#include <QString>

#include <filesystem>
#include <vector>

namespace support {

// Outcome of an upload: ok, or the reason it failed in the transfer library's words.
struct UploadResult {
    bool ok = false;
    QString error;
};

// What the program asks of the desktop and the network.
class Platform {
public:
    virtual ~Platform() = default;

    // Opens an address in the system browser.
    virtual void openUrl(const QString& url) = 0;
    // Opens the help window at a context number (10000 Översikt, 20000 Transaktioner, ...).
    virtual void showHelp(int contextNumber) = 0;
    // Uploads a file by FTP (passive mode) to the configured host, stored under its own name.
    virtual UploadResult uploadReport(const std::filesystem::path& file) = 0;
    // Requests a page and throws the answer away (the product page at start-up).
    virtual void fetchAndDiscard(const QString& url) = 0;
    // The mounted file systems, for the backup window's drive list (which keeps the usable ones).
    virtual std::vector<backup::MountInfo> mountedDrives() = 0;
    // True when the desktop has at least one printer; without one a report is offered as a PDF.
    virtual bool printersInstalled() = 0;
};

} // namespace support
