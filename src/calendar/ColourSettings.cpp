#include "calendar/ColourSettings.h"

#include "session/Configuracion.h"
#include "session/library/SharedObjects.h"

namespace estaciones::calendar {

namespace {
const QString colourGroup = QStringLiteral("DATOS");

void write(const Season& season, const Variant& value) {
    session::GrabaCfg(season.colourKey, value, QString(), false, colourGroup, true);
}
} // namespace

void writeMissingSeasonColours() {
    for (const Season& season : seasons()) {
        if (session::Cfg(season.colourKey).trimmed().isEmpty()) {
            write(season, season.defaultValue);
        }
    }
}

SeasonColours loadSeasonColours() {
    SeasonColours colours;
    for (const Season& season : seasons()) {
        colours.colour[static_cast<std::size_t>(season.index)] =
            static_cast<BgrColour>(library::textHelper().toInteger(session::Cfg(season.colourKey)));
    }
    return colours;
}

void storeSeasonColour(int index, BgrColour colour) {
    write(seasons().at(static_cast<std::size_t>(index)), QString::number(colour));
}

} // namespace estaciones::calendar
