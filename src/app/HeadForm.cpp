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
    confirmButton_->hide();
    installHelp();
    ledgerAccess_ = std::make_unique<LedgerAccess>(*this);
    cashFrame_->attach(ledgerAccess_.get());
    budgetFrame_->attach(ledgerAccess_.get());
    installKeyboard();
    connect(confirmButton_, &QPushButton::clicked, budgetFrame_, &ledger::BudgetFrame::confirmPost);
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
    connect(dateSelector_, &DateSelector::stepped, this, [this] { cancelButton_->setFocus(); });

    accountFrame_ = new QGroupBox(central);
    accountFrame_->setObjectName(QStringLiteral("accountFrame"));
    accountFrame_->resize(px(4700), px(TopRowHeight));
    accountTitle_ = new QLabel(QStringLiteral("Konto"), accountFrame_);
    accountTitle_->setObjectName(QStringLiteral("accountTitle"));
    accountTitle_->setGeometry(px(150), px(150), px(1500), px(280));
    accountBox_ = new QLineEdit(accountFrame_);
    accountBox_->setObjectName(QStringLiteral("accountBox"));
    accountBox_->setReadOnly(true);
    accountBox_->setAlignment(Qt::AlignCenter);
    QFont bold = accountBox_->font();
    bold.setBold(true);
    accountBox_->setFont(bold);
    accountBox_->setGeometry(px(150), px(430), px(4400), px(330));
    accountPicker_ = new QComboBox(accountFrame_);
    accountPicker_->setObjectName(QStringLiteral("accountPicker"));
    accountTitle_->setBuddy(accountBox_);
    accountPicker_->setAccessibleName(QStringLiteral("Konton"));
    accountPicker_->setPlaceholderText(QStringLiteral("Välj befintligt konto från lista.."));
    accountPicker_->setGeometry(px(150), px(820), px(4400), px(330));
    connect(accountPicker_, &QComboBox::activated, this, [this] { openChosenAccount(); });

    cashFrame_ = new ledger::CashFrame(central);
    budgetFrame_ = new ledger::BudgetFrame(central);
    connect(cashFrame_, &ledger::LedgerFrame::scrolled, this, &HeadForm::cashScrolled);
    connect(budgetFrame_, &ledger::LedgerFrame::scrolled, this, &HeadForm::budgetScrolled);

    const auto button = [central](const QString& name, const QString& caption, const QString& tip) {
        auto* b = new QPushButton(caption, central);
        b->setObjectName(name);
        b->setToolTip(tip);
        b->resize(px(ButtonWidth), px(ButtonHeight));
        return b;
    };
    cancelButton_ = button(QStringLiteral("cancelButton"), QStringLiteral("Avbryt"),
                           QStringLiteral("Nollställ (Avbryt) pågående procedur"));
    confirmButton_ = button(QStringLiteral("confirmButton"), QStringLiteral("Bekräfta"),
                            QStringLiteral("Bekräfta budgeterat (blå) belopp"));
    actionButton_ = button(QStringLiteral("actionButton"), QStringLiteral("Flytta"), QString());
    donateButton_ = button(QStringLiteral("donateButton"), QStringLiteral("Donera"), QString());
    quitButton_ = button(QStringLiteral("quitButton"), QStringLiteral("Avsluta"),
                         QStringLiteral("Avsluta och gå ur programmet"));
    connect(quitButton_, &QPushButton::clicked, this, &HeadForm::Exit_Konto);
    connect(cancelButton_, &QPushButton::clicked, this, &HeadForm::cancel);
    connect(actionButton_, &QPushButton::clicked, this, &HeadForm::runAction);
    connect(donateButton_, &QPushButton::clicked, this, &HeadForm::Donera_Click);

    logo_ = new QLabel(central);
    logo_->setObjectName(QStringLiteral("logo"));
    logo_->setAccessibleName(QStringLiteral("Till hemsidan"));
    logo_->setPixmap(logoPixmap(QSize(px(2400), px(HelpRowHeight))));
    logo_->setToolTip(QStringLiteral("Klicka till min hemsida !"));
    logo_->resize(px(2400), px(HelpRowHeight));

    helpTitle_ = new QLabel(central);
    helpTitle_->setObjectName(QStringLiteral("helpTitle"));
    helpTitle_->setFont(bold);
    helpTitle_->resize(px(2000), px(HelpRowHeight));
    helpTitle_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    helpLine_ = new QLabel(central);
    helpLine_->setObjectName(QStringLiteral("helpLine"));
    helpLine_->setWordWrap(true);
    helpLine_->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    // The product page is fetched at start-up and not left on view: the area stays blank.
    productPage_ = new QWidget(central);
    productPage_->setObjectName(QStringLiteral("productPage"));
    productPage_->resize(px(615), px(495));
}

void HeadForm::installKeyboard() {
    for (QPushButton* b : {confirmButton_, actionButton_, cancelButton_, quitButton_, donateButton_})
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
                                   actionButton_, cancelButton_, cashFrame_->grid()});
    else
        chain.insert(chain.end(), {budgetFrame_->mainOption(), budgetFrame_->subOption(),
                                   budgetFrame_->transCombo(), budgetFrame_->transText(),
                                   budgetFrame_->budgetAmountBox(), budgetFrame_->actualAmountBox(),
                                   confirmButton_, actionButton_, cancelButton_, budgetFrame_->grid()});
    chain.insert(chain.end(), {donateButton_, quitButton_});
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
    if (!cancelButton_->isEnabled() || !cancelButton_->isVisible())
        return;
    cancelPressed();
    cancel();
}

bool HeadForm::commandKey(QObject* watched, const QKeyEvent& key) {
    auto* button = qobject_cast<QPushButton*>(watched);
    if (!button || !button->isEnabled())
        return false;
    const bool enter = key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter;
    if (button == cancelButton_ && (enter || key.key() == Qt::Key_Space)) {
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
    return accountPicker_->count() > 0;
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
    cancelButton_->setText(QStringLiteral("Avbryt"));
    cancelButton_->setEnabled(true);
    procedureCode_.clear();
    actionButton_->setText(QStringLiteral("Flytta"));
    actionMode_ = QStringLiteral("flt");
    const bool cash = kind_ == QLatin1String("Ek");
    const bool budget = kind_ == QLatin1String("Bg");
    if (!cash && !budget)
        return;
    radkoAction_->setEnabled(true);
    utskrstatAction_->setEnabled(true);
    buplAction_->setEnabled(budget);
    cashFrame_->setVisible(cash);
    budgetFrame_->setVisible(budget);
    confirmButton_->setVisible(budget);
    confirmButton_->setEnabled(false); // until an unconfirmed post is marked
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
    actionButton_->setEnabled(true);
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
    accountFrame_->move(px(p.frame4), px(TopRowTop));
    cancelButton_->move(px(360), px(ButtonRowTop));
    confirmButton_->move(px(p.command1), px(ButtonRowTop));
    actionButton_->move(px(p.command2), px(ButtonRowTop));
    donateButton_->move(px(p.command14), px(ButtonRowTop));
    quitButton_->move(px(p.command4), px(ButtonRowTop));
    logo_->move(px(356), px(HelpRowTop));
    helpTitle_->move(px(p.label29), px(HelpRowTop));
    helpLine_->setGeometry(px(p.label30), px(HelpRowTop), px(p.width - p.label30 - 1300), px(HelpRowHeight));
    productPage_->move(px(p.width - 615 - 400), px(HelpRowTop));
}

void HeadForm::AllReset() {
    actionMode_ = QStringLiteral("flt");
    helpTitle_->clear();
    helpLine_->clear();
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
    confirmButton_->setEnabled(false);
    actionButton_->setEnabled(false);
    cancelButton_->setEnabled(false);
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

void HeadForm::runAction() {
    if (!kontoData_ || !transakt_)
        return; // no account is open
    if (kind_ == QLatin1String("Ek")) {
        if (actionMode_ == QLatin1String("inl"))
            cashFrame_->Inpost_Enkel();
        else if (actionMode_ == QLatin1String("chg"))
            cashFrame_->ChgPost_Enkel();
        else if (actionMode_ == QLatin1String("rem"))
            cashFrame_->UtPost_Enkel();
        else if (actionMode_ == QLatin1String("flt"))
            cashFrame_->PostMover_Enkel();
    } else if (kind_ == QLatin1String("Bg")) {
        if (actionMode_ == QLatin1String("inl"))
            budgetFrame_->Inpost_Budget();
        else if (actionMode_ == QLatin1String("chg"))
            budgetFrame_->ChgPost_Budget();
        else if (actionMode_ == QLatin1String("rem"))
            budgetFrame_->UtPost_Budget();
        else if (actionMode_ == QLatin1String("flt"))
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
