#pragma once

#include <QString>
#include <QStringView>

// How a database's name becomes its file's name in the data folder and back.
// Header-only: the SQLite loadable extension (DB_NAME) reads it too.
namespace estaciones::db::sqlite {

namespace file_name_detail {
// A database name may hold any character the server allows in a delimited
// name; the ones that would make its file land outside the folder ('/',
// '\\', a leading '.': "..", hidden files), control characters and '%' itself
// are kept in the file name as %XX.
inline bool keptAsCode(QChar c, qsizetype position) {
    return c == u'/' || c == u'\\' || c == u'%' || c.unicode() < 0x20 || c.unicode() == 0x7f ||
           (position == 0 && c == u'.');
}
} // namespace file_name_detail

inline QString fileBaseNameOf(const QString& database) {
    QString name;
    name.reserve(database.size());
    for (qsizetype i = 0; i < database.size(); ++i) {
        const QChar c = database.at(i);
        if (file_name_detail::keptAsCode(c, i)) {
            name += QStringLiteral("%%1").arg(c.unicode(), 2, 16, QLatin1Char('0')).toUpper();
        } else {
            name += c;
        }
    }
    return name;
}

inline QString databaseNameOf(const QString& fileBaseName) {
    const auto hexDigit = [](QChar c) { return QStringView(u"0123456789ABCDEFabcdef").contains(c); };
    QString name;
    name.reserve(fileBaseName.size());
    for (qsizetype i = 0; i < fileBaseName.size(); ++i) {
        if (fileBaseName.at(i) == u'%' && i + 2 < fileBaseName.size() &&
            hexDigit(fileBaseName.at(i + 1)) && hexDigit(fileBaseName.at(i + 2))) {
            name += QChar(fileBaseName.mid(i + 1, 2).toUShort(nullptr, 16));
            i += 2;
        } else {
            name += fileBaseName.at(i);
        }
    }
    return name;
}
} // namespace estaciones::db::sqlite
