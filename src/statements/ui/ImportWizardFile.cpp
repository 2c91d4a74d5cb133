#include "statements/ui/ImportWizard.h"

#include "statements/ui/ImportWizardParts.h"
#include "support/ui/Context.h"
#include "support/ui/Trap.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace statements {

using namespace importwizard;

namespace {

const QString FileFilter = QStringLiteral("Kontoutdrag (*.csv *.txt *.xls *.ofx *.qfx *.qif)");

} // namespace

void ImportWizard::buildFilePage() {
    auto* page = new Page;
    filePage_ = page;
    page->setObjectName(QStringLiteral("filePage"));
    page->setTitle(QStringLiteral("Fil"));
    page->setSubTitle(QStringLiteral("Välj den fil med kontoutdraget som banken har gett dig."));
    fileButton_ = new QPushButton(QStringLiteral("&Välj fil…"));
    fileButton_->setObjectName(QStringLiteral("fileButton"));
    fileButton_->setAccessibleName(QStringLiteral("Välj fil"));
    fileName_ = new QLabel;
    fileName_->setObjectName(QStringLiteral("fileName"));
    fileName_->setWordWrap(true);
    fileError_ = new QLabel;
    fileError_->setObjectName(QStringLiteral("fileError"));
    fileError_->setWordWrap(true);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(fileButton_, 0, Qt::AlignLeft);
    layout->addWidget(fileName_);
    layout->addWidget(fileError_);
    layout->addStretch();
    page->complete = [this] { return !bytes_.empty() && fileError_->text().isEmpty(); };
    connect(fileButton_, &QPushButton::clicked, this, &ImportWizard::chooseFile);
    setPage(FilePage, page);
}

void ImportWizard::chooseFile() {
    const QString folder = path_.isEmpty() ? QString() : QFileInfo(path_).absolutePath();
    const QString path = ctx_.dialogs.openFile(this, QStringLiteral("Välj kontoutdrag"), folder, FileFilter);
    if (path.isEmpty())
        return;
    if (readFile(path) && currentId() == FilePage)
        next();
}

bool ImportWizard::readFile(const QString& path) {
    path_ = path;
    bytes_.clear();
    fileName_->setText(QDir::toNativeSeparators(path));
    fileError_->clear();
    QString problem;
    try {
        bytes_ = readStatementFile(path.toStdString());
    } catch (const UnreadableStatement& e) {
        problem = QString::fromStdString(e.what());
    }
    if (problem.isEmpty()) {
        support::trapped(
            ctx_, this,
            [&] {
                profiles_ = readProfiles(ctx_.paths);
                recognition_ = recognise(bytes_, savedMappings(profiles_));
                mapping_ = recognition_.known ? Mapping{} : guessMapping(bytes_);
            },
            [&] {
                return support::describeFailure(QStringLiteral("Import_mn"),
                                                QStringLiteral(" vid läsning av sparade bankformat."));
            });
    }
    if (!problem.isEmpty()) {
        bytes_.clear();
        fileError_->setText(problem);
    }
    static_cast<Page*>(filePage_)->recheck();
    return problem.isEmpty() && !bytes_.empty();
}

} // namespace statements
