#include "calendar/extras/SeasonTotals.h"
#include "calendar/extras/ExtrasTexts.h"

namespace estaciones::calendar::extras {

SeasonTotals totalsOf(const CalendarRows& rows, int year) {
    SeasonTotals totals;
    totals.year = year;
    int rowsOfYear = 0;
    for (auto it = rows.constBegin(); it != rows.constEnd(); ++it) {
        if (it.key().year() != year) {
            continue;
        }
        ++rowsOfYear;
        const DayRow& row = it.value();
        if (row.nolaborable) {
            ++totals.nonWorking;
        }
        const QString code = row.codeText().trimmed();
        if (code.isEmpty()) {
            ++totals.unmarked;
        } else if (const auto index = seasonIndexOfCode(code)) {
            ++totals.perSeason[static_cast<std::size_t>(*index)];
        } else {
            ++totals.otherCodes;
        }
    }
    totals.withoutRow = QDate(year, 1, 1).daysInYear() - rowsOfYear;
    return totals;
}

int paintedDays(const SeasonTotals& totals, int season) {
    const int marked = totals.perSeason[static_cast<std::size_t>(season)];
    return season == 0 ? marked + totals.unmarked + totals.withoutRow : marked;
}

QStringList legendLines(const SeasonTotals& totals) {
    QStringList lines;
    for (const Season& season : seasons()) {
        QString line = QStringLiteral("%1: %2").arg(season.caption,
                                                    texts::days(paintedDays(totals, season.index)));
        if (season.index == 0) {
            // The days BAJA's colour stands for without being marked BAJA.
            QStringList unmarkedParts;
            if (totals.unmarked > 0) {
                unmarkedParts << texts::withoutSeasonPart(totals.unmarked);
            }
            if (totals.withoutRow > 0) {
                unmarkedParts << texts::withoutRowPart(totals.withoutRow);
            }
            if (!unmarkedParts.isEmpty()) {
                line += QStringLiteral(" (%1)").arg(unmarkedParts.join(QStringLiteral(", ")));
            }
        }
        lines << line;
    }
    if (totals.otherCodes > 0) {
        lines << QStringLiteral("%1: %2").arg(texts::otherCodes, texts::days(totals.otherCodes));
    }
    lines << QStringLiteral("%1: %2").arg(texts::nonWorking, texts::days(totals.nonWorking));
    return lines;
}

} // namespace estaciones::calendar::extras
