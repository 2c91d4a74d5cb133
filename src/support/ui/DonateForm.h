#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QNetworkAccessManager;
class QNetworkReply;
class QPushButton;
class QTextBrowser;

namespace support {
class Context;
}

namespace support {

// The donation window: the maker's donation page in a browser area and a thank-you text. With
// no web server configured no request is made and the browser area says so.
class DonateForm : public QDialog {
    Q_OBJECT
public:
    DonateForm(support::Context& ctx, QWidget* parent = nullptr);

    // "Avbryt": stores the position, enables the main window and closes.
    void cancel();
    void done(int result) override;

    // The address of the page; empty when no web server is configured.
    QString pageAddress() const;

    static QString thankYouText(const QString& bankAccountLine);
    inline static const QString PagePath = QStringLiteral("MoniDon_5.php");
    inline static const QString NoPageText = QStringLiteral(
        "Ingen adress till donationssidan är inställd i programmet, så sidan kan inte visas här.");
    static QString pageFailedText(const QString& reason);

signals:
    // The page request ended (loaded or failed); tests wait for it.
    void pageFinished();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void pageArrived(QNetworkReply* reply);

    support::Context& ctx_;
    QTextBrowser* pageView_;
    QLabel* introLabel_;
    QPushButton* cancelButton_;
    QNetworkAccessManager* network_ = nullptr;
    bool placed_ = false;
    bool closing_ = false;
};

} // namespace support
