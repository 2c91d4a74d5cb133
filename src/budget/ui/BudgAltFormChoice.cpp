// The planning window's transaction list: the filter, the choice of a transaction, excluding and
// re-admitting it through the template mark, and a new transaction from newTransactionBox.

#include "budget/TemplateEdits.h"
#include "budget/ui/BudgAltForm.h"
#include "budget/ui/BudgAltTexts.h"
#include "catalogue/ui/CatalogueHost.h"
#include "catalogue/ui/TransForm.h"
#include "store/History.h"
#include "store/Records.h"
#include "support/ui/Context.h"
#include "support/ui/Trap.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

namespace budget {

using namespace alttext;

std::vector<TemplateRecord> BudgAltForm::mall() const {
    const store::RecordFile* file = host_.budgetMall();
    return file ? readTemplate(*file) : std::vector<TemplateRecord>{};
}

QString BudgAltForm::filterName() const {
    switch (filter_) {
    case Filter::All:
        return QStringLiteral("Alla");
    case Filter::BudgetableOnly:
        return QStringLiteral("B-bara");
    case Filter::ExcludedOnly:
        break;
    }
    return QStringLiteral("Uteslutna");
}

void BudgAltForm::Conditions() {
    support::trapped(
        host_.context(), this,
        [&] {
            if (host_.transakt().count() == 0) {
                transactionList_->clear();
                InfoBox(1);
                return;
            }
            const auto records = mall();
            if (records.empty()) {
                filter_ = Filter::All;
                budgetedOption_->setEnabled(false);
                excludedOption_->setEnabled(false);
                ListUpDate();
                InfoBox(2);
            } else if (anyExclusionFrom(records, period_.startMonth)) {
                filter_ = Filter::BudgetableOnly;
                for (QRadioButton* o : {allOption_, budgetedOption_, excludedOption_})
                    o->setEnabled(true);
                ListUpDate();
                InfoBox(4);
            } else {
                filter_ = Filter::All;
                budgetedOption_->setEnabled(true);
                // Marks of months before the period still make a transaction excluded.
                excludedOption_->setEnabled(!excludedTransactions(records).empty());
                excludeButton_->setText(QString());
                excludeButton_->setEnabled(false);
                ListUpDate();
                InfoBox(3);
            }
            transactionList_->setEnabled(true);
            quitButton_->setFocus();
        },
        [] {
            return support::describeFailure(QStringLiteral("Conditions"),
                                            QStringLiteral(" vid försök att lista transaktionerna."));
        });
}

void BudgAltForm::ListUpDate() {
    allOption_->setChecked(filter_ == Filter::All);
    budgetedOption_->setChecked(filter_ == Filter::BudgetableOnly);
    excludedOption_->setChecked(filter_ == Filter::ExcludedOnly);
    transactionList_->clear();
    for (const PlanTransaction& t : listTransactions(host_.transakt(), mall(), filter_)) {
        auto* item = new QListWidgetItem(fromBytes(t.name), transactionList_);
        item->setData(Qt::UserRole, t.transNr);
    }
}

void BudgAltForm::Option_Click(Filter filter) {
    filter_ = filter;
    support::trapped(
        host_.context(), this, [&] { ListUpDate(); },
        [] {
            return support::describeFailure(QStringLiteral("Option_Click"),
                                            QStringLiteral(" vid försök att lista transaktionerna."));
        });
}

void BudgAltForm::chooseTransaction(int row) {
    QListWidgetItem* item = transactionList_->item(row);
    if (!item)
        return;
    hideChoiceLists();
    support::trapped(
        host_.context(), this,
        [&] {
            const int nr = item->data(Qt::UserRole).toInt();
            budgeting_ = false;
            Rensa();
            Close_Fields();
            Open_Period();
            scanned_.clear();
            budgetButton_->setEnabled(false);
            reloadButton_->setEnabled(true);
            chosenNr_ = nr;
            chosenRow_ = row;
            const auto rec = host_.transakt().read<store::TransRec>(static_cast<std::size_t>(nr));
            chosenName_ = fromBytes(rec.text(store::TransRec::TransNamn));
            chosenSign_ = rec.raw(store::TransRec::Tecken).front();
            const QString sign = chosenSign_ == ' ' ? QString() : QString(QLatin1Char(chosenSign_));
            host_.setChosenMain({chosenName_, nr, sign});
            newTransactionBox_->setText(chosenName_);
            signLabel_->setText(chosenSign_ == '-' ? QStringLiteral("Utgifts") : QStringLiteral("Inkomst"));

            const auto records = mall();
            if (isExcluded(records, nr)) {
                if (filter_ == Filter::ExcludedOnly) {
                    excludeButton_->setText(QStringLiteral("Anslut transaktion"));
                    excludeButton_->setToolTip(QStringLiteral("Gör transaktionen budgeteringsbar"));
                    excludeButton_->setEnabled(true);
                    InfoBox(20);
                } else {
                    excludeButton_->setText(QString());
                    excludeButton_->setEnabled(false);
                    InfoBox(10);
                }
                return;
            }
            if (records.empty()) {
                startBudgeting();
                InfoBox(9);
                return;
            }
            if (host_.context().dialogs.question(this, BudgetTitle, budgetQuestion())) {
                startBudgeting();
                Fyll_Månader();
            } else {
                excludeButton_->setText(QStringLiteral("Uteslut transaktion"));
                excludeButton_->setToolTip(QStringLiteral("Avlägsna transaktionen från budgeteringsbara"));
                excludeButton_->setEnabled(true);
                InfoBox(19);
                quitButton_->setFocus();
            }
        },
        [] {
            return support::describeFailure(QStringLiteral("List4 (Transaktionslista)"),
                                            QStringLiteral(" vid försök att hämta listad transaktion"));
        });
}

void BudgAltForm::startBudgeting() {
    budgeting_ = true;
    excludeButton_->setText(QStringLiteral("Avbryt transaktion"));
    excludeButton_->setToolTip(QStringLiteral("Avbryt budgeteringen av transaktionen"));
    excludeButton_->setEnabled(true);
    reloadButton_->setEnabled(false);
    // The period stands while its months are being filled: the rows are laid out for it.
    Close_Period();
    BudgetPeriod(false);
}

void BudgAltForm::backToChoosing() {
    hideChoiceLists();
    budgeting_ = false;
    defaultAmount_.clear();
    scanned_.clear();
    chosenNr_ = 0;
    BudgetPeriod(false);
    Open_Period();
    budgetButton_->setEnabled(false);
    clearButton_->setEnabled(false);
    excludeButton_->setText(QString());
    excludeButton_->setEnabled(false);
    reloadButton_->setEnabled(true);
    newTransactionBox_->setText(NewTransaction);
    signLabel_->clear();
}

void BudgAltForm::Close_Fields() {
    for (int m = 0; m < 12; ++m) {
        dayLabels_[m]->setEnabled(false);
        amountBoxes_[m]->setEnabled(false);
    }
}

void BudgAltForm::Close_Period() {
    for (QWidget* w :
         std::initializer_list<QWidget*>{yearLabel_, endYearLabel_, startMonthLabel_, endMonthLabel_,
                                         allOption_, budgetedOption_, excludedOption_})
        w->setEnabled(false);
}

void BudgAltForm::Open_Period() {
    for (QWidget* w :
         std::initializer_list<QWidget*>{yearLabel_, endYearLabel_, startMonthLabel_, endMonthLabel_})
        w->setEnabled(true);
    // The filters stay as the template allows them.
    const auto records = mall();
    allOption_->setEnabled(true);
    budgetedOption_->setEnabled(!records.empty());
    excludedOption_->setEnabled(!excludedTransactions(records).empty());
}

void BudgAltForm::filterAfterMarks() {
    const auto records = mall();
    if (excludedTransactions(records).empty()) {
        filter_ = Filter::All;
        excludedOption_->setEnabled(false);
        InfoBox(3);
    } else {
        filter_ = Filter::BudgetableOnly;
        for (QRadioButton* o : {allOption_, budgetedOption_, excludedOption_})
            o->setEnabled(true);
        InfoBox(4);
    }
    ListUpDate();
    chosenNr_ = 0;
    chosenRow_ = -1;
    newTransactionBox_->setText(NewTransaction);
    signLabel_->clear();
    excludeButton_->setText(QString());
    excludeButton_->setEnabled(false);
}

bool BudgAltForm::commitMall(const QString& routine, const QString& situation) {
    store::RecordFile* file = host_.budgetMall();
    const bool saved = support::trapped(
        host_.context(), this,
        [&] {
            store::describeChange("ändrad budgetmall");
            file->commit();
        },
        [&] {
            return support::describeFailure(routine, situation,
                                            {QStringLiteral("TransNr = ") + QString::number(chosenNr_)});
        });
    if (!saved) {
        try {
            file->reload();
        } catch (...) {
            // The file could not be read back either: what is on disk stays what it was.
        }
    }
    host_.budgetMallChanged();
    return saved;
}

void BudgAltForm::excludeOrReadmit() {
    support::Context& ctx = host_.context();
    if (budgeting_) {
        support::trapped(
            ctx, this,
            [&] {
                backToChoosing();
                InfoBox(filter_ == Filter::ExcludedOnly ? 10 : 7);
            },
            [] {
                return ErrorDescriptionFor(
                    QStringLiteral("Command3 (Avbryt transaktion)"),
                    QStringLiteral(" vid försök att avbryta transaktionen"),
                    QStringLiteral("Fel i rutinen Command3 vid försök avbryta transaktion."));
            });
        return;
    }
    store::RecordFile* file = host_.budgetMall();
    if (chosenNr_ <= 0 || !file)
        return;
    const QString entry = chosenName_;
    if (filter_ == Filter::ExcludedOnly) {
        if (!ctx.dialogs.question(this, ReadmitTitle, readmitQuestion(entry))) {
            transactionList_->setFocus();
            return;
        }
        bool changed = false;
        support::trapped(
            ctx, this, [&] { changed = setExclusion(*file, chosenNr_, false) > 0; },
            [] {
                return support::describeFailure(QStringLiteral("Command3 (Anslut transaktion)"),
                                                QStringLiteral(" vid försök att återställa transaktionen"));
            });
        if (!changed || !commitMall(QStringLiteral("Command3 (Anslut transaktion)"),
                                    QStringLiteral(" vid försök att spara budgetmallen")))
            return;
        filterAfterMarks();
        ctx.dialogs.message(this, ReadmitTitle, Readmitted);
        return;
    }
    if (!ctx.dialogs.question(this, ExcludeTitle, excludeQuestion(entry))) {
        transactionList_->setFocus();
        return;
    }
    host_.budgetMallChanged(); // the template count read again from the file length
    int marked = 0;
    if (!support::trapped(
            ctx, this, [&] { marked = setExclusion(*file, chosenNr_, true); },
            [] {
                return support::describeFailure(QStringLiteral("Command3 (Uteslut transaktion)"),
                                                QStringLiteral(" vid försök att utesluta transaktionen"));
            }))
        return;
    if (marked == 0) {
        ctx.dialogs.message(this, ExcludeTitle, NotInTemplate);
        Conditions();
        return;
    }
    if (!commitMall(QStringLiteral("Command3 (Uteslut transaktion)"),
                    QStringLiteral(" vid försök att spara budgetmallen")))
        return;
    filterAfterMarks();
    ctx.dialogs.message(this, ExcludeTitle, Excluded);
}

void BudgAltForm::reloadList() {
    support::trapped(
        host_.context(), this, [&] { ListUpDate(); },
        [] {
            return support::describeFailure(QStringLiteral("Command7"),
                                            QStringLiteral(" vid försök att lista transaktionerna."));
        });
    if (transactionList_->count() == 0)
        host_.context().dialogs.message(this, EmptyListTitle, emptyList(filterName()));
    chosenNr_ = 0;
    newTransactionBox_->setText(NewTransaction);
    signLabel_->clear();
    InfoBox(filter_ == Filter::ExcludedOnly ? 10 : 7);
    if (chosenRow_ >= 0 && chosenRow_ < transactionList_->count())
        transactionList_->setCurrentRow(chosenRow_);
}

void BudgAltForm::newTransaction() {
    if (chosenNr_ > 0) {
        quitButton_->setFocus();
        return;
    }
    support::Context& ctx = host_.context();
    if (transactionList_->count() > 0) {
        InfoBox(5);
        if (!ctx.dialogs.question(this, NewTransactionTitle, NewTransactionQuestion)) {
            Conditions();
            return;
        }
    }
    InfoBox(6);
    auto* form = new catalogue::TransForm(host_, QStringLiteral("ny"), QStringLiteral("budg"));
    form->setAttribute(Qt::WA_DeleteOnClose);
    form->show();
}

} // namespace budget
