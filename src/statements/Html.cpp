#include "statements/Html.h"

#include "statements/Text.h"

#include <libxml/HTMLparser.h>
#include <libxml/tree.h>

#include <climits>
#include <cstring>
#include <map>
#include <memory>
#include <string>

namespace statements {

namespace {

struct DocFree {
    void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
};

bool isElement(const xmlNode* node, const char* name) {
    return node->type == XML_ELEMENT_NODE && node->name != nullptr &&
           xmlStrcasecmp(node->name, reinterpret_cast<const xmlChar*>(name)) == 0;
}

// The next node in document order within `root`'s subtree; `descend` false skips node's children.
const xmlNode* nextNode(const xmlNode* node, const xmlNode* root, bool descend) {
    if (descend && node->children != nullptr)
        return node->children;
    while (node != root) {
        if (node->next != nullptr)
            return node->next;
        node = node->parent;
    }
    return nullptr;
}

// The cell's text without the text of tables nested in it; elements end words.
std::string cellText(const xmlNode* cell) {
    std::string out;
    for (const xmlNode* n = cell->children != nullptr ? cell->children : nullptr; n != nullptr;) {
        const bool nested = isElement(n, "table");
        if (n->type == XML_TEXT_NODE || n->type == XML_CDATA_SECTION_NODE) {
            if (n->content != nullptr)
                out += reinterpret_cast<const char*>(n->content);
        } else if (n->type == XML_ELEMENT_NODE) {
            out += ' ';
        }
        n = nextNode(n, cell, !nested);
    }
    return text::cleanText(out);
}

const xmlNode* tableOf(const xmlNode* row) {
    int depth = 0;
    for (const xmlNode* n = row->parent; n != nullptr && depth < 64; n = n->parent, ++depth)
        if (isElement(n, "table"))
            return n;
    return nullptr;
}

} // namespace

HtmlRows readHtmlRows(std::string_view utf8) {
    HtmlRows out;
    if (utf8.size() > static_cast<std::size_t>(INT_MAX))
        return out;
    xmlInitParser();
    const std::unique_ptr<xmlDoc, DocFree> doc(
        htmlReadMemory(utf8.data(), static_cast<int>(utf8.size()), nullptr, "UTF-8",
                       HTML_PARSE_NONET | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_IGNORE_ENC));
    if (!doc)
        return out;
    const xmlNode* root = xmlDocGetRootElement(doc.get());
    std::map<const xmlNode*, int> tables;
    std::map<int, int> rowsInTable;
    for (const xmlNode* n = root; n != nullptr; n = nextNode(n, root, true)) {
        if (!isElement(n, "tr"))
            continue;
        const auto [at, added] = tables.emplace(tableOf(n), static_cast<int>(tables.size()));
        CsvRecord record;
        record.line = ++rowsInTable[at->second];
        for (const xmlNode* c = n->children; c != nullptr; c = c->next)
            if (isElement(c, "td") || isElement(c, "th"))
                record.cells.push_back(cellText(c));
        out.rows.push_back(std::move(record));
        out.table.push_back(at->second);
    }
    return out;
}

bool looksLikeHtml(std::string_view utf8) {
    const std::string_view start = text::trim(utf8.substr(0, 4096));
    return !start.empty() && start.front() == '<' &&
           text::findNoCase(utf8.substr(0, 1 << 20), "<tr") != std::string_view::npos;
}

} // namespace statements
