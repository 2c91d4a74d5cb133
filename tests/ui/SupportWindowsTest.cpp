// The shared error routine, the report form, the input box, the hint window and the donation
// window, driven through scripted dialogs.

#include "ChildProcess.h"
#include "TestContext.h"
#include "UiHelpers.h"
#include "store/Errors.h"
#include "store/FileIo.h"
#include "store/Records.h"
#include "support/ui/DonateForm.h"
#include "support/ui/Felhantering.h"
#include "support/ui/InsetBox.h"
#include "support/ui/MsgForm.h"
#include "support/ui/RappForm.h"
#include "support/ui/Trap.h"
#include "support/ui/Twips.h"
#include "support/ui/WindowPosition.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBrowser>
#include <QTimer>

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <functional>

#include <sys/stat.h>

using namespace support;
using uitest::control;
using Kind = uitest::ScriptedDialogs::Kind;

namespace {

const char* const ReportName = "FelRapport_Moniva20261206101112";

void setTransChangeError(support::Context& ctx, const std::string& errorText) {
    ctx.error.headline =
        "Ett fel har uppstått i subrutinen TransChange\r\n vid försök att ändra en transaktion.\r\n\r\n";
    ctx.error.details = "Fel i rutinen TransChange\xC2\xA6 vid försök att ändra en "
                        "transaktion\xC2\xA6Transaktionsreferens = 7";
    ctx.error.errorText = errorText;
}

// Answers the question with Yes and fills in and sends the report form.
void scriptSend(uitest::ScriptedDialogs& dialogs, const QString& message) {
    dialogs.answerYes().onExec([message](QDialog& form) {
        control<QPlainTextEdit>(form, "reportBox")->setPlainText(message);
        control<QPushButton>(form, "sendButton")->click();
        return form.result();
    });
}

std::string posFil(const uitest::TestContext& t) {
    return t.drive.readFile(t.ctx.paths.posFil());
}

ino_t inodeOf(const std::filesystem::path& p) {
    struct stat st {};
    ::stat(p.c_str(), &st);
    return st.st_ino;
}

// What the main window leaves in PosFil: pair 1 only, the rest zero bytes.
std::string mainWindowOnlyPosFil() {
    std::string rec(140, '\0');
    rec.replace(0, 14, "1500   3500   ");
    return rec;
}

} // namespace

TEST(Felhantering, RefusedFileAccessIsExplainedWithoutAReport) {
    uitest::TestContext t;
    setTransChangeError(t.ctx, " Permission denied ");
    Felhantering(t.ctx, nullptr);
    ASSERT_EQ(t.dialogs.calls().size(), 1u);
    const auto& box = t.dialogs.calls()[0];
    EXPECT_EQ(box.kind, Kind::Message);
    EXPECT_EQ(box.title, "Otillåten filåtkomst");
    EXPECT_TRUE(box.text.startsWith(
        "'Permission denied' !\n\nDitt datorsystem tillåter troligen inte att filer, genererade av "
        "programmet, placeras eller skrivs/läses till/från systemdisken C:\\ !\n\nDet kan med vissa"));
    EXPECT_TRUE(box.text.endsWith(
        "vilken tillåter även ocertifierade program - som detta - att köras på din dator."));
}

TEST(Felhantering, OtherErrorsOfferTheReport) {
    uitest::TestContext t;
    setTransChangeError(t.ctx, "No such file or directory");
    t.dialogs.answerNo();
    Felhantering(t.ctx, nullptr);
    ASSERT_EQ(t.dialogs.calls().size(), 1u);
    const auto& q = t.dialogs.calls()[0];
    EXPECT_EQ(q.kind, Kind::Question);
    EXPECT_EQ(q.title, "Felspec. = No such file or directory");
    EXPECT_TRUE(
        q.text.startsWith("Ett fel har uppstått i subrutinen TransChange\r\n vid försök att ändra en "
                          "transaktion.\r\n\r\n\nOfta beror fel på någon störning i filhanteringen, att "
                          "någon programfil har blivit 'korrupt', har hanterats eller flyttats utanför "
                          "programmet !\nDet är viktigt"));
    EXPECT_TRUE(q.text.endsWith(
        "felrapport där du kort kan beskriva hur felet uppstår ! ?\n\nVill du skapa en felrapport ?"));

    // Yes opens the report form.
    t.dialogs.clear().answerYes().onExec([](QDialog& form) {
        EXPECT_EQ(form.windowTitle(), "Rapportformulär");
        EXPECT_EQ(uitest::textsOf(form, {"sendButton", "cancelButton"}), (QStringList{"Skicka", "Avbryt"}));
        EXPECT_EQ(control<QLabel>(form, "introLabel")->text(),
                  "Beskriv kort nedan hur felet yttrar sig och i vilket sammanhang ! Lägg gärna till din "
                  "mailadress om du vill ha ett svar !\n\nDitt meddelande, samt uppsamlade data om felet, "
                  "sammanställs och sänds när du klickar på 'Skicka' i formuläret !");
        control<QPushButton>(form, "cancelButton")->click();
        return form.result();
    });
    Felhantering(t.ctx, nullptr);
    EXPECT_EQ(t.dialogs.pendingAnswers(), 0u);
    EXPECT_TRUE(t.platform.uploadedFiles.empty());
    EXPECT_TRUE(t.drive.list("Program").empty());
}

TEST(Trap, FailureFillsTheErrorStateAndCallsTheRoutine) {
    uitest::TestContext t;
    bool after = false;
    const bool ran = trapped(
        t.ctx, nullptr,
        [&] {
            throw store::FileError("Permission denied", "/x/KontoData");
            after = true;
        },
        [] {
            return ErrorDescription{
                "Ett fel har uppstått i subrutinen G1_Click\r\n\r\n",
                {"Fel i rutinen G1_Click", "PostNr = 3", "Felet uppstod i konto Hushåll"}};
        });
    EXPECT_FALSE(ran);
    EXPECT_FALSE(after);
    EXPECT_EQ(t.ctx.error.headline, "Ett fel har uppstått i subrutinen G1_Click\r\n\r\n");
    EXPECT_EQ(t.ctx.error.details, "Fel i rutinen G1_Click\xC2\xA6PostNr = 3\xC2\xA6"
                                   "Felet uppstod i konto Hushåll");
    EXPECT_EQ(t.ctx.error.errorText, "Permission denied");
    EXPECT_EQ(t.dialogs.titles(), QStringList{"Otillåten filåtkomst"});

    // A body that runs through reports nothing and describes nothing.
    t.dialogs.clear();
    bool described = false;
    EXPECT_TRUE(trapped(
        t.ctx, nullptr, [] {},
        [&] {
            described = true;
            return ErrorDescription{};
        }));
    EXPECT_FALSE(described);
    EXPECT_TRUE(t.dialogs.calls().empty());

    // A data error is trapped the same way, with its own text.
    t.dialogs.answerNo();
    EXPECT_FALSE(trapped(
        t.ctx, nullptr, [] { throw store::DataError("Ogiltigt belopp"); },
        [] {
            return ErrorDescription{"H", {"Fel i rutinen X"}};
        }));
    EXPECT_EQ(t.dialogs.titles(), QStringList{"Felspec. = Ogiltigt belopp"});
}

// A refused access is told by the error number, whatever words the library that raised it uses.
TEST(Trap, RefusedAccessIsToldByTheErrorNumber) {
    namespace fs = std::filesystem;
    const auto fsError = [](std::errc e) {
        return [e] {
            throw fs::filesystem_error("cannot open", fs::path("/x/KontoData"), std::make_error_code(e));
        };
    };
    const auto fileError = [](int err) { return [err] { store::io::fail(err, "/x/KontoData"); }; };
    const struct {
        const char* what;
        std::function<void()> body;
        bool refused;
        int code;
    } cases[] = {
        {"filesystem EACCES", fsError(std::errc::permission_denied), true, EACCES},
        {"filesystem EROFS", fsError(std::errc::read_only_file_system), true, EROFS},
        {"filesystem ENOSPC", fsError(std::errc::no_space_on_device), false, ENOSPC},
        {"FileError EACCES", fileError(EACCES), true, EACCES},
        {"FileError EROFS", fileError(EROFS), true, EROFS},
        {"FileError EPERM", fileError(EPERM), true, EPERM},
        {"FileError ENOENT", fileError(ENOENT), false, ENOENT},
        {"FileError from a text", [] { throw store::FileError("Permission denied", "/x"); }, true, 0},
    };
    for (const auto& c : cases) {
        uitest::TestContext t;
        t.dialogs.answerNo();
        EXPECT_FALSE(trapped(t.ctx, nullptr, c.body, [] {
            return ErrorDescription{"H", {"Fel i rutinen X"}};
        }));
        EXPECT_EQ(t.ctx.error.errorCode, c.code) << c.what;
        ASSERT_EQ(t.dialogs.calls().size(), 1u) << c.what;
        if (c.refused) {
            EXPECT_EQ(t.dialogs.calls()[0].title, "Otillåten filåtkomst") << c.what;
            EXPECT_EQ(t.dialogs.calls()[0].kind, Kind::Message) << c.what;
        } else {
            EXPECT_EQ(t.dialogs.calls()[0].title,
                      "Felspec. = " + QString::fromStdString(t.ctx.error.errorText))
                << c.what;
        }
    }
}

TEST(RappForm, SentReportIsDeletedAndThanked) {
    uitest::TestContext t;
    t.ctx.userName = "Åsa";
    t.ctx.installDate = "2025-01-31";
    setTransChangeError(t.ctx, "No such file or directory");
    scriptSend(t.dialogs, "Det hände när jag\nbytte konto");
    Felhantering(t.ctx, nullptr);

    ASSERT_EQ(t.platform.uploadedFiles.size(), 1u);
    EXPECT_EQ(t.platform.uploadedFiles[0], t.ctx.startupDir / ReportName);
    EXPECT_EQ(t.platform.uploadedContents[0], "Systemrapporterat fel = No such file or directory\r\n"
                                              "Datum = 2026-12-06, Tidpunkt = 10:11:12\r\n\r\n"
                                              "Anv\xE4ndare = \xC5sa\r\n\r\n"
                                              "Installationsdatum = 2025-01-31\r\n\r\n"
                                              "Programversion = " MONIVA_VERSION "\r\n\r\n"
                                              "Meddelande fr\xE5n anv\xE4ndaren:\r\n\r\n"
                                              "Det h\xE4nde n\xE4r jag\r\nbytte konto\r\n\r\n"
                                              "Data samlade vid felk\xE4llan: \r\n\r\n"
                                              "Fel i rutinen TransChange\r\n vid f\xF6rs\xF6k att \xE4ndra "
                                              "en transaktion\r\nTransaktionsreferens = 7\r\n");
    EXPECT_FALSE(std::filesystem::exists(t.ctx.startupDir / ReportName));
    const auto& last = t.dialogs.calls().back();
    EXPECT_EQ(last.kind, Kind::Message);
    EXPECT_EQ(last.title, "Skickad felrapport");
    EXPECT_EQ(last.text, "Felrapporten har nu skickats !\r\n\r\n"
                         "Jag beklagar besvären och ska snarast undersöka vad felet kan bestå i, med ledning "
                         "av rapporten och bifogade data !\r\n\r\n"
                         "Med vänlig hälsning\r\n\r\n"
                         "             /Ollon");
}

TEST(RappForm, FailedUploadKeepsTheFileAndSaysSo) {
    uitest::TestContext t;
    setTransChangeError(t.ctx, "Disk full");
    t.platform.uploadResult = {false, "Couldn't connect to server"};
    scriptSend(t.dialogs, "");
    Felhantering(t.ctx, nullptr);

    const std::filesystem::path kept = t.ctx.startupDir / ReportName;
    ASSERT_TRUE(std::filesystem::exists(kept));
    EXPECT_EQ(t.drive.readFile(kept), t.platform.uploadedContents.at(0));
    EXPECT_NE(t.platform.uploadedContents[0].find("Inget meddelande fr\xE5n anv\xE4ndaren !\r\n"),
              std::string::npos);
    EXPECT_FALSE(t.dialogs.titles().contains("Skickad felrapport"));
    const auto& last = t.dialogs.calls().back();
    EXPECT_EQ(last.title, "Felrapport ej skickad");
    EXPECT_EQ(last.icon, Dialogs::Icon::Exclamation);
    EXPECT_TRUE(last.text.contains("kunde inte skickas"));
    EXPECT_TRUE(last.text.contains("Couldn't connect to server"));
    EXPECT_TRUE(last.text.contains(QString::fromStdString(kept.string())));
    EXPECT_FALSE(last.text.contains("har nu skickats"));
}

TEST(RappForm, UnwritableStartupFolderIsToldNotSent) {
    uitest::TestContext t;
    setTransChangeError(t.ctx, "Disk full");
    std::filesystem::remove(t.ctx.startupDir); // gone: the report file cannot be written
    scriptSend(t.dialogs, "x");
    Felhantering(t.ctx, nullptr);
    EXPECT_TRUE(t.platform.uploadedFiles.empty());
    EXPECT_EQ(t.dialogs.titles().last(), "Felrapport ej skickad");
    EXPECT_FALSE(t.dialogs.titles().contains("Skickad felrapport"));
}

namespace {

// Runs the input box through InmatningsBox with a handler that drives it.
QString runInsetBox(const QString& prompt, const std::function<void(QDialog&)>& drive) {
    uitest::ScriptedDialogs dialogs;
    dialogs.onExec([&](QDialog& box) {
        box.show();
        drive(box);
        return box.result();
    });
    const QString answer = InmatningsBox(dialogs, nullptr, prompt, "Ditt användarnamn", "");
    EXPECT_EQ(dialogs.pendingAnswers(), 0u);
    return answer;
}

} // namespace

TEST(InsetBox, OkNeedsEnterAndReturnsTheConfirmedText) {
    const QString answer = runInsetBox("Namn ?", [](QDialog& box) {
        auto* ok = control<QPushButton>(box, "okButton");
        auto* text = control<QLineEdit>(box, "answerBox");
        EXPECT_EQ(box.windowTitle(), "Ditt användarnamn");
        EXPECT_EQ(uitest::textsOf(box, {"promptLabel", "okButton", "cancelButton"}),
                  (QStringList{"Namn ?", "OK", "Avbryt"}));
        EXPECT_EQ(text->toolTip(), "Tryck Enter efter textinmatning !");
        EXPECT_FALSE(ok->isEnabled());
        uitest::typeText(text, "Anna");
        EXPECT_EQ(text->text(), "Anna");
        ok->click(); // disabled: nothing happens
        EXPECT_TRUE(box.isVisible() && !ok->isEnabled());
        uitest::pressEnter(text);
        EXPECT_TRUE(box.isVisible() && ok->isEnabled()); // Enter confirms the text but does not close the box
        // Typing on after Enter asks for Enter again, so the answer is the text on screen.
        uitest::typeText(text, "-Karin");
        EXPECT_FALSE(ok->isEnabled());
        uitest::pressEnter(text);
        ok->click();
        EXPECT_FALSE(box.isVisible());
    });
    EXPECT_EQ(answer, "Anna-Karin");
}

TEST(InsetBox, CancelAnswersNothingEvenAfterEnter) {
    // Avbryt, and the close button (as Escape) too.
    for (const bool avbryt : {true, false}) {
        const QString answer = runInsetBox("Namn ?", [avbryt](QDialog& box) {
            auto* text = control<QLineEdit>(box, "answerBox");
            uitest::typeText(text, "Anna");
            uitest::pressEnter(text);
            if (avbryt)
                control<QPushButton>(box, "cancelButton")->click();
            else
                box.close();
        });
        EXPECT_EQ(answer, "") << avbryt;
    }
}

TEST(InsetBox, SizesItselfToThePrompt) {
    const QString longPrompt = QString("Ett program för Din hushållsekonomi\r\n\r\n").repeated(6);
    int shortLabel = 0;
    int longLabel = 0;
    for (const QString& prompt : {QString("Namn ?"), longPrompt}) {
        InsetBox box(nullptr, prompt, "T", "");
        auto* label = control<QLabel>(box, "promptLabel");
        const int labelBottom = label->y() + label->height();
        EXPECT_EQ(box.height(), label->height() + twipsY(box, 2500));
        EXPECT_EQ(control<QLineEdit>(box, "answerBox")->y(), labelBottom + twipsY(box, 500));
        EXPECT_EQ(control<QPushButton>(box, "okButton")->y(),
                  control<QLineEdit>(box, "answerBox")->y() + twipsY(box, 600));
        EXPECT_EQ(control<QPushButton>(box, "cancelButton")->y(), control<QPushButton>(box, "okButton")->y());
        (prompt == longPrompt ? longLabel : shortLabel) = label->height();
    }
    EXPECT_GT(longLabel, 2 * shortLabel);
}

TEST(MsgForm, FundHintShowsAndCanBeSwitchedOff) {
    uitest::TestContext t;
    t.drive.writeFile(t.ctx.paths.posFil(), mainWindowOnlyPosFil());
    MsgForm form(t.ctx, nullptr);
    int switchedOff = 0;
    QObject::connect(&form, &MsgForm::hintSwitchedOff, [&] { ++switchedOff; });

    EXPECT_EQ(
        MsgForm::fundHintText(),
        "...sker uppdateringen av kontot mestadels via kontosaldot hos bank. Det kan då kopieras från "
        "bankens hemsida / klistras in som Nytt Saldo\r\n\r\nKlicka på rubriken 'Saldo' ! Då kan också en "
        "standardtransaktion skapas för ändamålet\r\n(ex. \"Ändrad andel/kurs\")\r\n\r\n"
        "Transaktionsbelopp framräknas slutligen av programmet, teckensätts och läggs in automatiskt !");
    form.showHint(MsgForm::FundHintCaption, MsgForm::fundHintText());
    EXPECT_TRUE(form.isVisible());
    EXPECT_FALSE(form.isModal());
    EXPECT_EQ(form.windowTitle(), "Om detta är ett fondkonto...");
    EXPECT_EQ(control<QPlainTextEdit>(form, "messageText")->toPlainText(),
              QString(MsgForm::fundHintText()).replace("\r\n", "\n"));
    EXPECT_EQ(uitest::textsOf(form, {"closeButton", "dontShowAgainBox"}),
              (QStringList{"OK", "Visa inte igen"}));
    EXPECT_EQ(uitest::visibleOf(form, {"yesButton", "noButton"}), "00");
    // First opening: the unset pair 9 gets the window's place; pair 1 and the zero bytes stay.
    const std::string pos = posFil(t);
    EXPECT_EQ(pos.substr(0, 14), "1500   3500   ");
    EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(pos[112])));
    EXPECT_EQ(pos.substr(14, 98), std::string(98, '\0'));

    // Closed without the tick: nothing switched off.
    control<QPushButton>(form, "closeButton")->click();
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(switchedOff, 0);
    EXPECT_EQ(control<QPushButton>(form, "closeButton")->text(), "Avbryt");
    EXPECT_TRUE(control<QPlainTextEdit>(form, "messageText")->toPlainText().isEmpty());

    // With the tick, once; the box is unticked again for the next account.
    form.showHint(MsgForm::FundHintCaption, MsgForm::fundHintText());
    control<QCheckBox>(form, "dontShowAgainBox")->setChecked(true);
    form.close();
    EXPECT_EQ(switchedOff, 1);
    EXPECT_FALSE(control<QCheckBox>(form, "dontShowAgainBox")->isChecked());
    EXPECT_TRUE(t.dialogs.calls().empty());
}

TEST(WindowPosition, PairIsRestoredAndRewrittenOnlyWhenMoved) {
    uitest::TestContext t;
    std::string rec = mainWindowOnlyPosFil();
    rec.replace(28, 14, "3000   4500   "); // pair 3
    t.drive.writeFile(t.ctx.paths.posFil(), rec);
    QWidget w;
    w.resize(300, 200);
    restoreWindowPosition(t.ctx, w, store::WindowPair::DonateForm);
    EXPECT_EQ(w.pos(), QPoint(twipsX(w, 3000), twipsY(w, 4500)));

    const ino_t before = inodeOf(t.ctx.paths.posFil());
    storeWindowPosition(t.ctx, w, store::WindowPair::DonateForm);
    EXPECT_EQ(inodeOf(t.ctx.paths.posFil()), before) << "an unmoved window rewrote PosFil";
    EXPECT_EQ(posFil(t), rec);

    w.move(twipsX(w, 1200), twipsY(w, 600));
    storeWindowPosition(t.ctx, w, store::WindowPair::DonateForm);
    const std::string after = posFil(t);
    EXPECT_EQ(
        after.substr(28, 14),
        QString("%1%2").arg(pixelsToTwipsX(w, w.x()), -7).arg(pixelsToTwipsY(w, w.y()), -7).toStdString());
    EXPECT_EQ(after.substr(0, 28), rec.substr(0, 28));
    EXPECT_EQ(after.substr(42), rec.substr(42));
}

TEST(DonateForm, ThanksAndSaysWhenNoPageIsConfigured) {
    uitest::TestContext t;
    t.drive.writeFile(t.ctx.paths.posFil(), mainWindowOnlyPosFil());
    t.ctx.settings.webServer.clear();
    t.ctx.settings.donationAccount = "Bankgiro 123-4567";
    QWidget main;
    main.setEnabled(false);
    DonateForm form(t.ctx, &main);
    EXPECT_EQ(form.windowTitle(), "Donation");
    EXPECT_EQ(control<QPushButton>(form, "cancelButton")->text(), "Avbryt");
    EXPECT_EQ(
        DonateForm::thankYouText("Bankgiro 123-4567"),
        "\r\n\r\nDetta är ett s k FreeWare-program, vilket innebär att det är fritt för dig att använda "
        "under obegränsad tid.\r\n\r\nÄr du nöjd med programmet och vill visa din uppskattning får du gärna "
        "överraska mig med en donation på valfritt belopp !\r\n\r\nDet enklaste sättet att utföra en sådan "
        "är via din internetbank !\r\nDå kan du föra över ett valfritt belopp till konto nr:\r\nBankgiro "
        "123-4567\r\n\r\n           Med vänlig hälsning\r\n\r\n                /Ollon");
    EXPECT_EQ(control<QLabel>(form, "introLabel")->text(),
              DonateForm::thankYouText("Bankgiro 123-4567").replace("\r\n", "\n"));
    EXPECT_EQ(control<QTextBrowser>(form, "pageView")->toPlainText(), DonateForm::NoPageText);
    EXPECT_TRUE(t.platform.fetchedUrls.empty());

    form.show();
    EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(posFil(t)[28]))); // pair 3 stored at first opening
    form.move(form.x() + 40, form.y() + 30);
    control<QPushButton>(form, "cancelButton")->click();
    EXPECT_TRUE(!form.isVisible() && main.isEnabled());
    EXPECT_EQ(posFil(t).substr(28, 7), QString("%1").arg(pixelsToTwipsX(form, form.x()), -7).toStdString());
    EXPECT_TRUE(t.dialogs.calls().empty());
}

TEST(DonateForm, ShowsThePageOfTheConfiguredServer) {
    const std::string python = uitest::pythonWith("http.server");
    if (python.empty())
        GTEST_SKIP() << "python3 is not installed";
    uitest::TestContext t;
    t.drive.writeFile("www/MoniDon_5.php",
                      "<html><body><p>Tack f\xC3\xB6r din g\xC3\xA5va</p></body></html>");
    uitest::ChildProcess server(
        {python, uitest::supportScript("http_server.py").string(), (t.drive / "www").string()});
    const std::string port = server.readLine(15000);
    ASSERT_FALSE(port.empty());
    t.ctx.settings.webServer = QString::fromStdString("http://127.0.0.1:" + port);

    DonateForm form(t.ctx, nullptr);
    EXPECT_EQ(form.pageAddress(), QString::fromStdString("http://127.0.0.1:" + port + "/MoniDon_5.php"));
    QEventLoop loop;
    QObject::connect(&form, &DonateForm::pageFinished, &loop, &QEventLoop::quit);
    QTimer::singleShot(15000, &loop, &QEventLoop::quit);
    loop.exec();
    EXPECT_EQ(control<QTextBrowser>(form, "pageView")->toPlainText(), "Tack för din gåva");
}

namespace {

// Runs `act` on the modal window once the event loop of exec() has it on screen.
void whenModal(std::function<void(QWidget&)> act) {
    QTimer::singleShot(0, [act] {
        QWidget* w = QApplication::activeModalWidget();
        ASSERT_NE(w, nullptr);
        act(*w);
    });
}

QAbstractButton* buttonWithText(QWidget& w, const QString& text) {
    for (auto* b : w.findChildren<QAbstractButton*>())
        if (b->text() == text)
            return b;
    return nullptr;
}

} // namespace

TEST(QtDialogs, RealBoxesSpeakSwedish) {
    QtDialogs dialogs;
    whenModal([](QWidget& w) {
        auto* box = qobject_cast<QMessageBox*>(&w);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->windowTitle(), "Felspec. = x");
        EXPECT_EQ(box->text(), "Rad 1\nRad 2");
        EXPECT_EQ(box->icon(), QMessageBox::Critical);
        ASSERT_NE(buttonWithText(w, "Ja"), nullptr);
        ASSERT_NE(buttonWithText(w, "Nej"), nullptr);
        buttonWithText(w, "Nej")->click();
    });
    EXPECT_FALSE(dialogs.question(nullptr, "Felspec. = x", "Rad 1\r\nRad 2", Dialogs::Icon::Critical));

    whenModal([](QWidget& w) {
        ASSERT_NE(buttonWithText(w, "Ja"), nullptr);
        buttonWithText(w, "Ja")->click();
    });
    EXPECT_TRUE(dialogs.question(nullptr, "T", "Fråga ?", Dialogs::Icon::Question));

    whenModal([](QWidget& w) {
        ASSERT_NE(buttonWithText(w, "OK"), nullptr);
        EXPECT_EQ(qobject_cast<QMessageBox*>(&w)->icon(), QMessageBox::Warning);
        buttonWithText(w, "OK")->click();
    });
    dialogs.message(nullptr, "Info", "Text", Dialogs::Icon::Exclamation);

    // The input box is the program's own.
    whenModal([](QWidget& w) {
        ASSERT_EQ(w.objectName(), "InsetBox");
        auto* text = control<QLineEdit>(w, "answerBox");
        EXPECT_EQ(text->text(), "Förslag");
        uitest::pressEnter(text);
        control<QPushButton>(w, "okButton")->click();
    });
    EXPECT_EQ(dialogs.input(nullptr, "Namn ?", "Titel", "Förslag"), "Förslag");
}
