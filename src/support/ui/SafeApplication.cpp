#include "support/ui/SafeApplication.h"

#include "support/ui/Trap.h"

#include <QWidget>

#include <exception>

namespace support {

SafeApplication::SafeApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool SafeApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        const std::exception_ptr failure = std::current_exception();
        const QString where = receiver && !receiver->objectName().isEmpty()
                                  ? receiver->objectName()
                                  : QString::fromLatin1(receiver ? receiver->metaObject()->className() : "?");
        if (!ctx_) {
            qWarning("Ett fel nådde programmets händelsehantering (%s)", qPrintable(where));
            return false;
        }
        trapped(
            *ctx_, activeWindow(), [&] { std::rethrow_exception(failure); },
            [&] {
                return ErrorDescription{QStringLiteral("Ett fel har uppstått i programmet\r\n"
                                                       " vid hantering av en händelse.\r\n\r\n"),
                                        {QStringLiteral("Fel i händelsehanteringen"),
                                         QStringLiteral("Mottagare = ") + where,
                                         QStringLiteral("Händelse = ") + QString::number(event->type())}};
            });
        return false;
    }
}

} // namespace support
