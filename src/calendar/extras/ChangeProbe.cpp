#include "calendar/extras/ChangeProbe.h"

#include "calendar/SeasonStatements.h"
#include "platform/core/ErrorHandling.h"
#include "platform/db/Connection.h"
#include "platform/db/Recordset.h"

namespace estaciones::calendar::extras {

namespace {
QString checksumStatement(int year) {
    return QStringLiteral("select CHECKSUM_AGG(BINARY_CHECKSUM(Fecha, Temporada, nolaborable)) "
                          "from ma_calendario where fecha >= '") +
           calendarDateLiteral(1, 1, year) + QStringLiteral("' and fecha < '") +
           calendarDateLiteral(1, 1, year + 1) + QLatin1Char('\'');
}

bool sameRow(const DayRow& a, const DayRow& b) {
    return a.nolaborable == b.nolaborable && a.code == b.code;
}
} // namespace

std::optional<QString> ChangeProbe::ask(const QString& statement) {
    std::optional<QString> answer;
    // A failed check is no error for the operator: the next method is tried.
    const std::optional<Error> failure = ignoringErrors([&] {
        db::Recordset rs = m_connection.execute(statement);
        if (rs.state() != db::adStateClosed && !rs.eof()) {
            const Variant value = rs.fields().item(0).value();
            answer = value.isNull() ? QStringLiteral("null") : value.toString();
        }
    });
    if (failure) {
        m_connection.errors().clear();
    }
    return answer;
}

std::optional<QString> ChangeProbe::token(int year) {
    if (m_method == Method::Unknown || m_method == Method::DataVersion) {
        if (std::optional<QString> version = ask(QStringLiteral("PRAGMA data_version"))) {
            m_method = Method::DataVersion;
            return version;
        }
    }
    if (m_method == Method::Unknown || m_method == Method::Checksum) {
        if (std::optional<QString> sum = ask(checksumStatement(year))) {
            m_method = Method::Checksum;
            // The year is part of the answer: another year's sum is no change.
            return QString::number(year) + QLatin1Char(':') + *sum;
        }
    }
    if (m_method == Method::Unknown) {
        m_method = Method::None; // neither exists here; a known one may fail once and come back
    }
    return std::nullopt;
}

QList<QDate> changedDays(const CalendarRows& before, const CalendarRows& now, int year) {
    QList<QDate> changed;
    for (const QDate& date : datesOfYear(year)) {
        const auto a = before.constFind(date);
        const auto b = now.constFind(date);
        const bool hadRow = a != before.constEnd();
        const bool hasRow = b != now.constEnd();
        if (hadRow != hasRow || (hadRow && !sameRow(*a, *b))) {
            changed.append(date);
        }
    }
    return changed;
}

} // namespace estaciones::calendar::extras
