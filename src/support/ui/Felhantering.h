#pragma once

#include <QString>

class QWidget;

namespace support {
class Context;
}

namespace support {

// The shared error routine: explains the failure held in ctx.error and offers the error report
// (RappForm). A refused file access gets its own explanation and no report.
void Felhantering(support::Context& ctx, QWidget* parent);

// The texts of the routine, in one place.
namespace felhantering {
inline const QString DeniedTitle = QStringLiteral("Otillåten filåtkomst");
QString deniedText();
// "Felspec. = " + the error text.
QString questionTitle(const QString& errorText);
// The headline followed by the explanation and the question.
QString questionText(const QString& headline);
} // namespace felhantering

} // namespace support
