#include "platform/db/embedded/translate/SchemaStatements.h"
#include "platform/db/embedded/translate/StoredDefinitions.h"

#include "platform/db/embedded/errors/SqlServerErrors.h"
#include "platform/db/embedded/functions/SqliteFunctions.h"
#include "platform/db/embedded/storage/DateText.h"
#include "platform/db/embedded/storage/StoredColumns.h"
#include "platform/db/embedded/storage/TypeNames.h"
#include "platform/db/embedded/translate/ComputedColumnDefinitions.h"
#include "platform/db/embedded/translate/ConstraintTriggers.h"
#include "platform/db/embedded/translate/IdentityColumns.h"
#include "platform/db/embedded/translate/Rewrites.h"

#include <QSet>

namespace estaciones::db::tsql::schema {

namespace {

bool isIntegerTypeName(const QString& typeName) {
    return typeName == QLatin1String("tinyint") || typeName == QLatin1String("smallint") ||
           typeName == QLatin1String("int") || typeName == QLatin1String("bigint");
}

using rewrite::rewriteQuery;
using sqlite::failWith;
namespace native = sqlite::native;

QString translatedText(Pieces pieces, const DialectSettings& settings) {
    rewriteQuery(pieces, settings);
    return render(pieces).trimmed();
}

// Defaults SQLite cannot keep in the column (ALTER TABLE ADD COLUMN takes
// constants only) are filled in after the insert.
QString defaultTrigger(const QString& table, const QString& column, const QString& expression) {
    const QString t = quoteName(table);
    const QString c = quoteName(column);
    return createTriggerPrefix(table) +
           QStringLiteral("%1 AFTER INSERT ON %2 WHEN NEW.%3 IS NULL BEGIN UPDATE %2 SET %3 = (%4) "
                          "WHERE rowid = NEW.rowid; END")
               .arg(quoteName(QStringLiteral("tsql_default_%1_%2").arg(table, column)), t, c,
                    expression);
}

// The constraints a definition declares that the engine's triggers enforce.
struct DeclaredConstraints {
    std::vector<CheckConstraint> checks;
    std::vector<ForeignKey> foreignKeys;
    std::vector<UniqueKey> uniqueKeys;
    std::vector<DefaultConstraint> defaults;

    void add(DeclaredConstraints other) {
        for (auto& d : other.defaults)
            defaults.push_back(std::move(d));
        for (auto& c : other.checks)
            checks.push_back(std::move(c));
        for (auto& k : other.foreignKeys)
            foreignKeys.push_back(std::move(k));
        for (auto& u : other.uniqueKeys)
            uniqueKeys.push_back(std::move(u));
    }

    // `checkExistingRows`: CHECK and FOREIGN KEY refuse rows the table has
    // (WITH CHECK); keys always do.
    QStringList statements(bool checkExistingRows) const {
        QStringList out;
        for (const UniqueKey& key : uniqueKeys)
            out += uniqueStatements(key);
        for (const CheckConstraint& check : checks)
            out += checkStatements(check, checkExistingRows);
        for (const ForeignKey& key : foreignKeys)
            out += foreignKeyStatements(key, checkExistingRows);
        for (const DefaultConstraint& d : defaults)
            out += defaultStatements(d);
        return out;
    }
};

// The one column of `table` a CHECK expression reads, if only one: the
// server names it in its 547 text.
QString onlyColumnRead(const Pieces& expression) {
    QSet<QString> names;
    QString first;
    for (size_t i = 0; i < expression.size(); ++i) {
        const Piece& p = expression[i];
        if (!p.isNameLike() || (p.kind == TokenKind::Word && isReservedWord(p)))
            continue;
        if (i + 1 < expression.size() && expression[i + 1].isPunctuation(u"("))
            continue; // a function
        if (names.isEmpty())
            first = p.value();
        names.insert(p.value().toLower());
    }
    return names.size() == 1 ? first : QString();
}

CheckConstraint parseCheck(const QString& table, const QString& name, const Pieces& expression,
                           const DialectSettings& settings, const QString& column = {}) {
    CheckConstraint check;
    check.table = table;
    check.expression = translatedText(expression, settings);
    check.definition = storedDefinition(expression);
    check.column = column.isEmpty() ? onlyColumnRead(expression) : column;
    check.name = name.isEmpty() ? generatedName(QStringLiteral("CK"), table, check.column,
                                                render(expression).trimmed())
                                : name;
    check.systemNamed = name.isEmpty();
    return check;
}

// REFERENCES parent [(cols)] [ON DELETE action] [ON UPDATE action] [NOT FOR REPLICATION],
// `at` on REFERENCES.
ForeignKey parseForeignKey(const QString& table, const QString& name, const QStringList& columns,
                           const Pieces& def, size_t at, size_t* end) {
    ForeignKey key;
    key.table = table;
    key.columns = columns;
    key.name = name.isEmpty() ? generatedName(QStringLiteral("FK"), table, columns.value(0),
                                              render(def).trimmed())
                              : name;
    key.systemNamed = name.isEmpty();
    size_t k = at + 1;
    if (k < def.size())
        key.referencedTable = def[k++].value();
    if (k < def.size() && def[k].isPunctuation(u"(")) {
        for (const auto& [from, to] : splitTopLevel(def, k + 1, closeOf(def, k)))
            if (from < to)
                key.referencedColumns << def[from].value();
        k = closeOf(def, k) + 1;
    }
    if (key.referencedColumns.isEmpty())
        // The referenced table's key would need the catalogue the translator has not.
        failWith(native::NotSupported,
                 {QStringLiteral("REFERENCES %1 without its columns").arg(key.referencedTable)});
    while (k < def.size()) {
        if (def[k].isWord(u"ON") && k + 2 < def.size()) {
            const bool onDelete = def[k + 1].isWord(u"DELETE");
            QString action;
            size_t next = k + 2;
            if (def[next].isWord(u"CASCADE")) {
                action = QStringLiteral("CASCADE");
                next += 1;
            } else if (next + 1 < def.size()) {
                action = def[next].text.toUpper() + QLatin1Char(' ') + def[next + 1].text.toUpper();
                next += 2;
            }
            (onDelete ? key.onDelete : key.onUpdate) = action;
            k = next;
        } else if (k + 2 < def.size() && def[k].isWord(u"NOT") && def[k + 1].isWord(u"FOR")) {
            k += 3; // NOT FOR REPLICATION
        } else {
            break;
        }
    }
    *end = k;
    return key;
}

UniqueKey parseUniqueKey(const QString& table, const QString& name, const QStringList& columns,
                         bool primary) {
    UniqueKey key;
    key.table = table;
    key.columns = columns;
    key.kind = primary ? UniqueKey::Kind::PrimaryKey : UniqueKey::Kind::UniqueConstraint;
    key.name = name.isEmpty() ? generatedName(primary ? QStringLiteral("PK") : QStringLiteral("UQ"),
                                              table, QString(), columns.join(QLatin1Char(',')))
                              : name;
    key.systemNamed = name.isEmpty();
    return key;
}

// A DEFAULT as the catalogue lists it; one written without a name gets the
// server's pattern of name (DF__table__colum__…).
DefaultConstraint namedDefault(const QString& table, const QString& name, const QString& column,
                               const Pieces& expression) {
    const QString written = render(expression).trimmed();
    return {table, name.isEmpty() ? generatedName(QStringLiteral("DF"), table, column, written) : name,
            column, storedDefinition(expression), name.isEmpty()};
}

struct Column {
    QString name;
    QString sql;
    std::optional<Identity> identity;
    bool primaryKey = false;                  // declared on the column
    bool rowidCounter = false;                // an identity key kept as SQLite's own counter
    QStringList after;                        // statements to run once the table exists
    bool notNull = false;                     // as declared (an added column may not enforce it)
    std::optional<QString> defaultExpression; // translated
    bool defaultByTrigger = false;            // not kept in the column itself
    bool withValues = false;                  // DEFAULT ... WITH VALUES
    DeclaredConstraints constraints;          // CHECK, REFERENCES, UNIQUE, PRIMARY KEY
};

bool startsConstraint(const Pieces& pieces, size_t k) {
    static const QSet<QString> words = {
        "constraint", "null",     "primary",    "unique",  "check",  "references", "foreign",
        "collate",    "identity", "rowguidcol", "default", "sparse", "with"};
    const Piece& p = pieces[k];
    if (p.isWord(u"NOT"))
        return true;
    return p.kind == TokenKind::Word && words.contains(p.text.toLower());
}

// A constant SQLite accepts as a column default: a literal, maybe signed or in parentheses.
bool isConstant(const Pieces& pieces) {
    const Piece* previous = nullptr;
    for (const Piece& p : pieces) {
        // ADD COLUMN takes a signed literal (-1), not an operation (1 + 1): that
        // default is left to the trigger.
        const bool sign = (p.isPunctuation(u"-") || p.isPunctuation(u"+")) &&
                          (!previous || previous->isPunctuation(u"("));
        previous = &p;
        if (p.kind == TokenKind::Punctuation &&
            !(p.isPunctuation(u"(") || p.isPunctuation(u")") || sign))
            return false;
        if (p.kind == TokenKind::Word && !p.isWord(u"NULL"))
            return false;
        if (p.kind == TokenKind::Variable || p.kind == TokenKind::Parameter ||
            p.kind == TokenKind::QuotedName)
            return false;
    }
    return true;
}

// One column definition: name type [(n)] constraints...
// `tableKey`: the table's PRIMARY KEY constraint names this column alone;
// `inTableKey`: it names this column among others.
Column translateColumn(const QString& table, const Pieces& def, const DialectSettings& settings,
                       bool addedLater, bool tableKey = false, bool inTableKey = false) {
    Column column;
    column.name = def[0].value();
    const QString quoted = quoteName(column.name);
    size_t k = 1;
    // A computed column: its expression runs up to PERSISTED or its first
    // constraint; its type is its expression's, which the binder declares.
    std::optional<QString> computed;
    size_t expressionEnd = 0;
    bool persisted = false;
    if (k < def.size() && def[k].isWord(u"AS")) {
        k = 2;
        while (k < def.size() && !def[k].isWord(u"PERSISTED") && !startsConstraint(def, k))
            k = def[k].isPunctuation(u"(")
                    ? closeOf(def, k) + 1
                    : (def[k].isWord(u"CASE") ? endOfCase(def, k) + 1 : k + 1);
        computed = translatedText(slice(def, 2, k), settings);
        expressionEnd = k;
        persisted = k < def.size() && def[k].isWord(u"PERSISTED");
        if (persisted)
            ++k;
    }
    // SQLite keeps no generated column in a key, nor a key column added later.
    const bool keyKeptBySqlite = !addedLater && !computed;
    QString tsqlType;
    if (!computed && k < def.size() && def[k].isNameLike()) {
        tsqlType = def[k].value();
        ++k;
        if (k < def.size() && def[k].isPunctuation(u"(")) {
            const size_t close = closeOf(def, k);
            tsqlType += render(def, k, close + 1).remove(QLatin1Char(' '));
            k = close + 1;
        }
    }
    const DeclaredType type = describeDeclaredType(tsqlType);
    QStringList constraints;
    QString collation = type.isText
                            ? QString::fromLatin1(textCollation)
                            : (type.isDate ? QString::fromLatin1(dateCollation) : QString());
    QString constraintName;
    while (k < def.size()) {
        const Piece& p = def[k];
        const auto named = [&](const QString& sql) {
            constraints
                << (constraintName.isEmpty()
                        ? sql
                        : QStringLiteral("CONSTRAINT %1 %2").arg(quoteName(constraintName), sql));
            constraintName.clear();
        };
        // The extent of a constraint's body: up to the next constraint keyword.
        const auto bodyEnd = [&](size_t from) {
            size_t j = from;
            int depth = 0;
            for (; j < def.size(); ++j) {
                if (def[j].isPunctuation(u"("))
                    ++depth;
                else if (def[j].isPunctuation(u")"))
                    --depth;
                else if (depth == 0 && startsConstraint(def, j))
                    break;
            }
            return j;
        };
        if (p.isWord(u"CONSTRAINT") && k + 1 < def.size()) {
            constraintName = def[k + 1].value();
            k += 2;
        } else if (p.isWord(u"IDENTITY")) {
            Identity identity;
            ++k;
            if (k < def.size() && def[k].isPunctuation(u"(")) {
                const size_t close = closeOf(def, k);
                const auto args = splitTopLevel(def, k + 1, close);
                if (args.size() == 2) {
                    identity.seed =
                        render(def, args[0].first, args[0].second).trimmed().toLongLong();
                    identity.step =
                        render(def, args[1].first, args[1].second).trimmed().toLongLong();
                }
                k = close + 1;
            }
            column.identity = identity;
        } else if (p.isWord(u"NOT") && k + 1 < def.size() && def[k + 1].isWord(u"NULL")) {
            constraints << QStringLiteral("NOT NULL");
            column.notNull = true;
            k += 2;
        } else if (p.isWord(u"WITH") && k + 1 < def.size() && def[k + 1].isWord(u"VALUES")) {
            column.withValues = true;
            k += 2;
        } else if (p.isWord(u"NOT") && k + 2 < def.size() && def[k + 1].isWord(u"FOR")) {
            k += 3; // NOT FOR REPLICATION
        } else if (p.isWord(u"NULL")) {
            constraints << QStringLiteral("NULL");
            ++k;
        } else if (p.isWord(u"DEFAULT")) {
            const size_t end = bodyEnd(k + 1);
            const Pieces expression = slice(def, k + 1, end);
            if (expression.empty()) {
                // DEFAULT with nothing after it: the column list closes there.
                sqlite::failWith(sqlite::native::SyntaxError, {QStringLiteral(")")});
            }
            const QString text = translatedText(expression, settings);
            column.defaultExpression = text;
            column.constraints.defaults.push_back(
                namedDefault(table, constraintName, column.name, expression));
            if (addedLater && !isConstant(expression)) {
                column.after << defaultTrigger(table, column.name, text);
                column.defaultByTrigger = true;
                constraintName.clear();
            } else {
                const bool parenthesised = expression.front().isPunctuation(u"(") &&
                                           closeOf(expression, 0) == expression.size() - 1;
                named(
                    (parenthesised ? QStringLiteral("DEFAULT %1") : QStringLiteral("DEFAULT (%1)"))
                        .arg(text));
            }
            k = end;
        } else if (p.isWord(u"PRIMARY")) {
            k += 2;
            while (k < def.size() &&
                   (def[k].isWord(u"CLUSTERED") || def[k].isWord(u"NONCLUSTERED") ||
                    def[k].isWord(u"ASC") || def[k].isWord(u"DESC")))
                ++k;
            // SQLite cannot add a key column to a table it has: the triggers keep that one.
            column.primaryKey = keyKeptBySqlite;
            column.constraints.uniqueKeys.push_back(
                parseUniqueKey(table, constraintName, {column.name}, true));
            column.constraints.uniqueKeys.back().keptBySqlite = keyKeptBySqlite;
            if (!keyKeptBySqlite)
                constraintName.clear();
            else
                named(QStringLiteral("PRIMARY KEY"));
        } else if (p.isWord(u"UNIQUE")) {
            ++k;
            while (k < def.size() &&
                   (def[k].isWord(u"CLUSTERED") || def[k].isWord(u"NONCLUSTERED")))
                ++k;
            column.constraints.uniqueKeys.push_back(
                parseUniqueKey(table, constraintName, {column.name}, false));
            constraintName.clear();
        } else if (p.isWord(u"CHECK")) {
            const size_t end = bodyEnd(k + 1);
            column.constraints.checks.push_back(
                parseCheck(table, constraintName, slice(def, k + 1, end), settings, column.name));
            constraintName.clear();
            k = end;
        } else if (p.isWord(u"FOREIGN") || p.isWord(u"REFERENCES")) {
            if (p.isWord(u"FOREIGN"))
                k += 2; // FOREIGN KEY
            size_t end = k;
            column.constraints.foreignKeys.push_back(
                parseForeignKey(table, constraintName, {column.name}, def, k, &end));
            constraintName.clear();
            k = end;
        } else if (p.isWord(u"COLLATE") && k + 1 < def.size()) {
            if (type.isText)
                collation = def[k + 1].text;
            k += 2;
        } else {
            ++k; // ROWGUIDCOL, SPARSE, FILESTREAM: nothing to keep
        }
    }
    // A key column whose nullability is not written is NOT NULL (SQLite lets
    // NULLs into a key that is not the rowid).
    if ((column.primaryKey || tableKey || inTableKey) && !addedLater && !column.notNull &&
        !constraints.contains(QStringLiteral("NULL"))) {
        constraints.prepend(QStringLiteral("NOT NULL"));
        column.notNull = true;
    }
    // SQLite refuses NOT NULL without a constant default on a table with
    // rows, and checks it before the trigger that numbers an identity: those
    // columns' values are filled in after the insert instead.
    // SQLite's counter goes up by one: a key of another increment is numbered
    // by the identity's trigger like any other column.
    const bool rowidCounter =
        column.identity && column.identity->step == 1 && (column.primaryKey || tableKey);
    if (column.notNull && ((addedLater && column.defaultByTrigger) ||
                           (column.identity && !rowidCounter)))
        constraints.removeAll(QStringLiteral("NOT NULL"));
    QString sqlType = sqliteDeclaredType(tsqlType);
    if (rowidCounter) {
        column.rowidCounter = true;
        // SQLite's own counter: the rowid alias with AUTOINCREMENT never reuses values.
        sqlType = QStringLiteral("INTEGER");
        if (!column.primaryKey)
            constraints << QStringLiteral("PRIMARY KEY");
        for (QString& c : constraints)
            if (c.endsWith(QLatin1String("PRIMARY KEY")))
                c += QStringLiteral(" AUTOINCREMENT");
        column.primaryKey = true;
        // The rowid alias refuses duplicates itself; the key is only listed.
        for (UniqueKey& key : column.constraints.uniqueKeys)
            key.recordOnly = key.recordOnly || key.kind == UniqueKey::Kind::PrimaryKey;
    }
    if (computed) {
        // SQLite adds no stored column to a table it has: computed when read, the values agree.
        column.sql = QStringLiteral("%1 GENERATED ALWAYS AS (%2) %3")
                         .arg(quoted, *computed,
                              persisted && !addedLater ? QStringLiteral("STORED")
                                                       : QStringLiteral("VIRTUAL"));
        if (!constraints.isEmpty())
            column.sql += QLatin1Char(' ') + constraints.join(QLatin1Char(' '));
        if (!isTemporaryTable(table))
            column.after += recordComputedDefinition(
                table, column.name, storedDefinition(slice(def, 2, expressionEnd)), persisted);
        return column;
    }
    column.sql = quoted + QLatin1Char(' ') + sqliteColumnType(sqlType);
    if (!collation.isEmpty())
        column.sql += QStringLiteral(" COLLATE ") + collation;
    if (!constraints.isEmpty())
        column.sql += QLatin1Char(' ') + constraints.join(QLatin1Char(' '));
    if (type.isText && type.characterLength && *type.characterLength > 0)
        // tsql_max_length fails with SQL Server's 8152 itself; the name says it too.
        column.sql += QStringLiteral(" CONSTRAINT %1 CHECK (tsql_max_length(%2, %3))")
                          .arg(quoteName(QStringLiteral("E8152_") + column.name), quoted)
                          .arg(*type.characterLength);
    if (isIntegerTypeName(type.typeName))
        // What does not fit the column fails the statement with 8115 or 220.
        column.sql += QStringLiteral(" CONSTRAINT %1 CHECK (tsql_integer_range(%2, '%3'))")
                          .arg(quoteName(QStringLiteral("E8115_") + column.name), quoted,
                               type.typeName);
    column.after << storeTriggers(table, column.name, tsqlType);
    return column;
}

bool isTableConstraint(const Pieces& pieces, size_t from) {
    return pieces[from].isWord(u"CONSTRAINT") || pieces[from].isWord(u"PRIMARY") ||
           pieces[from].isWord(u"UNIQUE") || pieces[from].isWord(u"FOREIGN") ||
           pieces[from].isWord(u"CHECK") || pieces[from].isWord(u"INDEX");
}

// The column list of PRIMARY KEY (a ASC, b) without sort orders.
QStringList keyColumns(const Pieces& pieces, size_t open) {
    QStringList columns;
    const size_t close = closeOf(pieces, open);
    for (const auto& [from, to] : splitTopLevel(pieces, open + 1, close))
        if (from < to)
            columns << pieces[from].value();
    return columns;
}

// The column list of PRIMARY KEY (a DESC, b) quoted for SQLite, a
// descending column kept so (its index then lists it so to the catalogue).
QString quotedKeyList(const Pieces& pieces, size_t open) {
    QStringList quoted;
    const size_t close = closeOf(pieces, open);
    for (const auto& [from, to] : splitTopLevel(pieces, open + 1, close))
        if (from < to)
            quoted << quoteName(pieces[from].value()) +
                          (pieces[to - 1].isWord(u"DESC") ? QStringLiteral(" DESC") : QString());
    return quoted.join(QStringLiteral(", "));
}

// CONSTRAINT x PRIMARY KEY [CLUSTERED] (cols) | UNIQUE (cols) | FOREIGN KEY (a) REFERENCES ... |
// CHECK (...). A primary key of CREATE TABLE stays SQLite's own (its SQL is
// returned); the rest go to `declared`.
QString translateTableConstraint(const QString& table, const Pieces& def,
                                 const DialectSettings& settings, QStringList* primaryKey,
                                 DeclaredConstraints* declared) {
    size_t k = 0;
    QString name;
    if (def[k].isWord(u"CONSTRAINT") && k + 1 < def.size()) {
        name = def[k + 1].value();
        k += 2;
    }
    if (k >= def.size())
        return {};
    const auto openAfter = [&](size_t from) {
        while (from < def.size() && !def[from].isPunctuation(u"("))
            ++from;
        return from;
    };
    if (def[k].isWord(u"PRIMARY") || def[k].isWord(u"UNIQUE")) {
        const bool pk = def[k].isWord(u"PRIMARY");
        const size_t open = openAfter(k);
        if (open >= def.size())
            return {};
        const QStringList columns = keyColumns(def, open);
        UniqueKey key = parseUniqueKey(table, name, columns, pk);
        key.keptBySqlite = pk && primaryKey;
        declared->uniqueKeys.push_back(key);
        if (!key.keptBySqlite)
            return {};
        *primaryKey = columns;
        return QStringLiteral("CONSTRAINT %1 PRIMARY KEY (%2)")
            .arg(quoteName(key.name), quotedKeyList(def, open));
    }
    if (def[k].isWord(u"FOREIGN")) {
        const size_t open = openAfter(k);
        const size_t references = findTopLevelWord(def, open, def.size(), u"REFERENCES");
        if (open >= def.size() || references >= def.size())
            return {};
        size_t end = references;
        declared->foreignKeys.push_back(
            parseForeignKey(table, name, keyColumns(def, open), def, references, &end));
        return {};
    }
    if (def[k].isWord(u"CHECK")) {
        size_t from = k + 1;
        if (from + 2 < def.size() && def[from].isWord(u"NOT") && def[from + 1].isWord(u"FOR"))
            from += 3; // NOT FOR REPLICATION
        declared->checks.push_back(parseCheck(table, name, slice(def, from, def.size()), settings));
        return {};
    }
    return {};
}

// ALTER TABLE t ADD c ...: what the existing rows hold afterwards follows SQL
// Server. A nullable column stays NULL in them unless WITH VALUES asks for
// the default; a NOT NULL column takes its default; an identity column is
// numbered in the rows' order.
QStringList addedColumn(const QString& table, const Pieces& def, const DialectSettings& settings) {
    const Column column = translateColumn(table, def, settings, true);
    const QString t = quoteName(table);
    const QString c = quoteName(column.name);
    QStringList statements{QStringLiteral("ALTER TABLE %1 ADD COLUMN %2").arg(t, column.sql)};
    const bool filled = column.notNull || column.withValues;
    if (column.defaultExpression && !filled && !column.defaultByTrigger)
        statements << QStringLiteral("UPDATE %1 SET %2 = NULL").arg(t, c);
    else if (column.defaultExpression && filled && column.defaultByTrigger)
        statements
            << QStringLiteral("UPDATE %1 SET %2 = (%3)").arg(t, c, *column.defaultExpression);
    if (column.identity && !column.primaryKey) {
        statements << QStringLiteral("UPDATE %1 SET %2 = (SELECT count(*) FROM %1 AS earlier WHERE "
                                     "earlier.rowid < %1.rowid) * %3 + %4")
                          .arg(t, c)
                          .arg(column.identity->step)
                          .arg(column.identity->seed);
        statements += identityStatements(table, column.name, *column.identity, false);
    }
    statements += column.after;
    statements += column.constraints.statements(true);
    return statements;
}

// ALTER TABLE t ALTER COLUMN c type [(n)] [COLLATE x] [NULL | NOT NULL]: the
// function checks what depends on the column and the values, then changes
// the definition; a date column's triggers follow its type.
QStringList alteredColumn(const QString& table, const Pieces& def,
                          const DialectSettings& settings) {
    const Column column = translateColumn(table, def, settings, false);
    QString type = def[1].value();
    if (def.size() > 2 && def[2].isPunctuation(u"("))
        type += render(def, 2, closeOf(def, 2) + 1).remove(QLatin1Char(' '));
    QStringList statements{
        constraintTableDefinition(),
        callingStatement(QStringLiteral("SELECT tsql_alter_column(%1, %2, %3, %4, %5)")
                             .arg(Token::string(table).text, Token::string(column.name).text,
                                  Token::string(column.sql).text, Token::string(type).text,
                                  column.notNull ? QStringLiteral("1") : QStringLiteral("0")))};
    return statements + dropStoreTriggers(table, column.name) + column.after;
}

// ALTER TABLE t [WITH CHECK | WITH NOCHECK] ADD [CONSTRAINT n] ...
QStringList addedConstraint(const QString& table, const Pieces& def,
                            const DialectSettings& settings, bool checkExistingRows) {
    size_t c = 0;
    QString name;
    if (def[c].isWord(u"CONSTRAINT") && def.size() > 2) {
        name = def[c + 1].value();
        c += 2;
    }
    if (def[c].isWord(u"DEFAULT")) {
        const size_t forAt = findTopLevelWord(def, c + 1, def.size(), u"FOR");
        if (forAt + 1 >= def.size())
            failWith(native::NotSupported, {QStringLiteral("DEFAULT without FOR column")});
        const QString column = def[forAt + 1].value();
        const Pieces expression = slice(def, c + 1, forAt);
        return QStringList{defaultTrigger(table, column, translatedText(expression, settings))} +
               defaultStatements(namedDefault(table, name, column, expression));
    }
    DeclaredConstraints declared;
    translateTableConstraint(table, def, settings, nullptr, &declared);
    if (declared.checks.empty() && declared.foreignKeys.empty() && declared.uniqueKeys.empty())
        failWith(native::NotSupported, {render(def).trimmed()});
    return declared.statements(checkExistingRows);
}

} // namespace

QString indexName(const QString& table, const QString& index) {
    return table + QLatin1Char('.') + index;
}

std::optional<QStringList> createTable(Pieces pieces, const DialectSettings& settings) {
    if (pieces.size() < 4 || !pieces[0].isWord(u"CREATE") || !pieces[1].isWord(u"TABLE"))
        return std::nullopt;
    const QString table = pieces[2].value();
    const size_t open = 3;
    if (open >= pieces.size() || !pieces[open].isPunctuation(u"("))
        return std::nullopt;
    const size_t close = closeOf(pieces, open);
    const auto items = splitTopLevel(pieces, open + 1, close);
    QStringList tableConstraints;
    QStringList primaryKey;
    DeclaredConstraints declared;
    for (const auto& [from, to] : items) {
        if (from < to && isTableConstraint(pieces, from)) {
            const QString sql = translateTableConstraint(table, slice(pieces, from, to), settings,
                                                         &primaryKey, &declared);
            if (!sql.isEmpty())
                tableConstraints << sql;
        }
    }
    std::vector<Column> columns;
    QStringList after;
    bool keyIsIdentity = false;
    for (const auto& [from, to] : items) {
        if (from >= to || isTableConstraint(pieces, from))
            continue;
        const bool tableKey =
            primaryKey.size() == 1 &&
            primaryKey.front().compare(pieces[from].value(), Qt::CaseInsensitive) == 0;
        const bool inTableKey = primaryKey.contains(pieces[from].value(), Qt::CaseInsensitive);
        Column column =
            translateColumn(table, slice(pieces, from, to), settings, false, tableKey, inTableKey);
        if (column.identity) {
            if (column.rowidCounter) {
                keyIsIdentity = keyIsIdentity || tableKey;
                if (column.identity->seed != 1)
                    after << QStringLiteral(
                                 "INSERT INTO sqlite_sequence (name, seq) VALUES (%1, %2)")
                                 .arg(Token::string(table).text)
                                 .arg(column.identity->seed - 1);
            }
            after += identityStatements(table, column.name, *column.identity, column.rowidCounter);
        }
        columns.push_back(std::move(column));
    }
    // The key now lives on the identity column itself, and the rowid alias refuses duplicates.
    if (keyIsIdentity) {
        tableConstraints.removeIf(
            [](const QString& c) { return c.contains(QLatin1String("PRIMARY KEY (")); });
        for (UniqueKey& key : declared.uniqueKeys)
            key.recordOnly = key.recordOnly || key.kind == UniqueKey::Kind::PrimaryKey;
    }
    QStringList definitions;
    for (Column& column : columns) {
        definitions << column.sql;
        after += column.after;
        declared.add(std::move(column.constraints));
    }
    after += declared.statements(true);
    definitions += tableConstraints;
    QStringList statements;
    statements << QStringLiteral("CREATE %1TABLE %2 (%3)")
                      .arg(isTemporaryTable(table) ? QStringLiteral("TEMP ") : QString(),
                           quoteName(table), definitions.join(QStringLiteral(", ")));
    statements += after;
    return statements;
}

std::optional<QStringList> alterTable(Pieces pieces, const DialectSettings& settings) {
    if (pieces.size() < 4 || !pieces[0].isWord(u"ALTER") || !pieces[1].isWord(u"TABLE"))
        return std::nullopt;
    const QString table = pieces[2].value();
    const QString t = quoteName(table);
    size_t k = 3;
    // WITH CHECK (the default for a new constraint) or WITH NOCHECK: whether the rows there are
    // must keep it.
    bool checkExistingRows = true;
    if (k + 1 < pieces.size() && pieces[k].isWord(u"WITH")) {
        checkExistingRows = pieces[k + 1].isWord(u"CHECK");
        k += 2;
    }
    if (k >= pieces.size())
        failWith(native::NotSupported, {render(pieces).trimmed()});
    QStringList statements;
    if (pieces[k].isWord(u"ADD")) {
        for (const auto& [from, to] : splitTopLevel(pieces, k + 1, pieces.size())) {
            if (from >= to)
                continue;
            const Pieces def = slice(pieces, from, to);
            if (isTableConstraint(pieces, from) || def[0].isWord(u"DEFAULT"))
                statements += addedConstraint(table, def, settings, checkExistingRows);
            else
                statements += addedColumn(table, def, settings);
        }
    } else if (pieces[k].isWord(u"DROP")) {
        ++k;
        bool constraint = true; // DROP name alone drops a constraint, as the server reads it
        if (k < pieces.size() && pieces[k].isWord(u"COLUMN")) {
            constraint = false;
            ++k;
        } else if (k < pieces.size() && pieces[k].isWord(u"CONSTRAINT")) {
            ++k;
        }
        bool ifExists = false;
        if (k + 1 < pieces.size() && pieces[k].isWord(u"IF") && pieces[k + 1].isWord(u"EXISTS")) {
            ifExists = true;
            k += 2;
        }
        statements << constraintTableDefinition();
        for (const auto& [from, to] : splitTopLevel(pieces, k, pieces.size())) {
            if (from >= to)
                continue;
            const QString name = pieces[from].value();
            if (!constraint) {
                statements << callingStatement(
                    QStringLiteral("SELECT tsql_refuse_dropped_column(%1, %2)")
                        .arg(Token::string(table).text, Token::string(name).text));
                statements
                    << QStringLiteral("ALTER TABLE %1 DROP COLUMN %2").arg(t, quoteName(name));
                statements += forgetComputedDefinitions(table, name);
                continue;
            }
            statements << callingStatement(
                QStringLiteral("SELECT tsql_drop_constraint(%1, %2, %3)")
                    .arg(Token::string(table).text, Token::string(name).text,
                         ifExists ? QStringLiteral("1") : QStringLiteral("0")));
            statements += dropConstraintObjects(table, name);
        }
    } else if (pieces[k].isWord(u"CHECK") || pieces[k].isWord(u"NOCHECK")) {
        // [WITH CHECK] CHECK | NOCHECK CONSTRAINT name, ... | ALL
        const bool enable = pieces[k].isWord(u"CHECK");
        if (k + 2 >= pieces.size() || !pieces[k + 1].isWord(u"CONSTRAINT"))
            failWith(native::NotSupported, {render(pieces).trimmed()});
        statements << constraintTableDefinition();
        for (const auto& [from, to] : splitTopLevel(pieces, k + 2, pieces.size())) {
            if (from >= to)
                continue;
            const bool all = to - from == 1 && pieces[from].isWord(u"ALL");
            statements << callingStatement(
                QStringLiteral("SELECT tsql_enable_constraints(%1, %2, %3, %4)")
                    .arg(Token::string(table).text,
                         all ? QStringLiteral("NULL") : Token::string(pieces[from].value()).text,
                         enable ? QStringLiteral("1") : QStringLiteral("0"),
                         enable && checkExistingRows && k > 3 ? QStringLiteral("1")
                                                              : QStringLiteral("0")));
        }
    } else if (pieces[k].isWord(u"ALTER") && k + 3 < pieces.size() &&
               pieces[k + 1].isWord(u"COLUMN") && !pieces[k + 3].isWord(u"ADD") &&
               !pieces[k + 3].isWord(u"DROP")) {
        statements += alteredColumn(table, slice(pieces, k + 2, pieces.size()), settings);
    } else {
        // The rest: refused by name rather than answered without being done.
        failWith(native::NotSupported,
                 {QStringLiteral("ALTER TABLE ") + pieces[k].text.toUpper() +
                  (k + 1 < pieces.size() ? QLatin1Char(' ') + pieces[k + 1].text.toUpper()
                                         : QString())});
    }
    return statements;
}

std::optional<QStringList> createIndex(Pieces pieces, const DialectSettings& settings) {
    if (pieces.empty() || !pieces[0].isWord(u"CREATE"))
        return std::nullopt;
    size_t k = 1;
    bool unique = false;
    while (k < pieces.size() && (pieces[k].isWord(u"UNIQUE") || pieces[k].isWord(u"CLUSTERED") ||
                                 pieces[k].isWord(u"NONCLUSTERED"))) {
        unique = unique || pieces[k].isWord(u"UNIQUE");
        ++k;
    }
    if (k + 4 >= pieces.size() || !pieces[k].isWord(u"INDEX") || !pieces[k + 2].isWord(u"ON"))
        return std::nullopt;
    const QString index = pieces[k + 1].value();
    const QString table = pieces[k + 3].value();
    const size_t open = k + 4;
    if (!pieces[open].isPunctuation(u"("))
        return std::nullopt;
    const size_t close = closeOf(pieces, open);
    const size_t where = findTopLevelWord(pieces, close + 1, pieces.size(), u"WHERE");
    const QString filter = where < pieces.size()
                               ? translatedText(slice(pieces, where + 1, pieces.size()), settings)
                               : QString();
    if (unique) {
        UniqueKey key;
        key.table = table;
        key.name = index;
        key.columns = keyColumns(pieces, open);
        key.filter = filter;
        return uniqueStatements(key);
    }
    QString sql = QStringLiteral("CREATE INDEX %1 ON %2 %3")
                      .arg(quoteName(indexName(table, index)), quoteName(table),
                           render(pieces, open, close + 1));
    if (!filter.isEmpty())
        sql += QStringLiteral(" WHERE ") + filter;
    return QStringList{sql};
}

std::optional<QStringList> dropIndex(Pieces pieces) {
    if (pieces.size() < 3 || !pieces[0].isWord(u"DROP") || !pieces[1].isWord(u"INDEX"))
        return std::nullopt;
    size_t k = 2;
    bool ifExists = false;
    if (k + 1 < pieces.size() && pieces[k].isWord(u"IF") && pieces[k + 1].isWord(u"EXISTS")) {
        ifExists = true;
        k += 2;
    }
    QStringList statements;
    for (const auto& [from, to] : splitTopLevel(pieces, k, pieces.size())) {
        QString table, index;
        if (to - from == 3 && pieces[from + 1].isWord(u"ON")) {
            index = pieces[from].value();
            table = pieces[from + 2].value();
        } else if (to - from == 3 && pieces[from + 1].isPunctuation(u".")) {
            table = pieces[from].value();
            index = pieces[from + 2].value();
        } else {
            continue;
        }
        statements << QStringLiteral("DROP INDEX %1%2")
                          .arg(ifExists ? QStringLiteral("IF EXISTS ") : QString(),
                               quoteName(indexName(table, index)));
        statements += dropUniqueTriggers(table, index);
    }
    return statements;
}

namespace {

// A view over one table whose columns are plain columns of it accepts
// inserts on SQL Server; SQLite needs an INSTEAD OF trigger for that. Omitted
// columns take the table's defaults, as they would on the server.
std::optional<QString> viewInsertTrigger(const QString& view, const QStringList& viewColumns,
                                         const Pieces& body) {
    if (body.empty() || !body[0].isWord(u"SELECT"))
        return std::nullopt;
    size_t k = 1;
    if (k < body.size() && body[k].isWord(u"TOP")) {
        k += body[k + 1].isPunctuation(u"(") ? closeOf(body, k + 1) - k + 1 : 2;
        if (k < body.size() && body[k].isWord(u"PERCENT"))
            ++k;
    }
    const size_t from = findTopLevelWord(body, k, body.size(), u"FROM");
    if (from + 1 >= body.size() || !body[from + 1].isNameLike())
        return std::nullopt;
    const QString table = body[from + 1].value();
    size_t after = from + 2;
    if (after < body.size() && body[after].isWord(u"AS"))
        ++after;
    if (after < body.size() && body[after].isNameLike() && !isReservedWord(body[after]))
        ++after;
    if (after < body.size() && !body[after].isWord(u"WHERE") && !body[after].isWord(u"ORDER"))
        return std::nullopt;
    QStringList targets, sources;
    const auto items = splitTopLevel(body, k, from);
    for (size_t i = 0; i < items.size(); ++i) {
        auto [first, last] = items[i];
        if (last - first >= 3 && body[first + 1].isPunctuation(u"."))
            first += 2; // qualifier
        if (first >= last || !body[first].isNameLike() || isReservedWord(body[first]))
            return std::nullopt;
        QString name = body[first].value();
        if (last - first == 3 && body[first + 1].isWord(u"AS"))
            name = body[first + 2].value();
        else if (last - first == 2)
            name = body[first + 1].value();
        else if (last - first != 1)
            return std::nullopt;
        if (i < static_cast<size_t>(viewColumns.size()))
            name = viewColumns[static_cast<qsizetype>(i)];
        targets << quoteName(body[first].value());
        sources << QStringLiteral("coalesce(NEW.%1, tsql_column_default(%2, %3))")
                       .arg(quoteName(name), Token::string(table).text,
                            Token::string(body[first].value()).text);
    }
    return QStringLiteral("CREATE TRIGGER %1 INSTEAD OF INSERT ON %2 BEGIN INSERT INTO %3 (%4) "
                          "VALUES (%5); END")
        .arg(quoteName(QStringLiteral("tsql_insert_") + view), quoteName(view), quoteName(table),
             targets.join(QStringLiteral(", ")), sources.join(QStringLiteral(", ")));
}

} // namespace

std::optional<QStringList> createOrAlterView(Pieces pieces, const DialectSettings& settings) {
    if (pieces.size() < 4 || !(pieces[0].isWord(u"CREATE") || pieces[0].isWord(u"ALTER")) ||
        !pieces[1].isWord(u"VIEW"))
        return std::nullopt;
    const bool alter = pieces[0].isWord(u"ALTER");
    const QString view = pieces[2].value();
    size_t k = 3;
    QString columns;
    QStringList columnNames;
    if (pieces[k].isPunctuation(u"(")) {
        const size_t close = closeOf(pieces, k);
        columns = QLatin1Char(' ') + render(pieces, k, close + 1).trimmed();
        for (const auto& [from, to] : splitTopLevel(pieces, k + 1, close))
            if (from < to)
                columnNames << pieces[from].value();
        k = close + 1;
    }
    // WITH SCHEMABINDING / ENCRYPTION / VIEW_METADATA: nothing to keep.
    if (k < pieces.size() && pieces[k].isWord(u"WITH"))
        k = findTopLevelWord(pieces, k, pieces.size(), u"AS");
    if (k >= pieces.size() || !pieces[k].isWord(u"AS"))
        return std::nullopt;
    Pieces body = slice(pieces, k + 1, pieces.size());
    // WITH CHECK OPTION at the end: SQLite views are read-only anyway.
    if (body.size() >= 3 && body[body.size() - 3].isWord(u"WITH") &&
        body[body.size() - 2].isWord(u"CHECK") && body.back().isWord(u"OPTION"))
        body.resize(body.size() - 3);
    QStringList statements;
    if (alter)
        statements << QStringLiteral("DROP VIEW IF EXISTS %1").arg(quoteName(view));
    statements << QStringLiteral("CREATE VIEW %1%2 AS %3")
                      .arg(quoteName(view), columns, translatedText(body, settings));
    if (const auto trigger = viewInsertTrigger(view, columnNames, body))
        statements << *trigger;
    return statements;
}

std::optional<QStringList> truncateTable(Pieces pieces) {
    if (pieces.size() != 3 || !pieces[0].isWord(u"TRUNCATE") || !pieces[1].isWord(u"TABLE"))
        return std::nullopt;
    return QStringList{QStringLiteral("DELETE FROM %1").arg(quoteName(pieces[2].value()))};
}

std::optional<QStringList> selectInto(Pieces pieces, const DialectSettings& settings) {
    if (pieces.empty() || !pieces[0].isWord(u"SELECT"))
        return std::nullopt;
    const size_t into = findTopLevelWord(pieces, 1, pieces.size(), u"INTO");
    if (into + 1 >= pieces.size())
        return std::nullopt;
    const QString table = pieces[into + 1].value();
    pieces.erase(pieces.begin() + static_cast<std::ptrdiff_t>(into),
                 pieces.begin() + static_cast<std::ptrdiff_t>(into + 2));
    return QStringList{QStringLiteral("CREATE %1TABLE %2 AS %3")
                           .arg(isTemporaryTable(table) ? QStringLiteral("TEMP ") : QString(),
                                quoteName(table), translatedText(pieces, settings))};
}

} // namespace estaciones::db::tsql::schema
