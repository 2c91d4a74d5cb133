// The overview window ("Sammanställning") and the post it may send the user to.

#include "accounts/Register.h"
#include "app/HeadForm.h"
#include "ledger/ui/LedgerFrame.h"
#include "overview/ui/OverviewWindow.h"
#include "support/ui/Trap.h"

#include <QComboBox>

#include <algorithm>

namespace app {

void HeadForm::Overview_mn_Click() {
    if (!kontoData_ || !overviewAction_->isEnabled())
        return;
    auto* form =
        new overview::OverviewWindow(ctx_, this, accountName_, [this](const QString& account, int post) {
            // Another account is opened as a click in the account list opens it.
            if (account != accountName_) {
                const int index = accountPicker_->findText(
                    QString::fromStdString(accounts::centredListText(account.toStdString())));
                if (index < 0)
                    return;
                accountPicker_->setCurrentIndex(index);
                openChosenAccount();
            }
            if (!kontoData_ || account != accountName_)
                return;
            support::trapped(
                ctx_, this,
                [&] {
                    Rensa_Mark(shownFrame());
                    currentPost_ = std::clamp(post, 1, std::max(postCount_, 1));
                    showViewAroundCurrentPost();
                },
                [&] {
                    return support::describeFailure(QStringLiteral("Overview_mn"),
                                                    QStringLiteral(" vid visning av posten."),
                                                    {QStringLiteral("PostNr = ") + QString::number(post)});
                });
        });
    form->setAttribute(Qt::WA_DeleteOnClose);
    // The window disables this one as it opens and enables it as it closes.
    form->show();
}

} // namespace app
