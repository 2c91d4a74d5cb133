#pragma once

#include <QString>

class QDialog;
class QPrinter;
class QWidget;

namespace support {

// Every message box, question, input box and modal window of the program goes through here, so
// that tests can answer from a script and assert the exact words.
class Dialogs {
public:
    enum class Icon { None, Information, Question, Exclamation, Critical };
    enum class Answer { Yes, No, Cancel };

    virtual ~Dialogs() = default;

    // An information or warning box with an "OK" button.
    virtual void message(QWidget* parent, const QString& title, const QString& text,
                         Icon icon = Icon::Information) = 0;
    // A Yes/No box ("Ja"/"Nej"); true on Yes.
    virtual bool question(QWidget* parent, const QString& title, const QString& text,
                          Icon icon = Icon::Question) = 0;
    // A Yes/No/Cancel box ("Ja"/"Nej"/"Avbryt"); Esc and closing the box answer Cancel.
    virtual Answer questionOrCancel(QWidget* parent, const QString& title, const QString& text,
                                    Icon icon = Icon::Question) = 0;
    // The program's own input box (InsetBox): the typed text, "" on cancel.
    virtual QString input(QWidget* parent, const QString& prompt, const QString& title,
                          const QString& defaultText) = 0;
    // Shows a window modally and returns its result code (QDialog::exec in the program; a test
    // drives the window from its script instead).
    virtual int exec(QDialog& dialog) = 0;
    // The platform's save dialog: the chosen path, "" when cancelled. defaultPath names the folder
    // and file offered; filter is a Qt name filter ("Textfiler (*.txt)"), or several separated by
    // ";;", of which the one the user chose goes to *chosenFilter when asked for.
    virtual QString saveFile(QWidget* parent, const QString& title, const QString& defaultPath,
                             const QString& filter, QString* chosenFilter = nullptr) = 0;
    // The platform's open dialog: the chosen existing file, "" when cancelled. folder is where it
    // starts; filter is a Qt name filter ("Kontoutdrag (*.csv *.txt)").
    virtual QString openFile(QWidget* parent, const QString& title, const QString& folder,
                             const QString& filter) = 0;
    // The platform's printer-setup dialog for this printer: false when cancelled (nothing may be
    // printed then).
    virtual bool printSetup(QWidget* parent, QPrinter& printer) = 0;
};

// The real boxes, with Swedish buttons.
class QtDialogs : public Dialogs {
public:
    void message(QWidget* parent, const QString& title, const QString& text, Icon icon) override;
    bool question(QWidget* parent, const QString& title, const QString& text, Icon icon) override;
    Answer questionOrCancel(QWidget* parent, const QString& title, const QString& text, Icon icon) override;
    QString input(QWidget* parent, const QString& prompt, const QString& title,
                  const QString& defaultText) override;
    int exec(QDialog& dialog) override;
    QString saveFile(QWidget* parent, const QString& title, const QString& defaultPath, const QString& filter,
                     QString* chosenFilter = nullptr) override;
    QString openFile(QWidget* parent, const QString& title, const QString& folder,
                     const QString& filter) override;
    bool printSetup(QWidget* parent, QPrinter& printer) override;
};

} // namespace support
