#include "support/ui/Trap.h"

#include "app/Context.h"
#include "support/ui/Felhantering.h"

#include <exception>
#include <string>
#include <vector>

namespace support {

namespace {

void report(app::Context& ctx, QWidget* parent, const std::function<ErrorDescription()>& describe,
            std::string errorText) {
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
    Felhantering(ctx, parent);
}

} // namespace

bool trapped(app::Context& ctx, QWidget* parent, const std::function<void()>& body,
             const std::function<ErrorDescription()>& describe) {
    try {
        body();
        return true;
    } catch (const std::exception& e) {
        report(ctx, parent, describe, e.what());
    } catch (...) {
        report(ctx, parent, describe, "Okänt fel");
    }
    return false;
}

} // namespace support
