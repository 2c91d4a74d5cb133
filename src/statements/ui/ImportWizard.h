#pragma once

// "Importera kontoutdrag": a bank's statement read into the open account in four steps (file,
// format, rows, summary). Nothing is written before "Slutför"; a saved mapping, a new rule and a
// new transaction are kept in memory until then and dropped with "Avbryt".

#include "ledger/LedgerView.h"
#include "statements/Apply.h"
#include "statements/Classify.h"
#include "statements/ImportFiles.h"
#include "statements/Reader.h"

#include <QWizard>

#include <functional>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTableWidget;
class QGroupBox;
class QWizardPage;

namespace support {
class Context;
}

namespace statements {

class ImportWizard : public QWizard {
    Q_OBJECT

public:
    enum PageId { FilePage, FormatPage, RowsPage, SummaryPage };

    // accountBytes: the account's name as the register holds it (Windows-1252).
    ImportWizard(support::Context& ctx, QWidget* mainWindow, const QString& accountName,
                 std::string accountBytes, ledger::Kind kind);

    // The file dialog; a file that reads goes straight on to the format page.
    void chooseFile();

    // The state of the pages, for the main window and for tests.
    const Statement& statement() const { return statement_; }
    const std::vector<ClassifiedRow>& rows() const { return rows_; }
    bool ticked(int row) const { return ticked_.at(static_cast<std::size_t>(row)); }
    // The row's status as the rows page shows it.
    QString statusText(int row) const;
    // What "Slutför" would write.
    ImportPlan plan() const;

signals:
    // The account's files were changed by the import: read them again and show this post.
    void imported(int firstPost);

protected:
    void initializePage(int id) override;
    bool validateCurrentPage() override;

private:
    void buildFilePage();
    void buildFormatPage();
    void buildRowsPage();
    void buildSummaryPage();
    void placeOverMainWindow(QWidget* mainWindow);

    bool readFile(const QString& path);
    // The format page's mapping controls from mapping_ and back.
    void showMapping(bool initial);
    void showMappingChoices();
    void takeMapping();
    void refreshPreview();
    // Reads the statement with the format page's choices; false with a message when it cannot.
    bool readStatementNow();
    void classifyRows();
    void fillRows();
    void showRow(int row);
    void currentRowChanged();
    void chooseTransaction(int index);
    void chooseSubTransaction(int index);
    void rowTicked(int row, int column);
    void newTransaction();
    bool finish();
    void withTarget(const std::function<void(ImportTarget&)>& use) const;
    QString transactionName(int transNr) const;
    QString subTransactionName(int subNr) const;

    support::Context& ctx_;
    QString accountName_;
    std::string accountBytes_;
    ledger::Kind kind_;

    QString path_;
    std::string bytes_;
    std::vector<Profile> profiles_;
    bool profilesChanged_ = false;
    Recognition recognition_;
    Mapping mapping_;
    Statement statement_;
    AccountView view_;
    bool viewRead_ = false;
    std::vector<Rule> originalRules_;
    std::vector<ClassifiedRow> rows_;
    std::vector<char> ticked_;
    std::vector<StagedTransaction> newTransactions_; // written at "Slutför"
    bool filling_ = false;

    // Fil
    QWizardPage* filePage_ = nullptr;
    QPushButton* fileButton_ = nullptr;
    QLabel* fileName_ = nullptr;
    QLabel* fileError_ = nullptr;
    // Format
    QWizardPage* formatPage_ = nullptr;
    QLabel* formatLabel_ = nullptr;
    QCheckBox* transactionDateBox_ = nullptr;
    QLabel* qifOrderLabel_ = nullptr;
    QComboBox* qifOrderCombo_ = nullptr;
    QGroupBox* mappingBox_ = nullptr;
    QComboBox* encodingCombo_ = nullptr;
    QComboBox* separatorCombo_ = nullptr;
    QSpinBox* skipSpin_ = nullptr;
    QCheckBox* headerBox_ = nullptr;
    QComboBox* amountKindCombo_ = nullptr;
    QComboBox* bookingDateCombo_ = nullptr;
    QComboBox* transactionDateCombo_ = nullptr;
    QComboBox* textCombo_ = nullptr;
    QComboBox* amountCombo_ = nullptr;
    QComboBox* debitCombo_ = nullptr;
    QComboBox* creditCombo_ = nullptr;
    QComboBox* signCombo_ = nullptr;
    QComboBox* balanceCombo_ = nullptr;
    QComboBox* dateFormatCombo_ = nullptr;
    QComboBox* decimalCombo_ = nullptr;
    QComboBox* orderCombo_ = nullptr;
    QTableWidget* previewTable_ = nullptr;
    QCheckBox* saveMappingBox_ = nullptr;
    QLineEdit* mappingName_ = nullptr;
    QLabel* mappingError_ = nullptr;
    // Rader
    QWizardPage* rowsPage_ = nullptr;
    QTableWidget* rowsTable_ = nullptr;
    QComboBox* transactionCombo_ = nullptr;
    QComboBox* subTransactionCombo_ = nullptr;
    QPushButton* newTransactionButton_ = nullptr;
    QCheckBox* rememberBox_ = nullptr;
    QLabel* rowsCount_ = nullptr;
    // Sammanfattning
    QWizardPage* summaryPage_ = nullptr;
    QLabel* summary_ = nullptr;
    QLabel* balanceCheck_ = nullptr;
    QLabel* budgetCheck_ = nullptr;
};

} // namespace statements
