#include "app/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>

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

} // namespace app
