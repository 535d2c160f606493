#include "platform/db/embedded/execute/SequenceStatements.h"

#include "platform/db/embedded/catalog/ObjectNames.h"
#include "platform/db/embedded/errors/SqlServerErrors.h"
#include "platform/db/embedded/execute/Session.h"
#include "platform/db/embedded/execute/StatementTokens.h"
#include "platform/db/embedded/functions/FunctionRegistration.h"
#include "platform/db/embedded/functions/SequenceStore.h"
#include "platform/db/embedded/parse/SignificantTokens.h"
#include "platform/db/embedded/sqlite/PreparedStatement.h"

#include <sqlite3.h>

#include <limits>
#include <optional>

namespace estaciones::db::sqlite {

using tsql::Tokens;

namespace {

// The integer type a sequence gives its values in, with its bounds.
struct SequenceType {
    QString name; // as sys.sequences' type and the conversions read it
    qint64 minimum = 0;
    qint64 maximum = 0;
};

std::optional<SequenceType> integerType(const QString& word, int precision) {
    const QString type = word.toLower();
    if (type == QLatin1String("tinyint"))
        return SequenceType{type, 0, 255};
    if (type == QLatin1String("smallint"))
        return SequenceType{type, -32768, 32767};
    if (type == QLatin1String("int"))
        return SequenceType{type, std::numeric_limits<qint32>::min(),
                            std::numeric_limits<qint32>::max()};
    if (type == QLatin1String("bigint"))
        return SequenceType{type, std::numeric_limits<qint64>::min(),
                            std::numeric_limits<qint64>::max()};
    if (type != QLatin1String("decimal") && type != QLatin1String("numeric"))
        return std::nullopt;
    if (precision > 18) // beyond a 64-bit integer, which keeps the values
        failWith(native::NotSupported,
                 {QStringLiteral("CREATE SEQUENCE AS %1(%2)").arg(type).arg(precision)});
    qint64 limit = 1;
    for (int i = 0; i < precision; ++i)
        limit *= 10;
    return SequenceType{QStringLiteral("%1(%2,0)").arg(type).arg(precision), -(limit - 1),
                        limit - 1};
}

// The options a CREATE or ALTER SEQUENCE writes; what it leaves out is unset.
struct SequenceOptions {
    std::optional<SequenceType> type;
    std::optional<qint64> start, increment, restartWith;
    bool restart = false;
    std::optional<std::optional<qint64>> minimum, maximum; // inner nullopt: NO MINVALUE
    std::optional<bool> cycling, cached;
    std::optional<qint64> cacheSize;
};

// Reads the statement's tokens from `i` on.
class OptionReader {
public:
    OptionReader(const Tokens& tokens, std::size_t i, QString sequence)
        : m_tokens(tokens), m_i(i), m_sequence(std::move(sequence)) {}

    SequenceOptions read(bool creating) {
        SequenceOptions options;
        while (m_i < m_tokens.size() && !m_tokens[m_i].isPunctuation(u";")) {
            const QString word = next();
            if (creating && word == QLatin1String("AS")) {
                options.type = readType();
            } else if (creating && word == QLatin1String("START")) {
                expect(u"WITH");
                options.start = constant();
            } else if (!creating && word == QLatin1String("RESTART")) {
                options.restart = true;
                if (upperWord(m_tokens, m_i) == QLatin1String("WITH")) {
                    ++m_i;
                    options.restartWith = constant();
                }
            } else if (word == QLatin1String("INCREMENT")) {
                expect(u"BY");
                options.increment = constant();
            } else if (word == QLatin1String("MINVALUE")) {
                options.minimum = startsConstant() ? std::optional(constant()) : std::nullopt;
            } else if (word == QLatin1String("MAXVALUE")) {
                options.maximum = startsConstant() ? std::optional(constant()) : std::nullopt;
            } else if (word == QLatin1String("CYCLE")) {
                options.cycling = true;
            } else if (word == QLatin1String("CACHE")) {
                options.cached = true;
                if (startsConstant())
                    options.cacheSize = constant();
            } else if (word == QLatin1String("NO")) {
                const QString what = next();
                if (what == QLatin1String("MINVALUE"))
                    options.minimum = std::optional<qint64>();
                else if (what == QLatin1String("MAXVALUE"))
                    options.maximum = std::optional<qint64>();
                else if (what == QLatin1String("CYCLE"))
                    options.cycling = false;
                else if (what == QLatin1String("CACHE"))
                    options.cached = false;
                else
                    syntaxErrorAt(m_tokens, m_i - 1);
            } else {
                syntaxErrorAt(m_tokens, m_i - 1);
            }
        }
        return options;
    }

private:
    QString next() {
        if (m_i >= m_tokens.size())
            syntaxErrorAt(m_tokens, m_i);
        const QString word = upperWord(m_tokens, m_i);
        if (word.isEmpty())
            syntaxErrorAt(m_tokens, m_i);
        ++m_i;
        return word;
    }
    void expect(QStringView word) {
        if (m_i >= m_tokens.size() || !m_tokens[m_i].isWord(word))
            syntaxErrorAt(m_tokens, m_i);
        ++m_i;
    }
    bool startsConstant() const {
        return m_i < m_tokens.size() &&
               (m_tokens[m_i].kind == tsql::TokenKind::Number || m_tokens[m_i].isPunctuation(u"-") ||
                m_tokens[m_i].isPunctuation(u"+"));
    }
    qint64 constant() {
        bool negative = false;
        if (m_i < m_tokens.size() &&
            (m_tokens[m_i].isPunctuation(u"-") || m_tokens[m_i].isPunctuation(u"+"))) {
            negative = m_tokens[m_i].isPunctuation(u"-");
            ++m_i;
        }
        if (m_i >= m_tokens.size() || m_tokens[m_i].kind != tsql::TokenKind::Number)
            syntaxErrorAt(m_tokens, m_i);
        const QString digits = m_tokens[m_i].text;
        bool ok = false;
        // The most negative bigint is written as its digits after the sign.
        const quint64 magnitude = digits.toULongLong(&ok);
        const quint64 limit = negative ? quint64(std::numeric_limits<qint64>::max()) + 1
                                       : quint64(std::numeric_limits<qint64>::max());
        if (!ok || magnitude > limit)
            failWith(native::NotSupported,
                     {QStringLiteral("sequence value %1%2").arg(negative ? "-" : "", digits)});
        ++m_i;
        return negative ? qint64(0 - magnitude) : qint64(magnitude);
    }
    SequenceType readType() {
        const QString word = m_i < m_tokens.size() ? m_tokens[m_i].value() : QString();
        ++m_i;
        int precision = 18, scale = 0;
        if (m_i < m_tokens.size() && m_tokens[m_i].isPunctuation(u"(")) {
            ++m_i;
            precision = static_cast<int>(constant());
            if (m_i < m_tokens.size() && m_tokens[m_i].isPunctuation(u",")) {
                ++m_i;
                scale = static_cast<int>(constant());
            }
            if (m_i >= m_tokens.size() || !m_tokens[m_i].isPunctuation(u")"))
                syntaxErrorAt(m_tokens, m_i);
            ++m_i;
        }
        std::optional<SequenceType> type = integerType(word, precision);
        if (!type || scale != 0)
            failWith(native::SequenceTypeNotInteger, {m_sequence});
        return *type;
    }

    const Tokens& m_tokens;
    std::size_t m_i;
    QString m_sequence;
};

// What the store keeps of a sequence.
struct StoredSequence {
    SequenceType type;
    qint64 start = 0, increment = 1, minimum = 0, maximum = 0;
    bool cycling = false, cached = true;
    std::optional<qint64> cacheSize;
};

std::optional<StoredSequence> storedSequence(SqliteDatabase& database, const QString& name) {
    PreparedStatement query(
        database.handle(),
        QStringLiteral("SELECT type_name, start_value, increment, minimum_value, maximum_value, "
                       "is_cycling, is_cached, cache_size FROM %1 WHERE name = ?1")
            .arg(QLatin1String(tsql::sequenceTable)));
    query.bindText(1, name);
    if (query.step() != SQLITE_ROW)
        return std::nullopt;
    sqlite3_stmt* row = query.handle();
    StoredSequence stored;
    const QString typeName = QString::fromUtf8(
        reinterpret_cast<const char*>(sqlite3_column_text(row, 0)));
    const int open = typeName.indexOf(QLatin1Char('('));
    stored.type = *integerType(open < 0 ? typeName : typeName.left(open),
                               open < 0 ? 18 : typeName.mid(open + 1).section(QLatin1Char(','), 0, 0).toInt());
    stored.start = sqlite3_column_int64(row, 1);
    stored.increment = sqlite3_column_int64(row, 2);
    stored.minimum = sqlite3_column_int64(row, 3);
    stored.maximum = sqlite3_column_int64(row, 4);
    stored.cycling = sqlite3_column_int64(row, 5) != 0;
    stored.cached = sqlite3_column_int64(row, 6) != 0;
    if (sqlite3_column_type(row, 7) != SQLITE_NULL)
        stored.cacheSize = sqlite3_column_int64(row, 7);
    return stored;
}

// `options` over `stored`: bounds left out or NO MINVALUE | NO MAXVALUE are
// the type's.
void apply(StoredSequence& stored, const SequenceOptions& options) {
    if (options.increment)
        stored.increment = *options.increment;
    if (options.minimum)
        stored.minimum = options.minimum->value_or(stored.type.minimum);
    if (options.maximum)
        stored.maximum = options.maximum->value_or(stored.type.maximum);
    if (options.cycling)
        stored.cycling = *options.cycling;
    if (options.cached) {
        stored.cached = *options.cached;
        stored.cacheSize = *options.cached ? options.cacheSize : std::nullopt;
    }
}

void checkDefinition(const StoredSequence& stored, const QString& name, qint64 firstValue) {
    if (stored.increment == 0)
        failWith(native::SequenceIncrementZero, {name});
    if (stored.minimum < stored.type.minimum || stored.maximum > stored.type.maximum ||
        stored.minimum >= stored.maximum)
        failWith(native::SequenceMinimumNotBelowMaximum, {name});
    if (firstValue < stored.minimum || firstValue > stored.maximum)
        failWith(native::SequenceStartOutOfRange, {name});
}

void bindDefinition(PreparedStatement& statement, const QString& name,
                    const StoredSequence& stored) {
    statement.bindText(1, name);
    statement.bindText(2, stored.type.name);
    statement.bindInt(3, stored.start);
    statement.bindInt(4, stored.increment);
    statement.bindInt(5, stored.minimum);
    statement.bindInt(6, stored.maximum);
    statement.bindInt(7, stored.cycling ? 1 : 0);
    statement.bindInt(8, stored.cached ? 1 : 0);
    if (stored.cacheSize)
        statement.bindInt(9, *stored.cacheSize);
}

void step(PreparedStatement& statement, SqliteDatabase& database) {
    if (!statement.ok() || statement.step() != SQLITE_DONE)
        throw ProviderFailure({database.lastError(QStringLiteral("SEQUENCE"))});
}

// CREATE | ALTER SEQUENCE name options: the name and what the options say.
std::pair<QString, SequenceOptions> definitionOf(const Tokens& tokens, bool creating) {
    std::size_t i = 2;
    const QString name = readObjectName(tokens, i);
    if (name.isEmpty())
        syntaxErrorAt(tokens, i);
    return {name, OptionReader(tokens, i, name).read(creating)};
}

void createSequence(SqliteDatabase& database, const Tokens& tokens) {
    const auto [name, options] = definitionOf(tokens, true);
    if (isObjectName(database, name))
        failObjectExists(database, name);
    StoredSequence stored;
    stored.type = options.type.value_or(*integerType(QStringLiteral("bigint"), 0));
    stored.minimum = stored.type.minimum;
    stored.maximum = stored.type.maximum;
    apply(stored, options);
    // An ascending sequence starts at its minimum, a descending one at its maximum.
    stored.start = options.start.value_or(stored.increment < 0 ? stored.maximum : stored.minimum);
    checkDefinition(stored, name, stored.start);
    PreparedStatement insert(
        database.handle(),
        QStringLiteral("INSERT INTO %1 (name, type_name, start_value, increment, minimum_value, "
                       "maximum_value, is_cycling, is_cached, cache_size, current_value, "
                       "create_date, modify_date) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, "
                       "?3, tsql_getdate(), tsql_getdate())")
            .arg(QLatin1String(tsql::sequenceTable)));
    bindDefinition(insert, name, stored);
    step(insert, database);
}

void alterSequence(SqliteDatabase& database, const Tokens& tokens) {
    const auto [name, options] = definitionOf(tokens, false);
    std::optional<StoredSequence> stored = storedSequence(database, name);
    if (!stored)
        failWith(native::InvalidObjectName, {name});
    apply(*stored, options);
    const qint64 restartAt = options.restartWith.value_or(stored->start);
    checkDefinition(*stored, name, options.restart ? restartAt : stored->start);
    // A restart gives `restartAt` next; the row's change count moves on, so
    // that a value given before is not written back over it.
    PreparedStatement update(
        database.handle(),
        QStringLiteral("UPDATE %1 SET type_name = ?2, start_value = ?3, increment = ?4, "
                       "minimum_value = ?5, maximum_value = ?6, is_cycling = ?7, is_cached = ?8, "
                       "cache_size = ?9, current_value = CASE WHEN ?10 THEN ?11 ELSE "
                       "current_value END, used = CASE WHEN ?10 THEN 0 ELSE used END, taken = "
                       "taken + 1, modify_date = tsql_getdate() WHERE name = ?1")
            .arg(QLatin1String(tsql::sequenceTable)));
    bindDefinition(update, name, *stored);
    update.bindInt(10, options.restart ? 1 : 0);
    update.bindInt(11, restartAt);
    step(update, database);
}

void dropSequences(SqliteDatabase& database, const Tokens& tokens) {
    std::size_t i = 2;
    const bool ifExists = upperWord(tokens, 2) == QLatin1String("IF") &&
                          upperWord(tokens, 3) == QLatin1String("EXISTS");
    if (ifExists)
        i = 4;
    while (true) {
        const QString name = readObjectName(tokens, i);
        if (name.isEmpty())
            syntaxErrorAt(tokens, i);
        PreparedStatement drop(database.handle(),
                               QStringLiteral("DELETE FROM %1 WHERE name = ?1")
                                   .arg(QLatin1String(tsql::sequenceTable)));
        drop.bindText(1, name);
        step(drop, database);
        if (sqlite3_changes(database.handle()) == 0 && !ifExists)
            failWith(native::CannotDrop, {QStringLiteral("sequence"), name});
        if (i >= tokens.size() || !tokens[i].isPunctuation(u","))
            break;
        ++i;
    }
}

// The argument for the `position`-th parameter, by its name or its place.
const CallArgument* argumentFor(const std::vector<CallArgument>& arguments, const char* name,
                                std::size_t position) {
    for (const CallArgument& argument : arguments)
        if (argument.name.compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
            return &argument;
    return position < arguments.size() && arguments[position].name.isEmpty() ? &arguments[position]
                                                                            : nullptr;
}

} // namespace

std::vector<std::pair<QString, Variant>> sequenceRangeOutputs(
    Session& session, const std::vector<CallArgument>& arguments) {
    static const char* const parameters[] = {
        "@sequence_name",     "@range_size",         "@range_first_value",
        "@range_last_value",  "@range_cycle_count",  "@sequence_increment",
        "@sequence_min_value", "@sequence_max_value"};
    const CallArgument* name = argumentFor(arguments, parameters[0], 0);
    const CallArgument* size = argumentFor(arguments, parameters[1], 1);
    if (!name || !size || name->value.isNull() || size->value.isNull())
        failWith(native::NotSupported, {QStringLiteral("sp_sequence_get_range without a sequence "
                                                       "name and a range size")});
    const qint64 count = size->value.toInt64();
    if (count <= 0)
        failWith(native::NotSupported,
                 {QStringLiteral("sp_sequence_get_range @range_size = %1").arg(count)});
    // N'dbo.s', N'[dbo].[s]': the schema is optional.
    std::size_t at = 0;
    const QString sequence =
        readObjectName(tsql::significantTokens(name->value.toString()), at);
    tsql::SequenceRange range;
    try {
        range = tsql::takeSequenceRange(session.current().handle(), sequence, count);
    } catch (const tsql::ServerFailure& failure) {
        failWithText(failure.number, QString::fromStdString(failure.what()));
    }
    const Variant values[] = {range.first,     range.last,    qint64(range.cycles),
                              range.increment, range.minimum, range.maximum};
    std::vector<std::pair<QString, Variant>> outputs;
    for (std::size_t p = 2; p < std::size(parameters); ++p) {
        const CallArgument* argument = argumentFor(arguments, parameters[p], p);
        if (argument && argument->output && !argument->variable.isEmpty())
            outputs.emplace_back(argument->variable, values[p - 2]);
    }
    return outputs;
}

bool isSequenceStatement(const Tokens& tokens) {
    const QString first = upperWord(tokens, 0);
    return (first == QLatin1String("CREATE") || first == QLatin1String("ALTER") ||
            first == QLatin1String("DROP")) &&
           upperWord(tokens, 1) == QLatin1String("SEQUENCE");
}

void runSequenceStatement(Session& session, const Tokens& tokens) {
    SqliteDatabase& database = session.current();
    const QString first = upperWord(tokens, 0);
    if (first == QLatin1String("CREATE"))
        createSequence(database, tokens);
    else if (first == QLatin1String("ALTER"))
        alterSequence(database, tokens);
    else
        dropSequences(database, tokens);
}

} // namespace estaciones::db::sqlite
