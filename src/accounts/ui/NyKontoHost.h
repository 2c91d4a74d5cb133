#pragma once

#include <QString>

class QWidget;

namespace accounts {

// What the new-account window needs of the main window, and all it may touch there.
class NyKontoHost {
public:
    virtual ~NyKontoHost() = default;
    // Disabled while the new-account window is open, enabled again when it closes.
    virtual QWidget* hostWindow() = 0;
    virtual QString workingDate() const = 0;
    virtual QString userName() const = 0;
    // The account list holds at least one account.
    virtual bool hasAccounts() const = 0;
    // Releases the open account's files before another account becomes the current one.
    virtual void closeAccountFiles() = 0;
    // Re-reads the register and opens the current account (the new one after a creation).
    virtual void Inläs_Kontofil() = 0;
    // The user left without any account: offers to end the program.
    virtual void NoAccount() = 0;
};

} // namespace accounts
