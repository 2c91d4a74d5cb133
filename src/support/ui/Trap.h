#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

namespace support {
class Context;
}

namespace support {

// What a procedure was doing when it failed. headline: "Ett fel har uppstått i subrutinen X" +
// CRLF + situation + CRLF CRLF. details: "Fel i rutinen X", then the situation and one item per
// value of interest ("PostNr = 12"); they are joined with the separator character.
struct ErrorDescription {
    QString headline;
    QStringList details;
};

// "Ett fel har uppstått i subrutinen " + routine, the situation on the next line, an empty line:
// the headline of every error description.
QString failureHeadline(const QString& routine, const QString& situation);

// The usual description: "Ett fel har uppstått i subrutinen " + routine, the situation on the next
// line; the details "Fel i rutinen " + routine, the situation (trimmed, without its full stop) and
// the values of interest.
ErrorDescription describeFailure(const QString& routine, const QString& situation,
                                 const QStringList& values = {});

// The one error trap of every window procedure of weight. Runs body; when it throws, the shared
// error state of ctx is filled (headline, joined details, and the failure's own text as error
// text) and Felhantering explains it and offers the report. describe is called only then, so it
// can tell the state at the moment of failure.
//
// Returns true when body ran through, false when it was trapped: the procedure then ends.
//
//   if (!support::trapped(ctx, this, [&] { ... }, [&] { return ErrorDescription{...}; }))
//       return;
bool trapped(support::Context& ctx, QWidget* parent, const std::function<void()>& body,
             const std::function<ErrorDescription()>& describe);

} // namespace support
