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

    // A choice in Combo1: the account of that item.
    void Combo1_Click(int index);
    // A click on a date label opens its picker; a click in the picker sets the part.
    void dateLabel_Click(DatePart part);
    void picker_Click(QListWidget* picker, int row);
    void Check_Click(QCheckBox* box);
    void Option_Click(QRadioButton* option);
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    // "Spara som kalkylblad…": the checked report, or the statistics of the chosen transaction, as
    // an XLSX or CSV file.
    void saveAsSpreadsheet();
    // Enters statistics mode; a click in List4 chooses the transaction.
    void Text2_Click();
    void List4_Click(int row);
    void scroll(ScrollStep step);
    // The same from the wheel or a key, only when its button is offered.
    void scrollAsButton(ScrollStep step);
    // The diagram of the statistics on screen: "Visa diagram", the next or first page, "Avsluta
    // diagram".
    void Command8_Click();
    void Command9_Click();
    void Command10_Click();
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
    void Form_Load();
    // Opens the account's files and period; false (with the error told) leaves the window as it was.
    bool openAccount(const QString& name, const QString& kind, int kontoNum, const QString& routine,
                     const QString& situation);
    void InitDatum();
    void Inläs_Konton();
    void Datum_Jmf(const PeriodParts& wanted);
    void Trans_Stat();
    void Avbr_Konto();
    void Avbr_Statistik();
    void Avbryt_Skarmutskr();
    void Avbr_FilUtskr();
    void Avbr_PrUtskr();
    void ScreenPrint();
    void FilePrint();
    void FilPr_7();
    // Fills the grid with the page of the kind from the cursor; a new kind sets up the report area.
    void ScPr(ReportKind kind);
    void ScrollButtons();
    void makeDiagramArea();
    // Command8 is offered with screen statistics that have hits; either way a drawing shown is closed.
    void offerDiagram(bool offered);
    void Diagram_Setup();
    void DiagramSkapa();
    void showDiagramPage();
    void closeDiagram();
    // Every page of the diagram to the chosen printer or PDF file.
    void printDiagramPages();
    void UtskrMedd(const QString& path);
    // After a report saved to a file the window is ready for the next one.
    void returnAfterFile();
    // The outputs (screen, text file, printer, spreadsheet) are offered together.
    void setOutputsEnabled(bool on);
    // Printer output: the account report of the checked kind, or the statistics report.
    void PrPrint();
    void PriPr_7();
    // Asks for the printer (a PDF file named after `fileName` when the desktop has none) and
    // prints through `print`; false when the user cancelled the dialog or printing failed.
    bool printReport(const QString& routine, const QString& fileName, const QString& situation,
                     const QString& diagnostic, const std::function<bool(PrintTarget&)>& print);
    // Runs `print` (false: the user stopped it) on the chosen printer; a PDF file takes its name only
    // when it is whole. False when it did not complete; a failure has been told.
    bool printed(QPrinter& printer, const std::function<bool()>& print,
                 const std::function<support::ErrorDescription()>& describe);
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

    QLabel* label1_;
    QComboBox* combo1_;
    QLineEdit* text1_;
    QLabel* label5_;
    QLabel* dateLabels_[6];
    QListWidget* list1_;
    QListWidget* list2_;
    QListWidget* list3_;
    QLabel* label14_;
    QCheckBox* check1_;
    QCheckBox* check2_;
    QCheckBox* check3_;
    QLabel* label13_;
    QRadioButton* option1_;
    QRadioButton* option2_;
    QRadioButton* option3_;
    QPushButton* command1_;
    QPushButton* spreadsheetButton_;
    QPushButton* command2_;
    QPushButton* command3_;
    QLabel* label2_;
    QLineEdit* text2_;
    QListWidget* list4_;
    QLabel* label28_;
    QFrame* frame1_;
    QTableWidget* grid1_;
    QLabel* headings_[11] = {}; // Label15 .. Label25 (Label23 is none)
    QLabel* label26_;
    QLabel* label27_;
    QPushButton* scrollButtons_[4]; // Command4 .. Command7
    std::optional<Diagram> diagram_;
    QPushButton* command8_;
    QPushButton* command9_;
    QPushButton* command10_;
    QPushButton* printDiagram_;
    QFrame* diagramArea_;
    DiagramWidget* picture1_;
    QLabel* l6_;
    QLabel* l7_;
};

} // namespace stats
