#include "support/ui/Dialogs.h"

#include "support/ui/InsetBox.h"

#include <QAbstractButton>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QSpacerItem>

namespace support {

namespace {

QMessageBox::Icon qtIcon(Dialogs::Icon icon) {
    switch (icon) {
    case Dialogs::Icon::None:
        return QMessageBox::NoIcon;
    case Dialogs::Icon::Information:
        return QMessageBox::Information;
    case Dialogs::Icon::Question:
        return QMessageBox::Question;
    case Dialogs::Icon::Exclamation:
        return QMessageBox::Warning;
    case Dialogs::Icon::Critical:
        return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

// The program's texts break lines with CR LF or LF; a text widget would show a CR LF as two breaks.
QString shown(const QString& text) {
    QString out = text;
    out.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    out.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return out;
}

// Pixels of a title bar beside its title: the window's icon, three buttons and their margins.
constexpr int TitleBarAllowance = 140;

// The window manager writes the title in a bold font between the window's icon and its three
// buttons; QMessageBox leaves only 50 pixels for them and cut titles such as "Inget konto finns
// upplagt !". A spacer under the box's contents keeps it wide enough for the whole title.
void fitTitle(QMessageBox& box) {
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (!grid)
        return;
    QFont font = box.font();
    font.setBold(true);
    const int width = QFontMetrics(font).horizontalAdvance(box.windowTitle()) + TitleBarAllowance;
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(), 0, 1,
                  grid->columnCount());
}

} // namespace

void QtDialogs::message(QWidget* parent, const QString& title, const QString& text, Icon icon) {
    QMessageBox box(qtIcon(icon), title, shown(text), QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    box.button(QMessageBox::Ok)->setText(QStringLiteral("OK"));
    fitTitle(box);
    box.exec();
}

bool QtDialogs::question(QWidget* parent, const QString& title, const QString& text, Icon icon) {
    QMessageBox box(qtIcon(icon), title, shown(text), QMessageBox::Yes | QMessageBox::No, parent);
    box.setTextFormat(Qt::PlainText);
    box.button(QMessageBox::Yes)->setText(QStringLiteral("Ja"));
    box.button(QMessageBox::No)->setText(QStringLiteral("Nej"));
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::No);
    fitTitle(box);
    return box.exec() == QMessageBox::Yes;
}

Dialogs::Answer QtDialogs::questionOrCancel(QWidget* parent, const QString& title, const QString& text,
                                            Icon icon) {
    QMessageBox box(qtIcon(icon), title, shown(text),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, parent);
    box.setTextFormat(Qt::PlainText);
    box.button(QMessageBox::Yes)->setText(QStringLiteral("Ja"));
    box.button(QMessageBox::No)->setText(QStringLiteral("Nej"));
    box.button(QMessageBox::Cancel)->setText(QStringLiteral("Avbryt"));
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::Cancel);
    fitTitle(box);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return Answer::Cancel;
    }
}

QString QtDialogs::input(QWidget* parent, const QString& prompt, const QString& title,
                         const QString& defaultText) {
    return InmatningsBox(*this, parent, prompt, title, defaultText);
}

int QtDialogs::exec(QDialog& dialog) {
    return dialog.exec();
}

QString QtDialogs::saveFile(QWidget* parent, const QString& title, const QString& defaultPath,
                            const QString& filter, QString* chosenFilter) {
    // Qt's Swedish catalogue does not reach every text of its own file dialog: the labels and the
    // overwrite question are the program's own.
    QFileDialog dialog(parent, title, defaultPath, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setLabelText(QFileDialog::LookIn, QStringLiteral("Leta i:"));
    dialog.setLabelText(QFileDialog::FileName, QStringLiteral("Filnamn:"));
    dialog.setLabelText(QFileDialog::FileType, QStringLiteral("Filtyp:"));
    dialog.setLabelText(QFileDialog::Accept, QStringLiteral("Spara"));
    dialog.setLabelText(QFileDialog::Reject, QStringLiteral("Avbryt"));
    for (;;) {
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return {};
        const QString path = dialog.selectedFiles().constFirst();
        if (chosenFilter)
            *chosenFilter = dialog.selectedNameFilter();
        if (!QFileInfo::exists(path) ||
            question(parent, QStringLiteral("Filen finns redan"),
                     QStringLiteral("Filen\n") + QDir::toNativeSeparators(path) +
                         QStringLiteral("\nfinns redan.\n\nVill du ersätta den ?"),
                     Icon::Question))
            return path;
    }
}

QString QtDialogs::openFile(QWidget* parent, const QString& title, const QString& folder,
                            const QString& filter) {
    QFileDialog dialog(parent, title, folder, filter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setLabelText(QFileDialog::LookIn, QStringLiteral("Leta i:"));
    dialog.setLabelText(QFileDialog::FileName, QStringLiteral("Filnamn:"));
    dialog.setLabelText(QFileDialog::FileType, QStringLiteral("Filtyp:"));
    dialog.setLabelText(QFileDialog::Accept, QStringLiteral("Öppna"));
    dialog.setLabelText(QFileDialog::Reject, QStringLiteral("Avbryt"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

bool QtDialogs::printSetup(QWidget* parent, QPrinter& printer) {
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle(QStringLiteral("Skriv ut"));
    return dialog.exec() == QDialog::Accepted;
}

} // namespace support
