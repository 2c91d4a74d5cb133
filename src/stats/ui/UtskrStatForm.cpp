#include "stats/ui/UtskrStatForm.h"

#include "accounts/Register.h"
#include "overview/Export.h"
#include "overview/Sheets.h"
#include "stats/ReportFile.h"
#include "stats/TextReport.h"
#include "stats/ui/DiagramWidget.h"
#include "stats/ui/ReportPrinter.h"
#include "store/Cp1252.h"
#include "store/Errors.h"
#include "store/Records.h"
#include "support/ui/Context.h"
#include "support/ui/Dialogs.h"
#include "support/ui/Platform.h"
#include "support/ui/Trap.h"
#include "support/ui/Twips.h"
#include "support/ui/WindowPosition.h"

#include <QApplication>
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
#include <QPrinter>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QTableWidget>
#include <QWheelEvent>

#include <cstdlib>

namespace stats {

namespace {

const QString ClickForTransactions = QStringLiteral("Klicka för transaktioner !");
constexpr int HelpContext = 70000;

QString q(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// The heading label of a column, by its number (Label15 ... Label25).
int headingLabelOf(Column c) {
    switch (c) {
    case Column::Datum:
        return 15;
    case Column::Huvudtransaktion:
        return 16;
    case Column::Subtransaktion:
        return 17;
    case Column::BudgBelopp:
        return 18;
    case Column::VerklBelopp:
        return 19;
    case Column::BudgSaldo:
        return 20;
    case Column::VerklSaldo:
        return 21;
    case Column::DiffSaldo:
        return 22;
    case Column::Belopp:
        return 24;
    case Column::Saldo:
        return 25;
    }
    return 15;
}

Qt::Alignment qtAlign(Align a) {
    switch (a) {
    case Align::Left:
        return Qt::AlignLeft | Qt::AlignVCenter;
    case Align::Centre:
        return Qt::AlignCenter;
    case Align::Right:
        return Qt::AlignRight | Qt::AlignVCenter;
    }
    return Qt::AlignLeft;
}

// An error description whose details begin with the procedure's own diagnostic line, not with the
// routine and the situation as two lines, followed by the values.
support::ErrorDescription diagnosed(const QString& routine, const QString& situation,
                                    const QString& diagnostic, const QStringList& values) {
    return {support::failureHeadline(routine, situation), QStringList{diagnostic} + values};
}

int kindNumber(ReportKind kind) {
    return static_cast<int>(kind) + 1;
}

// How the error report names a report kind after "vid utskriftsförsök skärm" and after
// "vid utskriftsförsök textfil " (the text file's kind 2 has no trap of its own: see FilePrint).
const char* const ScreenKindWords[7] = {" (exkl. subtr & budget)",
                                        " (inkl. subtr exkl. budget)",
                                        " (exkl. subtr, exkl. diff, inkl budg.)",
                                        " (exkl. subtr, inkl. diff, inkl budg.)",
                                        " (inkl. subtr, inkl. diff, inkl budg.)",
                                        " (inkl subtr, inkl budg, exkl diff.)",
                                        " av trans.statistik"};
const char* const FileKindWords[7] = {"(exkl. subtr & budget)",
                                      "",
                                      "(exkl. subtr inkl budget)",
                                      "(exkl. subtr inkl budget & diff)",
                                      "(inkl. subtr inkl budget & diff)",
                                      "(inkl subtr inkl budget exkl diff)",
                                      ""};

// The last post a failed output read, as the error report tells it.
QStringList fetched(const ReadTrace& trace) {
    return {QStringLiteral("Hämtad bokföringsdag: ") + q(store::cp1252ToUtf8(trace.datum)),
            QStringLiteral("Hämtat belopp: ") + q(store::cp1252ToUtf8(trace.amount)).trimmed()};
}

// Texts of the window and its messages, in one place.
namespace text {
const QString PdfTitle = QStringLiteral("Ingen skrivare finns: spara utskriften som PDF-fil");
const QString PdfFilter = QStringLiteral("PDF-filer (*.pdf)");
const QString SaveTitle = QStringLiteral("Spara utskriften som textfil");
const QString SaveFilter = QStringLiteral("Textfiler (*.txt)");
const QString AccountMode = QStringLiteral("Skriv ut Kontofil till:");
const QString StatisticsMode = QStringLiteral("Skriv ut statistik till:");
const QString SheetButton = QStringLiteral("Spara som kalkylblad…");
const QString SheetTitle = QStringLiteral("Spara som kalkylblad");
const QString XlsxFilter = QStringLiteral("Excel-arbetsbok (*.xlsx)");
const QString CsvSheetFilter = QStringLiteral("CSV för kalkylprogram (*.csv)");
const QString CsvStandardFilter = QStringLiteral("CSV standard (*.csv)");
const QString SheetSaved = QStringLiteral("Kalkylbladet har sparats i\n");
} // namespace text

} // namespace

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

void UtskrStatForm::Inläs_Konton() {
    support::trapped(
        ctx_, this,
        [this] {
            combo1_->clear();
            const store::RecordFile kontoFil(ctx_.paths.kontoFil(), store::KontoRec::Length,
                                             store::RecordFile::Missing::Fail);
            for (const accounts::RegisterEntry& entry : accounts::listAccounts(kontoFil))
                combo1_->addItem(q(entry.name), entry.recordNumber);
            combo1_->setCurrentIndex(-1);
        },
        [] {
            return diagnosed(QStringLiteral("Inläs_Konton (UtskriftsForm)."), QString(),
                             QStringLiteral("Fel i rutinen Inläs_Konton (UtskriftsForm)"), {});
        });
}

bool UtskrStatForm::openAccount(const QString& name, const QString& kind, int kontoNum,
                                const QString& routine, const QString& situation) {
    // Everything is read before anything of the window changes: an account whose files cannot be
    // read leaves the window with the account it had.
    std::optional<AccountFiles> files;
    std::optional<PeriodSelection> period;
    std::optional<ledger::Kind> k;
    std::string raw;
    const bool ok = support::trapped(
        ctx_, this,
        [&] {
            k = ledger::kindFromCode(kind.toStdString());
            if (!k)
                throw store::DataError("Okänd kontotyp '" + kind.toStdString() + "'");
            const std::optional<std::string> cp = store::utf8ToCp1252(name.toStdString());
            if (!cp)
                throw store::DataError("Kontonamnet kan inte skrivas i filernas teckenuppsättning");
            raw = *cp;
            files.emplace(openAccountFiles(ctx_.paths, raw, *k));
            period.emplace(files->kontoData);
        },
        [&] {
            return support::describeFailure(routine, situation,
                                            {QStringLiteral("Konto: ") + name,
                                             QStringLiteral("Kontotyp: ") + kind,
                                             QStringLiteral("KontoNum: ") + QString::number(kontoNum)});
        });
    if (!ok)
        return false;
    name_ = name;
    nameRaw_ = raw;
    kind_ = k;
    kontoNum_ = kontoNum;
    files_ = std::move(files);
    period_ = std::move(period);
    text1_->setText(name_);
    // The kind, as the main window names its ledgers.
    text1_->setToolTip(isBudget() ? QStringLiteral("Budgetbokföring") : QStringLiteral("Kassabokföring"));
    InitDatum();
    label1_->setEnabled(true);
    combo1_->setEnabled(true);
    text1_->setEnabled(true);
    untickChecks();
    check1_->setEnabled(true);
    check2_->setEnabled(isBudget());
    setOutputsEnabled(true);
    clearOptions();
    command1_->setEnabled(false);
    statMode_ = false;
    statTrans_ = 0;
    statName_.clear();
    resetStatisticsEntry(true);
    label13_->setText(text::AccountMode);
    list4_->hide();
    hideReport();
    command2_->show();
    command2_->setEnabled(true);
    setMode(QStringLiteral("kto"), QStringLiteral("Avbryt Konto"));
    return true;
}

void UtskrStatForm::InitDatum() {
    list1_->clear();
    for (const std::string& y : period_->years())
        list1_->addItem(q(y));
    showPeriod();
}

void UtskrStatForm::showPeriod() {
    const PeriodParts& p = period_->parts();
    const std::string* parts[6] = {&p.startYear, &p.startMonth, &p.startDay,
                                   &p.endYear,   &p.endMonth,   &p.endDay};
    for (int i = 0; i < 6; ++i)
        dateLabels_[i]->setText(q(*parts[i]));
    label14_->setText(period_->hasPosts() ? q(period_->coverage()) : QString());
}

void UtskrStatForm::Combo1_Click(int index) {
    if (index < 0)
        return;
    const int previous = combo1_->findData(kontoNum_);
    const int number = combo1_->itemData(index).toInt();
    const QString name = combo1_->itemText(index).trimmed();
    QString kind;
    const bool read = support::trapped(
        ctx_, this,
        [&] {
            const store::RecordFile kontoFil(ctx_.paths.kontoFil(), store::KontoRec::Length,
                                             store::RecordFile::Missing::Fail);
            kind = q(store::cp1252ToUtf8(kontoFil.read<store::KontoRec>(static_cast<std::size_t>(number))
                                             .text(store::KontoRec::KontoTyp)));
        },
        [&] {
            return support::describeFailure(QStringLiteral("Combo1_Click i UtskriftsForm"),
                                            QStringLiteral(" vid försök att välja konto"),
                                            {QStringLiteral("KontoNum: ") + QString::number(number)});
        });
    if (read && openAccount(name, kind, number, QStringLiteral("Combo1_Click i UtskriftsForm"),
                            QStringLiteral(" vid försök att välja konto")))
        return;
    // The previous account stays chosen (none when there was none).
    combo1_->setCurrentIndex(files_ ? previous : -1);
}

void UtskrStatForm::dateLabel_Click(DatePart part) {
    if (!period_ || !period_->hasPosts() || !dateLabels_[0]->isEnabled())
        return;
    hidePickers();
    pickTarget_ = part;
    const int i = static_cast<int>(part);
    const bool start = i < 3;
    QListWidget* picker = nullptr;
    switch (i % 3) {
    case 0:
        picker = list1_;
        break;
    case 1:
        picker = list2_;
        picker->clear();
        for (const std::string& m : monthList())
            picker->addItem(q(m));
        break;
    default: {
        picker = list3_;
        picker->clear();
        const PeriodParts& p = period_->parts();
        for (const std::string& d :
             dayList(start ? p.startYear : p.endYear, start ? p.startMonth : p.endMonth))
            picker->addItem(q(d));
        break;
    }
    }
    picker->move(dateLabels_[i]->x(), dateLabels_[i]->y() + dateLabels_[i]->height() + 2);
    const QList<QListWidgetItem*> shown = picker->findItems(dateLabels_[i]->text(), Qt::MatchExactly);
    if (!shown.isEmpty())
        picker->setCurrentItem(shown.first());
    picker->show();
    picker->setFocus();
    picker->raise();
}

void UtskrStatForm::picker_Click(QListWidget* picker, int row) {
    if (!period_ || row < 0 || row >= picker->count())
        return;
    PeriodParts p = period_->parts();
    std::string* parts[6] = {&p.startYear, &p.startMonth, &p.startDay, &p.endYear, &p.endMonth, &p.endDay};
    *parts[static_cast<int>(pickTarget_)] = picker->item(row)->text().toStdString();
    hidePickers();
    Datum_Jmf(p);
}

void UtskrStatForm::Datum_Jmf(const PeriodParts& wanted) {
    bool accepted = true;
    if (!support::trapped(
            ctx_, this, [&] { accepted = period_->change(files_->kontoData, wanted); },
            [&] {
                return support::describeFailure(QStringLiteral("Datum_Jmf i Utskriftsformulär"),
                                                QStringLiteral(" vid försök att sätta tidsperiod."),
                                                {QStringLiteral("Startdatum: ") + q(startKey(wanted)),
                                                 QStringLiteral("Slutdatum: ") + q(endKey(wanted))});
            }))
        return;
    showPeriod();
    if (!accepted) {
        ctx_.dialogs.message(this, q(PeriodRefusedTitle), q(PeriodRefusedText),
                             support::Dialogs::Icon::Exclamation);
        return;
    }
    // What is on screen follows the new period at once: the statistics, and (unlike the window's
    // first design, which kept a report until the next "Utskrift") the account report too.
    if (statMode_) {
        shown_.reset();
        Trans_Stat();
    } else if (shown_) {
        shown_.reset();
        ScreenPrint();
    }
}

void UtskrStatForm::Check_Click(QCheckBox* box) {
    if (box == check2_) {
        check3_->setEnabled(check2_->isChecked());
        if (!check2_->isChecked())
            check3_->setChecked(false);
    }
    clearOptions();
    command1_->setEnabled(false);
    hideReport();
}

std::optional<ReportKind> UtskrStatForm::checkedKind() const {
    const std::optional<ReportKind> kind =
        kindFromChecks(check1_->isChecked(), check2_->isChecked(), check3_->isChecked());
    if (kind && needsBudgetAccount(*kind) && !isBudget())
        return std::nullopt;
    return kind;
}

void UtskrStatForm::Option_Click(QRadioButton* option) {
    if (!statMode_) {
        if (option == option1_) {
            setMode(QStringLiteral("sku"), QStringLiteral("Avbryt Skärmutskr."));
            // The statistics entry rests while a screen report is chosen.
            resetStatisticsEntry(false);
        } else if (option == option2_) {
            setMode(QStringLiteral("fusk"), QStringLiteral("Avbryt Filutskr."));
        } else {
            setMode(QStringLiteral("prusk"), QStringLiteral("Avbryt Printerutskr."));
        }
    }
    command1_->show();
    command1_->setEnabled(true);
    command1_->setFocus();
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

void UtskrStatForm::Text2_Click() {
    if (statMode_ || !files_ || !text2_->isEnabled())
        return;
    hidePickers();
    support::trapped(
        ctx_, this,
        [this] {
            list4_->clear();
            const store::RecordFile& transakt = files_->transakt;
            for (std::size_t n = 1; n <= transakt.count(); ++n) {
                const std::string name = transakt.read<store::TransRec>(n).text(store::TransRec::TransNamn);
                if (!name.empty()) {
                    auto* item = new QListWidgetItem(q(store::cp1252ToUtf8(name)), list4_);
                    item->setData(Qt::UserRole, static_cast<int>(n));
                }
            }
            text2_->setEnabled(false);
            statMode_ = true;
            statTrans_ = 0;
            hideReport();
            clearOptions();
            setOutputsEnabled(false);
            command1_->setEnabled(false);
            label1_->setEnabled(false);
            combo1_->setEnabled(false);
            text1_->setEnabled(false);
            untickChecks();
            for (QCheckBox* box : {check1_, check2_, check3_})
                box->setEnabled(false);
            list4_->show();
            list4_->raise();
            list4_->setFocus();
            setMode(QStringLiteral("stk"), QStringLiteral("Avbryt Statistik"));
        },
        [] {
            return support::describeFailure(
                QStringLiteral("Text2_MouseUp ('Klicka för transaktion')"),
                QStringLiteral(" vid försök att visa transaktionslistan i StatistikFormuläret"));
        });
}

void UtskrStatForm::List4_Click(int row) {
    QListWidgetItem* item = list4_->item(row);
    if (!item || !files_)
        return;
    support::trapped(
        ctx_, this,
        [&] {
            statTrans_ = item->data(Qt::UserRole).toInt();
            statName_ = item->text();
            text2_->setText(statName_);
            statSign_ = q(store::cp1252ToUtf8(
                files_->transakt.read<store::TransRec>(static_cast<std::size_t>(statTrans_))
                    .text(store::TransRec::Tecken)));
            list4_->hide();
            setOutputsEnabled(true);
            label13_->setText(text::StatisticsMode);
        },
        [&] {
            return support::describeFailure(
                QStringLiteral("List4_Click Utskriftsformulär"),
                QStringLiteral(" vid försök att välja transaktion för statistik."),
                {QStringLiteral("Transaktion: ") + item->text()});
        });
}

void UtskrStatForm::Trans_Stat() {
    if (!files_)
        return;
    const bool ok = support::trapped(
        ctx_, this,
        [this] {
            period_->reset(files_->kontoData);
            stats_ = computeStatistics(*files_, period_->range(), statTrans_);
        },
        [this] {
            return diagnosed(
                QStringLiteral("Trans_Stat"), QStringLiteral(" vid utskriftsförsök av statistik till skärm."),
                QStringLiteral("Fel i rutinen Trans_Stat vid utskriftsförsök skärm av trans.statistik"),
                {QStringLiteral("Antal poster i matrisen: ") + QString::number(stats_.hits()),
                 QStringLiteral("Bokföringsval: ") + accountKindCode(),
                 QStringLiteral("Skapad summering: ") + q(stats_.summary)});
        });
    if (!ok)
        return;
    if (stats_.noHits()) {
        if (option1_->isChecked()) {
            setExpanded(true);
            screenRange_ = PostRange{1, 0};
            cursor_ = 1;
            shown_.reset();
            ScPr(ReportKind::Pr_7);
            label26_->setText(q(statisticsHeading(statName_.toStdString())));
            label27_->setText(q(NoHitsScreenText));
            return;
        }
        ctx_.dialogs.message(this, q(noHitsMessageTitle(statName_.toStdString())), q(NoHitsMessageText),
                             support::Dialogs::Icon::Information);
        Avbr_Statistik();
        return;
    }
    if (option1_->isChecked()) {
        setExpanded(true);
        shown_.reset();
        screenRange_ = PostRange{1, stats_.hits()};
        cursor_ = 1;
        ScPr(ReportKind::Pr_7);
    } else if (option2_->isChecked()) {
        FilPr_7();
    } else if (option3_->isChecked()) {
        PriPr_7();
    }
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

void UtskrStatForm::Avbr_Statistik() {
    label1_->setEnabled(true);
    combo1_->setEnabled(true);
    text1_->setEnabled(true);
    check1_->setEnabled(true);
    check2_->setEnabled(isBudget());
    stats_ = Statistics{};
    statMode_ = false;
    resetStatisticsEntry(true);
    label13_->setText(text::AccountMode);
    list4_->hide();
    hideReport();
    clearOptions();
    setOutputsEnabled(true);
    command1_->setEnabled(false);
    setMode(QStringLiteral("kto"), QStringLiteral("Avbryt Konto"));
    statTrans_ = 0;
    statName_.clear();
}

void UtskrStatForm::Avbryt_Skarmutskr() {
    option1_->setAutoExclusive(false);
    option1_->setChecked(false);
    option1_->setAutoExclusive(true);
    command1_->setEnabled(false);
    hideReport();
    untickChecks();
    statMode_ = false;
    resetStatisticsEntry(true);
    setMode(QStringLiteral("kto"), QStringLiteral("Avbryt Konto"));
    command2_->setFocus();
}

void UtskrStatForm::Avbr_FilUtskr() {
    clearOptions();
    command1_->setEnabled(false);
    untickChecks();
    setMode(QStringLiteral("kto"), QStringLiteral("Avbryt Konto"));
    command2_->setFocus();
}

void UtskrStatForm::Avbr_PrUtskr() {
    Avbr_FilUtskr();
}

void UtskrStatForm::ScreenPrint() {
    const std::optional<ReportKind> kind = checkedKind();
    if (!kind)
        return;
    if (!support::trapped(
            ctx_, this,
            [this] {
                period_->reset(files_->kontoData);
                screenRange_ = period_->range();
                cursor_ = period_->current;
            },
            [] {
                return support::describeFailure(
                    QStringLiteral("Datum_Reset"),
                    QStringLiteral(" vid uppdatering av start- och end i tidsperiod."));
            }))
        return;
    ScPr(*kind);
}

void UtskrStatForm::ScPr(ReportKind kind) {
    const QString routine = QStringLiteral("ScPr_") + QString::number(kindNumber(kind));
    ReadTrace trace;
    support::trapped(
        ctx_, this,
        [&] {
            const ReportLayout& layout = layoutOf(kind);
            if (shown_ != kind) {
                frame1_->setGeometry(support::px(layout.frameLeft), frame1_->y(),
                                     support::px(layout.frameWidth), frame1_->height());
                for (QLabel* l : headings_)
                    if (l)
                        l->hide();
                grid1_->clearContents();
                grid1_->setColumnCount(static_cast<int>(layout.columns.size()));
                int width = 0;
                for (std::size_t c = 0; c < layout.columns.size(); ++c) {
                    const ReportColumn& col = layout.columns[c];
                    grid1_->setColumnWidth(static_cast<int>(c), support::px(col.gridWidth));
                    width += support::px(col.gridWidth);
                    QLabel* heading = headings_[headingLabelOf(col.column) - 15];
                    heading->setText(q(col.screenHeading));
                    heading->move(support::px(col.headingLeft), heading->y());
                    heading->adjustSize();
                    heading->show();
                }
                grid1_->resize(width + 2 * grid1_->frameWidth(), grid1_->height());
                const bool statistics = kind == ReportKind::Pr_7;
                label26_->setVisible(statistics);
                label27_->setVisible(statistics);
                if (statistics) {
                    label26_->setText(q(statisticsHeading(statName_.toStdString())));
                    label27_->setText(q(stats_.summary));
                }
                offerDiagram(statistics && !stats_.noHits());
                frame1_->show();
                shown_ = kind;
            }
            grid1_->setUpdatesEnabled(false);
            const int to = std::min(cursor_ + ScreenRows - 1, screenRange_.last);
            std::vector<ReportRow> rows;
            if (cursor_ <= to && kind == ReportKind::Pr_7) {
                rows = statisticsRows(stats_, cursor_, to);
                if (!rows.empty())
                    trace = {cursor_ + static_cast<int>(rows.size()) - 1, rows.back()[0], rows.back()[2]};
            } else if (cursor_ <= to) {
                rows = reportRows(*files_, kind, cursor_, to, &trace);
            }
            for (int r = 0; r < ScreenRows; ++r)
                for (int c = 0; c < grid1_->columnCount(); ++c) {
                    const bool filled = r < static_cast<int>(rows.size());
                    auto* item = new QTableWidgetItem(
                        filled ? q(rows[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)])
                               : QString());
                    item->setTextAlignment(qtAlign(layout.columns[static_cast<std::size_t>(c)].align));
                    grid1_->setItem(r, c, item);
                }
            grid1_->setUpdatesEnabled(true);
            ScrollButtons();
        },
        [&] {
            grid1_->setUpdatesEnabled(true);
            QStringList widths;
            for (const ReportColumn& col : layoutOf(kind).columns)
                widths << QString::number(col.gridWidth);
            return diagnosed(
                routine,
                kind == ReportKind::Pr_7 ? QStringLiteral(" vid utskriftsförsök till skärm av statistik.")
                                         : QStringLiteral(" vid utskriftsförsök till skärm."),
                QStringLiteral("Fel i rutinen ") + routine + QStringLiteral(" vid utskriftsförsök skärm") +
                    QString::fromUtf8(ScreenKindWords[kindNumber(kind) - 1]),
                QStringList{QStringLiteral("GridSetting: %1 rader, kolumnbredd %2")
                                .arg(ScreenRows)
                                .arg(widths.join(QLatin1Char(';'))),
                            QStringLiteral("Bokföringsval: ") + accountKindCode(),
                            QStringLiteral("Senaste sökrecord i filen: ") + QString::number(trace.record),
                            QStringLiteral("Stopprecord i filen: ") + QString::number(screenRange_.last)} +
                    fetched(trace));
        });
}

// Whatever fails while the diagram is set up or drawn is told as a failure of its drawing.
static support::ErrorDescription drawingFailure() {
    return diagnosed(QStringLiteral("DiagramSkapa"), QStringLiteral(" vid försök rita diagramkurva."),
                     QStringLiteral("Fel i rutinen DiagramSkapa vid försök rita diagramkurva."), {});
}

void UtskrStatForm::makeDiagramArea() {
    command8_ = new QPushButton(QStringLiteral("Visa diagram"), this);
    command8_->setObjectName(QStringLiteral("Command8"));
    command8_->setGeometry(785, 112, 140, 30);
    command8_->hide();
    // The diagram covers the report area while it is shown.
    diagramArea_ = new QFrame(this);
    diagramArea_->setObjectName(QStringLiteral("DiagramArea"));
    diagramArea_->setGeometry(0, 160, support::px(DesignWidth), support::px(ExpandedHeight) - 160);
    diagramArea_->setAutoFillBackground(true);
    l7_ = new QLabel(diagramArea_);
    l7_->setObjectName(QStringLiteral("L7"));
    l7_->setGeometry(10, 4, diagramArea_->width() - 20, 20);
    picture1_ = new DiagramWidget(diagramArea_);
    picture1_->setGeometry((diagramArea_->width() - support::px(diagram::PictureWidth)) / 2, 28,
                           support::px(diagram::PictureWidth), support::px(diagram::PictureHeight));
    const int row = picture1_->geometry().bottom() + 6;
    l6_ = new QLabel(diagramArea_);
    l6_->setObjectName(QStringLiteral("L6"));
    l6_->setGeometry(picture1_->x() + support::px(diagram::Left), row + 4, 200, 20);
    command9_ = new QPushButton(QStringLiteral("Nästa"), diagramArea_);
    command9_->setObjectName(QStringLiteral("Command9"));
    command9_->setGeometry(picture1_->x() + support::px(diagram::Left) + 220, row, 120, 28);
    command10_ = new QPushButton(QStringLiteral("Avsluta diagram"), diagramArea_);
    command10_->setObjectName(QStringLiteral("Command10"));
    command10_->setGeometry(command9_->geometry().right() + 15, row, 150, 28);
    // Beyond the window's first design: the diagram's pages on paper or in a PDF file.
    printDiagram_ = new QPushButton(QStringLiteral("Skriv ut diagram"), diagramArea_);
    printDiagram_->setObjectName(QStringLiteral("PrintDiagram"));
    printDiagram_->setGeometry(command10_->geometry().right() + 15, row, 150, 28);
    connect(printDiagram_, &QPushButton::clicked, this, &UtskrStatForm::printDiagramPages);
    command9_->hide();
    diagramArea_->hide();
    connect(command8_, &QPushButton::clicked, this, &UtskrStatForm::Command8_Click);
    connect(command9_, &QPushButton::clicked, this, &UtskrStatForm::Command9_Click);
    connect(command10_, &QPushButton::clicked, this, &UtskrStatForm::Command10_Click);
}

void UtskrStatForm::offerDiagram(bool offered) {
    closeDiagram();
    command8_->setVisible(offered);
}

void UtskrStatForm::Command8_Click() {
    Diagram_Setup();
}

void UtskrStatForm::Command9_Click() {
    if (diagram_)
        DiagramSkapa();
}

void UtskrStatForm::Command10_Click() {
    closeDiagram();
}

void UtskrStatForm::Diagram_Setup() {
    if (!period_ || stats_.noHits())
        return;
    l7_->setText(q(diagramTitle(statName_.toStdString(), name_.toStdString(), period_->parts())));
    command8_->setEnabled(false);
    diagramArea_->show();
    diagramArea_->raise();
    if (support::trapped(
            ctx_, this, [this] { diagram_.emplace(stats_.rows, statSign_.trimmed() == QLatin1String("-")); },
            drawingFailure))
        showDiagramPage();
    else
        closeDiagram();
}

void UtskrStatForm::DiagramSkapa() {
    picture1_->clear();
    if (support::trapped(
            ctx_, this, [this] { diagram_->DiagramSkapa(); }, drawingFailure))
        showDiagramPage();
}

void UtskrStatForm::showDiagramPage() {
    support::trapped(
        ctx_, this,
        [this] {
            picture1_->setDrawing(diagram_->drawing());
            l6_->setText(q(diagram_->yearText()));
            command9_->setText(q(diagram_->pagerCaption()));
            command9_->setVisible(diagram_->pagerVisible());
        },
        drawingFailure);
}

void UtskrStatForm::printDiagramPages() {
    QPrinter printer(QPrinter::HighResolution);
    if (!diagram_ ||
        !choosePrinter(printer, name_ + QLatin1Char('_') + statName_ + QStringLiteral("_diagram")))
        return;
    if (printed(
            printer,
            [&] {
                printDiagram(printer, stats_.rows, statSign_.trimmed() == QLatin1String("-"),
                             q(diagramTitle(statName_.toStdString(), name_.toStdString(), period_->parts())));
                return true;
            },
            [&] {
                return support::describeFailure(
                    QStringLiteral("Skriv_Diagram"), QStringLiteral(" vid utskriftsförsök av diagram."),
                    {QStringLiteral("Utskrift till: ") + (printer.outputFileName().isEmpty()
                                                              ? printer.printerName()
                                                              : printer.outputFileName())});
            }))
        PrinterMsg();
}

void UtskrStatForm::closeDiagram() {
    diagram_.reset();
    l6_->clear();
    l7_->clear();
    picture1_->clear();
    diagramArea_->hide();
    command8_->setEnabled(true);
}

void UtskrStatForm::ScrollButtons() {
    const bool back = canScrollBack(screenRange_, cursor_);
    const bool forward = canScrollForward(screenRange_, cursor_);
    scrollButtons_[0]->setEnabled(back);
    scrollButtons_[1]->setEnabled(back);
    scrollButtons_[2]->setEnabled(forward);
    scrollButtons_[3]->setEnabled(forward);
}

void UtskrStatForm::scrollAsButton(ScrollStep step) {
    static constexpr ScrollStep order[4] = {ScrollStep::Back1, ScrollStep::Back15, ScrollStep::Forward1,
                                            ScrollStep::Forward15};
    for (int i = 0; i < 4; ++i)
        if (order[i] == step && scrollButtons_[i]->isEnabled() && scrollButtons_[i]->isVisible())
            scroll(step);
}

void UtskrStatForm::scroll(ScrollStep step) {
    if (!shown_)
        return;
    cursor_ = scrolled(screenRange_, cursor_, step);
    ScPr(*shown_);
}

QString UtskrStatForm::askPath(QString defaultName) {
    // A transaction's name may hold a slash; the offered name stays one file in the drive folder.
    defaultName.replace(QLatin1Char('/'), QLatin1Char('-'));
    const QString folder = QString::fromStdString(ctx_.paths.driveFolder().string());
    return ctx_.dialogs.saveFile(this, text::SaveTitle, folder + QLatin1Char('/') + defaultName,
                                 text::SaveFilter);
}

bool UtskrStatForm::savedOrTold(const std::function<void()>& body,
                                const std::function<support::ErrorDescription()>& describe) {
    std::optional<std::string> problem;
    const bool ran = support::trapped(
        ctx_, this,
        [&] {
            try {
                body();
            } catch (const store::FileError& e) {
                problem = plainFileProblem(e);
                if (!problem)
                    throw;
            }
        },
        describe);
    if (problem)
        ctx_.dialogs.message(this, q(SaveFailedTitle), q(*problem), support::Dialogs::Icon::Exclamation);
    return ran && !problem;
}

void UtskrStatForm::FilePrint() {
    const std::optional<ReportKind> kind = checkedKind();
    if (!kind)
        return;
    const QString path = askPath(name_ + QStringLiteral(".txt"));
    if (path.isEmpty()) {
        Avbr_FilUtskr();
        return;
    }
    const QString routine = QStringLiteral("FilPr_") + QString::number(kindNumber(*kind));
    ReadTrace trace;
    const auto filePrintFailure = [&] {
        return diagnosed(
            QStringLiteral("FilePrint"), QStringLiteral(" vid utskriftssortering till textfil."),
            QStringLiteral("Fel i rutinen FilePrint vid utskriftssortering textfil."),
            QStringList{QStringLiteral("Filbenämning: ") + path,
                        QStringLiteral("Bokföringsval: ") + accountKindCode(),
                        QStringLiteral("Senaste sökrecord i filen: ") + QString::number(trace.record)} +
                fetched(trace));
    };
    std::string bytes;
    if (!support::trapped(
            ctx_, this,
            [&] {
                period_->reset(files_->kontoData);
                bytes = accountReportFile(*files_, *kind, period_->range(), name_.toStdString(), ctx_.today,
                                          &trace);
            },
            [&] {
                // Kind 2 has no trap of its own: what fails in it is told as a failure of FilePrint.
                if (*kind == ReportKind::Pr_2)
                    return filePrintFailure();
                int amountEdge = 0;
                for (const ReportColumn& col : layoutOf(*kind).columns)
                    if (col.column == Column::Belopp || col.column == Column::VerklBelopp)
                        amountEdge = col.fileColumn;
                return diagnosed(
                    routine, QStringLiteral(" vid utskriftsförsök till textfil."),
                    QStringLiteral("Fel i rutinen ") + routine +
                        QStringLiteral(" vid utskriftsförsök textfil ") +
                        QString::fromUtf8(FileKindWords[kindNumber(*kind) - 1]),
                    QStringList{QStringLiteral("RubrikSetting: ") +
                                    q(accountReportHeading(name_.toStdString(), ctx_.today)),
                                QStringLiteral("Tab verkl.belopp: ") + QString::number(amountEdge),
                                QStringLiteral("Bokföringsval: ") + accountKindCode(),
                                QStringLiteral("Senaste sökrecord i filen: ") + QString::number(trace.record),
                                QStringLiteral("Sista record i filen: ") +
                                    QString::number(period_->range().last)} +
                        fetched(trace));
            }))
        return;
    if (savedOrTold([&] { writeReportFile(path.toStdString(), bytes); }, filePrintFailure))
        UtskrMedd(path);
}

void UtskrStatForm::saveAsSpreadsheet() {
    hidePickers();
    if (!files_ || (statMode_ && statTrans_ == 0))
        return;
    const std::optional<ReportKind> kind = statMode_ ? std::optional(ReportKind::Pr_7) : checkedKind();
    if (!kind)
        return;
    QString offered = statMode_ ? name_ + QLatin1Char('_') + statName_ : name_;
    offered.replace(QLatin1Char('/'), QLatin1Char('-'));
    QString filter;
    QString path = ctx_.dialogs.saveFile(this, text::SheetTitle,
                                         QString::fromStdString(ctx_.paths.driveFolder().string()) +
                                             QLatin1Char('/') + offered + QStringLiteral(".xlsx"),
                                         text::XlsxFilter + QStringLiteral(";;") + text::CsvSheetFilter +
                                             QStringLiteral(";;") + text::CsvStandardFilter,
                                         &filter);
    if (path.isEmpty())
        return; // the window stays as it was
    // A typed ending chooses the form; without one the chosen filter does.
    bool xlsx = filter == text::XlsxFilter;
    if (path.endsWith(QStringLiteral(".xlsx"), Qt::CaseInsensitive))
        xlsx = true;
    else if (path.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive))
        xlsx = false;
    else
        path += xlsx ? QStringLiteral(".xlsx") : QStringLiteral(".csv");
    const overview::CsvForm csvForm =
        filter == text::CsvStandardFilter ? overview::CsvForm::Standard : overview::CsvForm::Spreadsheet;

    std::optional<std::string> problem;
    bool stopped = false;
    const bool ran = support::trapped(
        ctx_, this,
        [&] {
            period_->reset(files_->kontoData);
            Statistics statistics;
            overview::Sheet sheet;
            if (statMode_) {
                statistics = computeStatistics(*files_, period_->range(), statTrans_);
                sheet = overview::statisticsSheet(statistics, statName_.toStdString());
            } else {
                sheet = overview::accountReportSheet(*files_, *kind, period_->range(), name_.toStdString());
            }
            try {
                if (!xlsx) {
                    overview::writeCsv(path.toStdString(), sheet, csvForm);
                    return;
                }
                // A long report shows how far it has come and can be stopped.
                std::unique_ptr<QProgressDialog> progress;
                if (sheet.rowCount > 5000) {
                    progress = std::make_unique<QProgressDialog>(QStringLiteral("Sparar kalkylbladet…"),
                                                                 QStringLiteral("Avbryt"), 0,
                                                                 static_cast<int>(sheet.rowCount), this);
                    progress->setWindowTitle(text::SheetTitle);
                    progress->setWindowModality(Qt::WindowModal);
                    progress->setMinimumDuration(300);
                }
                overview::writeXlsx(path.toStdString(), {sheet}, [&](std::size_t rows) {
                    if (!progress)
                        return true;
                    progress->setValue(static_cast<int>(rows));
                    QApplication::processEvents();
                    return !progress->wasCanceled();
                });
            } catch (const store::FileError& e) {
                problem = overview::exportProblem(e);
            } catch (const overview::ExportCancelled&) {
                stopped = true;
            }
        },
        [&] {
            return support::describeFailure(QStringLiteral("Kalkylblad_Utskrift"),
                                            QStringLiteral(" vid försök att spara som kalkylblad."),
                                            {QStringLiteral("Filbenämning: ") + path,
                                             QStringLiteral("Bokföringsval: ") + accountKindCode()});
        });
    if (problem)
        ctx_.dialogs.message(this, q(overview::ExportFailedTitle), q(*problem),
                             support::Dialogs::Icon::Exclamation);
    if (!ran || problem || stopped)
        return;
    ctx_.dialogs.message(this, text::SheetTitle, text::SheetSaved + path,
                         support::Dialogs::Icon::Information);
    returnAfterFile();
}

void UtskrStatForm::FilPr_7() {
    const QString path = askPath(name_ + QLatin1Char('_') + statName_ + QStringLiteral(".txt"));
    if (path.isEmpty())
        return; // quietly: the window stays in statistics mode
    if (savedOrTold(
            [&] {
                writeReportFile(
                    path.toStdString(),
                    statisticsReportFile(stats_, name_.toStdString(), statName_.toStdString(), ctx_.today));
            },
            [&] {
                return diagnosed(
                    QStringLiteral("FilPr_7"), QStringLiteral(" vid utskriftsförsök statistik till textfil."),
                    QStringLiteral("Fel i rutinen FilPr_7 vid utskriftsförsök textfil (statistik)"),
                    {QStringLiteral("Filbenämning: ") + path});
            }))
        UtskrMedd(path);
}

void UtskrStatForm::PrPrint() {
    const std::optional<ReportKind> kind = checkedKind();
    if (!kind)
        return;
    static const char* const what[6] = {
        "(exkl subtr exkl budget)",           "(inkl subtr exkl budget)",
        "(exkl subtr inkl budget exkl diff)", "(exkl subtr inkl budget inkl diff)",
        "(inkl subtr inkl budget inkl diff)", "(inkl subtr inkl budget exkl diff)"};
    const int n = kindNumber(*kind);
    const QString routine = QStringLiteral("PriPr_") + QString::number(n);
    if (printReport(routine, name_, QStringLiteral(" vid utskriftsförsök till printer."),
                    QStringLiteral("Fel i rutinen ") + routine +
                        QStringLiteral(" vid utskriftsförsök printer ") + QString::fromUtf8(what[n - 1]),
                    [&](PrintTarget& target) {
                        period_->reset(files_->kontoData);
                        return printAccountReport(target, *files_, *kind, period_->range(),
                                                  name_.toStdString(), ctx_.today);
                    }))
        PrinterMsg();
}

void UtskrStatForm::PriPr_7() {
    // After a statistics printout the window stays in statistics mode until the user cancels it.
    if (printReport(QStringLiteral("PriPr_7"), name_ + QLatin1Char('_') + statName_,
                    QStringLiteral(" vid utskriftsförsök statistik till printer."),
                    QStringLiteral("Fel i rutinen PriPr_7 vid utskriftsförsök printer (statistik)"),
                    [&](PrintTarget& target) {
                        return printStatisticsReport(target, stats_, name_.toStdString(),
                                                     statName_.toStdString(), ctx_.today);
                    }))
        PrinterMsg();
}

bool UtskrStatForm::choosePrinter(QPrinter& printer, const QString& fileName) {
    printer.setDocName(fileName);
    if (ctx_.platform.printersInstalled())
        return ctx_.dialogs.printSetup(this, printer);
    // Without a printer the report is offered as a PDF file, never sent to an empty job.
    QString name = fileName + QStringLiteral(".pdf");
    name.replace(QLatin1Char('/'), QLatin1Char('-'));
    const QString path = ctx_.dialogs.saveFile(
        this, text::PdfTitle,
        QString::fromStdString(ctx_.paths.driveFolder().string()) + QLatin1Char('/') + name, text::PdfFilter);
    if (path.isEmpty())
        return false;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    return true;
}

bool UtskrStatForm::printed(QPrinter& printer, const std::function<bool()>& print,
                            const std::function<support::ErrorDescription()>& describe) {
    bool completed = false;
    const bool ok = savedOrTold(
        [&] {
            PdfOutput pdf(printer);
            completed = print();
            if (completed)
                pdf.finish();
        },
        describe);
    return ok && completed;
}

bool UtskrStatForm::printReport(const QString& routine, const QString& fileName, const QString& situation,
                                const QString& diagnostic, const std::function<bool(PrintTarget&)>& print) {
    QPrinter printer(QPrinter::HighResolution);
    if (!choosePrinter(printer, fileName))
        return false;
    return printed(
        printer,
        [&] {
            QtPrintTarget target(printer, this);
            return print(target);
        },
        [&] {
            return diagnosed(routine, situation, diagnostic,
                             {QStringLiteral("RubrikSetting 1: Arial 11 fet"),
                              QStringLiteral("RubrikSetting 2: Arial 10"),
                              QStringLiteral("Tab huvudtrans.: 2000"),
                              QStringLiteral("Utskrift till: ") + (printer.outputFileName().isEmpty()
                                                                       ? printer.printerName()
                                                                       : printer.outputFileName())});
        });
}

void UtskrStatForm::PrinterMsg() {
    ctx_.dialogs.message(this, q(PrintedTitle), q(printedText(name_.toStdString())),
                         support::Dialogs::Icon::Information);
}

void UtskrStatForm::UtskrMedd(const QString& path) {
    ctx_.dialogs.message(this, q(ReportWrittenTitle), q(reportWrittenText(path.toStdString())),
                         support::Dialogs::Icon::Information);
    returnAfterFile();
}

void UtskrStatForm::returnAfterFile() {
    if (statMode_)
        Avbr_Statistik();
    else
        Avbr_FilUtskr();
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
