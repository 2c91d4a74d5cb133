#include "ledger/ui/LedgerFrame.h"

#include "ledger/ui/LedgerHost.h"
#include "support/ui/Twips.h"

#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QWheelEvent>

#include <algorithm>
#include <numeric>

namespace ledger {

using support::px;

namespace {
constexpr int GridLeftTwips = 120;
constexpr int RowTwips = 300;
constexpr int AccountRowTop = 330;
constexpr int ListRowTop = 720;
constexpr int EntryRowTop = 1150;
constexpr int TitleRowTop = 1600;
constexpr int GridTopTwips = 1860;
constexpr int ControlHeight = 330;
} // namespace

LedgerFrame::LedgerFrame(const QString& caption, const LedgerKind& kind, const Names& names,
                         const std::vector<int>& columnTwips,
                         const std::vector<std::pair<QString, QString>>& titles, QWidget* parent)
    : QGroupBox(caption, parent), kind_(kind), columnTwips_(columnTwips) {
    setObjectName(names.frame);

    nameLabel_ = new QLabel(this);
    nameLabel_->setObjectName(names.nameLabel);
    QFont bold = nameLabel_->font();
    bold.setBold(true);
    nameLabel_->setFont(bold);
    nameLabel_->setGeometry(px(GridLeftTwips), px(AccountRowTop), px(4600), px(ControlHeight));
    auto* nrTitle = new QLabel(QStringLiteral("Konto nr:"), this);
    nrTitle->setGeometry(px(4900), px(AccountRowTop), px(900), px(ControlHeight));
    numberLabel_ = new QLabel(this);
    numberLabel_->setObjectName(names.numberLabel);
    numberLabel_->setGeometry(px(5850), px(AccountRowTop), px(3600), px(ControlHeight));

    hOption_ = new QRadioButton(QStringLiteral("Huvud-"), this);
    hOption_->setObjectName(names.hOption);
    hOption_->setGeometry(px(GridLeftTwips), px(ListRowTop), px(950), px(ControlHeight));
    sOption_ = new QRadioButton(QStringLiteral("Sub-"), this);
    sOption_->setObjectName(names.sOption);
    sOption_->setGeometry(px(GridLeftTwips + 960), px(ListRowTop), px(700), px(ControlHeight));
    hOption_->setChecked(true);

    transCombo_ = new QComboBox(this);
    transCombo_->setObjectName(names.transCombo);
    transLabel_ = new QLabel(QStringLiteral("Transaktion"), this);
    transLabel_->setObjectName(names.transLabel);
    transLabel_->setGeometry(px(GridLeftTwips), px(EntryRowTop), px(columnTwips_.at(0)), px(ControlHeight));
    transText_ = new QLineEdit(this);
    transText_->setObjectName(names.transText);
    transText_->setReadOnly(true);
    transText_->installEventFilter(this);
    transLabel_->setBuddy(transText_);
    transCombo_->setAccessibleName(QStringLiteral("Transaktionslista"));

    grid_ = new QTableWidget(Rows, static_cast<int>(columnTwips_.size()), this);
    grid_->setObjectName(names.grid);
    grid_->setAccessibleName(QStringLiteral("Poster"));
    grid_->horizontalHeader()->hide();
    grid_->verticalHeader()->hide();
    grid_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setSelectionMode(QAbstractItemView::NoSelection);
    grid_->setFocusPolicy(Qt::StrongFocus);
    grid_->setTabKeyNavigation(false); // Tab leaves the grid for the next control
    grid_->installEventFilter(this);
    grid_->viewport()->installEventFilter(this);
    grid_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid_->verticalHeader()->setMinimumSectionSize(1);
    int gridWidth = 0;
    for (std::size_t c = 0; c < columnTwips_.size(); ++c) {
        grid_->setColumnWidth(static_cast<int>(c), px(columnTwips_[c]));
        gridWidth += px(columnTwips_[c]);
    }
    for (int r = 0; r < Rows; ++r)
        grid_->setRowHeight(r, px(RowTwips));
    const int frameWidth = 2 * grid_->frameWidth();
    grid_->setGeometry(px(GridLeftTwips), px(GridTopTwips), gridWidth + frameWidth,
                       Rows * px(RowTwips) + frameWidth);
    for (int r = 0; r < Rows; ++r)
        for (int c = 0; c < grid_->columnCount(); ++c)
            grid_->setItem(r, c, new QTableWidgetItem());

    scroll_ = new QScrollBar(Qt::Vertical, this);
    scroll_->setObjectName(names.scroll);
    scroll_->setAccessibleName(QStringLiteral("Bläddra bland posterna"));
    scroll_->setGeometry(grid_->geometry().right() + 1, grid_->y(), px(255), grid_->height());
    scroll_->setPageStep(1);
    transCombo_->installEventFilter(this);
    hOption_->installEventFilter(this);
    sOption_->installEventFilter(this);
    connect(scroll_, &QScrollBar::valueChanged, this, &LedgerFrame::scrolled);

    // The list starts after the two options that switch it.
    transCombo_->setGeometry(px(columnLeft(1) + 250), px(ListRowTop), px(columnWidth(1) - 250),
                             px(ControlHeight));
    // On a small screen the windows shrink but the options' round marks keep their size: the
    // captions get the room they need, and the list gives way.
    hOption_->resize(std::max(hOption_->width(), hOption_->sizeHint().width()), hOption_->height());
    sOption_->move(std::max(sOption_->x(), hOption_->geometry().right() + 1), sOption_->y());
    sOption_->resize(std::max(sOption_->width(), sOption_->sizeHint().width()), sOption_->height());
    if (const int overlap = sOption_->geometry().right() + 1 - transCombo_->x(); overlap > 0)
        transCombo_->setGeometry(transCombo_->geometry().adjusted(overlap, 0, 0, 0));
    transText_->setGeometry(px(columnLeft(1)), px(EntryRowTop), px(columnWidth(1)), px(ControlHeight));

    for (std::size_t c = 0; c < titles.size() && c < columnTwips_.size(); ++c) {
        auto* title = new QLabel(titles[c].second, this);
        if (!titles[c].first.isEmpty())
            title->setObjectName(titles[c].first);
        const bool amountColumn = c >= 2;
        title->setAlignment((amountColumn ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
        title->setGeometry(px(columnLeft(static_cast<int>(c))), px(TitleRowTop),
                           px(columnWidth(static_cast<int>(c))) - 2, px(250));
        title->setAutoFillBackground(true);
        titles_.push_back(title);
    }
}

bool LedgerFrame::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Wheel && watched == grid_->viewport()) {
        const int steps = static_cast<QWheelEvent*>(event)->angleDelta().y() / 120;
        if (steps != 0 && scroll_->isEnabled())
            scroll_->setValue(scroll_->value() - steps);
        return true;
    }
    if (event->type() == QEvent::Enter && host_ && !host_->moveMode()) {
        if (watched == transText_)
            transTextHelp();
        else if (watched == hOption_ || watched == sOption_)
            optionHelp(watched == hOption_);
        else if (watched == grid_)
            host_->setHelp(QStringLiteral("Display"), kind_.gridHelp);
    }
    if (event->type() == QEvent::MouseButtonPress && host_) {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && widget->isEnabled()) {
            if (watched == transText_)
                TransText_Click();
            else if (watched == transCombo_)
                dropDownTransactions();
            if (watched == hOption_ || watched == sOption_) {
                optionPressed(watched == hOption_);
                return true;
            }
        }
    }
    if (event->type() != QEvent::KeyPress)
        return QGroupBox::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent*>(event)->key();
    const bool press = key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter;
    if (watched == grid_) {
        const int row = std::max(0, grid_->currentRow());
        const int column = std::max(0, grid_->currentColumn());
        if (press) {
            grid_->setCurrentCell(row, column);
            emit grid_->cellClicked(row, column);
            return true;
        }
        const bool up = key == Qt::Key_Up && row == 0;
        const bool down = key == Qt::Key_Down && row == Rows - 1;
        if ((up || down) && scroll_->isEnabled()) {
            scroll_->setValue(scroll_->value() + (up ? -1 : 1));
            return true;
        }
    } else if (watched == transCombo_ && transCombo_->isEnabled() &&
               (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_Space || key == Qt::Key_F4)) {
        // Arrows open the list instead of choosing the next transaction at each step.
        dropDownTransactions();
        transCombo_->showPopup();
        return true;
    } else if (watched == hOption_ || watched == sOption_) {
        if (press) {
            optionPressed(watched == hOption_);
            return true;
        }
        // The arrows would check the other button without switching the list.
        return key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_Left || key == Qt::Key_Right;
    }
    return QGroupBox::eventFilter(watched, event);
}

void LedgerFrame::attach(LedgerHost* host) {
    host_ = host;
    connect(grid_, &QTableWidget::cellClicked, this, &LedgerFrame::gridClicked);
    connect(transCombo_, &QComboBox::activated, this, [this] { TransCombo_Click(); });
    grid_->setMouseTracking(true);
}

int LedgerFrame::columnLeft(int column) const {
    return GridLeftTwips + std::accumulate(columnTwips_.begin(), columnTwips_.begin() + column, 0);
}

int LedgerFrame::columnWidth(int column) const {
    return columnTwips_.at(static_cast<std::size_t>(column));
}

int LedgerFrame::gridTop() const {
    return px(GridTopTwips);
}

QLineEdit* LedgerFrame::addAmountBox(const QString& objectName, int column) {
    auto* box = new QLineEdit(this);
    box->setObjectName(objectName);
    // Read out by its column's title, as the eye reads it.
    if (column < static_cast<int>(titles_.size()))
        box->setAccessibleName(titles_[static_cast<std::size_t>(column)]->text().trimmed());
    box->setAlignment(Qt::AlignRight);
    box->setGeometry(px(columnLeft(column)), px(EntryRowTop), px(columnWidth(column)), px(ControlHeight));
    return box;
}

QLabel* LedgerFrame::columnTitle(const QString& objectName) const {
    for (QLabel* t : titles_)
        if (t->objectName() == objectName)
            return t;
    return nullptr;
}

void LedgerFrame::showAccount(const QString& name, const QString& number) {
    nameLabel_->setText(name);
    numberLabel_->setText(number);
}

void LedgerFrame::clearGrid() {
    for (int r = 0; r < Rows; ++r)
        for (int c = 0; c < grid_->columnCount(); ++c)
            grid_->item(r, c)->setText(QString());
}

void LedgerFrame::setAllBackgrounds(const QColor& colour) {
    for (int r = 0; r < Rows; ++r)
        for (int c = 0; c < grid_->columnCount(); ++c)
            grid_->item(r, c)->setBackground(colour);
}

void LedgerFrame::markRow(int row) {
    for (int r = 0; r < Rows; ++r)
        for (int c = 0; c < grid_->columnCount(); ++c)
            grid_->item(r, c)->setBackground(r == row ? MarkedBackground : UnmarkedBackground);
}

void LedgerFrame::setCell(int row, int column, const QString& text, Qt::Alignment alignment,
                          const QColor& colour) {
    QTableWidgetItem* item = grid_->item(row, column);
    item->setText(text);
    item->setTextAlignment(alignment | Qt::AlignVCenter);
    item->setForeground(colour);
}

void LedgerFrame::loadTransactionList(const std::vector<catalogue::CatalogueItem>& items,
                                      const QString& tooltip) {
    transCombo_->blockSignals(true);
    transCombo_->clear();
    for (const auto& item : items)
        transCombo_->addItem(QString::fromStdString(item.name), item.recordNumber);
    transCombo_->setCurrentIndex(-1);
    transCombo_->blockSignals(false);
    transCombo_->setToolTip(tooltip);
}

} // namespace ledger
