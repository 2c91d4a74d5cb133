#pragma once

#include "support/ui/Platform.h"

#include <QString>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace uitest {

// A desktop that only remembers what it was asked to do. An upload answers with uploadResult and
// keeps a copy of the file as it was at that moment (the caller may delete it afterwards).
class FakePlatform : public support::Platform {
public:
    std::vector<QString> openedUrls;
    std::vector<int> helpContexts;
    std::vector<QString> fetchedUrls;
    std::vector<std::filesystem::path> uploadedFiles;
    std::vector<std::string> uploadedContents; // raw bytes, "" when the file could not be read
    support::UploadResult uploadResult{true, {}};
    std::vector<backup::MountInfo> mounts; // what mountedDrives answers
    bool printers = true;                  // what printersInstalled answers

    void openUrl(const QString& url) override { openedUrls.push_back(url); }
    void showHelp(int contextNumber) override { helpContexts.push_back(contextNumber); }
    support::UploadResult uploadReport(const std::filesystem::path& file) override {
        uploadedFiles.push_back(file);
        std::ifstream in(file, std::ios::binary);
        uploadedContents.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        return uploadResult;
    }
    void fetchAndDiscard(const QString& url) override { fetchedUrls.push_back(url); }
    std::vector<backup::MountInfo> mountedDrives() override { return mounts; }
    bool printersInstalled() override { return printers; }
};

} // namespace uitest
