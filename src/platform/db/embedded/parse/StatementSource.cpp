#include "platform/db/embedded/parse/StatementSource.h"

#include "platform/db/embedded/parse/Tokenizer.h"

namespace estaciones::db::sqlite {

QString statementSource(const QString& batch, const tsql::Tokens& statement) {
    if (statement.empty() || statement.front().line == 0 || statement.back().line == 0)
        return {};
    const qsizetype from = statement.front().offset;
    const qsizetype last = statement.back().offset + statement.back().text.size();
    if (from < 0 || last > batch.size() || from >= last)
        return {};
    qsizetype end = last;
    // A comment closing the definition (after its END, say) is part of it.
    for (const tsql::Token& after : tsql::tokenize(QStringView(batch).mid(last))) {
        if (!after.isTrivia())
            break;
        if (after.kind == tsql::TokenKind::Comment)
            end = last + after.offset + after.text.size();
    }
    return batch.mid(from, end - from);
}

} // namespace estaciones::db::sqlite
