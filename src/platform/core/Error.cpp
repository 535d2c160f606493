#include "platform/core/Error.h"

namespace estaciones {

Error::Error(std::int32_t number, QString description, QString source)
    : m_number(number), m_description(std::move(description)), m_source(std::move(source)) {
    updateWhat();
}

Error& Error::withSqlState(QString sqlState, std::int32_t nativeError) {
    m_sqlState = std::move(sqlState);
    m_nativeError = nativeError;
    updateWhat();
    return *this;
}

Error& Error::withSource(QString source) {
    m_source = std::move(source);
    updateWhat();
    return *this;
}

void Error::updateWhat() {
    m_what = QStringLiteral("Error %1: %2").arg(m_number).arg(m_description).toStdString();
}

Error Error::fromException(const std::exception& e, const QString& source) {
    if (const auto* error = dynamic_cast<const Error*>(&e)) {
        return *error;
    }
    return Error(errnum::InternalError, QString::fromLocal8Bit(e.what()), source);
}

QString standardDescription(std::int32_t number) {
    switch (number) {
    case errnum::InvalidProcedureCall:
        return QStringLiteral("Invalid procedure call or argument");
    case errnum::Overflow:
        return QStringLiteral("Overflow");
    case errnum::SubscriptOutOfRange:
        return QStringLiteral("Subscript out of range");
    case errnum::TypeMismatch:
        return QStringLiteral("Type mismatch");
    case errnum::InternalError:
        return QStringLiteral("Internal error");
    case errnum::FileNotFound:
        return QStringLiteral("File not found");
    case errnum::PathFileAccessError:
        return QStringLiteral("Path/File access error");
    case errnum::PathNotFound:
        return QStringLiteral("Path not found");
    case errnum::InvalidUseOfNull:
        return QStringLiteral("Invalid use of Null");
    case errnum::ObjectAlreadyLoaded:
        return QStringLiteral("Object already loaded");
    case errnum::OperationNotAllowed:
        return QStringLiteral("Operation is not allowed in this context.");
    case errnum::ItemNotFound:
        return QStringLiteral("Item cannot be found in the collection corresponding to the "
                              "requested name or ordinal.");
    case errnum::ObjectClosed:
        return QStringLiteral("Operation is not allowed when the object is closed.");
    case errnum::ObjectOpen:
        return QStringLiteral("Operation is not allowed when the object is open.");
    case errnum::ConnectionUnusable:
        return QStringLiteral("The connection cannot be used to perform this operation. It is "
                              "either closed or invalid in this context.");
    case errnum::RowNotFoundForUpdate:
        return QStringLiteral("Row cannot be located for updating. Some values may have been "
                              "changed since it was last read.");
    default:
        return QStringLiteral("Application-defined or object-defined error");
    }
}

Error standardError(std::int32_t number, const QString& source) {
    return Error(number, standardDescription(number), source);
}

} // namespace estaciones
