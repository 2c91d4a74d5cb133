// The statistics and report window: its controls, the modes of its cancel button and the ways out.

#include "stats/ui/UtskrStatForm.h"
#include "stats/ui/UtskrStatFormParts.h"

#include "store/Records.h"
#include "support/ui/Context.h"
#include "support/ui/Platform.h"
#include "support/ui/Trap.h"
#include "support/ui/Twips.h"
#include "support/ui/WindowPosition.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QHeaderView>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QTableWidget>
#include <QWheelEvent>

#include <cstdlib>

namespace stats {

using namespace statform;

UtskrStatForm::UtskrStatForm(support::Context& ctx, QWidget* parent, StartAccount account)
    : QWidget(parent, Qt::Window), ctx_(ctx), start_(std::move(account)) {
    setObjectName(QStringLiteral("UtskrStatForm"));
    setWindowTitle(QStringLiteral("Utskrift KontoData och Statistik"));
    setWindowModality(Qt::ApplicationModal);

    const auto make = []<typename W>(W* w, const char* name, int x, int y, int wd, int ht) {
        w->setObjectName(QString::fromLatin1(name));
        w->setGeometry(x, y, wd, ht);
        return w;
    };
    label1_ = make(new QLabel(QStringLiteral("Konto"), this), "Label1", 10, 12, 45, 20);
    combo1_ = make(new QComboBox(this), "Combo1", 60, 10, 230, 24);
    text1_ = make(new QLineEdit(this), "Text1", 300, 10, 200, 24);
    text1_->setReadOnly(true);
    label5_ = make(new QLabel(QStringLiteral("Tidsperiod"), this), "Label5", 10, 48, 70, 20);
    static const char* const dateNames[6] = {"Label7", "Label11", "Label9", "Label8", "Label12", "Label10"};
    static const int dateX[6] = {90, 135, 165, 215, 260, 290};
    static const int dateW[6] = {40, 25, 25, 40, 25, 25};
    for (int i = 0; i < 6; ++i) {
        dateLabels_[i] = make(new QLabel(this), dateNames[i], dateX[i], 48, dateW[i], 20);
        dateLabels_[i]->setFrameShape(QFrame::Panel);
        dateLabels_[i]->setFrameShadow(QFrame::Sunken);
        dateLabels_[i]->setAlignment(Qt::AlignCenter);
        dateLabels_[i]->setCursor(Qt::PointingHandCursor);
        dateLabels_[i]->setToolTip(QStringLiteral("Klicka för att välja"));
        dateLabels_[i]->setFocusPolicy(Qt::StrongFocus); // Enter or Space opens its picker
        dateLabels_[i]->installEventFilter(this);
    }
    auto* dash = new QLabel(QStringLiteral("–"), this);
    dash->setGeometry(195, 48, 15, 20);
    label14_ = make(new QLabel(this), "Label14", 330, 48, 170, 20);
    list1_ = make(new QListWidget(this), "List1", 90, 70, 60, 130);
    list2_ = make(new QListWidget(this), "List2", 135, 70, 45, 130);
    list3_ = make(new QListWidget(this), "List3", 165, 70, 45, 130);
    check1_ = make(new QCheckBox(QStringLiteral("Inkl. Subtransaktion"), this), "Check1", 10, 80, 170, 22);
    check2_ =
        make(new QCheckBox(QStringLiteral("Inkl.Budgetbel. / -saldo"), this), "Check2", 185, 80, 190, 22);
    check3_ = make(new QCheckBox(QStringLiteral("Inkl. Saldodifferens"), this), "Check3", 380, 80, 170, 22);
    label13_ = make(new QLabel(text::AccountMode, this), "Label13", 10, 118, 150, 20);
    option1_ = make(new QRadioButton(QStringLiteral("Skärm"), this), "Option1", 160, 116, 70, 24);
    option2_ = make(new QRadioButton(QStringLiteral("Textfil"), this), "Option2", 235, 116, 75, 24);
    option3_ = make(new QRadioButton(QStringLiteral("Printer"), this), "Option3", 315, 116, 75, 24);
    command1_ = make(new QPushButton(QStringLiteral("Utskrift"), this), "Command1", 400, 112, 100, 30);
    spreadsheetButton_ =
        make(new QPushButton(text::SheetButton, this), "spreadsheetButton", 570, 76, 200, 30);
    spreadsheetButton_->setEnabled(false);
    command2_ = make(new QPushButton(QStringLiteral("Avbryt Konto"), this), "Command2", 510, 112, 150, 30);
    command3_ = make(new QPushButton(QStringLiteral("Avsluta"), this), "Command3", 670, 112, 100, 30);
    label2_ =
        make(new QLabel(QStringLiteral("Statistik per transaktion:"), this), "Label2", 785, 10, 200, 20);
    text2_ = make(new QLineEdit(this), "Text2", 785, 32, 205, 24);
    text2_->setReadOnly(true);
    text2_->setCursor(Qt::PointingHandCursor);
    text2_->installEventFilter(this);
    list4_ = make(new QListWidget(this), "List4", 785, 58, 205, 170);
    label28_ = make(new QLabel(QStringLiteral("Hjälp"), this), "Label28", 520, 12, 60, 20);
    label28_->setCursor(Qt::PointingHandCursor);
    label28_->setStyleSheet(QStringLiteral("color: blue; text-decoration: underline;"));
    label28_->setFocusPolicy(Qt::StrongFocus);
    label28_->installEventFilter(this);

    frame1_ = make(new QFrame(this), "Frame1", 0, 160, 400, 385);
    frame1_->setFrameShape(QFrame::Box);
    label26_ = make(new QLabel(frame1_), "Label26", support::px(265), 4, 600, 18);
    label27_ = make(new QLabel(frame1_), "Label27", support::px(265), 22, 600, 18);
    for (int n = 15; n <= 25; ++n) {
        if (n == 23)
            continue;
        headings_[n - 15] = make(new QLabel(frame1_), ("Label" + std::to_string(n)).c_str(), 0, 42, 100, 18);
    }
    grid1_ = make(new QTableWidget(ScreenRows, 1, frame1_), "Grid1", support::px(250), 60, 300, 290);
    grid1_->horizontalHeader()->hide();
    grid1_->verticalHeader()->hide();
    grid1_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid1_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid1_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The fifteen rows fill the grid exactly.
    grid1_->verticalHeader()->setMinimumSectionSize(18);
    grid1_->verticalHeader()->setDefaultSectionSize(18);
    grid1_->resize(grid1_->width(), ScreenRows * 18 + 2 * grid1_->frameWidth());
    // The wheel and the keys scroll the report as its buttons do.
    grid1_->installEventFilter(this);
    grid1_->viewport()->installEventFilter(this);
    static const char* const scrollNames[4] = {"Command4", "Command5", "Command6", "Command7"};
    static const char* const scrollCaptions[4] = {"<", "<<", ">", ">>"};
    static const char* const scrollTips[4] = {"En post bakåt", "En sida bakåt", "En post framåt",
                                              "En sida framåt"};
    static const ScrollStep steps[4] = {ScrollStep::Back1, ScrollStep::Back15, ScrollStep::Forward1,
                                        ScrollStep::Forward15};
    static const int scrollX[4] = {60, 10, 110, 160};
    for (int i = 0; i < 4; ++i) {
        scrollButtons_[i] = make(new QPushButton(QString::fromLatin1(scrollCaptions[i]), frame1_),
                                 scrollNames[i], support::px(250) + scrollX[i], 355, 45, 24);
        scrollButtons_[i]->setToolTip(QString::fromUtf8(scrollTips[i]));
        connect(scrollButtons_[i], &QPushButton::clicked, this, [this, step = steps[i]] { scroll(step); });
    }
    for (QWidget* w : {static_cast<QWidget*>(list1_), static_cast<QWidget*>(list2_),
                       static_cast<QWidget*>(list3_), static_cast<QWidget*>(list4_)}) {
        w->hide();
        w->raise();
        w->installEventFilter(this); // Enter chooses the current entry
    }
    frame1_->hide();
    makeDiagramArea();
    resize(support::px(DesignWidth), support::px(CollapsedHeight));

    connect(combo1_, &QComboBox::activated, this, &UtskrStatForm::Combo1_Click);
    for (QListWidget* picker : {list1_, list2_, list3_})
        connect(picker, &QListWidget::itemClicked, this,
                [this, picker](QListWidgetItem* item) { picker_Click(picker, picker->row(item)); });
    connect(list4_, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { List4_Click(list4_->row(item)); });
    for (QCheckBox* box : {check1_, check2_, check3_})
        connect(box, &QCheckBox::clicked, this, [this, box] { Check_Click(box); });
    for (QRadioButton* option : {option1_, option2_, option3_})
        connect(option, &QRadioButton::clicked, this, [this, option] { Option_Click(option); });
    connect(command1_, &QPushButton::clicked, this, &UtskrStatForm::Command1_Click);
    connect(spreadsheetButton_, &QPushButton::clicked, this, &UtskrStatForm::saveAsSpreadsheet);
    connect(command2_, &QPushButton::clicked, this, &UtskrStatForm::Command2_Click);
    connect(command3_, &QPushButton::clicked, this, &UtskrStatForm::Command3_Click);
    // Esc closes an open picker, else the window as "Avsluta" does.
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this, [this] {
        if (list1_->isVisible() || list2_->isVisible() || list3_->isVisible())
            hidePickers();
        else
            command3_->click();
    });
}

void UtskrStatForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (loaded_)
        return;
    loaded_ = true;
    Form_Load();
}

void UtskrStatForm::Form_Load() {
    if (QWidget* main = parentWidget())
        main->setEnabled(false);
    setEnabled(true);
    support::trapped(
        ctx_, this, [this] { support::restoreWindowPosition(ctx_, *this, store::WindowPair::UtskrStatForm); },
        [] {
            return support::describeFailure(QStringLiteral("Form_Load"),
                                            QStringLiteral(" vid placering av utskriftsfönstret."));
        });
    setExpanded(false);
    resetStatisticsEntry(true);
    setMode(QStringLiteral("kto"), QStringLiteral("Avbryt Konto"));
    command1_->setEnabled(false);
    clearOptions();
    Inläs_Konton();
    if (!openAccount(start_.name, start_.kind, start_.kontoNum,
                     QStringLiteral("InitDatum i Utskriftsformulär"),
                     QStringLiteral(" vid hämtning av tidsbestämd fildel."))) {
        Avbr_Konto();
        return;
    }
    for (int i = 0; i < combo1_->count(); ++i)
        if (combo1_->itemData(i).toInt() == kontoNum_)
            combo1_->setCurrentIndex(i);
}

void UtskrStatForm::Command1_Click() {
    command1_->setEnabled(false);
    hidePickers();
    if (statMode_) {
        text2_->setEnabled(false);
        label2_->setEnabled(false);
        Trans_Stat();
        return;
    }
    if (!files_)
        return;
    if (option1_->isChecked()) {
        setExpanded(true);
        shown_.reset();
        ScreenPrint();
    } else if (option2_->isChecked()) {
        FilePrint();
    } else if (option3_->isChecked()) {
        PrPrint();
        Avbr_PrUtskr();
    }
}

void UtskrStatForm::Command2_Click() {
    hidePickers();
    if (mode_ == QLatin1String("kto"))
        Avbr_Konto();
    else if (mode_ == QLatin1String("stk"))
        Avbr_Statistik();
    else if (mode_ == QLatin1String("sku"))
        Avbryt_Skarmutskr();
    else if (mode_ == QLatin1String("fusk"))
        Avbr_FilUtskr();
    else if (mode_ == QLatin1String("prusk"))
        Avbr_PrUtskr();
}

void UtskrStatForm::Command3_Click() {
    support::trapped(
        ctx_, this, [this] { support::storeWindowPosition(ctx_, *this, store::WindowPair::UtskrStatForm); },
        [] {
            return support::describeFailure(QStringLiteral("Command3_Click"),
                                            QStringLiteral(" vid placering av utskriftsfönstret."));
        });
    closing_ = true;
    close();
    closing_ = false;
}

void UtskrStatForm::closeEvent(QCloseEvent* event) {
    if (!closing_ && loaded_) {
        support::trapped(
            ctx_, this,
            [this] { support::storeWindowPosition(ctx_, *this, store::WindowPair::UtskrStatForm); },
            [] {
                return support::describeFailure(QStringLiteral("Form_Unload"),
                                                QStringLiteral(" vid placering av utskriftsfönstret."));
            });
    }
    files_.reset();
    // The main window, disabled while this window is open, is given back on every way out.
    if (QWidget* main = parentWidget())
        main->setEnabled(true);
    event->accept();
}

void UtskrStatForm::mousePressEvent(QMouseEvent* event) {
    hidePickers();
    QWidget::mousePressEvent(event);
}

bool UtskrStatForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == grid1_->viewport() && event->type() == QEvent::Wheel) {
        const int steps = static_cast<QWheelEvent*>(event)->angleDelta().y() / 120;
        for (int i = 0; i < std::abs(steps); ++i)
            scrollAsButton(steps > 0 ? ScrollStep::Back1 : ScrollStep::Forward1);
        return true;
    }
    if (watched == grid1_ && event->type() == QEvent::KeyPress) {
        static const std::pair<int, ScrollStep> keys[] = {{Qt::Key_Up, ScrollStep::Back1},
                                                          {Qt::Key_PageUp, ScrollStep::Back15},
                                                          {Qt::Key_Down, ScrollStep::Forward1},
                                                          {Qt::Key_PageDown, ScrollStep::Forward15}};
        for (const auto& [key, step] : keys)
            if (static_cast<QKeyEvent*>(event)->key() == key) {
                scrollAsButton(step);
                return true;
            }
    }
    // From the keyboard, Enter or Space does what a click does: every control a mouse reaches is
    // reached by Tab too.
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        const bool press = key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space;
        for (QListWidget* list : {list1_, list2_, list3_, list4_})
            if (watched == list && press && list->currentRow() >= 0) {
                if (list == list4_)
                    List4_Click(list->currentRow());
                else
                    picker_Click(list, list->currentRow());
                return true;
            }
        if (!press)
            return QWidget::eventFilter(watched, event);
    }
    const bool activated = event->type() == QEvent::MouseButtonRelease || event->type() == QEvent::KeyPress;
    if (activated) {
        for (int i = 0; i < 6; ++i)
            if (watched == dateLabels_[i]) {
                dateLabel_Click(static_cast<DatePart>(i));
                return true;
            }
        if (watched == text2_ && text2_->isEnabled()) {
            Text2_Click();
            return true;
        }
        if (watched == label28_) {
            ctx_.platform.showHelp(HelpContext);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void UtskrStatForm::Avbr_Konto() {
    files_.reset();
    period_.reset();
    combo1_->setCurrentIndex(-1);
    name_.clear();
    text1_->clear();
    text1_->setToolTip(QString());
    untickChecks();
    for (QCheckBox* box : {check1_, check2_, check3_})
        box->setEnabled(false);
    clearOptions();
    setOutputsEnabled(false);
    command1_->setEnabled(false);
    for (QLabel* l : dateLabels_)
        l->clear();
    label14_->clear();
    label1_->setEnabled(false);
    combo1_->setEnabled(true);
    hidePickers();
    list4_->hide();
    statMode_ = false;
    statTrans_ = 0;
    resetStatisticsEntry(false);
    hideReport();
    setMode(QString(), QStringLiteral("Avbryt"));
    command2_->setEnabled(false);
}

bool UtskrStatForm::expanded() const {
    return height() >= support::px(ExpandedHeight);
}

void UtskrStatForm::setExpanded(bool on) {
    resize(width(), support::px(on ? ExpandedHeight : CollapsedHeight));
    if (on)
        support::keepOnScreen(*this);
}

void UtskrStatForm::hidePickers() {
    list1_->hide();
    list2_->hide();
    list3_->hide();
}

void UtskrStatForm::hideReport() {
    offerDiagram(false);
    frame1_->hide();
    shown_.reset();
    setExpanded(false);
}

void UtskrStatForm::setMode(const QString& code, const QString& caption) {
    mode_ = code;
    command2_->setText(caption);
    command2_->setEnabled(true);
}

void UtskrStatForm::resetStatisticsEntry(bool usable) {
    text2_->setText(ClickForTransactions);
    text2_->show();
    text2_->setEnabled(usable);
    label2_->show();
    label2_->setEnabled(usable);
}

void UtskrStatForm::setOutputsEnabled(bool on) {
    for (QRadioButton* o : {option1_, option2_, option3_})
        o->setEnabled(on);
    spreadsheetButton_->setEnabled(on);
}

void UtskrStatForm::clearOptions() {
    for (QRadioButton* o : {option1_, option2_, option3_}) {
        o->setAutoExclusive(false);
        o->setChecked(false);
        o->setAutoExclusive(true);
    }
}

void UtskrStatForm::untickChecks() {
    check1_->setChecked(false);
    check2_->setChecked(false);
    check3_->setChecked(false);
    check3_->setEnabled(false);
}

} // namespace stats
