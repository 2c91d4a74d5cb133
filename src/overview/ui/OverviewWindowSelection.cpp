// The selection: the accounts read, the period and what the reports show.

#include "overview/ui/OverviewWindow.h"
#include "overview/ui/OverviewWindowParts.h"

#include "store/Errors.h"
#include "support/ui/Context.h"
#include "support/ui/Trap.h"

#include <QComboBox>
#include <QDate>
#include <QDateEdit>
#include <QLabel>
#include <QSpinBox>

#include <algorithm>

namespace overview {

using namespace windowparts;

namespace {

const QString AllAccounts = QStringLiteral("Alla konton");

} // namespace

void OverviewWindow::loadAccounts() {
    refreshing_ = true;
    const int year = std::stoi(ctx_.today.substr(0, 4));
    const int month = std::stoi(ctx_.today.substr(5, 2));
    yearBox_->setValue(year);
    monthBox_->setCurrentIndex(month - 1);
    quarterBox_->setCurrentIndex((month - 1) / 3);
    const QDate today = QDate::fromString(q(ctx_.today), QStringLiteral("yyyy-MM-dd"));
    fromDate_->setDate(QDate(today.year(), today.month(), 1));
    toDate_->setDate(today);
    support::trapped(
        ctx_, this,
        [&] {
            infos_ = registeredAccounts(ctx_.paths);
            accountBox_->clear();
            accountBox_->addItem(AllAccounts);
            for (const AccountInfo& info : infos_)
                accountBox_->addItem(q(info.name));
            const int open = accountBox_->findText(openAccount_);
            accountBox_->setCurrentIndex(open > 0 ? open : 0);
        },
        [] {
            return support::describeFailure(QStringLiteral("Sammanställning"),
                                            QStringLiteral(" vid läsning av kontoregistret."));
        });
    refreshing_ = false;
    readSelection();
    refresh();
}

void OverviewWindow::readSelection() {
    hits_.clear();
    hitsModel_->reset();
    hitsText_->clear();
    selection_.clear();
    const int index = accountBox_->currentIndex();
    support::trapped(
        ctx_, this,
        [&] {
            for (std::size_t i = 0; i < infos_.size(); ++i)
                if (index == 0 || static_cast<std::size_t>(index) == i + 1)
                    selection_.push_back(openAccount(ctx_.paths, infos_[i]));
        },
        [&] {
            return support::describeFailure(QStringLiteral("Sammanställning"),
                                            QStringLiteral(" vid läsning av kontona."),
                                            {QStringLiteral("Konto: ") + accountBox_->currentText()});
        });
    fillSearchNames();
}

void OverviewWindow::periodKindChanged() {
    const int kind = periodKindBox_->currentIndex();
    yearLabel_->setVisible(kind != 3);
    yearBox_->setVisible(kind != 3);
    monthBox_->setVisible(kind == 0);
    quarterBox_->setVisible(kind == 1);
    partLabel_->setVisible(kind <= 1);
    partLabel_->setText(kind == 1 ? QStringLiteral("K&vartal") : QStringLiteral("&Månad"));
    partLabel_->setBuddy(kind == 1 ? static_cast<QWidget*>(quarterBox_) : monthBox_);
    for (QWidget* w : std::initializer_list<QWidget*>{fromLabel_, fromDate_, toLabel_, toDate_})
        w->setVisible(kind == 3);
}

Period OverviewWindow::period() const {
    switch (periodKindBox_->currentIndex()) {
    case 0:
        return monthPeriod(yearBox_->value(), monthBox_->currentIndex() + 1);
    case 1:
        return quarterPeriod(yearBox_->value(), quarterBox_->currentIndex() + 1);
    case 2:
        return yearPeriod(yearBox_->value());
    default:
        return rangePeriod(fromDate_->date().toString(QStringLiteral("yyyy-MM-dd")).toStdString(),
                           toDate_->date().toString(QStringLiteral("yyyy-MM-dd")).toStdString());
    }
}

Flow OverviewWindow::flow() const {
    static constexpr Flow flows[] = {Flow::Both, Flow::Expenses, Flow::Income};
    return flows[std::clamp(flowBox_->currentIndex(), 0, 2)];
}

} // namespace overview
