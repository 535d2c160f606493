#include "platform/http/HttpGet.h"

#include "platform/os/LazyLibrary.h"

#include <QStringDecoder>

#include <algorithm>

namespace estaciones::http {

namespace {

using Transfer = void (*)(const QString& url, long timeoutMs, HttpResponse& response);

// The transfers live in a module beside the program (curl/CurlTransfer.cpp).
os::LazyLibrary& transferModule() {
    static os::LazyLibrary module(
        os::LazyLibrary::inProgramFolder(QStringLiteral(ESTACIONES_HTTP_MODULE)),
        QStringLiteral("la consulta al servicio web"), {"estaciones_http_get"});
    return module;
}

} // namespace

QString HttpResponse::text() const {
    const QString type = contentType.toLower();
    if (type.contains(QLatin1String("charset=iso-8859-1")) ||
        type.contains(QLatin1String("charset=latin1"))) {
        return QString::fromLatin1(body);
    }
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString decoded = utf8.decode(body);
    if (!utf8.hasError()) {
        return decoded;
    }
    return QString::fromLatin1(body);
}

HttpResponse httpGet(const QString& url, std::chrono::milliseconds timeout) {
    HttpResponse response;
    os::LazyLibrary& module = transferModule();
    if (!module.available()) {
        response.errorText = module.error();
        return response;
    }
    const long limit =
        static_cast<long>(std::max<std::chrono::milliseconds::rep>(1, timeout.count()));
    reinterpret_cast<Transfer>(module.address(0))(url, limit, response);
    return response;
}

} // namespace estaciones::http
