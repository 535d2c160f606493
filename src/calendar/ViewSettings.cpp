#include "calendar/ViewSettings.h"

#include "session/Configuracion.h"

namespace estaciones::calendar {

namespace {
const QString viewGroup = QStringLiteral("DATOS");

// The key column holds 50 characters: a long user name is cut, not refused.
QString showNonWorkingKey(const QString& user) {
    return (QStringLiteral("CalVerNoLaborables_") + user.trimmed().toUpper()).left(50);
}
} // namespace

bool loadShowNonWorking(const QString& user) {
    return session::Cfg(showNonWorkingKey(user)).trimmed() == QLatin1String("1");
}

void storeShowNonWorking(const QString& user, bool shown) {
    session::GrabaCfg(showNonWorkingKey(user), shown ? QStringLiteral("1") : QStringLiteral("0"),
                      QString(), false, viewGroup, true);
}

} // namespace estaciones::calendar
