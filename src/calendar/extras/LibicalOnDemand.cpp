// The libical functions the import calls, defined here in their place: the
// first call opens libical, so that the program does not load it at
// start-up. The import asks libicalMissing() before its first call.
#include "calendar/extras/LibicalOnDemand.h"

#include "platform/os/LazyLibrary.h"

#include <libical/ical.h>

#include <stdexcept>

// clang-format off
#define ESTACIONES_LIBICAL_FUNCTIONS(X) \
    X(void, icalcomponent_free, (icalcomponent* a0), (a0)) \
    X(struct icaltimetype, icalcomponent_get_dtend, (icalcomponent* a0), (a0)) \
    X(struct icaltimetype, icalcomponent_get_dtstart, (icalcomponent* a0), (a0)) \
    X(icalcomponent*, icalcomponent_get_first_component, (icalcomponent* a0, icalcomponent_kind a1), (a0, a1)) \
    X(icalproperty*, icalcomponent_get_first_property, (icalcomponent* a0, icalproperty_kind a1), (a0, a1)) \
    X(icalcomponent*, icalcomponent_get_next_component, (icalcomponent* a0, icalcomponent_kind a1), (a0, a1)) \
    X(icalproperty*, icalcomponent_get_next_property, (icalcomponent* a0, icalproperty_kind a1), (a0, a1)) \
    X(enum icalproperty_status, icalcomponent_get_status, (icalcomponent* a0), (a0)) \
    X(const char*, icalcomponent_get_summary, (icalcomponent* a0), (a0)) \
    X(const char*, icalcomponent_get_uid, (icalcomponent* a0), (a0)) \
    X(icalcomponent_kind, icalcomponent_isa, (const icalcomponent* a0), (a0)) \
    X(void, icalerror_set_errors_are_fatal, (int a0), (a0)) \
    X(icalcomponent*, icalparser_parse_string, (const char* a0), (a0)) \
    X(const char*, icalproperty_get_categories, (const icalproperty* a0), (a0)) \
    X(struct icaltimetype, icalproperty_get_exdate, (const icalproperty* a0), (a0)) \
    X(const char*, icalproperty_get_prodid, (const icalproperty* a0), (a0)) \
    X(struct icaldatetimeperiodtype, icalproperty_get_rdate, (const icalproperty* a0), (a0)) \
    X(struct icalrecurrencetype, icalproperty_get_rrule, (const icalproperty* a0), (a0)) \
    X(const char*, icalproperty_get_x, (const icalproperty* a0), (a0)) \
    X(const char*, icalproperty_get_x_name, (icalproperty* a0), (a0)) \
    X(const char*, icalproperty_get_xlicerror, (const icalproperty* a0), (a0)) \
    X(void, icalrecur_iterator_free, (icalrecur_iterator* a0), (a0)) \
    X(icalrecur_iterator*, icalrecur_iterator_new, (struct icalrecurrencetype a0, struct icaltimetype a1), (a0, a1)) \
    X(struct icaltimetype, icalrecur_iterator_next, (icalrecur_iterator* a0), (a0)) \
    X(int, icaltime_is_null_time, (const struct icaltimetype a0), (a0)) \
    X(int, icaltime_is_utc, (const struct icaltimetype a0), (a0)) \
    X(int, icaltime_is_valid_time, (const struct icaltimetype a0), (a0)) \

// clang-format on

namespace estaciones::calendar::extras {

namespace {

#define ESTACIONES_INDEX(result, name, params, args) index_##name,
enum FunctionIndex { ESTACIONES_LIBICAL_FUNCTIONS(ESTACIONES_INDEX) functionCount };
#undef ESTACIONES_INDEX

os::LazyLibrary& libical() {
#define ESTACIONES_NAME(result, name, params, args) #name,
    static os::LazyLibrary library(QStringLiteral(ESTACIONES_LIBICAL_LIBRARY),
                                   QStringLiteral("la lectura de archivos iCalendar"),
                                   {ESTACIONES_LIBICAL_FUNCTIONS(ESTACIONES_NAME)});
#undef ESTACIONES_NAME
    return library;
}

} // namespace

QString libicalMissing() {
    return libical().error();
}

void* libicalFunction(int index) {
    if (!libical().available()) {
        // Only a caller that skipped libicalMissing() gets here.
        throw std::logic_error(libical().error().toStdString());
    }
    return libical().address(static_cast<std::size_t>(index));
}

} // namespace estaciones::calendar::extras

extern "C" {
#define ESTACIONES_FORWARD(result, name, params, args)                                          \
    result name params {                                                                        \
        using Function = decltype(&::name);                                                      \
        return reinterpret_cast<Function>(estaciones::calendar::extras::libicalFunction(        \
            estaciones::calendar::extras::index_##name)) args;                                   \
    }
ESTACIONES_LIBICAL_FUNCTIONS(ESTACIONES_FORWARD)
#undef ESTACIONES_FORWARD
}
