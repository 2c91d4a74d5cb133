// From the click to the redrawn grid, on the real main window offscreen, for an account of 100 000
// posts of each kind: "Lägg in" of a new post dated on the first post's day, "Ta bort" and "Ändra" of
// the first post, and "Nytt datum" of a move of the first post past every other post. Also the
// opening of the account (Form_Load) at 100 000 and 1 000 000 posts, with the memory the open
// window holds.
// Each click is timed from the button's click() until the grid's viewport has painted again; the
// median and the least of the rounds are printed. A timed harness: it reports, it never fails.
//
//   QT_QPA_PLATFORM=offscreen ./bench/LedgerClickBench [rounds]

#include "TestContext.h"
#include "UiHelpers.h"
#include "app/DateSelector.h"
#include "app/HeadForm.h"
#include "fixtures/AccountFiles.h"
#include "ledger/ui/BudgetFrame.h"
#include "ledger/ui/CashFrame.h"
#include "support/ui/SafeApplication.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

using namespace fixtures;
using uitest::control;

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point t) {
    return std::chrono::duration<double, std::milli>(Clock::now() - t).count();
}

// The memory the process holds now.
long residentMegabytes() {
    long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return resident * ::sysconf(_SC_PAGESIZE) / (1024 * 1024);
}

void report(const char* what, std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    std::printf("%-34s median %7.1f ms   least %7.1f ms   (%zu rounds)\n", what, ms[ms.size() / 2],
                ms.front(), ms.size());
}

// Amounts that keep every balance of a million posts well inside the amount limit.
long long cashAmount(int i) {
    return i % 2 ? -30 : 100;
}

std::string budgetAccount(int n) {
    std::string out;
    long long budgetBalance = 0, actualBalance = 0;
    for (int i = 1; i <= n; ++i) {
        const long long budgeted = i % 2 ? -95 : 100, actual = i % 2 ? -90 : 90;
        budgetBalance += budgeted;
        actualBalance += actual;
        out += budgetPost(nthDate(i), i % 2 ? 3 : 2, budgeted, actual, budgetBalance, actualBalance, false);
    }
    return out;
}

// One account of n posts in a fresh drive folder, opened in the main window.
struct Window {
    uitest::TestContext t;
    std::unique_ptr<app::HeadForm> form;
    bool budget;
    int n;
    double openMs = 0;

    Window(bool isBudget, int posts) : budget(isBudget), n(posts) {
        const char* name = budget ? "Budget" : "Kassa";
        writeFile(t.ctx.paths.dataRoot() / "KontoFil", kontoRec(name, "1", budget ? "Bg" : "Ek"));
        writeFile(t.ctx.paths.dataRoot() / "KontoIni", "1\r\nAnna\r\n");
        writeAccount(t.ctx.paths.dataRoot(), name, budget ? budgetAccount(n) : cashPosts(n, cashAmount));
        if (budget)
            writeFile(t.ctx.paths.dataRoot() / name / "B-mall", "");
        ::sync(); // the files just written are on disk: no write-back of them is timed with the opening
        const auto start = Clock::now();
        form = std::make_unique<app::HeadForm>(t.ctx);
        form->Form_Load();
        QCoreApplication::processEvents();
        openMs = msSince(start);
    }
    QTableWidget* grid() { return control<QTableWidget>(*form, budget ? "budgetGrid" : "cashGrid"); }
    QPushButton* actionButton() { return control<QPushButton>(*form, "actionButton"); }
    QLineEdit* amountBox() {
        return budget ? form->budgetFrame()->actualAmountBox() : form->cashFrame()->amountBox();
    }
    // The first post in the grid's top row.
    void showFirst() { form->dateSelector()->datumset(QString::fromStdString(nthDate(1))); }
    void type(QLineEdit* box, const QString& text) {
        box->selectAll();
        uitest::typeText(box, text);
        uitest::pressEnter(box);
    }
    // The click, then every pending event and the grid's paint.
    double timedClick() {
        const auto start = Clock::now();
        actionButton()->click();
        QCoreApplication::processEvents();
        grid()->viewport()->repaint();
        return msSince(start);
    }
};

void clicks(bool budget, int n, int rounds) {
    Window w(budget, n);
    const std::string kind = budget ? "budget" : "cash book";
    std::printf("%s, %d posts: opened in %.1f ms\n", kind.c_str(), n, w.openMs);
    std::vector<double> insert, remove, change, move;
    for (int r = 0; r < rounds; ++r) {
        w.showFirst();
        QComboBox* list = budget ? w.form->budgetFrame()->transCombo() : w.form->cashFrame()->transCombo();
        list->setCurrentIndex(list->findText("Uttag"));
        budget ? w.form->budgetFrame()->TransCombo_Budget_Click()
               : w.form->cashFrame()->TransCombo_Enkel_Click();
        w.type(w.amountBox(), "12,5");
        insert.push_back(w.timedClick());

        w.showFirst();
        w.grid()->cellClicked(0, 1);
        w.t.dialogs.answerYes();
        remove.push_back(w.timedClick());

        w.showFirst();
        w.grid()->cellClicked(0, 0);
        w.type(w.amountBox(), r % 2 ? "150" : "175,25");
        w.t.dialogs.answerYes();
        change.push_back(w.timedClick());

        w.showFirst();
        w.actionButton()->click(); // "Flytta"
        w.grid()->cellClicked(0, 0);
        w.t.dialogs.answerYes();
        w.grid()->cellClicked(0, 0);
        w.form->dateSelector()->datumset(QString::fromStdString(nthDate(n)));
        move.push_back(w.timedClick());
    }
    report(("  " + kind + " \"Lägg in\"").c_str(), insert);
    report(("  " + kind + " \"Ta bort\"").c_str(), remove);
    report(("  " + kind + " \"Ändra\"").c_str(), change);
    report(("  " + kind + " \"Flytta\" -> \"Nytt datum\"").c_str(), move);
    if (w.t.dialogs.calls().size() != static_cast<std::size_t>(3 * rounds) || w.form->postCount() != n)
        std::printf("  (the window did not go as planned: %zu questions, %d posts)\n",
                    w.t.dialogs.calls().size(), w.form->postCount());
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    support::SafeApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 9;
    clicks(false, 100'000, rounds);
    clicks(true, 100'000, rounds);
    for (const bool budget : {false, true}) {
        const long before = residentMegabytes();
        Window w(budget, 1'000'000);
        std::printf("%s, 1 000 000 posts (%.1f MB file): opened in %.1f ms, the open window holds %ld MB\n",
                    budget ? "budget" : "cash book", 1'000'000.0 * (budget ? 77 : 43) / 1e6, w.openMs,
                    residentMegabytes() - before);
    }
    return 0;
}
