#pragma once

#include <QList>
#include <QString>

#include <utility>

namespace estaciones::http {

using QueryItems = QList<std::pair<QString, QString>>;

// base + path + "?" + key=value pairs joined by "&". A "/" is put between base
// and path when neither supplies one. Keys and values are percent-encoded as
// UTF-8 (unreserved characters kept), so a value holding "&", "=", "#",
// blanks or accents reaches the server as it was typed.
QString urlWithQuery(const QString& base, const QString& path, const QueryItems& query);

// One query component percent-encoded as UTF-8.
QString encodeQueryValue(const QString& value);

} // namespace estaciones::http
