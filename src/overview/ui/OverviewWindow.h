#pragma once

#include "overview/Chart.h"
#include "overview/Export.h"
#include "overview/Search.h"
#include "overview/Sums.h"

#include <QWidget>

#include <functional>
#include <optional>
#include <vector>

class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPrinter;
class QPushButton;
class QSpinBox;
class QTabWidget;
class QTableView;
class QTableWidget;

namespace support {
class Context;
struct ErrorDescription;
} // namespace support

namespace overview {

class ChartWidget;
class HitsModel;

// "Sammanställning": where the money went per transaction and month by month, and a search of
// posts, over one account or all of them. The accounts are read once as the window opens; the main
// window stays disabled until it closes.
class OverviewWindow : public QWidget {
    Q_OBJECT
public:
    // Called after the window has closed on a chosen hit: the account (UTF-8 name) to open and
    // the post to make the current one.
    using OpenPost = std::function<void(const QString& account, int post)>;

    OverviewWindow(support::Context& ctx, QWidget* parent, QString openAccount, OpenPost openPost);
    ~OverviewWindow() override;

    enum Tab { PerTransactionTab, MonthTab, SearchTab };

    // The selection as it stands; store::DataError for a from-to period that names no days.
    Period period() const;
    Flow flow() const;
    // The accounts the selection covers, read as the account was chosen.
    const std::vector<OpenAccount>& selectedAccounts() const { return selection_; }

    const std::optional<PerTransaction>& perTransactionReport() const { return perTransaction_; }
    const std::optional<MonthReport>& monthReport() const { return month_; }
    const std::vector<Hit>& hits() const { return hits_; }
    ChartWidget* transactionChart() const { return transactionChart_; }
    ChartWidget* monthChart() const { return monthChart_; }

    // Every report drawn again for the selection.
    void refresh();
    // The search tab's filters run over the selected accounts.
    void runSearch();
    // The posts behind a bar or a table row, in the hit table.
    void showPosts(const SearchQuery& query, const QString& what);
    // The chosen hit opened in the main window: this window closes first.
    void openHit(int row);
    // The current tab printed through the printer dialog, or saved as a PDF.
    void printTab();
    void saveTabAsPdf();
    // The current tab's report as XLSX or CSV, in the form chosen beside the button.
    void saveTabAsSheet();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void loadAccounts();
    // The accounts of the account box read (every one for "Alla konton"); the hits, which name
    // them by index, go with the old ones.
    void readSelection();
    void periodKindChanged();
    void fillTransactionTable();
    void fillMonthTable();
    void fillSearchNames();
    void transactionRowClicked(int row);
    void monthRowClicked(int row);
    // The current tab's printout on a printer already set up (a PDF or paper).
    void printOn(QPrinter& printer);
    Sheet currentSheet() const;
    QString tabTitle() const;
    QString selectionText() const;
    // Runs body inside the trap; a file that cannot be written is told in plain words instead.
    bool savedOrTold(const std::function<void()>& body, const QString& routine);

    support::Context& ctx_;
    QString openAccount_;
    OpenPost openPost_;
    bool loaded_ = false;
    bool refreshing_ = false;

    std::vector<AccountInfo> infos_;
    std::vector<OpenAccount> selection_;
    std::optional<PerTransaction> perTransaction_;
    std::optional<MonthReport> month_;
    std::vector<Hit> hits_;
    std::vector<std::optional<SearchQuery>> transactionRowPosts_, monthRowPosts_;

    QLabel* accountLabel_ = nullptr;
    QComboBox* accountBox_ = nullptr;
    QLabel* periodKindLabel_ = nullptr;
    QComboBox* periodKindBox_ = nullptr;
    QLabel* yearLabel_ = nullptr;
    QSpinBox* yearBox_ = nullptr;
    QLabel* partLabel_ = nullptr;
    QComboBox* monthBox_ = nullptr;
    QComboBox* quarterBox_ = nullptr;
    QLabel* fromLabel_ = nullptr;
    QDateEdit* fromDate_ = nullptr;
    QLabel* toLabel_ = nullptr;
    QDateEdit* toDate_ = nullptr;
    QLabel* flowLabel_ = nullptr;
    QComboBox* flowBox_ = nullptr;
    QLabel* periodText_ = nullptr;

    QTabWidget* tabs_ = nullptr;
    QTableWidget* transactionTable_ = nullptr;
    ChartWidget* transactionChart_ = nullptr;
    QLabel* startBalanceText_ = nullptr;
    QTableWidget* monthTable_ = nullptr;
    ChartWidget* monthChart_ = nullptr;

    QLabel* mainLabel_ = nullptr;
    QComboBox* mainBox_ = nullptr;
    QLabel* subLabel_ = nullptr;
    QComboBox* subBox_ = nullptr;
    QLabel* amountFromLabel_ = nullptr;
    QLineEdit* amountFromBox_ = nullptr;
    QLabel* amountToLabel_ = nullptr;
    QLineEdit* amountToBox_ = nullptr;
    QLabel* signLabel_ = nullptr;
    QComboBox* signBox_ = nullptr;
    QLabel* dateFromLabel_ = nullptr;
    QLineEdit* dateFromBox_ = nullptr;
    QLabel* dateToLabel_ = nullptr;
    QLineEdit* dateToBox_ = nullptr;
    QPushButton* searchButton_ = nullptr;
    QLabel* hitsText_ = nullptr;
    QTableView* hitsTable_ = nullptr;
    HitsModel* hitsModel_ = nullptr;

    QPushButton* printButton_ = nullptr;
    QPushButton* pdfButton_ = nullptr;
    QLabel* sheetFormatLabel_ = nullptr;
    QComboBox* sheetFormatBox_ = nullptr;
    QPushButton* sheetButton_ = nullptr;
    QPushButton* closeButton_ = nullptr;
};

} // namespace overview
