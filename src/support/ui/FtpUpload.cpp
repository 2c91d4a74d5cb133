#include "support/ui/FtpUpload.h"

#include "store/FileIo.h"

#include <QDialog>
#include <QEventLoop>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <curl/curl.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace support {

namespace {

struct CurlDeleter {
    void operator()(CURL* c) const { curl_easy_cleanup(c); }
};
struct MultiDeleter {
    void operator()(CURLM* m) const { curl_multi_cleanup(m); }
};
struct FileDeleter {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

void initialiseOnce() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

QString bareHost(QString host) {
    host = host.trimmed();
    if (host.startsWith(QLatin1String("ftp://"), Qt::CaseInsensitive))
        host.remove(0, 6);
    while (host.endsWith('/'))
        host.chop(1);
    return host;
}

// Runs the transfer in small steps so that a stop is seen within a fifth of a second, whatever
// the server does (a server that never answers leaves the transfer library waiting on its socket).
CURLcode performUnlessStopped(CURL* c, std::stop_token stop, bool& stopped) {
    std::unique_ptr<CURLM, MultiDeleter> multi(curl_multi_init());
    if (!multi || curl_multi_add_handle(multi.get(), c) != CURLM_OK)
        return CURLE_FAILED_INIT;
    CURLcode result = CURLE_OK;
    for (int running = 1; running;) {
        if (curl_multi_perform(multi.get(), &running) != CURLM_OK) {
            result = CURLE_FAILED_INIT;
            break;
        }
        if (!running)
            break;
        if (stop.stop_requested()) {
            stopped = true;
            break;
        }
        curl_multi_poll(multi.get(), nullptr, 0, 200, nullptr);
    }
    int left = 0;
    while (CURLMsg* message = curl_multi_info_read(multi.get(), &left))
        if (message->msg == CURLMSG_DONE)
            result = message->data.result;
    curl_multi_remove_handle(multi.get(), c);
    return result;
}

} // namespace

UploadResult ftpUpload(const FtpTarget& target, const std::filesystem::path& file, long timeoutSeconds,
                       std::stop_token stop) {
    const QString host = bareHost(target.host);
    if (host.isEmpty())
        return {false, NoFtpHostText};

    // The report as it was written: never through a link put in its place, only a regular file.
    store::io::UniqueFd fd;
    if (store::io::openRegular(AT_FDCWD, file.c_str(), false, fd) != 0)
        return {false, QStringLiteral("Rapportfilen kunde inte läsas")};
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0)
        return {false, QStringLiteral("Rapportfilen kunde inte läsas")};
    const auto size = static_cast<std::uintmax_t>(st.st_size);
    // The stream gets a descriptor of its own; fd closes the one it holds.
    const int streamFd = ::dup(fd.get());
    std::unique_ptr<std::FILE, FileDeleter> in(streamFd >= 0 ? ::fdopen(streamFd, "rb") : nullptr);
    if (!in) {
        if (streamFd >= 0)
            ::close(streamFd);
        return {false, QStringLiteral("Rapportfilen kunde inte läsas")};
    }

    initialiseOnce();
    std::unique_ptr<CURL, CurlDeleter> curl(curl_easy_init());
    if (!curl)
        return {false, QStringLiteral("Överföringen kunde inte startas")};

    const std::string name = file.filename().string();
    std::unique_ptr<char, decltype(&curl_free)> escaped(
        curl_easy_escape(curl.get(), name.c_str(), static_cast<int>(name.size())), &curl_free);
    const std::string url = "ftp://" + host.toStdString() + ':' + std::to_string(target.port) + '/' +
                            (escaped ? escaped.get() : name);
    const std::string user = target.user.toStdString();
    const std::string password = target.password.toStdString();

    char errorBuffer[CURL_ERROR_SIZE] = {};
    CURL* c = curl.get();
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, errorBuffer);
    curl_easy_setopt(c, CURLOPT_URL, url.c_str());
    if (!user.empty()) {
        curl_easy_setopt(c, CURLOPT_USERNAME, user.c_str());
        curl_easy_setopt(c, CURLOPT_PASSWORD, password.c_str());
    }
    curl_easy_setopt(c, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_TRY));
    if (!target.caFile.empty())
        curl_easy_setopt(c, CURLOPT_CAINFO, target.caFile.c_str());
    curl_easy_setopt(c, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(c, CURLOPT_READDATA, in.get());
    curl_easy_setopt(c, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(size));
    curl_easy_setopt(c, CURLOPT_FTPPORT, nullptr); // passive mode
    curl_easy_setopt(c, CURLOPT_FTP_USE_EPSV, 1L);
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT, std::min(timeoutSeconds, 20L));
    curl_easy_setopt(c, CURLOPT_TIMEOUT, timeoutSeconds);
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "ftp");

    bool stopped = false;
    const CURLcode rc = performUnlessStopped(c, stop, stopped);
    if (stopped)
        return {false, UploadStoppedText};
    if (rc != CURLE_OK) {
        const std::string detail = errorBuffer[0] != '\0' ? errorBuffer : curl_easy_strerror(rc);
        return {false, QString::fromStdString(detail)};
    }
    return {true, {}};
}

UploadResult ftpUploadShowingProgress(QWidget* parent, const FtpTarget& target,
                                      const std::filesystem::path& file, long timeoutSeconds) {
    QDialog window(parent);
    window.setObjectName(QStringLiteral("UploadProgress"));
    window.setWindowTitle(QStringLiteral("Felrapport"));
    window.setWindowModality(Qt::ApplicationModal);
    auto* label = new QLabel(
        QStringLiteral("Felrapporten skickas till ") + bareHost(target.host) + QStringLiteral(" …"), &window);
    auto* busy = new QProgressBar(&window);
    busy->setRange(0, 0);
    auto* cancelButton = new QPushButton(QStringLiteral("Avbryt"), &window);
    cancelButton->setObjectName(QStringLiteral("cancelButton"));
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(label);
    layout->addWidget(busy);
    layout->addWidget(cancelButton, 0, Qt::AlignRight);
    window.setMinimumWidth(360);

    UploadResult result;
    QEventLoop loop;
    std::jthread worker([&](std::stop_token stop) {
        result = ftpUpload(target, file, timeoutSeconds, stop);
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    // Esc and the window's close button reject it as "Avbryt" does; the transfer ends within a
    // fifth of a second and the caller then tells what became of the report.
    QObject::connect(cancelButton, &QPushButton::clicked, &window, &QDialog::reject);
    QObject::connect(&window, &QDialog::rejected, &window, [&worker] { worker.request_stop(); });
    window.show();
    loop.exec();
    // The loop also ends when the whole program is asked to end: the transfer must not hold it.
    worker.request_stop();
    worker.join();
    return result;
}

} // namespace support
