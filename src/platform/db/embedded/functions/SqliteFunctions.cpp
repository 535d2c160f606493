#include "platform/db/embedded/functions/SqliteFunctions.h"

#include "platform/db/embedded/functions/SqliteArguments.h"
#include "platform/db/embedded/functions/CatalogFunctions.h"
#include "platform/db/embedded/functions/IdentityStore.h"
#include "platform/db/embedded/functions/SchemaFunctions.h"
#include "platform/db/embedded/functions/SequenceStore.h"

#include "platform/core/Error.h"
#include "platform/db/embedded/errors/FunctionError.h"
#include "platform/db/embedded/functions/ArithmeticFunctions.h"
#include "platform/db/embedded/functions/BinaryFunctions.h"
#include "platform/db/embedded/functions/DateFromParts.h"
#include "platform/db/embedded/functions/DateFunctions.h"
#include "platform/db/embedded/functions/ExactAggregates.h"
#include "platform/db/embedded/functions/ExactArithmetic.h"
#include "platform/db/embedded/functions/FormatFunction.h"
#include "platform/db/embedded/functions/FunctionCall.h"
#include "platform/db/embedded/functions/MessageFormat.h"
#include "platform/db/embedded/functions/NumberFunctions.h"
#include "platform/db/embedded/functions/ParseFunctions.h"
#include "platform/db/embedded/functions/SingleValue.h"
#include "platform/db/embedded/functions/StringAggregate.h"
#include "platform/db/embedded/functions/StringSplit.h"
#include "platform/db/embedded/functions/TextCompare.h"
#include "platform/db/embedded/functions/TextFunctions.h"
#include "platform/db/embedded/functions/TimeZones.h"
#include "platform/db/embedded/functions/TopCount.h"
#include "platform/db/embedded/functions/UserSchemas.h"
#include "platform/db/embedded/functions/JsonFunctions.h"
#include "platform/db/embedded/functions/MathFunctions.h"
#include "platform/db/embedded/functions/PrincipalFunctions.h"
#include "platform/db/embedded/functions/ObjectNameParts.h"
#include "platform/db/embedded/functions/ServerProperties.h"
#include "platform/db/embedded/functions/SoundexFunctions.h"
#include "platform/db/embedded/functions/SqlVariantProperties.h"
#include "platform/db/embedded/functions/StatisticalAggregates.h"
#include "platform/db/embedded/storage/Conversion.h"
#include "platform/db/embedded/storage/DateText.h"
#include "platform/db/embedded/storage/NumericErrors.h"
#include "platform/db/embedded/storage/SqlValue.h"
#include "platform/db/embedded/storage/TypeNames.h"

#include <QDateTime>
#include <QUuid>

#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <vector>

namespace estaciones::db::tsql {

namespace {

using Settings = std::shared_ptr<DialectSettings>;

// ---- values in and out -----------------------------------------------------

SqlValue argument(sqlite3_value* v) {
    switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER:
        return SqlValue::of(static_cast<qint64>(sqlite3_value_int64(v)));
    case SQLITE_FLOAT:
        return SqlValue::of(sqlite3_value_double(v));
    case SQLITE_TEXT:
        return SqlValue::of(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_value_text(v)),
                                              sqlite3_value_bytes(v)));
    case SQLITE_BLOB: {
        SqlValue value;
        value.kind = SqlValue::Kind::Blob;
        value.blob =
            QByteArray(static_cast<const char*>(sqlite3_value_blob(v)), sqlite3_value_bytes(v));
        return value;
    }
    default:
        return SqlValue::null();
    }
}

void setResult(sqlite3_context* ctx, const SqlValue& value) {
    switch (value.kind) {
    case SqlValue::Kind::Null:
        sqlite3_result_null(ctx);
        break;
    case SqlValue::Kind::Integer:
        sqlite3_result_int64(ctx, value.integer);
        break;
    case SqlValue::Kind::Real:
        sqlite3_result_double(ctx, value.real);
        break;
    case SqlValue::Kind::Text: {
        const QByteArray utf8 = value.text.toUtf8();
        sqlite3_result_text(ctx, utf8.constData(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
        break;
    }
    case SqlValue::Kind::Blob:
        sqlite3_result_blob(ctx, value.blob.constData(), static_cast<int>(value.blob.size()),
                            SQLITE_TRANSIENT);
        break;
    }
}

struct FunctionData {
    Settings settings;
    Body body;
    Shortcut shortcut;
    bool oncePerRun;
};

void deleteKeptValue(void* value) {
    delete static_cast<SqlValue*>(value);
}

void invoke(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    auto* data = static_cast<FunctionData*>(sqlite3_user_data(ctx));
    if (data->shortcut && data->shortcut(ctx, argv))
        return;
    const bool keeps = data->oncePerRun && argc > 0;
    if (keeps) {
        if (const auto* kept = static_cast<const SqlValue*>(sqlite3_get_auxdata(ctx, 0)))
            return setResult(ctx, *kept);
    }
    try {
        Call call{ctx, {}, *data->settings};
        call.args.reserve(static_cast<size_t>(argc));
        for (int i = 0; i < argc; ++i)
            call.args.push_back(argument(argv[i]));
        const SqlValue value = data->body(call);
        if (keeps)
            sqlite3_set_auxdata(ctx, 0, new SqlValue(value), deleteKeptValue);
        setResult(ctx, value);
    } catch (const ConversionError& e) {
        resultConversionError(ctx, e);
    } catch (const std::exception& e) {
        sqlite3_result_error(ctx, e.what(), -1);
    }
}

// ---- function bodies ---------------------------------------------------------

SqlValue nullIfAnyNull(const Call& c, SqlValue value) {
    return c.anyNull() ? SqlValue::null() : value;
}

SqlValue lenFunction(const Call& c) {
    if (c.arg(0).isNull())
        return {};
    QString text = c.arg(0).toText();
    qsizetype n = text.size();
    while (n > 0 && text[n - 1] == QLatin1Char(' '))
        --n;
    return SqlValue::of(static_cast<qint64>(n));
}

SqlValue substringFunction(const Call& c) {
    if (c.anyNull())
        return {};
    const qint64 start = c.integer(1);
    const qint64 length = c.integer(2);
    if (length < 0)
        throw ConversionError(537, QStringLiteral("Invalid length parameter passed to the LEFT "
                                                  "or SUBSTRING function."));
    // Characters (bytes of a binary value) from `start` (1-based, may be 0
    // or negative) to start + length - 1.
    const bool binary = c.arg(0).kind == SqlValue::Kind::Blob;
    const QString text = binary ? QString() : c.arg(0).toText();
    const qint64 size = binary ? c.arg(0).blob.size() : text.size();
    const qint64 first = std::max<qint64>(start, 1);
    const qint64 last = std::min<qint64>(start + length - 1, size);
    if (binary)
        return SqlValue::bytes(last < first ? QByteArray()
                                            : c.arg(0).blob.mid(first - 1, last - first + 1));
    if (last < first)
        return SqlValue::of(QString());
    return SqlValue::of(text.mid(first - 1, last - first + 1));
}

SqlValue charindexFunction(const Call& c) {
    if (c.arg(0).isNull() || c.arg(1).isNull())
        return {};
    const qint64 start = c.args.size() > 2 && !c.arg(2).isNull() ? c.integer(2) : 1;
    const qsizetype at =
        c.compare().indexOf(c.arg(1).toText(), c.arg(0).toText(), std::max<qint64>(start, 1) - 1);
    return SqlValue::of(static_cast<qint64>(at + 1));
}

SqlValue exactCharindexFunction(const Call& c) {
    if (c.arg(0).isNull() || c.arg(1).isNull())
        return {};
    const qint64 start = c.args.size() > 2 && !c.arg(2).isNull() ? c.integer(2) : 1;
    return SqlValue::of(static_cast<qint64>(
        c.arg(1).toText().indexOf(c.arg(0).toText(), std::max<qint64>(start, 1) - 1) + 1));
}

SqlValue upperFunction(const Call& c) {
    return nullIfAnyNull(c, SqlValue::of(c.arg(0).toText().toUpper()));
}
SqlValue lowerFunction(const Call& c) {
    return nullIfAnyNull(c, SqlValue::of(c.arg(0).toText().toLower()));
}

SqlValue replaceFunction(const Call& c) {
    if (c.anyNull())
        return {};
    const QString text = c.arg(0).toText();
    const QString find = c.arg(1).toText();
    const QString replacement = c.arg(2).toText();
    if (find.isEmpty())
        return SqlValue::of(text);
    const TextCompare compare = c.compare();
    QString out;
    qsizetype from = 0;
    for (qsizetype at = compare.indexOf(text, find, 0); at >= 0;
         at = compare.indexOf(text, find, from)) {
        out += QStringView(text).sliced(from, at - from);
        out += replacement;
        from = at + find.size();
    }
    out += QStringView(text).sliced(from);
    return SqlValue::of(out);
}

SqlValue leftFunction(const Call& c) {
    if (c.anyNull())
        return {};
    const qint64 n = c.integer(1);
    if (n < 0)
        throw ConversionError(
            537,
            QStringLiteral("Invalid length parameter passed to the LEFT or SUBSTRING function."));
    return SqlValue::of(c.arg(0).toText().left(n));
}

SqlValue rightFunction(const Call& c) {
    if (c.anyNull())
        return {};
    const qint64 n = c.integer(1);
    if (n < 0)
        throw ConversionError(
            536, QStringLiteral("Invalid length parameter passed to the RIGHT function."));
    return SqlValue::of(c.arg(0).toText().right(n));
}

SqlValue spaceFunction(const Call& c) {
    if (c.anyNull() || c.integer(0) < 0)
        return {};
    return SqlValue::of(QString(std::min<qint64>(c.integer(0), 8000), QLatin1Char(' ')));
}

SqlValue replicateFunction(const Call& c) {
    if (c.anyNull() || c.integer(1) < 0)
        return {};
    return SqlValue::of(c.arg(0).toText().repeated(std::min<qint64>(c.integer(1), 8000)));
}

SqlValue strFunctionBody(const Call& c) {
    if (c.anyNull())
        return {};
    const auto n = valueAsNumber(c.arg(0));
    if (!n)
        failNumberConversion(QStringLiteral("varchar"), QStringLiteral("float"));
    const int length = c.args.size() > 1 ? static_cast<int>(c.integer(1)) : 10;
    const int decimals = c.args.size() > 2 ? static_cast<int>(c.integer(2)) : 0;
    return SqlValue::of(strFunction(n->toReal(), length, decimals));
}

SqlValue newidFunction(const Call&) {
    return SqlValue::of(QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper());
}

// The CHECK of varchar(n) columns: SQL Server refuses longer values, trailing
// blanks aside (they are cut silently).
SqlValue maxLengthFunction(const Call& c) {
    if (c.arg(0).isNull())
        return SqlValue::of(qint64(1));
    const QString text = c.arg(0).toText();
    qsizetype n = text.size();
    while (n > 0 && text[n - 1] == QLatin1Char(' '))
        --n;
    if (n > c.integer(1))
        throw ConversionError(8152, QStringLiteral("String or binary data would be truncated."));
    return SqlValue::of(qint64(1));
}

SqlValue typeNameFunction(const Call& c) {
    return nullIfAnyNull(c, SqlValue::of(describeDeclaredType(c.arg(0).toText()).typeName));
}

SqlValue typeLengthFunction(const Call& c) {
    if (c.anyNull())
        return {};
    const DeclaredType type = describeDeclaredType(c.arg(0).toText());
    // The n of datetime2(n), time(n) and datetimeoffset(n) is a precision, no length.
    if (type.isDate || !type.characterLength)
        return {};
    return SqlValue::of(static_cast<qint64>(*type.characterLength));
}

// ---- catalogue -----------------------------------------------------------------

// A query on the calling connection, from inside a function (SQLite allows
// it); a null parameter binds NULL.
SqlValue scalarQuery(sqlite3* db, const QString& sql, std::initializer_list<QString> parameters = {}) {
    sqlite3_stmt* stmt = nullptr;
    const QByteArray utf8 = sql.toUtf8();
    if (sqlite3_prepare_v2(db, utf8.constData(), -1, &stmt, nullptr) != SQLITE_OK) {
        sqlite3_finalize(stmt);
        return {};
    }
    int index = 0;
    for (const QString& parameter : parameters) {
        ++index;
        if (!parameter.isNull())
            sqlite3_bind_text(stmt, index, parameter.toUtf8().constData(), -1, SQLITE_TRANSIENT);
    }
    SqlValue result;
    if (sqlite3_step(stmt) == SQLITE_ROW)
        result = argument(sqlite3_column_value(stmt, 0));
    sqlite3_finalize(stmt);
    return result;
}

// OBJECT_ID(name [, type]): with a type, only an object of that type ('U', 'P', ...).
SqlValue objectIdFunction(const Call& c) {
    if (c.arg(0).isNull())
        return {};
    sqlite3* db = sqlite3_context_db_handle(c.ctx);
    const QString name = catalogObjectName(c.arg(0).toText());
    if (name.isEmpty())
        return {};
    const bool temporary = name.startsWith(QLatin1Char('#'));
    const QString type = c.args.size() > 1 && !c.arg(1).isNull()
                             ? c.arg(1).toText().trimmed().toUpper()
                             : QString();
    const auto lookUp = [&](const QString& sql) { return scalarQuery(db, sql, {name, type}); };
    if (temporary)
        return lookUp(QStringLiteral("SELECT -rowid FROM sqlite_temp_schema WHERE type IN "
                                     "('table','view') AND name = ?1 COLLATE NOCASE AND "
                                     "coalesce(?2, 'U') = 'U'"));
    SqlValue id = lookUp(QStringLiteral("SELECT rowid FROM sqlite_schema WHERE type IN "
                                        "('table','view','trigger') AND name = ?1 COLLATE NOCASE "
                                        "AND coalesce(?2, %1) = %1")
                             .arg(QLatin1String(objectTypeCode)));
    if (id.isNull() && !c.settings.procedureTable.isEmpty())
        id = lookUp(QStringLiteral("SELECT %1 + rowid FROM \"%2\" WHERE name = ?1 COLLATE NOCASE "
                                   "AND coalesce(?2, 'P') = 'P'")
                        .arg(procedureIdBase)
                        .arg(c.settings.procedureTable));
    if (id.isNull())
        id = lookUp(QStringLiteral("SELECT %1 + rowid FROM %2 WHERE name = ?1 COLLATE NOCASE "
                                   "AND coalesce(?2, type) = type")
                        .arg(functionIdBase)
                        .arg(QLatin1String(functionTable)));
    if (id.isNull())
        id = lookUp(QStringLiteral("SELECT %1 + rowid FROM %2 WHERE name = ?1 COLLATE NOCASE "
                                   "AND coalesce(?2, 'TR') = 'TR'")
                        .arg(triggerIdBase)
                        .arg(QLatin1String(triggerTable)));
    if (id.isNull()) {
        // Constraints are objects too (IF OBJECT_ID('FK_x') IS NULL ALTER TABLE ... ADD ...),
        // of their table's schema; the file keeps their own names.
        const SchemaQualifiedName constraint = splitStoredName(db, name);
        id = scalarQuery(db,
                         QStringLiteral("SELECT %1 + rowid FROM %2 WHERE name = ?1 COLLATE NOCASE "
                                        "AND coalesce(?2, kind) = kind AND "
                                        "tsql_stored_schema(table_name) = ?3 COLLATE NOCASE")
                             .arg(constraintIdBase)
                             .arg(QLatin1String(constraintTable)),
                         {constraint.name, type, constraint.schema.name});
    }
    if (id.isNull())
        id = lookUp(QStringLiteral("SELECT %1 + rowid FROM %2 WHERE name = ?1 COLLATE NOCASE "
                                   "AND coalesce(?2, 'SO') = 'SO'")
                        .arg(sequenceIdBase)
                        .arg(QLatin1String(sequenceTable)));
    return id;
}

// The value a column's DEFAULT gives now (NULL without one): what an insert
// through a view puts in the columns it leaves out.
SqlValue columnDefaultFunction(const Call& c) {
    if (c.anyNull())
        return {};
    sqlite3* db = sqlite3_context_db_handle(c.ctx);
    sqlite3_stmt* stmt = nullptr;
    const QByteArray table = c.arg(0).toText().toUtf8();
    const QByteArray column = c.arg(1).toText().toUtf8();
    QString expression;
    if (sqlite3_prepare_v2(
            db, "SELECT dflt_value FROM pragma_table_info(?1) WHERE name = ?2 COLLATE NOCASE", -1,
            &stmt, nullptr) == SQLITE_OK) {
        sqlite3_bind_text(stmt, 1, table.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(stmt, 2, column.constData(), -1, SQLITE_TRANSIENT);
        if (sqlite3_step(stmt) == SQLITE_ROW && sqlite3_column_type(stmt, 0) != SQLITE_NULL)
            expression =
                QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
    }
    sqlite3_finalize(stmt);
    if (expression.isEmpty())
        return {};
    return scalarQuery(db, QStringLiteral("SELECT %1").arg(expression));
}

// The type code (FN, IF, TF) of the function with catalogue id `id`.
QString functionTypeOf(sqlite3* db, qint64 id) {
    return scalarQuery(db,
                       QStringLiteral("SELECT type FROM %1 WHERE rowid = ?1")
                           .arg(QLatin1String(functionTable)),
                       {QString::number(id - functionIdBase)})
        .toText();
}

SqlValue objectPropertyFunction(const Call& c) {
    if (c.anyNull())
        return {};
    sqlite3* db = sqlite3_context_db_handle(c.ctx);
    const qint64 id = c.integer(0);
    QString type;
    if (id >= constraintIdBase)
        type = QStringLiteral("constraint");
    else if (id >= triggerIdBase)
        type = QStringLiteral("trigger");
    else if (id >= functionIdBase)
        type = functionTypeOf(db, id);
    else if (id >= procedureIdBase)
        type = QStringLiteral("procedure");
    else if (id > 0)
        type = scalarQuery(db, QStringLiteral("SELECT type FROM sqlite_schema WHERE rowid = ?1"),
                           {QString::number(id)})
                   .toText();
    else if (id < 0)
        type =
            scalarQuery(db, QStringLiteral("SELECT type FROM sqlite_temp_schema WHERE rowid = ?1"),
                        {QString::number(-id)})
                .toText();
    if (type.isEmpty())
        return {};
    const QString property = c.arg(1).toText();
    const auto is = [&](const char* p) {
        return property.compare(QLatin1String(p), Qt::CaseInsensitive) == 0;
    };
    if (is("IsUserTable") || is("IsTable"))
        return SqlValue::of(qint64(type == QLatin1String("table")));
    if (is("IsView"))
        return SqlValue::of(qint64(type == QLatin1String("view")));
    if (is("IsProcedure"))
        return SqlValue::of(qint64(type == QLatin1String("procedure")));
    if (is("IsTrigger"))
        return SqlValue::of(qint64(type == QLatin1String("trigger")));
    if (is("IsScalarFunction"))
        return SqlValue::of(qint64(type == QLatin1String("FN")));
    if (is("IsInlineFunction"))
        return SqlValue::of(qint64(type == QLatin1String("IF")));
    if (is("IsTableFunction"))
        return SqlValue::of(qint64(type == QLatin1String("IF") || type == QLatin1String("TF")));
    if (is("IsConstraint"))
        return SqlValue::of(qint64(type == QLatin1String("constraint")));
    // A trigger's events and timing, from the engine's trigger table.
    static const std::pair<const char*, const char*> triggerProperties[] = {
        {"ExecIsInsertTrigger", "on_insert"},    {"ExecIsUpdateTrigger", "on_update"},
        {"ExecIsDeleteTrigger", "on_delete"},    {"ExecIsInsteadOfTrigger", "instead_of"},
        {"ExecIsAfterTrigger", "1 - instead_of"}, {"ExecIsTriggerDisabled", "disabled"}};
    for (const auto& [name, column] : triggerProperties)
        if (is(name))
            return type != QLatin1String("trigger")
                       ? SqlValue()
                       : scalarQuery(db,
                                     QStringLiteral("SELECT %1 FROM %2 WHERE rowid = ?1")
                                         .arg(QLatin1String(column), QLatin1String(triggerTable)),
                                     {QString::number(id - triggerIdBase)});
    // What a constraint is, by its kind in the engine's constraint table.
    static const std::pair<const char*, const char*> constraintKinds[] = {
        {"IsPrimaryKey", "PK"}, {"IsForeignKey", "F"}, {"IsCheckCnst", "C"},
        {"IsDefaultCnst", "D"}, {"IsUniqueCnst", "UQ"}};
    for (const auto& [name, kind] : constraintKinds)
        if (is(name))
            return type != QLatin1String("constraint")
                       ? SqlValue::of(qint64(0))
                       : scalarQuery(db,
                                     QStringLiteral("SELECT kind = '%1' FROM %2 WHERE rowid = ?1")
                                         .arg(QLatin1String(kind), QLatin1String(constraintTable)),
                                     {QString::number(id - constraintIdBase)});
    // What a table has: constraints of a kind, an identity, triggers of an event.
    // An index: its primary key's or one of its own ("table.index" in SQLite).
    static const char* const hasAnIndex =
        "SELECT EXISTS (SELECT 1 FROM {constraints} WHERE table_name = ?1 AND kind = 'PK') OR "
        "EXISTS (SELECT 1 FROM sqlite_schema WHERE type = 'index' AND lower(tbl_name) = "
        "lower(?1) AND substr(lower(name), 1, length(?1) + 1) = lower(?1 || '.'))";
    static const std::pair<const char*, const char*> tableHas[] = {
        {"TableHasPrimaryKey", "SELECT EXISTS (SELECT 1 FROM {constraints} WHERE table_name = ?1 AND kind = "
                               "'PK')"},
        {"TableHasForeignKey", "SELECT EXISTS (SELECT 1 FROM {constraints} WHERE table_name = ?1 AND kind = "
                               "'F')"},
        {"TableHasCheckCnst", "SELECT EXISTS (SELECT 1 FROM {constraints} WHERE table_name = ?1 AND kind = "
                              "'C')"},
        {"TableHasDefaultCnst", "SELECT EXISTS (SELECT 1 FROM {constraints} WHERE table_name = ?1 AND kind = "
                                "'D')"},
        {"TableHasUniqueCnst", "SELECT EXISTS (SELECT 1 FROM {constraints} WHERE table_name = ?1 AND kind = "
                               "'UQ')"},
        {"TableHasForeignRef", "SELECT EXISTS (SELECT 1 FROM {constraints} WHERE ref_table = ?1 AND kind = "
                               "'F')"},
        // The primary key is the table's clustered index, as sys.indexes lists it.
        {"TableHasClustIndex", "SELECT EXISTS (SELECT 1 FROM {constraints} WHERE table_name = ?1 "
                               "AND kind = 'PK')"},
        {"IsIndexed", hasAnIndex},
        {"TableHasIndex", hasAnIndex},
        {"TableHasIdentity", "SELECT tsql_ident_seed(?1) IS NOT NULL"},
        {"TableHasInsertTrigger", "SELECT EXISTS (SELECT 1 FROM {triggers} WHERE table_name = ?1 AND "
                                  "on_insert = 1)"},
        {"TableHasUpdateTrigger", "SELECT EXISTS (SELECT 1 FROM {triggers} WHERE table_name = ?1 AND "
                                  "on_update = 1)"},
        {"TableHasDeleteTrigger", "SELECT EXISTS (SELECT 1 FROM {triggers} WHERE table_name = ?1 AND "
                                  "on_delete = 1)"}};
    for (const auto& [name, query] : tableHas)
        if (is(name)) {
            if (type != QLatin1String("table") || id < 0)
                return {};
            const QString table =
                scalarQuery(db, QStringLiteral("SELECT name FROM sqlite_schema WHERE rowid = ?1"),
                            {QString::number(id)})
                    .toText();
            return scalarQuery(db,
                               QString::fromLatin1(query)
                                   .replace(QLatin1String("{constraints}"),
                                            QLatin1String(constraintTable))
                                   .replace(QLatin1String("{triggers}"),
                                            QLatin1String(triggerTable)),
                               {table});
        }
    if (is("IsSystemTable") || is("IsMSShipped"))
        return SqlValue::of(qint64(0));
    if (is("OwnerId") || is("SchemaId"))
        return SqlValue::of(qint64(1));
    return {};
}

// OBJECTPROPERTYEX: OBJECTPROPERTY's properties, and BaseType, the object's
// type code (char(2), as sys.objects.type).
SqlValue objectPropertyExFunction(const Call& c) {
    if (c.anyNull() || c.arg(1).toText().compare(QLatin1String("BaseType"), Qt::CaseInsensitive) != 0)
        return objectPropertyFunction(c);
    sqlite3* db = sqlite3_context_db_handle(c.ctx);
    const qint64 id = c.integer(0);
    QString code;
    if (id >= constraintIdBase)
        code = scalarQuery(db, QStringLiteral("SELECT kind FROM %1 WHERE rowid = ?1")
                                   .arg(QLatin1String(constraintTable)),
                           {QString::number(id - constraintIdBase)})
                   .toText();
    else if (id >= triggerIdBase)
        code = QStringLiteral("TR");
    else if (id >= functionIdBase)
        code = functionTypeOf(db, id);
    else if (id >= procedureIdBase)
        code = QStringLiteral("P");
    else if (id != 0)
        code = scalarQuery(db,
                           QStringLiteral("SELECT %1 FROM %2 WHERE rowid = ?1")
                               .arg(QLatin1String(objectTypeCode),
                                    id > 0 ? QStringLiteral("sqlite_schema")
                                           : QStringLiteral("sqlite_temp_schema")),
                           {QString::number(id > 0 ? id : -id)})
                   .toText();
    return code.isEmpty() ? SqlValue() : SqlValue::of(code.leftJustified(2, QLatin1Char(' ')));
}

// ---- LIKE and collations ---------------------------------------------------------

SqlValue likeFunction(const Call& c) {
    if (c.arg(0).isNull() || c.arg(1).isNull())
        return {};
    QChar escape;
    if (c.args.size() > 2) {
        const QString e = c.arg(2).toText();
        if (e.size() != 1)
            throw ConversionError(506, QStringLiteral("The invalid escape character \"%1\" was "
                                                      "specified in a LIKE predicate.")
                                           .arg(e));
        escape = e[0];
    }
    return SqlValue::of(qint64(c.compare().like(c.arg(1).toText(), c.arg(0).toText(), escape)));
}

bool isAscii(const char* p, int n) {
    for (int i = 0; i < n; ++i)
        if (static_cast<unsigned char>(p[i]) >= 0x80)
            return false;
    return true;
}

int trimmedLength(const char* p, int n) {
    while (n > 0 && p[n - 1] == ' ')
        --n;
    return n;
}

int compareText(void* data, int na, const void* pa, int nb, const void* pb) {
    const auto& settings = **static_cast<Settings*>(data);
    const char* a = static_cast<const char*>(pa);
    const char* b = static_cast<const char*>(pb);
    if (isAscii(a, na) && isAscii(b, nb)) {
        // Plain ASCII needs no accent rules: compare folded bytes.
        na = trimmedLength(a, na);
        nb = trimmedLength(b, nb);
        const int n = std::min(na, nb);
        for (int i = 0; i < n; ++i) {
            const int x = std::tolower(static_cast<unsigned char>(a[i]));
            const int y = std::tolower(static_cast<unsigned char>(b[i]));
            if (x != y)
                return x < y ? -1 : 1;
        }
        return na == nb ? 0 : (na < nb ? -1 : 1);
    }
    return TextCompare(settings.accentInsensitive)
        .compare(QString::fromUtf8(a, na), QString::fromUtf8(b, nb));
}

// The comparison key of one side of a date comparison: stored texts give it
// by their bytes (a datetimeoffset by its UTC time); a literal in another
// form ('20240101', '5/3/2024') is parsed once while a statement compares
// rows with it. A literal's offset counts only against a datetimeoffset
// (`asInstant`): against other dates it converts to their type, which drops
// it. A few literals are kept, so that BETWEEN's two bounds, met in turn on
// every row, are not parsed again for each.
bool comparisonKey(const char* text, int length, DateOrder order, bool asInstant, char (&key)[27]) {
    if (storedDateKey(text, length, key))
        return true;
    struct Literal {
        QByteArray text;
        DateOrder order = DateOrder::DMY;
        bool asInstant = false;
        bool isDate = false;
        char key[27];
    };
    constexpr size_t kept = 4;
    thread_local std::array<Literal, kept> literals;
    thread_local size_t nextSlot = 0;
    const auto same = [&](const Literal& l) {
        return l.text.size() == length && l.order == order && l.asInstant == asInstant &&
               std::memcmp(l.text.constData(), text, static_cast<size_t>(length)) == 0;
    };
    auto found = std::find_if(literals.begin(), literals.end(), same);
    if (found == literals.end()) {
        found = literals.begin() + static_cast<std::ptrdiff_t>(nextSlot);
        nextSlot = (nextSlot + 1) % kept;
        found->text = QByteArray(text, length);
        found->order = order;
        found->asInstant = asInstant;
        const auto date = parseDateText(QString::fromUtf8(text, length), order);
        found->isDate = date.has_value();
        if (date)
            dateKey(asInstant ? date->utc() : *date, found->key);
    }
    std::memcpy(key, found->key, sizeof key);
    return found->isDate;
}

int compareDates(void* data, int na, const void* pa, int nb, const void* pb) {
    const auto& settings = **static_cast<Settings*>(data);
    const char* a = static_cast<const char*>(pa);
    const char* b = static_cast<const char*>(pb);
    // Two values of one type have one width: their bytes are their order,
    // unless they are datetimeoffsets at different offsets.
    if (na == nb && na > 2 && (a[2] == ':') == (b[2] == ':')) {
        const int local = withoutOffsetLength(a, na);
        const bool sameOffset = withoutOffsetLength(b, nb) == local &&
                                (local == na || std::memcmp(a + local, b + local, 7) == 0);
        if (sameOffset && isStoredDateText(a, na) && isStoredDateText(b, nb)) {
            const int r = std::memcmp(a, b, static_cast<size_t>(na));
            return r < 0 ? -1 : (r > 0 ? 1 : 0);
        }
    }
    const bool asInstant = isStoredOffsetText(a, na) || isStoredOffsetText(b, nb);
    char ka[27];
    char kb[27];
    if (!comparisonKey(a, na, settings.dateOrder, asInstant, ka))
        return compareText(data, na, pa, nb, pb);
    // The key of the first side is copied out before the second may replace the cached literal.
    if (!comparisonKey(b, nb, settings.dateOrder, asInstant, kb))
        return compareText(data, na, pa, nb, pb);
    const int r = std::memcmp(ka, kb, sizeof ka);
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

void destroyFunctionData(void* p) {
    delete static_cast<FunctionData*>(p);
}

const FunctionSpec coreFunctions[] = {
    {"tsql_len", 1, lenFunction, true},
    {"tsql_substring", 3, substringFunction, true},
    {"tsql_charindex", 2, charindexFunction, true},
    {"tsql_charindex", 3, charindexFunction, true},
    {"tsql_charindex_exact", 2, exactCharindexFunction, true},
    {"tsql_charindex_exact", 3, exactCharindexFunction, true},
    {"tsql_upper", 1, upperFunction, true},
    {"tsql_lower", 1, lowerFunction, true},
    {"tsql_replace", 3, replaceFunction, true},
    {"tsql_left", 2, leftFunction, true},
    {"tsql_right", 2, rightFunction, true},
    {"tsql_space", 1, spaceFunction, true},
    {"tsql_replicate", 2, replicateFunction, true},
    {"tsql_str", -1, strFunctionBody, true},
    {"tsql_newid", 0, newidFunction, false},
    {"tsql_max_length", 2, maxLengthFunction, true},
    {"tsql_type_name", 1, typeNameFunction, true},
    {"tsql_type_length", 1, typeLengthFunction, true},
    {"tsql_object_id", 1, objectIdFunction, false},
    {"tsql_object_id", 2, objectIdFunction, false},
    {"tsql_column_default", 2, columnDefaultFunction, false},
    {"tsql_objectproperty", 2, objectPropertyFunction, false},
    {"tsql_objectpropertyex", 2, objectPropertyExFunction, false},
    {"like", 2, likeFunction, true},
    {"like", 3, likeFunction, true},
};

[[noreturn]] void fail(sqlite3* db, const char* what) {
    throw Error(errnum::E_FAIL,
                QStringLiteral("Cannot register %1: %2")
                    .arg(QString::fromUtf8(what), QString::fromUtf8(sqlite3_errmsg(db))));
}

void registerFamily(sqlite3* db, const Settings& settings, std::span<const FunctionSpec> family) {
    for (const FunctionSpec& f : family) {
        // Innocuous: schemas (defaults, checks, triggers, views) may call them.
        const int flags =
            SQLITE_UTF8 | SQLITE_INNOCUOUS | (f.deterministic ? SQLITE_DETERMINISTIC : 0);
        if (sqlite3_create_function_v2(db, f.name, f.arguments, flags,
                                       new FunctionData{settings, f.body, f.shortcut, f.oncePerRun}, invoke,
                                       nullptr, nullptr, destroyFunctionData) != SQLITE_OK)
            fail(db, f.name);
    }
}

} // namespace

void registerFunctions(sqlite3* db, std::shared_ptr<DialectSettings> settings) {
    registerFamily(db, settings, coreFunctions);
    registerFamily(db, settings, arithmeticFunctions());
    registerFamily(db, settings, exactArithmeticFunctions());
    registerFamily(db, settings, numberFunctions());
    registerFamily(db, settings, binaryFunctions());
    registerFamily(db, settings, dateFunctions());
    registerFamily(db, settings, dateFromPartsFunctions());
    registerFamily(db, settings, timeZoneFunctions());
    registerFamily(db, settings, formatFunctions());
    registerFamily(db, settings, parseFunctions());
    registerFamily(db, settings, messageFunctions());
    registerFamily(db, settings, topCountFunctions());
    registerFamily(db, settings, mathFunctions());
    registerFamily(db, settings, principalFunctions());
    registerFamily(db, settings, soundexFunctions());
    registerFamily(db, settings, objectNameFunctions());
    registerFamily(db, settings, serverPropertyFunctions());
    registerFamily(db, settings, sqlVariantPropertyFunctions());
    registerFamily(db, settings, jsonFunctions());
    if (sqlite3_create_collation_v2(db, textCollation, SQLITE_UTF8, new Settings(settings),
                                    compareText, destroySharedSettings) != SQLITE_OK)
        fail(db, textCollation);
    if (sqlite3_create_collation_v2(db, dateCollation, SQLITE_UTF8, new Settings(settings),
                                    compareDates, destroySharedSettings) != SQLITE_OK)
        fail(db, dateCollation);
    registerSchemaFunctions(db);
    registerCatalogFunctions(db);
    registerSingleValue(db);
    registerIdentityFunctions(db);
    registerSequenceFunctions(db);
    registerTextFunctions(db, settings);
    registerStringAggregate(db, settings);
    registerExactAggregates(db);
    registerStatisticalAggregates(db);
    registerStringSplit(db);
}

} // namespace estaciones::db::tsql
