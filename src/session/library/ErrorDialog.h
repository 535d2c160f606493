#pragma once

#include "platform/core/Error.h"
#include "platform/core/ErrorHandling.h"

namespace estaciones::library {

// The text helper's error dialog: shows the error's number and description and
// the routine that met it, with Abort, Retry and Ignore and the critical icon,
// through the operator interface. Returns answer::Retry (4), answer::Ignore (5)
// or 3 (abort) for any other reply.
int showErrorDialog(const Error& error, const QString& routine);

// A handler for HandledSteps that asks through showErrorDialog.
ErrorHandler errorDialogHandler(const QString& routine);

} // namespace estaciones::library
