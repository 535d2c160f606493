#pragma once

#include "calendar/Season.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

// The operator texts of the calendar's additions (ranges, undo, totals, year
// copy, printing and export), in one place.
namespace estaciones::calendar::extras::texts {

inline QString days(qsizetype count) {
    return count == 1 ? QStringLiteral("1 día") : QStringLiteral("%1 días").arg(count);
}

// The first five of `dates`, "..." after them when there are more.
inline QString dateList(const QList<QDate>& dates) {
    QStringList shown;
    for (qsizetype i = 0; i < dates.size() && i < 5; ++i) {
        shown << dates[i].toString(QStringLiteral("d/M/yyyy"));
    }
    if (dates.size() > shown.size()) {
        shown << QStringLiteral("...");
    }
    return shown.join(QStringLiteral(", "));
}

// Range filters.
inline const QString allDays = QStringLiteral("Todos los días");
inline const QString weekendOnly = QStringLiteral("Solo sábados y domingos");
inline const QString mondayToFriday = QStringLiteral("De lunes a viernes");
inline const QString sundaysOnly = QStringLiteral("Solo domingos");

// Totals.
inline QString totalsTitle(int year) {
    return QStringLiteral("Totales %1").arg(year);
}
inline QString withoutSeasonPart(int count) {
    return QStringLiteral("%1 sin temporada").arg(count);
}
inline QString withoutRowPart(int count) {
    return QStringLiteral("%1 sin calendario").arg(count);
}
inline const QString otherCodes = QStringLiteral("Otros códigos");
inline const QString nonWorking = QStringLiteral("No laborables");

// Undo and redo.
inline const QString nothingToUndo = QStringLiteral("No hay nada que deshacer.");
inline const QString nothingToRedo = QStringLiteral("No hay nada que rehacer.");
inline QString changedByOtherStation(qsizetype count, const QString& dates) {
    return QStringLiteral("Otro puesto cambió %1 después de esta marca; %2 como %3: %4.")
        .arg(count == 1 ? QStringLiteral("este día") : QStringLiteral("estos días"),
             count == 1 ? QStringLiteral("queda") : QStringLiteral("quedan"),
             count == 1 ? QStringLiteral("está") : QStringLiteral("están"), dates);
}

// Other stations' marks seen live.
inline QString changedByOthersStatus(qsizetype count) {
    return count == 1 ? QStringLiteral("1 día cambiado por otro puesto")
                      : QStringLiteral("%1 días cambiados por otro puesto").arg(count);
}
inline QString replacedOtherStation(qsizetype count, const QString& dates) {
    return QStringLiteral("Se reemplazó lo que otro puesto acababa de guardar en %1 (%2); "
                          "Deshacer lo devuelve.")
        .arg(days(count), dates);
}

// Printed sheet and export.
inline QString sheetTitle(int year) {
    return QStringLiteral("Calendario de temporadas %1").arg(year);
}
inline QString eventOfSeason(const QString& caption) {
    return QStringLiteral("Temporada ") + caption;
}
inline const QString nonWorkingEvent = QStringLiteral("Día no laborable");

// Copying a year.
inline QString copyHeading(int source, int target, qsizetype changes) {
    return QStringLiteral("Copiar las temporadas de %1 a %2 cambiará %3.\n")
        .arg(source)
        .arg(target)
        .arg(days(changes));
}
inline const QString copyMatching =
    QStringLiteral("Los días se corresponden por día de la semana y semana del año.\n");
inline const QString copyToOther = QStringLiteral("Sin temporada u otro código");
inline QString copyWithoutSource(int source, int count) {
    return QStringLiteral("Días sin correspondencia en %1 (quedan como están): %2")
        .arg(source)
        .arg(count);
}
inline const QString askContinue = QStringLiteral("¿Desea continuar?");
inline const QString copyTitle = QStringLiteral("Copiar temporadas");
inline QString askSourceYear(int target) {
    return QStringLiteral("Año del que se copian las temporadas al año %1:").arg(target);
}
inline QString sameYear(int target) {
    return QStringLiteral("El año de origen debe ser distinto del año %1.").arg(target);
}
inline QString offerCreateTarget(int target) {
    return QStringLiteral("El calendario del año %1 todavía no fue creado. ¿Desea crearlo ahora "
                          "con \"Crear Calendario\"?")
        .arg(target);
}
inline QString nothingToCopy(int source, int target) {
    return QStringLiteral("El año %1 ya tiene las temporadas de %2: no hay nada que copiar.")
        .arg(target)
        .arg(source);
}
inline QString copyFailed(int target, const QString& error) {
    return QStringLiteral("No se copiaron las temporadas; el año %1 queda como estaba.\n%2")
        .arg(target)
        .arg(error);
}

// Importing holidays from an iCalendar file.
inline const QString importHolidays = QStringLiteral("Importar festivos...");
inline const QString importHolidaysTip = QStringLiteral(
    "Marcar como no laborables los días de un calendario de festivos (.ics); un archivo "
    "exportado por este programa devuelve también sus temporadas");
inline const QString importTitle = QStringLiteral("Importar festivos");
inline QString importUnreadable(const QString& path) {
    return QStringLiteral("No se pudo leer el archivo %1.").arg(path);
}
inline QString importRefused(const QString& path, const QString& reason) {
    return QStringLiteral("No se importó nada de %1:\n%2").arg(path, reason);
}
inline const QString importEmptyFile = QStringLiteral("El archivo está vacío.");
inline const QString importNotICalendar =
    QStringLiteral("El archivo no es un calendario iCalendar (falta BEGIN:VCALENDAR).");
inline QString importMalformed(const QString& detail) {
    return QStringLiteral("El archivo iCalendar está mal formado (%1).").arg(detail);
}
inline const QString importIncomplete =
    QStringLiteral("El archivo iCalendar está incompleto: un bloque BEGIN no tiene su END.");
inline QString importBadValue(const QString& property, const QString& value) {
    return QStringLiteral("no se entiende el valor «%1» de %2").arg(value, property);
}
inline QString importBadLine(const QString& line) {
    return QStringLiteral("la línea «%1» no es una propiedad").arg(line);
}
inline const QString importWithoutEvents = QStringLiteral("El archivo no contiene eventos.");
inline QString importOutsideYears(int first, int last) {
    return QStringLiteral("Ningún evento del archivo cae entre los años %1 y %2.")
        .arg(first)
        .arg(last);
}
inline QString eventName(const QString& summary) {
    return summary.isEmpty() ? QStringLiteral("sin título") : QStringLiteral("«%1»").arg(summary);
}
// The reasons a file is refused that name one of its events: "%1" is the
// event's name (aboutEvent).
inline const char* const importWithoutStart = "El evento %1 no tiene fecha de inicio (DTSTART).";
inline const char* const importBadDate = "El evento %1 tiene una fecha no válida.";
inline const char* const importBadRepeat =
    "La regla de repetición (RRULE) del evento %1 no es válida.";
inline const char* const importRepeatTooFine =
    "El evento %1 se repite por horas, minutos o segundos; el calendario solo admite días.";
inline const char* const importTooManyRepeats = "La repetición del evento %1 da demasiadas fechas.";
inline const char* const importEventWithoutKind =
    "El evento %1 no dice si es una temporada o un día no laborable (CATEGORIES).";
inline QString aboutEvent(const char* reason, const QString& summary) {
    return QString::fromUtf8(reason).arg(eventName(summary));
}
inline QString importTwoSeasons(const QDate& date) {
    return QStringLiteral("El archivo da dos temporadas distintas al día %1.")
        .arg(date.toString(QStringLiteral("dd/MM/yyyy")));
}
inline QString importHeading(const QString& file) {
    return QStringLiteral("Importar festivos de %1:\n\n").arg(file);
}
inline QString importNonWorkingLine(int year, int count, int already) {
    QString line = QStringLiteral("%1: %2 a no laborable").arg(year).arg(days(count));
    if (already > 0) {
        line += QStringLiteral(" (%1 ya lo %2)").arg(already).arg(already == 1 ? "era" : "eran");
    }
    return line + QLatin1Char('\n');
}
inline QString importNamedDay(const QDate& date, const QString& name) {
    return QStringLiteral("    %1 %2\n").arg(date.toString(QStringLiteral("dd/MM/yyyy")), name);
}
inline QString importMoreDays(qsizetype count) {
    return QStringLiteral("    ... y %1 más\n").arg(days(count));
}
inline QString importSeasonLine(const QString& caption, int count) {
    return QStringLiteral("    %1: %2\n").arg(caption, days(count));
}
inline QString importWithoutCalendarLine(int year, qsizetype count) {
    return QStringLiteral("%1: sin calendario; no importados: %2\n").arg(year).arg(days(count));
}
inline QString importWithoutRowLine(int year, qsizetype count, const QString& dates) {
    return QStringLiteral("%1: sin fila en el calendario; no importados: %2 (%3)\n")
        .arg(year)
        .arg(days(count), dates);
}
inline QString importNothingToChange(const QString& file) {
    return QStringLiteral("Los días de %1 ya están así en el calendario: no hay nada que "
                          "importar.\n")
        .arg(file);
}
inline QString offerCreateYears(const QList<int>& years) {
    if (years.size() == 1) {
        return offerCreateTarget(years.first());
    }
    QStringList names;
    for (const int year : years) {
        names << QString::number(year);
    }
    return QStringLiteral("Los calendarios de los años %1 todavía no fueron creados. ¿Desea "
                          "crearlos ahora con \"Crear Calendario\"?")
        .arg(names.join(QStringLiteral(", ")));
}
inline QString importFailed(const QString& error) {
    return QStringLiteral("No se importaron los festivos; el calendario queda como estaba.\n%1")
        .arg(error);
}

// Range marking.
inline QString rangeWithoutRows(qsizetype count, const QString& dates) {
    return QStringLiteral("%1 del rango no tienen calendario y no se marcaron: %2. Use \"Crear "
                          "Calendario\" para su año.")
        .arg(days(count), dates);
}

// The window's toolbar.
inline const QString toolbar = QStringLiteral("Herramientas");
inline const QString undo = QStringLiteral("Deshacer");
inline const QString undoTip = QStringLiteral("Deshacer la última marca (Ctrl+Z)");
inline const QString redo = QStringLiteral("Rehacer");
inline const QString redoTip = QStringLiteral("Rehacer la marca deshecha (Ctrl+Y)");
inline const QString rangeLabel = QStringLiteral(" Rango (Mayús+clic): ");
inline const QString copy = QStringLiteral("Copiar temporadas...");
inline const QString copyTip = QStringLiteral("Copiar las temporadas de otro año al año mostrado");
inline const QString print = QStringLiteral("Imprimir...");
inline const QString printTip = QStringLiteral("Imprimir el año mostrado");
inline const QString pdf = QStringLiteral("Guardar PDF...");
inline const QString pdfTip = QStringLiteral("Guardar el año mostrado como PDF");
inline const QString iCalendar = QStringLiteral("Exportar iCalendar...");
inline const QString iCalendarTip =
    QStringLiteral("Exportar las temporadas y los días no laborables (.ics)");

// Non-working days.
inline const QString viewMenu = QStringLiteral("&Ver");
inline const QString showNonWorking = QStringLiteral("Mostrar &no laborables");
inline const QString showNonWorkingTip =
    QStringLiteral("Enmarcar los días no laborables; se recuerda para cada usuario");
inline const QString makeNonWorking = QStringLiteral("Marcar como no laborable");
inline const QString makeWorking = QStringLiteral("Marcar como laborable");

// A day as a screen reader names it: its date, its season as the grid
// paints it, and whether it is non-working.
inline QString accessibleDay(const QDate& date, const QString& code, bool nonWorking) {
    const std::optional<int> season = seasonIndexOfCode(code.trimmed());
    QString name = date.toString(QStringLiteral("dd/MM/yyyy")) + QStringLiteral(", ") +
                   (code.trimmed().isEmpty() ? QStringLiteral("sin temporada")
                    : season                 ? seasons()[static_cast<std::size_t>(*season)].caption
                                             : code.trimmed());
    if (nonWorking) {
        name += QStringLiteral(", no laborable");
    }
    return name;
}
inline QString accessibleDayWithoutRow(const QDate& date) {
    return date.toString(QStringLiteral("dd/MM/yyyy")) + QStringLiteral(", sin calendario");
}

// A day's history.
inline const QString dayHistory = QStringLiteral("Historial del día...");
inline QString historyTitle(const QString& date) {
    return QStringLiteral("Cambios del %1, el más reciente primero:\n\n").arg(date);
}
inline QString noHistory(const QString& date) {
    return QStringLiteral("El %1 no tiene cambios registrados.").arg(date);
}

// Files.
inline const QString pdfTitle = QStringLiteral("Guardar PDF");
inline const QString iCalendarTitle = QStringLiteral("Exportar iCalendar");
inline const QString pdfFilter = QStringLiteral("Documentos PDF|*.pdf");
inline const QString iCalendarFilter = QStringLiteral("Calendarios iCalendar|*.ics");
inline QString suggestedFile(int year, const QString& extension) {
    return QStringLiteral("Calendario-%1.%2").arg(year).arg(extension);
}
inline QString printDocument(int year) {
    return QStringLiteral("Calendario %1").arg(year);
}
inline QString askOverwrite(const QString& path) {
    return QStringLiteral("El archivo %1 ya existe.\n¿Desea reemplazarlo?").arg(path);
}
inline const QString printFailed = QStringLiteral("No se pudo imprimir.");
// The object of "No se puede usar ...", when the printing module is missing.
inline const QString printFeature = QStringLiteral("la impresión");
inline QString fileNotWritten(const QString& path) {
    return QStringLiteral("No se pudo escribir el archivo %1.").arg(path);
}

} // namespace estaciones::calendar::extras::texts
