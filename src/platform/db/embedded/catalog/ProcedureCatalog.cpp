#include "platform/db/embedded/catalog/ProcedureCatalog.h"

#include "platform/db/embedded/catalog/FunctionCatalog.h"
#include "platform/db/embedded/catalog/ObjectNames.h"
#include "platform/db/embedded/catalog/TriggerCatalog.h"
#include "platform/db/embedded/errors/SqlServerErrors.h"
#include "platform/db/embedded/parse/BatchParser.h"
#include "platform/db/embedded/parse/OtherSchemaNames.h"
#include "platform/db/embedded/parse/SignificantTokens.h"
#include "platform/db/embedded/sqlite/PreparedStatement.h"

#include <sqlite3.h>

namespace estaciones::db::sqlite {

using tsql::TokenKind;
using tsql::Tokens;

namespace {

// Tokens of a parameter's type up to "=", ",", ")", OUTPUT or AS.
QString readType(const Tokens& tokens, std::size_t& i) {
    QString type;
    int depth = 0;
    for (; i < tokens.size(); ++i) {
        const auto& token = tokens[i];
        if (depth == 0 &&
            (token.isPunctuation(u"=") || token.isPunctuation(u",") || token.isPunctuation(u")") ||
             token.isWord(u"AS") || token.isWord(u"OUTPUT") || token.isWord(u"OUT"))) {
            break;
        }
        depth += token.isPunctuation(u"(") ? 1 : token.isPunctuation(u")") ? -1 : 0;
        type += token.text;
    }
    return type;
}

Tokens readDefault(const Tokens& tokens, std::size_t& i) {
    Tokens value;
    int depth = 0;
    for (; i < tokens.size(); ++i) {
        const auto& token = tokens[i];
        if (depth == 0 &&
            (token.isPunctuation(u",") || token.isPunctuation(u")") || token.isWord(u"AS") ||
             token.isWord(u"OUTPUT") || token.isWord(u"OUT"))) {
            break;
        }
        depth += token.isPunctuation(u"(") ? 1 : token.isPunctuation(u")") ? -1 : 0;
        value.push_back(token);
    }
    return value;
}

} // namespace

std::vector<ProcedureParameter> readParameters(const Tokens& t, std::size_t& i,
                                               bool parenthesised) {
    std::vector<ProcedureParameter> parameters;
    if (parenthesised) {
        if (!(i < t.size() && t[i].isPunctuation(u"("))) {
            syntaxErrorAt(t, i);
        }
        ++i;
    }
    while (i < t.size() && t[i].kind == TokenKind::Variable) {
        ProcedureParameter parameter;
        parameter.name = t[i++].text;
        if (i < t.size() && t[i].isWord(u"AS")) {
            ++i; // "@p AS int" is allowed
        }
        parameter.type = readType(t, i);
        if (i < t.size() && t[i].isPunctuation(u"=")) {
            ++i;
            parameter.defaultValue = readDefault(t, i);
        }
        while (i < t.size() && (t[i].isWord(u"OUTPUT") || t[i].isWord(u"OUT"))) {
            parameter.output = true;
            ++i;
        }
        parameters.push_back(std::move(parameter));
        if (i < t.size() && t[i].isPunctuation(u",")) {
            ++i;
        }
    }
    if (parenthesised) {
        if (!(i < t.size() && t[i].isPunctuation(u")"))) {
            syntaxErrorAt(t, i);
        }
        ++i;
    }
    return parameters;
}

ProcedureDefinition parseProcedure(const Tokens& t) {
    std::size_t i = 1; // after CREATE / ALTER
    if (i + 1 < t.size() && t[i].isWord(u"OR") && t[i + 1].isWord(u"ALTER")) {
        i += 2;
    }
    if (!(i < t.size() && (t[i].isWord(u"PROCEDURE") || t[i].isWord(u"PROC")))) {
        syntaxErrorAt(t, i);
    }
    ++i;
    ProcedureDefinition definition;
    definition.name = readObjectName(t, i);
    if (definition.name.isEmpty()) {
        syntaxErrorAt(t, i);
    }
    if (i < t.size() && t[i].isPunctuation(u";")) {
        ++i; // numbered procedures ("name;1") are not used
        ++i;
    }
    definition.parameters = readParameters(t, i, i < t.size() && t[i].isPunctuation(u"("));
    while (i < t.size() && t[i].isWord(u"WITH")) {
        i += 2; // WITH RECOMPILE / ENCRYPTION: nothing to do here
    }
    if (!(i < t.size() && t[i].isWord(u"AS"))) {
        syntaxErrorAt(t, i);
    }
    definition.body.assign(t.begin() + static_cast<std::ptrdiff_t>(i + 1), t.end());
    return definition;
}

void runCatalogWrite(SqliteDatabase& database, const QString& sql, const QStringList& texts) {
    PreparedStatement write(database.handle(), sql);
    for (int k = 0; k < texts.size(); ++k) {
        write.bindText(k + 1, texts[k]);
    }
    if (!write.ok() || write.step() != SQLITE_DONE) {
        throw ProviderFailure({database.lastError(sql)});
    }
}

void storeRoutineParameters(SqliteDatabase& database, const QString& routine,
                            const std::vector<ProcedureParameter>& parameters,
                            const QString& returnType) {
    forgetRoutineParameters(database, routine);
    const QString sql = QStringLiteral("INSERT INTO %1 VALUES (?1, ?2, ?3, ?4, ?5)")
                            .arg(QLatin1String(tsql::parameterTable));
    if (!returnType.isEmpty())
        runCatalogWrite(database, sql, {routine, QStringLiteral("0"), QStringLiteral(""), returnType,
                                        QStringLiteral("1")});
    int ordinal = 0;
    for (const ProcedureParameter& parameter : parameters) {
        runCatalogWrite(database, sql,
                        {routine, QString::number(++ordinal), parameter.name, parameter.type,
                         QString::number(parameter.output ? 1 : 0)});
    }
}

void forgetRoutineParameters(SqliteDatabase& database, const QString& routine) {
    runCatalogWrite(database,
                    QStringLiteral("DELETE FROM %1 WHERE procedure_name = ?1 COLLATE NOCASE")
                        .arg(QLatin1String(tsql::parameterTable)),
                    {routine});
}

void renameRoutine(SqliteDatabase& database, const char* table, const QString& name,
                   const QString& newName) {
    runCatalogWrite(database,
                    QStringLiteral("UPDATE %1 SET name = ?2 WHERE name = ?1 COLLATE NOCASE")
                        .arg(QLatin1String(table)),
                    {name, newName});
    runCatalogWrite(database,
                    QStringLiteral("UPDATE %1 SET procedure_name = ?2 WHERE procedure_name = ?1 "
                                   "COLLATE NOCASE")
                        .arg(QLatin1String(tsql::parameterTable)),
                    {name, newName});
}

std::optional<QString> storedText(const SqliteDatabase& database, const QString& sql,
                                  const QString& name) {
    PreparedStatement query(database.handle(), sql);
    query.bindText(1, name);
    if (!query.ok() || query.step() != SQLITE_ROW) {
        return std::nullopt;
    }
    return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(query.handle(), 0)));
}

ProcedureCatalog::ProcedureCatalog(SqliteDatabase& database) : m_database(database) {}

bool ProcedureCatalog::exists(const QString& name) const {
    if (!m_database.hasTable(QString::fromLatin1(proceduresTable))) {
        return false;
    }
    PreparedStatement query(m_database.handle(),
                            QStringLiteral("SELECT 1 FROM %1 WHERE name = ?1 COLLATE NOCASE")
                                .arg(QLatin1String(proceduresTable)));
    query.bindText(1, name);
    return query.ok() && query.step() == SQLITE_ROW;
}

void ProcedureCatalog::store(const Tokens& definitionTokens, const QString& text,
                                  Store how) {
    const ProcedureDefinition definition = parseProcedure(definitionTokens);
    const bool known = exists(definition.name);
    if (how == Store::Create && known) {
        failObjectExists(m_database, definition.name);
    }
    if (how == Store::Alter && !known) {
        failWith(native::InvalidObjectName, {definition.name});
    }
    if (m_database.hasTable(definition.name) ||
        TriggerCatalog(m_database).exists(definition.name) ||
        FunctionCatalog(m_database).exists(definition.name)) {
        failObjectExists(m_database, definition.name);
    }
    runCatalogWrite(m_database,
                    QStringLiteral("INSERT OR REPLACE INTO %1 VALUES (?1, ?2)")
                        .arg(QLatin1String(proceduresTable)),
                    {definition.name, text});
    storeRoutineParameters(m_database, definition.name, definition.parameters);
}

std::optional<ProcedureDefinition> ProcedureCatalog::find(const QString& name) const {
    if (!m_database.hasTable(QString::fromLatin1(proceduresTable))) {
        return std::nullopt;
    }
    const std::optional<QString> text =
        storedText(m_database,
                   QStringLiteral("SELECT definicion FROM %1 WHERE name = ?1 COLLATE NOCASE")
                       .arg(QLatin1String(proceduresTable)),
                   name);
    if (!text) {
        return std::nullopt;
    }
    // It answers to the catalogue's name, which sp_rename may have changed.
    ProcedureDefinition definition = parseProcedure(tsql::storedDefinitionTokens(*text));
    definition.name = storedText(m_database,
                                 QStringLiteral("SELECT name FROM %1 WHERE name = ?1 COLLATE NOCASE")
                                     .arg(QLatin1String(proceduresTable)),
                                 name)
                          .value_or(definition.name);
    return definition;
}

void ProcedureCatalog::drop(const QString& name) {
    if (!exists(name)) {
        failWith(native::CannotDrop, {QStringLiteral("procedure"), name});
    }
    runCatalogWrite(m_database,
                    QStringLiteral("DELETE FROM %1 WHERE name = ?1 COLLATE NOCASE")
                        .arg(QLatin1String(proceduresTable)),
                    {name});
    forgetRoutineParameters(m_database, name);
}

void ProcedureCatalog::rename(const QString& name, const QString& newName) {
    renameRoutine(m_database, proceduresTable, name, newName);
}

} // namespace estaciones::db::sqlite
