#include "support/ui/FtpUpload.h"

#include <curl/curl.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>

namespace support {

namespace {

struct CurlDeleter {
    void operator()(CURL* c) const { curl_easy_cleanup(c); }
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

} // namespace

UploadResult ftpUpload(const FtpTarget& target, const std::filesystem::path& file, long timeoutSeconds) {
    const QString host = bareHost(target.host);
    if (host.isEmpty())
        return {false, NoFtpHostText};

    std::unique_ptr<std::FILE, FileDeleter> in(std::fopen(file.c_str(), "rb"));
    if (!in)
        return {false, QStringLiteral("Rapportfilen kunde inte läsas")};
    std::error_code ec;
    const auto size = std::filesystem::file_size(file, ec);
    if (ec)
        return {false, QString::fromStdString(ec.message())};

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
    curl_easy_setopt(c, CURLOPT_USERNAME, user.c_str());
    curl_easy_setopt(c, CURLOPT_PASSWORD, password.c_str());
    curl_easy_setopt(c, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(c, CURLOPT_READDATA, in.get());
    curl_easy_setopt(c, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(size));
    curl_easy_setopt(c, CURLOPT_FTPPORT, nullptr); // passive mode
    curl_easy_setopt(c, CURLOPT_FTP_USE_EPSV, 1L);
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT, std::min(timeoutSeconds, 20L));
    curl_easy_setopt(c, CURLOPT_TIMEOUT, timeoutSeconds);
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "ftp");

    const CURLcode rc = curl_easy_perform(c);
    if (rc != CURLE_OK) {
        const std::string detail = errorBuffer[0] != '\0' ? errorBuffer : curl_easy_strerror(rc);
        return {false, QString::fromStdString(detail)};
    }
    return {true, {}};
}

} // namespace support
