#include "statements/ui/ImportWizard.h"

#include "statements/ui/ImportWizardParts.h"
#include "store/Cp1252.h"
#include "support/ui/Context.h"
#include "support/ui/Trap.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace statements {

using namespace importwizard;

namespace {

constexpr int PreviewRows = 20;

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

} // namespace statements
