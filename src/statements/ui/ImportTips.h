#pragma once

#include <QString>

#include <filesystem>
#include <string_view>

namespace statements {

// The bank's text of the imported row a post came from, found in the account's Importlogg by the
// post's date and amount as the grids show them ("2026-11-20", "-312,00"); empty when no imported
// row matches. The log is read again only when the file changed. Never throws: a log that cannot be
// read gives no texts.
QString importTip(const std::filesystem::path& importlogg, std::string_view date,
                  std::string_view shownAmount);

} // namespace statements
