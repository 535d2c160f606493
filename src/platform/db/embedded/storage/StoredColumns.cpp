#include "platform/db/embedded/storage/StoredColumns.h"

#include "platform/db/embedded/parse/Pieces.h"
#include "platform/db/embedded/storage/StoredDate.h"
#include "platform/db/embedded/storage/TypeNames.h"

namespace estaciones::db::tsql {

namespace {

QString triggerName(const QString& table, const QString& column, const char* event) {
    return quoteName(storeTriggerName(table, column, event));
}

QString quotedText(const QString& text) {
    return QLatin1Char('\'') + QString(text).replace(QLatin1Char('\''), QLatin1String("''")) +
           QLatin1Char('\'');
}

} // namespace

QString storeTriggerName(const QString& table, const QString& column, const char* event) {
    return QStringLiteral("tsql_store_%1_%2_%3").arg(table, column, QLatin1String(event));
}

std::optional<QString> storedFormExpression(const QString& tsqlType, const QString& value) {
    const DeclaredType type = describeDeclaredType(tsqlType);
    if (type.isDate) {
        QString kind = type.typeName;
        if (kind == QLatin1String("datetime2") || kind == QLatin1String("time") ||
            kind == QLatin1String("datetimeoffset"))
            kind += QStringLiteral("(%1)").arg(type.characterLength.value_or(defaultFractionDigits));
        return QStringLiteral("tsql_store_date(%1, %2)").arg(value, quotedText(kind));
    }
    if (type.typeName == QLatin1String("money") || type.typeName == QLatin1String("smallmoney"))
        return QStringLiteral("tsql_store_number(%1, %2)").arg(quotedText(type.typeName), value);
    if (type.typeName == QLatin1String("decimal") || type.typeName == QLatin1String("numeric"))
        return QStringLiteral("tsql_store_number(%1, %2)")
            .arg(quotedText(QStringLiteral("decimal(%1,%2)").arg(type.precision).arg(type.scale)),
                 value);
    // A real keeps four bytes: the double of its single precision value.
    if (type.typeName == QLatin1String("real"))
        return QStringLiteral("tsql_convert('real', %1)").arg(value);
    // char(n) and nchar(n) keep n characters, blanks filling the rest.
    if ((type.typeName == QLatin1String("char") || type.typeName == QLatin1String("nchar")) &&
        type.characterLength.value_or(1) > 0)
        return QStringLiteral("tsql_convert(%1, %2)")
            .arg(quotedText(QStringLiteral("%1(%2)").arg(type.typeName).arg(
                     type.characterLength.value_or(1))),
                 value);
    // binary(n) fills with zeros; both refuse what is longer (8152) and text (257).
    if (type.typeName == QLatin1String("binary") || type.typeName == QLatin1String("varbinary")) {
        const QString length = type.characterLength
                                   ? (*type.characterLength < 0
                                          ? QStringLiteral("max")
                                          : QString::number(*type.characterLength))
                                   : QStringLiteral("1");
        return QStringLiteral("tsql_store_binary(%1, %2)")
            .arg(value, quotedText(type.typeName + QLatin1Char('(') + length + QLatin1Char(')')));
    }
    return std::nullopt;
}

QStringList storeTriggers(const QString& table, const QString& column, const QString& tsqlType) {
    const QString c = quoteName(column);
    const auto stored = storedFormExpression(tsqlType, QStringLiteral("NEW.") + c);
    if (!stored)
        return {};
    const QString t = quoteName(table);
    const QString create = table.startsWith(QLatin1Char('#')) ? QStringLiteral("CREATE TEMP TRIGGER ")
                                                              : QStringLiteral("CREATE TRIGGER ");
    // Rewritten only when it differs, so values already in stored form cost no update.
    const QString body =
        QStringLiteral("WHEN NEW.%1 IS NOT %2 COLLATE BINARY BEGIN UPDATE %3 SET %1 = %2 WHERE "
                       "rowid = NEW.rowid; END")
            .arg(c, *stored, t);
    return {create + QStringLiteral("%1 AFTER INSERT ON %2 ").arg(triggerName(table, column, "i"), t) +
                body,
            create +
                QStringLiteral("%1 AFTER UPDATE OF %2 ON %3 ")
                    .arg(triggerName(table, column, "u"), c, t) +
                body};
}

QStringList dropStoreTriggers(const QString& table, const QString& column) {
    return {QStringLiteral("DROP TRIGGER IF EXISTS %1").arg(triggerName(table, column, "i")),
            QStringLiteral("DROP TRIGGER IF EXISTS %1").arg(triggerName(table, column, "u"))};
}

} // namespace estaciones::db::tsql
