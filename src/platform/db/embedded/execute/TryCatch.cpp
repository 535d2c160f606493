// BEGIN TRY ... END TRY BEGIN CATCH ... END CATCH.
#include "platform/db/embedded/execute/BatchExecutor.h"
#include "platform/db/embedded/execute/ErrorHandling.h"

namespace estaciones::db::sqlite {

namespace {

// Undoes a counter or stack step on every way out of a block.
template <typename Undo>
class OnExit {
public:
    explicit OnExit(Undo undo) : m_undo(std::move(undo)) {}
    ~OnExit() { m_undo(); }
    OnExit(const OnExit&) = delete;
    OnExit& operator=(const OnExit&) = delete;

private:
    Undo m_undo;
};

} // namespace

BatchExecutor::Flow BatchExecutor::runTryCatch(const StatementNode& node, VariableScope& scope) {
    std::optional<CaughtError> caught;
    {
        ++m_tryDepth;
        const OnExit leaveTry([this] { --m_tryDepth; });
        try {
            return runNode(node.children[0], scope, false);
        } catch (const StatementFailure& failure) {
            // Names resolved as their statement runs fail past a TRY of the
            // same level (a procedure's failure reaches its caller's CATCH),
            // and the client's time-out stops everything.
            if (isAttention(failure) ||
                (isNameResolutionError(failure.nativeError()) && failure.nesting() == m_nesting)) {
                throw;
            }
            caught = CaughtError{failure.records().front(), failure.procedure()};
        }
    }
    m_caught.push_back(*caught);
    const OnExit leaveCatch([this] { m_caught.pop_back(); });
    return runNode(node.children[1], scope, false);
}

} // namespace estaciones::db::sqlite
