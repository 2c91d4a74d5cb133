#include "app/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>

#include <clocale>

namespace app {

SwedishTranslations::SwedishTranslations() {
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (qt_.load(QStringLiteral("qt_sv"), folder) || qt_.load(QStringLiteral("qtbase_sv"), folder))
        QCoreApplication::installTranslator(&qt_);
    // Debian's qt_sv is the catalogue of an older Qt: many texts of this Qt's dialogs are missing
    // from it. The program's own (translations/moniva_qt_sv.ts, built in) fills them in.
    if (own_.load(QStringLiteral(":/translations/moniva_qt_sv.qm")))
        QCoreApplication::installTranslator(&own_);
    QLocale::setDefault(QLocale(QLocale::Swedish, QLocale::Sweden));
}

SwedishTranslations::~SwedishTranslations() {
    QCoreApplication::removeTranslator(&own_);
    QCoreApplication::removeTranslator(&qt_);
    QLocale::setDefault(QLocale::system());
}

SwedishDatesAtStart::SwedishDatesAtStart()
    : claimed_(qEnvironmentVariableIsEmpty("LC_ALL")), hadTime_(qEnvironmentVariableIsSet("LC_TIME")),
      userTime_(qgetenv("LC_TIME")) {
    if (claimed_)
        qputenv("LC_TIME", "sv_SE.UTF-8");
}

void SwedishDatesAtStart::applicationMade() const {
    if (!claimed_)
        return;
    (void)QLocale::system(); // read now, while the environment names Swedish
    if (hadTime_)
        qputenv("LC_TIME", userTime_);
    else
        qunsetenv("LC_TIME");
    std::setlocale(LC_ALL, "");
}

} // namespace app
