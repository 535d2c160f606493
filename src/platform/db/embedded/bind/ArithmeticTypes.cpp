#include "platform/db/embedded/bind/ArithmeticTypes.h"

#include "platform/db/embedded/storage/TypeNames.h"

#include <QRegularExpression>

#include <algorithm>

namespace estaciones::db::sqlite {

namespace {

constexpr int maximumPrecision = 38;
// The scale SQL Server keeps at least when a result's precision is cut to 38.
constexpr int minimumKeptScale = 6;

struct NamedKind {
    const char* name;
    NumericType::Kind kind;
};

constexpr NamedKind namedKinds[] = {
    {"bit", NumericType::Kind::Bit},
    {"tinyint", NumericType::Kind::TinyInt},
    {"smallint", NumericType::Kind::SmallInt},
    {"int", NumericType::Kind::Int},
    {"integer", NumericType::Kind::Int},
    {"bigint", NumericType::Kind::BigInt},
    {"smallmoney", NumericType::Kind::SmallMoney},
    {"money", NumericType::Kind::Money},
    {"decimal", NumericType::Kind::Decimal},
    {"numeric", NumericType::Kind::Decimal},
    {"real", NumericType::Kind::Real},
    {"float", NumericType::Kind::Float},
    {"double", NumericType::Kind::Float},
};

} // namespace

std::optional<NumericType> NumericType::fromDeclaration(const QString& declaration) {
    static const QRegularExpression pattern(
        QStringLiteral("^\\s*([A-Za-z_]+)\\s*(?:\\(\\s*(\\d+)\\s*(?:,\\s*(\\d+)\\s*)?\\))?\\s*$"));
    const QRegularExpressionMatch match = pattern.match(tsql::withoutStoredAffinity(declaration));
    if (!match.hasMatch()) {
        return std::nullopt;
    }
    const QString name = match.captured(1).toLower();
    for (const NamedKind& named : namedKinds) {
        if (name != QLatin1String(named.name)) {
            continue;
        }
        if (named.kind != Kind::Decimal) {
            return NumericType(named.kind);
        }
        const int precision = match.captured(2).isEmpty() ? 18 : match.captured(2).toInt();
        return NumericType(Kind::Decimal, precision, match.captured(3).toInt());
    }
    return std::nullopt;
}

std::optional<NumericType> NumericType::fromLiteral(const QString& literal) {
    if (literal.contains(QLatin1Char('e'), Qt::CaseInsensitive)) {
        return NumericType(Kind::Float);
    }
    const qsizetype point = literal.indexOf(QLatin1Char('.'));
    QString digits = literal;
    digits.remove(QLatin1Char('.'));
    if (digits.isEmpty() ||
        !std::all_of(digits.cbegin(), digits.cend(), [](QChar c) { return c.isDigit(); })) {
        return std::nullopt;
    }
    if (point < 0) {
        bool fits = false;
        const long long value = literal.toLongLong(&fits);
        if (fits && value <= 2147483647LL) {
            // Its digits are its precision when it meets a decimal: 7.0 / 2 is
            // decimal(2,1) / decimal(1,0).
            return NumericType(Kind::Int, static_cast<int>(QString::number(value).size()));
        }
    }
    // Leading zeros of the whole part do not count ("0.5" is decimal(1,1)).
    int scale = point < 0 ? 0 : static_cast<int>(literal.size() - point - 1);
    QString whole = point < 0 ? literal : literal.left(point);
    while (whole.startsWith(QLatin1Char('0'))) {
        whole.remove(0, 1);
    }
    const int precision = std::max(1, static_cast<int>(whole.size()) + scale);
    if (precision > maximumPrecision) {
        return NumericType(Kind::Float);
    }
    return NumericType(Kind::Decimal, precision, scale);
}

NumericType NumericType::asDecimal() const {
    switch (m_kind) {
    case Kind::Bit:
        return {Kind::Decimal, 1, 0};
    case Kind::TinyInt:
        return {Kind::Decimal, 3, 0};
    case Kind::SmallInt:
        return {Kind::Decimal, 5, 0};
    case Kind::Int:
        return {Kind::Decimal, m_precision > 0 ? m_precision : 10, 0};
    case Kind::BigInt:
        return {Kind::Decimal, 19, 0};
    case Kind::SmallMoney:
        return {Kind::Decimal, 10, 4};
    case Kind::Money:
        return {Kind::Decimal, 19, 4};
    default:
        return *this;
    }
}

NumericType NumericType::combine(const NumericType& a, QChar op, const NumericType& b) {
    const Kind kind = std::max(a.m_kind, b.m_kind);
    if (kind != Kind::Decimal) {
        return withSign(NumericType(kind));
    }
    const NumericType x = a.asDecimal();
    const NumericType y = b.asDecimal();
    const int p1 = x.m_precision;
    const int s1 = x.m_scale;
    const int p2 = y.m_precision;
    const int s2 = y.m_scale;
    int precision = 0;
    int scale = 0;
    if (op == QLatin1Char('*')) {
        precision = p1 + p2 + 1;
        scale = s1 + s2;
    } else if (op == QLatin1Char('/')) {
        scale = std::max(minimumKeptScale, s1 + p2 + 1);
        precision = p1 - s1 + s2 + scale;
    } else if (op == QLatin1Char('%')) {
        scale = std::max(s1, s2);
        precision = std::min(p1 - s1, p2 - s2) + scale;
    } else {
        // + and -: beyond 38 digits the whole part keeps its places and the
        // scale takes what is left, with no floor of six.
        const int whole = std::max(p1 - s1, p2 - s2);
        scale = std::max(s1, s2);
        precision = whole + scale + 1;
        if (precision > maximumPrecision) {
            return NumericType(Kind::Decimal, maximumPrecision, maximumPrecision - whole);
        }
    }
    return withinMaximum(precision, scale);
}

NumericType NumericType::withinMaximum(int precision, int scale) {
    if (precision > maximumPrecision) {
        // The whole part is kept; the scale gives way, down to six places.
        const int whole = precision - scale;
        scale = std::max(std::min(scale, minimumKeptScale), maximumPrecision - whole);
        scale = std::min(scale, maximumPrecision);
        precision = maximumPrecision;
    }
    return NumericType(Kind::Decimal, precision, scale);
}

NumericType NumericType::unite(const NumericType& a, const NumericType& b) {
    const Kind kind = std::max(a.m_kind, b.m_kind);
    if (kind != Kind::Decimal) {
        return NumericType(kind);
    }
    const NumericType x = a.asDecimal();
    const NumericType y = b.asDecimal();
    const int scale = std::max(x.m_scale, y.m_scale);
    const int whole = std::max(x.m_precision - x.m_scale, y.m_precision - y.m_scale);
    return withinMaximum(whole + scale, scale);
}

NumericType NumericType::withSign(const NumericType& a) {
    // Bits computed with are counted as ints (true + true is 2, not true).
    return a.m_kind == Kind::Bit ? NumericType(Kind::Int) : a;
}

QString NumericType::declaration() const {
    if (m_kind == Kind::Decimal) {
        return QStringLiteral("decimal(%1,%2)").arg(m_precision).arg(m_scale);
    }
    for (const NamedKind& named : namedKinds) {
        if (named.kind == m_kind) {
            return QString::fromLatin1(named.name);
        }
    }
    return {};
}

} // namespace estaciones::db::sqlite
