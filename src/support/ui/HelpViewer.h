#pragma once

#include <QString>
#include <QUrl>
#include <QWidget>

#include <vector>

class QPushButton;
class QTextBrowser;

namespace support {

// One page of the program's help: its context number, its Swedish title (also the <title> of the
// page) and the object name of its entry under the menu "Info/Hjälp (F1)" (empty for a page that
// is reached only from a window of its own or from the links of the other pages).
struct HelpTopic {
    int contextNumber;
    QString title;
    QString menuObjectName;
};

inline constexpr int HelpOverview = 10000;

// Every help page, in the order the pages link to each other.
const std::vector<HelpTopic>& helpTopics();
bool isHelpTopic(int contextNumber);
// The title of the page shown for a context number; an unknown number shows the overview.
QString helpTopicTitle(int contextNumber);
// "qrc:/help/<number>.html"; the overview for an unknown number.
QUrl helpPageUrl(int contextNumber);
// The context number of a help page address, 0 when it is not one of the pages.
int helpTopicOf(const QUrl& url);

// Registers the resource file compiled into the program (the help pages live there). The resources
// sit in a static library, so they are registered explicitly; calling it more than once is harmless.
void registerResources();

// The help window: one page at a time in a browser that follows the links between the pages,
// with "Bakåt", "Framåt" and "Översikt".
class HelpViewer : public QWidget {
    Q_OBJECT
public:
    explicit HelpViewer(QWidget* parent = nullptr);

    // Shows the page of a context number (the overview for an unknown number) and brings the
    // window to the front.
    void showHelpTopic(int contextNumber);
    // The context number of the page on view, 0 before any page was shown.
    int currentTopic() const;

    QTextBrowser* browser() const { return helpBrowser_; }

    inline static const QString Caption = QStringLiteral("Moniva – Hjälp");

private:
    QTextBrowser* helpBrowser_;
    QPushButton* backButton_;
    QPushButton* forwardButton_;
    QPushButton* overviewButton_;
    QPushButton* closeButton_;
    bool placed_ = false;
};

// The program's one help window, made at first use and destroyed with the application.
HelpViewer& helpViewer();
// helpViewer().showHelpTopic(contextNumber).
void showHelpTopic(int contextNumber);

} // namespace support
