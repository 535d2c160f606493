#include "platform/db/embedded/parse/SignificantTokens.h"

#include "platform/db/embedded/parse/Tokenizer.h"

namespace estaciones::db::tsql {

Tokens significantTokens(QStringView text) {
    Tokens tokens;
    for (Token& token : tokenize(text)) {
        if (!token.isTrivia()) {
            tokens.push_back(std::move(token));
        }
    }
    return tokens;
}

std::size_t closingParenthesis(const Tokens& tokens, std::size_t open) {
    int depth = 0;
    for (std::size_t j = open; j < tokens.size(); ++j) {
        depth += tokens[j].isPunctuation(u"(") ? 1 : tokens[j].isPunctuation(u")") ? -1 : 0;
        if (depth == 0) {
            return j;
        }
    }
    return tokens.size();
}

} // namespace estaciones::db::tsql
