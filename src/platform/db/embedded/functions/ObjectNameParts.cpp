#include "platform/db/embedded/functions/ObjectNameParts.h"

#include <QStringList>

namespace estaciones::db::tsql {

namespace {

// The parts of a multi-part name from the first; none when it is no name.
std::optional<QStringList> nameParts(const QString& name) {
    QStringList parts{QString()};
    for (qsizetype i = 0; i < name.size(); ++i) {
        const QChar c = name[i];
        if (c == QLatin1Char('.')) {
            parts << QString();
        } else if (c == QLatin1Char('[') || c == QLatin1Char('"')) {
            const QChar close = c == QLatin1Char('[') ? QLatin1Char(']') : QLatin1Char('"');
            // A quoted part is the whole part; the closing mark written twice is one.
            if (!parts.back().isEmpty())
                return std::nullopt;
            QString quoted;
            for (++i;; ++i) {
                if (i >= name.size())
                    return std::nullopt;
                if (name[i] == close) {
                    if (i + 1 < name.size() && name[i + 1] == close) {
                        quoted += close;
                        ++i;
                        continue;
                    }
                    break;
                }
                quoted += name[i];
            }
            if (i + 1 < name.size() && name[i + 1] != QLatin1Char('.'))
                return std::nullopt;
            parts.back() = quoted;
        } else {
            parts.back() += c;
        }
    }
    if (parts.size() > 4)
        return std::nullopt;
    return parts;
}

SqlValue parseNameFunction(const Call& c) {
    if (c.anyNull())
        return {};
    const qint64 part = c.integer(1);
    const auto parts = nameParts(c.arg(0).toText());
    if (!parts || part < 1 || part > parts->size())
        return {};
    const QString& found = (*parts)[parts->size() - part];
    return found.isEmpty() ? SqlValue{} : SqlValue::of(found);
}

const FunctionSpec objectNameSpecs[] = {
    {"parsename", 2, parseNameFunction, true},
};

} // namespace

std::span<const FunctionSpec> objectNameFunctions() {
    return objectNameSpecs;
}

QString catalogObjectName(const QString& name) {
    const std::optional<QStringList> parts = nameParts(name.trimmed());
    if (!parts)
        return {};
    if (parts->size() >= 2) {
        const QString& schema = (*parts)[parts->size() - 2];
        const bool kept = schema.isEmpty() ||
                          schema.compare(QLatin1String("dbo"), Qt::CaseInsensitive) == 0 ||
                          schema.compare(QLatin1String("sys"), Qt::CaseInsensitive) == 0 ||
                          schema.compare(QLatin1String("INFORMATION_SCHEMA"),
                                         Qt::CaseInsensitive) == 0;
        if (!kept)
            return schema + QLatin1Char('.') + parts->back(); // as the file names it
    }
    return parts->back();
}

} // namespace estaciones::db::tsql
