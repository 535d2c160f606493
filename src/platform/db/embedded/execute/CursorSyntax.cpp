#include "platform/db/embedded/execute/CursorSyntax.h"

#include "platform/db/embedded/errors/SqlServerErrors.h"
#include "platform/db/embedded/execute/StatementTokens.h"

#include <algorithm>

namespace estaciones::db::sqlite {

using tsql::TokenKind;
using tsql::Tokens;

namespace {

// The options of the extended syntax, each group given once at most.
struct ExtendedOptions {
    QString scope;       // LOCAL, GLOBAL
    QString direction;   // FORWARD_ONLY, SCROLL
    QString kind;        // STATIC, KEYSET, DYNAMIC, FAST_FORWARD
    QString concurrency; // READ_ONLY, SCROLL_LOCKS, OPTIMISTIC
    bool typeWarning = false;
};

QString* groupOf(ExtendedOptions& options, const QString& word) {
    if (word == QLatin1String("LOCAL") || word == QLatin1String("GLOBAL")) {
        return &options.scope;
    }
    if (word == QLatin1String("FORWARD_ONLY") || word == QLatin1String("SCROLL")) {
        return &options.direction;
    }
    if (word == QLatin1String("STATIC") || word == QLatin1String("KEYSET") ||
        word == QLatin1String("DYNAMIC") || word == QLatin1String("FAST_FORWARD")) {
        return &options.kind;
    }
    if (word == QLatin1String("READ_ONLY") || word == QLatin1String("SCROLL_LOCKS") ||
        word == QLatin1String("OPTIMISTIC")) {
        return &options.concurrency;
    }
    return nullptr;
}

void refuseTogether(const QString& first, const QString& second, const QString& a,
                    const QString& b) {
    if (first == a && second == b) {
        failWith(native::ConflictingCursorOptions, {a, b});
    }
}

CursorOptions extendedCursorOptions(const ExtendedOptions& given, bool forUpdate) {
    refuseTogether(given.kind, given.direction, QStringLiteral("FAST_FORWARD"),
                   QStringLiteral("SCROLL"));
    refuseTogether(given.kind, given.concurrency, QStringLiteral("FAST_FORWARD"),
                   QStringLiteral("SCROLL_LOCKS"));
    refuseTogether(given.kind, given.concurrency, QStringLiteral("FAST_FORWARD"),
                   QStringLiteral("OPTIMISTIC"));
    refuseTogether(given.kind, given.concurrency, QStringLiteral("STATIC"),
                   QStringLiteral("SCROLL_LOCKS"));
    if (forUpdate) {
        refuseTogether(given.kind, QStringLiteral("FOR UPDATE"), QStringLiteral("FAST_FORWARD"),
                       QStringLiteral("FOR UPDATE"));
    }
    CursorOptions options;
    options.global = given.scope != QLatin1String("LOCAL");
    if (given.kind == QLatin1String("STATIC")) {
        options.sensitivity = CursorSensitivity::Static;
    } else if (given.kind == QLatin1String("KEYSET") ||
               (given.kind.isEmpty() && given.direction == QLatin1String("SCROLL"))) {
        options.sensitivity = CursorSensitivity::Keyset;
    }
    // STATIC, KEYSET and DYNAMIC scroll unless FORWARD_ONLY says otherwise.
    options.scrollable = given.direction == QLatin1String("SCROLL") ||
                         (given.direction.isEmpty() && !given.kind.isEmpty() &&
                          given.kind != QLatin1String("FAST_FORWARD"));
    options.readOnly = given.concurrency == QLatin1String("READ_ONLY") ||
                       given.kind == QLatin1String("STATIC") ||
                       given.kind == QLatin1String("FAST_FORWARD");
    return options;
}

// The trailing FOR READ ONLY / FOR UPDATE [OF ...] of a cursor's query.
std::size_t trailingForClause(const Tokens& tokens, std::size_t from) {
    int depth = 0;
    std::size_t found = tokens.size();
    for (std::size_t i = from; i + 1 < tokens.size(); ++i) {
        depth += tokens[i].isPunctuation(u"(") ? 1 : tokens[i].isPunctuation(u")") ? -1 : 0;
        if (depth == 0 && tokens[i].isWord(u"FOR") &&
            (tokens[i + 1].isWord(u"UPDATE") || tokens[i + 1].isWord(u"READ"))) {
            found = i;
        }
    }
    return found;
}

} // namespace

CursorDefinition readCursorDefinition(const Tokens& tokens, std::size_t from) {
    std::size_t i = from;
    bool iso = false;
    bool insensitive = false;
    bool isoScroll = false;
    for (; i < tokens.size() && !tokens[i].isWord(u"CURSOR"); ++i) {
        if (tokens[i].isWord(u"INSENSITIVE") && !insensitive && !isoScroll) {
            insensitive = true;
        } else if (tokens[i].isWord(u"SCROLL") && !isoScroll) {
            isoScroll = true;
        } else {
            syntaxErrorNear(tokens, i);
        }
        iso = true;
    }
    if (i >= tokens.size()) {
        syntaxErrorNear(tokens, i);
    }
    ExtendedOptions given;
    for (++i; i < tokens.size() && !tokens[i].isWord(u"FOR"); ++i) {
        const QString word = upperWord(tokens, i);
        if (iso) {
            syntaxErrorNear(tokens, i); // the two forms do not mix
        }
        if (word == QLatin1String("TYPE_WARNING") && !given.typeWarning) {
            given.typeWarning = true;
            continue;
        }
        QString* group = groupOf(given, word);
        if (!group || !group->isEmpty()) {
            syntaxErrorNear(tokens, i);
        }
        *group = word;
    }
    if (i + 1 >= tokens.size() || !tokens[i + 1].isWord(u"SELECT")) {
        syntaxErrorNear(tokens, i + 1 < tokens.size() ? i + 1 : i);
    }
    const std::size_t queryStart = i + 1;
    const std::size_t forClause = trailingForClause(tokens, queryStart);
    CursorDefinition definition;
    definition.query = slice(tokens, queryStart, forClause);
    bool forUpdate = false;
    bool forReadOnly = false;
    if (forClause < tokens.size()) {
        std::size_t at = forClause + 1;
        if (tokens[at].isWord(u"READ")) {
            if (at + 1 >= tokens.size() || !tokens[at + 1].isWord(u"ONLY") ||
                at + 2 < tokens.size()) {
                syntaxErrorNear(tokens, std::min(at + 2, tokens.size() - 1));
            }
            forReadOnly = true;
        } else {
            forUpdate = true;
            ++at;
            if (at < tokens.size()) {
                if (!tokens[at].isWord(u"OF")) {
                    syntaxErrorNear(tokens, at);
                }
                for (const Range& range : splitByCommas(tokens, at + 1, tokens.size())) {
                    if (range.to != range.from + 1 || !tokens[range.from].isNameLike()) {
                        syntaxErrorNear(tokens, range.from);
                    }
                    definition.options.updatableColumns << tokens[range.from].value();
                }
                if (definition.options.updatableColumns.isEmpty()) {
                    syntaxErrorNear(tokens, at);
                }
            }
        }
    }
    const QStringList columns = definition.options.updatableColumns;
    if (iso) {
        definition.options.sensitivity = insensitive ? CursorSensitivity::Static
                                         : isoScroll ? CursorSensitivity::Keyset
                                                     : CursorSensitivity::Dynamic;
        definition.options.scrollable = isoScroll;
        definition.options.readOnly = insensitive;
    } else {
        definition.options = extendedCursorOptions(given, forUpdate);
    }
    definition.options.updatableColumns = columns;
    definition.options.readOnly = definition.options.readOnly || forReadOnly;
    return definition;
}

CursorReference readCursorReference(const Tokens& tokens, std::size_t& i) {
    CursorReference reference;
    if (i < tokens.size() && tokens[i].kind == TokenKind::Variable) {
        reference.name = tokens[i++].text;
        reference.variable = true;
        return reference;
    }
    if (i + 1 < tokens.size() && tokens[i].isWord(u"GLOBAL") && tokens[i + 1].isNameLike()) {
        reference.global = true;
        ++i;
    }
    if (i >= tokens.size() || !tokens[i].isNameLike()) {
        syntaxErrorNear(tokens, i);
    }
    reference.name = tokens[i++].value();
    return reference;
}

CursorReference readCursorTarget(const Tokens& tokens) {
    std::size_t i = 1;
    CursorReference reference = readCursorReference(tokens, i);
    if (i < tokens.size()) {
        syntaxErrorNear(tokens, i);
    }
    return reference;
}

QString directionName(FetchDirection direction) {
    switch (direction) {
    case FetchDirection::Next:
        return QStringLiteral("NEXT");
    case FetchDirection::Prior:
        return QStringLiteral("PRIOR");
    case FetchDirection::First:
        return QStringLiteral("FIRST");
    case FetchDirection::Last:
        return QStringLiteral("LAST");
    case FetchDirection::Absolute:
        return QStringLiteral("ABSOLUTE");
    case FetchDirection::Relative:
        return QStringLiteral("RELATIVE");
    }
    return {};
}

FetchStatement readFetch(const Tokens& tokens) {
    FetchStatement fetch;
    std::size_t i = 1;
    static const std::vector<FetchDirection> directions{
        FetchDirection::Next, FetchDirection::Prior,    FetchDirection::First,
        FetchDirection::Last, FetchDirection::Absolute, FetchDirection::Relative};
    const QString first = upperWord(tokens, i);
    const auto named = std::find_if(directions.begin(), directions.end(), [&](FetchDirection d) {
        return directionName(d) == first;
    });
    if (named != directions.end()) {
        fetch.direction = *named;
        ++i;
        if (fetch.direction == FetchDirection::Absolute ||
            fetch.direction == FetchDirection::Relative) {
            // n (signed) or @nvar
            const std::size_t start = i;
            if (i < tokens.size() &&
                (tokens[i].isPunctuation(u"-") || tokens[i].isPunctuation(u"+"))) {
                ++i;
            }
            if (i >= tokens.size() ||
                (tokens[i].kind != TokenKind::Number && tokens[i].kind != TokenKind::Variable)) {
                syntaxErrorNear(tokens, i);
            }
            fetch.offset = slice(tokens, start, ++i);
        }
        if (!tokens[std::min(i, tokens.size() - 1)].isWord(u"FROM") || i >= tokens.size()) {
            syntaxErrorNear(tokens, i);
        }
        ++i;
    } else if (first == QLatin1String("FROM")) {
        ++i;
    }
    fetch.cursor = readCursorReference(tokens, i);
    if (i < tokens.size()) {
        if (!tokens[i].isWord(u"INTO")) {
            syntaxErrorNear(tokens, i);
        }
        for (const Range& range : splitByCommas(tokens, i + 1, tokens.size())) {
            if (range.to != range.from + 1 || tokens[range.from].kind != TokenKind::Variable) {
                syntaxErrorNear(tokens, range.from);
            }
            fetch.into.push_back(tokens[range.from].text);
        }
        if (fetch.into.empty()) {
            syntaxErrorNear(tokens, i);
        }
    }
    return fetch;
}

} // namespace estaciones::db::sqlite
