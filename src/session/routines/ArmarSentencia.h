#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace estaciones::session {

// One column of the statement being built and its SQL literal.
struct CampoValor {
    QString Campo;
    QString Valor;
};
using ListaCampos = std::vector<CampoValor>;
// Statements waiting for GActualizarDatoScript; empty entries are skipped.
using ColaSentencias = QStringList;

// The session's pending field list and statement queue. Callers build one
// batch at a time and empty the queue before a new one.
inline ListaCampos gCampos;
inline ColaSentencias gSentencias;

// Adds `campo` to gCampos (a new list of it alone with `nuevaLista`). Every
// apostrophe is removed from `valor`, the caller's variable included; "NULL"
// in any case is written as Null, anything else as the literal of SQLValue
// with `tipo` ("'" quoted, "@" number, other as is).
void AgregarCampo(const QString& campo, QString& valor, const QString& tipo, bool nuevaLista);

// Queues the INSERT (or, with `esUpdate`, the UPDATE ... `condicion`) of
// `campos` into `tabla`, followed by one empty entry. A condition without the
// word WHERE gets " WHERE " in front, in the caller's variable too. Without
// `conservarCampos` the list becomes one empty entry.
void ArmarSentencia(ListaCampos& campos, ColaSentencias& sentencias, const QString& tabla,
                    bool esUpdate, QString& condicion, bool conservarCampos);

} // namespace estaciones::session
