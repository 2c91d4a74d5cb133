#pragma once

#include "catalogue/Replacement.h"
#include "catalogue/ui/CatalogueHost.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <string>

class QWidget;

namespace catalogue {

// The texts of a transaction name in the account's files: Windows-1252, or empty when a character
// cannot be stored (the user has then been told so).
std::optional<std::string> storableName(CatalogueHost& host, QWidget* parent, const QString& name);

// TransSpar: stores name and sign ("+", "-" or "") as a new main transaction, makes it the chosen
// one and, for caller "head", gives the main window back with the list rebuilt, the name in the
// transaction box and the amount box open. For caller "budg" the budget alternatives window
// refreshes its conditions. Returns the new record number, 0 when the saving failed (reported
// through the error routine).
int TransSpar(CatalogueHost& host, QWidget* parent, const QString& name, const QString& sign,
              const QString& caller);

// Skapa_StdTrans: finds the account's standard transaction, or asks for a name and creates it,
// and switches the cash-book entry into balance entry.
void Skapa_StdTrans(CatalogueHost& host, QWidget* parent);

// ChgAccountTrans: another main transaction for the marked post or for all posts of one
// transaction, with the balance check when the sign changed and the ledger view read again. The
// result (empty when the procedure failed) is for the caller's report.
std::optional<ReplaceResult> ChgAccountTrans(CatalogueHost& host, QWidget* parent,
                                             const Replacement& replacement);

// The error report's lines for the post a pass stood at when it failed: "PostNr " + its number,
// then its amounts and balances before the change and, once worked out, after it.
QStringList traceLines(const PostTrace& trace, bool budget);

// The limit message when a change would take a balance beyond the amount limit or its field.
void showLimitRefusal(CatalogueHost& host, QWidget* parent);

} // namespace catalogue
