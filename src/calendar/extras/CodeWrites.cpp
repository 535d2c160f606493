#include "calendar/extras/CodeWrites.h"

#include "calendar/Season.h"
#include "calendar/SeasonStatements.h"
#include "platform/core/ErrorHandling.h"
#include "platform/db/Connection.h"
#include "platform/db/Recordset.h"

namespace estaciones::calendar::extras {

namespace {
// A code as an SQL literal. Codes read back from the table may hold any
// text another program wrote, quotes included.
QString codeLiteral(const StoredCode& code) {
    if (!code) {
        return QStringLiteral("NULL");
    }
    QString quoted = *code;
    quoted.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

QString dateCondition(const QDate& d) {
    return QStringLiteral(" where fecha = '") + calendarDateLiteral(d.day(), d.month(), d.year()) +
           QLatin1Char('\'');
}

QString storeStatement(const DayChange& change) {
    return QStringLiteral("update ma_calendario set Temporada = ") + codeLiteral(change.after) +
           dateCondition(change.date);
}

// The same write, made only while the day still holds `before`.
QString storeIfUnchangedStatement(const DayChange& change) {
    const QString holdsBefore =
        change.before ? QStringLiteral(" and Temporada = ") + codeLiteral(change.before)
                      : QStringLiteral(" and Temporada is null");
    return storeStatement(change) + holdsBefore;
}

// What the day's row holds now; nothing when it has no row.
std::optional<StoredCode> storedCodeOf(db::Connection& connection, const QDate& date) {
    db::Recordset rs = connection.execute(QStringLiteral("select Temporada from ma_calendario") +
                                          dateCondition(date));
    if (rs.state() == db::adStateClosed || rs.eof()) {
        return std::nullopt;
    }
    const Variant value = rs["Temporada"].value();
    return value.isNull() ? StoredCode() : StoredCode(value.toString());
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

// Runs `writeOne` for every change in one transaction; it tells whether the
// day now holds the change's `after` code.
using WriteOne = std::function<bool(const DayChange&)>;

WriteOutcome writeInOneTransaction(db::Connection& connection, const QList<DayChange>& changes,
                                   const BeforeWrite& beforeWrite, const WriteOne& writeOne) {
    WriteOutcome outcome{true, {}, {}, {}};
    if (changes.isEmpty()) {
        return outcome;
    }
    connection.errors().clear();
    const std::optional<Error> failure = ignoringErrors([&] {
        Transaction transaction(connection);
        for (qsizetype i = 0; i < changes.size(); ++i) {
            if (beforeWrite) {
                beforeWrite(i);
            }
            if (writeOne(changes[i])) {
                outcome.applied.append(changes[i]);
            } else {
                outcome.changedElsewhere.append(changes[i].date);
            }
        }
        transaction.commit();
    });
    // A provider failure's description is its first error record's.
    return failure ? WriteOutcome::failed(failure->description()) : outcome;
}
} // namespace

bool sameCode(const StoredCode& a, const StoredCode& b) {
    if (!a || !b) {
        return !a && !b;
    }
    return sameSeasonCode(*a, *b);
}

WriteOutcome writeAfterCodes(db::Connection& connection, const QList<DayChange>& changes,
                             const BeforeWrite& beforeWrite) {
    return writeInOneTransaction(connection, changes, beforeWrite, [&](const DayChange& change) {
        connection.execute(storeStatement(change), nullptr, db::adOptionUnspecified);
        return true;
    });
}

WriteOutcome writeIfUnchanged(db::Connection& connection, const QList<DayChange>& changes,
                              const BeforeWrite& beforeWrite) {
    return writeInOneTransaction(connection, changes, beforeWrite, [&](const DayChange& change) {
        std::int64_t affected = -1;
        connection.execute(storeIfUnchangedStatement(change), &affected, db::adOptionUnspecified);
        if (affected > 0) {
            return true;
        }
        // No count (SET NOCOUNT ON), or no row changed: the day counts as
        // written only when it already holds what was to be written.
        const std::optional<StoredCode> now = storedCodeOf(connection, change.date);
        return now && sameCode(*now, change.after);
    });
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
