#include "backup/ui/BackUpForm.h"

#include "TestContext.h"
#include "UiHelpers.h"
#include "app/HeadForm.h"
#include "backup/Backup.h"
#include "fixtures/AccountFiles.h"
#include "store/Errors.h"
#include "store/RecordFile.h"
#include "support/ErrorReport.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <memory>

namespace {

namespace fs = std::filesystem;
using fixtures::filesUnder;
using uitest::control;
using Kind = uitest::ScriptedDialogs::Kind;

const QString CRLF = "\r\n";
const QString Hushall = "Hushåll";
const std::string HushallUtf8 = "Hush\xC3\xA5ll";
const std::string Stamp = "202612061011"; // the test context's 2026-12-06 at 10:11:12

const QString Intro =
    "Programmets arbetsfiler kan säkerhetskopieras och förvaras på annan hårddisk eller på ett "
    "USB-minne !\r\nOm USB-minne föredras, ska detta sättas in i avsedd port. Därefter klickas på "
    "kommandoknappen 'BackUp !\r\n\r\nHar filerna tidigare säkerhetskopierats, kan de med några "
    "klick återställas, i de fall någon eller några har skadats eller efter en ominstallation av "
    "programmet.\r\nDet är fördelaktigt om säkerhetskopiorna då är någorlunda aktuella !\r\n\r\n"
    "Med nedanstående kontrollknappar kan väljas 'BackUp' eller 'Återställ' !";
const QString BackupGuide =
    "Listan visar samtliga drive-enheter användbara för kopiering, inklusive ev. USB-enhet.\r\n"
    "Klicka i listan på den enhet som avses för säkerhetskopieringen.\r\n\r\n";
const QString RestoreGuide =
    "Listan nedan visar möjliga drive-enheter för tidigare utförd BackUp,  inkl. ev. USB-enhet.\r\n"
    "Klicka i listan på antagen enhetsbeteckning !\r\n\r\nEn sammanställning visas av enhetens "
    "katalogstruktur, där någon av de tidigare skapade BackUp-katalogerna bör återfinnas !\r\n\r\n";
const QString Cancelled =
    "Det finns möjligheter att säkerhetskopiera de arbetsfiler som programmet använder, och förvara dem på "
    "annan hårddisk, eller på ett USB-minne.\r\n\r\nFöredrar du USB-minne, sätter du in detta i avsedd port "
    "!\r\n\r\n"
    "Om du tidigare har säkerhetskopierat filerna, kan du med några klick återställa dem, för den händelse "
    "att någon eller några blivit skadade, eller efter ett byte av dator.\r\nViktigt är då att din backup är "
    "någorlunda aktuell !\r\n\r\nVia nedanstående kontroller kan du välja 'BackUp' eller 'Återställ' !";
const QString ChooseScope = "Markera ett av alternativen 'Detta konto' eller 'Alla konton' !";

class BackUpFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto& paths = tc.ctx.paths;
        fixtures::writeRegister(paths.dataRoot(), fixtures::kontoRec("Hush\xE5ll", "", "Bg") +
                                                      fixtures::kontoRec("Bil", "", "Ek"));
        fixtures::writeAccount(paths.dataRoot(), HushallUtf8, fixtures::budgetPosts(3));
        fixtures::writeAccount(paths.dataRoot(), "Bil", fixtures::cashPosts(4));
        for (const fs::path& root : {stick, disk, nas})
            fs::create_directories(root);
        // Listed in this order: the stick, the second disk, the share. The rest never show.
        tc.platform.mounts = {{stick, "vfat", "/dev/sdz1", true, true},
                              {tc.drive / "cd", "iso9660", "/dev/sr0", true, true},
                              {disk, "ext4", "/dev/sdy1", true, false},
                              {"/proc", "proc", "proc", true, false},
                              {tc.drive / "empty-reader", "vfat", "/dev/sdx1", false, true},
                              {nas, "nfs4", "server:/export", true, false}};
        form = std::make_unique<backup::BackUpForm>(
            tc.ctx, nullptr, [this] { return account; },
            [this] {
                ++restoredCalls;
                dialogsAtReload = tc.dialogs.calls().size();
                return openAfterReload;
            });
        form->setSecondLength(0);
        form->show();
    }
    void TearDown() override { store::setCommitFaultHook({}); }

    QPushButton* button(const char* name) { return control<QPushButton>(*form, name); }
    QRadioButton* option(const char* name) { return control<QRadioButton>(*form, name); }
    QListWidget* list(const char* name) { return control<QListWidget>(*form, name); }
    QLabel* label(const char* name) { return control<QLabel>(*form, name); }

    static QString driveOf(const fs::path& root) { return QString::fromStdString(root.string()) + '/'; }

    void clickRow(const char* listName, int row) {
        QListWidget* items = list(listName);
        ASSERT_NE(items->item(row), nullptr);
        emit items->itemClicked(items->item(row));
    }
    void clickDrive(int row) { clickRow("DrvList", row); }
    void clickFolder(int row) { clickRow("folderList", row); }

    // Opens the window again when a restore closed it, and arms a restore from that drive.
    void armRestore(int drive, const char* scope) {
        form->show();
        form->cancel();
        button("restoreButton")->click();
        tc.dialogs.answerYes().answerYes();
        clickDrive(drive);
        option(scope)->click();
    }
    // A restore that ends without copying closes the window, leaves the data as it was (and no folder
    // of replaced files) and says nothing.
    void expectNothingRestored(const std::vector<std::pair<std::string, std::string>>& before) {
        EXPECT_EQ(filesUnder(tc.ctx.paths.dataRoot()), before);
        EXPECT_EQ(tc.drive.list(),
                  (std::vector<std::string>{"MoniData", "Program", "disk2", "media", "nas"}));
        EXPECT_EQ(restoredCalls, 0);
        EXPECT_FALSE(tc.dialogs.titles().contains("Återställning utförd"));
        EXPECT_FALSE(form->isVisible());
    }

    void expectIdle() {
        EXPECT_TRUE(form->mode().isEmpty());
        EXPECT_EQ(uitest::enabledOf(*form, {"cancelButton", "backupButton", "restoreButton"}), "011");
        EXPECT_EQ(uitest::visibleOf(*form, {"driveTitle", "DrvList", "thisAccountOption", "allAccountsOption",
                                            "folderList", "waitLabel"}),
                  "000000");
        EXPECT_EQ(form->height(), backup::BackUpForm::DesignHeight * 83 / 100);
    }

    uitest::TestContext tc;
    fs::path stick = tc.drive / "media" / "USB";
    fs::path disk = tc.drive / "disk2";
    fs::path nas = tc.drive / "nas";
    QString account = Hushall;
    int restoredCalls = 0;
    std::size_t dialogsAtReload = 0;
    QString openAfterReload = Hushall;
    std::unique_ptr<backup::BackUpForm> form;
};

TEST_F(BackUpFormTest, OpensIdleWithItsControlsAndStoresItsFirstPosition) {
    EXPECT_EQ(form->windowTitle(), "Backup / Äterställ");
    EXPECT_EQ(uitest::textsOf(*form, {"cancelButton", "quitButton", "backupButton", "restoreButton",
                                      "thisAccountOption", "allAccountsOption", "driveTitle"}),
              (QStringList{"Avbryt", "Avsluta", "BackUp", "Återställ", "Detta konto", "Alla konton",
                           "Drive-enheter"}));
    ASSERT_NE(list("folderList"), nullptr);

    EXPECT_EQ(form->info(), Intro);
    EXPECT_EQ(control<QPlainTextEdit>(*form, "infoBox")->toPlainText(), QString(Intro).replace(CRLF, "\n"));
    expectIdle();
    // Pair 2 of PosFil was unset: the window's position is written there.
    const std::string pos = tc.drive.readFile(tc.ctx.paths.posFil());
    ASSERT_EQ(pos.size(), 140u);
    EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(pos[14])));
    EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(pos[21])));
    EXPECT_TRUE(tc.dialogs.calls().empty());
}

TEST_F(BackUpFormTest, BackupOfTheOpenAccountWaitsWithItsTextThenCopiesEveryByte) {
    button("backupButton")->click();
    EXPECT_EQ(form->mode(), "BU");
    EXPECT_EQ(form->info(), BackupGuide);
    EXPECT_EQ(form->height(), backup::BackUpForm::DesignHeight);
    EXPECT_EQ(uitest::enabledOf(*form, {"cancelButton", "backupButton", "restoreButton", "DrvList",
                                        "thisAccountOption", "allAccountsOption"}),
              "100100");
    EXPECT_EQ(uitest::visibleOf(*form, {"DrvList", "driveTitle", "folderList", "waitLabel"}), "1100");
    // CD, not-ready reader and /proc are left out; the kind is kept as item data.
    QListWidget* drives = list("DrvList");
    ASSERT_EQ(drives->count(), 3);
    const std::pair<fs::path, int> listed[] = {{stick, 2}, {disk, 3}, {nas, 4}};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(drives->item(i)->text(), driveOf(listed[i].first));
        EXPECT_EQ(drives->item(i)->data(Qt::UserRole).toInt(), listed[i].second);
    }

    tc.dialogs.answerYes().answerYes();
    clickDrive(0);
    EXPECT_EQ(form->chosenDrive(), driveOf(stick));
    EXPECT_EQ(uitest::enabledOf(*form, {"thisAccountOption", "allAccountsOption"}), "11");

    // While it waits the window paints its wait text and its controls rest.
    form->setSecondLength(40);
    QString waitShown;
    bool closeEnabled = true;
    QTimer::singleShot(10, form.get(), [&] {
        if (label("waitLabel")->isVisible())
            waitShown = label("waitLabel")->text();
        closeEnabled = button("quitButton")->isEnabled();
    });
    option("thisAccountOption")->click();

    EXPECT_EQ(waitShown, "Vänta !\nSäkerhets-\nkopiering...");
    EXPECT_FALSE(closeEnabled);
    ASSERT_EQ(tc.dialogs.titles(),
              (QStringList{"Vald diskenhet ?", "Välj BackUp-omfattning", "Lagringsenhet"}));
    EXPECT_EQ(tc.dialogs.texts(),
              (QStringList{
                  "Den valda driveenheten är flyttbar (ex. USB) !\r\n\r\nAnvänd denna diskenhet för BackUp ?",
                  ChooseScope,
                  "Är diskenhet" + driveOf(stick) + " för säkerhetskopieringen av kontot 'Hushåll' OK ?"}));
    EXPECT_EQ(tc.dialogs.calls()[1].kind, Kind::Message);

    const fs::path made = stick / (HushallUtf8 + Stamp);
    EXPECT_EQ(form->lastBackupFolder(), made);
    EXPECT_EQ(filesUnder(made), filesUnder(tc.ctx.paths.dataRoot() / HushallUtf8));
    EXPECT_EQ(form->info(), "En säkerhetskopia av Hushåll, försedd med datum och klockslag,  har nu "
                            "skapats på den angivna drive-enheten, (" +
                                driveOf(stick) + ")");
    expectIdle();
    EXPECT_TRUE(button("quitButton")->isEnabled());
}

TEST_F(BackUpFormTest, BackupOfAllAccountsGoesToAMonivaBUFolder) {
    button("backupButton")->click();
    tc.dialogs.answerYes().answerYes();
    clickDrive(1);
    option("allAccountsOption")->click();

    EXPECT_EQ(tc.dialogs.calls().back().text,
              "Är diskenhet " + driveOf(disk) + " för säkerhetskopieringen av samtliga konton OK ?");
    const fs::path made = disk / ("MonivaBU" + Stamp);
    EXPECT_EQ(filesUnder(made), filesUnder(tc.ctx.paths.dataRoot()));
    EXPECT_EQ(form->info(),
              "En säkerhetskopia av samtliga konton,\r\nMonivaBU" + QString::fromStdString(Stamp) +
                  "\r\nförsedd med datum och klockslag,  har nu skapats på den angivna drive-enheten, (" +
                  driveOf(disk) + ")");
    expectIdle();

    // Declined: nothing is copied and both options are cleared.
    button("backupButton")->click();
    tc.dialogs.answerYes().answerNo();
    clickDrive(2);
    option("allAccountsOption")->click();
    EXPECT_FALSE(option("allAccountsOption")->isChecked());
    EXPECT_TRUE(fs::is_empty(nas));
}

TEST_F(BackUpFormTest, EachDriveKindIsDescribedAndOnlyYesChoosesIt) {
    const QString network = " är ansluten till annan dator i nätverket\r\n"
                            "och därmed kanske inte tillgänglig f n (?)";
    const QString backupTexts[] = {"Den valda driveenheten är flyttbar (ex. USB) !",
                                   "Driveenheten är en hårddiskdrive (HDD) i denna dator.",
                                   "Driveenheten" + network};
    const QString restoreTexts[] = {"Den valda diskenheten är flyttbar (ex. USB) !",
                                    "Diskenheten är en hårddiskdrive (HDD) i denna dator.",
                                    "Diskenheten" + network};
    for (int row = 0; row < 3; ++row) {
        button("backupButton")->click();
        tc.dialogs.clear().answerNo();
        clickDrive(row);
        EXPECT_EQ(tc.dialogs.lastText(), backupTexts[row] + "\r\n\r\nAnvänd denna diskenhet för BackUp ?");
        EXPECT_FALSE(tc.dialogs.calls()[0].cancelButton);
        EXPECT_TRUE(form->mode().isEmpty());
        EXPECT_TRUE(form->chosenDrive().isEmpty());
        EXPECT_FALSE(option("thisAccountOption")->isEnabled());
        // With the mode gone the list answers no more clicks.
        clickDrive(row);
        EXPECT_EQ(tc.dialogs.calls().size(), 1u);
        button("cancelButton")->click();

        // The restore's drive question has "Avbryt" too, which chooses nothing, as "Nej" does.
        button("restoreButton")->click();
        EXPECT_EQ(form->info(), RestoreGuide);
        EXPECT_TRUE(list("folderList")->isVisible() && !list("folderList")->isEnabled());
        tc.dialogs.clear().answerCancel();
        clickDrive(row);
        EXPECT_TRUE(tc.dialogs.calls()[0].cancelButton);
        EXPECT_TRUE(form->mode().isEmpty());
        EXPECT_FALSE(option("allAccountsOption")->isEnabled());
        button("cancelButton")->click();
        button("restoreButton")->click();
        tc.dialogs.clear().answerYes();
        clickDrive(row);
        ASSERT_EQ(tc.dialogs.calls().size(), 2u);
        EXPECT_EQ(tc.dialogs.calls()[0].text,
                  restoreTexts[row] + "\r\n\r\nAnvänd denna diskenhet för Återställning ?");
        EXPECT_TRUE(uitest::showed(tc.dialogs, 1, "Välj återställningens omfattning !", ChooseScope));
        button("cancelButton")->click();
        EXPECT_EQ(form->info(), Cancelled);
        expectIdle();
    }
}

TEST_F(BackUpFormTest, RestoreOfTheAccountCopiesTheChosenBackupAndClosesTheWindow) {
    const fs::path dataRoot = tc.ctx.paths.dataRoot();
    const fs::path made = backup::backUpAccount(tc.ctx.paths, HushallUtf8, stick, "2026-11-01", "09:00:00");
    backup::backUpAccount(tc.ctx.paths, "Bil", stick, "2026-11-01", "09:00:00");
    fixtures::writeFile(dataRoot / HushallUtf8 / "KontoData", fixtures::budgetPosts(8));
    const auto before = filesUnder(dataRoot);

    armRestore(0, "thisAccountOption");
    EXPECT_EQ(tc.dialogs.calls()[2].text,
              "\r\n\r\nÄr diskenhet " + driveOf(stick) + " för återställning av kontot 'Hushåll'  OK ?");
    EXPECT_TRUE(
        uitest::showed(tc.dialogs, 3, "Välj ut BackUp !", "Klicka på den avsedda BackUp-katalogen !"));
    EXPECT_EQ(form->restoreScope(), "1");
    ASSERT_EQ(list("folderList")->count(), 1); // Bil's backup is not Hushåll's
    EXPECT_EQ(list("folderList")->item(0)->text(), "Hushåll202611010900");
    EXPECT_TRUE(list("folderList")->isEnabled());

    // The last word names the backup's date and time and the account it replaces; No changes nothing.
    const QString confirm =
        "Kontot 'Hushåll' ersätts nu med säkerhetskopian från 2026-11-01 09:00 (BackUp-katalogen "
        "Hushåll202611010900) !\r\n\r\nDe nuvarande filerna sparas först i en mapp bredvid MoniData, så att "
        "återställningen kan göras ogjord för hand.\r\n\r\nVill du återställa kontot ?";
    tc.dialogs.clear().answerNo();
    clickFolder(0);
    ASSERT_EQ(tc.dialogs.calls().size(), 1u);
    EXPECT_TRUE(uitest::showed(tc.dialogs, 0, "Bekräfta återställning", confirm));
    expectNothingRestored(before);

    // A copy that fails is reported; the files stay as they were, nothing kept, and the window closes.
    uitest::failSavesOf("");
    armRestore(0, "thisAccountOption");
    tc.dialogs.clear().answerYes().answerNo(); // the last word, then the error report declined
    clickFolder(0);
    store::setCommitFaultHook({});
    EXPECT_EQ(tc.ctx.error.headline.rfind("Ett fel har uppstått i subrutinen KontoRecover", 0), 0u);
    expectNothingRestored(before);

    // Three folders of earlier restores: with this one's the oldest goes. The copy runs under the
    // wait cursor, which is gone when the message comes.
    for (const char* day : {"01", "02", "03"})
        fs::create_directories(tc.drive / ("MoniData-ersatt-202611" + std::string(day) + "-080000"));
    bool busy = false;
    store::setCommitFaultHook([&](store::CommitStep, const fs::path&) {
        busy = QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::WaitCursor;
    });
    armRestore(0, "thisAccountOption");
    tc.dialogs.clear().answerYes();
    clickFolder(0);
    EXPECT_TRUE(busy);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_FALSE(tc.drive.exists("MoniData-ersatt-20261101-080000"));
    EXPECT_EQ(tc.dialogs.calls()[0].text, confirm);
    EXPECT_EQ(filesUnder(dataRoot / HushallUtf8), filesUnder(made));
    // The replaced files are kept beside the data root, byte for byte.
    const fs::path kept = tc.drive / "MoniData-ersatt-20261206-101112";
    auto replaced = before;
    std::erase_if(replaced, [](const auto& f) { return f.first.rfind(HushallUtf8 + "/", 0) != 0; });
    EXPECT_EQ(filesUnder(kept), replaced);
    // The main window has read the files again before it is told so.
    EXPECT_EQ(restoredCalls, 1);
    EXPECT_EQ(dialogsAtReload + 1, tc.dialogs.calls().size());
    EXPECT_TRUE(uitest::showed(
        tc.dialogs, -1, "Återställning utförd",
        "Säkerhetskopierade arbetsfiler från BackUp, är nu återställda till registerkatalogen "
        "!\r\n\r\nFilerna har lästs in på nytt, och kontot 'Hushåll' är öppnat igen.\r\n\r\n"
        "De ersatta filerna finns sparade i mappen\r\n" +
            QString::fromStdString(kept.string()) +
            "\r\nom du vill gå tillbaka till dem.\r\n\r\nBara de tre senaste mapparna med "
            "ersatta filer sparas; de här äldre har tagits bort:\r\nMoniData-ersatt-20261101-080000"));
    EXPECT_FALSE(form->isVisible());
}

TEST_F(BackUpFormTest, RestoreOfAllAccountsAsksForEachMissingAccountFolder) {
    const fs::path dataRoot = tc.ctx.paths.dataRoot();
    const fs::path made = backup::backUpAll(tc.ctx.paths, disk, "2026-11-01", "09:00:00");
    fs::remove_all(made / "Bil");
    fixtures::writeFile(tc.ctx.paths.kontoIni(), "2\r\nAnna\r\n");
    const auto before = filesUnder(dataRoot);
    const auto bilBefore = filesUnder(dataRoot / "Bil");

    armRestore(1, "allAccountsOption");
    EXPECT_EQ(tc.dialogs.calls()[2].text, "\r\n\r\nÄr diskenhet " + driveOf(disk) +
                                              " för återställning av säkerhetskopierade konton  OK ?");
    EXPECT_EQ(form->restoreScope(), "0");
    ASSERT_EQ(list("folderList")->count(), 1);

    tc.dialogs.clear().answerNo();
    clickFolder(0);
    ASSERT_EQ(tc.dialogs.calls().size(), 1u);
    EXPECT_TRUE(
        uitest::showed(tc.dialogs, 0, "Saknad kontokatalog i BackUp",
                       "Vald BackUp-mapp saknar kontokatalogen Bil !\r\nAnledning: Fel BackUp-mapp kan vara "
                       "vald ?\r\n\r\nVill du fortsätta återställning från denna BackUp-mapp ?"));
    expectNothingRestored(before);

    // Going on asks once more, naming the backup and what it replaces; No still changes nothing.
    const QString confirm =
        "Registret och programmets arbetsfiler ersätts nu med säkerhetskopian från 2026-11-01 09:00 "
        "(BackUp-katalogen MonivaBU202611010900), och likaså kontona:\r\n\r\nHushåll\r\n\r\nDe nuvarande "
        "filerna sparas först i en mapp bredvid MoniData, så att återställningen kan göras ogjord för "
        "hand.\r\n\r\nVill du återställa samtliga konton ?";
    armRestore(1, "allAccountsOption");
    tc.dialogs.clear().answerYes().answerNo();
    clickFolder(0);
    EXPECT_EQ(tc.dialogs.titles(), (QStringList{"Saknad kontokatalog i BackUp", "Bekräfta återställning"}));
    EXPECT_EQ(tc.dialogs.calls()[1].text, confirm);
    expectNothingRestored(before);

    // Yes restores what the backup holds and leaves Bil's own folder as it was.
    armRestore(1, "allAccountsOption");
    tc.dialogs.clear().answerYes().answerYes();
    openAfterReload.clear();
    clickFolder(0);
    EXPECT_EQ(tc.drive.readFile(tc.ctx.paths.kontoIni()), "1\r\nAnna\r\n");
    EXPECT_EQ(filesUnder(dataRoot / HushallUtf8), filesUnder(made / HushallUtf8));
    EXPECT_EQ(filesUnder(dataRoot / "Bil"), bilBefore);
    EXPECT_EQ(tc.dialogs.calls().back().title, "Återställning utförd");
    EXPECT_TRUE(tc.dialogs.calls().back().text.contains(
        "\r\n\r\nFilerna har lästs in på nytt.\r\n\r\nDe ersatta filerna finns sparade i mappen\r\n" +
        QString::fromStdString((tc.drive / "MoniData-ersatt-20261206-101112").string())));
    EXPECT_EQ(tc.drive.readFile(tc.drive / "MoniData-ersatt-20261206-101112" / "KontoIni"), "2\r\nAnna\r\n");
    EXPECT_EQ(restoredCalls, 1);
}

// Through the main window: the account that was open is open again after a restore, wherever the
// restored register keeps it, although KontoIni names the account of the last exit.
TEST(BackUpFromTheMainWindow, RestoreOpensTheAccountThatWasOpen) {
    uitest::TestContext t;
    const auto& paths = t.ctx.paths;
    fixtures::writeRegister(paths.dataRoot(), fixtures::kontoRec("Mat", "1", "Ek") +
                                                  fixtures::kontoRec("Bil", "2", "Ek") +
                                                  fixtures::kontoRec("Spar", "3", "Ek"));
    for (const char* name : {"Mat", "Bil", "Spar"})
        fixtures::writeAccount(paths.dataRoot(), name, fixtures::cashPosts(4));
    const fs::path stick = t.drive / "USB";
    fs::create_directories(stick);
    t.platform.mounts = {{stick, "vfat", "/dev/sdz1", true, true}};

    app::HeadForm head(t.ctx);
    head.Form_Load();
    control<QComboBox>(head, "accountPicker")->setCurrentIndex(2);
    head.openChosenAccount();
    ASSERT_EQ(head.accountName(), "Spar");
    backup::backUpAccount(paths, "Spar", stick, "2026-11-01", "09:00:00");
    const fs::path all = backup::backUpAll(paths, stick, "2026-11-01", "09:00:00");
    // The register of the all-accounts backup holds Spar in its second record.
    fixtures::writeFile(all / "KontoFil", fixtures::kontoRec("Mat", "1", "Ek") +
                                              fixtures::kontoRec("Spar", "3", "Ek") +
                                              fixtures::kontoRec("Bil", "2", "Ek"));

    const auto restore = [&](const char* scope) {
        fixtures::writeAccount(paths.dataRoot(), "Spar", fixtures::cashPosts(7)); // changed since
        head.findChild<QAction*>("Bu_mn")->trigger();
        backup::BackUpForm* form = nullptr;
        for (auto* f : head.findChildren<backup::BackUpForm*>())
            if (f->isVisible())
                form = f;
        ASSERT_NE(form, nullptr);
        form->setSecondLength(0);
        t.dialogs.clear().answerYes().answerYes().answerYes(); // the drive, the scope, the last word
        control<QPushButton>(*form, "restoreButton")->click();
        auto* drives = control<QListWidget>(*form, "DrvList");
        emit drives->itemClicked(drives->item(0));
        control<QRadioButton>(*form, scope)->click();
        auto* folders = control<QListWidget>(*form, "folderList");
        ASSERT_EQ(folders->count(), 1);
        emit folders->itemClicked(folders->item(0));
        EXPECT_EQ(t.dialogs.titles().back(), "Återställning utförd") << scope;
        EXPECT_TRUE(t.dialogs.calls().back().text.contains(
            "Filerna har lästs in på nytt, och kontot 'Spar' är öppnat igen."))
            << scope;
    };
    restore("thisAccountOption");
    EXPECT_EQ(head.accountName(), "Spar");
    EXPECT_EQ(head.kontoNum(), 3);
    EXPECT_EQ(head.postCount(), 4);
    restore("allAccountsOption");
    EXPECT_EQ(head.accountName(), "Spar");
    EXPECT_EQ(head.kontoNum(), 2);
    EXPECT_EQ(head.postCount(), 4);
}

TEST_F(BackUpFormTest, ADriveWithoutBackupsIsReportedBeforeAnythingIsCopied) {
    button("restoreButton")->click();
    tc.dialogs.answerYes().answerYes();
    clickDrive(2);
    option("thisAccountOption")->click();
    EXPECT_TRUE(uitest::showed(tc.dialogs, -1, "Felvald drive-enhet",
                               "Vald diskenhet innehåller tyvärr ingen användbar BackUp för återställn. !"));
    tc.dialogs.answerYes();
    option("allAccountsOption")->click();
    EXPECT_EQ(tc.dialogs.calls().back().text,
              "Vald enhet innehåller tyvärr ingen användbar BackUp för återställn. !");
    EXPECT_TRUE(form->restoreScope().isEmpty());
    EXPECT_FALSE(list("folderList")->isEnabled());

    // With no open account "Detta konto" cannot be chosen.
    account.clear();
    button("cancelButton")->click();
    button("backupButton")->click();
    tc.dialogs.answerYes();
    clickDrive(0);
    EXPECT_TRUE(!option("thisAccountOption")->isEnabled() && option("allAccountsOption")->isEnabled());
}

TEST_F(BackUpFormTest, AFailedCopyIsReportedAndLeavesNoBackup) {
    uitest::failSavesOf("", store::CommitStep::Write, "No space left on device");
    button("backupButton")->click();
    tc.dialogs.answerYes().answerYes().answerNo(); // the last one declines the error report
    clickDrive(0);
    option("thisAccountOption")->click();

    EXPECT_EQ(tc.dialogs.calls().back().title, "Felspec. = No space left on device");
    EXPECT_EQ(tc.ctx.error.headline, "Ett fel har uppstått i subrutinen KontoBackUp\r\n"
                                     " vid säkerhetskopiering av kontot.\r\n\r\n");
    const auto details = support::splitDetails(tc.ctx.error.details);
    ASSERT_GE(details.size(), 4u);
    EXPECT_EQ(details[0], "Fel i rutinen KontoBackUp");
    EXPECT_EQ(details[3], "BackUp-media = " + driveOf(stick).toStdString());
    EXPECT_TRUE(fs::is_empty(stick));
    EXPECT_EQ(form->info(), BackupGuide);
    expectIdle();
}

} // namespace
