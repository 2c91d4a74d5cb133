#include "app/HeadForm.h"

#include "accounts/ui/NyKontoForm.h"
#include "app/CatalogueAccess.h"
#include "app/DateSelector.h"
#include "app/LedgerAccess.h"
#include "app/Logo.h"
#include "ledger/ui/BudgetFrame.h"
#include "ledger/ui/CashFrame.h"
#include "store/Cp1252.h"
#include "store/History.h"
#include "store/Records.h"
#include "support/ui/MsgForm.h"
#include "support/ui/Twips.h"
#include "support/ui/WindowPosition.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>

namespace app {

using support::px;

namespace {
// Vertical placement of the window's parts, in twips of the client area.
constexpr int TopRowTop = 120;
constexpr int TopRowHeight = 1250;
constexpr int PanelTop = 1500;
constexpr int PanelHeight = 5350;
constexpr int ButtonRowTop = 7000;
constexpr int ButtonWidth = 2500;
constexpr int ButtonHeight = 500;
constexpr int HelpRowTop = 7700;
constexpr int HelpRowHeight = 800;
constexpr int ClientHeight = 8650;
constexpr int CashWidth = 12480;
constexpr int BudgetWidth = 16320;
} // namespace

HeadForm::HeadForm(support::Context& ctx) : ctx_(ctx), history_(std::make_unique<store::History>(ctx.paths)) {
    // Every procedure of this window and the windows it opens is one change in the history.
    history_->activate();
    history_->setViewProvider([this] { return store::ChangeView{accountName_.toStdString(), currentPost_}; });
    history_->setChangedCallback([this] { refreshUndoActions(); });
    setObjectName(QStringLiteral("HeadForm"));
    setWindowTitle(QStringLiteral("Ollons Moniva 5"));
    buildMenus();
    buildControls();
    GridSetting();
    placeControls(true);
    command1_->hide();
    installHelp();
    ledgerAccess_ = std::make_unique<LedgerAccess>(*this);
    cashFrame_->attach(ledgerAccess_.get());
    budgetFrame_->attach(ledgerAccess_.get());
    installKeyboard();
    connect(command1_, &QPushButton::clicked, budgetFrame_, &ledger::BudgetFrame::confirmPost);
}

QSize HeadForm::largestClientTwips() {
    return {BudgetWidth, ClientHeight};
}

HeadForm::~HeadForm() {
    delete nyKontoForm_.data();
    delete msgForm_.data();
}

void HeadForm::buildControls() {
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("HeadFormClient"));
    setCentralWidget(central);

    dateSelector_ = new DateSelector(central);
    dateSelector_->resize(px(2800), px(TopRowHeight));
    connect(dateSelector_, &DateSelector::finderRequested, this, &HeadForm::Finder);
    connect(dateSelector_, &DateSelector::stepped, this, [this] { command3_->setFocus(); });

    frame4_ = new QGroupBox(central);
    frame4_->setObjectName(QStringLiteral("Frame4"));
    frame4_->resize(px(4700), px(TopRowHeight));
    label22_ = new QLabel(QStringLiteral("Konto"), frame4_);
    label22_->setObjectName(QStringLiteral("Label22"));
    label22_->setGeometry(px(150), px(150), px(1500), px(280));
    text10_ = new QLineEdit(frame4_);
    text10_->setObjectName(QStringLiteral("Text10"));
    text10_->setReadOnly(true);
    text10_->setAlignment(Qt::AlignCenter);
    QFont bold = text10_->font();
    bold.setBold(true);
    text10_->setFont(bold);
    text10_->setGeometry(px(150), px(430), px(4400), px(330));
    combo3_ = new QComboBox(frame4_);
    combo3_->setObjectName(QStringLiteral("Combo3"));
    combo3_->setPlaceholderText(QStringLiteral("Välj befintligt konto från lista.."));
    combo3_->setGeometry(px(150), px(820), px(4400), px(330));
    connect(combo3_, &QComboBox::activated, this, [this] { Combo3_Click(); });

    cashFrame_ = new ledger::CashFrame(central);
    budgetFrame_ = new ledger::BudgetFrame(central);
    connect(cashFrame_, &ledger::LedgerFrame::scrolled, this, &HeadForm::VScroll1_Change);
    connect(budgetFrame_, &ledger::LedgerFrame::scrolled, this, &HeadForm::VScroll2_Change);

    const auto button = [central](const QString& name, const QString& caption, const QString& tip) {
        auto* b = new QPushButton(caption, central);
        b->setObjectName(name);
        b->setToolTip(tip);
        b->resize(px(ButtonWidth), px(ButtonHeight));
        return b;
    };
    command3_ = button(QStringLiteral("Command3"), QStringLiteral("Avbryt"),
                       QStringLiteral("Nollställ (Avbryt) pågående procedur"));
    command1_ = button(QStringLiteral("Command1"), QStringLiteral("Bekräfta"),
                       QStringLiteral("Bekräfta budgeterat (blå) belopp"));
    command2_ = button(QStringLiteral("Command2"), QStringLiteral("Flytta"), QString());
    command14_ = button(QStringLiteral("Command14"), QStringLiteral("Donera"), QString());
    command4_ = button(QStringLiteral("Command4"), QStringLiteral("Avsluta"),
                       QStringLiteral("Avsluta och gå ur programmet"));
    connect(command4_, &QPushButton::clicked, this, &HeadForm::Exit_Konto);
    connect(command3_, &QPushButton::clicked, this, &HeadForm::Command3_Click);
    connect(command2_, &QPushButton::clicked, this, &HeadForm::Command2_Click);
    connect(command14_, &QPushButton::clicked, this, &HeadForm::Donera_Click);

    picture1_ = new QLabel(central);
    picture1_->setObjectName(QStringLiteral("Picture1"));
    picture1_->setPixmap(logoPixmap(QSize(px(2400), px(HelpRowHeight))));
    picture1_->setToolTip(QStringLiteral("Klicka till min hemsida !"));
    picture1_->resize(px(2400), px(HelpRowHeight));

    label29_ = new QLabel(central);
    label29_->setObjectName(QStringLiteral("Label29"));
    label29_->setFont(bold);
    label29_->resize(px(2000), px(HelpRowHeight));
    label29_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label30_ = new QLabel(central);
    label30_->setObjectName(QStringLiteral("Label30"));
    label30_->setWordWrap(true);
    label30_->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    // The product page is fetched at start-up and not left on view: the area stays blank.
    webBrowser1_ = new QWidget(central);
    webBrowser1_->setObjectName(QStringLiteral("WebBrowser1"));
    webBrowser1_->resize(px(615), px(495));
}

void HeadForm::installKeyboard() {
    for (QPushButton* b : {command1_, command2_, command3_, command4_, command14_})
        b->installEventFilter(this);
}

void HeadForm::setTabOrderFor(bool cash) {
    // Through an entry in the order it is made: the date, transaction, amount, the action, cancel,
    // the posts, then the other buttons. The buttons are shared by both panels, so the order
    // follows the kind.
    const auto date = dateSelector_->displays();
    std::vector<QWidget*> chain(date.begin(), date.end());
    if (cash)
        chain.insert(chain.end(), {cashFrame_->mainOption(), cashFrame_->subOption(),
                                   cashFrame_->transCombo(), cashFrame_->transText(), cashFrame_->amountBox(),
                                   command2_, command3_, cashFrame_->grid()});
    else
        chain.insert(chain.end(), {budgetFrame_->mainOption(), budgetFrame_->subOption(),
                                   budgetFrame_->transCombo(), budgetFrame_->transText(),
                                   budgetFrame_->budgetAmountBox(), budgetFrame_->actualAmountBox(),
                                   command1_, command2_, command3_, budgetFrame_->grid()});
    chain.insert(chain.end(), {command14_, command4_});
    for (std::size_t i = 1; i < chain.size(); ++i)
        setTabOrder(chain[i - 1], chain[i]);
}

void HeadForm::keyPressEvent(QKeyEvent* event) {
    // Esc reaches the window from any control that has no use for it.
    if (event->key() == Qt::Key_Escape) {
        userCancel();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void HeadForm::userCancel() {
    if (!command3_->isEnabled() || !command3_->isVisible())
        return;
    Command3_MouseDown();
    Command3_Click();
}

bool HeadForm::commandKey(QObject* watched, const QKeyEvent& key) {
    auto* button = qobject_cast<QPushButton*>(watched);
    if (!button || !button->isEnabled())
        return false;
    const bool enter = key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter;
    if (button == command3_ && (enter || key.key() == Qt::Key_Space)) {
        userCancel();
        return true;
    }
    if (!enter)
        return false;
    button->click();
    return true;
}

void HeadForm::GridSetting() {
    // The grids size themselves to ten rows and their columns; the frames stand at one place,
    // so exactly one of them shows.
    for (ledger::LedgerFrame* frame :
         {static_cast<ledger::LedgerFrame*>(cashFrame_), static_cast<ledger::LedgerFrame*>(budgetFrame_)})
        frame->move(px(356), px(PanelTop));
    budgetFrame_->hide();
}

void HeadForm::closeEvent(QCloseEvent* event) {
    // The windows opened from this one end first, each as its own cancel ends it; one that stays
    // open (a copy under way) keeps the program open. Without accounts the new-account window's
    // cancel asks whether to end the program, and a "Nej" there stands.
    if (!ended_) {
        const bool asksToEnd = nyKontoForm_ && nyKontoForm_->isVisible() && !hasAccounts();
        if (!endOpenedWindows() || (asksToEnd && !ended_)) {
            event->ignore();
            return;
        }
        Exit_Konto();
    }
    event->accept();
}

bool HeadForm::endOpenedWindows() {
    // Innermost first: a window opened from another one ends before its opener.
    static const std::pair<const char*, const char*> cancelButtons[] = {
        {"HolidayForm", "quitButton"},   {"TransForm", "cancelButton"},    {"SubTransForm", "cancelButton"},
        {"HelpViewer", "HelpClose"},     {"MsgForm", "closeButton"},       {"DonateForm", "cancelButton"},
        {"NyKontoForm", "cancelButton"}, {"BudgAltForm", "quitButton"},    {"UtskrStatForm", "closeButton"},
        {"BackUpForm", "quitButton"},    {"ImportWizard", "cancelButton"},
    };
    for (const auto& [name, cancel] : cancelButtons) {
        std::vector<QPointer<QWidget>> windows;
        for (QWidget* top : QApplication::topLevelWidgets())
            if (top != this && top->isVisible() && top->objectName() == QLatin1String(name))
                windows.emplace_back(top);
        for (const QPointer<QWidget>& window : windows) {
            if (!window || !window->isVisible())
                continue;
            auto* button = window->findChild<QPushButton*>(QLatin1String(cancel));
            if (button && button->isEnabled() && button->isVisibleTo(window))
                button->click();
            // A cancel that only undid a step leaves the window open: its close button ends it.
            if (window && window->isVisible())
                window->close();
            if (window && window->isVisible())
                return false;
            if (ended_)
                return true;
        }
    }
    return true;
}

QString HeadForm::workingDate() const {
    return dateSelector_->workingDate();
}

bool HeadForm::hasAccounts() const {
    return combo3_->count() > 0;
}

void HeadForm::closeAccountFiles() {
    template_.reset();
    bMall_.reset();
    kontoData_.reset();
    transakt_.reset();
}

ledger::LedgerFrame* HeadForm::shownFrame() const {
    if (kind_ == QLatin1String("Ek"))
        return cashFrame_;
    if (kind_ == QLatin1String("Bg"))
        return budgetFrame_;
    return nullptr;
}

void HeadForm::Arr_Kontroller() {
    command3_->setText(QStringLiteral("Avbryt"));
    command3_->setEnabled(true);
    procedureCode_.clear();
    command2_->setText(QStringLiteral("Flytta"));
    command2Mode_ = QStringLiteral("flt");
    const bool cash = kind_ == QLatin1String("Ek");
    const bool budget = kind_ == QLatin1String("Bg");
    if (!cash && !budget)
        return;
    radkoAction_->setEnabled(true);
    utskrstatAction_->setEnabled(true);
    buplAction_->setEnabled(budget);
    cashFrame_->setVisible(cash);
    budgetFrame_->setVisible(budget);
    command1_->setVisible(budget);
    command1_->setEnabled(false); // until an unconfirmed post is marked
    ledger::LedgerFrame* shown = shownFrame();
    shown->setEnabled(true);
    // The entry controls may still be off from a time without any account.
    shown->transText()->setEnabled(true);
    shown->transCombo()->setEnabled(true);
    shown->mainOption()->setEnabled(true);
    shown->subOption()->setEnabled(true);
    for (QLabel* title : shown->columnTitles())
        title->setEnabled(true);
    for (QLineEdit* box :
         {cashFrame_->amountBox(), budgetFrame_->budgetAmountBox(), budgetFrame_->actualAmountBox()})
        box->setEnabled(true);
    command2_->setEnabled(true);
    if (cash)
        budgetFrame_->showAccount(QString(), QString());

    placeControls(cash);
}

void HeadForm::placeControls(bool cash) {
    struct Placement {
        int width, frame3, frame4, command1, command2, command14, command4, label29, label30;
    };
    const Placement p = cash ? Placement{CashWidth, 1140, 4000, 0, 3517, 6674, 9831, 3000, 5080}
                             : Placement{BudgetWidth, 600, 6360, 3686, 7012, 10338, 13680, 3500, 6250};
    setTabOrderFor(cash);
    const int menuHeight = menuBar()->sizeHint().height();
    setFixedSize(px(p.width), px(ClientHeight) + menuHeight);
    // A budget account widens the window where it stands: it is pulled back onto the screen.
    support::keepOnScreen(*this);
    for (ledger::LedgerFrame* frame :
         {static_cast<ledger::LedgerFrame*>(cashFrame_), static_cast<ledger::LedgerFrame*>(budgetFrame_)})
        frame->resize(px(p.width - 356 - 300), px(PanelHeight));
    dateSelector_->move(px(p.frame3), px(TopRowTop));
    frame4_->move(px(p.frame4), px(TopRowTop));
    command3_->move(px(360), px(ButtonRowTop));
    command1_->move(px(p.command1), px(ButtonRowTop));
    command2_->move(px(p.command2), px(ButtonRowTop));
    command14_->move(px(p.command14), px(ButtonRowTop));
    command4_->move(px(p.command4), px(ButtonRowTop));
    picture1_->move(px(356), px(HelpRowTop));
    label29_->move(px(p.label29), px(HelpRowTop));
    label30_->setGeometry(px(p.label30), px(HelpRowTop), px(p.width - p.label30 - 1300), px(HelpRowHeight));
    webBrowser1_->move(px(p.width - 615 - 400), px(HelpRowTop));
}

void HeadForm::AllReset() {
    command2Mode_ = QStringLiteral("flt");
    label29_->clear();
    label30_->clear();
    ledger::LedgerFrame* frame = shownFrame();
    if (frame) {
        frame->transCombo()->setCurrentIndex(-1);
        frame->transText()->clear();
        frame->transText()->setReadOnly(true);
        if (frame == cashFrame_) {
            cashFrame_->resetEntry();
            cashFrame_->amountBox()->clear();
            cashFrame_->amountBox()->setReadOnly(true);
        } else {
            budgetFrame_->resetEntry();
            budgetFrame_->budgetAmountBox()->clear();
            budgetFrame_->budgetAmountBox()->setReadOnly(true);
            budgetFrame_->actualAmountBox()->clear();
            budgetFrame_->actualAmountBox()->setReadOnly(true);
        }
        frame->grid()->setEnabled(true);
        frame->setAllBackgrounds(ledger::UnmarkedBackground);
    }
    dateSelector_->datumset(QString::fromStdString(ctx_.today));
}

void HeadForm::Lock_Kontroller() {
    command1_->setEnabled(false);
    command2_->setEnabled(false);
    command3_->setEnabled(false);
    for (ledger::LedgerFrame* frame :
         {static_cast<ledger::LedgerFrame*>(cashFrame_), static_cast<ledger::LedgerFrame*>(budgetFrame_)}) {
        frame->transText()->clear();
        frame->transText()->setEnabled(false);
        frame->transCombo()->clear();
        frame->transCombo()->setEnabled(false);
        frame->mainOption()->setEnabled(false);
        frame->subOption()->setEnabled(false);
        for (QLabel* title : frame->columnTitles())
            title->setEnabled(false);
    }
    for (QLineEdit* box :
         {cashFrame_->amountBox(), budgetFrame_->budgetAmountBox(), budgetFrame_->actualAmountBox()}) {
        box->clear();
        box->setEnabled(false);
    }
    radkoAction_->setEnabled(false);
    buplAction_->setEnabled(false);
    utskrstatAction_->setEnabled(false);
}

void HeadForm::Nykonto_mn_Click() {
    if (hasAccounts()) {
        if (ctx_.dialogs.question(this, QStringLiteral("Nytt konto"),
                                  QStringLiteral("Vill du lägga till ett nytt konto ?")))
            openNewAccountForm();
    } else {
        First_account();
    }
}

void HeadForm::Command2_Click() {
    if (!kontoData_ || !transakt_)
        return; // no account is open
    if (kind_ == QLatin1String("Ek")) {
        if (command2Mode_ == QLatin1String("inl"))
            cashFrame_->Inpost_Enkel();
        else if (command2Mode_ == QLatin1String("chg"))
            cashFrame_->ChgPost_Enkel();
        else if (command2Mode_ == QLatin1String("rem"))
            cashFrame_->UtPost_Enkel();
        else if (command2Mode_ == QLatin1String("flt"))
            cashFrame_->PostMover_Enkel();
    } else if (kind_ == QLatin1String("Bg")) {
        if (command2Mode_ == QLatin1String("inl"))
            budgetFrame_->Inpost_Budget();
        else if (command2Mode_ == QLatin1String("chg"))
            budgetFrame_->ChgPost_Budget();
        else if (command2Mode_ == QLatin1String("rem"))
            budgetFrame_->UtPost_Budget();
        else if (command2Mode_ == QLatin1String("flt"))
            budgetFrame_->PostMover_Budget();
    }
}

void HeadForm::openNewAccountForm() {
    if (nyKontoForm_) {
        nyKontoForm_->raise();
        return;
    }
    nyKontoForm_ = new accounts::NyKontoForm(ctx_, *this);
    nyKontoForm_->setAttribute(Qt::WA_DeleteOnClose);
    support::keepAbove(*nyKontoForm_, this);
    nyKontoForm_->show();
}

} // namespace app
