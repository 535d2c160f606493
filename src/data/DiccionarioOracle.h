#pragma once

#include <QString>
#include <QStringList>

namespace estaciones::data {

// The suite's SQL Server dialect written for Oracle: a single word is a
// function name (LEN becomes LENGTH); a statement gets, in this order, its
// TOP n as a ROWNUM limit, LEN as LENGTH, brackets as double quotes, the
// date columns of its WHERE part and its quoted dates as TO_DATE, Charindex
// as InStr, CONVERT as TO_CHAR / TO_NUMBER, empty-string tests as IS NULL,
// style 103 as 'DD/MM/YYYY', SUBSTRING as SUBSTR and ISNULL as NVL.
// Whitespace after WHERE comes back as single blanks.
QString traducirParaOracle(const QString& texto);

// The column names the translation treats as dates.
const QStringList& columnasDeFecha();

} // namespace estaciones::data
