#include "support/ui/HelpViewer.h"

#include "support/ui/WindowPosition.h"

#include <QApplication>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLayout>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QTextBrowser>
#include <QVBoxLayout>

#include <algorithm>
#include <memory>

// Q_INIT_RESOURCE names a function of the global namespace, so it cannot be used inside one.
static void initMonivaResources() {
    Q_INIT_RESOURCE(moniva);
}

namespace support {

namespace {

const QString PagePrefix = QStringLiteral("qrc:/help/");

std::unique_ptr<HelpViewer>& viewerSlot() {
    static std::unique_ptr<HelpViewer> slot;
    return slot;
}

// Runs first thing in the application's destructor, while widgets can still be torn down.
void dropViewer() {
    viewerSlot().reset();
}

} // namespace

const std::vector<HelpTopic>& helpTopics() {
    static const std::vector<HelpTopic> topics{
        {10000, QStringLiteral("Översikt"), QStringLiteral("over_mn")},
        {20000, QStringLiteral("Transaktioner"), QStringLiteral("trans_mn")},
        {30000, QStringLiteral("Subtransaktioner"), QString()},
        {40000, QStringLiteral("Konton"), QStringLiteral("acc_mn")},
        {50000, QStringLiteral("Kommandoknappar"), QStringLiteral("butts_mn")},
        {60000, QStringLiteral("Budgetering"), QStringLiteral("bdg_mn")},
        {70000, QStringLiteral("Statistik & Utskrift"), QStringLiteral("utstat_mn")},
    };
    return topics;
}

bool isHelpTopic(int contextNumber) {
    const auto& topics = helpTopics();
    return std::any_of(topics.begin(), topics.end(),
                       [&](const HelpTopic& t) { return t.contextNumber == contextNumber; });
}

QString helpTopicTitle(int contextNumber) {
    const int shown = isHelpTopic(contextNumber) ? contextNumber : HelpOverview;
    for (const HelpTopic& t : helpTopics())
        if (t.contextNumber == shown)
            return t.title;
    return {};
}

QUrl helpPageUrl(int contextNumber) {
    const int shown = isHelpTopic(contextNumber) ? contextNumber : HelpOverview;
    return QUrl(PagePrefix + QString::number(shown) + QStringLiteral(".html"));
}

int helpTopicOf(const QUrl& url) {
    const QString text = url.adjusted(QUrl::RemoveFragment | QUrl::RemoveQuery).toString();
    if (!text.startsWith(PagePrefix) || !text.endsWith(QStringLiteral(".html")))
        return 0;
    bool ok = false;
    const int number = QFileInfo(text.mid(PagePrefix.size())).completeBaseName().toInt(&ok);
    return ok && isHelpTopic(number) ? number : 0;
}

void registerResources() {
    static const bool registered = [] {
        initMonivaResources();
        return true;
    }();
    (void)registered;
}

HelpViewer::HelpViewer(QWidget* parent)
    : QWidget(parent, Qt::Window), helpBrowser_(new QTextBrowser(this)),
      backButton_(new QPushButton(QStringLiteral("Bakåt"), this)),
      forwardButton_(new QPushButton(QStringLiteral("Framåt"), this)),
      overviewButton_(new QPushButton(QStringLiteral("Översikt"), this)),
      closeButton_(new QPushButton(QStringLiteral("Stäng"), this)) {
    registerResources();
    setObjectName(QStringLiteral("HelpViewer"));
    setWindowTitle(Caption);
    // An open help window must not keep the program running once the main window has closed.
    setAttribute(Qt::WA_QuitOnClose, false);

    helpBrowser_->setObjectName(QStringLiteral("HelpBrowser"));
    backButton_->setObjectName(QStringLiteral("HelpBack"));
    forwardButton_->setObjectName(QStringLiteral("HelpForward"));
    overviewButton_->setObjectName(QStringLiteral("HelpOverview"));
    closeButton_->setObjectName(QStringLiteral("HelpClose"));

    // The pages link only to each other; nothing is ever fetched from outside the program.
    helpBrowser_->setOpenExternalLinks(false);
    helpBrowser_->setOpenLinks(true);
    backButton_->setEnabled(false);
    forwardButton_->setEnabled(false);
    for (QPushButton* b : {backButton_, forwardButton_, overviewButton_, closeButton_})
        b->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(backButton_);
    buttons->addWidget(forwardButton_);
    buttons->addWidget(overviewButton_);
    buttons->addStretch();
    buttons->addWidget(closeButton_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(helpBrowser_, 1);
    resize(760, 620);

    connect(backButton_, &QPushButton::clicked, helpBrowser_, &QTextBrowser::backward);
    connect(forwardButton_, &QPushButton::clicked, helpBrowser_, &QTextBrowser::forward);
    connect(overviewButton_, &QPushButton::clicked, this,
            [this] { helpBrowser_->setSource(helpPageUrl(HelpOverview)); });
    connect(closeButton_, &QPushButton::clicked, this, &QWidget::close);
    connect(helpBrowser_, &QTextBrowser::backwardAvailable, backButton_, &QPushButton::setEnabled);
    connect(helpBrowser_, &QTextBrowser::forwardAvailable, forwardButton_, &QPushButton::setEnabled);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
}

void HelpViewer::showHelpTopic(int contextNumber) {
    const QUrl page = helpPageUrl(contextNumber);
    if (helpBrowser_->source() != page)
        helpBrowser_->setSource(page);
    else
        helpBrowser_->verticalScrollBar()->setValue(0); // the same page again starts from its top

    // Help asked for from a modal window has to be usable on top of it; otherwise the help
    // window stands beside the program's windows without blocking them.
    QWidget* modal = QApplication::activeModalWidget();
    Qt::WindowModality wanted = modal ? Qt::ApplicationModal : Qt::NonModal;
    if (modal == this)
        wanted = windowModality();
    if (wanted != windowModality()) {
        hide();
        setWindowModality(wanted);
    }
    // Over the window that asked for help, and the first time centred on it; after that where the
    // user left it.
    QWidget* asking = modal ? modal : QApplication::activeWindow();
    keepAbove(*this, asking);
    if (!placed_) {
        placed_ = true;
        layout()->activate(); // centred at the size it is shown at
        centreOver(*this, asking);
    }
    show();
    raise();
    activateWindow();
}

int HelpViewer::currentTopic() const {
    return helpTopicOf(helpBrowser_->source());
}

HelpViewer& helpViewer() {
    auto& slot = viewerSlot();
    if (!slot) {
        slot = std::make_unique<HelpViewer>();
        qAddPostRoutine(dropViewer);
    }
    return *slot;
}

void showHelpTopic(int contextNumber) {
    helpViewer().showHelpTopic(contextNumber);
}

} // namespace support
