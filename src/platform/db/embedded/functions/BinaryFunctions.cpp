#include "platform/db/embedded/functions/BinaryFunctions.h"

#include "platform/db/embedded/storage/BinaryValues.h"

#include <QCryptographicHash>

namespace estaciones::db::tsql {

namespace {

// HASHBYTES' algorithm names; MD2 has no implementation here and says so.
std::optional<QCryptographicHash::Algorithm> hashAlgorithm(const QString& name) {
    const QString n = name.trimmed().toUpper();
    if (n == QLatin1String("MD4"))
        return QCryptographicHash::Md4;
    if (n == QLatin1String("MD5"))
        return QCryptographicHash::Md5;
    if (n == QLatin1String("SHA") || n == QLatin1String("SHA1"))
        return QCryptographicHash::Sha1;
    if (n == QLatin1String("SHA2_256"))
        return QCryptographicHash::Sha256;
    if (n == QLatin1String("SHA2_512"))
        return QCryptographicHash::Sha512;
    if (n == QLatin1String("MD2"))
        failNotSupported(QStringLiteral("HASHBYTES with MD2"));
    return std::nullopt;
}

// tsql_hashbytes(algorithm, input [, 'nvarchar']): the hash of the input's
// bytes; nvarchar text (the binder names it) hashes two bytes a character.
SqlValue hashbytesFunction(const Call& c) {
    if (c.anyNull())
        return {};
    const auto algorithm = hashAlgorithm(c.arg(0).toText());
    if (!algorithm)
        return {};
    if (c.arg(1).isNumber())
        throw ConversionError(8116, QStringLiteral("Argument data type %1 is invalid for "
                                                   "argument 2 of hashbytes function.")
                                        .arg(c.arg(1).kind == SqlValue::Kind::Integer
                                                 ? QStringLiteral("int")
                                                 : QStringLiteral("float")));
    const bool national = c.args.size() > 2 && c.arg(2).toText().startsWith(QLatin1Char('n'));
    const QByteArray input = toBinary(c.arg(1), BinaryType{}, std::nullopt, national);
    return SqlValue::bytes(QCryptographicHash::hash(input, *algorithm));
}

// tsql_store_binary(value, 'binary(5)'): the value as the column keeps it.
SqlValue storeBinaryFunction(const Call& c) {
    const QString declared = c.arg(1).toText();
    BinaryType type;
    type.fixed = declared.startsWith(QLatin1String("binary"));
    const QString length = declared.section(QLatin1Char('('), 1).chopped(1);
    if (length != QLatin1String("max"))
        type.length = length.toInt();
    return storedBinary(c.arg(0), type);
}

const FunctionSpec binaryTable[] = {
    {"tsql_hashbytes", 2, hashbytesFunction, true},
    {"tsql_hashbytes", 3, hashbytesFunction, true},
    {"tsql_store_binary", 2, storeBinaryFunction, true},
};

} // namespace

std::span<const FunctionSpec> binaryFunctions() {
    return binaryTable;
}

} // namespace estaciones::db::tsql
