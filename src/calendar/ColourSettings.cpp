#include "calendar/ColourSettings.h"

#include "data/SharedDb.h"
#include "session/Configuracion.h"
#include "session/ConfiguracionLeida.h"
#include "session/library/SharedObjects.h"

namespace estaciones::calendar {

namespace {
const QString colourGroup = QStringLiteral("DATOS");

void write(const Season& season, const Variant& value) {
    session::GrabaCfg(season.colourKey, value, QString(), false, colourGroup, true);
}
} // namespace

StoredSeasonColours readSeasonColours() {
    // The four keys with one statement, each answered as its own would be.
    QStringList keys;
    for (const Season& season : seasons()) {
        keys.append(season.colourKey);
    }
    const session::ConfiguracionLeida read(data::sharedDb(), keys);
    const session::ConfiguracionLeida::Vigente current(read);
    StoredSeasonColours stored;
    for (const Season& season : seasons()) {
        stored[static_cast<std::size_t>(season.index)] = session::Cfg(season.colourKey);
    }
    return stored;
}

void writeMissingSeasonColours(StoredSeasonColours& stored) {
    for (const Season& season : seasons()) {
        QString& value = stored[static_cast<std::size_t>(season.index)];
        if (value.trimmed().isEmpty()) {
            write(season, season.defaultValue);
            // Read back: what the table holds now, not what was meant.
            value = session::Cfg(season.colourKey);
        }
    }
}

SeasonColours seasonColoursOf(const StoredSeasonColours& stored) {
    SeasonColours colours;
    for (std::size_t i = 0; i < stored.size(); ++i) {
        colours.colour[i] = static_cast<BgrColour>(library::textHelper().toInteger(stored[i]));
    }
    return colours;
}

SeasonColours loadSeasonColours() {
    return seasonColoursOf(readSeasonColours());
}

void storeSeasonColour(int index, BgrColour colour) {
    write(seasons().at(static_cast<std::size_t>(index)), QString::number(colour));
}

} // namespace estaciones::calendar
