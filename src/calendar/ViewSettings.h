#pragma once

#include <QString>

namespace estaciones::calendar {

// The window's view choices, kept per operator in the configuration table
// (one key per user, group "DATOS"), so that each operator finds the window
// as he left it on any station.

// Whether the grid frames the non-working days; off until the operator
// turns it on.
bool loadShowNonWorking(const QString& user);
void storeShowNonWorking(const QString& user, bool shown);

} // namespace estaciones::calendar
