#pragma once

#include "statements/Csv.h"

#include <string_view>
#include <vector>

namespace statements {

// The rows of every table of an HTML page (a bank's ".xls" that is really a web page), in the
// order they begin. A cell's text leaves out tables nested in it; those rows come as rows of their
// own. `table` tells which table each row belongs to; a row's line is its number in its table.
struct HtmlRows {
    std::vector<CsvRecord> rows;
    std::vector<int> table;
};

// Parsed with libxml2's HTML parser without network access or error output. `utf8` is the page
// already decoded; a charset the page names is ignored.
HtmlRows readHtmlRows(std::string_view utf8);

// True when the text looks like an HTML page with a table rather than delimited text.
bool looksLikeHtml(std::string_view utf8);

} // namespace statements
