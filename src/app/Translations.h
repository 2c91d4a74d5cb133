#pragma once

#include <QTranslator>

namespace app {

// Swedish for Qt's own windows (the save and print dialogs, the text fields' context menu): Qt's
// catalogue, then the program's own catalogue of the texts that one lacks, searched first; dates
// and sizes in those windows in the Swedish manner. In force while the object lives.
class SwedishTranslations {
public:
    SwedishTranslations();
    ~SwedishTranslations();
    SwedishTranslations(const SwedishTranslations&) = delete;
    SwedishTranslations& operator=(const SwedishTranslations&) = delete;

private:
    QTranslator qt_;
    QTranslator own_;
};

} // namespace app
