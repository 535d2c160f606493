#include "calendar/SeasonStore.h"

#include "calendar/SeasonStatements.h"
#include "data/DB_Dll.h"
#include "session/library/SharedObjects.h"

namespace estaciones::calendar {

QString SeasonStore::Temporada(int DIA, int Mes, int año) {
    QString statement = seasonOfDateStatement(DIA, Mes, año);
    m_db.AbrirRecordset(statement, m_recordset, std::nullopt, db::adOpenForwardOnly,
                        db::adLockReadOnly, db::adOptionUnspecified, true);
    QString code;
    if (!m_recordset.bof()) {
        m_recordset.moveFirst();
        code = library::textHelper().nullToEmpty(m_recordset["Temporada"].value()).toString();
    }
    m_db.CierraRecordset(m_recordset);
    return code;
}

YearSeasons SeasonStore::readYear(int año) {
    YearSeasons year(año);
    QString statement = yearSeasonsStatement(año);
    m_db.AbrirRecordset(statement, m_recordset, std::nullopt, db::adOpenForwardOnly,
                        db::adLockReadOnly, db::adOptionUnspecified, true);
    const db::Field fecha = m_recordset["Fecha"];
    const db::Field temporada = m_recordset["Temporada"];
    for (; !m_recordset.eof(); m_recordset.moveNext()) {
        year.addRow(fecha.value(), temporada.value());
    }
    m_db.CierraRecordset(m_recordset);
    return year;
}

AssignResult SeasonStore::AsignarTemporada(int DIA, int Mes, int año, const QString& Tempo) {
    QString statement = assignSeasonStatement(Tempo, DIA, Mes, año);
    std::int64_t recordsAffected = 0;
    m_db.gCnn.errors().clear();
    m_db.EjecutaConsultaSQL(statement, recordsAffected);
    const db::Errors& errors = m_db.gCnn.errors();
    if (!errors.isEmpty()) {
        return {AssignResult::Outcome::Failed, errors.item(0).description};
    }
    if (recordsAffected > 0) {
        return {AssignResult::Outcome::Stored, {}};
    }
    // No count to go by (SET NOCOUNT ON gives -1): look for the row itself.
    QString check = seasonOfDateStatement(DIA, Mes, año);
    m_db.AbrirRecordset(check, m_recordset);
    const bool exists = !m_recordset.bof();
    m_db.CierraRecordset(m_recordset);
    return {exists ? AssignResult::Outcome::Stored : AssignResult::Outcome::NoRow, {}};
}

} // namespace estaciones::calendar
