#pragma once

#include "calendar/YearSeasons.h"
#include "platform/db/Recordset.h"

#include <QString>

namespace estaciones::data {
class DB_Dll;
}

namespace estaciones::calendar {

// What a marking did to the database.
struct AssignResult {
    enum class Outcome {
        Stored, // the date's row now holds the code
        NoRow,  // the date has no row: its year's calendar was never created
        Failed, // the connection reported an error (errorDescription)
    };
    Outcome outcome = Outcome::Failed;
    QString errorDescription;
};

// The reads and writes of MA_CALENDARIO, through the program's data access
// object (its error treatment and reconnection included).
class SeasonStore {
public:
    explicit SeasonStore(data::DB_Dll& db) : m_db(db) {}

    // The code stored for one date; "" when the date has no row or a null
    // code. One statement per call.
    QString Temporada(int DIA, int Mes, int año);

    // The codes of a whole year with one statement.
    YearSeasons readYear(int año);

    // Stores `Tempo` for one date (no insert: a date without a row stays
    // without). Only this statement's errors count: the collection is
    // emptied first, so an old error is not reported again.
    AssignResult AsignarTemporada(int DIA, int Mes, int año, const QString& Tempo);

private:
    data::DB_Dll& m_db;
    db::Recordset m_recordset; // reused by the date reads
};

} // namespace estaciones::calendar
