#include "statements/ui/ImportWizard.h"

#include "statements/ui/ImportWizardParts.h"
#include "support/ui/Context.h"
#include "support/ui/Trap.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>

#include <algorithm>

namespace statements {

using namespace importwizard;

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

} // namespace statements
