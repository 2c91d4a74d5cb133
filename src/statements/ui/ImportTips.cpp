#include "statements/ui/ImportTips.h"

#include "statements/ImportFiles.h"
#include "store/Amount.h"
#include "store/DateText.h"

#include <map>
#include <string>
#include <system_error>

namespace statements {

QString importTip(const std::filesystem::path& importlogg, std::string_view date,
                  std::string_view shownAmount) {
    // The grid asks once per shown row at every scroll step: the log is kept while it stays the same.
    static std::filesystem::path cachedPath;
    static std::filesystem::file_time_type cachedTime;
    static std::uintmax_t cachedSize = 0;
    static std::map<std::string, std::string> texts; // date + ' ' + amount -> the bank's text
    std::error_code error;
    const auto status = std::filesystem::symlink_status(importlogg, error);
    if (error || !std::filesystem::is_regular_file(status))
        return {};
    const auto time = std::filesystem::last_write_time(importlogg, error);
    const auto size = std::filesystem::file_size(importlogg, error);
    if (error)
        return {};
    if (importlogg != cachedPath || time != cachedTime || size != cachedSize) {
        texts.clear();
        cachedPath = importlogg;
        cachedTime = time;
        cachedSize = size;
        try {
            for (const LogEntry& entry : parseLog(readImportFile(importlogg)))
                texts[store::dateText(entry.date) + ' ' + store::displayAmount(entry.amount)] = entry.text;
        } catch (...) {
            texts.clear(); // a damaged log only loses the tooltips
        }
    }
    const auto it = texts.find(std::string(date) + ' ' + std::string(shownAmount));
    return it == texts.end() ? QString() : QString::fromStdString(it->second);
}

} // namespace statements
