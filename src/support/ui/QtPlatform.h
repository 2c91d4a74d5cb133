#pragma once

#include "support/ui/Platform.h"
#include "support/ui/Settings.h"

#include <functional>
#include <memory>

class QNetworkAccessManager;

namespace support {

// The desktop and the network of the running program.
class QtPlatform : public Platform {
public:
    explicit QtPlatform(Settings settings);
    ~QtPlatform() override;

    // An empty address opens nothing.
    void openUrl(const QString& url) override;
    // Handed to the help handler when one is installed; otherwise the help window shows the page.
    void showHelp(int contextNumber) override;
    // FTP to the configured host; with no host configured this is a failure, not a silent success.
    UploadResult uploadReport(const std::filesystem::path& file) override;
    // An empty address makes no request.
    void fetchAndDiscard(const QString& url) override;
    // The mounts QStorageInfo lists, the removable flag read from /sys/block.
    std::vector<backup::MountInfo> mountedDrives() override;
    bool printersInstalled() override;

    void setHelpHandler(std::function<void(int)> handler) { helpHandler_ = std::move(handler); }

private:
    Settings settings_;
    std::function<void(int)> helpHandler_;
    std::unique_ptr<QNetworkAccessManager> network_; // made at the first request
};

} // namespace support
