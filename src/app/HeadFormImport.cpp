// "Importera kontoutdrag": the wizard over the open account, and the account read again after it.

#include "app/HeadForm.h"
#include "ledger/ui/BudgetFrame.h"
#include "ledger/ui/CashFrame.h"
#include "statements/ui/ImportTips.h"
#include "statements/ui/ImportWizard.h"
#include "support/ui/Trap.h"

#include <QAction>
#include <QTableWidget>

#include <algorithm>

namespace app {

void HeadForm::Import_mn_Click() {
    if (!kontoData_ || !importAction_->isEnabled() || !isEnabled())
        return;
    const ledger::Kind kind = kind_ == QLatin1String("Bg") ? ledger::Kind::Budget : ledger::Kind::Cash;
    auto* wizard = new statements::ImportWizard(ctx_, this, accountName_, accountNameBytes_, kind);
    wizard->setAttribute(Qt::WA_DeleteOnClose);
    connect(wizard, &statements::ImportWizard::imported, this, [this](int firstPost) {
        reloadAccounts(accountName_.toStdString());
        if (kontoData_ && firstPost > 0) {
            support::trapped(
                ctx_, this,
                [&] {
                    currentPost_ = std::clamp(firstPost, 1, std::max(postCount_, 1));
                    showViewAroundCurrentPost();
                },
                [&] {
                    return support::describeFailure(QStringLiteral("Import_mn"),
                                                    QStringLiteral(" vid visning av de inlästa posterna."));
                });
        }
        refreshUndoActions();
    });
    connect(wizard, &QDialog::finished, this, [this] { setEnabled(true); });
    setEnabled(false);
    wizard->setEnabled(true);
    wizard->show();
    wizard->chooseFile();
}

void HeadForm::showImportTips() {
    if (!kontoData_)
        return;
    const bool cash = kind_ != QLatin1String("Bg");
    QTableWidget* grid = cash ? cashFrame_->grid() : budgetFrame_->grid();
    const auto log = ctx_.paths.importlogg(accountNameBytes_);
    const std::size_t shown = cash ? cashView_.size() : budgetView_.size();
    for (int r = 0; r < grid->rowCount(); ++r) {
        QString tip;
        if (static_cast<std::size_t>(r) < shown) {
            // A budget post holds the bank's amount as its actual one.
            tip = cash ? statements::importTip(log, cashView_[r].datum, cashView_[r].belopp)
                       : statements::importTip(log, budgetView_[r].datum, budgetView_[r].verklBelopp);
        }
        for (int c = 0; c < grid->columnCount(); ++c)
            if (QTableWidgetItem* item = grid->item(r, c))
                item->setToolTip(tip);
    }
}

} // namespace app
