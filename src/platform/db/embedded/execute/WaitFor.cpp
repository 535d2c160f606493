// WAITFOR DELAY 'time' and WAITFOR TIME 'time': the batch waits, within the
// command's time-out.
#include "platform/db/embedded/errors/SqlServerErrors.h"
#include "platform/db/embedded/execute/BatchExecutor.h"
#include "platform/db/embedded/execute/StatementTokens.h"
#include "platform/db/embedded/storage/DateText.h"

#include <QThread>
#include <QTime>

#include <algorithm>

namespace estaciones::db::sqlite {

void BatchExecutor::waitFor(const tsql::Tokens& tokens, VariableScope& scope) {
    const QString mode = upperWord(tokens, 1);
    if ((mode != QLatin1String("DELAY") && mode != QLatin1String("TIME")) || tokens.size() < 3) {
        syntaxErrorNear(tokens, std::min<std::size_t>(1, tokens.size() - 1));
    }
    const Variant value = evaluate(slice(tokens, 2, tokens.size()), scope);
    // A time of day, without a date: 'hh:mm[:ss[.mmm]]'.
    const auto time = value.isNull() ? std::nullopt : tsql::parseDateText(value.toString());
    if (!time || time->date() != tsql::dayZero().date()) {
        failWith(native::DateConversionFailed);
    }
    qint64 wait = time->time().msecsSinceStartOfDay();
    if (mode == QLatin1String("TIME")) {
        // The next time the clock reads it: today, or tomorrow when it has passed.
        const qint64 now = QTime::currentTime().msecsSinceStartOfDay();
        wait = (wait - now + 86400000LL) % 86400000LL;
    }
    for (qint64 left = wait; left > 0; left -= 50) {
        m_runner.checkTimeout();
        QThread::msleep(static_cast<unsigned long>(std::min<qint64>(left, 50)));
    }
    m_runner.checkTimeout();
}

} // namespace estaciones::db::sqlite
