#include "platform/db/ConnectionString.h"

#include <QStringList>

namespace estaciones::db {

namespace {
QString normalizedKeyword(const QString& keyword) {
    return keyword.simplified().toLower();
}

bool isPasswordKeyword(const QString& keyword) {
    const QString k = normalizedKeyword(keyword);
    return k == QLatin1String("pwd") || k == QLatin1String("password") ||
           k.endsWith(QLatin1String("database password"));
}

// Splits on ";" outside braces.
QStringList splitPieces(const QString& text) {
    QStringList pieces;
    QString piece;
    int depth = 0;
    for (const QChar c : text) {
        if (c == QLatin1Char('{')) {
            ++depth;
        } else if (c == QLatin1Char('}') && depth > 0) {
            --depth;
        }
        if (c == QLatin1Char(';') && depth == 0) {
            pieces << piece;
            piece.clear();
        } else {
            piece += c;
        }
    }
    pieces << piece;
    return pieces;
}
} // namespace

ConnectionString::ConnectionString(const QString& text) {
    for (const QString& piece : splitPieces(text)) {
        const qsizetype eq = piece.indexOf(QLatin1Char('='));
        if (eq < 0) {
            if (!piece.trimmed().isEmpty()) {
                m_pairs.emplace_back(piece.trimmed(), QString());
            }
            continue;
        }
        QString value = piece.mid(eq + 1).trimmed();
        if (value.startsWith(QLatin1Char('{')) && value.endsWith(QLatin1Char('}'))) {
            value = value.mid(1, value.size() - 2);
        }
        m_pairs.emplace_back(piece.left(eq).trimmed(), value);
    }
}

std::optional<QString> ConnectionString::value(const QString& keyword) const {
    const QString wanted = normalizedKeyword(keyword);
    for (const auto& [k, v] : m_pairs) {
        if (normalizedKeyword(k) == wanted) {
            return v;
        }
    }
    return std::nullopt;
}

QString ConnectionString::value(const QString& keyword, const QString& fallback) const {
    return value(keyword).value_or(fallback);
}

std::optional<QString>
ConnectionString::firstOf(std::initializer_list<const char*> keywords) const {
    for (const char* keyword : keywords) {
        if (auto v = value(QString::fromLatin1(keyword))) {
            return v;
        }
    }
    return std::nullopt;
}

QString ConnectionString::masked(const QString& text) {
    QStringList pieces = splitPieces(text);
    for (QString& piece : pieces) {
        const qsizetype eq = piece.indexOf(QLatin1Char('='));
        if (eq > 0 && isPasswordKeyword(piece.left(eq)) && !piece.mid(eq + 1).trimmed().isEmpty()) {
            piece = piece.left(eq + 1) + QStringLiteral("****");
        }
    }
    return pieces.join(QLatin1Char(';'));
}

} // namespace estaciones::db
