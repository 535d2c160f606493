#pragma once

#include <QByteArray>
#include <QString>

#include <chrono>

namespace estaciones::http {

// How a request ended. Anything but Ok leaves `body` as far as it arrived.
enum class HttpOutcome {
    Ok,               // a 2xx answer
    HttpStatus,       // the server answered with another status (see `status`)
    InvalidUrl,       // the address could not be used (bad form, unknown scheme)
    HostNotFound,     // the name did not resolve
    ConnectionFailed, // nothing listens there, or the link broke
    Timeout,          // no complete answer within the time allowed
    OtherFailure,
};

struct HttpResponse {
    HttpOutcome outcome = HttpOutcome::OtherFailure;
    long status = 0;     // the HTTP status when an answer arrived, else 0
    QByteArray body;     // the answer's bytes
    QString contentType; // the Content-Type header, "" when absent
    QString errorText;   // the transfer library's explanation when not Ok (English), or,
                         // when the web client cannot be loaded, why (Spanish)

    bool ok() const { return outcome == HttpOutcome::Ok; }
    // The body as text: the charset of Content-Type when it names Latin-1 or
    // UTF-8; otherwise UTF-8 when the bytes are valid UTF-8, else Latin-1.
    QString text() const;
};

// A synchronous GET of `url`. Never throws: every failure is reported in the
// result. `timeout` bounds the whole exchange (connecting included), so a
// service that went silent cannot freeze the window that asked.
HttpResponse httpGet(const QString& url, std::chrono::milliseconds timeout);

} // namespace estaciones::http
