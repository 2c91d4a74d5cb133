// Every window that keeps its place in PosFil, opened and closed under a real window manager: an
// unmoved window reopens where it was and leaves PosFil as it is, a moved one keeps its frame's
// new place, and a stored place off the screen is pulled onto it.
#include "TestContext.h"
#include "UiHelpers.h"
#include "WmSession.h"
#include "app/HeadForm.h"
#include "budget/ui/BudgAltForm.h"
#include "calendar/RedDays.h"
#include "calendar/ui/HolidayForm.h"
#include "fixtures/AccountFiles.h"
#include "fixtures/TempDrive.h"
#include "store/RecordFile.h"
#include "store/Records.h"
#include "support/ui/MsgForm.h"
#include "support/ui/Twips.h"

#include <QPointer>
#include <QPushButton>
#include <QScreen>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include <sys/stat.h>

// Readable failures.
void PrintTo(const QPoint& p, std::ostream* os) {
    *os << "(" << p.x() << ", " << p.y() << ")";
}
void PrintTo(const QSize& s, std::ostream* os) {
    *os << s.width() << "x" << s.height();
}
void PrintTo(const QRect& r, std::ostream* os) {
    *os << "(" << r.x() << ", " << r.y() << ") " << r.width() << "x" << r.height();
}

namespace {

using store::WindowPair;
using uitest::control;
using wmtest::frameOf;
using wmtest::waitFor;
using wmtest::waitFramed;

struct Window {
    const char* name; // the window's object name
    WindowPair pair;
    const char* closeButton; // its cancel or close button ("" for the main window)
    bool ownSize = false;    // its layout gives its size
};

// The main window and each window opened from it or beside it.
const Window Windows[] = {
    {"HeadForm", WindowPair::HeadForm, ""},
    {"NyKontoForm", WindowPair::NyKontoForm, "cancelButton"},
    {"TransForm", WindowPair::TransForm, "cancelButton", true},
    {"SubTransForm", WindowPair::SubTransForm, "cancelButton", true},
    {"BackUpForm", WindowPair::BackUpForm, "quitButton"},
    {"UtskrStatForm", WindowPair::UtskrStatForm, "closeButton"},
    {"DonateForm", WindowPair::DonateForm, "cancelButton"},
    {"HolidayForm", WindowPair::HolidayForm, "quitButton"},
    {"BudgAltForm", WindowPair::BudgAltForm, "quitButton", true},
    {"MsgForm", WindowPair::MsgForm, "closeButton"},
};

// Message boxes let the event loop run while they are shown, as the real ones do: a window that
// shows one as it opens (TransForm) keeps its size and place through it.
class RunningDialogs : public uitest::ScriptedDialogs {
public:
    void message(QWidget* parent, const QString& title, const QString& text, Icon icon) override {
        waitFor([] { return false; }, 150);
        ScriptedDialogs::message(parent, title, text, icon);
    }
};

class WindowPlaces : public ::testing::Test {
protected:
    void SetUp() override {
        using namespace fixtures;
        writeRegister(root(), kontoRec("Hush\xe5ll", "8327-9", "Ek"));
        writeAccount(root(), "Hushåll", cashPosts(3));
        writeFile(root() / "PosFil", "1500   3500   " + std::string(126, '\0'));
    }
    void TearDown() override {
        closeMain();
        msgForm_.reset();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    std::filesystem::path root() const { return t.ctx.paths.dataRoot(); }
    std::string posFil() const { return fixtures::readFile(t.ctx.paths.posFil()); }
    ino_t posFilInode() const {
        struct stat st {};
        ::stat(t.ctx.paths.posFil().c_str(), &st);
        return st.st_ino;
    }
    // The stored place in pixels; (-1, -1) while unset.
    QPoint storedAt(WindowPair pair) const {
        const auto twips = store::RecordFile(t.ctx.paths.posFil(), store::PosRec::Length)
                               .read<store::PosRec>(1)
                               .position(static_cast<int>(pair));
        return twips ? QPoint(support::px(twips->first), support::px(twips->second)) : QPoint(-1, -1);
    }
    void setStored(WindowPair pair, int left, int top) {
        store::RecordFile file(t.ctx.paths.posFil(), store::PosRec::Length);
        auto rec = file.read<store::PosRec>(1);
        rec.setPosition(static_cast<int>(pair), left, top);
        file.write(1, rec);
        file.commit();
    }

    void openMain() {
        if (head_)
            return;
        head_ = std::make_unique<app::HeadForm>(t.ctx);
        head_->Form_Load();
    }
    void closeMain() {
        if (!head_)
            return;
        head_->close();
        head_.reset();
    }

    // Opens the window as the program does, and waits until the window manager has framed it.
    QWidget* open(const Window& w) {
        const std::string name = w.name;
        openMain();
        if (name == "NyKontoForm") {
            t.dialogs.answerYes(); // "Vill du lägga till ett nytt konto ?"
            head_->Nykonto_mn_Click();
        } else if (name == "TransForm") {
            head_->openTransForm(QStringLiteral("ny"));
        } else if (name == "SubTransForm") {
            head_->openSubTransForm(QStringLiteral("ny"));
        } else if (name == "BackUpForm") {
            head_->Bu_mn_Click();
        } else if (name == "UtskrStatForm") {
            head_->Utskrstat_mn_Click();
        } else if (name == "DonateForm") {
            head_->Donera_Click();
        } else if (name == "HolidayForm") {
            auto* form = new calendar::HolidayForm(t.ctx, nullptr, redDays_);
            form->setAttribute(Qt::WA_DeleteOnClose);
            form->show();
        } else if (name == "BudgAltForm") {
            // The window over the open account's files, as the menu opens it for a budget account.
            auto* form = new budget::BudgAltForm(head_->catalogueAccess());
            form->setAttribute(Qt::WA_DeleteOnClose);
            form->show();
        } else if (name == "MsgForm") {
            if (!msgForm_)
                msgForm_ = std::make_unique<support::MsgForm>(t.ctx, nullptr);
            msgForm_->showHint(support::MsgForm::FundHintCaption, support::MsgForm::fundHintText());
        }
        QWidget* window = nullptr;
        for (QWidget* top : QApplication::topLevelWidgets())
            if (top->isVisible() && top->objectName() == QString::fromLatin1(w.name))
                window = top;
        EXPECT_NE(window, nullptr) << w.name;
        if (window) {
            EXPECT_TRUE(waitFramed(*window)) << w.name;
            if (w.ownSize) { // not the 640 x 480 a native window starts with
                EXPECT_EQ(window->size(), window->sizeHint()) << w.name;
            }
        }
        return window;
    }

    // Closes it with its own button (the main window with its close button), as a person would.
    void close(const Window& w, QWidget* window) {
        if (std::string(w.name) == "HeadForm") {
            closeMain();
            return;
        }
        QPointer<QWidget> guard(window);
        control<QPushButton>(*window, w.closeButton)->click();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        // A window kept for later (MsgForm) is shown again only once the window manager has let
        // go of it, as it has long before a person can open it again.
        EXPECT_TRUE(waitFor([&] {
            return !guard || (!guard->isVisible() && guard->windowHandle()->frameMargins().isNull());
        })) << w.name;
    }

    uitest::BasicTestContext<RunningDialogs> t;
    calendar::RedDays redDays_{t.ctx.paths.redDayFil()};
    std::unique_ptr<app::HeadForm> head_;
    std::unique_ptr<support::MsgForm> msgForm_;
};

} // namespace

TEST_F(WindowPlaces, AnUnmovedWindowReopensWhereItWasAndLeavesPosFilAlone) {
    for (const Window& w : Windows) {
        SCOPED_TRACE(w.name);
        // The first opening gives an unset pair the place the window opens at.
        QWidget* window = open(w);
        ASSERT_NE(window, nullptr);
        const QRect first = frameOf(*window);
        close(w, window);
        EXPECT_EQ(storedAt(w.pair), first.topLeft());
        const std::string bytes = posFil();
        const ino_t inode = posFilInode();

        for (int i = 2; i <= 4; ++i) {
            window = open(w);
            ASSERT_NE(window, nullptr);
            EXPECT_EQ(frameOf(*window), first) << "opening " << i;
            close(w, window);
            EXPECT_EQ(posFil(), bytes) << "opening " << i;
            EXPECT_EQ(posFilInode(), inode) << "PosFil rewritten at opening " << i;
        }
    }
}

TEST_F(WindowPlaces, AMovedWindowKeepsItsFramesNewPlace) {
    for (const Window& w : Windows) {
        SCOPED_TRACE(w.name);
        QWidget* window = open(w);
        ASSERT_NE(window, nullptr);
        const QPoint target = frameOf(*window).topLeft() + QPoint(37, 23);
        window->windowHandle()->setFramePosition(target); // moved by the window manager
        EXPECT_TRUE(waitFor([&] { return frameOf(*window).topLeft() == target; }));
        close(w, window);
        EXPECT_EQ(storedAt(w.pair), target);

        window = open(w);
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(frameOf(*window).topLeft(), target);
        close(w, window);
    }
}

TEST_F(WindowPlaces, AStoredPlaceOffTheScreenIsPulledOntoIt) {
    // Places saved on a larger screen: beyond its corner, and too far right and down.
    for (const QPoint place : {QPoint(30000, 30000), QPoint(17000, 13500)}) {
        for (const Window& w : Windows) {
            SCOPED_TRACE(std::string(w.name) + " at " + std::to_string(place.x()) + "/" +
                         std::to_string(place.y()));
            closeMain();
            setStored(w.pair, place.x(), place.y());
            const std::string bytes = posFil();
            QWidget* window = open(w);
            ASSERT_NE(window, nullptr);
            const QRect area = window->screen()->availableGeometry();
            EXPECT_TRUE(area.contains(frameOf(*window))) << ::testing::PrintToString(frameOf(*window));
            close(w, window);
            closeMain();
            EXPECT_EQ(posFil(), bytes) << "an unmoved window keeps its stored place";
        }
    }
}
