#include "platform/db/embedded/catalog/FunctionCatalog.h"

#include "platform/db/embedded/catalog/ObjectNames.h"
#include "platform/db/embedded/catalog/TriggerCatalog.h"
#include "platform/db/embedded/errors/SqlServerErrors.h"
#include "platform/db/embedded/parse/BatchParser.h"
#include "platform/db/embedded/parse/OtherSchemaNames.h"
#include "platform/db/embedded/parse/SignificantTokens.h"
#include "platform/db/embedded/sqlite/PreparedStatement.h"

#include <QDateTime>

#include <sqlite3.h>

namespace estaciones::db::sqlite {

using tsql::closingParenthesis;
using tsql::TokenKind;
using tsql::Tokens;

namespace {

// A view remade whenever a function changes: what the engine derived from
// calls (a batch's compilation, translations) is keyed by the schema's
// version, which its remaking moves on.
constexpr const char* changeMark = "estaciones_funciones_cambio";

// "int", "decimal(10, 2)", "varchar(max)".
QString readReturnType(const Tokens& t, std::size_t& i) {
    if (!(i < t.size() && t[i].isNameLike())) {
        syntaxErrorAt(t, i);
    }
    // double precision and the other ISO names reach here as the server's
    // (parse/TypeSynonyms).
    QString type = t[i++].text;
    if (i < t.size() && t[i].isPunctuation(u"(")) {
        const std::size_t close = closingParenthesis(t, i);
        for (; i <= close && i < t.size(); ++i) {
            type += t[i].text;
        }
    }
    return type;
}

// WITH SCHEMABINDING, RETURNS NULL ON NULL INPUT, EXECUTE AS CALLER, ...
// up to AS, BEGIN or RETURN; true when RETURNS NULL ON NULL INPUT is among them.
bool readOptions(const Tokens& t, std::size_t& i) {
    bool nullOnNullInput = false;
    if (!(i < t.size() && t[i].isWord(u"WITH"))) {
        return false;
    }
    ++i;
    while (i < t.size() && !t[i].isWord(u"AS") && !t[i].isWord(u"BEGIN") &&
           !t[i].isWord(u"RETURN")) {
        if (t[i].isWord(u"EXECUTE") || t[i].isWord(u"EXEC")) {
            i += 3; // EXECUTE AS who
            continue;
        }
        if (t[i].isWord(u"RETURNS") && i + 1 < t.size() && t[i + 1].isWord(u"NULL")) {
            nullOnNullInput = true;
        }
        ++i;
    }
    return nullOnNullInput;
}

// RETURN [(] select [)] [;]: the select.
Tokens inlineQuery(const Tokens& body) {
    std::size_t from = 0;
    std::size_t to = body.size();
    while (to > from && body[to - 1].isPunctuation(u";")) {
        --to;
    }
    if (from < to && body[from].isWord(u"RETURN")) {
        ++from;
    } else {
        syntaxErrorAt(body, from);
    }
    if (from < to && body[from].isPunctuation(u"(") && closingParenthesis(body, from) == to - 1) {
        ++from;
        --to;
    }
    if (from >= to) {
        syntaxErrorAt(body, from);
    }
    return Tokens(body.begin() + static_cast<std::ptrdiff_t>(from),
                  body.begin() + static_cast<std::ptrdiff_t>(to));
}

} // namespace

QString FunctionDefinition::typeCode() const {
    switch (kind) {
    case FunctionKind::Scalar:
        return QStringLiteral("FN");
    case FunctionKind::InlineTable:
        return QStringLiteral("IF");
    case FunctionKind::Table:
        return QStringLiteral("TF");
    }
    return {};
}

FunctionDefinition parseFunction(const Tokens& t) {
    std::size_t i = 1; // after CREATE / ALTER
    if (i + 1 < t.size() && t[i].isWord(u"OR") && t[i + 1].isWord(u"ALTER")) {
        i += 2;
    }
    if (!(i < t.size() && t[i].isWord(u"FUNCTION"))) {
        syntaxErrorAt(t, i);
    }
    ++i;
    FunctionDefinition definition;
    definition.name = readObjectName(t, i);
    if (definition.name.isEmpty()) {
        syntaxErrorAt(t, i);
    }
    definition.parameters = readParameters(t, i, true);
    if (!(i < t.size() && t[i].isWord(u"RETURNS"))) {
        syntaxErrorAt(t, i);
    }
    ++i;
    if (i < t.size() && t[i].isWord(u"TABLE")) {
        definition.kind = FunctionKind::InlineTable;
        ++i;
    } else if (i < t.size() && t[i].kind == TokenKind::Variable) {
        definition.kind = FunctionKind::Table;
        definition.resultVariable = t[i++].text;
        if (!(i + 1 < t.size() && t[i].isWord(u"TABLE") && t[i + 1].isPunctuation(u"("))) {
            syntaxErrorAt(t, i);
        }
        const std::size_t close = closingParenthesis(t, i + 1);
        if (close >= t.size()) {
            syntaxErrorAt(t, t.size());
        }
        definition.resultColumns.assign(t.begin() + static_cast<std::ptrdiff_t>(i + 1),
                                        t.begin() + static_cast<std::ptrdiff_t>(close + 1));
        i = close + 1;
    } else {
        definition.returnType = readReturnType(t, i);
    }
    definition.nullOnNullInput = readOptions(t, i);
    if (i < t.size() && t[i].isWord(u"AS")) {
        ++i;
    }
    definition.body.assign(t.begin() + static_cast<std::ptrdiff_t>(i), t.end());
    if (definition.kind == FunctionKind::InlineTable) {
        definition.query = inlineQuery(definition.body);
    } else if (!(i < t.size() && t[i].isWord(u"BEGIN"))) {
        syntaxErrorAt(t, i);
    }
    return definition;
}

bool FunctionCatalog::exists(const QString& name) const {
    return storedText(m_database,
                      QStringLiteral("SELECT type FROM %1 WHERE name = ?1 COLLATE NOCASE")
                          .arg(QLatin1String(tsql::functionTable)),
                      name)
        .has_value();
}

void FunctionCatalog::store(const Tokens& definitionTokens, const QString& text,
                                 ProcedureCatalog::Store how) {
    const FunctionDefinition definition = parseFunction(definitionTokens);
    const bool known = exists(definition.name);
    if (how == ProcedureCatalog::Store::Create && known) {
        failObjectExists(m_database, definition.name);
    }
    if (how == ProcedureCatalog::Store::Alter && !known) {
        failWith(native::InvalidObjectName, {definition.name});
    }
    if (m_database.hasTable(definition.name) ||
        TriggerCatalog(m_database).exists(definition.name) ||
        ProcedureCatalog(m_database).exists(definition.name)) {
        failObjectExists(m_database, definition.name);
    }
    runCatalogWrite(m_database,
                    QStringLiteral("INSERT OR REPLACE INTO %1 VALUES (?1, ?2, ?3)")
                        .arg(QLatin1String(tsql::functionTable)),
                    {definition.name, definition.typeCode(), text});
    storeRoutineParameters(m_database, definition.name, definition.parameters,
                           definition.kind == FunctionKind::Scalar ? definition.returnType
                                                                   : QString());
    markChanged();
}

void FunctionCatalog::markChanged() {
    m_database.run(QStringLiteral("DROP VIEW IF EXISTS %1; CREATE VIEW %1 AS SELECT %2")
                       .arg(QLatin1String(changeMark))
                       .arg(QDateTime::currentMSecsSinceEpoch()));
}

std::optional<FunctionDefinition> FunctionCatalog::find(const QString& name) const {
    const std::optional<QString> text =
        storedText(m_database,
                   QStringLiteral("SELECT definition FROM %1 WHERE name = ?1 COLLATE NOCASE")
                       .arg(QLatin1String(tsql::functionTable)),
                   name);
    if (!text) {
        return std::nullopt;
    }
    // It answers to the catalogue's name, which sp_rename may have changed.
    FunctionDefinition definition = parseFunction(tsql::storedDefinitionTokens(*text));
    definition.name = storedText(m_database,
                                 QStringLiteral("SELECT name FROM %1 WHERE name = ?1 COLLATE NOCASE")
                                     .arg(QLatin1String(tsql::functionTable)),
                                 name)
                          .value_or(definition.name);
    return definition;
}

void FunctionCatalog::drop(const QString& name) {
    if (!exists(name)) {
        failWith(native::CannotDrop, {QStringLiteral("function"), name});
    }
    runCatalogWrite(m_database,
                    QStringLiteral("DELETE FROM %1 WHERE name = ?1 COLLATE NOCASE")
                        .arg(QLatin1String(tsql::functionTable)),
                    {name});
    forgetRoutineParameters(m_database, name);
    markChanged();
}

void FunctionCatalog::rename(const QString& name, const QString& newName) {
    renameRoutine(m_database, tsql::functionTable, name, newName);
    markChanged();
}

} // namespace estaciones::db::sqlite
