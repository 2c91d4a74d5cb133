// The help window and its pages: every context number opens its own Swedish page, the links between
// the pages lead somewhere, and the program keeps one help window that every caller reuses.
#include "support/ui/HelpViewer.h"
#include "support/ui/QtPlatform.h"

#include "UiHelpers.h"
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSet>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>

#include <gtest/gtest.h>

#include <map>

namespace {

using support::helpTopics;
using support::helpViewer;
using support::HelpViewer;

QString rawPage(int number) {
    support::registerResources();
    QFile file(QStringLiteral(":/help/%1.html").arg(number));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

template <typename F> void forEachFragment(const QTextDocument* doc, F f) {
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            f(it.fragment());
}

QStringList linksOf(const QTextDocument* doc) {
    QStringList links;
    forEachFragment(doc, [&](const QTextFragment& f) {
        if (f.charFormat().isAnchor() && !f.charFormat().anchorHref().isEmpty())
            links << f.charFormat().anchorHref();
    });
    return links;
}

QSet<QString> anchorNamesOf(const QTextDocument* doc) {
    QSet<QString> names;
    forEachFragment(doc, [&](const QTextFragment& f) {
        for (const QString& name : f.charFormat().anchorNames())
            names.insert(name);
    });
    return names;
}

// Clicks the first link to `href` on the page on view, as a person would with the mouse.
bool clickLink(QTextBrowser* browser, const QString& href) {
    QTextDocument* doc = browser->document();
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            if (!f.charFormat().isAnchor() || f.charFormat().anchorHref() != href)
                continue;
            QTextCursor cursor(doc);
            cursor.setPosition(f.position() + f.length() / 2);
            browser->setTextCursor(cursor);
            browser->ensureCursorVisible();
            const QPoint at = browser->cursorRect(cursor).center();
            uitest::click(browser->viewport(), at);
            return true;
        }
    return false;
}

QPushButton* button(const char* name) {
    return helpViewer().findChild<QPushButton*>(QString::fromLatin1(name));
}

TEST(HelpPages, EveryContextNumberShowsItsOwnSwedishPage) {
    HelpViewer& viewer = helpViewer();
    ASSERT_EQ(helpTopics().size(), 7u);
    for (const support::HelpTopic& topic : helpTopics()) {
        SCOPED_TRACE(topic.contextNumber);
        const QString raw = rawPage(topic.contextNumber);
        ASSERT_FALSE(raw.isEmpty());
        // Nothing outside the program is fetched or run.
        for (const char* forbidden : {"http:", "https:", "<script", "<img", "src=", "@import"})
            EXPECT_FALSE(raw.contains(QLatin1String(forbidden), Qt::CaseInsensitive)) << forbidden;

        viewer.showHelpTopic(topic.contextNumber);
        EXPECT_TRUE(viewer.isVisible());
        EXPECT_EQ(viewer.windowTitle(), "Moniva – Hjälp");
        EXPECT_EQ(viewer.currentTopic(), topic.contextNumber);
        const QTextDocument* doc = viewer.browser()->document();
        EXPECT_EQ(doc->metaInformation(QTextDocument::DocumentTitle), topic.title);
        EXPECT_EQ(support::helpTopicTitle(topic.contextNumber), topic.title);
        // The heading under the link bar names the topic too, decoded as UTF-8.
        const QStringList lines = doc->toPlainText().split(QChar(u'\n'));
        EXPECT_TRUE(lines.contains(topic.title));
        EXPECT_GT(doc->toPlainText().size(), 1500);
    }

    viewer.showHelpTopic(10000);
    const QString overview = viewer.browser()->document()->toPlainText();
    for (const char* word : {"Kassabokföring", "Budgetbokföring", "MoniData", "Avbryt", "säkerhetskopi"})
        EXPECT_TRUE(overview.contains(QString::fromUtf8(word))) << word;
    viewer.showHelpTopic(40000);
    const QString accounts = viewer.browser()->document()->toPlainText();
    for (const char* word :
         {"Arkiv → Nytt konto", "Nytt Kontonamn", "Enkel bokföring", "Radera inloggat Konto"})
        EXPECT_TRUE(accounts.contains(QString::fromUtf8(word))) << word;
}

TEST(HelpPages, EveryLinkLeadsToAPageAndPlaceThatExists) {
    HelpViewer& viewer = helpViewer();
    std::map<int, QSet<QString>> anchors;
    std::map<int, QStringList> links;
    for (const support::HelpTopic& topic : helpTopics()) {
        viewer.showHelpTopic(topic.contextNumber);
        anchors[topic.contextNumber] = anchorNamesOf(viewer.browser()->document());
        links[topic.contextNumber] = linksOf(viewer.browser()->document());
    }

    for (const auto& [number, hrefs] : links) {
        SCOPED_TRACE(number);
        const QUrl page = support::helpPageUrl(number);
        QSet<int> reached;
        for (const QString& href : hrefs) {
            SCOPED_TRACE(href.toStdString());
            const QUrl target = page.resolved(QUrl(href));
            const int targetNumber = support::helpTopicOf(target);
            ASSERT_NE(targetNumber, 0);
            reached.insert(targetNumber);
            if (target.hasFragment()) {
                EXPECT_TRUE(anchors[targetNumber].contains(target.fragment()));
            }
        }
        // The link bar reaches every other page.
        for (const support::HelpTopic& topic : helpTopics()) {
            if (topic.contextNumber != number) {
                EXPECT_TRUE(reached.contains(topic.contextNumber)) << topic.contextNumber;
            }
        }
    }
}

TEST(HelpViewer, FollowsLinksAndGoesBackForwardAndHome) {
    HelpViewer& viewer = helpViewer();
    viewer.showHelpTopic(10000);
    QApplication::processEvents();
    QPushButton* back = button("HelpBack");
    QPushButton* forward = button("HelpForward");
    QPushButton* overview = button("HelpOverview");
    ASSERT_TRUE(back && forward && overview);
    EXPECT_EQ(uitest::textsOf(viewer, {"HelpBack", "HelpForward", "HelpOverview"}),
              (QStringList{"Bakåt", "Framåt", "Översikt"}));

    ASSERT_TRUE(clickLink(viewer.browser(), "40000.html#backup"));
    EXPECT_EQ(viewer.currentTopic(), 40000);
    EXPECT_EQ(viewer.browser()->source().fragment(), "backup");
    EXPECT_GT(viewer.browser()->verticalScrollBar()->value(), 0); // placed at the section
    ASSERT_TRUE(back->isEnabled());

    ASSERT_TRUE(clickLink(viewer.browser(), "20000.html#saldo"));
    EXPECT_EQ(viewer.currentTopic(), 20000);

    back->click();
    EXPECT_EQ(viewer.currentTopic(), 40000);
    back->click();
    EXPECT_EQ(viewer.currentTopic(), 10000);
    ASSERT_TRUE(forward->isEnabled());
    forward->click();
    EXPECT_EQ(viewer.currentTopic(), 40000);

    overview->click();
    EXPECT_EQ(viewer.currentTopic(), 10000);
    EXPECT_EQ(viewer.browser()->document()->metaInformation(QTextDocument::DocumentTitle), "Översikt");
}

TEST(HelpViewer, UnknownContextNumberShowsTheOverview) {
    HelpViewer& viewer = helpViewer();
    for (int number : {0, -1, 12345, 80000, 10001}) {
        SCOPED_TRACE(number);
        viewer.showHelpTopic(20000);
        viewer.showHelpTopic(number);
        EXPECT_EQ(viewer.currentTopic(), 10000);
        EXPECT_EQ(support::helpTopicTitle(number), "Översikt");
        EXPECT_FALSE(support::isHelpTopic(number));
    }
}

TEST(HelpViewer, OneWindowServesEveryCaller) {
    HelpViewer* first = &helpViewer();
    support::showHelpTopic(30000);
    first->close();
    EXPECT_FALSE(first->isVisible());

    support::QtPlatform platform{support::Settings{}};
    platform.showHelp(70000);
    EXPECT_EQ(&helpViewer(), first);
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(first->currentTopic(), 70000);

    int helpWindows = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        helpWindows += w->objectName() == "HelpViewer";
    EXPECT_EQ(helpWindows, 1);

    // A handler installed by the program takes the request instead of the window.
    std::vector<int> handled;
    platform.setHelpHandler([&](int n) { handled.push_back(n); });
    platform.showHelp(60000);
    EXPECT_EQ(handled, std::vector<int>{60000});
    EXPECT_EQ(first->currentTopic(), 70000);
    first->close();
}

TEST(HelpViewer, OpensOverTheWindowThatAskedAndReopensWhereItWasLeft) {
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    QWidget main;
    main.setGeometry(area.right() - 400, area.bottom() - 300, 300, 200);
    main.show();
    main.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
    HelpViewer help;
    help.resize(200, 150);
    help.showHelpTopic(10000);
    EXPECT_LE((help.frameGeometry().center() - main.frameGeometry().center()).manhattanLength(), 2);

    const QPoint moved = area.topLeft() + QPoint(40, 30);
    help.move(moved);
    help.close();
    help.showHelpTopic(20000);
    EXPECT_EQ(help.pos(), moved);
}

TEST(HelpViewer, StaysUsableWhenAskedForFromAModalWindow) {
    HelpViewer& viewer = helpViewer();
    viewer.close();
    QDialog modal;
    modal.setModal(true);
    modal.show();
    ASSERT_EQ(QApplication::activeModalWidget(), &modal);

    viewer.showHelpTopic(60000);
    EXPECT_EQ(viewer.windowModality(), Qt::ApplicationModal);
    EXPECT_EQ(QApplication::activeModalWidget(), &viewer); // on top of the modal window, not under it
    viewer.showHelpTopic(20000);                           // asked again while it is the modal one
    EXPECT_EQ(viewer.windowModality(), Qt::ApplicationModal);

    viewer.close();
    modal.close();
    viewer.showHelpTopic(10000);
    EXPECT_EQ(viewer.windowModality(), Qt::NonModal);
    viewer.close();
}

} // namespace
