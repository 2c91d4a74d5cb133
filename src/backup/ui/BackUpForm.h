#pragma once

#include <QString>
#include <QWidget>

#include <filesystem>
#include <functional>

class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace support {
class Context;
}

namespace backup {

// The backup window ("Backup / Äterställ"): copies the open account or the whole data root to a
// time-stamped folder in the root of a chosen drive, and copies such a folder back.
//
// A window of its own (application modal) owned by parent. openAccount names the open account
// (UTF-8, "" when none); restored is called after a restore has written files, as the window
// closes, so the main window reads the register and the open account again instead of saving its
// old images over the restored files; it returns the name of the account open after that ("" when
// none), which the completion message tells.
class BackUpForm : public QWidget {
    Q_OBJECT
public:
    BackUpForm(support::Context& ctx, QWidget* parent, std::function<QString()> openAccount = {},
               std::function<QString()> restored = {});
    ~BackUpForm() override;

    // Cancel: back to the idle state from any state.
    void cancel();
    // Close: the position is stored when it changed.
    void quit();
    // Starts a backup: the drive list is filled and shown.
    void startBackup();
    // Starts a restore.
    void startRestore();
    // Fills DrvList with the usable drives, the drive kind as item data.
    void Enhetslista();
    void DrvList_MouseDown(int row);
    // "Detta konto" and "Alla konton": a backup is made at once, a restore is armed.
    void chooseThisAccount();
    void chooseAllAccounts();
    // Restores from the backup folder in that row of folderList.
    void restoreFrom(int row);
    // Waits the seconds while the window keeps painting; false when the window went away meanwhile.
    bool Backp(int seconds);

    // "BU", "RE" or "" (no mode).
    const QString& mode() const { return mode_; }
    // The chosen drive's text ("/media/anna/USB/"), "" while none is chosen.
    const QString& chosenDrive() const { return chosenDrive_; }
    // "1" this account, "0" all accounts, "" while no restore is armed.
    const QString& restoreScope() const { return restoreScope_; }
    // infoBox as written, with CR LF line ends (the control shows plain line feeds).
    const QString& info() const { return info_; }
    const std::filesystem::path& lastBackupFolder() const { return lastBackup_; }
    int designHeight() const { return DesignHeight; }
    int idleHeight() const { return DesignHeight * 83 / 100; }
    // The length of one second of Backp; tests make it short.
    void setSecondLength(int milliseconds) { secondLength_ = milliseconds; }

    static constexpr int DesignWidth = 600;
    static constexpr int DesignHeight = 420;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load();
    // Copies the open account's folder to a new backup folder on the chosen drive.
    void KontoBackUp();
    // Copies the whole data root to a new backup folder on the chosen drive.
    void AllBackUp();
    // The last word before a restore: for all accounts the register test first, then one question
    // naming the backup's date and time and the accounts it replaces. False when declined.
    bool confirmRestore(const std::filesystem::path& folder, bool thisAccount);
    // The copies; kept is where the replaced files went (empty when none was replaced).
    bool KontoRecover(const std::filesystem::path& folder, std::filesystem::path& kept);
    bool AllRecover(const std::filesystem::path& folder, std::filesystem::path& kept);
    // Arms the restore with the backups found in the chosen drive, or says there are none.
    void armRestore(bool thisAccount);

    void setInfo(const QString& text);
    void showIdle();
    void showChoosing();
    void clearOptions();
    void showWait();
    void hideWait();
    void closeWindow();
    QString accountName() const;

    support::Context& ctx_;
    std::function<QString()> openAccount_;
    std::function<QString()> restored_;
    QString mode_;
    QString chosenDrive_;
    std::filesystem::path chosenRoot_;
    QString restoreScope_;
    QString info_;
    QString waitText_;
    std::filesystem::path lastBackup_;
    int secondLength_ = 1000;
    bool loaded_ = false;
    bool busy_ = false;
    bool closing_ = false;
    bool waiting_ = false; // the wait cursor is set

    QPlainTextEdit* infoBox_;
    QPushButton* backupButton_;
    QPushButton* restoreButton_;
    QLabel* driveTitle_;
    QListWidget* drvList_;
    QRadioButton* thisAccountOption_;
    QRadioButton* allAccountsOption_;
    QListWidget* folderList_;
    QLabel* waitLabel_;
    QPushButton* cancelButton_;
    QPushButton* quitButton_;
};

} // namespace backup
