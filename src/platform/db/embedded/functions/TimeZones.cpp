#include "platform/db/embedded/functions/TimeZones.h"

#include "platform/db/embedded/functions/DateFunctions.h"

#include <QHash>

namespace estaciones::db::tsql {

namespace {

// Every Windows zone name the system's data maps, in lower case, to the
// zone it stands for: built once, since Qt looks names up by exact case only.
const QHash<QString, QByteArray>& windowsZoneNames() {
    static const QHash<QString, QByteArray> names = [] {
        QHash<QString, QByteArray> found;
        // The system lists UTC by its short name, which Qt maps to no Windows
        // name; its long one maps to 'UTC'.
        QList<QByteArray> zones = QTimeZone::availableTimeZoneIds();
        zones.append(QByteArrayLiteral("Etc/UTC"));
        for (const QByteArray& iana : std::as_const(zones)) {
            const QByteArray windows = QTimeZone::ianaIdToWindowsId(iana);
            if (!windows.isEmpty())
                found.insert(QString::fromLatin1(windows).toLower(),
                             QTimeZone::windowsIdToDefaultIanaId(windows));
        }
        return found;
    }();
    return names;
}

// Minutes from UTC in `zone` at the UTC instant `utc`.
int offsetAt(const QTimeZone& zone, const PreciseDateTime& utc) {
    return zone.offsetFromUtc(QDateTime(utc.date(), utc.time(), Qt::UTC)) / 60;
}

// The offset a local time of `zone` is at, and the local time itself, which
// moves on when the clock skipped it.
PreciseDateTime localTimeIn(const QTimeZone& zone, const PreciseDateTime& local) {
    // The offsets a day either side: a change of offset lies between them,
    // if any does. Each is right for the local time if the instant it gives
    // is at that offset.
    const PreciseDateTime asUtc = local.withOffset(std::nullopt);
    const int before = offsetAt(zone, asUtc.addTicks(-ticksPerDay));
    const int after = offsetAt(zone, asUtc.addTicks(ticksPerDay));
    const auto fits = [&](int offset) {
        return offsetAt(zone, asUtc.addTicks(-offset * ticksPerMinute)) == offset;
    };
    if (fits(before))
        return local.withOffset(before); // in an overlap too: the offset before the change
    if (fits(after))
        return local.withOffset(after);
    // Skipped: the instant the earlier offset gives, shown at the later one.
    return asUtc.addTicks(-before * ticksPerMinute).withOffset(0).atOffset(after);
}

SqlValue atTimeZoneFunction(const Call& c) {
    if (c.arg(0).isNull() || c.arg(1).isNull())
        return {};
    const QString name = c.arg(1).toText();
    const std::optional<QTimeZone> zone = windowsTimeZone(name);
    if (!zone)
        throw ConversionError(9820, QStringLiteral("The time zone parameter '%1' provided to AT "
                                                   "TIME ZONE clause is invalid.")
                                        .arg(name));
    // A day alone or a time alone is no point in time to place in a zone.
    const DateKind kind = kindOfDateText(c.arg(0)).first;
    if (kind == DateKind::Date || kind == DateKind::Time)
        throw ConversionError(8116, QStringLiteral("Argument data type %1 is invalid for argument "
                                                   "1 of AT TIME ZONE function.")
                                        .arg(kind == DateKind::Date ? QStringLiteral("date")
                                                                    : QStringLiteral("time")));
    const PreciseDateTime value = c.date(0);
    const PreciseDateTime converted = value.offsetMinutes
                                          ? value.atOffset(offsetAt(*zone, value.utc()))
                                          : localTimeIn(*zone, value);
    return datetimeoffsetOf(converted, c.arg(0));
}

const FunctionSpec timeZoneTable[] = {
    // Not deterministic: the zones' rules come from the system and change.
    {"tsql_at_time_zone", 2, atTimeZoneFunction, false},
};

} // namespace

std::optional<QTimeZone> windowsTimeZone(const QString& name) {
    const auto found = windowsZoneNames().constFind(name.trimmed().toLower());
    if (found == windowsZoneNames().constEnd())
        return std::nullopt;
    QTimeZone zone(*found);
    if (!zone.isValid())
        return std::nullopt;
    return zone;
}

std::span<const FunctionSpec> timeZoneFunctions() {
    return timeZoneTable;
}

} // namespace estaciones::db::tsql
