#include "platform/db/embedded/translate/ConstraintTriggers.h"
#include "platform/db/embedded/translate/ComputedColumnDefinitions.h"

#include "platform/db/embedded/errors/TableVariableNames.h"
#include "platform/db/embedded/functions/SchemaFunctions.h"
#include "platform/db/embedded/parse/Pieces.h"
#include "platform/db/embedded/parse/Token.h"

#include <QCryptographicHash>

namespace estaciones::db::tsql::schema {

bool isTemporaryTable(const QString& table) {
    return table.startsWith(QLatin1Char('#'));
}

QString createTriggerPrefix(const QString& table) {
    return isTemporaryTable(table) ? QStringLiteral("CREATE TEMP TRIGGER ")
                                   : QStringLiteral("CREATE TRIGGER ");
}

namespace {

QString triggerName(const char* family, const QString& table, const QString& name,
                    const char* event) {
    return quoteName(QStringLiteral("tsql_%1.%2.%3.%4")
                         .arg(QLatin1String(family), table, name, QLatin1String(event)));
}

} // namespace

QString constraintTableDefinition() {
    return QString::fromLatin1(constraintTableSql);
}

QString callingStatement(const QString& query) {
    return QStringLiteral("DELETE FROM %1 WHERE rowid = (%2)")
        .arg(QLatin1String(constraintTable), query);
}

QStringList beforeDropTable(const QString& table) {
    return QStringList{constraintTableDefinition(),
                       callingStatement(QStringLiteral("SELECT tsql_drop_table_constraints(%1)")
                                            .arg(Token::literal(table)))} +
           forgetComputedDefinitions(table);
}

namespace {

// Temporary tables keep no row in the database's constraint table: their
// constraints cannot be disabled and go with them.
QString enabled(const QString& table, const QString& name) {
    if (isTemporaryTable(table))
        return QStringLiteral("1");
    return QStringLiteral("(SELECT disabled FROM %1 WHERE name = %2) IS NOT 1")
        .arg(QLatin1String(constraintTable), Token::literal(name));
}

QString recorded(const QString& table, const QString& name, const QString& kind,
                 const QStringList& columns, const QString& referencedTable,
                 const QStringList& referencedColumns, const QString& definition,
                 const QString& onDelete, const QString& onUpdate, bool untrusted,
                 const QString& violation, bool systemNamed) {
    return QStringLiteral("INSERT INTO %1 (name, table_name, kind, columns, ref_table, "
                          "ref_columns, definition, on_delete, on_update, untrusted, violation, "
                          "system_named) VALUES (%2, %3, %4, %5, %6, %7, %8, %9, %10, %11, %12, "
                          "%13)")
        .arg(QLatin1String(constraintTable), Token::literal(name), Token::literal(table), Token::literal(kind),
             Token::literal(columns.join(QLatin1Char(','))),
             referencedTable.isEmpty() ? QStringLiteral("NULL") : Token::literal(referencedTable),
             Token::literal(referencedColumns.join(QLatin1Char(','))), Token::literal(definition),
             Token::literal(onDelete), Token::literal(onUpdate),
             untrusted ? QStringLiteral("1") : QStringLiteral("0"), Token::literal(violation),
             systemNamed ? QStringLiteral("1") : QStringLiteral("0"));
}

// A statement that fails through `failingSelect` (a query calling a failing
// function) when it finds a row, and does nothing when it finds none.
QString failWhenFound(const QString& failingSelect) {
    return callingStatement(failingSelect + QStringLiteral(" LIMIT 1"));
}

// a = NEW.a AND b = NEW.b, with `compare` (= or IS) and the two sides' prefixes.
QString matching(const QStringList& left, const QString& leftPrefix, const QStringList& right,
                 const QString& rightPrefix, const QString& compare = QStringLiteral("=")) {
    QStringList terms;
    for (qsizetype i = 0; i < left.size() && i < right.size(); ++i)
        terms << QStringLiteral("%1%2 %3 %4%5")
                     .arg(leftPrefix, quoteName(left[i]), compare, rightPrefix,
                          quoteName(right[i]));
    return terms.join(QStringLiteral(" AND "));
}

QString prefixed(const QStringList& columns, const QString& prefix) {
    QStringList out;
    for (const QString& c : columns)
        out << prefix + quoteName(c);
    return out.join(QStringLiteral(", "));
}

QString allNotNull(const QStringList& columns, const QString& prefix) {
    QStringList terms;
    for (const QString& c : columns)
        terms << prefix + quoteName(c) + QStringLiteral(" IS NOT NULL");
    return terms.join(QStringLiteral(" AND "));
}

QString conflict(const QString& verb, const QString& kind, const QString& name,
                 const QString& table, const QString& column) {
    return QStringLiteral("tsql_constraint_conflict(%1, %2, %3, %4, %5)")
        .arg(Token::literal(verb), Token::literal(kind), Token::literal(name), Token::literal(table), Token::literal(column));
}

// What the referencing rows become when the referenced key goes or changes.
QString referentialAction(const ForeignKey& key, const QString& action, bool onDelete) {
    const QString child = quoteName(key.table);
    const QString where =
        matching(key.columns, QString(), key.referencedColumns, QStringLiteral("OLD."));
    QStringList assignments;
    for (qsizetype i = 0; i < key.columns.size(); ++i) {
        const QString column = quoteName(key.columns[i]);
        if (action == QLatin1String("CASCADE"))
            assignments << QStringLiteral("%1 = NEW.%2")
                               .arg(column, quoteName(key.referencedColumns.value(i)));
        else if (action == QLatin1String("SET NULL"))
            assignments << column + QStringLiteral(" = NULL");
        else
            assignments << QStringLiteral("%1 = tsql_column_default(%2, %3)")
                               .arg(column, Token::literal(key.table), Token::literal(key.columns[i]));
    }
    if (onDelete && action == QLatin1String("CASCADE"))
        return QStringLiteral("DELETE FROM %1 WHERE %2;").arg(child, where);
    return QStringLiteral("UPDATE %1 SET %2 WHERE %3;")
        .arg(child, assignments.join(QStringLiteral(", ")), where);
}

} // namespace

QString generatedName(const QString& prefix, const QString& table, const QString& column,
                      const QString& text) {
    const QByteArray hash =
        QCryptographicHash::hash(
            (table + QLatin1Char('|') + column + QLatin1Char('|') + text).toUtf8(),
            QCryptographicHash::Sha1)
            .toHex()
            .toUpper();
    // PK__Articulo__<16 hex> for keys, CK__Articulos__Preci__<8 hex> for the rest.
    const QString shown = sqlite::tableNameInGeneratedNames(table);
    if (column.isEmpty())
        return QStringLiteral("%1__%2__%3")
            .arg(prefix, shown.left(8), QString::fromLatin1(hash.left(16)));
    return QStringLiteral("%1__%2__%3__%4")
        .arg(prefix, shown.left(9), column.left(5), QString::fromLatin1(hash.left(8)));
}

QStringList checkStatements(const CheckConstraint& check, bool checkExistingRows) {
    const QString t = quoteName(check.table);
    const QString broken = QStringLiteral("NOT coalesce((%1), 1)").arg(check.expression);
    // The first row that breaks it, failing: WITH CHECK now, CHECK CONSTRAINT later.
    const QString violation =
        QStringLiteral("SELECT %1 FROM %2 WHERE %3")
            .arg(conflict(QStringLiteral("ALTER TABLE"), QStringLiteral("CHECK"), check.name,
                          check.table, check.column),
                 t, broken);
    QStringList statements{constraintTableDefinition()};
    if (checkExistingRows)
        statements << failWhenFound(violation);
    if (!isTemporaryTable(check.table))
        statements << recorded(check.table, check.name, QStringLiteral("C"),
                               check.column.isEmpty() ? QStringList() : QStringList{check.column},
                               QString(), {}, check.definition, QString(), QString(),
                               !checkExistingRows, violation, check.systemNamed);
    for (const auto& [event, verb] : {std::pair{"i", "INSERT"}, std::pair{"u", "UPDATE"}})
        statements << createTriggerPrefix(check.table) +
                          QStringLiteral("%1 AFTER %2 ON %3 WHEN %4 AND EXISTS (SELECT 1 FROM %3 "
                                         "WHERE rowid = NEW.rowid AND %5) BEGIN SELECT %6; END")
                              .arg(triggerName("ck", check.table, check.name, event),
                                   QLatin1String(verb), t, enabled(check.table, check.name), broken,
                                   conflict(QLatin1String(verb), QStringLiteral("CHECK"),
                                            check.name, check.table, check.column));
    return statements;
}

QStringList foreignKeyStatements(const ForeignKey& key, bool checkExistingRows) {
    // The server does not enforce foreign keys on temporary tables either.
    if (isTemporaryTable(key.table))
        return {};
    const QString child = quoteName(key.table);
    const QString parent = quoteName(key.referencedTable);
    const QString on = enabled(key.table, key.name);
    const QString missingParent =
        QStringLiteral("NOT EXISTS (SELECT 1 FROM %1 AS tsql_parent WHERE %2)")
            .arg(parent, matching(key.referencedColumns, QStringLiteral("tsql_parent."),
                                  key.columns, QStringLiteral("%1.")));
    const QString violation =
        QStringLiteral("SELECT %1 FROM %2 AS tsql_child WHERE %3 AND %4")
            .arg(conflict(QStringLiteral("ALTER TABLE"), QStringLiteral("FOREIGN KEY"), key.name,
                          key.referencedTable, key.referencedColumns.value(0)),
                 child, allNotNull(key.columns, QStringLiteral("tsql_child.")),
                 missingParent.arg(QStringLiteral("tsql_child")));
    QStringList statements{constraintTableDefinition()};
    if (checkExistingRows)
        statements << failWhenFound(violation);
    statements << recorded(key.table, key.name, QStringLiteral("F"), key.columns,
                           key.referencedTable, key.referencedColumns, QString(), key.onDelete,
                           key.onUpdate, !checkExistingRows, violation, key.systemNamed);
    // The referencing side: a new or changed row needs its referenced row.
    for (const auto& [event, verb] : {std::pair{"i", "INSERT"}, std::pair{"u", "UPDATE"}}) {
        const QString when =
            QString::fromLatin1(event) == QLatin1String("i")
                ? QStringLiteral("AFTER INSERT")
                : QStringLiteral("AFTER UPDATE OF ") + prefixed(key.columns, QString());
        statements << QStringLiteral("CREATE TRIGGER %1 %2 ON %3 WHEN %4 AND %5 AND %6 BEGIN "
                                     "SELECT %7; END")
                          .arg(triggerName("fk", key.table, key.name, event), when, child, on,
                               allNotNull(key.columns, QStringLiteral("NEW.")),
                               missingParent.arg(QStringLiteral("NEW")),
                               conflict(QLatin1String(verb), QStringLiteral("FOREIGN KEY"),
                                        key.name, key.referencedTable,
                                        key.referencedColumns.value(0)));
    }
    // The referenced side: rows that still point at a deleted or changed key.
    const QString referenced =
        QStringLiteral("EXISTS (SELECT 1 FROM %1 WHERE %2)")
            .arg(child,
                 matching(key.columns, QString(), key.referencedColumns, QStringLiteral("OLD.")));
    QStringList changed;
    for (const QString& c : key.referencedColumns)
        changed << QStringLiteral("OLD.%1 IS NOT NEW.%1").arg(quoteName(c));
    const QString keyChanged =
        QLatin1Char('(') + changed.join(QStringLiteral(" OR ")) + QLatin1Char(')');
    const QString updateOf =
        QStringLiteral("UPDATE OF ") + prefixed(key.referencedColumns, QString());
    if (key.onDelete == QLatin1String("NO ACTION"))
        statements << QStringLiteral("CREATE TRIGGER %1 BEFORE DELETE ON %2 WHEN %3 AND %4 BEGIN "
                                     "SELECT %5; END")
                          .arg(triggerName("fk", key.table, key.name, "pd"), parent, on, referenced,
                               conflict(QStringLiteral("DELETE"), QStringLiteral("REFERENCE"),
                                        key.name, key.table, key.columns.value(0)));
    else
        statements << QStringLiteral("CREATE TRIGGER %1 AFTER DELETE ON %2 WHEN %3 BEGIN %4 END")
                          .arg(triggerName("fk", key.table, key.name, "pd"), parent, on,
                               referentialAction(key, key.onDelete, true));
    if (key.onUpdate == QLatin1String("NO ACTION"))
        statements << QStringLiteral("CREATE TRIGGER %1 BEFORE %2 ON %3 WHEN %4 AND %5 AND %6 "
                                     "BEGIN SELECT %7; END")
                          .arg(triggerName("fk", key.table, key.name, "pu"), updateOf, parent, on,
                               keyChanged, referenced,
                               conflict(QStringLiteral("UPDATE"), QStringLiteral("REFERENCE"),
                                        key.name, key.table, key.columns.value(0)));
    else
        statements << QStringLiteral("CREATE TRIGGER %1 AFTER %2 ON %3 WHEN %4 AND %5 BEGIN %6 END")
                          .arg(triggerName("fk", key.table, key.name, "pu"), updateOf, parent, on,
                               keyChanged, referentialAction(key, key.onUpdate, false));
    return statements;
}

QStringList uniqueStatements(const UniqueKey& key) {
    const QString t = quoteName(key.table);
    const bool index = key.kind == UniqueKey::Kind::Index;
    const QString number = index ? QStringLiteral("2601") : QStringLiteral("2627");
    const QString kind = key.kind == UniqueKey::Kind::PrimaryKey ? QStringLiteral("PRIMARY KEY")
                         : index                                 ? QString()
                                                                 : QStringLiteral("UNIQUE KEY");
    const QString filter =
        key.filter.isEmpty() ? QString() : QStringLiteral(" AND (%1)").arg(key.filter);
    const QString failure = [&](const QString& prefix) {
        return QStringLiteral("tsql_duplicate_key(%1, %2, %3, %4, %5)")
            .arg(number, Token::literal(kind), Token::literal(key.table), Token::literal(key.name),
                 prefixed(key.columns, prefix));
    }(QStringLiteral("NEW."));
    QStringList statements{constraintTableDefinition()};
    if (!index && !isTemporaryTable(key.table))
        statements << recorded(
            key.table, key.name,
            key.kind == UniqueKey::Kind::PrimaryKey ? QStringLiteral("PK") : QStringLiteral("UQ"),
            key.columns, QString(), {}, QString(), QString(), QString(), false, QString(),
            key.systemNamed);
    if (key.recordOnly)
        return statements;
    // Rows there are already: the server refuses the index over duplicates.
    const QString grouped = prefixed(key.columns, QString());
    statements << failWhenFound(
        QStringLiteral("SELECT tsql_duplicate_key(1505, '', %1, %2, %3) FROM %4 WHERE 1%5 GROUP "
                       "BY %3 HAVING count(*) > 1")
            .arg(Token::literal(key.table), Token::literal(key.name), grouped, t, filter));
    if (!key.keptBySqlite) {
        // The lookups of the triggers below; uniqueness is theirs, since the
        // server lets one NULL in and SQLite any number.
        statements << QStringLiteral("CREATE INDEX %1 ON %2 (%3)%4")
                          .arg(quoteName(key.table + QLatin1Char('.') + key.name), t, grouped,
                               key.filter.isEmpty() ? QString()
                                                    : QStringLiteral(" WHERE ") + key.filter);
        for (const auto& [event, when] :
             {std::pair{"i", QStringLiteral("AFTER INSERT")},
              std::pair{"u", QStringLiteral("AFTER UPDATE OF ") + grouped}})
            statements << createTriggerPrefix(key.table) +
                              QStringLiteral("%1 %2 ON %3 WHEN EXISTS (SELECT 1 FROM %3 WHERE "
                                             "rowid <> NEW.rowid AND %4%5)%6 BEGIN SELECT %7; END")
                                  .arg(triggerName("uq", key.table, key.name, event), when, t,
                                       matching(key.columns, QString(), key.columns,
                                                QStringLiteral("NEW."), QStringLiteral("IS")),
                                       filter,
                                       key.filter.isEmpty()
                                           ? QString()
                                           : QStringLiteral(" AND EXISTS (SELECT 1 FROM %1 WHERE "
                                                            "rowid = NEW.rowid%2)")
                                                 .arg(t, filter),
                                       failure);
        return statements;
    }
    // SQLite's own key refuses the row too, but before any AFTER trigger and
    // without the key's name or value: these run first.
    const QString same = matching(key.columns, QString(), key.columns, QStringLiteral("NEW."));
    statements << createTriggerPrefix(key.table) +
                      QStringLiteral("%1 BEFORE INSERT ON %2 WHEN EXISTS (SELECT 1 FROM %2 WHERE "
                                     "%3) BEGIN SELECT %4; END")
                          .arg(triggerName("uq", key.table, key.name, "i"), t, same, failure);
    statements << createTriggerPrefix(key.table) +
                      QStringLiteral("%1 BEFORE UPDATE OF %2 ON %3 WHEN EXISTS (SELECT 1 FROM %3 "
                                     "WHERE rowid <> OLD.rowid AND %4) BEGIN SELECT %5; END")
                          .arg(triggerName("uq", key.table, key.name, "u"), grouped, t, same,
                               failure);
    return statements;
}

QStringList defaultStatements(const DefaultConstraint& constraint) {
    if (isTemporaryTable(constraint.table))
        return {};
    return {constraintTableDefinition(),
            recorded(constraint.table, constraint.name, QStringLiteral("D"), {constraint.column},
                     QString(), {}, constraint.definition, QString(), QString(), false, QString(),
                     constraint.systemNamed)};
}

QStringList dropUniqueTriggers(const QString& table, const QString& index) {
    return {QStringLiteral("DROP TRIGGER IF EXISTS %1").arg(triggerName("uq", table, index, "i")),
            QStringLiteral("DROP TRIGGER IF EXISTS %1").arg(triggerName("uq", table, index, "u"))};
}

QStringList dropConstraintObjects(const QString& table, const QString& name) {
    QStringList statements;
    for (const auto& [family, event] :
         {std::pair{"ck", "i"}, std::pair{"ck", "u"}, std::pair{"fk", "i"}, std::pair{"fk", "u"},
          std::pair{"fk", "pd"}, std::pair{"fk", "pu"}, std::pair{"uq", "i"}, std::pair{"uq", "u"}})
        statements << QStringLiteral("DROP TRIGGER IF EXISTS %1")
                          .arg(triggerName(family, table, name, event));
    statements << QStringLiteral("DROP INDEX IF EXISTS %1")
                      .arg(quoteName(table + QLatin1Char('.') + name));
    return statements;
}

} // namespace estaciones::db::tsql::schema
