#include "FakePlatform.h"

#include <fstream>
#include <iterator>

namespace uitest {

support::UploadResult FakePlatform::uploadReport(const std::filesystem::path& file) {
    uploadedFiles.push_back(file);
    std::ifstream in(file, std::ios::binary);
    uploadedContents.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return uploadResult;
}

} // namespace uitest
