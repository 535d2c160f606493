#include "platform/db/embedded/translate/Translator.h"

#include "platform/db/embedded/errors/SqlServerErrors.h"
#include "platform/db/embedded/parse/Tokenizer.h"
#include "platform/db/embedded/translate/JoinedDml.h"
#include "platform/db/embedded/translate/Rewrites.h"
#include "platform/db/embedded/translate/SchemaStatements.h"

namespace estaciones::db::tsql {

namespace {

Pieces prepared(QStringView text) {
    Pieces pieces = toPieces(tokenize(text));
    while (!pieces.empty() && pieces.back().isPunctuation(u";"))
        pieces.pop_back();
    while (!pieces.empty() && pieces.front().isPunctuation(u";"))
        pieces.erase(pieces.begin());
    rewrite::normaliseTokens(pieces);
    rewrite::stripOwners(pieces);
    rewrite::removeHintsAndOptions(pieces);
    rewrite::mapNextValues(pieces);
    return pieces;
}

bool startsWith(const Pieces& pieces, std::initializer_list<QStringView> words) {
    size_t i = 0;
    for (QStringView w : words) {
        if (i >= pieces.size() || !pieces[i].isWord(w))
            return false;
        ++i;
    }
    return true;
}

bool isCreateIndex(const Pieces& pieces) {
    if (!startsWith(pieces, {u"CREATE"}))
        return false;
    for (size_t i = 1; i < pieces.size() && i < 4; ++i)
        if (pieces[i].isWord(u"INDEX"))
            return true;
    return false;
}

// SELECT @a = x, @b = y ...: the variables, with their "@a =" taken out.
QStringList takeAssignments(Pieces& pieces) {
    QStringList variables;
    if (pieces.size() < 3 || !pieces[0].isWord(u"SELECT") ||
        pieces[1].kind != TokenKind::Variable || !pieces[2].isPunctuation(u"="))
        return variables;
    const size_t end = findTopLevelWord(pieces, 1, pieces.size(), u"FROM");
    const auto items = splitTopLevel(pieces, 1, end);
    // Right to left, so that earlier ranges stay valid.
    for (auto it = items.rbegin(); it != items.rend(); ++it) {
        const size_t from = it->first;
        if (it->second - from < 3 || pieces[from].kind != TokenKind::Variable ||
            !pieces[from + 1].isPunctuation(u"="))
            continue;
        variables.prepend(pieces[from].text.mid(1));
        const QString space = pieces[from].space;
        pieces.erase(pieces.begin() + static_cast<std::ptrdiff_t>(from),
                     pieces.begin() + static_cast<std::ptrdiff_t>(from + 2));
        pieces[from].space = space;
    }
    return variables;
}

} // namespace

Translator::Translator(std::shared_ptr<const DialectSettings> settings)
    : m_settings(settings ? std::move(settings) : std::make_shared<const DialectSettings>()) {}

Translation Translator::translate(QStringView statement) const {
    Pieces pieces = prepared(statement);
    Translation translation;
    if (pieces.empty())
        return translation;
    const DialectSettings& settings = *m_settings;
    // Statements the engine does not carry out are refused by name, never run half-way.
    for (const auto& words : {std::initializer_list<QStringView>{u"CREATE", u"TRIGGER"},
                              {u"ALTER", u"TRIGGER"},
                              {u"MERGE"}})
        if (startsWith(pieces, words)) {
            QStringList named;
            for (QStringView w : words)
                named << w.toString();
            sqlite::failWith(sqlite::native::NotSupported, {named.join(QLatin1Char(' '))});
        }
    std::optional<QStringList> schemaStatements;
    if (startsWith(pieces, {u"CREATE", u"TABLE"}))
        schemaStatements = schema::createTable(pieces, settings);
    else if (startsWith(pieces, {u"ALTER", u"TABLE"}))
        schemaStatements = schema::alterTable(pieces, settings);
    else if (isCreateIndex(pieces))
        schemaStatements = schema::createIndex(pieces, settings);
    else if (startsWith(pieces, {u"DROP", u"INDEX"}))
        schemaStatements = schema::dropIndex(pieces);
    else if (startsWith(pieces, {u"CREATE", u"VIEW"}) || startsWith(pieces, {u"ALTER", u"VIEW"}))
        schemaStatements = schema::createOrAlterView(pieces, settings);
    else if (startsWith(pieces, {u"TRUNCATE"}))
        schemaStatements = schema::truncateTable(pieces);
    else if (startsWith(pieces, {u"SELECT"}))
        schemaStatements = schema::selectInto(pieces, settings);
    if (schemaStatements) {
        translation.statements = *schemaStatements;
        return translation;
    }
    rewrite::moveInsertTop(pieces);
    rewrite::fillDefaultValues(pieces);
    if (auto joined = rewrite::joinedUpdate(pieces))
        pieces = std::move(*joined);
    else if (auto joinedRemoval = rewrite::joinedDelete(pieces))
        pieces = std::move(*joinedRemoval);
    else
        rewrite::unqualifyTargetColumns(pieces);
    translation.assignedVariables = takeAssignments(pieces);
    rewrite::rewriteQuery(pieces, settings);
    translation.statements << render(pieces).trimmed();
    return translation;
}

QString Translator::translateExpression(QStringView expression) const {
    Pieces pieces = prepared(expression);
    rewrite::checkScalarSubqueries(pieces, true);
    rewrite::rewriteQuery(pieces, *m_settings);
    return render(pieces).trimmed();
}

} // namespace estaciones::db::tsql
