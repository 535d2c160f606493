#include "platform/db/embedded/functions/DateTextFailure.h"

#include <QRegularExpression>

namespace estaciones::db::tsql {

ConversionError dateTextFailure(const QString& text, DateKind target) {
    // Digits in the numeric date forms (separated or yyyymmdd), a time after them.
    static const QRegularExpression numericDate(
        QStringLiteral(R"(^\s*(\d{1,4}[-/.]\d{1,2}[-/.]\d{1,4}|\d{8})([ T]\d{1,2}:\d{2}(:\d{2}([.:]\d{1,7})?)?\s*([AaPp][Mm])?)?\s*$)"));
    if (target == DateKind::DateTime && numericDate.match(text).hasMatch()) {
        return ConversionError(242, QStringLiteral("The conversion of a varchar data type to a "
                                                   "datetime data type resulted in an "
                                                   "out-of-range value."));
    }
    return ConversionError(
        241, QStringLiteral("Conversion failed when converting date and/or time from character "
                            "string."));
}

} // namespace estaciones::db::tsql
