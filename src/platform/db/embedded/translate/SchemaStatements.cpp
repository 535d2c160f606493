#include "platform/db/embedded/translate/SchemaStatements.h"

#include "platform/db/embedded/errors/SqlServerErrors.h"
#include "platform/db/embedded/functions/SqliteFunctions.h"
#include "platform/db/embedded/storage/DateText.h"
#include "platform/db/embedded/storage/TypeNames.h"
#include "platform/db/embedded/translate/Rewrites.h"

#include <QSet>

namespace estaciones::db::tsql::schema {

namespace {

using rewrite::rewriteQuery;

Pieces slice(const Pieces& pieces, size_t from, size_t to) {
    to = std::min(to, pieces.size());
    return from < to ? Pieces(pieces.begin() + static_cast<std::ptrdiff_t>(from),
                              pieces.begin() + static_cast<std::ptrdiff_t>(to))
                     : Pieces();
}

QString translatedText(Pieces pieces, const DialectSettings& settings) {
    rewriteQuery(pieces, settings);
    return render(pieces).trimmed();
}

bool isTemporary(const QString& table) {
    return table.startsWith(QLatin1Char('#'));
}

QString triggerPrefix(const QString& table) {
    return isTemporary(table) ? QStringLiteral("CREATE TEMP TRIGGER ")
                              : QStringLiteral("CREATE TRIGGER ");
}

// Defaults SQLite cannot keep in the column (ALTER TABLE ADD COLUMN takes
// constants only) are filled in after the insert.
QString defaultTrigger(const QString& table, const QString& column, const QString& expression) {
    const QString t = quoteName(table);
    const QString c = quoteName(column);
    return triggerPrefix(table) +
           QStringLiteral("%1 AFTER INSERT ON %2 WHEN NEW.%3 IS NULL BEGIN UPDATE %2 SET %3 = (%4) "
                          "WHERE rowid = NEW.rowid; END")
               .arg(quoteName(QStringLiteral("tsql_default_%1_%2").arg(table, column)), t, c,
                    expression);
}

// Date columns keep canonical text whatever literal form was written to them.
QStringList dateTriggers(const QString& table, const QString& column, DateKind kind) {
    static const char* kindNames[] = {"datetime", "smalldatetime", "date", "time"};
    const QString t = quoteName(table);
    const QString c = quoteName(column);
    const QString stored = QStringLiteral("tsql_store_date(NEW.%1, '%2')")
                               .arg(c, QLatin1String(kindNames[static_cast<int>(kind)]));
    const QString body =
        QStringLiteral(
            "WHEN NEW.%1 IS NOT %2 COLLATE BINARY BEGIN UPDATE %3 SET %1 = %2 WHERE rowid = "
            "NEW.rowid; END")
            .arg(c, stored, t);
    const QString name = QStringLiteral("tsql_date_%1_%2").arg(table, column);
    return {triggerPrefix(table) +
                QStringLiteral("%1 AFTER INSERT ON %2 ").arg(quoteName(name + "_i"), t) + body,
            triggerPrefix(table) +
                QStringLiteral("%1 AFTER UPDATE OF %2 ON %3 ").arg(quoteName(name + "_u"), c, t) +
                body};
}

struct Identity {
    qint64 seed = 1;
    qint64 step = 1;
};

struct Column {
    QString name;
    QString sql;
    std::optional<Identity> identity;
    bool primaryKey = false;                  // declared on the column
    QStringList after;                        // statements to run once the table exists
    bool notNull = false;                     // as declared (an added column may not enforce it)
    std::optional<QString> defaultExpression; // translated
    bool defaultByTrigger = false;            // not kept in the column itself
    bool withValues = false;                  // DEFAULT ... WITH VALUES
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
    for (const Piece& p : pieces) {
        if (p.kind == TokenKind::Punctuation && !(p.isPunctuation(u"(") || p.isPunctuation(u")") ||
                                                  p.isPunctuation(u"-") || p.isPunctuation(u"+")))
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
// `tableKey`: the table's PRIMARY KEY constraint names this column alone.
Column translateColumn(const QString& table, const Pieces& def, const DialectSettings& settings,
                       bool addedLater, bool tableKey = false) {
    Column column;
    column.name = def[0].value();
    const QString quoted = quoteName(column.name);
    size_t k = 1;
    if (k < def.size() && def[k].isWord(u"AS")) {
        // Computed column.
        column.sql = QStringLiteral("%1 GENERATED ALWAYS AS (%2) VIRTUAL")
                         .arg(quoted, translatedText(slice(def, 2, def.size()), settings));
        return column;
    }
    QString tsqlType;
    if (k < def.size() && def[k].isNameLike()) {
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
            column.primaryKey = true;
            named(QStringLiteral("PRIMARY KEY"));
        } else if (p.isWord(u"UNIQUE")) {
            ++k;
            while (k < def.size() &&
                   (def[k].isWord(u"CLUSTERED") || def[k].isWord(u"NONCLUSTERED")))
                ++k;
            named(QStringLiteral("UNIQUE"));
        } else if (p.isWord(u"CHECK")) {
            const size_t end = bodyEnd(k + 1);
            named(QStringLiteral("CHECK %1").arg(translatedText(slice(def, k + 1, end), settings)));
            k = end;
        } else if (p.isWord(u"FOREIGN") || p.isWord(u"REFERENCES")) {
            if (p.isWord(u"FOREIGN"))
                k += 2; // FOREIGN KEY
            const size_t end = bodyEnd(k + 1);
            named(render(slice(def, k, end)).trimmed());
            k = end;
        } else if (p.isWord(u"COLLATE") && k + 1 < def.size()) {
            if (type.isText)
                collation = def[k + 1].text;
            k += 2;
        } else {
            ++k; // ROWGUIDCOL, SPARSE, FILESTREAM: nothing to keep
        }
    }
    if (addedLater && column.notNull && (column.defaultByTrigger || column.identity))
        // SQLite refuses NOT NULL without a constant default on a table with
        // rows; the added column's values are filled in after it instead.
        constraints.removeAll(QStringLiteral("NOT NULL"));
    QString sqlType = sqliteDeclaredType(tsqlType);
    if (column.identity && (column.primaryKey || tableKey)) {
        // SQLite's own counter: the rowid alias with AUTOINCREMENT never reuses values.
        sqlType = QStringLiteral("INTEGER");
        if (!column.primaryKey)
            constraints << QStringLiteral("PRIMARY KEY");
        for (QString& c : constraints)
            if (c.endsWith(QLatin1String("PRIMARY KEY")))
                c += QStringLiteral(" AUTOINCREMENT");
        column.primaryKey = true;
    }
    column.sql = quoted + QLatin1Char(' ') + sqlType;
    if (!collation.isEmpty())
        column.sql += QStringLiteral(" COLLATE ") + collation;
    if (!constraints.isEmpty())
        column.sql += QLatin1Char(' ') + constraints.join(QLatin1Char(' '));
    if (type.isText && type.characterLength && *type.characterLength > 0)
        // tsql_max_length fails with SQL Server's 8152 itself; the name says it too.
        column.sql += QStringLiteral(" CONSTRAINT %1 CHECK (tsql_max_length(%2, %3))")
                          .arg(quoteName(QStringLiteral("E8152_") + column.name), quoted)
                          .arg(*type.characterLength);
    if (type.isDate)
        column.after << dateTriggers(table, column.name, *dateKindOf(type.typeName));
    return column;
}

QString identityTrigger(const QString& table, const QString& column, const Identity& identity) {
    const QString t = quoteName(table);
    const QString c = quoteName(column);
    return triggerPrefix(table) +
           QStringLiteral(
               "%1 AFTER INSERT ON %2 WHEN NEW.%3 IS NULL BEGIN UPDATE %2 SET %3 = (SELECT "
               "ifnull(max(%3), %4) + %5 FROM %2) WHERE rowid = NEW.rowid; END")
               .arg(quoteName(QStringLiteral("tsql_identity_%1").arg(table)), t, c)
               .arg(identity.seed - identity.step)
               .arg(identity.step);
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

QString quotedList(const QStringList& names) {
    QStringList quoted;
    for (const QString& n : names)
        quoted << quoteName(n);
    return quoted.join(QStringLiteral(", "));
}

// CONSTRAINT x PRIMARY KEY [CLUSTERED] (cols) | UNIQUE (cols) | FOREIGN KEY (a) REFERENCES ... |
// CHECK (...)
QString translateTableConstraint(const Pieces& def, const DialectSettings& settings,
                                 QStringList* primaryKey) {
    size_t k = 0;
    QString prefix;
    if (def[k].isWord(u"CONSTRAINT") && k + 1 < def.size()) {
        prefix = QStringLiteral("CONSTRAINT %1 ").arg(quoteName(def[k + 1].value()));
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
        if (pk && primaryKey)
            *primaryKey = columns;
        return prefix + (pk ? QStringLiteral("PRIMARY KEY (") : QStringLiteral("UNIQUE (")) +
               quotedList(columns) + QLatin1Char(')');
    }
    if (def[k].isWord(u"FOREIGN")) {
        Pieces rest = slice(def, k, def.size());
        // NOT FOR REPLICATION means nothing here.
        for (size_t i = 0; i + 2 < rest.size(); ++i)
            if (rest[i].isWord(u"NOT") && rest[i + 1].isWord(u"FOR"))
                rest.erase(rest.begin() + static_cast<std::ptrdiff_t>(i),
                           rest.begin() + static_cast<std::ptrdiff_t>(i + 3));
        return prefix + render(rest).trimmed();
    }
    if (def[k].isWord(u"CHECK"))
        return prefix + QStringLiteral("CHECK ") +
               translatedText(slice(def, k + 1, def.size()), settings);
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
        statements << identityTrigger(table, column.name, *column.identity);
    }
    statements += column.after;
    return statements;
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
    for (const auto& [from, to] : items) {
        if (from < to && isTableConstraint(pieces, from)) {
            const QString sql =
                translateTableConstraint(slice(pieces, from, to), settings, &primaryKey);
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
        Column column = translateColumn(table, slice(pieces, from, to), settings, false, tableKey);
        if (column.identity) {
            if (column.primaryKey) {
                keyIsIdentity = keyIsIdentity || tableKey;
                if (column.identity->seed != 1)
                    after << QStringLiteral(
                                 "INSERT INTO sqlite_sequence (name, seq) VALUES (%1, %2)")
                                 .arg(Token::string(table).text)
                                 .arg(column.identity->seed - 1);
            } else {
                after << identityTrigger(table, column.name, *column.identity);
            }
        }
        columns.push_back(std::move(column));
    }
    // The key now lives on the identity column itself.
    if (keyIsIdentity)
        tableConstraints.removeIf(
            [](const QString& c) { return c.contains(QLatin1String("PRIMARY KEY (")); });
    QStringList definitions;
    for (const Column& column : columns) {
        definitions << column.sql;
        after += column.after;
    }
    definitions += tableConstraints;
    QStringList statements;
    statements << QStringLiteral("CREATE %1TABLE %2 (%3)")
                      .arg(isTemporary(table) ? QStringLiteral("TEMP ") : QString(),
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
    // WITH CHECK / WITH NOCHECK before ADD CONSTRAINT: no existing-row check to skip here.
    if (k + 1 < pieces.size() && pieces[k].isWord(u"WITH"))
        k += 2;
    if (k >= pieces.size())
        return QStringList();
    QStringList statements;
    if (pieces[k].isWord(u"ADD")) {
        for (const auto& [from, to] : splitTopLevel(pieces, k + 1, pieces.size())) {
            if (from >= to)
                continue;
            const Pieces def = slice(pieces, from, to);
            if (!isTableConstraint(pieces, from)) {
                statements += addedColumn(table, def, settings);
                continue;
            }
            size_t c = 0;
            QString name;
            if (def[c].isWord(u"CONSTRAINT") && def.size() > 2) {
                name = def[c + 1].value();
                c += 2;
            }
            if (def[c].isWord(u"PRIMARY") || def[c].isWord(u"UNIQUE")) {
                // SQLite cannot add a key to a table; a unique index enforces the same.
                size_t open = c;
                while (open < def.size() && !def[open].isPunctuation(u"("))
                    ++open;
                if (open < def.size())
                    statements << QStringLiteral("CREATE UNIQUE INDEX %1 ON %2 (%3)")
                                      .arg(quoteName(indexName(table, name.isEmpty()
                                                                          ? QStringLiteral("key")
                                                                          : name)),
                                           t, quotedList(keyColumns(def, open)));
            } else if (def[c].isWord(u"DEFAULT")) {
                const size_t forAt = findTopLevelWord(def, c + 1, def.size(), u"FOR");
                if (forAt + 1 < def.size())
                    statements << defaultTrigger(
                        table, def[forAt + 1].value(),
                        translatedText(slice(def, c + 1, forAt), settings));
            }
            // FOREIGN KEY and CHECK cannot be added to an existing SQLite table: not enforced.
        }
    } else if (pieces[k].isWord(u"DROP")) {
        ++k;
        const bool constraint = k < pieces.size() && pieces[k].isWord(u"CONSTRAINT");
        if (k < pieces.size() && (pieces[k].isWord(u"COLUMN") || constraint))
            ++k;
        for (const auto& [from, to] : splitTopLevel(pieces, k, pieces.size())) {
            if (from >= to)
                continue;
            const QString name = pieces[from].value();
            statements
                << (constraint
                        ? QStringLiteral("DROP INDEX IF EXISTS %1")
                              .arg(quoteName(indexName(table, name)))
                        : QStringLiteral("ALTER TABLE %1 DROP COLUMN %2").arg(t, quoteName(name)));
        }
    }
    // ALTER COLUMN, NOCHECK/CHECK CONSTRAINT: SQLite keeps no such state.
    return statements;
}

std::optional<QStringList> createIndex(Pieces pieces) {
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
    QString sql =
        QStringLiteral("CREATE %1INDEX %2 ON %3 %4")
            .arg(unique ? QStringLiteral("UNIQUE ") : QString(), quoteName(indexName(table, index)),
                 quoteName(table), render(pieces, open, close + 1));
    const size_t where = findTopLevelWord(pieces, close + 1, pieces.size(), u"WHERE");
    if (where < pieces.size())
        sql += QLatin1Char(' ') + render(pieces, where, pieces.size()).trimmed();
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
                           .arg(isTemporary(table) ? QStringLiteral("TEMP ") : QString(),
                                quoteName(table), translatedText(pieces, settings))};
}

} // namespace estaciones::db::tsql::schema
