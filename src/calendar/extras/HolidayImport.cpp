#include "calendar/extras/HolidayImport.h"
#include "calendar/extras/ExtrasTexts.h"

#include "data/DB_Dll.h"

namespace estaciones::calendar::extras {

namespace {
// The days of a year the preview names, so that it fits on the screen.
constexpr qsizetype MaxNamedDays = 15;
} // namespace

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
    plan.days = file.days;
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
                year.toNonWorking.append(date);
            }
        }
    }
    return plan;
}

ImportPlan planImport(data::DB_Dll& db, const ICalendarFile& file) {
    return planImport(file, readRows(db, file.days.keys()));
}

QString importPreview(const ImportPlan& plan, const QString& fileName) {
    QString text = plan.changes.isEmpty()
                       ? texts::importNothingToChange(fileName) + QLatin1Char('\n')
                       : texts::importHeading(fileName);
    for (auto entry = plan.years.constBegin(); entry != plan.years.constEnd(); ++entry) {
        const YearImport& year = *entry;
        if (!year.hasCalendar) {
            text += texts::importWithoutCalendarLine(entry.key(), year.withoutRow.size());
            continue;
        }
        text += texts::importNonWorkingLine(entry.key(), static_cast<int>(year.toNonWorking.size()),
                                            year.alreadyNonWorking);
        if (!plan.ownExport) {
            // A holiday calendar names its days: the operator sees which.
            for (qsizetype i = 0; i < year.toNonWorking.size() && i < MaxNamedDays; ++i) {
                const QDate& date = year.toNonWorking[i];
                text += texts::importNamedDay(date, plan.days.value(date).name);
            }
            if (year.toNonWorking.size() > MaxNamedDays) {
                text += texts::importMoreDays(year.toNonWorking.size() - MaxNamedDays);
            }
        } else {
            for (const Season& season : seasons()) {
                text += texts::importSeasonLine(
                    season.caption, year.toSeason[static_cast<std::size_t>(season.index)]);
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

} // namespace estaciones::calendar::extras
