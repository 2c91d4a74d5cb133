#include "statements/ui/ImportWizard.h"

#include "budget/BudgetTemplate.h"
#include "ledger/LedgerView.h"
#include "statements/ui/ImportWizardParts.h"
#include "store/Records.h"
#include "support/ui/Context.h"
#include "support/ui/Trap.h"

#include <QCheckBox>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

#include <memory>
#include <optional>

namespace statements {

using namespace importwizard;

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
    // A look at the summary page must not make a missing file: it is made by the import's commit.
    store::RecordFile kategori(paths.kategori(accountBytes_), store::KatRec::Length,
                               store::RecordFile::Missing::Empty);
    std::optional<store::RecordFile> mall;
    std::unique_ptr<budget::BudgetTemplate> plan;
    const int postCount = ledger::findPostCount(kontoData);
    if (kind_ == ledger::Kind::Budget) {
        mall.emplace(paths.bMall(accountBytes_), store::MallRec::Length, store::RecordFile::Missing::Empty);
        plan = std::make_unique<budget::BudgetTemplate>(*mall);
        plan->open(kontoData, postCount, ctx_.today);
    }
    ImportTarget target{paths,    accountBytes_,           kontoData,  postCount, transakt,
                        kategori, mall ? &*mall : nullptr, plan.get(), ctx_.today};
    use(target);
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
