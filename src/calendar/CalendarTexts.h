#pragma once

#include "calendar/YearList.h"

#include <QString>

#include <array>

// The calendar's operator texts, in one place so that they can be compared with
// what the operator sees.
namespace estaciones::calendar::texts {

inline const QString designCaption = QStringLiteral("Control de Calendario");
inline const QString seasonFrame = QStringLiteral("TEMPORADA");
inline const QString colourButton = QStringLiteral("...");
inline const QString colourButtonTip = QStringLiteral("Cambiar Color");
inline const QString nonWorkingOption = QStringLiteral("No laborable");
inline const QString nonWorkingOptionTip =
    QStringLiteral("Un clic en un día lo marca como no laborable o lo vuelve laborable; su "
                   "temporada queda como está");
inline const QString createCalendar = QStringLiteral("Crear Calendario");
inline const QString exitButton = QStringLiteral("Salir");
// The help menu.
inline const QString helpMenu = QStringLiteral("A&yuda");
inline const QString operatorManual = QStringLiteral("&Manual del operador");
inline const QString administrationGuide = QStringLiteral("&Guía de administración");

inline const QString help = QStringLiteral(
    "Seleccione el año, la temporada y luego haga clic en cada dia de cada mes, para marcar la "
    "temporada.");

// Caption of a cell that belongs to no day.
inline const QString noDay = QStringLiteral(".");

// Weekday headers, Sunday first (column 0).
inline const std::array<QString, 7> weekdayHeaders = {
    QStringLiteral("Dóm"), QStringLiteral("Lun"), QStringLiteral("Mar"), QStringLiteral("Mie"),
    QStringLiteral("Jue"), QStringLiteral("Vie"), QStringLiteral("Sab")};

// Month names as NombreMes gives them, January first.
inline const std::array<QString, 12> monthNames = {
    QStringLiteral("Enero"),   QStringLiteral("Febrero"),   QStringLiteral("Marzo"),
    QStringLiteral("Abril"),   QStringLiteral("Mayo"),      QStringLiteral("Junio"),
    QStringLiteral("Julio"),   QStringLiteral("Agosto"),    QStringLiteral("Septiembre"),
    QStringLiteral("Octubre"), QStringLiteral("Noviembre"), QStringLiteral("Diciembre")};

// Captions of the month frames, January first.
inline const std::array<QString, 12> monthFrames = {
    QStringLiteral("ENERO"),   QStringLiteral("FEBRERO"),   QStringLiteral("MARZO"),
    QStringLiteral("ABRIL"),   QStringLiteral("MAYO"),      QStringLiteral("JUNIO"),
    QStringLiteral("JULIO"),   QStringLiteral("AGOSTO"),    QStringLiteral("SEPTIEMBRE"),
    QStringLiteral("OCTUBRE"), QStringLiteral("NOVIEMBRE"), QStringLiteral("DICIEMBRE")};

// Shown when a marked date has no row: the year's calendar was never created.
inline QString calendarNotCreated(int year) {
    return QStringLiteral("El calendario del año %1 todavía no fue creado. Use \"Crear "
                          "Calendario\" antes de marcar sus días.")
        .arg(year);
}

// A text that makes no year of a date.
inline QString invalidYear(const QString& text) {
    return QStringLiteral("\"%1\" no es un año válido.").arg(text);
}

// A year text the window does not take (the year combo, a copy's source
// year); the text is shown cut to a readable length.
inline QString shownYearText(const QString& text) {
    constexpr qsizetype shownLength = 20;
    return text.size() > shownLength ? text.left(shownLength) + QStringLiteral("…") : text;
}
inline QString notAYear(const QString& text) {
    return QStringLiteral("\"%1\" no es un año. Elija un año de la lista, entre %2 y %3.")
        .arg(shownYearText(text))
        .arg(FirstListYear)
        .arg(LastListYear);
}
inline QString yearOutOfList(const QString& text) {
    return QStringLiteral("El año %1 no está en la lista. Elija un año entre %2 y %3.")
        .arg(shownYearText(text))
        .arg(FirstListYear)
        .arg(LastListYear);
}

// "Crear Calendario": the installation script, the cut-over date of
// "FECHAUPDATE" (compared as text) and the success message.
inline const QString scriptCalendario = QStringLiteral("TS_CREACALENDARIO.sql");
inline const QString fechaCorteScript = QStringLiteral("21/03/2006");
inline const QString calendarioCreado = QStringLiteral("Se ha creado el calendario para el año ");

} // namespace estaciones::calendar::texts
