#include "statements/ui/ImportWizard.h"

#include "budget/BudgetTemplate.h"
#include "catalogue/MainTransactions.h"
#include "ledger/LedgerView.h"
#include "statements/Rules.h"
#include "store/Cp1252.h"
#include "store/Errors.h"
#include "store/Records.h"
#include "support/ui/Context.h"
#include "support/ui/Trap.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QWizardPage>

#include <algorithm>
#include <memory>
#include <optional>

namespace statements {

namespace {

const QString FileFilter = QStringLiteral("Kontoutdrag (*.csv *.txt *.xls *.ofx *.qfx *.qif)");
constexpr int PreviewRows = 20;
constexpr int LongStatement = 2000;
enum Column { TickColumn, DateColumn, TextColumn, AmountColumn, TransColumn, SubColumn, StatusColumn };

QString qs(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

QString shownAmount(store::Amount a) {
    return qs(store::displayAmount(a));
}

// A page whose "Nästa" waits for the wizard's own condition.
class Page : public QWizardPage {
public:
    std::function<bool()> complete;
    bool isComplete() const override { return complete ? complete() : true; }
    void recheck() { emit completeChanged(); }
};

QLabel* buddyLabel(const QString& text, QWidget* buddy) {
    auto* label = new QLabel(text);
    label->setBuddy(buddy);
    buddy->setAccessibleName(QString(text).remove(QLatin1Char('&')).remove(QLatin1Char(':')));
    return label;
}

} // namespace

ImportWizard::ImportWizard(support::Context& ctx, QWidget* mainWindow, const QString& accountName,
                           std::string accountBytes, ledger::Kind kind)
    : QWizard(mainWindow), ctx_(ctx), accountName_(accountName), accountBytes_(std::move(accountBytes)),
      kind_(kind) {
    setObjectName(QStringLiteral("ImportWizard"));
    setWindowTitle(QStringLiteral("Importera kontoutdrag till ") + accountName_);
    setWizardStyle(QWizard::ClassicStyle);
    setOption(QWizard::NoBackButtonOnStartPage);
    setButtonText(QWizard::BackButton, QStringLiteral("< Tillbaka"));
    setButtonText(QWizard::NextButton, QStringLiteral("Nästa >"));
    setButtonText(QWizard::FinishButton, QStringLiteral("Slutför"));
    setButtonText(QWizard::CancelButton, QStringLiteral("Avbryt"));
    for (auto [which, name] : {std::pair{QWizard::BackButton, "backButton"},
                               {QWizard::NextButton, "nextButton"},
                               {QWizard::FinishButton, "finishButton"},
                               {QWizard::CancelButton, "cancelButton"}}) {
        button(which)->setObjectName(QString::fromLatin1(name));
        button(which)->setAccessibleName(buttonText(which));
    }
    buildFilePage();
    buildFormatPage();
    buildRowsPage();
    buildSummaryPage();
    placeOverMainWindow(mainWindow);
    // Enter goes on where a person expects it to, never back to the page before.
    connect(this, &QWizard::currentIdChanged, this, [this](int id) {
        QWidget* focus = id == RowsPage                            ? static_cast<QWidget*>(rowsTable_)
                         : id == SummaryPage                       ? button(QWizard::FinishButton)
                         : id == FormatPage && !recognition_.known ? static_cast<QWidget*>(encodingCombo_)
                         : id == FilePage                          ? static_cast<QWidget*>(fileButton_)
                                                                   : button(QWizard::NextButton);
        focus->setFocus();
    });
}

void ImportWizard::placeOverMainWindow(QWidget* mainWindow) {
    QScreen* screen =
        mainWindow && mainWindow->screen() ? mainWindow->screen() : QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    const QSize wanted(std::min(900, area.width() * 9 / 10), std::min(640, area.height() * 9 / 10));
    resize(wanted);
    QPoint centre = mainWindow ? mainWindow->frameGeometry().center() : area.center();
    QRect place(QPoint(0, 0), wanted);
    place.moveCenter(centre);
    place.moveLeft(
        std::clamp(place.left(), area.left(), std::max(area.left(), area.right() - wanted.width())));
    place.moveTop(std::clamp(place.top(), area.top(), std::max(area.top(), area.bottom() - wanted.height())));
    move(place.topLeft());
}

// --- Fil

void ImportWizard::buildFilePage() {
    auto* page = new Page;
    filePage_ = page;
    page->setObjectName(QStringLiteral("filePage"));
    page->setTitle(QStringLiteral("Fil"));
    page->setSubTitle(QStringLiteral("Välj den fil med kontoutdraget som banken har gett dig."));
    fileButton_ = new QPushButton(QStringLiteral("&Välj fil…"));
    fileButton_->setObjectName(QStringLiteral("fileButton"));
    fileButton_->setAccessibleName(QStringLiteral("Välj fil"));
    fileName_ = new QLabel;
    fileName_->setObjectName(QStringLiteral("fileName"));
    fileName_->setWordWrap(true);
    fileError_ = new QLabel;
    fileError_->setObjectName(QStringLiteral("fileError"));
    fileError_->setWordWrap(true);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(fileButton_, 0, Qt::AlignLeft);
    layout->addWidget(fileName_);
    layout->addWidget(fileError_);
    layout->addStretch();
    page->complete = [this] { return !bytes_.empty() && fileError_->text().isEmpty(); };
    connect(fileButton_, &QPushButton::clicked, this, &ImportWizard::chooseFile);
    setPage(FilePage, page);
}

void ImportWizard::chooseFile() {
    const QString folder = path_.isEmpty() ? QString() : QFileInfo(path_).absolutePath();
    const QString path = ctx_.dialogs.openFile(this, QStringLiteral("Välj kontoutdrag"), folder, FileFilter);
    if (path.isEmpty())
        return;
    if (readFile(path) && currentId() == FilePage)
        next();
}

bool ImportWizard::readFile(const QString& path) {
    path_ = path;
    bytes_.clear();
    fileName_->setText(QDir::toNativeSeparators(path));
    fileError_->clear();
    QString problem;
    QFile file(path);
    const QFileInfo info(path);
    if (!info.isFile())
        problem = QStringLiteral("Filen finns inte eller är ingen vanlig fil.");
    else if (info.size() > 64LL * 1024 * 1024)
        problem = QStringLiteral("Filen är för stor för att vara ett kontoutdrag.");
    else if (!file.open(QIODevice::ReadOnly))
        problem = QStringLiteral("Filen kunde inte läsas: ") + file.errorString();
    else {
        const QByteArray data = file.readAll();
        bytes_.assign(data.constData(), static_cast<std::size_t>(data.size()));
        if (bytes_.empty())
            problem = QStringLiteral("Filen är tom.");
    }
    if (problem.isEmpty()) {
        support::trapped(
            ctx_, this,
            [&] {
                profiles_ = readProfiles(ctx_.paths);
                recognition_ = recognise(bytes_, savedMappings(profiles_));
                mapping_ = recognition_.known ? Mapping{} : guessMapping(bytes_);
            },
            [&] {
                return support::describeFailure(QStringLiteral("Import_mn"),
                                                QStringLiteral(" vid läsning av sparade bankformat."));
            });
    }
    if (!problem.isEmpty()) {
        bytes_.clear();
        fileError_->setText(problem);
    }
    static_cast<Page*>(filePage_)->recheck();
    return problem.isEmpty() && !bytes_.empty();
}

// --- Format

namespace {

QComboBox* combo(const char* name, std::initializer_list<const char*> items = {}) {
    auto* box = new QComboBox;
    box->setObjectName(QString::fromLatin1(name));
    for (const char* item : items)
        box->addItem(QString::fromUtf8(item));
    return box;
}

void setColumnChoices(QComboBox* box, const std::vector<std::string>& header, std::size_t columns) {
    const int current = box->currentData().toInt();
    const QSignalBlocker block(box);
    box->clear();
    box->addItem(QStringLiteral("(ingen)"), 0);
    for (std::size_t c = 1; c <= columns; ++c) {
        QString text = QString::number(c);
        if (c <= header.size() && !header[c - 1].empty())
            text += QStringLiteral(": ") + qs(header[c - 1]);
        box->addItem(text, static_cast<int>(c));
    }
    box->setCurrentIndex(std::max(0, box->findData(current)));
}

} // namespace

void ImportWizard::buildFormatPage() {
    auto* page = new Page;
    formatPage_ = page;
    page->setObjectName(QStringLiteral("formatPage"));
    page->setTitle(QStringLiteral("Format"));
    page->setSubTitle(QStringLiteral("Så här läses filen."));
    formatLabel_ = new QLabel;
    formatLabel_->setObjectName(QStringLiteral("formatLabel"));
    formatLabel_->setWordWrap(true);
    transactionDateBox_ = new QCheckBox(QStringLiteral("Använd transaktionsdagen som &postens datum"));
    transactionDateBox_->setObjectName(QStringLiteral("transactionDateBox"));
    transactionDateBox_->setAccessibleName(transactionDateBox_->text().remove(QLatin1Char('&')));
    qifOrderCombo_ = combo("qifOrderCombo", {"Dag före månad (31/12/2023)", "Månad före dag (12/31/2023)"});
    qifOrderLabel_ = buddyLabel(QStringLiteral("&Datumens ordning:"), qifOrderCombo_);
    qifOrderLabel_->setObjectName(QStringLiteral("qifOrderLabel"));

    mappingBox_ = new QGroupBox(QStringLiteral("Okänt format: ange hur filen ska läsas"));
    mappingBox_->setObjectName(QStringLiteral("mappingBox"));
    encodingCombo_ = combo("encodingCombo", {"Automatisk", "UTF-8", "UTF-16", "Windows-1252 / Latin-1"});
    separatorCombo_ = combo("separatorCombo", {"Semikolon ;", "Komma ,", "Tabb"});
    skipSpin_ = new QSpinBox;
    skipSpin_->setObjectName(QStringLiteral("skipSpin"));
    skipSpin_->setRange(0, 99);
    headerBox_ = new QCheckBox(QStringLiteral("Första raden har &rubriker"));
    headerBox_->setObjectName(QStringLiteral("headerBox"));
    headerBox_->setAccessibleName(QStringLiteral("Första raden har rubriker"));
    amountKindCombo_ = combo("amountKindCombo", {"En beloppskolumn", "Debet och kredit", "Belopp och D/K"});
    bookingDateCombo_ = combo("bookingDateCombo");
    transactionDateCombo_ = combo("transactionDateCombo");
    textCombo_ = combo("textCombo");
    amountCombo_ = combo("amountCombo");
    debitCombo_ = combo("debitCombo");
    creditCombo_ = combo("creditCombo");
    signCombo_ = combo("signCombo");
    balanceCombo_ = combo("balanceCombo");
    dateFormatCombo_ = combo("dateFormatCombo", {"2023-12-05", "2023/12/05", "05.12.2023", "05/12/2023",
                                                 "12/05/2023", "20231205", "23-12-05"});
    decimalCombo_ = combo("decimalCombo", {"Decimalkomma (1 234,50)", "Decimalpunkt (1,234.50)"});
    orderCombo_ = combo("orderCombo", {"Äldsta först", "Nyaste först"});
    previewTable_ = new QTableWidget;
    previewTable_->setObjectName(QStringLiteral("previewTable"));
    previewTable_->setAccessibleName(QStringLiteral("Förhandsvisning"));
    previewTable_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    saveMappingBox_ = new QCheckBox(QStringLiteral("&Spara formatet under namnet"));
    saveMappingBox_->setObjectName(QStringLiteral("saveMappingBox"));
    saveMappingBox_->setAccessibleName(QStringLiteral("Spara formatet under namnet"));
    mappingName_ = new QLineEdit;
    mappingName_->setObjectName(QStringLiteral("mappingName"));
    mappingName_->setAccessibleName(QStringLiteral("Formatets namn"));
    mappingName_->setMaxLength(static_cast<int>(MaxProfileNameLength));
    mappingError_ = new QLabel;
    mappingError_->setObjectName(QStringLiteral("mappingError"));
    mappingError_->setWordWrap(true);

    auto* form = new QFormLayout;
    form->addRow(buddyLabel(QStringLiteral("&Teckenkodning:"), encodingCombo_), encodingCombo_);
    form->addRow(buddyLabel(QStringLiteral("S&kiljetecken:"), separatorCombo_), separatorCombo_);
    form->addRow(buddyLabel(QStringLiteral("Rader att &hoppa över:"), skipSpin_), skipSpin_);
    form->addRow(QString(), headerBox_);
    form->addRow(buddyLabel(QStringLiteral("&Bokföringsdag:"), bookingDateCombo_), bookingDateCombo_);
    form->addRow(buddyLabel(QStringLiteral("Transaktions&dag:"), transactionDateCombo_),
                 transactionDateCombo_);
    form->addRow(buddyLabel(QStringLiteral("Te&xt:"), textCombo_), textCombo_);
    form->addRow(buddyLabel(QStringLiteral("Beloppets &form:"), amountKindCombo_), amountKindCombo_);
    form->addRow(buddyLabel(QStringLiteral("Be&lopp:"), amountCombo_), amountCombo_);
    form->addRow(buddyLabel(QStringLiteral("D&ebet (ut):"), debitCombo_), debitCombo_);
    form->addRow(buddyLabel(QStringLiteral("Kred&it (in):"), creditCombo_), creditCombo_);
    form->addRow(buddyLabel(QStringLiteral("D/&K:"), signCombo_), signCombo_);
    form->addRow(buddyLabel(QStringLiteral("S&aldo:"), balanceCombo_), balanceCombo_);
    form->addRow(buddyLabel(QStringLiteral("Dat&umformat:"), dateFormatCombo_), dateFormatCombo_);
    form->addRow(buddyLabel(QStringLiteral("De&cimaltecken:"), decimalCombo_), decimalCombo_);
    form->addRow(buddyLabel(QStringLiteral("&Ordning:"), orderCombo_), orderCombo_);
    auto* save = new QHBoxLayout;
    save->addWidget(saveMappingBox_);
    save->addWidget(mappingName_, 1);
    auto* right = new QVBoxLayout;
    right->addWidget(previewTable_, 1);
    right->addLayout(save);
    right->addWidget(mappingError_);
    auto* columns = new QHBoxLayout(mappingBox_);
    columns->addLayout(form);
    columns->addLayout(right, 1);

    auto* qif = new QHBoxLayout;
    qif->addWidget(qifOrderLabel_);
    qif->addWidget(qifOrderCombo_);
    qif->addStretch();
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(formatLabel_);
    layout->addWidget(transactionDateBox_);
    layout->addLayout(qif);
    layout->addWidget(mappingBox_, 1);
    layout->addStretch(); // takes the room of the mapping when the bank is known
    page->complete = [this] { return recognition_.known || mappingError_->text().isEmpty(); };
    QWidget* order[] = {transactionDateBox_, qifOrderCombo_,   encodingCombo_,    separatorCombo_,
                        skipSpin_,           headerBox_,       bookingDateCombo_, transactionDateCombo_,
                        textCombo_,          amountKindCombo_, amountCombo_,      debitCombo_,
                        creditCombo_,        signCombo_,       balanceCombo_,     dateFormatCombo_,
                        decimalCombo_,       orderCombo_,      previewTable_,     saveMappingBox_,
                        mappingName_};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    for (QComboBox* box : {encodingCombo_, separatorCombo_, amountKindCombo_, bookingDateCombo_,
                           transactionDateCombo_, textCombo_, amountCombo_, debitCombo_, creditCombo_,
                           signCombo_, balanceCombo_, dateFormatCombo_, decimalCombo_, orderCombo_})
        connect(box, &QComboBox::currentIndexChanged, this, [this] {
            if (!filling_)
                refreshPreview();
        });
    connect(skipSpin_, &QSpinBox::valueChanged, this, [this] {
        if (!filling_)
            refreshPreview();
    });
    connect(headerBox_, &QCheckBox::toggled, this, [this] {
        if (!filling_)
            refreshPreview();
    });
    connect(saveMappingBox_, &QCheckBox::toggled, mappingName_, &QWidget::setEnabled);
    connect(saveMappingBox_, &QCheckBox::toggled, this, [this] {
        if (!filling_)
            refreshPreview();
    });
    connect(mappingName_, &QLineEdit::textChanged, this, [this] {
        if (!filling_)
            refreshPreview();
    });
    setPage(FormatPage, page);
}

void ImportWizard::showMapping(bool initial) {
    filling_ = true;
    if (initial)
        showMappingChoices();
    const auto cells = previewCells(bytes_, mapping_, PreviewRows);
    const std::vector<std::string> header =
        mapping_.headerLine && !cells.empty() ? cells[0] : std::vector<std::string>{};
    std::size_t width = 0;
    for (const auto& row : cells)
        width = std::max(width, row.size());
    const std::pair<QComboBox*, int> columns[] = {{bookingDateCombo_, mapping_.bookingDateColumn},
                                                  {transactionDateCombo_, mapping_.transactionDateColumn},
                                                  {textCombo_, mapping_.textColumn},
                                                  {amountCombo_, mapping_.amountColumn},
                                                  {debitCombo_, mapping_.debitColumn},
                                                  {creditCombo_, mapping_.creditColumn},
                                                  {signCombo_, mapping_.signColumn},
                                                  {balanceCombo_, mapping_.balanceColumn}};
    for (auto [box, column] : columns) {
        setColumnChoices(box, header, width);
        box->setCurrentIndex(std::max(0, box->findData(column)));
    }
    filling_ = false;
}

void ImportWizard::showMappingChoices() {
    encodingCombo_->setCurrentIndex(static_cast<int>(mapping_.encoding));
    separatorCombo_->setCurrentIndex(mapping_.separator == ',' ? 1 : mapping_.separator == '\t' ? 2 : 0);
    skipSpin_->setValue(mapping_.skipLines);
    headerBox_->setChecked(mapping_.headerLine);
    amountKindCombo_->setCurrentIndex(mapping_.debitColumn || mapping_.creditColumn ? 1
                                      : mapping_.signColumn                         ? 2
                                                                                    : 0);
    dateFormatCombo_->setCurrentIndex(static_cast<int>(mapping_.dateFormat));
    decimalCombo_->setCurrentIndex(mapping_.decimalComma ? 0 : 1);
    orderCombo_->setCurrentIndex(mapping_.newestFirst ? 1 : 0);
    mappingName_->setEnabled(saveMappingBox_->isChecked());
}

void ImportWizard::takeMapping() {
    mapping_.encoding = static_cast<Encoding>(encodingCombo_->currentIndex());
    mapping_.separator = separatorCombo_->currentIndex() == 1   ? ','
                         : separatorCombo_->currentIndex() == 2 ? '\t'
                                                                : ';';
    mapping_.skipLines = skipSpin_->value();
    mapping_.headerLine = headerBox_->isChecked();
    mapping_.bookingDateColumn = bookingDateCombo_->currentData().toInt();
    mapping_.transactionDateColumn = transactionDateCombo_->currentData().toInt();
    mapping_.textColumn = textCombo_->currentData().toInt();
    const int amountKind = amountKindCombo_->currentIndex();
    mapping_.amountColumn = amountKind == 1 ? 0 : amountCombo_->currentData().toInt();
    mapping_.debitColumn = amountKind == 1 ? debitCombo_->currentData().toInt() : 0;
    mapping_.creditColumn = amountKind == 1 ? creditCombo_->currentData().toInt() : 0;
    mapping_.signColumn = amountKind == 2 ? signCombo_->currentData().toInt() : 0;
    mapping_.balanceColumn = balanceCombo_->currentData().toInt();
    mapping_.dateFormat = static_cast<DateFormat>(dateFormatCombo_->currentIndex());
    mapping_.decimalComma = decimalCombo_->currentIndex() == 0;
    mapping_.newestFirst = orderCombo_->currentIndex() == 1;
    mapping_.name = mappingName_->text().trimmed().toStdString();
    if (mapping_.name.empty())
        mapping_.name = "Eget format";
    mapping_.signature = headerSignature(bytes_, mapping_);
}

void ImportWizard::refreshPreview() {
    takeMapping();
    showMapping(false); // the column lists follow the separator, the lines skipped and the header
    const int amountKind = amountKindCombo_->currentIndex();
    amountCombo_->setEnabled(amountKind != 1);
    debitCombo_->setEnabled(amountKind == 1);
    creditCombo_->setEnabled(amountKind == 1);
    signCombo_->setEnabled(amountKind == 2);

    const auto cells = previewCells(bytes_, mapping_, PreviewRows);
    std::size_t width = 0;
    for (const auto& row : cells)
        width = std::max(width, row.size());
    previewTable_->clear();
    previewTable_->setRowCount(static_cast<int>(cells.size()));
    previewTable_->setColumnCount(static_cast<int>(width));
    for (std::size_t r = 0; r < cells.size(); ++r)
        for (std::size_t c = 0; c < cells[r].size(); ++c)
            previewTable_->setItem(static_cast<int>(r), static_cast<int>(c),
                                   new QTableWidgetItem(qs(cells[r][c])));

    QString problem;
    if (mapping_.bookingDateColumn == 0)
        problem = QStringLiteral("Välj kolumnen med bokföringsdagen.");
    else if (mapping_.textColumn == 0)
        problem = QStringLiteral("Välj kolumnen med texten.");
    else if (amountKind != 1 && mapping_.amountColumn == 0)
        problem = QStringLiteral("Välj kolumnen med beloppet.");
    else if (amountKind == 1 && (mapping_.debitColumn == 0 || mapping_.creditColumn == 0))
        problem = QStringLiteral("Välj kolumnerna för debet och kredit.");
    else if (amountKind == 2 && mapping_.signColumn == 0)
        problem = QStringLiteral("Välj kolumnen med D/K.");
    else if (saveMappingBox_->isChecked()) {
        const auto name = store::utf8ToCp1252(mappingName_->text().trimmed().toStdString());
        if (mappingName_->text().trimmed().isEmpty())
            problem = QStringLiteral("Skriv ett namn för formatet.");
        else if (!name)
            problem = QStringLiteral("Namnet innehåller tecken som inte kan sparas.");
    }
    if (problem.isEmpty()) {
        try {
            const Statement read = readWithMapping(bytes_, mapping_);
            if (read.rows.empty())
                problem = QStringLiteral("Inga rader kunde läsas med de här valen.");
        } catch (const UnreadableStatement& e) {
            problem = qs(e.what());
        }
    }
    mappingError_->setText(problem);
    static_cast<Page*>(formatPage_)->recheck();
}

// --- Rader

void ImportWizard::buildRowsPage() {
    auto* page = new Page;
    rowsPage_ = page;
    page->setObjectName(QStringLiteral("rowsPage"));
    page->setTitle(QStringLiteral("Rader"));
    page->setSubTitle(
        QStringLiteral("Markera de rader som ska läsas in och välj transaktion för varje rad."));
    rowsTable_ = new QTableWidget(0, 7);
    rowsTable_->setObjectName(QStringLiteral("rowsTable"));
    rowsTable_->setAccessibleName(QStringLiteral("Kontoutdragets rader"));
    rowsTable_->setHorizontalHeaderLabels(
        {QStringLiteral("Läs in"), QStringLiteral("Datum"), QStringLiteral("Text"), QStringLiteral("Belopp"),
         QStringLiteral("Transaktion"), QStringLiteral("Subtransaktion"), QStringLiteral("Status")});
    rowsTable_->setSelectionBehavior(QAbstractItemView::SelectRows);
    rowsTable_->setSelectionMode(QAbstractItemView::SingleSelection);
    rowsTable_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    rowsTable_->verticalHeader()->hide();
    rowsTable_->horizontalHeader()->setSectionResizeMode(TextColumn, QHeaderView::Stretch);
    transactionCombo_ = combo("transactionCombo");
    subTransactionCombo_ = combo("subTransactionCombo");
    newTransactionButton_ = new QPushButton(QStringLiteral("&Ny transaktion…"));
    newTransactionButton_->setObjectName(QStringLiteral("newTransactionButton"));
    newTransactionButton_->setAccessibleName(QStringLiteral("Ny transaktion"));
    rememberBox_ = new QCheckBox(QStringLiteral("&Kom ihåg för liknande rader"));
    rememberBox_->setObjectName(QStringLiteral("rememberBox"));
    rememberBox_->setAccessibleName(QStringLiteral("Kom ihåg för liknande rader"));
    rememberBox_->setChecked(true);
    rowsCount_ = new QLabel;
    rowsCount_->setObjectName(QStringLiteral("rowsCount"));

    auto* chooser = new QHBoxLayout;
    chooser->addWidget(buddyLabel(QStringLiteral("T&ransaktion:"), transactionCombo_));
    chooser->addWidget(transactionCombo_, 1);
    chooser->addWidget(buddyLabel(QStringLiteral("&Subtransaktion:"), subTransactionCombo_));
    chooser->addWidget(subTransactionCombo_, 1);
    chooser->addWidget(newTransactionButton_);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(rowsTable_, 1);
    layout->addLayout(chooser);
    auto* below = new QHBoxLayout;
    below->addWidget(rememberBox_);
    below->addStretch();
    below->addWidget(rowsCount_);
    layout->addLayout(below);
    setTabOrder(rowsTable_, transactionCombo_);
    setTabOrder(transactionCombo_, subTransactionCombo_);
    setTabOrder(subTransactionCombo_, newTransactionButton_);
    setTabOrder(newTransactionButton_, rememberBox_);

    connect(rowsTable_, &QTableWidget::itemSelectionChanged, this, &ImportWizard::currentRowChanged);
    connect(rowsTable_, &QTableWidget::cellChanged, this, &ImportWizard::rowTicked);
    connect(transactionCombo_, &QComboBox::activated, this, &ImportWizard::chooseTransaction);
    connect(subTransactionCombo_, &QComboBox::activated, this, &ImportWizard::chooseSubTransaction);
    connect(newTransactionButton_, &QPushButton::clicked, this, &ImportWizard::newTransaction);
    setPage(RowsPage, page);
}

QString ImportWizard::transactionName(int transNr) const {
    for (const auto& t : view_.transactions)
        if (t.recordNumber == transNr)
            return qs(t.name);
    return {};
}

QString ImportWizard::subTransactionName(int subNr) const {
    for (const auto& t : view_.subTransactions)
        if (t.recordNumber == subNr)
            return qs(t.name);
    return {};
}

QString ImportWizard::statusText(int row) const {
    return qs(rows_.at(static_cast<std::size_t>(row)).statusText());
}

void ImportWizard::classifyRows() {
    rows_ = classify(statement_, view_);
    ticked_.assign(rows_.size(), 0);
    for (std::size_t i = 0; i < rows_.size(); ++i)
        ticked_[i] = rows_[i].tickedByDefault();
}

void ImportWizard::fillRows() {
    filling_ = true;
    const int selected = rowsTable_->currentRow();
    const int count = static_cast<int>(rows_.size());
    rowsTable_->setUpdatesEnabled(false);
    rowsTable_->setRowCount(count);
    // A statement of several years fills the table for a noticeable while.
    std::unique_ptr<QProgressDialog> progress;
    if (count > LongStatement) {
        progress =
            std::make_unique<QProgressDialog>(QStringLiteral("Raderna visas…"), QString(), 0, count, this);
        progress->setWindowTitle(windowTitle());
        progress->setWindowModality(Qt::WindowModal);
        progress->setMinimumDuration(300);
    }
    for (int r = 0; r < count; ++r) {
        showRow(r);
        if (progress && r % 500 == 0)
            progress->setValue(r);
    }
    rowsTable_->resizeColumnsToContents();
    rowsTable_->horizontalHeader()->setSectionResizeMode(TextColumn, QHeaderView::Stretch);
    rowsTable_->setUpdatesEnabled(true);
    if (!rows_.empty())
        rowsTable_->selectRow(std::clamp(selected, 0, static_cast<int>(rows_.size()) - 1));
    filling_ = false;
    currentRowChanged();
}

void ImportWizard::showRow(int r) {
    const ClassifiedRow& row = rows_[static_cast<std::size_t>(r)];
    const bool wasFilling = filling_;
    filling_ = true;
    auto cell = [&](int column, const QString& text) {
        QTableWidgetItem* item = rowsTable_->item(r, column);
        if (!item) {
            item = new QTableWidgetItem;
            item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
            rowsTable_->setItem(r, column, item);
        }
        item->setText(text);
        return item;
    };
    QTableWidgetItem* tick = cell(TickColumn, QString());
    tick->setFlags(row.tickable() ? Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsUserCheckable
                                  : Qt::ItemIsSelectable);
    tick->setCheckState(ticked_[static_cast<std::size_t>(r)] ? Qt::Checked : Qt::Unchecked);
    const auto& date = row.row.bookingDate;
    cell(DateColumn, date ? qs(store::dateText(*date)) : QString());
    cell(TextColumn, qs(row.row.text))->setToolTip(qs(row.row.text));
    cell(AmountColumn, shownAmount(row.row.amount))->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    cell(TransColumn, transactionName(row.transNr));
    cell(SubColumn, subTransactionName(row.subNr));
    cell(StatusColumn, qs(row.statusText()));
    filling_ = wasFilling;
}

void ImportWizard::rowTicked(int row, int column) {
    if (filling_ || column != TickColumn || row < 0 || row >= static_cast<int>(rows_.size()))
        return;
    const bool on = rowsTable_->item(row, column)->checkState() == Qt::Checked;
    ticked_[static_cast<std::size_t>(row)] = on && rows_[static_cast<std::size_t>(row)].tickable();
    const std::size_t count = static_cast<std::size_t>(std::count(ticked_.begin(), ticked_.end(), 1));
    rowsCount_->setText(QStringLiteral("%1 av %2 rader markerade").arg(count).arg(rows_.size()));
}

void ImportWizard::currentRowChanged() {
    if (filling_)
        return;
    const int r = rowsTable_->currentRow();
    const bool any = r >= 0 && r < static_cast<int>(rows_.size());
    const QSignalBlocker b1(transactionCombo_), b2(subTransactionCombo_);
    transactionCombo_->clear();
    subTransactionCombo_->clear();
    const bool open = any && rows_[static_cast<std::size_t>(r)].tickable() &&
                      rows_[static_cast<std::size_t>(r)].status != RowStatus::Reserved;
    transactionCombo_->setEnabled(open);
    subTransactionCombo_->setEnabled(open);
    newTransactionButton_->setEnabled(open);
    rowTicked(std::max(r, 0), TickColumn);
    if (!open)
        return;
    const ClassifiedRow& row = rows_[static_cast<std::size_t>(r)];
    transactionCombo_->addItem(QStringLiteral("(välj transaktion)"), 0);
    for (const auto& t : offeredTransactions(view_.transactions, row.row.amount))
        transactionCombo_->addItem(qs(t.name), t.recordNumber);
    transactionCombo_->setCurrentIndex(std::max(0, transactionCombo_->findData(row.transNr)));
    subTransactionCombo_->addItem(QStringLiteral("(ingen)"), 0);
    for (const auto& t : view_.subTransactions)
        subTransactionCombo_->addItem(qs(t.name), t.recordNumber);
    subTransactionCombo_->setCurrentIndex(std::max(0, subTransactionCombo_->findData(row.subNr)));
}

void ImportWizard::chooseTransaction(int index) {
    const int r = rowsTable_->currentRow();
    if (r < 0 || r >= static_cast<int>(rows_.size()))
        return;
    ClassifiedRow& row = rows_[static_cast<std::size_t>(r)];
    const int transNr = transactionCombo_->itemData(index).toInt();
    if (transNr == row.transNr && row.chosen)
        return;
    row.transNr = transNr;
    row.subNr = 0;
    row.pattern.clear();
    row.chosen = transNr != 0;
    if (transNr != 0)
        ticked_[static_cast<std::size_t>(r)] = row.tickable() ? 1 : 0;
    if (transNr != 0 && rememberBox_->isChecked()) {
        const std::string pattern = suggestPattern(row.row.text);
        if (!pattern.empty()) {
            addRule(view_.rules, Rule{0, pattern, transNr, 0}, view_.transactions);
            row.pattern = pattern;
        }
    }
    reclassify(rows_, view_);
    fillRows();
}

void ImportWizard::chooseSubTransaction(int index) {
    const int r = rowsTable_->currentRow();
    if (r < 0 || r >= static_cast<int>(rows_.size()))
        return;
    ClassifiedRow& row = rows_[static_cast<std::size_t>(r)];
    if (row.transNr == 0)
        return;
    row.subNr = subTransactionCombo_->itemData(index).toInt();
    row.chosen = true;
    if (rememberBox_->isChecked() && !row.pattern.empty()) {
        addRule(view_.rules, Rule{0, row.pattern, row.transNr, row.subNr}, view_.transactions);
        reclassify(rows_, view_);
        fillRows();
        return;
    }
    showRow(r);
}

void ImportWizard::newTransaction() {
    const int r = rowsTable_->currentRow();
    if (r < 0 || r >= static_cast<int>(rows_.size()))
        return;
    const bool income = rows_[static_cast<std::size_t>(r)].row.amount.units() > 0;
    const QString name = ctx_.dialogs
                             .input(this,
                                    income ? QStringLiteral("Namn på den nya inkomsttransaktionen:")
                                           : QStringLiteral("Namn på den nya utgiftstransaktionen:"),
                                    QStringLiteral("Ny transaktion"), QString())
                             .trimmed();
    if (name.isEmpty())
        return;
    const auto bytes = store::utf8ToCp1252(name.toStdString());
    QString problem;
    if (!bytes)
        problem = QStringLiteral("Namnet innehåller tecken som inte kan sparas.");
    else if (!catalogue::fitsTransactionName(*bytes))
        problem = QStringLiteral("Namnet får vara högst 35 tecken.");
    else
        for (const auto& t : view_.transactions)
            if (QString::fromStdString(t.name).compare(name, Qt::CaseInsensitive) == 0)
                problem =
                    QStringLiteral("Det finns redan en transaktion med namnet ") + name + QStringLiteral(".");
    if (!problem.isEmpty()) {
        ctx_.dialogs.message(this, QStringLiteral("Ny transaktion"), problem,
                             support::Dialogs::Icon::Exclamation);
        return;
    }
    // Staged: numbered -1, -2, ... until "Slutför" gives it a record of the catalogue.
    const int record = -static_cast<int>(newTransactions_.size() + 1);
    newTransactions_.push_back({name.toStdString(), income ? '+' : '-'});
    view_.transactions.push_back({record, name.toStdString(), income ? '+' : '-'});
    currentRowChanged();
    const int index = transactionCombo_->findData(record);
    transactionCombo_->setCurrentIndex(index);
    chooseTransaction(index);
}

// --- Sammanfattning

void ImportWizard::buildSummaryPage() {
    auto* page = new Page;
    summaryPage_ = page;
    page->setObjectName(QStringLiteral("summaryPage"));
    page->setTitle(QStringLiteral("Sammanfattning"));
    page->setSubTitle(
        QStringLiteral("Ingenting har skrivits ännu: posterna läses in när du klickar på Slutför."));
    summary_ = new QLabel;
    summary_->setObjectName(QStringLiteral("summary"));
    summary_->setWordWrap(true);
    balanceCheck_ = new QLabel;
    balanceCheck_->setObjectName(QStringLiteral("balanceCheck"));
    balanceCheck_->setWordWrap(true);
    budgetCheck_ = new QLabel;
    budgetCheck_->setObjectName(QStringLiteral("budgetCheck"));
    budgetCheck_->setWordWrap(true);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(summary_);
    layout->addWidget(budgetCheck_);
    layout->addWidget(balanceCheck_);
    layout->addStretch();
    setPage(SummaryPage, page);
}

ImportPlan ImportWizard::plan() const {
    ImportPlan plan;
    plan.bank = statement_.bank;
    plan.hasBalance = statement_.hasBalance;
    plan.rows = rows_;
    plan.ticked.assign(ticked_.begin(), ticked_.end());
    plan.newTransactions = newTransactions_;
    if (view_.rules != originalRules_)
        plan.rules = view_.rules;
    std::vector<Profile> profiles = profiles_;
    const bool useTransactionDate = transactionDateBox_->isChecked();
    if (!recognition_.known && saveMappingBox_->isChecked()) {
        saveMapping(profiles, mapping_);
        plan.profiles = std::move(profiles);
    } else if (recognition_.known && recognition_.hasTransactionDate &&
               useTransactionDate != usesTransactionDate(profiles, recognition_.bank)) {
        setTransactionDate(profiles, recognition_.bank, useTransactionDate);
        plan.profiles = std::move(profiles);
    }
    return plan;
}

// The account's files read as they stand on disk: the main window's copies are read again after
// the import.
void ImportWizard::withTarget(const std::function<void(ImportTarget&)>& use) const {
    const auto& paths = ctx_.paths;
    store::RecordFile kontoData(paths.kontoData(accountBytes_), ledger::recordLength(kind_),
                                store::RecordFile::Missing::Fail);
    store::RecordFile transakt(paths.transakt(accountBytes_), store::TransRec::Length,
                               store::RecordFile::Missing::Fail);
    store::RecordFile kategori(paths.kategori(accountBytes_), store::KatRec::Length);
    std::optional<store::RecordFile> mall;
    std::unique_ptr<budget::BudgetTemplate> plan;
    const int postCount = ledger::findPostCount(kontoData);
    if (kind_ == ledger::Kind::Budget) {
        mall.emplace(paths.bMall(accountBytes_), store::MallRec::Length);
        plan = std::make_unique<budget::BudgetTemplate>(*mall);
        plan->open(kontoData, postCount, ctx_.today);
    }
    ImportTarget target{paths,    accountBytes_,           kontoData,  postCount, transakt,
                        kategori, mall ? &*mall : nullptr, plan.get(), ctx_.today};
    use(target);
}

void ImportWizard::initializePage(int id) {
    if (id == FormatPage) {
        const bool known = recognition_.known;
        formatLabel_->setText(known ? qs(recognition_.format)
                                    : QStringLiteral("Filens format känns inte igen. Ange nedan hur den ska "
                                                     "läsas; förhandsvisningen visar de första raderna."));
        transactionDateBox_->setVisible(known && recognition_.hasTransactionDate);
        transactionDateBox_->setChecked(known && usesTransactionDate(profiles_, recognition_.bank));
        qifOrderLabel_->setVisible(recognition_.qifDateOrderAmbiguous);
        qifOrderCombo_->setVisible(recognition_.qifDateOrderAmbiguous);
        mappingBox_->setVisible(!known);
        if (!known) {
            showMapping(true);
            refreshPreview();
        }
    } else if (id == RowsPage) {
        fillRows();
    } else if (id == SummaryPage) {
        support::trapped(
            ctx_, this,
            [&] {
                withTarget([&](ImportTarget& target) {
                    const ImportSummary summary = summarise(plan(), target);
                    summary_->setText(qs(summary.countsText()));
                    budgetCheck_->setText(qs(summary.confirmedText()));
                    balanceCheck_->setText(qs(summary.balanceText()));
                });
            },
            [&] {
                return support::describeFailure(QStringLiteral("Import_mn"),
                                                QStringLiteral(" vid sammanställning av importen."));
            });
    }
    QWizard::initializePage(id);
}

bool ImportWizard::validateCurrentPage() {
    if (currentId() == FormatPage)
        return readStatementNow();
    if (currentId() == SummaryPage)
        return finish();
    return QWizard::validateCurrentPage();
}

bool ImportWizard::readStatementNow() {
    QString problem;
    const bool ok = support::trapped(
        ctx_, this,
        [&] {
            try {
                ReadOptions options;
                options.useTransactionDate =
                    transactionDateBox_->isVisible() && transactionDateBox_->isChecked();
                options.qifDateOrder =
                    qifOrderCombo_->currentIndex() == 1 ? QifDateOrder::MonthDay : QifDateOrder::DayMonth;
                if (recognition_.known) {
                    statement_ = readStatement(bytes_, savedMappings(profiles_), options);
                } else {
                    takeMapping();
                    statement_ = readWithMapping(bytes_, mapping_, options);
                }
            } catch (const UnreadableStatement& e) {
                problem = qs(e.what());
                return;
            }
            if (!viewRead_) {
                view_ = readAccountView(ctx_.paths, accountBytes_, kind_);
                originalRules_ = view_.rules;
                viewRead_ = true;
            }
            classifyRows();
        },
        [&] {
            return support::describeFailure(QStringLiteral("Import_mn"),
                                            QStringLiteral(" vid läsning av kontoutdraget."),
                                            {QStringLiteral("Fil = ") + path_});
        });
    if (ok && !problem.isEmpty())
        ctx_.dialogs.message(this, QStringLiteral("Kontoutdraget kan inte läsas"), problem,
                             support::Dialogs::Icon::Exclamation);
    return ok && problem.isEmpty();
}

bool ImportWizard::finish() {
    ImportResult result;
    const bool ran = support::trapped(
        ctx_, this, [&] { withTarget([&](ImportTarget& target) { result = applyImport(plan(), target); }); },
        [&] {
            return support::describeFailure(QStringLiteral("Import_mn"),
                                            QStringLiteral(" vid import av kontoutdraget."),
                                            {QStringLiteral("Fil = ") + path_});
        });
    if (!ran)
        return false;
    if (result.outcome != ledger::Outcome::Done) {
        if (result.row >= 0)
            rowsTable_->selectRow(result.row);
        ctx_.dialogs.message(this, QStringLiteral("Importen kan inte göras"),
                             qs(result.refusal) + QStringLiteral("\n\nAvmarkera raden eller ändra beloppet i "
                                                                 "kontot och försök igen."),
                             support::Dialogs::Icon::Exclamation);
        return false;
    }
    emit imported(result.recountStart);
    return true;
}

} // namespace statements
