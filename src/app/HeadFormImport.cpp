// "Importera kontoutdrag": the wizard over the open account, and the account read again after it.

#include "app/HeadForm.h"
#include "statements/ui/ImportWizard.h"
#include "support/ui/Trap.h"

#include <QAction>

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

} // namespace app
