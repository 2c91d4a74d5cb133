// The diagram printed to a PDF file: one landscape page per diagram page, each with its title,
// dates, scale and years, read back with poppler-utils.

#include "stats/ui/DiagramWidget.h"

#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QString run(const QString& tool, const QStringList& args) {
    QProcess p;
    p.start(tool, args);
    EXPECT_TRUE(p.waitForFinished(30000)) << tool.toStdString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

TEST(DiagramPrint, EveryPageOfTheDiagramIsAPrintedPage) {
    // 60 rows: pages 1-25, 26-50 and the last 25, 36-60; the last rows lie in the next year.
    std::vector<stats::StatRow> rows;
    for (int i = 1; i <= 60; ++i) {
        const QString date = i <= 50 ? QStringLiteral("2026-12-%1").arg(i % 28 + 1, 2, 10, QLatin1Char('0'))
                                     : QStringLiteral("2027-01-%1").arg(i - 50, 2, 10, QLatin1Char('0'));
        rows.push_back({date.toStdString(), "", "", store::Amount::whole(-10 * i)});
    }
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("diagram.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    EXPECT_EQ(stats::printDiagram(printer, rows, true, QStringLiteral("Transaktion: 'Uttag' i konto: Kassa")),
              3);

    const QString info = run(QStringLiteral("pdfinfo"), {pdf});
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+3\\n")))) << info.toStdString();
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Page size:\\s+842 x 595"))))
        << info.toStdString();
    const QStringList pages =
        run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")})
            .split(QLatin1Char('\f'));
    ASSERT_GE(pages.size(), 3);
    // Scale of the largest amount on each page: 250, 500, 600.
    const char* const scale[3] = {"500", "500", "1000"};
    const char* const years[3] = {"År 2026", "År 2026", "År 2026 - 2027"};
    for (int p = 0; p < 3; ++p) {
        EXPECT_TRUE(pages[p].contains(QStringLiteral("Transaktion: 'Uttag' i konto: Kassa"))) << p;
        EXPECT_TRUE(pages[p].contains(QString::fromLatin1(scale[p]))) << p;
        EXPECT_TRUE(pages[p].contains(QString::fromUtf8(years[p]))) << p << pages[p].toStdString();
        EXPECT_TRUE(pages[p].contains(QStringLiteral("MV"))) << p;
    }
    EXPECT_TRUE(pages[2].contains(QStringLiteral("01-10")));
}

} // namespace
