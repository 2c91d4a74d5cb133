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

// Qt's file dialog writes dates in the manner of the system locale, which Qt reads from the
// environment once, as the application starts. Made before the application object, this names
// Swedish dates for that moment (unless LC_ALL rules every category); applicationMade() then gives
// the environment and the C library back the user's own settings, for child processes as well.
class SwedishDatesAtStart {
public:
    SwedishDatesAtStart();
    void applicationMade() const;

private:
    bool claimed_ = false;
    bool hadTime_ = false;
    QByteArray userTime_;
};

} // namespace app
