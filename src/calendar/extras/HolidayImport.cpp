#include "calendar/extras/HolidayImport.h"
#include "calendar/extras/ExtrasTexts.h"

#include "data/DB_Dll.h"

namespace estaciones::calendar::extras {

QList<int> ImportPlan::yearsWithoutCalendar() const {
    QList<int> missing;
    for (auto year = years.constBegin(); year != years.constEnd(); ++year) {
        if (!year->hasCalendar) {
            missing.append(year.key());
        }
    }
    return missing;
}

qsizetype ImportPlan::notImported() const {
    qsizetype count = 0;
    for (const YearImport& year : years) {
        count += year.withoutRow.size();
    }
    return count;
}

ImportPlan planImport(const ICalendarFile& file, const CalendarRows& rows) {
    ImportPlan plan;
    plan.ownExport = file.ownExport;
    QSet<int> yearsWithRows;
    for (const QDate& date : rows.keys()) {
        yearsWithRows.insert(date.year());
    }
    for (auto day = file.days.constBegin(); day != file.days.constEnd(); ++day) {
        const QDate& date = day.key();
        YearImport& year = plan.years[date.year()];
        year.hasCalendar = yearsWithRows.contains(date.year());
        const auto row = rows.constFind(date);
        if (row == rows.constEnd()) {
            year.withoutRow.append(date);
            continue;
        }
        if (day->season) {
            const Season& season = seasons()[static_cast<std::size_t>(*day->season)];
            if (sameCode(row->code, season.code)) {
                ++year.alreadySeason;
            } else {
                plan.changes.append({date, row->code, season.code, DayField::Season});
                ++year.toSeason[static_cast<std::size_t>(season.index)];
            }
        }
        if (day->nonWorking) {
            if (row->nolaborable) {
                ++year.alreadyNonWorking;
            } else {
                plan.changes.append(nonWorkingToggle(date, false));
                ++year.toNonWorking;
            }
        }
    }
    return plan;
}

ImportPlan planImport(data::DB_Dll& db, const ICalendarFile& file) {
    return planImport(file, readRows(db, file.days.keys()));
}

QString importPreview(const ImportPlan& plan, const QString& fileName) {
    QString text = plan.changes.isEmpty() ? texts::importNothingToChange(fileName) + QLatin1Char('\n')
                                          : texts::importHeading(fileName);
    for (auto entry = plan.years.constBegin(); entry != plan.years.constEnd(); ++entry) {
        const YearImport& year = *entry;
        if (!year.hasCalendar) {
            text += texts::importWithoutCalendarLine(entry.key(), year.withoutRow.size());
            continue;
        }
        text += texts::importNonWorkingLine(entry.key(), year.toNonWorking, year.alreadyNonWorking);
        if (plan.ownExport) {
            for (const Season& season : seasons()) {
                text += texts::importSeasonLine(season.caption,
                                                year.toSeason[static_cast<std::size_t>(season.index)]);
            }
        }
        if (!year.withoutRow.isEmpty()) {
            text += texts::importWithoutRowLine(entry.key(), year.withoutRow.size(),
                                                texts::dateList(year.withoutRow));
        }
    }
    if (!plan.changes.isEmpty()) {
        text += QLatin1Char('\n') + texts::askContinue;
    }
    return text;
}

WriteOutcome executeImport(data::DB_Dll& db, const ImportPlan& plan, const BeforeWrite& beforeWrite,
                           const HistoryStamp* history) {
    return writeIfUnchanged(db.gCnn, plan.changes, beforeWrite, history);
}

} // namespace estaciones::calendar::extras
