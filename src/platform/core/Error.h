#pragma once

#include <QString>

#include <cstdint>
#include <exception>
#include <string>

namespace estaciones {

// Error numbers the original's callers test. ADO's HRESULTs are kept as the
// signed 32-bit values a VB program saw in Err.Number.
namespace errnum {
constexpr std::int32_t hresult(std::uint32_t value) {
    return static_cast<std::int32_t>(value);
}

constexpr std::int32_t InvalidProcedureCall = 5;
constexpr std::int32_t Overflow = 6;
constexpr std::int32_t SubscriptOutOfRange = 9;
constexpr std::int32_t TypeMismatch = 13;
constexpr std::int32_t InternalError = 51;
constexpr std::int32_t FileNotFound = 53;
constexpr std::int32_t PathFileAccessError = 75;
constexpr std::int32_t PathNotFound = 76;
constexpr std::int32_t InvalidUseOfNull = 94;
constexpr std::int32_t ControlArrayElementMissing = 340;
constexpr std::int32_t ObjectAlreadyLoaded = 360;
constexpr std::int32_t OperationNotAllowed = 3219;                  // adErrIllegalOperation
constexpr std::int32_t ItemNotFound = 3265;                         // adErrItemNotFound
constexpr std::int32_t ObjectClosed = 3704;                         // adErrObjectClosed
constexpr std::int32_t ObjectOpen = 3705;                           // adErrObjectOpen
constexpr std::int32_t ConnectionUnusable = 3709;                   // adErrInvalidConnection
constexpr std::int32_t E_FAIL = hresult(0x80004005u);               // unspecified provider error
constexpr std::int32_t CommandError = hresult(0x80040E14u);         // DB_E_ERRORSINCOMMAND
constexpr std::int32_t IntegrityViolation = hresult(0x80040E2Fu);   // DB_E_INTEGRITYVIOLATION
constexpr std::int32_t NoSuchTable = hresult(0x80040E37u);          // DB_E_NOTABLE
constexpr std::int32_t RowNotFoundForUpdate = hresult(0x80040E38u); // DB_E_CANTLOCATEROW...
constexpr std::int32_t Timeout = hresult(0x80040E31u);              // DB_E_ABORTLIMITREACHED
} // namespace errnum

// The error object every operation throws: the number the original would have
// seen, its description and source. Database errors also carry the first
// provider record's SQL state and native number (the whole set lives in the
// connection's Errors collection).
class Error : public std::exception {
public:
    Error(std::int32_t number, QString description, QString source = {});

    std::int32_t number() const { return m_number; }
    const QString& description() const { return m_description; }
    const QString& source() const { return m_source; }
    const QString& sqlState() const { return m_sqlState; }
    std::int32_t nativeError() const { return m_nativeError; }

    Error& withSqlState(QString sqlState, std::int32_t nativeError);
    Error& withSource(QString source);

    const char* what() const noexcept override { return m_what.c_str(); }

    // An unexpected C++ exception seen as an error object (number 51, internal error).
    static Error fromException(const std::exception& e, const QString& source = {});

private:
    void updateWhat();

    std::int32_t m_number;
    QString m_description;
    QString m_source;
    QString m_sqlState;
    std::int32_t m_nativeError = 0;
    std::string m_what;
};

// VB's own descriptions for the runtime numbers above (English, as VB gave them).
QString standardDescription(std::int32_t number);
// Error(number, standardDescription(number), source).
Error standardError(std::int32_t number, const QString& source = {});

} // namespace estaciones
