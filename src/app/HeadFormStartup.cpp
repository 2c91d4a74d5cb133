// Start-up, the account register and the end of the program.

#include "app/HeadForm.h"

#include "accounts/ui/NyKontoForm.h"
#include "app/DateSelector.h"
#include "store/Cp1252.h"
#include "store/Errors.h"
#include "store/FileIo.h"
#include "store/GroupCommit.h"
#include "store/History.h"
#include "store/Records.h"
#include "support/ui/Trap.h"
#include "support/ui/WindowPosition.h"

#include <QComboBox>
#include <QLineEdit>

#include <fcntl.h>

namespace app {

namespace fs = std::filesystem;

namespace {

const QString CRLF = QStringLiteral("\r\n");

QString welcomePrompt() {
    return QStringLiteral("Ett program för Din hushållsekonomi") + CRLF + CRLF +
           QStringLiteral("Välkommen att testa Ollons Moniva !") + CRLF + CRLF +
           QStringLiteral("Då Du startar programmet för första gången,") +
           QStringLiteral(" bör Du lämpligen skriva in Ditt användarnamn härnedan,") +
           QStringLiteral(" som fortsättningsvis kommer att visas överst !") + CRLF + CRLF +
           QStringLiteral("Hoppas Du ska komma att gilla programmet, och att det blir till god") +
           QStringLiteral(" hjälp för hantering av Din ekonomi !") + CRLF + CRLF +
           QStringLiteral("Blir Du väldigt nöjd, får Du gärna visa det genom en donation,") +
           QStringLiteral(" en uppmuntran för mig för fortsatt utveckling !") + CRLF + CRLF +
           QStringLiteral("              Med Vänlig Hälsning") + CRLF +
           QStringLiteral("                     /Ollon");
}

// The first bytes of a file; fewer when the file is shorter, none when it cannot be read or is no
// regular file (a FIFO put in its place must not hold the start).
std::string firstBytes(const fs::path& path, std::size_t n) {
    store::io::UniqueFd fd;
    if (store::io::openRegular(AT_FDCWD, path.c_str(), true, fd) != 0)
        return {};
    return store::io::readAt(fd.get(), 0, n);
}

void removeIfPresent(const fs::path& path) {
    std::error_code ec;
    fs::remove(path, ec);
}

} // namespace

void HeadForm::Form_Load() {
    const QString productPage = ctx_.settings.page(QStringLiteral("Moni_5.php"));
    if (!productPage.isEmpty())
        ctx_.platform.fetchAndDiscard(productPage);
    dateSelector_->datumset(QString::fromStdString(ctx_.today));

    // A journal that is a link or not the program's own is told plainly, not as a fault of the
    // program, and the program ends without having touched it.
    QString unsafeJournal;
    const bool ready = support::trapped(
        ctx_, this,
        [&] {
            fs::create_directories(ctx_.paths.dataRoot());
            try {
                store::recoverGroupCommit(ctx_.paths.journalFolder());
            } catch (const store::UnsafeFolder& e) {
                unsafeJournal = QString::fromStdString(e.what());
                return;
            }
            store::removeLeftoverTempFiles(ctx_.paths.dataRoot());
        },
        [&] {
            return support::ErrorDescription{
                QStringLiteral("Ett fel har uppstått i subrutinen Form_Load") + CRLF +
                    QStringLiteral(" vid försök att skapa datamappen.") + CRLF + CRLF,
                {QStringLiteral("Fel i rutinen Form_Load"), QStringLiteral("vid försök att skapa datamappen"),
                 QStringLiteral("Datamapp = ") + QString::fromStdString(ctx_.paths.dataRoot().string())}};
        });
    // The history after the group commits: an undo cut short is finished on files that are whole.
    QString mismatch;
    if (ready && unsafeJournal.isEmpty())
        support::trapped(
            ctx_, this,
            [&] {
                try {
                    history_->recover();
                } catch (const store::HistoryMismatch& e) {
                    mismatch = QString::fromStdString(e.what());
                }
            },
            [&] {
                return support::describeFailure(QStringLiteral("Form_Load"),
                                                QStringLiteral(" vid läsning av ångrahistoriken."));
            });
    refreshUndoActions();
    Arr_Kontroller();
    show();
    // Said once, here: the menu entries stay disabled and tell it again.
    if (const auto& why = history_->unavailable())
        ctx_.dialogs.message(this, QStringLiteral("Ångra"), QString::fromStdString(*why),
                             support::Dialogs::Icon::Exclamation);
    if (!mismatch.isEmpty())
        ctx_.dialogs.message(this, QStringLiteral("Ångra"),
                             QStringLiteral("Ångrahistoriken stämmer inte med filerna och har tagits bort; "
                                            "ingenting har ändrats.\n\n") +
                                 mismatch);
    if (!unsafeJournal.isEmpty()) {
        ctx_.dialogs.message(this, QStringLiteral("Datamappen kan inte användas"),
                             unsafeJournal +
                                 QStringLiteral(".\n\nTa bort det som står i journalens ställe, eller "
                                                "starta programmet med en annan mapp (--drive). "
                                                "Programmet avslutas; ingen fil har ändrats."),
                             support::Dialogs::Icon::Critical);
        // Nothing is written on the way out either: the start-up and position files wait for a
        // start on a drive folder that can be used.
        ended_ = true;
        hide();
        emit programEnded();
        return;
    }
    if (!ready) {
        Exit_Konto();
        return;
    }
    if (!support::trapped(
            ctx_, this, [&] { placeWindow(); },
            [&] {
                return support::ErrorDescription{
                    QStringLiteral("Ett fel har uppstått i subrutinen Form_Load") + CRLF +
                        QStringLiteral(" vid placering av fönstret.") + CRLF + CRLF,
                    {QStringLiteral("Fel i rutinen Form_Load"), QStringLiteral("vid placering av fönstret")}};
            }))
        return;
    Inläs_Kontofil();
}

void HeadForm::placeWindow() {
    {
        store::RecordFile posFil(ctx_.paths.posFil(), store::PosRec::Length);
        if (posFil.byteLength() == 0) {
            store::PosRec rec{std::string_view{}}; // the other windows' pairs stay unwritten
            rec.setPosition(static_cast<int>(store::WindowPair::HeadForm), 1500, 3500);
            posFil.write(1, rec);
            posFil.commit();
        }
    }
    support::restoreWindowPosition(ctx_, *this, store::WindowPair::HeadForm);
}

void HeadForm::Inläs_Kontofil() {
    int level = 0;
    support::trapped(
        ctx_, this,
        [&] {
            level = 1;
            if (!readStartupFile(level)) {
                level = 3;
                if (!NamnReg())
                    return;
                kontoNum_ = 1;
                writeKontoIni();
            }
            ctx_.userName = userName_.toStdString();
            setWindowTitle(QStringLiteral("Ollons Moniva 5 för ") + userName_);

            level = 5;
            store::RecordFile kontoFil(ctx_.paths.kontoFil(), store::KontoRec::Length);
            if (kontoFil.count() == 0) {
                const fs::path older = ctx_.startupDir / "KontoFil";
                const bool olderHasRecords =
                    fs::is_regular_file(older) &&
                    (fs::file_size(older) + store::KontoRec::Length / 2) / store::KontoRec::Length > 0;
                if (!olderHasRecords) {
                    accountPicker_->clear();
                    First_account();
                    return;
                }
                level = 6;
                moveOlderRegister(kontoFil);
            }
            radkoAction_->setEnabled(true);

            level = 7;
            fillAccountList(kontoFil);
            level = 8;
            int found = accountPicker_->findData(kontoNum_);
            if (found < 0 && accountPicker_->count() > 0) {
                // The account of the last run has been removed since: the first account opens.
                found = 0;
                kontoNum_ = accountPicker_->itemData(0).toInt();
            }
            if (found >= 0)
                accountBox_->setText(accountPicker_->itemText(found).trimmed());
            if (accountPicker_->count() == 0) {
                First_account();
                return;
            }
            level = 9;
            InstallDag();
            level = 10;
            Konto_Konfig();
        },
        [&] {
            return support::ErrorDescription{
                QStringLiteral("Ett fel har uppstått i subrutinen Inläs_Kontofil, Nivå = ") +
                    QString::number(level) + QStringLiteral("\n"),
                {QStringLiteral("Fel i rutinen Inläs_Kontofil"),
                 QStringLiteral("Nivå = ") + QString::number(level),
                 QStringLiteral("Text10 = ") + accountBox_->text(),
                 QStringLiteral("KontoNum = ") + QString::number(kontoNum_)}};
        });
}

bool HeadForm::readStartupFile(int& level) {
    if (const auto ini = accounts::readKontoIni(ctx_.paths.kontoIni())) {
        kontoNum_ = ini->kontoNum;
        userName_ = QString::fromStdString(ini->userName);
        return true;
    }
    removeIfPresent(ctx_.paths.kontoIni());
    level = 2;
    // The older layout kept the start-up file in the start-up folder.
    const fs::path older = ctx_.startupDir / "KontoIni";
    if (const auto ini = accounts::readKontoIni(older)) {
        kontoNum_ = ini->kontoNum;
        userName_ = QString::fromStdString(ini->userName);
        writeKontoIni();
        return true;
    }
    removeIfPresent(older);
    return false;
}

void HeadForm::writeKontoIni() {
    accounts::writeKontoIni(ctx_.paths.kontoIni(), {kontoNum_, userName_.toStdString()});
}

bool HeadForm::NamnReg() {
    for (;;) {
        const QString answer =
            ctx_.dialogs.input(this, welcomePrompt(), QStringLiteral("Ditt användarnamn"), QString());
        if (answer.trimmed().isEmpty()) {
            if (ctx_.dialogs.question(
                    this, QStringLiteral("Användarnamn"),
                    QStringLiteral("Användarnamn saknas !\nVill du avsluta programmet ?"))) {
                Exit_Konto();
                return false;
            }
            continue;
        }
        if (!store::utf8ToCp1252(answer.toStdString())) {
            // The name is stored in Windows-1252; a character it cannot hold would be lost.
            ctx_.dialogs.message(this, QStringLiteral("Användarnamn"),
                                 QStringLiteral("Användarnamnet innehåller tecken som inte kan sparas !\n"
                                                "Skriv namnet med andra tecken."),
                                 support::Dialogs::Icon::Exclamation);
            continue;
        }
        userName_ = answer;
        return true;
    }
}

void HeadForm::First_account() {
    if (ctx_.dialogs.question(this, QStringLiteral("Inget konto finns upplagt !"),
                              QStringLiteral("Vill du lägga upp ett första konto nu ?"))) {
        openNewAccountForm();
        installDate_ = QString::fromStdString(ctx_.today);
        ctx_.installDate = ctx_.today;
    } else {
        NoAccount();
    }
}

void HeadForm::NoAccount() {
    if (ctx_.dialogs.question(
            this, QStringLiteral("KONTOUPPGIFT"),
            QStringLiteral("Uppgifter om konton saknas och har\ninte lästs in till programmet !\n\n"
                           "Vill du avsluta programmet nu ?"))) {
        Exit_Konto();
        return;
    }
    ctx_.dialogs.message(this, QStringLiteral("KONTOUPPGIFT"),
                         QStringLiteral("Saknas uppgifter om konton !"));
    accountBox_->setText(QStringLiteral("Konto saknas !"));
    Lock_Kontroller();
}

void HeadForm::moveOlderRegister(store::RecordFile& kontoFil) {
    const store::RecordFile older(ctx_.startupDir / "KontoFil", store::KontoRec::Length,
                                  store::RecordFile::Missing::Fail);
    for (std::size_t n = 1; n <= older.count(); ++n)
        kontoFil.writeRaw(n, older.readRaw(n));
    store::GroupCommit group(ctx_.paths.journalFolder());
    FolderTransfer(kontoFil, group);
    group.stage(kontoFil);
    group.commit();
}

void HeadForm::FolderTransfer(store::RecordFile& kontoFil, store::GroupCommit& group) {
    const std::string drivePrefix = (ctx_.paths.driveFolder() / "").string();
    const std::string movedPlacering = *store::utf8ToCp1252(drivePrefix + "MoniData");
    static const char* const accountFiles[] = {"B-mall", "Kategori", "KontoData", "Transakt"};
    for (std::size_t n = 1; n <= kontoFil.count(); ++n) {
        auto rec = kontoFil.read<store::KontoRec>(n);
        if (rec.isFree())
            continue; // a freed slot names no folder
        std::string placering = store::cp1252ToUtf8(rec.text(store::KontoRec::Placering));
        std::replace(placering.begin(), placering.end(), '\\', '/');
        // Created under this drive folder: Placering is the drive prefix, cut to its field.
        const std::size_t compared = std::min(drivePrefix.size(), store::KontoRec::Placering.width);
        if (placering.compare(0, compared, drivePrefix, 0, compared) == 0)
            continue;
        const fs::path folder = ctx_.paths.accountFolder(rec.name());
        group.createFolder(folder);
        const fs::path oldFolder = fs::path(placering) / store::cp1252ToUtf8(rec.name());
        // A Placering that is no absolute folder of this system has no files to copy.
        std::error_code ec;
        if (oldFolder.is_absolute() && fs::is_directory(oldFolder, ec) &&
            !fs::equivalent(oldFolder, folder, ec)) {
            for (const char* file : accountFiles)
                if (fs::is_regular_file(oldFolder / file, ec))
                    group.stage(folder / file, store::readWholeFile(oldFolder / file));
        }
        rec.set(store::KontoRec::Placering, movedPlacering);
        kontoFil.write(n, rec);
    }
}

void HeadForm::fillAccountList(const store::RecordFile& kontoFil) {
    accountPicker_->clear();
    for (const auto& entry : accounts::listAccounts(kontoFil))
        accountPicker_->addItem(QString::fromStdString(entry.listText), entry.recordNumber);
    accountPicker_->setCurrentIndex(-1);
}

void HeadForm::InstallDag() {
    const std::string first = firstBytes(ctx_.paths.kontoFil(), store::KontoRec::Length);
    store::KontoRec rec{first};
    if (rec.isFree() && accountPicker_->count() > 0) {
        // Record 1 was freed: the oldest account still registered tells the date instead.
        store::RecordFile kontoFil(ctx_.paths.kontoFil(), store::KontoRec::Length);
        rec = kontoFil.read<store::KontoRec>(static_cast<std::size_t>(accountPicker_->itemData(0).toInt()));
    }
    const auto kind = ledger::kindFromCode(rec.text(store::KontoRec::KontoTyp));
    if (!kind || rec.isFree())
        return;
    fs::path postFile;
    try {
        postFile = ctx_.paths.kontoData(rec.name());
    } catch (const store::DataError&) {
        return;
    }
    const store::PostRec_Budget post{firstBytes(postFile, ledger::recordLength(*kind))};
    const std::string date = post.text(store::PostRec_Budget::Datum);
    if (store::parseDate(date)) {
        installDate_ = QString::fromStdString(date);
        ctx_.installDate = date;
    }
}

void HeadForm::Exit_Konto() {
    if (ended_)
        return;
    ended_ = true;
    support::trapped(
        ctx_, this,
        [&] {
            writeKontoIni();
            support::storeWindowPosition(ctx_, *this, store::WindowPair::HeadForm);
        },
        [&] {
            return support::ErrorDescription{
                QStringLiteral("Ett fel har uppstått i subrutinen Exit_Konto") + CRLF +
                    QStringLiteral(" vid försök att spara start- och positionsfilerna.") + CRLF + CRLF,
                {QStringLiteral("Fel i rutinen Exit_Konto"),
                 QStringLiteral("KontoNum = ") + QString::number(kontoNum_)}};
        });
    closeAccountFiles();
    if (nyKontoForm_)
        nyKontoForm_->close();
    hide();
    emit programEnded();
}

} // namespace app
