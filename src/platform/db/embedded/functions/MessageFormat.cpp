#include "platform/db/embedded/functions/MessageFormat.h"

#include "platform/db/embedded/storage/SqlValue.h"

#include <algorithm>

namespace estaciones::db::tsql {

namespace {

// One argument written by a RAISERROR placeholder: %[flags][width][.precision]type.
QString formatMessageArgument(const Variant& value, const QString& flags, int width,
                              int precision, QChar type) {
    QString text;
    if (type == QLatin1Char('s')) {
        text = value.isNull() ? QStringLiteral("(null)") : value.toString();
        if (precision >= 0) {
            text = text.left(precision);
        }
    } else {
        const qlonglong number = value.toInt64();
        if (type == QLatin1Char('x') || type == QLatin1Char('X') || type == QLatin1Char('o') ||
            type == QLatin1Char('u')) {
            const auto unsignedNumber = static_cast<qulonglong>(static_cast<quint32>(number));
            const int base = type == QLatin1Char('o') ? 8 : type == QLatin1Char('u') ? 10 : 16;
            text = QString::number(unsignedNumber, base);
            text = type == QLatin1Char('X') ? text.toUpper() : text;
            if (flags.contains(QLatin1Char('#')) && base != 10 && number != 0) {
                text.prepend(base == 8 ? QStringLiteral("0") : type == QLatin1Char('X')
                                                                   ? QStringLiteral("0X")
                                                                   : QStringLiteral("0x"));
            }
        } else {
            text = QString::number(number);
            if (number >= 0 && flags.contains(QLatin1Char('+'))) {
                text.prepend(QLatin1Char('+'));
            } else if (number >= 0 && flags.contains(QLatin1Char(' '))) {
                text.prepend(QLatin1Char(' '));
            }
        }
    }
    if (text.size() < width) {
        const bool left = flags.contains(QLatin1Char('-'));
        const bool zeros = !left && flags.contains(QLatin1Char('0')) && type != QLatin1Char('s');
        text = left ? text.leftJustified(width) : text.rightJustified(width, zeros ? '0' : ' ');
    }
    return text;
}

} // namespace

QString formatMessageText(const QString& format, const std::vector<Variant>& arguments) {
    QString out;
    std::size_t next = 0;
    const auto takeNumber = [&](qsizetype& i) {
        if (i < format.size() && format[i] == QLatin1Char('*')) {
            ++i;
            return next < arguments.size() ? static_cast<int>(arguments[next++].toInt64()) : 0;
        }
        int number = 0;
        while (i < format.size() && format[i].isDigit()) {
            number = std::min(number * 10 + format[i++].digitValue(), 100000);
        }
        return number;
    };
    for (qsizetype i = 0; i < format.size(); ++i) {
        if (format[i] != QLatin1Char('%')) {
            out += format[i];
            continue;
        }
        if (i + 1 < format.size() && format[i + 1] == QLatin1Char('%')) {
            out += QLatin1Char('%');
            ++i;
            continue;
        }
        qsizetype at = i + 1;
        QString flags;
        while (at < format.size() && QStringLiteral("-+ 0#").contains(format[at])) {
            flags += format[at++];
        }
        const int width = takeNumber(at);
        int precision = -1;
        if (at < format.size() && format[at] == QLatin1Char('.')) {
            ++at;
            precision = takeNumber(at);
        }
        while (at < format.size() && (format[at] == QLatin1Char('h') ||
                                      format[at] == QLatin1Char('l') ||
                                      format[at] == QLatin1Char('I') || format[at].isDigit())) {
            ++at; // size prefixes (h, l, I64) change nothing here
        }
        const QChar type = at < format.size() ? format[at] : QChar();
        if (!QStringLiteral("disuoxX").contains(type) || type.isNull()) {
            out += format.mid(i, at - i + 1);
            i = at;
            continue;
        }
        // A placeholder without an argument is written as "(null)".
        out += next < arguments.size()
                   ? formatMessageArgument(arguments[next++], flags, width, precision, type)
                   : QStringLiteral("(null)");
        i = at;
    }
    // The server keeps 2,047 characters; a longer message is cut and marked.
    return out.size() > 2047 ? out.left(2044) + QStringLiteral("...") : out;
}


namespace {

Variant messageArgument(const SqlValue& value) {
    switch (value.kind) {
    case SqlValue::Kind::Null:
        return Variant::null();
    case SqlValue::Kind::Integer:
        return Variant(static_cast<std::int64_t>(value.integer));
    case SqlValue::Kind::Real:
        return Variant(value.real);
    case SqlValue::Kind::Text:
    case SqlValue::Kind::Blob:
        break;
    }
    return Variant(value.toText());
}

// FORMATMESSAGE of a message text. Of a message number: NULL up to 13000 and
// for the user messages, none of which this engine keeps (it has no
// sp_addmessage); the system messages between would need the server's
// catalogue, so they are refused by name.
SqlValue formatMessageFunction(const Call& c) {
    if (c.args.empty() || c.arg(0).isNull())
        return {};
    if (c.arg(0).isNumber()) {
        const double number = c.arg(0).toReal();
        if (number <= 13000 || number > 50000)
            return {};
    }
    if (c.arg(0).kind != SqlValue::Kind::Text)
        throw ConversionError(40517, QStringLiteral("Keyword or statement option 'FORMATMESSAGE of "
                                                  "a message number' is not supported in this "
                                                  "version of SQL Server."));
    std::vector<Variant> arguments;
    for (size_t i = 1; i < c.args.size(); ++i)
        arguments.push_back(messageArgument(c.arg(i)));
    return SqlValue::of(formatMessageText(c.arg(0).text, arguments));
}

const FunctionSpec messageFunctionSpecs[] = {
    {"tsql_formatmessage", -1, formatMessageFunction, true},
};

} // namespace

std::span<const FunctionSpec> messageFunctions() {
    return messageFunctionSpecs;
}

} // namespace estaciones::db::tsql
