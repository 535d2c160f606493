#pragma once

#include <cstdint>

// ADO's enumeration values, as the original's callers pass and test them.
namespace estaciones::db {

// CursorLocationEnum
constexpr int adUseServer = 2;
constexpr int adUseClient = 3;

// CursorTypeEnum
constexpr int adOpenUnspecified = -1;
constexpr int adOpenForwardOnly = 0;
constexpr int adOpenKeyset = 1;
constexpr int adOpenDynamic = 2;
constexpr int adOpenStatic = 3;

// LockTypeEnum
constexpr int adLockUnspecified = -1;
constexpr int adLockReadOnly = 1;
constexpr int adLockPessimistic = 2;
constexpr int adLockOptimistic = 3;
constexpr int adLockBatchOptimistic = 4;

// ObjectStateEnum
constexpr int adStateClosed = 0;
constexpr int adStateOpen = 1;

// EditModeEnum
constexpr int adEditNone = 0;
constexpr int adEditInProgress = 1;
constexpr int adEditAdd = 2;

// IsolationLevelEnum
constexpr int adXactUnspecified = -1;
constexpr int adXactReadUncommitted = 256;
constexpr int adXactBrowse = 256;
constexpr int adXactReadCommitted = 4096;
constexpr int adXactCursorStability = 4096;
constexpr int adXactRepeatableRead = 65536;
constexpr int adXactSerializable = 1048576;

// CommandTypeEnum / ExecuteOptionEnum (Execute and Open options)
constexpr int adOptionUnspecified = -1;
constexpr int adCmdText = 1;
constexpr int adCmdTable = 2;
constexpr int adExecuteNoRecords = 128;

// SchemaEnum (also in Engine.h as adschema::)
constexpr int adSchemaColumns = 4;
constexpr int adSchemaTables = 20;

// ADO's own error numbers that the layer raises besides those of errnum::
// (platform/core/Error.h).
namespace adoerr {
constexpr std::int32_t BofOrEof = 3021;         // adErrNoCurrentRecord
constexpr std::int32_t NotSupported = 3251;     // adErrFeatureNotAvailable
constexpr std::int32_t ProviderNotFound = 3706; // adErrProviderNotFound
constexpr std::int32_t CannotFetchBackward = static_cast<std::int32_t>(0x80040E24u);
constexpr std::int32_t NoTransaction =
    static_cast<std::int32_t>(0x8004D00Eu); // XACT_E_NOTRANSACTION
} // namespace adoerr

} // namespace estaciones::db
