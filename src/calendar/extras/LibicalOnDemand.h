#pragma once

#include <QString>

namespace estaciones::calendar::extras {

// libical is opened the first time an iCalendar file is read, not at the
// program's start. "" when it is there; else why not, in Spanish (the
// import says it to the operator instead of reading).
QString libicalMissing();

} // namespace estaciones::calendar::extras
