#include "support/ui/Trap.h"

#include "store/Errors.h"
#include "store/History.h"
#include "support/ui/Context.h"
#include "support/ui/Felhantering.h"

#include <exception>
#include <string>
#include <system_error>
#include <vector>

namespace support {

namespace {

// The system's error number behind a failure, when it has one (0 otherwise). Both system and
// generic error codes are errno values on this platform.
int errorNumber(const std::error_code& code) {
    return code.category() == std::system_category() || code.category() == std::generic_category()
               ? code.value()
               : 0;
}

void report(support::Context& ctx, QWidget* parent, const std::function<ErrorDescription()>& describe,
            std::string errorText, int errorCode) {
    ErrorDescription d;
    try {
        d = describe();
    } catch (...) {
        // A description that fails itself must not hide the original failure.
        d.headline = QStringLiteral("Ett fel har uppstått\r\n\r\n");
    }
    std::vector<std::string> items;
    items.reserve(static_cast<std::size_t>(d.details.size()));
    for (const QString& item : d.details)
        items.push_back(item.toStdString());
    ctx.error.headline = d.headline.toStdString();
    ctx.error.details = joinDetails(items);
    ctx.error.errorText = std::move(errorText);
    ctx.error.errorCode = errorCode;
    Felhantering(ctx, parent);
}

} // namespace

QString failureHeadline(const QString& routine, const QString& situation) {
    return QStringLiteral("Ett fel har uppstått i subrutinen ") + routine + QStringLiteral("\r\n") +
           situation + QStringLiteral("\r\n\r\n");
}

ErrorDescription describeFailure(const QString& routine, const QString& situation,
                                 const QStringList& values) {
    QString item = situation.trimmed();
    if (item.endsWith(QLatin1Char('.')))
        item.chop(1);
    QStringList details{QStringLiteral("Fel i rutinen ") + routine, item};
    details += values;
    return {failureHeadline(routine, situation), details};
}

bool trapped(support::Context& ctx, QWidget* parent, const std::function<void()>& body,
             const std::function<ErrorDescription()>& describe) {
    try {
        {
            // What the procedure commits is one step to undo, whether it ends or fails part-way.
            store::ChangeScope change;
            body();
        }
        return true;
    } catch (const store::FileError& e) {
        report(ctx, parent, describe, e.what(), errorNumber(e.code()));
    } catch (const std::system_error& e) { // std::filesystem::filesystem_error among them
        report(ctx, parent, describe, e.what(), errorNumber(e.code()));
    } catch (const std::exception& e) {
        report(ctx, parent, describe, e.what(), 0);
    } catch (...) {
        report(ctx, parent, describe, "Okänt fel", 0);
    }
    return false;
}

} // namespace support
