#pragma once

// The small conversions every function body makes between SQLite's values and
// Qt's, in one place (the loadable extension compiles them too).

#include "platform/db/embedded/storage/DialectSettings.h"

#include <QByteArray>
#include <QString>

#include <sqlite3.h>

#include <memory>

namespace estaciones::db::tsql {

// The session settings a function registration carries as its user data.
using SharedSettings = std::shared_ptr<DialectSettings>;

inline void destroySharedSettings(void* p) {
    delete static_cast<SharedSettings*>(p);
}

inline bool isNullValue(sqlite3_value* v) {
    return sqlite3_value_type(v) == SQLITE_NULL;
}

inline bool isNumberValue(sqlite3_value* v) {
    const int type = sqlite3_value_type(v);
    return type == SQLITE_INTEGER || type == SQLITE_FLOAT;
}

inline QString valueText(sqlite3_value* v) {
    return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_value_text(v)),
                             sqlite3_value_bytes(v));
}

inline void resultText(sqlite3_context* ctx, const QString& value) {
    const QByteArray utf8 = value.toUtf8();
    sqlite3_result_text(ctx, utf8.constData(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
}

// A null QString answers SQL NULL.
inline void resultTextOrNull(sqlite3_context* ctx, const QString& value) {
    if (value.isNull())
        return sqlite3_result_null(ctx);
    resultText(ctx, value);
}

} // namespace estaciones::db::tsql
