#include "platform/http/HttpUrl.h"

#include <QUrl>

namespace estaciones::http {

QString encodeQueryValue(const QString& value) {
    return QString::fromLatin1(QUrl::toPercentEncoding(value));
}

QString urlWithQuery(const QString& base, const QString& path, const QueryItems& query) {
    QString url = base.trimmed();
    if (!url.isEmpty() && !path.isEmpty() && !url.endsWith(u'/') && !path.startsWith(u'/')) {
        url += u'/';
    } else if (url.endsWith(u'/') && path.startsWith(u'/')) {
        url.chop(1);
    }
    url += path;
    QChar separator = u'?';
    for (const auto& [key, value] : query) {
        url += separator + encodeQueryValue(key) + u'=' + encodeQueryValue(value);
        separator = u'&';
    }
    return url;
}

} // namespace estaciones::http
