#include "calendar/extras/CodeWrites.h"

#include "calendar/Season.h"
#include "calendar/SeasonStatements.h"
#include "calendar/extras/DayHistory.h"
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

QString columnOf(DayField field) {
    return field == DayField::Season ? QStringLiteral("Temporada") : QStringLiteral("nolaborable");
}

// The value of a change as the column's literal: the flag is a number.
QString valueLiteral(DayField field, const StoredCode& value) {
    if (field == DayField::NonWorking) {
        return isNonWorkingValue(value) ? QStringLiteral("1") : QStringLiteral("0");
    }
    return codeLiteral(value);
}

QString dateCondition(const QDate& d) {
    return QStringLiteral(" where fecha = '") + calendarDateLiteral(d.day(), d.month(), d.year()) +
           QLatin1Char('\'');
}

QString storeStatement(const DayChange& change) {
    return QStringLiteral("update ma_calendario set ") + columnOf(change.field) +
           QStringLiteral(" = ") + valueLiteral(change.field, change.after) +
           dateCondition(change.date);
}

// The same write, made only while the day still holds `before`.
QString storeIfUnchangedStatement(const DayChange& change) {
    const QString column = columnOf(change.field);
    const bool nullBefore = change.field == DayField::Season && !change.before;
    const QString holdsBefore = nullBefore
                                    ? QStringLiteral(" and Temporada is null")
                                    : QStringLiteral(" and ") + column + QStringLiteral(" = ") +
                                          valueLiteral(change.field, change.before);
    return storeStatement(change) + holdsBefore;
}

// What the day's row holds now in `field`; nothing when it has no row.
std::optional<StoredCode> storedValueOf(db::Connection& connection, const QDate& date,
                                        DayField field) {
    const QString column = columnOf(field);
    db::Recordset rs =
        connection.execute(QStringLiteral("select ") + column +
                           QStringLiteral(" from ma_calendario") + dateCondition(date));
    if (rs.state() == db::adStateClosed || rs.eof()) {
        return std::nullopt;
    }
    const Variant value = rs[column].value();
    if (field == DayField::NonWorking) {
        return nonWorkingValue(!value.isNull() && value.toInt32() != 0);
    }
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

// What one write found.
enum class Written {
    Changed,     // the day now holds the change's `after` value
    AlreadyHeld, // it held it before: nothing changed, nothing to record
    Elsewhere,   // it holds what another station put there: left as it is
};

// Runs `writeOne` for every change in one transaction, with the history row
// of every day it changed in the same transaction.
using WriteOne = std::function<Written(const DayChange&)>;

WriteOutcome writeInOneTransaction(db::Connection& connection, const QList<DayChange>& changes,
                                   const BeforeWrite& beforeWrite, const HistoryStamp* history,
                                   const WriteOne& writeOne) {
    WriteOutcome outcome{true, {}, {}, {}};
    if (changes.isEmpty()) {
        return outcome;
    }
    connection.errors().clear();
    const std::optional<Error> failure = ignoringErrors([&] {
        if (history) {
            ensureHistoryTable(connection); // outside the transaction's rollback
        }
        const QDateTime now = QDateTime::currentDateTime();
        Transaction transaction(connection);
        for (qsizetype i = 0; i < changes.size(); ++i) {
            if (beforeWrite) {
                beforeWrite(i);
            }
            const Written written = writeOne(changes[i]);
            if (written == Written::Elsewhere) {
                outcome.changedElsewhere.append(changes[i].date);
                continue;
            }
            outcome.applied.append(changes[i]);
            if (history && written == Written::Changed &&
                !sameCode(changes[i].before, changes[i].after)) {
                insertHistoryRow(connection, changes[i], *history, now);
            }
        }
        transaction.commit();
    });
    // A provider failure's description is its first error record's.
    return failure ? WriteOutcome::failed(failure->description()) : outcome;
}
} // namespace

StoredCode nonWorkingValue(bool nonWorking) {
    return nonWorking ? QStringLiteral("1") : QStringLiteral("0");
}

bool isNonWorkingValue(const StoredCode& value) {
    return value && *value == QLatin1String("1");
}

DayChange nonWorkingToggle(const QDate& date, bool nonWorkingNow) {
    return {date, nonWorkingValue(nonWorkingNow), nonWorkingValue(!nonWorkingNow),
            DayField::NonWorking};
}

bool sameCode(const StoredCode& a, const StoredCode& b) {
    if (!a || !b) {
        return !a && !b;
    }
    return sameSeasonCode(*a, *b);
}

WriteOutcome writeAfterCodes(db::Connection& connection, const QList<DayChange>& changes,
                             const BeforeWrite& beforeWrite, const HistoryStamp* history) {
    return writeInOneTransaction(
        connection, changes, beforeWrite, history, [&](const DayChange& change) {
            connection.execute(storeStatement(change), nullptr, db::adOptionUnspecified);
            return Written::Changed;
        });
}

WriteOutcome writeIfUnchanged(db::Connection& connection, const QList<DayChange>& changes,
                              const BeforeWrite& beforeWrite, const HistoryStamp* history) {
    return writeInOneTransaction(connection, changes, beforeWrite, history,
                                 [&](const DayChange& change) {
                                     std::int64_t affected = -1;
                                     connection.execute(storeIfUnchangedStatement(change),
                                                        &affected, db::adOptionUnspecified);
                                     if (affected > 0) {
                                         return Written::Changed;
                                     }
                                     // No count (SET NOCOUNT ON), or no row changed: the day counts
                                     // as written only when it already holds what was to be
                                     // written.
                                     const std::optional<StoredCode> now =
                                         storedValueOf(connection, change.date, change.field);
                                     if (!now || !sameCode(*now, change.after)) {
                                         return Written::Elsewhere;
                                     }
                                     // Without a count the write cannot be told from a day that
                                     // held the value already: it is recorded as a change.
                                     return affected < 0 ? Written::Changed : Written::AlreadyHeld;
                                 });
}

QList<DayChange> reversed(const QList<DayChange>& changes) {
    QList<DayChange> back;
    back.reserve(changes.size());
    for (const DayChange& change : changes) {
        back.append({change.date, change.after, change.before, change.field});
    }
    return back;
}

} // namespace estaciones::calendar::extras
