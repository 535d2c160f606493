#pragma once

namespace estaciones::db::sqlite {

// The version of what a database file holds, kept in PRAGMA user_version.
//   0  dates as text of varying width ('yyyy-MM-dd' or 'yyyy-MM-dd HH:mm:ss',
//      milliseconds dropped), compared by parsing both sides; money and
//      decimal as the real that came in, rounded only when read.
//   1  dates and times in one fixed-width text per type (StoredDate.h);
//      money and decimal rounded to the column's scale when written, with
//      the server's range checks; store triggers named tsql_store_*.
//   2  money and decimal columns declared without affinity ("money blob",
//      TypeNames.h), so that a value of more than 15 significant digits
//      reaches the store trigger as its digits and is refused there, instead
//      of being turned into the double nearest to it; values as in 1. A
//      datetimeoffset's text ends in its offset (' +01:00'); one a file
//      kept before offsets were kept has none, and reads as +00:00.
// A file of an older version is converted when opened (FormatConversion);
// a newer one is refused.
inline constexpr int currentFormatVersion = 2;

} // namespace estaciones::db::sqlite
