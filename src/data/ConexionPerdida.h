#pragma once

#include "platform/core/Error.h"
#include "platform/db/Errors.h"

#include <QStringList>

namespace estaciones::data {

// The SQL states that mean the link to the database is gone, rather than
// that the statement was wrong: only these are worth a reconnection before
// the statement runs again. ODBC's communication link failure (08S01),
// unable to connect (08001), connection not open (08003) and connection
// failure during a transaction (08007); PostgreSQL's driver passes on the
// server's own 57P01-57P03 when the server shuts down. Add another driver's
// states here.
const QStringList& estadosConexionPerdida();

// Whether `error`, thrown by an operation on a connection whose Errors
// collection is `errores`, says the connection is lost: one of the states
// above on the error or on any record it brought, or ADO's 3709 (the
// connection cannot be used), which is also what the embedded engine raises
// when its session has lost its database.
bool esConexionPerdida(const Error& error, const db::Errors& errores);

} // namespace estaciones::data
