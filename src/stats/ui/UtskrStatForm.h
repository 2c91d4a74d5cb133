#pragma once

#include "ledger/LedgerView.h"
#include "stats/AccountFiles.h"
#include "stats/Diagram.h"
#include "stats/Period.h"
#include "stats/PrintLayout.h"
#include "stats/Reports.h"
#include "stats/Statistics.h"

#include <QString>
#include <QWidget>

#include <functional>
#include <optional>

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QPrinter;
class QPushButton;
class QRadioButton;
class QTableWidget;

namespace support {
class Context;
struct ErrorDescription;
} // namespace support

namespace stats {

class DiagramWidget;

// The account the window starts with: the one open in the main window.
struct StartAccount {
    QString name; // UTF-8
    QString kind; // "Ek" or "Bg"
    int kontoNum = 0;
};

// The statistics and report window ("Utskrift KontoData och Statistik"): the posts of any account
// of the register over a chosen period, or the statistics of one main transaction, on screen or
// in a text file. It reads the account's files and never writes them; only its place goes to
// PosFil. The main window (its parent) is disabled while it is open and enabled on every way out.
class UtskrStatForm : public QWidget {
    Q_OBJECT
public:
    UtskrStatForm(support::Context& ctx, QWidget* parent, StartAccount account);

    enum class DatePart { StartYear, StartMonth, StartDay, EndYear, EndMonth, EndDay };

    // A choice in the account picker: the account of that item.
    void chooseAccount(int index);
    // A click on a date label opens its picker; a click in the picker sets the part.
    void openDatePicker(DatePart part);
    void takePickedDate(QListWidget* picker, int row);
    void reportBoxClicked(QCheckBox* box);
    void chooseOutput(QRadioButton* option);
    void produceReport();
    void cancelStep();
    void closeWindow();
    // "Spara som kalkylblad…": the checked report, or the statistics of the chosen transaction, as
    // an XLSX or CSV file.
    void saveAsSpreadsheet();
    // Enters statistics mode; a click in the transaction list chooses the transaction.
    void enterStatistics();
    void chooseStatisticsTransaction(int row);
    void scroll(ScrollStep step);
    // The same from the wheel or a key, only when its button is offered.
    void scrollAsButton(ScrollStep step);
    // The diagram of the statistics on screen: "Visa diagram", the next or first page, "Avsluta
    // diagram".
    void showDiagram();
    void nextDiagramPage();
    void endDiagram();
    const std::optional<Diagram>& diagram() const { return diagram_; }

    // "kto", "stk", "sku", "fusk", "prusk" or "" (no account chosen).
    const QString& mode() const { return mode_; }
    bool statisticsMode() const { return statMode_; }
    // The first post (or statistics row) the screen report shows.
    int shownFrom() const { return cursor_; }
    const std::optional<ReportKind>& shownKind() const { return shown_; }
    const std::optional<PeriodSelection>& period() const { return period_; }
    bool expanded() const;

    static constexpr int CollapsedHeight = 3525; // twips
    static constexpr int ExpandedHeight = 8280;
    static constexpr int DesignWidth = 15000;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Opens with the main window's account and the place the window had.
    void Form_Load();
    // Opens the account's files and period; false (with the error told) leaves the window as it was.
    bool openAccount(const QString& name, const QString& kind, int kontoNum, const QString& routine,
                     const QString& situation);
    // The year picker and the period labels for a newly opened account.
    void InitDatum();
    // Fills the account picker from the register.
    void Inläs_Konton();
    // Takes a changed period when it holds posts, else brings back the last accepted one.
    void Datum_Jmf(const PeriodParts& wanted);
    // Computes the statistics of the chosen transaction and sends them to the chosen output.
    void Trans_Stat();
    // Cancels the account: the window as with no account chosen.
    void Avbr_Konto();
    // Leaves statistics mode for the account report.
    void Avbr_Statistik();
    // Closes the report on screen.
    void Avbryt_Skarmutskr();
    // Cancels the text-file choice; the account stays.
    void Avbr_FilUtskr();
    // Cancels the printer choice; the account stays.
    void Avbr_PrUtskr();
    // The checked account report on screen from the period's first post.
    void ScreenPrint();
    // The checked account report to a text file the user names.
    void FilePrint();
    // The statistics of the chosen transaction to a text file the user names.
    void FilPr_7();
    // Fills the grid with the page of the kind from the cursor; a new kind sets up the report area.
    void ScPr(ReportKind kind);
    // Enables the scroll buttons that can move the report.
    void ScrollButtons();
    void makeDiagramArea();
    // "Visa diagram" is offered with screen statistics that have hits; either way a drawing shown is closed.
    void offerDiagram(bool offered);
    // Builds the diagram of the statistics and shows its first page.
    void Diagram_Setup();
    // Draws the next page of the diagram (after the last, the first again).
    void DiagramSkapa();
    void showDiagramPage();
    void closeDiagram();
    // Every page of the diagram to the chosen printer or PDF file.
    void printDiagramPages();
    // Tells where the text file went, then readies the window for the next report.
    void UtskrMedd(const QString& path);
    // After a report saved to a file the window is ready for the next one.
    void returnAfterFile();
    // The outputs (screen, text file, printer, spreadsheet) are offered together.
    void setOutputsEnabled(bool on);
    // Printer output: the account report of the checked kind, or the statistics report.
    void PrPrint();
    // The statistics of the chosen transaction to the printer.
    void PriPr_7();
    // Asks for the printer (a PDF file named after `fileName` when the desktop has none) and
    // prints through `print`; false when the user cancelled the dialog or printing failed.
    bool printReport(const QString& routine, const QString& fileName, const QString& situation,
                     const QString& diagnostic, const std::function<bool(PrintTarget&)>& print);
    // Runs `print` (false: the user stopped it) on the chosen printer; a PDF file takes its name only
    // when it is whole. False when it did not complete; a failure has been told.
    bool printed(QPrinter& printer, const std::function<bool()>& print,
                 const std::function<support::ErrorDescription()>& describe);
    // Tells that the report went to the printer.
    void PrinterMsg();
    // The printer dialog, or without an installed printer a PDF file named after fileName; false
    // when the user cancelled.
    bool choosePrinter(QPrinter& printer, const QString& fileName);
    // Runs body in the error trap, but a problem of the file the user chose that he can put right
    // himself (no such folder, no permission, a full disk) is told plainly, naming the file, and
    // not as a fault of the program. False when body did not run through.
    bool savedOrTold(const std::function<void()>& body,
                     const std::function<support::ErrorDescription()>& describe);
    QString askPath(QString defaultName);

    std::optional<ReportKind> checkedKind() const;
    void showPeriod();
    void hidePickers();
    void hideReport();
    void setExpanded(bool on);
    void setMode(const QString& code, const QString& caption);
    void resetStatisticsEntry(bool usable);
    void clearOptions();
    void untickChecks();
    bool isBudget() const { return kind_ == ledger::Kind::Budget; }
    // "Ek" or "Bg", as the error report names the account's kind.
    QString accountKindCode() const { return isBudget() ? QStringLiteral("Bg") : QStringLiteral("Ek"); }

    support::Context& ctx_;
    StartAccount start_;
    QString name_; // UTF-8
    std::string nameRaw_;
    std::optional<ledger::Kind> kind_;
    int kontoNum_ = 0;
    std::optional<AccountFiles> files_;
    std::optional<PeriodSelection> period_;
    QString mode_;
    bool statMode_ = false;
    int statTrans_ = 0;
    QString statName_;
    QString statSign_;
    Statistics stats_;
    std::optional<ReportKind> shown_;
    PostRange screenRange_;
    int cursor_ = 1;
    DatePart pickTarget_ = DatePart::StartYear;
    bool loaded_ = false;
    bool closing_ = false;

    QLabel* accountLabel_;
    QComboBox* accountPicker_;
    QLineEdit* accountBox_;
    QLabel* periodLabel_;
    QLabel* dateLabels_[6];
    QListWidget* yearPicker_;
    QListWidget* monthPicker_;
    QListWidget* dayPicker_;
    QLabel* coverageLabel_;
    QCheckBox* subTransactionBox_;
    QCheckBox* budgetBox_;
    QCheckBox* differenceBox_;
    QLabel* outputLabel_;
    QRadioButton* screenOption_;
    QRadioButton* textFileOption_;
    QRadioButton* printerOption_;
    QPushButton* printButton_;
    QPushButton* spreadsheetButton_;
    QPushButton* cancelButton_;
    QPushButton* closeButton_;
    QLabel* statisticsLabel_;
    QLineEdit* statisticsBox_;
    QListWidget* transactionList_;
    QLabel* helpLink_;
    QFrame* reportFrame_;
    QTableWidget* reportGrid_;
    QLabel* headings_[10] = {}; // by headingIndex()
    QLabel* reportTitle_;
    QLabel* reportSummary_;
    QPushButton* scrollButtons_[4]; // one post back, a page back, one post on, a page on
    std::optional<Diagram> diagram_;
    QPushButton* showDiagramButton_;
    QPushButton* nextDiagramPageButton_;
    QPushButton* closeDiagramButton_;
    QPushButton* printDiagramButton_;
    QFrame* diagramArea_;
    DiagramWidget* diagramPicture_;
    QLabel* diagramYear_;
    QLabel* diagramTitle_;
};

} // namespace stats
