// The search tab: its filters, the posts behind a report, and a hit opened in the main window.

#include "overview/ui/OverviewWindow.h"
#include "overview/ui/OverviewWindowParts.h"

#include "store/Errors.h"
#include "support/ui/Context.h"
#include "support/ui/Trap.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QTableView>

#include <algorithm>
#include <set>
#include <utility>

namespace overview {

using namespace windowparts;

namespace {

const QString AnyName = QStringLiteral("(alla)");
const QString NoSub = QStringLiteral("(utan subtransaktion)");

// "100 000": digits grouped as the amounts are.
QString countText(std::size_t n) {
    return q(store::formatPattern(store::Amount::whole(static_cast<std::int64_t>(n)), "### ### ##0"));
}

} // namespace

void OverviewWindow::fillSearchNames() {
    std::set<std::string> mains, subs;
    for (const OpenAccount& a : selection_) {
        for (std::size_t n = 1; n < a.mains.size(); ++n)
            if (!a.mains[n].name.empty())
                mains.insert(a.mains[n].name);
        for (std::size_t n = 1; n < a.subs.size(); ++n)
            if (!a.subs[n].empty())
                subs.insert(a.subs[n]);
    }
    mainBox_->clear();
    mainBox_->addItem(AnyName);
    for (const std::string& m : mains)
        mainBox_->addItem(q(m));
    subBox_->clear();
    subBox_->addItems({AnyName, NoSub});
    for (const std::string& s : subs)
        subBox_->addItem(q(s));
}

void OverviewWindow::showPosts(const SearchQuery& query, const QString& what) {
    support::trapped(
        ctx_, this,
        [&] {
            hits_ = search(selection_, query);
            hitsModel_->reset();
            hitsText_->setText(QStringLiteral("Poster bakom %1: %2 st.").arg(what, countText(hits_.size())));
            tabs_->setCurrentIndex(SearchTab);
            if (!hits_.empty())
                hitsTable_->selectRow(0);
            hitsTable_->setFocus();
        },
        [&] {
            return support::describeFailure(QStringLiteral("Sammanställning"),
                                            QStringLiteral(" vid sökning av poster."), {what});
        });
}

void OverviewWindow::runSearch() {
    SearchQuery query;
    if (mainBox_->currentIndex() > 0)
        query.main = mainBox_->currentText().toStdString();
    if (subBox_->currentIndex() == 1)
        query.sub = std::string();
    else if (subBox_->currentIndex() > 1)
        query.sub = subBox_->currentText().toStdString();
    static constexpr Flow signs[] = {Flow::Both, Flow::Income, Flow::Expenses};
    query.flow = signs[std::clamp(signBox_->currentIndex(), 0, 2)];
    for (auto [box, bound] :
         {std::pair{amountFromBox_, &query.amountFrom}, std::pair{amountToBox_, &query.amountTo}}) {
        const QString typed = box->text().trimmed();
        if (typed.isEmpty())
            continue;
        *bound = store::Amount::parse(store::cleanTypedAmount(typed.toStdString()));
        if (!*bound) {
            ctx_.dialogs.message(this, QStringLiteral("Sök"),
                                 QStringLiteral("Skriv beloppet med siffror, till exempel 450 eller 450,50."),
                                 support::Dialogs::Icon::Exclamation);
            box->setFocus();
            return;
        }
    }
    for (auto [box, bound] :
         {std::pair{dateFromBox_, &query.dateFrom}, std::pair{dateToBox_, &query.dateTo}}) {
        const std::string typed = box->text().trimmed().toStdString();
        if (typed.empty())
            continue;
        try {
            rangePeriod(typed, typed);
        } catch (const store::DataError&) {
            ctx_.dialogs.message(this, QStringLiteral("Sök"),
                                 QStringLiteral("Skriv datumet som ÅÅÅÅ-MM-DD, till exempel 2026-03-31."),
                                 support::Dialogs::Icon::Exclamation);
            box->setFocus();
            return;
        }
        *bound = typed;
    }
    showPosts(query, QStringLiteral("sökningen"));
    hitsText_->setText(QStringLiteral("Funna poster: %1 st.").arg(countText(hits_.size())));
}

void OverviewWindow::openHit(int row) {
    if (row < 0 || static_cast<std::size_t>(row) >= hits_.size())
        return;
    const QString account = q(selection_[hits_[static_cast<std::size_t>(row)].account].info.name);
    const int post = hits_[static_cast<std::size_t>(row)].record;
    const OpenPost openPost = openPost_;
    close();
    if (openPost)
        openPost(account, post);
}

} // namespace overview
