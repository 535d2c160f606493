#include "calendar/extras/CodeWrites.h"

#include "calendar/SeasonStatements.h"
#include "platform/core/ErrorHandling.h"
#include "platform/db/Connection.h"
#include "platform/db/Recordset.h"

namespace estaciones::calendar::extras {

namespace {
QString storeStatement(const DayChange& change) {
    const QDate& d = change.date;
    if (change.after) {
        return assignSeasonStatement(*change.after, d.day(), d.month(), d.year());
    }
    return QStringLiteral("update ma_calendario set Temporada = NULL where fecha = '") +
           calendarDateLiteral(d.day(), d.month(), d.year()) + QLatin1Char('\'');
}

// A transaction that rolls back when left without commit (an error thrown
// by one of its writes).
class Transaction {
public:
    explicit Transaction(db::Connection& connection) : m_connection(connection) {
        m_connection.beginTrans();
    }
    ~Transaction() {
        if (!m_committed) {
            ignoringErrors([this] { m_connection.rollbackTrans(); });
        }
    }
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    void commit() {
        m_connection.commitTrans();
        m_committed = true;
    }

private:
    db::Connection& m_connection;
    bool m_committed = false;
};
} // namespace

WriteOutcome writeAfterCodes(db::Connection& connection, const QList<DayChange>& changes,
                             const BeforeWrite& beforeWrite) {
    if (changes.isEmpty()) {
        return {true, {}};
    }
    connection.errors().clear();
    const std::optional<Error> failure = ignoringErrors([&] {
        Transaction transaction(connection);
        for (qsizetype i = 0; i < changes.size(); ++i) {
            if (beforeWrite) {
                beforeWrite(i);
            }
            connection.execute(storeStatement(changes[i]), nullptr, db::adOptionUnspecified);
        }
        transaction.commit();
    });
    // A provider failure's description is its first error record's.
    return failure ? WriteOutcome{false, failure->description()} : WriteOutcome{true, {}};
}

QList<DayChange> reversed(const QList<DayChange>& changes) {
    QList<DayChange> back;
    back.reserve(changes.size());
    for (const DayChange& change : changes) {
        back.append({change.date, change.after, change.before});
    }
    return back;
}

} // namespace estaciones::calendar::extras
