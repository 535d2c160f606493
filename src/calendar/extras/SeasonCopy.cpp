#include "calendar/extras/SeasonCopy.h"
#include "calendar/extras/ExtrasTexts.h"

#include "data/DB_Dll.h"

#include <QSet>

namespace estaciones::calendar::extras {

namespace {
// Monday of ISO week 1: the week holding 4 January.
QDate firstIsoMonday(int weekYear) {
    const QDate fourth(weekYear, 1, 4);
    return fourth.addDays(1 - fourth.dayOfWeek());
}

int isoWeeksIn(int weekYear) {
    return QDate(weekYear, 12, 28).weekNumber();
}

QList<QDate> sourceDaysOf(int sourceYear, int targetYear) {
    QList<QDate> days;
    QSet<QDate> seen;
    for (const QDate& target : datesOfYear(targetYear)) {
        if (const auto source = sourceDayFor(target, sourceYear);
            source && !seen.contains(*source)) {
            seen.insert(*source);
            days.append(*source);
        }
    }
    return days;
}
} // namespace

std::optional<QDate> sourceDayFor(const QDate& target, int sourceYear) {
    int weekYear = 0;
    const int week = target.weekNumber(&weekYear);
    const int sourceWeekYear = weekYear + (sourceYear - target.year());
    if (sourceWeekYear < 2 || sourceWeekYear > 9998 || week > isoWeeksIn(sourceWeekYear)) {
        return std::nullopt;
    }
    return firstIsoMonday(sourceWeekYear).addDays(7 * (week - 1) + target.dayOfWeek() - 1);
}

CopyPlan planCopy(const CalendarRows& sourceRows, const CalendarRows& targetRows, int sourceYear,
                  int targetYear) {
    CopyPlan plan;
    plan.sourceYear = sourceYear;
    plan.targetYear = targetYear;
    for (const QDate& target : datesOfYear(targetYear)) {
        const auto targetRow = targetRows.constFind(target);
        if (targetRow == targetRows.constEnd()) {
            continue;
        }
        ++plan.targetRows;
        const auto source = sourceDayFor(target, sourceYear);
        const auto sourceRow = source ? sourceRows.constFind(*source) : sourceRows.constEnd();
        if (sourceRow == sourceRows.constEnd()) {
            ++plan.withoutSource;
            continue;
        }
        if (sourceRow->code == targetRow->code) {
            continue;
        }
        plan.changes.append({target, targetRow->code, sourceRow->code});
        const QString code = sourceRow->codeText();
        if (const auto index = code.trimmed().isEmpty() ? std::nullopt : seasonIndexOfCode(code)) {
            ++plan.changesTo[static_cast<std::size_t>(*index)];
        } else {
            ++plan.changesToOther;
        }
    }
    return plan;
}

CopyPlan planCopy(data::DB_Dll& db, int sourceYear, int targetYear) {
    return planCopy(readRows(db, sourceDaysOf(sourceYear, targetYear)),
                    readYearRows(db, targetYear), sourceYear, targetYear);
}

QString copyPreview(const CopyPlan& plan) {
    QString text = texts::copyHeading(plan.sourceYear, plan.targetYear, plan.changes.size());
    text += texts::copyMatching + QLatin1Char('\n');
    auto line = [&](const QString& caption, int count) {
        text += QStringLiteral("%1: %2\n").arg(caption).arg(count);
    };
    for (const Season& season : seasons()) {
        line(season.caption, plan.changesTo[static_cast<std::size_t>(season.index)]);
    }
    if (plan.changesToOther > 0) {
        line(texts::copyToOther, plan.changesToOther);
    }
    if (plan.withoutSource > 0) {
        text += texts::copyWithoutSource(plan.sourceYear, plan.withoutSource) + QLatin1Char('\n');
    }
    text += QLatin1Char('\n') + texts::askContinue;
    return text;
}

WriteOutcome executeCopy(data::DB_Dll& db, const CopyPlan& plan, const BeforeWrite& beforeWrite,
                         const HistoryStamp* history) {
    return writeAfterCodes(db.gCnn, plan.changes, beforeWrite, history);
}

} // namespace estaciones::calendar::extras
