// A whole batch through the parser and every statement through the
// translator: a translation or the server's error, never a crash or a hang.
#include "FuzzInput.h"

#include "platform/db/Engine.h"
#include "platform/db/embedded/parse/BatchParser.h"
#include "platform/db/embedded/translate/Translator.h"

namespace {

using estaciones::db::ProviderFailure;
using estaciones::db::sqlite::StatementNode;

void translateAll(const estaciones::db::tsql::Translator& translator,
                  const std::vector<StatementNode>& nodes) {
    for (const StatementNode& node : nodes) {
        try {
            if (!node.condition.empty()) {
                translator.translateExpression(estaciones::db::sqlite::joinTokens(node.condition));
            }
            if (node.kind == StatementNode::Kind::Sql && !node.tokens.empty()) {
                translator.translate(estaciones::db::sqlite::joinTokens(node.tokens));
            }
        } catch (const ProviderFailure&) {
            // The server's error for this statement: an answer.
        }
        translateAll(translator, node.children);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const estaciones::db::tsql::Translator translator;
    try {
        translateAll(translator,
                     estaciones::db::sqlite::parseBatch(estaciones::fuzz::textOf(data, size)));
    } catch (const ProviderFailure&) {
        // A syntax error of the whole batch.
    }
    return 0;
}
