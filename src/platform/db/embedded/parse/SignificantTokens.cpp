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

} // namespace estaciones::db::tsql
