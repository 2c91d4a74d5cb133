#pragma once

#include <QDialog>
#include <QString>

#include <filesystem>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace support {
class Context;
}

namespace support {

// The error report form: the user describes the failure, Skicka writes the report file in the
// start-up folder and uploads it. A sent report is deleted locally; one that could not be sent
// stays where it was written, and the user is told so.
class RappForm : public QDialog {
    Q_OBJECT
public:
    RappForm(support::Context& ctx, QWidget* parent = nullptr);

    // "Skicka".
    void send();
    // "Avbryt".
    void cancel();

    static QString instructionText();
    static QString sentText();
    static inline const QString SentTitle = QStringLiteral("Skickad felrapport");
    static inline const QString NotSentTitle = QStringLiteral("Felrapport ej skickad");
    // Why the report could not be sent, and where its file is kept (empty path: none was written).
    static QString notSentText(const QString& reason, const std::filesystem::path& keptFile);

private:
    support::Context& ctx_;
    QLabel* introLabel_;
    QPlainTextEdit* reportBox_;
    QPushButton* sendButton_;
    QPushButton* cancelButton_;
};

} // namespace support
