#pragma once

#include "platform/db/Engine.h"

#include <QString>
#include <QStringList>

namespace estaciones::db::sqlite {

// SQL Server's native message numbers that the embedded engine reports.
namespace native {
constexpr int SyntaxError = 102;
constexpr int SyntaxErrorNearKeyword = 156;
constexpr int UndeclaredVariable = 137;
constexpr int UndeclaredTableVariable = 1087;
constexpr int InsertMoreColumnsThanValues = 109;
constexpr int InsertFewerColumnsThanValues = 110;
constexpr int InsertSelectFewerItems = 120;
constexpr int InsertSelectMoreItems = 121;
constexpr int InsertValuesMismatch = 213;
constexpr int MergeWithoutSemicolon = 10713;
constexpr int RowValuesMismatch = 10709;
constexpr int ObjectMissingForDbcc = 2501;
constexpr int NoIdentityColumn = 7997;
constexpr int MergeRowMatchedTwice = 8672;
constexpr int VariableRedeclared = 134;
constexpr int LabelRedeclared = 132;
constexpr int LabelUndeclared = 133;
constexpr int ProcedureParameterMissing = 201;
constexpr int InvalidObjectName = 208;
constexpr int InvalidColumnName = 207;
constexpr int ComputedColumnModified = 271;
constexpr int InsertNullIntoNotNull = 515;
constexpr int MaxRecursionExhausted = 530;
constexpr int ConstraintConflict = 547;
constexpr int DatabaseDoesNotExist = 911;
constexpr int TablePrimaryKeyExists = 1779;
constexpr int ColumnDefaultExists = 1781;
constexpr int DatabaseExists = 1801;
constexpr int IndexExists = 1913;
constexpr int DeadlockVictim = 1205;
constexpr int BackupTerminated = 3013;
constexpr int BackupInTransaction = 3021;
constexpr int RestoreDatabaseInUse = 3101;
constexpr int BackupDeviceUnopenable = 3201;
constexpr int BackupMediaMalformed = 3241;
constexpr int DuplicateKey = 2627;
constexpr int ObjectExists = 2714;
constexpr int ProcedureExists = 2729;
constexpr int ProcedureNotFound = 2812;
constexpr int CannotDrop = 3701;
constexpr int CommitWithoutBegin = 3902;
constexpr int RollbackWithoutBegin = 3903;
constexpr int CannotOpenDatabase = 4060;
constexpr int DatabaseReadOnly = 3906;
constexpr int TooManyArguments = 8144;
constexpr int StringTruncated = 8152;
constexpr int DivideByZero = 8134;
constexpr int SubqueryReturnedMany = 512;
constexpr int PrecisionAboveMaximum = 2750;
constexpr int ArithmeticOverflow = 8115;
constexpr int SmallIntegerOverflow = 220;
constexpr int IntegerConversionFailed = 245;
constexpr int NumberConversionFailed = 8114;
constexpr int DateConversionFailed = 241;
constexpr int DateOutOfRange = 242;
constexpr int InvalidStyle = 281;
constexpr int ConversionNotAllowed = 529;
constexpr int UnknownBuiltInFunction = 195;
constexpr int FunctionArgumentCount = 174;
constexpr int FunctionArgumentRange = 189;
constexpr int OrderByNotInDistinctList = 145;
constexpr int OrderByNotInCompoundList = 104;
constexpr int NotASystemType = 243;
constexpr int DataTypeNotFound = 2715;
constexpr int UngroupedColumnInSelectList = 8120;
constexpr int UngroupedColumnInHaving = 8121;
constexpr int OrderByInSubquery = 1033;
constexpr int WindowedFunctionMisplaced = 4108;
constexpr int NotAWindowFunction = 4113;
constexpr int OrderByPositionOutOfRange = 108;
constexpr int OrderByItemRepeated = 169;
constexpr int OrderByConstant = 408;
constexpr int MultiPartIdentifierNotBound = 4104;
constexpr int SubqueryOfSeveralColumns = 116;
constexpr int AggregateOfAggregate = 130;
constexpr int InvalidOperandType = 8117;
constexpr int AggregateInGroupBy = 144;
constexpr int AggregateInWhere = 147;
constexpr int AggregateInUpdateSet = 157;
constexpr int CompoundColumnCountMismatch = 205;
constexpr int AmbiguousColumnName = 209;
constexpr int DuplicateCommonTableExpression = 239;
constexpr int ParameterOfWrongType = 214;
constexpr int DefaultDatabaseMissing = 15010;
constexpr int LoginExists = 15025;
constexpr int NestingLimit = 217;
constexpr int ObjectNotFound = 4701;
constexpr int SchemaNotFound = 2760;
constexpr int AlterTableMissing = 4902;
constexpr int ColumnNameRepeated = 2705;
constexpr int NotNullColumnOnNonEmptyTable = 4901;
constexpr int IdentifierTooLong = 103;
constexpr int UnclosedQuotation = 105;
constexpr int MissingEndComment = 113;
constexpr int MustBeFirstInBatch = 111;
constexpr int NestedTooDeeply = 191;
constexpr int TransactionCountMismatch = 266;
constexpr int SaveWithoutTransaction = 628;
constexpr int TransactionEndedInTrigger = 3609;
constexpr int InsteadOfTriggerOnCascadedTable = 2113;
constexpr int SecondInsteadOfTrigger = 2111;
constexpr int OutputIntoTableWithTriggers = 331;
constexpr int OutputIntoTableWithKeys = 332;
constexpr int OutputIntoTableWithChecks = 333;
constexpr int CascadeOnTableWithInsteadOf = 1787;
constexpr int UncommittableTransaction = 3930;
constexpr int UncommittableAtBatchEnd = 3998;
constexpr int NoSuchSavepoint = 6401;
constexpr int RethrowOutsideCatch = 10704;
constexpr int ThrowNumberOutOfRange = 35100;
constexpr int NotSupported = 40517; // what this engine does not do, named
constexpr int DuplicateIndexKey = 2601;
constexpr int DuplicateKeyOnCreateIndex = 1505;
constexpr int NotAConstraint = 3728;
constexpr int ReferencedByObject = 3729;
constexpr int CannotFindPrincipal = 15151;
constexpr int ReferencedByForeignKey = 3726;
constexpr int ConstraintDoesNotExist = 4917;
constexpr int ColumnDependency = 5074;
constexpr int ColumnAccessed = 4922;
constexpr int RenameAmbiguous = 15248;
constexpr int RenameNameInUse = 15335;
constexpr int ObjectNotInDatabase = 15009;
constexpr int NoTextForObject = 15197;
constexpr int AlterColumnMissing = 4924;
constexpr int UserError = 50000; // RAISERROR with a message text
constexpr int QueryTimeout = 0;  // client-side, as the OLE DB provider reports it

// Procedure calls and SET options.
constexpr int NamedArgumentsThenPositional = 119;
constexpr int ReturnValueOutsideProcedure = 178;
constexpr int OutputOfConstant = 179;
constexpr int NotAParameter = 8145;
constexpr int ParameterNotOutput = 8162;
constexpr int InsertExecNested = 8164;
constexpr int DateFirstOutOfRange = 1005;
constexpr int TiesWithoutOrder = 1062;
constexpr int TopWithOffset = 10741;
constexpr int IdentityInsertOff = 544;
constexpr int IdentityValueMissing = 545;
constexpr int IdentityInsertNoIdentity = 8106;
constexpr int IdentityInsertAlreadyOn = 8107;
constexpr int NotSupportedInThisVersion = 40517;

// Cursors.
constexpr int ConflictingCursorOptions = 1048;
constexpr int CursorAlreadyOpen = 16905;
constexpr int FetchTypeForwardOnly = 16911;
constexpr int CursorExists = 16915;
constexpr int CursorDoesNotExist = 16916;
constexpr int CursorNotOpen = 16917;
constexpr int FetchIntoCountMismatch = 16924;
constexpr int FetchTypeDynamic = 16925;
constexpr int CursorReadOnly = 16929;
constexpr int RowNotInFetchBuffer = 16930;
constexpr int ColumnNotForUpdate = 16932;
constexpr int TableNotInCursor = 16933;
constexpr int NoCursorInVariable = 16950;

// User-defined functions.
constexpr int InsufficientArguments = 313;
constexpr int FunctionNotEndingInReturn = 455;
constexpr int SideEffectInFunction = 443;
constexpr int SelectToClientInFunction = 444;
constexpr int ProcedureCalledFromFunction = 557;
constexpr int UnknownColumnOrFunction = 4121;

// Sequences.
constexpr int SequenceIncrementZero = 11700;
constexpr int SequenceTypeNotInteger = 11702;
constexpr int SequenceStartOutOfRange = 11703;
constexpr int SequenceMinimumNotBelowMaximum = 11705;
constexpr int NextValueWithSetOperator = 11721;
constexpr int NextValueWithOrderBy = 11723;
constexpr int CaseOfNullResultsOnly = 8133;
constexpr int DerivedColumnWithoutName = 8155;
constexpr int DerivedTableMoreColumns = 8158;
constexpr int DerivedTableFewerColumns = 8159;
constexpr int SequenceExhausted = 11728;

// FOR XML.
constexpr int XmlPrefixUndeclared = 6846;
constexpr int XmlPathBadSlashes = 6849;
constexpr int InvalidXmlIdentifier = 6850;
constexpr int XmlAttributeBadType = 6851;
constexpr int XmlAttributeAfterContent = 6852;
constexpr int XmlPathStepOnXml = 6853;
constexpr int XmlBadInstructionAlias = 6854;
constexpr int InvalidXmlRowName = 6856;
constexpr int EmptyXmlRootName = 6861;
constexpr int XmlRowOmittedWithAttributes = 6864;
} // namespace native

// A column name that names nothing the query reads: 207, or 4104 for one
// whose qualifier names no table or alias of it.
inline bool namesNoColumn(int number) {
    return number == native::InvalidColumnName || number == native::MultiPartIdentifierNotBound;
}

// SQL Server's record for message `number`, its text filled with `arguments`
// (%1, %2, ... in SQL Server's wording), with the SQLSTATE SQL Server's ODBC
// driver reports and the ADO number the OLE DB provider raises.
ProviderError sqlServerError(int number, const QStringList& arguments = {});

// The client's own record when the command time-out passes (ADO's
// DB_E_ABORTLIMITREACHED, "Query timeout expired", HYT00).
ProviderError queryTimeoutError();

// Throws ProviderFailure holding sqlServerError(number, arguments).
[[noreturn]] void failWith(int number, const QStringList& arguments = {});

// Throws ProviderFailure with message `number`'s record and the text as
// given (a conversion's own wording).
[[noreturn]] void failWithText(int number, const QString& text);

// Whether SQL Server ends only the failing statement (the batch goes on) for
// this message, rather than the whole batch.
bool endsOnlyTheStatement(int number);

// What an SQLite failure needs to be told as SQL Server would tell it.
struct SqliteFailure {
    int extendedCode = 0;
    QString message;      // sqlite3_errmsg
    QString statement;    // the statement as SQLite ran it
    QString databaseName; // the session's database, for 515/547 texts
    // The table's primary-key columns (to tell a primary key from a unique key).
    QStringList primaryKey;
};

// Whether a failure ended the session's transaction as the server ends a
// deadlock victim's or a timed-out command's (the caller rolls back).
bool endsTheTransaction(const ProviderFailure& failure);

// The mapping table: SQLite result code and message pattern → SQL Server record.
ProviderError translateSqliteError(const SqliteFailure& failure);
// The same with every record a failing function gave, in order.
std::vector<ProviderError> translateSqliteErrors(const SqliteFailure& failure);

// Table named by a constraint message "T.c, T.d" → "T" (empty when none).
QString tableOfConstraintMessage(const QString& message);

} // namespace estaciones::db::sqlite
