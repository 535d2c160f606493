#include "platform/db/embedded/bind/SchemaTyping.h"

#include "platform/db/embedded/bind/NumbersIntoTextColumns.h"
#include "platform/db/embedded/bind/QueryTyping.h"
#include "platform/db/embedded/bind/TextComparedWithExactColumns.h"

namespace estaciones::db::sqlite {

QString typedForSchema(sqlite3* db, const QString& statement) {
    return withTextComparedAsNumbers(
        db, withNumbersAsColumnText(db, withFractionalDivisions(db, statement)));
}

} // namespace estaciones::db::sqlite
