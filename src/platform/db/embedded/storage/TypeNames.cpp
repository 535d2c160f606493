#include "platform/db/embedded/storage/TypeNames.h"

#include "platform/db/embedded/parse/Pieces.h"
#include "platform/db/embedded/storage/DateText.h"

#include <QRegularExpression>

namespace estaciones::db::tsql {

namespace {

struct AdoMapping {
    const char* name;
    int adoType;
    qint64 size; // 0: from the declared length
    bool text;
};

// ADO DataTypeEnum codes as SQL Server's provider reports them.
const AdoMapping adoMappings[] = {
    {"varchar", 200, 0, true},
    {"nvarchar", 202, 0, true},
    {"char", 129, 0, true},
    {"nchar", 130, 0, true},
    {"text", 201, 2147483647, true},
    {"ntext", 203, 1073741823, true},
    {"sysname", 202, 128, true},
    {"uniqueidentifier", 72, 16, true},
    {"int", 3, 4, false},
    {"integer", 3, 4, false},
    {"bigint", 20, 8, false},
    {"smallint", 2, 2, false},
    {"tinyint", 17, 1, false},
    {"bit", 11, 2, false},
    {"money", 6, 8, false},
    {"smallmoney", 6, 4, false},
    {"decimal", 131, 19, false},
    {"numeric", 131, 19, false},
    {"float", 5, 8, false},
    {"real", 4, 4, false},
    {"datetime", 135, 16, false},
    {"smalldatetime", 135, 16, false},
    {"date", 133, 3, false},
    {"time", 134, 5, false},
    {"datetime2", 135, 16, false},
    {"image", 205, 2147483647, false},
    {"varbinary", 204, 0, false},
    {"binary", 128, 0, false},
    {"timestamp", 128, 8, false},
};

} // namespace

DeclaredType describeDeclaredType(const QString& declared) {
    DeclaredType type;
    if (declared == QLatin1String("INTEGER")) {
        type.typeName = QStringLiteral("int");
        type.adoType = 3;
        type.definedSize = 4;
        type.identity = true;
        return type;
    }
    static const QRegularExpression pattern(
        QStringLiteral(R"(^\s*([A-Za-z_][A-Za-z0-9_]*)\s*(?:\(\s*(\w+)\s*(?:,\s*(\d+)\s*)?\))?)"));
    const auto m = pattern.match(declared);
    type.typeName = m.hasMatch() ? m.captured(1).toLower() : declared.trimmed().toLower();
    for (const AdoMapping& mapping : adoMappings) {
        if (type.typeName != QLatin1String(mapping.name))
            continue;
        type.adoType = mapping.adoType;
        type.definedSize = mapping.size;
        type.isText = mapping.text;
        break;
    }
    type.isDate = dateKindOf(type.typeName).has_value();
    if (m.hasMatch() && !m.captured(2).isEmpty()) {
        bool ok = false;
        const int first = m.captured(2).toInt(&ok);
        const bool isMax = m.captured(2).compare(QLatin1String("max"), Qt::CaseInsensitive) == 0;
        if (type.typeName == QLatin1String("decimal") ||
            type.typeName == QLatin1String("numeric")) {
            type.precision = ok ? first : 18;
            type.scale = m.captured(3).toInt();
        } else if (isMax) {
            type.characterLength = -1;
            type.definedSize = type.typeName.startsWith(QLatin1Char('n')) ? 1073741823 : 2147483647;
        } else if (ok) {
            type.characterLength = first;
            if (type.definedSize == 0)
                type.definedSize = first;
        }
    } else if (type.typeName == QLatin1String("decimal") ||
               type.typeName == QLatin1String("numeric")) {
        type.precision = 18; // decimal without (p, s) is decimal(18, 0)
    } else if (type.isText && type.definedSize == 0) {
        type.characterLength = 1; // char / varchar without a length hold one character
        type.definedSize = 1;
    }
    return type;
}

bool isExactNumberTypeName(const QString& typeName) {
    return typeName == QLatin1String("money") || typeName == QLatin1String("smallmoney") ||
           typeName == QLatin1String("decimal") || typeName == QLatin1String("numeric");
}

QString sqliteDeclaredType(const QString& tsqlType) {
    QString type = tsqlType.simplified().toLower();
    type.replace(QLatin1String(" ("), QLatin1String("("));
    if (dateKindOf(type))
        return type + QStringLiteral(" text");
    if (isExactNumberTypeName(describeDeclaredType(type).typeName))
        return withoutStoredAffinity(type) + QStringLiteral(" blob");
    return type;
}

QString withoutStoredAffinity(const QString& declared) {
    static const QLatin1String affinity(" blob");
    return declared.endsWith(affinity, Qt::CaseInsensitive) ? declared.chopped(affinity.size())
                                                            : declared;
}

QString sqliteColumnType(const QString& declaredType) {
    // SQLite's type names take a number in parentheses only, and nothing after it.
    if (declaredType.contains(QLatin1String("(max)"), Qt::CaseInsensitive) ||
        (declaredType.contains(QLatin1Char('(')) && !declaredType.endsWith(QLatin1Char(')'))))
        return quoteName(declaredType);
    return declaredType;
}

} // namespace estaciones::db::tsql
