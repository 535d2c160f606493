// The web client's transfers through libcurl, built as a module the program
// opens on its first request (platform/http/HttpGet.cpp): libcurl and its
// TLS, Kerberos and LDAP libraries are then not loaded at start-up.
#include "platform/http/HttpGet.h"

#include <curl/curl.h>

#include <memory>
#include <mutex>

namespace estaciones::http {

namespace {

// libcurl wants its global set-up once per process, before any handle.
void initialiseOnce() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct EasyDeleter {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
using EasyHandle = std::unique_ptr<CURL, EasyDeleter>;

size_t appendBody(char* data, size_t size, size_t count, void* target) {
    static_cast<QByteArray*>(target)->append(data, static_cast<qsizetype>(size * count));
    return size * count;
}

HttpOutcome outcomeOf(CURLcode code) {
    switch (code) {
    case CURLE_OK:
        return HttpOutcome::Ok;
    case CURLE_URL_MALFORMAT:
    case CURLE_UNSUPPORTED_PROTOCOL:
        return HttpOutcome::InvalidUrl;
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
        return HttpOutcome::HostNotFound;
    case CURLE_COULDNT_CONNECT:
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
    case CURLE_GOT_NOTHING:
    case CURLE_PARTIAL_FILE:
        return HttpOutcome::ConnectionFailed;
    case CURLE_OPERATION_TIMEDOUT:
        return HttpOutcome::Timeout;
    default:
        return HttpOutcome::OtherFailure;
    }
}

} // namespace

// The module's one entry point (exported.map), called by httpGet.
extern "C" __attribute__((visibility("default"))) void
estaciones_http_get(const QString& url, long limit, HttpResponse& response) {
    initialiseOnce();
    EasyHandle handle(curl_easy_init());
    if (!handle) {
        response.errorText = QStringLiteral("The HTTP client could not be created");
        return;
    }
    const QByteArray address = url.toUtf8();
    char errorBuffer[CURL_ERROR_SIZE] = {};
    CURL* h = handle.get();
    curl_easy_setopt(h, CURLOPT_URL, address.constData());
    curl_easy_setopt(h, CURLOPT_ERRORBUFFER, errorBuffer);
    // Only web addresses: a configured "file://" or other scheme must not
    // turn the client into a file reader.
    curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(h, CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, limit);
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, limit);
    // Time-outs through signals would disturb the program's other threads.
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &appendBody);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, &response.body);

    const CURLcode code = curl_easy_perform(h);
    curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &response.status);
    char* type = nullptr;
    if (curl_easy_getinfo(h, CURLINFO_CONTENT_TYPE, &type) == CURLE_OK && type) {
        response.contentType = QString::fromLatin1(type);
    }
    response.outcome = outcomeOf(code);
    if (code != CURLE_OK) {
        response.errorText =
            QString::fromLocal8Bit(errorBuffer[0] ? errorBuffer : curl_easy_strerror(code));
    } else if (response.status < 200 || response.status >= 300) {
        response.outcome = HttpOutcome::HttpStatus;
        response.errorText = QStringLiteral("HTTP status %1").arg(response.status);
    }
}

} // namespace estaciones::http
