#include "platform/db/embedded/errors/SqlServerErrors.h"

#include "platform/db/embedded/errors/TableVariableNames.h"

#include "platform/db/embedded/errors/FunctionError.h"

#include <QRegularExpression>

#include <sqlite3.h>

#include <array>
#include <functional>
#include <optional>

namespace estaciones::db::sqlite {

namespace {

constexpr std::int32_t DataOverflow = errnum::hresult(0x80040E57u); // DB_E_DATAOVERFLOW

struct Message {
    int number;
    int severity;
    const char* sqlState;
    std::int32_t adoNumber;
    const char* text;
};

// SQL Server's wording, severities and the provider's SQLSTATE/ADO numbers.
// 8152 reaches ADO as DB_E_DATAOVERFLOW (0x80040E57), as the OLE DB provider
// reports truncation, not as an integrity violation.
constexpr std::array messages{
    Message{native::SyntaxError, 15, "42000", errnum::CommandError, "Incorrect syntax near '%1'."},
    Message{native::SyntaxErrorNearKeyword, 15, "42000", errnum::CommandError,
            "Incorrect syntax near the keyword '%1'."},
    Message{native::UndeclaredVariable, 15, "42000", errnum::CommandError,
            "Must declare the scalar variable \"%1\"."},
    Message{native::UndeclaredTableVariable, 15, "42000", errnum::CommandError,
            "Must declare the table variable \"%1\"."},
    Message{native::InsertMoreColumnsThanValues, 15, "42000", errnum::CommandError,
            "There are more columns in the INSERT statement than values specified in the VALUES "
            "clause. The number of values in the VALUES clause must match the number of columns "
            "specified in the INSERT statement."},
    Message{native::InsertFewerColumnsThanValues, 15, "42000", errnum::CommandError,
            "There are fewer columns in the INSERT statement than values specified in the VALUES "
            "clause. The number of values in the VALUES clause must match the number of columns "
            "specified in the INSERT statement."},
    Message{native::InsertSelectFewerItems, 15, "42000", errnum::CommandError,
            "The select list for the INSERT statement contains fewer items than the insert list. "
            "The number of SELECT values must match the number of INSERT columns."},
    Message{native::InsertSelectMoreItems, 15, "42000", errnum::CommandError,
            "The select list for the INSERT statement contains more items than the insert list. "
            "The number of SELECT values must match the number of INSERT columns."},
    Message{native::InsertValuesMismatch, 16, "21S01", errnum::CommandError,
            "Column name or number of supplied values does not match table definition."},
    Message{native::RowValuesMismatch, 16, "21S01", errnum::CommandError,
            "The number of columns for each row in a table value constructor must be the same."},
    Message{native::ObjectMissingForDbcc, 16, "42S02", errnum::CommandError,
            "Cannot find a table or object with the name '%1'. Check the system catalog."},
    Message{native::NoIdentityColumn, 16, "42000", errnum::CommandError,
            "'%1' does not contain an identity column."},
    Message{native::MergeRowMatchedTwice, 16, "42000", errnum::CommandError,
            "The MERGE statement attempted to UPDATE or DELETE the same row more than once. This "
            "happens when a target row matches more than one source row. A MERGE statement "
            "cannot UPDATE/DELETE the same row of the target table multiple times. Refine the ON "
            "clause to ensure a target row matches at most one source row, or use the GROUP BY "
            "clause to group the source rows."},
    Message{native::MergeWithoutSemicolon, 15, "42000", errnum::CommandError,
            "A MERGE statement must be terminated by a semi-colon (;)."},
    Message{native::LabelRedeclared, 15, "42000", errnum::CommandError,
            "The label '%1' has already been declared. Label names must be unique within a query "
            "batch or stored procedure."},
    Message{native::LabelUndeclared, 15, "42000", errnum::CommandError,
            "A GOTO statement references the label '%1' but the label has not been declared."},
    Message{native::VariableRedeclared, 15, "42000", errnum::CommandError,
            "The variable name '%1' has already been declared. Variable names must be unique "
            "within a query batch or stored procedure."},
    Message{native::ProcedureParameterMissing, 16, "42000", errnum::CommandError,
            "Procedure or function '%1' expects parameter '%2', which was not supplied."},
    Message{native::NestingLimit, 16, "42000", errnum::CommandError,
            "Maximum stored procedure, function, trigger, or view nesting level exceeded (limit "
            "32)."},
    Message{native::ObjectNotFound, 16, "42S02", errnum::NoSuchTable,
            "Cannot find the object \"%1\" because it does not exist or you do not have "
            "permissions."},
    Message{native::SchemaNotFound, 16, "42000", errnum::CommandError,
            "The specified schema name \"%1\" either does not exist or you do not have "
            "permission to use it."},
    Message{native::AlterTableMissing, 16, "42S02", errnum::NoSuchTable,
            "Cannot find the object \"%1\" because it does not exist or you do not have "
            "permissions."},
    Message{native::ColumnNameRepeated, 16, "42S21", errnum::CommandError,
            "Column names in each table must be unique. Column name '%1' in table '%2' is "
            "specified more than once."},
    Message{native::NotNullColumnOnNonEmptyTable, 16, "42000", errnum::CommandError,
            "ALTER TABLE only allows columns to be added that can contain nulls, or have a DEFAULT "
            "definition specified, or the column being added is an identity or timestamp column, "
            "or alternatively if none of the previous conditions are satisfied the table must be "
            "empty to allow addition of this column. Column '%1' cannot be added to non-empty "
            "table '%2' because it does not satisfy these conditions."},
    Message{native::UserError, 16, "42000", errnum::CommandError, "%1"},
    Message{native::IdentifierTooLong, 15, "42000", errnum::CommandError,
            "The identifier that starts with '%1' is too long. Maximum length is 128."},
    Message{native::UnclosedQuotation, 15, "42000", errnum::CommandError,
            "Unclosed quotation mark after the character string '%1'."},
    Message{native::MissingEndComment, 15, "42000", errnum::CommandError,
            "Missing end comment mark '*/'."},
    Message{native::MustBeFirstInBatch, 15, "42000", errnum::CommandError,
            "'%1' must be the first statement in a query batch."},
    Message{native::NestedTooDeeply, 15, "42000", errnum::CommandError,
            "Some part of your SQL statement is nested too deeply. Rewrite the query or break it "
            "up into smaller queries."},
    Message{native::TransactionCountMismatch, 16, "25000", errnum::E_FAIL,
            "Transaction count after EXECUTE indicates a mismatching number of BEGIN and COMMIT "
            "statements. Previous count = %1, current count = %2."},
    Message{native::TransactionEndedInTrigger, 16, "25000", errnum::E_FAIL,
            "The transaction ended in the trigger. The batch has been aborted."},
    Message{native::InsteadOfTriggerOnCascadedTable, 16, "42000", errnum::CommandError,
            "Cannot %1 INSTEAD OF DELETE or INSTEAD OF UPDATE TRIGGER '%2' on table '%3'. "
            "This is because the table has a FOREIGN KEY with cascading DELETE or UPDATE."},
    Message{native::OutputIntoTableWithTriggers, 15, "42000", errnum::CommandError,
            "The target table '%1' of the OUTPUT INTO clause cannot have any enabled triggers."},
    Message{native::OutputIntoTableWithKeys, 15, "42000", errnum::CommandError,
            "The target table '%1' of the OUTPUT INTO clause cannot be on either side of a "
            "(primary key, foreign key) relationship. Found reference constraint '%2'."},
    Message{native::OutputIntoTableWithChecks, 15, "42000", errnum::CommandError,
            "The target table '%1' of the OUTPUT INTO clause cannot have any enabled check "
            "constraints or any enabled rules. Found check constraint or rule '%2'."},
    Message{native::SecondInsteadOfTrigger, 16, "42000", errnum::CommandError,
            "Cannot %1 trigger '%2' on %3 '%4' because an INSTEAD OF %5 trigger already exists on "
            "this object."},
    Message{native::CascadeOnTableWithInsteadOf, 16, "42000", errnum::CommandError,
            "Cannot define foreign key constraint '%1' with cascaded DELETE or UPDATE on table "
            "'%2' because the table has an INSTEAD OF DELETE or UPDATE TRIGGER defined on it."},
    Message{native::SaveWithoutTransaction, 16, "25000", errnum::E_FAIL,
            "Cannot issue SAVE TRANSACTION when there is no active transaction."},
    Message{native::UncommittableTransaction, 16, "25000", errnum::E_FAIL,
            "The current transaction cannot be committed and cannot support operations that "
            "write to the log file. Roll back the transaction."},
    Message{native::UncommittableAtBatchEnd, 16, "25000", errnum::E_FAIL,
            "Uncommittable transaction is detected at the end of the batch. The transaction is "
            "rolled back."},
    Message{native::NoSuchSavepoint, 16, "25000", errnum::E_FAIL,
            "Cannot roll back %1. No transaction or savepoint of that name was found."},
    Message{native::RethrowOutsideCatch, 15, "42000", errnum::CommandError,
            "To rethrow an error, a THROW statement must be used inside a CATCH block. Insert the "
            "THROW statement inside a CATCH block, or add error parameters to the THROW "
            "statement."},
    Message{native::NotSupported, 16, "42000", errnum::CommandError,
            "Keyword or statement option '%1' is not supported in this version of SQL Server."},
    Message{native::ThrowNumberOutOfRange, 16, "42000", errnum::CommandError,
            "Error number %1 in the THROW statement is outside the valid range. Specify an error "
            "number in the valid range of 50000 to 2147483647."},
    Message{native::InvalidObjectName, 16, "42S02", errnum::NoSuchTable,
            "Invalid object name '%1'."},
    Message{native::InvalidColumnName, 16, "42S22", errnum::CommandError,
            "Invalid column name '%1'."},
    Message{native::ComputedColumnModified, 16, "42000", errnum::CommandError,
            "The column \"%1\" cannot be modified because it is either a computed column or is "
            "the result of a UNION operator."},
    Message{native::InsertNullIntoNotNull, 16, "23000", errnum::IntegrityViolation,
            "Cannot insert the value NULL into column '%1', table '%2'; column does not allow "
            "nulls. %3 fails."},
    Message{native::MaxRecursionExhausted, 16, "42000", errnum::CommandError,
            "The statement terminated. The maximum recursion %1 has been exhausted before "
            "statement completion."},
    Message{native::ConstraintConflict, 16, "23000", errnum::IntegrityViolation,
            "The %1 statement conflicted with the %2 constraint \"%3\". The conflict occurred in "
            "database \"%4\", table \"%5\"."},
    Message{native::DatabaseDoesNotExist, 16, "08004", errnum::E_FAIL,
            "Database '%1' does not exist. Make sure that the name is entered correctly."},
    Message{native::TablePrimaryKeyExists, 16, "42000", errnum::CommandError,
            "Table '%1' already has a primary key defined on it."},
    Message{native::ColumnDefaultExists, 16, "42000", errnum::CommandError,
            "Column already has a DEFAULT bound to it."},
    Message{native::DatabaseExists, 16, "42000", errnum::CommandError,
            "Database '%1' already exists. Choose a different database name."},
    Message{native::IndexExists, 16, "42S11", errnum::CommandError,
            "The operation failed because an index or statistics with name '%1' already "
            "exists on table '%2'."},
    Message{native::DeadlockVictim, 13, "40001", errnum::E_FAIL,
            "Transaction (Process ID %1) was deadlocked on lock resources with another process "
            "and has been chosen as the deadlock victim. Rerun the transaction."},
    Message{native::DuplicateKey, 14, "23000", errnum::IntegrityViolation,
            "Violation of %1 constraint '%2'. Cannot insert duplicate key in object '%3'."},
    Message{native::DuplicateIndexKey, 14, "23000", errnum::IntegrityViolation,
            "Cannot insert duplicate key row in object '%1' with unique index '%2'. The duplicate "
            "key value is %3."},
    Message{native::DuplicateKeyOnCreateIndex, 16, "23000", errnum::IntegrityViolation,
            "The CREATE UNIQUE INDEX statement terminated because a duplicate key was found for "
            "the object name '%1' and the index name '%2'. The duplicate key value is %3."},
    Message{native::NotAConstraint, 16, "42000", errnum::CommandError, "'%1' is not a constraint."},
    Message{native::ReferencedByForeignKey, 16, "42000", errnum::CommandError,
            "Could not drop object '%1' because it is referenced by a FOREIGN KEY constraint."},
    Message{native::ConstraintDoesNotExist, 16, "42000", errnum::CommandError,
            "Constraint '%1' does not exist."},
    Message{native::ColumnDependency, 16, "42000", errnum::CommandError,
            "The object '%1' is dependent on column '%2'."},
    Message{native::ColumnAccessed, 16, "42000", errnum::CommandError,
            "ALTER TABLE %1 failed because one or more objects access this column."},
    Message{native::AlterColumnMissing, 16, "42S22", errnum::CommandError,
            "ALTER TABLE ALTER COLUMN failed because column '%1' does not exist in table '%2'."},
    Message{native::RenameAmbiguous, 11, "42000", errnum::CommandError,
            "Either the parameter @objname is ambiguous or the claimed @objtype (%1) is wrong."},
    Message{native::RenameNameInUse, 11, "42000", errnum::CommandError,
            "Error: The new name '%1' is already in use as a %2 name and would cause a duplicate "
            "that is not permitted."},
    Message{native::ObjectNotInDatabase, 16, "42000", errnum::CommandError,
            "The object '%1' does not exist in database '%2' or is invalid for this operation."},
    Message{native::NoTextForObject, 16, "42000", errnum::CommandError,
            "There is no text for object '%1'."},
    Message{native::ObjectExists, 16, "42S01", errnum::CommandError,
            "There is already an object named '%1' in the database."},
    Message{native::ProcedureExists, 16, "42000", errnum::CommandError,
            "Procedure '%1' group number 1 already exists in the database. Choose another "
            "procedure name."},
    Message{native::ProcedureNotFound, 16, "42000", errnum::CommandError,
            "Could not find stored procedure '%1'."},
    Message{native::CannotDrop, 11, "42S02", errnum::NoSuchTable,
            "Cannot drop the %1 '%2', because it does not exist or you do not have permission."},
    Message{native::ReferencedByObject, 16, "42000", errnum::CommandError,
            "Cannot %1 '%2' because it is being referenced by object '%3'."},
    Message{native::CannotFindPrincipal, 16, "42000", errnum::CommandError,
            "Cannot %1 the %2 '%3', because it does not exist or you do not have permission."},
    Message{native::CommitWithoutBegin, 16, "25000", errnum::E_FAIL,
            "The COMMIT TRANSACTION request has no corresponding BEGIN TRANSACTION."},
    Message{native::RollbackWithoutBegin, 16, "25000", errnum::E_FAIL,
            "The ROLLBACK TRANSACTION request has no corresponding BEGIN TRANSACTION."},
    Message{native::CannotOpenDatabase, 11, "42000", errnum::E_FAIL,
            "Cannot open database \"%1\" requested by the login. The login failed."},
    Message{native::DatabaseReadOnly, 16, "25000", errnum::E_FAIL,
            "Failed to update database \"%1\" because the database is read-only."},
    Message{native::TooManyArguments, 16, "42000", errnum::CommandError,
            "Procedure or function %1 has too many arguments specified."},
    Message{native::InsufficientArguments, 16, "42000", errnum::CommandError,
            "An insufficient number of arguments were supplied for the procedure or function "
            "%1."},
    Message{native::FunctionNotEndingInReturn, 16, "42000", errnum::CommandError,
            "The last statement included within a function must be a return statement."},
    Message{native::SideEffectInFunction, 16, "42000", errnum::CommandError,
            "Invalid use of a side-effecting operator '%1' within a function."},
    Message{native::SelectToClientInFunction, 16, "42000", errnum::CommandError,
            "Select statements included within a function cannot return data to a client."},
    Message{native::ProcedureCalledFromFunction, 16, "42000", errnum::CommandError,
            "Only functions and some extended stored procedures can be executed from within a "
            "function."},
    Message{native::UnknownColumnOrFunction, 16, "42000", errnum::CommandError,
            "Cannot find either column \"%1\" or the user-defined function or aggregate \"%2\", "
            "or the name is ambiguous."},
    Message{native::BackupTerminated, 16, "42000", errnum::E_FAIL, "%1 is terminating abnormally."},
    Message{native::BackupInTransaction, 16, "42000", errnum::E_FAIL,
            "Cannot perform a backup or restore operation within a transaction."},
    Message{native::RestoreDatabaseInUse, 16, "42000", errnum::E_FAIL,
            "Exclusive access could not be obtained because the database is in use."},
    Message{native::BackupDeviceUnopenable, 16, "42000", errnum::E_FAIL,
            "Cannot open backup device '%1'. Operating system error %2."},
    Message{native::BackupMediaMalformed, 16, "42000", errnum::E_FAIL,
            "The media family on device '%1' is incorrectly formed. SQL Server cannot process "
            "this media family."},
    Message{native::StringTruncated, 16, "22001", DataOverflow,
            "String or binary data would be truncated."},
    Message{native::DivideByZero, 16, "22012", errnum::CommandError,
            "Divide by zero error encountered."},
    Message{native::PrecisionAboveMaximum, 16, "42000", errnum::CommandError,
            "Column or parameter #%1: Specified column precision %2 is greater than the maximum "
            "precision of 38."},
    Message{native::SubqueryReturnedMany, 16, "21000", errnum::CommandError,
            "Subquery returned more than 1 value. This is not permitted when the subquery "
            "follows =, !=, <, <= , >, >= or when the subquery is used as an expression."},
    Message{native::ArithmeticOverflow, 16, "22003", errnum::CommandError,
            "Arithmetic overflow error converting expression to data type %1."},
    Message{native::SmallIntegerOverflow, 16, "22003", errnum::CommandError,
            "Arithmetic overflow error for data type %1, value = %2."},
    Message{native::IntegerConversionFailed, 16, "22018", errnum::CommandError,
            "Conversion failed when converting the varchar value '%1' to data type %2."},
    Message{native::NumberConversionFailed, 16, "22018", errnum::CommandError,
            "Error converting data type %1 to %2."},
    Message{native::DateConversionFailed, 16, "22007", errnum::CommandError,
            "Conversion failed when converting date and/or time from character string."},
    Message{native::InvalidStyle, 16, "22018", errnum::CommandError,
            "%1 is not a valid style number when converting from %2 to %3."},
    Message{native::ConversionNotAllowed, 16, "42000", errnum::CommandError,
            "Explicit conversion from data type %1 to %2 is not allowed."},
    Message{native::UnknownBuiltInFunction, 15, "42000", errnum::CommandError,
            "'%1' is not a recognized built-in function name."},
    Message{native::FunctionArgumentCount, 15, "42000", errnum::CommandError,
            "The %1 function requires %2 argument(s)."},
    Message{native::FunctionArgumentRange, 15, "42000", errnum::CommandError,
            "The %1 function requires %2 to %3 arguments."},
    Message{native::OrderByNotInDistinctList, 15, "42000", errnum::CommandError,
            "ORDER BY items must appear in the select list if SELECT DISTINCT is specified."},
    Message{native::OrderByNotInCompoundList, 15, "42000", errnum::CommandError,
            "ORDER BY items must appear in the select list if the statement contains a UNION, "
            "INTERSECT or EXCEPT operator."},
    Message{native::NotASystemType, 16, "42000", errnum::CommandError,
            "Type %1 is not a defined system type."},
    Message{native::DataTypeNotFound, 16, "42000", errnum::CommandError,
            "Column, parameter, or variable #%1: Cannot find data type %2."},
    Message{native::UngroupedColumnInSelectList, 16, "42000", errnum::CommandError,
            "Column '%1' is invalid in the select list because it is not contained in either an "
            "aggregate function or the GROUP BY clause."},
    Message{native::UngroupedColumnInHaving, 16, "42000", errnum::CommandError,
            "Column '%1' is invalid in the HAVING clause because it is not contained in either an "
            "aggregate function or the GROUP BY clause."},
    Message{native::OrderByInSubquery, 16, "42000", errnum::CommandError,
            "The ORDER BY clause is invalid in views, inline functions, derived tables, subqueries, "
            "and common table expressions, unless TOP, OFFSET or FOR XML is also specified."},
    Message{native::WindowedFunctionMisplaced, 15, "42000", errnum::CommandError,
            "Windowed functions can only appear in the SELECT or ORDER BY clauses."},
    Message{native::OrderByPositionOutOfRange, 15, "42000", errnum::CommandError,
            "The ORDER BY position number %1 is out of range of the number of items in the "
            "select list."},
    Message{native::OrderByItemRepeated, 15, "42000", errnum::CommandError,
            "A column has been specified more than once in the order by list. Columns in the order "
            "by list must be unique."},
    Message{native::OrderByConstant, 16, "42000", errnum::CommandError,
            "A constant expression was encountered in the ORDER BY list, position %1."},
    Message{native::MultiPartIdentifierNotBound, 16, "42000", errnum::CommandError,
            "The multi-part identifier \"%1\" could not be bound."},
    Message{native::SubqueryOfSeveralColumns, 15, "42000", errnum::CommandError,
            "Only one expression can be specified in the select list when the subquery is not "
            "introduced with EXISTS."},
    Message{native::InvalidOperandType, 16, "42000", errnum::CommandError,
            "Operand data type %1 is invalid for %2 operator."},
    Message{native::AggregateOfAggregate, 16, "42000", errnum::CommandError,
            "Cannot perform an aggregate function on an expression containing an aggregate or a "
            "subquery."},
    Message{native::AggregateInGroupBy, 15, "42000", errnum::CommandError,
            "Cannot use an aggregate or a subquery in an expression used for the group by list of "
            "a GROUP BY clause."},
    Message{native::AggregateInWhere, 15, "42000", errnum::CommandError,
            "An aggregate may not appear in the WHERE clause unless it is in a subquery contained "
            "in a HAVING clause or a select list, and the column being aggregated is an outer "
            "reference."},
    Message{native::AggregateInUpdateSet, 15, "42000", errnum::CommandError,
            "An aggregate may not appear in the set list of an UPDATE statement."},
    Message{native::CompoundColumnCountMismatch, 16, "42000", errnum::CommandError,
            "All queries combined using a UNION, INTERSECT or EXCEPT operator must have an equal "
            "number of expressions in their target lists."},
    Message{native::AmbiguousColumnName, 16, "42000", errnum::CommandError,
            "Ambiguous column name '%1'."},
    Message{native::DuplicateCommonTableExpression, 16, "42000", errnum::CommandError,
            "Duplicate common table expression name '%1' was specified."},
    Message{native::NotAWindowFunction, 15, "42000", errnum::CommandError,
            "The function '%1' is not a valid windowing function, and cannot be used with the "
            "OVER clause."},
    Message{native::ParameterOfWrongType, 16, "42000", errnum::CommandError,
            "Procedure expects parameter '%1' of type '%2'."},
    Message{native::DateOutOfRange, 16, "22008", errnum::CommandError,
            "The conversion of a varchar data type to a datetime data type resulted in an "
            "out-of-range value."},
    Message{native::DefaultDatabaseMissing, 16, "42000", errnum::CommandError,
            "The database '%1' does not exist. Supply a valid database name. To see available "
            "databases, use sys.databases."},
    Message{native::LoginExists, 16, "42000", errnum::CommandError,
            "The login '%1' already exists."},
    Message{native::NamedArgumentsThenPositional, 15, "42000", errnum::CommandError,
            "Must pass parameter number %1 and subsequent parameters as '@name = value'. After "
            "the form '@name = value' has been used, all subsequent parameters must be passed in "
            "the form '@name = value'."},
    Message{native::ReturnValueOutsideProcedure, 15, "42000", errnum::CommandError,
            "A RETURN statement with a return value cannot be used in this context."},
    Message{native::OutputOfConstant, 15, "42000", errnum::CommandError,
            "Cannot use the OUTPUT option when passing a constant to a stored procedure."},
    Message{native::NotAParameter, 16, "42000", errnum::CommandError,
            "%1 is not a parameter for procedure %2."},
    Message{native::ParameterNotOutput, 16, "42000", errnum::CommandError,
            "The formal parameter \"%1\" was not declared as an OUTPUT parameter, but the actual "
            "parameter passed in requested output."},
    Message{native::InsertExecNested, 16, "42000", errnum::CommandError,
            "An INSERT EXEC statement cannot be nested."},
    Message{native::DateFirstOutOfRange, 15, "42000", errnum::CommandError,
            "Line 1: Specified SET DATEFIRST value is not valid."},
    Message{native::TiesWithoutOrder, 16, "42000", errnum::CommandError,
            "The TOP N WITH TIES clause is not allowed without a corresponding ORDER BY clause."},
    Message{native::TopWithOffset, 15, "42000", errnum::CommandError,
            "A TOP cannot be used in the same query or sub-query as an OFFSET."},
    Message{native::IdentityInsertOff, 16, "23000", errnum::IntegrityViolation,
            "Cannot insert explicit value for identity column in table '%1' when "
            "IDENTITY_INSERT is set to OFF."},
    Message{native::IdentityValueMissing, 16, "23000", errnum::IntegrityViolation,
            "Explicit value must be specified for identity column in table '%1' either when "
            "IDENTITY_INSERT is set to ON or when a replication user is inserting into a NOT FOR "
            "REPLICATION identity column."},
    Message{native::IdentityInsertNoIdentity, 16, "42000", errnum::CommandError,
            "Table '%1' does not have the identity property. Cannot perform SET operation."},
    Message{native::IdentityInsertAlreadyOn, 16, "42000", errnum::CommandError,
            "IDENTITY_INSERT is already ON for table '%1'. Cannot perform SET operation for "
            "table '%2'."},
    Message{native::NotSupportedInThisVersion, 16, "42000", errnum::CommandError,
            "Keyword or statement option '%1' is not supported in this version of SQL Server."},
    Message{native::ConflictingCursorOptions, 15, "42000", errnum::CommandError,
            "Conflicting cursor options %1 and %2."},
    Message{native::CursorAlreadyOpen, 16, "24000", errnum::CommandError,
            "The cursor is already open."},
    Message{native::FetchTypeForwardOnly, 16, "42000", errnum::CommandError,
            "%1: The fetch type %2 cannot be used with forward only cursors."},
    Message{native::CursorExists, 16, "42000", errnum::CommandError,
            "A cursor with the name '%1' already exists."},
    Message{native::CursorDoesNotExist, 16, "34000", errnum::CommandError,
            "A cursor with the name '%1' does not exist."},
    Message{native::CursorNotOpen, 16, "24000", errnum::CommandError, "Cursor is not open."},
    Message{native::FetchIntoCountMismatch, 16, "07002", errnum::CommandError,
            "Cursorfetch: The number of variables declared in the INTO list must match that of "
            "selected columns."},
    Message{native::FetchTypeDynamic, 16, "42000", errnum::CommandError,
            "The fetch type %1 cannot be used with dynamic cursors."},
    Message{native::CursorReadOnly, 16, "42000", errnum::CommandError,
            "The cursor is READ ONLY."},
    Message{native::RowNotInFetchBuffer, 16, "24000", errnum::CommandError,
            "The requested row is not in the fetch buffer."},
    Message{native::ColumnNotForUpdate, 16, "42000", errnum::CommandError,
            "The cursor has a FOR UPDATE list and the requested column to be updated is not in "
            "this list."},
    Message{native::TableNotInCursor, 16, "42000", errnum::CommandError,
            "The cursor does not include the table being modified or the table is not updatable "
            "through the cursor."},
    Message{native::NoCursorInVariable, 16, "34000", errnum::CommandError,
            "The variable '%1' does not currently have a cursor allocated to it."},
    Message{native::SequenceIncrementZero, 16, "42000", errnum::CommandError,
            "The increment for sequence object '%1' cannot be zero."},
    Message{native::SequenceTypeNotInteger, 16, "42000", errnum::CommandError,
            "The sequence object '%1' must be of data type int, bigint, smallint, tinyint, or "
            "decimal or numeric with a scale of 0, or any user-defined data type that is based on "
            "one of the above integer data types."},
    Message{native::SequenceStartOutOfRange, 16, "42000", errnum::CommandError,
            "The start value for sequence object '%1' must be between the minimum and maximum "
            "value of the sequence object."},
    Message{native::SequenceMinimumNotBelowMaximum, 16, "42000", errnum::CommandError,
            "The minimum value for sequence object '%1' must be less than its maximum value."},
    Message{native::DerivedColumnWithoutName, 16, "42000", errnum::CommandError,
            "No column name was specified for column %1 of '%2'."},
    Message{native::DerivedTableMoreColumns, 16, "42000", errnum::CommandError,
            "'%1' has more columns than were specified in the column list."},
    Message{native::DerivedTableFewerColumns, 16, "42000", errnum::CommandError,
            "'%1' has fewer columns than were specified in the column list."},
    Message{native::CaseOfNullResultsOnly, 16, "42000", errnum::CommandError,
            "At least one of the result expressions in a CASE specification must be an "
            "expression other than the NULL constant."},
    Message{native::NextValueWithSetOperator, 15, "42000", errnum::CommandError,
            "NEXT VALUE FOR function cannot be used directly in a statement that uses a DISTINCT, "
            "UNION, UNION ALL, EXCEPT or INTERSECT operator."},
    Message{native::NextValueWithOrderBy, 15, "42000", errnum::CommandError,
            "NEXT VALUE FOR function cannot be used directly in a statement that contains an ORDER "
            "BY clause unless the OVER clause is specified."},
    Message{native::SequenceExhausted, 16, "42000", errnum::CommandError,
            "The sequence object '%1' has reached its minimum or maximum value. Restart the "
            "sequence object to allow new values to be generated."},
    Message{native::XmlPrefixUndeclared, 16, "42000", errnum::CommandError,
            "XML name space prefix '%1' declaration is missing for FOR XML %2 name '%3'."},
    Message{native::XmlPathBadSlashes, 16, "42000", errnum::CommandError,
            "FOR XML PATH error in column '%1' - '//' and leading and trailing '/' are not "
            "allowed in simple path expressions."},
    Message{native::InvalidXmlIdentifier, 16, "42000", errnum::CommandError,
            "%1 name '%2' contains an invalid XML identifier as required by FOR XML; '%3'(0x%4) "
            "is the first character at fault."},
    Message{native::XmlAttributeBadType, 16, "42000", errnum::CommandError,
            "Column '%1' has invalid data type for attribute-centric XML serialization in FOR "
            "XML PATH."},
    Message{native::XmlAttributeAfterContent, 16, "42000", errnum::CommandError,
            "Attribute-centric column '%1' must not come after a non-attribute-centric sibling "
            "in XML hierarchy in FOR XML PATH."},
    Message{native::XmlPathStepOnXml, 16, "42000", errnum::CommandError,
            "Column '%1': the last step in the path can't be applied to XML data type or CLR "
            "type in FOR XML PATH."},
    Message{native::XmlBadInstructionAlias, 16, "42000", errnum::CommandError,
            "Invalid column alias '%1' for formatting column as XML processing instruction in "
            "FOR XML PATH - it must be in 'processing-instruction(target)' format."},
    Message{native::InvalidXmlRowName, 16, "42000", errnum::CommandError,
            "FOR XML row XML tag name contains an invalid XML identifier; '%1'(0x%2) is the "
            "first character at fault."},
    Message{native::EmptyXmlRootName, 16, "42000", errnum::CommandError,
            "Empty root tag name can't be specified with FOR XML."},
    Message{native::XmlRowOmittedWithAttributes, 16, "42000", errnum::CommandError,
            "Row tag omission (empty row tag name) cannot be used with attribute-centric FOR XML "
            "serialization."},
};

const Message* findMessage(int number) {
    for (const Message& message : messages) {
        if (message.number == number) {
            return &message;
        }
    }
    return nullptr;
}

QString stripQuotes(QString name) {
    name = name.trimmed();
    if (name.size() >= 2 && (name.front() == '"' || name.front() == '[' || name.front() == '\'')) {
        name = name.mid(1, name.size() - 2);
    }
    if (name.startsWith(QLatin1String("main."), Qt::CaseInsensitive)) {
        name = name.mid(5);
    }
    return name;
}

QString firstWord(const QString& statement) {
    static const QRegularExpression word(QStringLiteral("^\\s*(\\w+)"));
    return word.match(statement).captured(1).toUpper();
}

// The position a statement's ORDER BY gave as its `term`th item (from 1),
// which SQLite names only by its place: the last ORDER BY's item, or the
// place itself when it cannot be read.
QString orderByPosition(const QString& statement, int term) {
    static const QRegularExpression orderBy(QStringLiteral("\\bORDER\\s+BY\\b"),
                                            QRegularExpression::CaseInsensitiveOption);
    qsizetype at = -1;
    for (auto it = orderBy.globalMatch(statement); it.hasNext();)
        at = it.next().capturedEnd();
    if (at >= 0) {
        const QStringList items = statement.mid(at).split(QLatin1Char(','));
        if (term >= 1 && term <= items.size()) {
            static const QRegularExpression number(QStringLiteral("^\\s*(-?\\d+)"));
            const QRegularExpressionMatch match = number.match(items[term - 1]);
            if (match.hasMatch())
                return match.captured(1);
        }
    }
    return QString::number(term);
}

// An aggregate where none may go: in a WHERE clause (147), in an UPDATE's
// SET list (157), else inside another aggregate (130).
int misusedAggregateError(const QString& statement, const QString& function) {
    static const QRegularExpression where(QStringLiteral("\\bWHERE\\b"),
                                          QRegularExpression::CaseInsensitiveOption);
    const QRegularExpression call(QStringLiteral("\\b%1\\s*\\(").arg(QRegularExpression::escape(function)),
                                  QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch whereAt = where.match(statement);
    const qsizetype callAt = call.match(statement).capturedStart();
    const bool afterWhere = whereAt.hasMatch() && callAt > whereAt.capturedStart();
    if (afterWhere)
        return native::AggregateInWhere;
    if (firstWord(statement) == QLatin1String("UPDATE"))
        return native::AggregateInUpdateSet;
    return native::AggregateOfAggregate;
}

// SQLite's "T.c" → column "c" of table "T".
std::pair<QString, QString> tableAndColumn(const QString& qualified) {
    const qsizetype dot = qualified.indexOf('.');
    if (dot < 0) {
        return {QString(), qualified.trimmed()};
    }
    return {qualified.left(dot).trimmed(), qualified.mid(dot + 1).trimmed()};
}

// Whether the statement names `name` other than as a qualifier (a table, an
// alias): a column whose qualifier it names nowhere else is bound to nothing
// (4104), where one of a table it reads is only missing (207).
// A table that has an alias is not named by its own name any more ("Using
// Table Aliases"): FROM art AS a, FROM art a do not name art.
bool namedInStatement(const QString& statement, const QString& name) {
    const QRegularExpression named(
        QStringLiteral("(?<![\\w@#$])[\"\\[]?%1[\"\\]]?(?![\\w$\"\\]])(?!\\s*\\.)")
            .arg(QRegularExpression::escape(name)),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression tablePlace(QStringLiteral("(?:\\bFROM|\\bJOIN|,|\\.)\\s*$"),
                                               QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression aliasAfter(
        QStringLiteral("^\\s+(?:AS\\b|(?!(?:WHERE|JOIN|INNER|LEFT|RIGHT|FULL|CROSS|OUTER|NATURAL|ON|"
                       "USING|GROUP|ORDER|HAVING|UNION|EXCEPT|INTERSECT|LIMIT|WINDOW|SET|"
                       "VALUES|SELECT|DEFAULT|INDEXED|NOT|RETURNING)\\b)[\"\\[]?[A-Za-z_#])"),
        QRegularExpression::CaseInsensitiveOption);
    for (auto it = named.globalMatch(statement); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        const bool aliased =
            tablePlace.match(QStringView(statement).left(match.capturedStart())).hasMatch() &&
            aliasAfter.match(QStringView(statement).mid(match.capturedEnd())).hasMatch();
        if (!aliased)
            return true;
    }
    return false;
}

QStringList columnsOf(const QString& message) {
    const qsizetype colon = message.indexOf(':');
    QStringList columns;
    for (const QString& part : message.mid(colon + 1).split(',', Qt::SkipEmptyParts)) {
        columns << tableAndColumn(part).second;
    }
    return columns;
}

bool sameNames(QStringList a, QStringList b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (QString& name : a) {
        name = name.toLower();
    }
    for (QString& name : b) {
        name = name.toLower();
    }
    a.sort();
    b.sort();
    return a == b;
}

QString alteredTable(const QString& statement) {
    static const QRegularExpression table(QStringLiteral("^\\s*ALTER\\s+TABLE\\s+([\\w\\[\\]\"]+)"),
                                          QRegularExpression::CaseInsensitiveOption);
    return stripQuotes(table.match(statement).captured(1));
}

ProviderError uniqueViolation(const SqliteFailure& failure) {
    const QString table = tableOfConstraintMessage(failure.message);
    const bool primary = (failure.extendedCode == SQLITE_CONSTRAINT_PRIMARYKEY) ||
                         sameNames(columnsOf(failure.message), failure.primaryKey);
    return sqlServerError(native::DuplicateKey,
                          {primary ? QStringLiteral("PRIMARY KEY") : QStringLiteral("UNIQUE KEY"),
                           (primary ? QStringLiteral("PK_") : QStringLiteral("UQ_")) + table,
                           shownTableName(table)});
}

ProviderError notNullViolation(const SqliteFailure& failure) {
    const qsizetype colon = failure.message.indexOf(':');
    const auto [table, column] = tableAndColumn(failure.message.mid(colon + 1));
    const QString verb = firstWord(failure.statement) == QLatin1String("UPDATE")
                             ? QStringLiteral("UPDATE")
                             : QStringLiteral("INSERT");
    return sqlServerError(native::InsertNullIntoNotNull,
                          {column, failure.databaseName + QLatin1Char('.') + shownTableName(table), verb});
}

ProviderError constraintConflict(const SqliteFailure& failure, const QString& kind,
                                 const QString& name) {
    QString verb = firstWord(failure.statement);
    if (verb != QLatin1String("UPDATE") && verb != QLatin1String("DELETE")) {
        verb = QStringLiteral("INSERT");
    }
    QString table = tableOfConstraintMessage(failure.message);
    if (table.isEmpty()) {
        static const QRegularExpression target(
            QStringLiteral("^\\s*(?:INSERT\\s+INTO|INSERT|UPDATE|DELETE\\s+FROM|DELETE)\\s+"
                           "([\\w\\[\\]\"]+)"),
            QRegularExpression::CaseInsensitiveOption);
        table = stripQuotes(target.match(failure.statement).captured(1));
    }
    const QString constraintKind =
        (kind == QLatin1String("FOREIGN KEY") && verb == QLatin1String("DELETE"))
            ? QStringLiteral("REFERENCE")
            : kind;
    return sqlServerError(
        native::ConstraintConflict,
        {verb, constraintKind, name, failure.databaseName, shownTableName(table)});
}

// The dialect's functions and triggers fail with SQL Server's own number
// and text ("tsql 8152: String or binary data would be truncated.").
std::optional<ProviderError> requestedMessage(const QString& message) {
    const std::optional<tsql::FunctionError> requested = tsql::parseFunctionError(message);
    if (!requested) {
        return std::nullopt;
    }
    ProviderError error = sqlServerError(requested->nativeNumber);
    error.description = requested->text;
    return error;
}

struct Rule {
    int primaryCode; // -1: any
    QRegularExpression pattern;
    std::function<ProviderError(const SqliteFailure&, const QRegularExpressionMatch&)> build;
};

const std::vector<Rule>& rules() {
    using M = QRegularExpressionMatch;
    static const std::vector<Rule> table{
        // A file that cannot be written, as the server answers for a read-only database.
        {SQLITE_READONLY, QRegularExpression(QStringLiteral("^")),
         [](const SqliteFailure& f, const M&) {
             return sqlServerError(native::DatabaseReadOnly, {f.databaseName});
         }},
        {SQLITE_ERROR, QRegularExpression(QStringLiteral("^no such table: (.+)$")),
         [](const SqliteFailure& f, const M& m) {
             return sqlServerError(firstWord(f.statement) == QLatin1String("ALTER")
                                       ? native::AlterTableMissing
                                       : native::InvalidObjectName,
                                   {stripQuotes(m.captured(1))});
         }},
        {SQLITE_ERROR, QRegularExpression(QStringLiteral("^duplicate column name: (.+)$")),
         [](const SqliteFailure& f, const M& m) {
             return sqlServerError(native::ColumnNameRepeated,
                                   {stripQuotes(m.captured(1)), alteredTable(f.statement)});
         }},
        {SQLITE_ERROR, QRegularExpression(QStringLiteral("^Cannot add a NOT NULL column")),
         [](const SqliteFailure& f, const M&) {
             static const QRegularExpression column(
                 QStringLiteral("\\bADD\\s+(?:COLUMN\\s+)?([\\w\\[\\]\"]+)"),
                 QRegularExpression::CaseInsensitiveOption);
             return sqlServerError(
                 native::NotNullColumnOnNonEmptyTable,
                 {stripQuotes(column.match(f.statement).captured(1)), alteredTable(f.statement)});
         }},
        {SQLITE_ERROR,
         QRegularExpression(QStringLiteral("^table .+ has \\d+ columns but \\d+ values were supplied$")),
         [](const SqliteFailure&, const M&) { return sqlServerError(native::InsertValuesMismatch); }},
        {SQLITE_ERROR, QRegularExpression(QStringLiteral("^(\\d+) values for (\\d+) columns$")),
         [](const SqliteFailure& f, const M& m) {
             // The server tells which side is short, and whether VALUES or a SELECT gave them.
             static const QRegularExpression values(QStringLiteral("\\)\\s*VALUES\\b"),
                                                    QRegularExpression::CaseInsensitiveOption);
             const bool fromValues = values.match(f.statement).hasMatch();
             const bool moreValues = m.captured(1).toInt() > m.captured(2).toInt();
             return sqlServerError(fromValues ? (moreValues ? native::InsertFewerColumnsThanValues
                                                            : native::InsertMoreColumnsThanValues)
                                              : (moreValues ? native::InsertSelectMoreItems
                                                            : native::InsertSelectFewerItems));
         }},
        {SQLITE_ERROR, QRegularExpression(QStringLiteral("^all VALUES must have the same number of terms$")),
         [](const SqliteFailure&, const M&) { return sqlServerError(native::RowValuesMismatch); }},
        {SQLITE_ERROR, QRegularExpression(QStringLiteral("^table (.+) has no column named (.+)$")),
         [](const SqliteFailure&, const M& m) {
             return sqlServerError(native::InvalidColumnName, {stripQuotes(m.captured(2))});
         }},
        {SQLITE_ERROR,
         QRegularExpression(QStringLiteral("^cannot (?:INSERT into|UPDATE) generated column (.+)$")),
         [](const SqliteFailure&, const M& m) {
             return sqlServerError(native::ComputedColumnModified, {stripQuotes(m.captured(1))});
         }},
        {SQLITE_ERROR, QRegularExpression(QStringLiteral("^no such function: (?:tsql_)?(.+)$")),
         [](const SqliteFailure&, const M& m) {
             // ventas.f: a function of a schema the database keeps nothing of,
             // made one name by the parser.
             const QString name = m.captured(1);
             if (const qsizetype dot = name.indexOf(QLatin1Char('.')); dot > 0)
                 return sqlServerError(native::UnknownColumnOrFunction, {name.left(dot), name});
             return sqlServerError(native::UnknownBuiltInFunction, {name});
         }},
        {SQLITE_ERROR,
         QRegularExpression(QStringLiteral("^(?:tsql_)?(\\w+)\\(\\) may not be used as a window function$")),
         [](const SqliteFailure&, const M& m) {
             return sqlServerError(native::NotAWindowFunction, {m.captured(1).toUpper()});
         }},
        {SQLITE_ERROR, QRegularExpression(QStringLiteral("^ambiguous column name: (?:.+\\.)?(.+)$")),
         [](const SqliteFailure&, const M& m) {
             return sqlServerError(native::AmbiguousColumnName, {stripQuotes(m.captured(1))});
         }},
        {SQLITE_ERROR, QRegularExpression(QStringLiteral("^duplicate WITH table name: (.+)$")),
         [](const SqliteFailure&, const M& m) {
             return sqlServerError(native::DuplicateCommonTableExpression,
                                   {stripQuotes(m.captured(1))});
         }},
        {SQLITE_ERROR, QRegularExpression(QStringLiteral("^sub-select returns \\d+ columns - expected 1$")),
         [](const SqliteFailure&, const M&) {
             return sqlServerError(native::SubqueryOfSeveralColumns);
         }},
        {SQLITE_ERROR,
         QRegularExpression(QStringLiteral("^aggregate functions are not allowed in the GROUP BY clause$")),
         [](const SqliteFailure&, const M&) { return sqlServerError(native::AggregateInGroupBy); }},
        {SQLITE_ERROR,
         QRegularExpression(QStringLiteral("^SELECTs to the left and right of .+ do not have the same "
                                           "number of result columns$")),
         [](const SqliteFailure&, const M&) {
             return sqlServerError(native::CompoundColumnCountMismatch);
         }},
        // SQLite matches a compound's ORDER BY against its result columns only.
        {SQLITE_ERROR,
         QRegularExpression(QStringLiteral("ORDER BY term does not match any column in the result set")),
         [](const SqliteFailure&, const M&) {
             return sqlServerError(native::OrderByNotInCompoundList);
         }},
        {SQLITE_ERROR, QRegularExpression(QStringLiteral("^(\\d+)\\w* ORDER BY term out of range")),
         [](const SqliteFailure& f, const M& m) {
             return sqlServerError(native::OrderByPositionOutOfRange,
                                   {orderByPosition(f.statement, m.captured(1).toInt())});
         }},
        {SQLITE_ERROR, QRegularExpression(QStringLiteral("^misuse of aggregate(?: function)?:? (\\w+)\\(\\)$")),
         [](const SqliteFailure& f, const M& m) {
             return sqlServerError(misusedAggregateError(f.statement, m.captured(1)));
         }},
        {SQLITE_ERROR, QRegularExpression(QStringLiteral("^misuse of window function ")),
         [](const SqliteFailure&, const M&) {
             return sqlServerError(native::WindowedFunctionMisplaced);
         }},
        {SQLITE_ERROR, QRegularExpression(QStringLiteral("^no such column: (.+)$")),
         [](const SqliteFailure& f, const M& m) {
             const QString name = stripQuotes(m.captured(1));
             const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
             const QString table = name.left(std::max<qsizetype>(dot, 0)).section(QLatin1Char('.'), -1);
             if (dot > 0 && !namedInStatement(f.statement, table.trimmed()))
                 return sqlServerError(native::MultiPartIdentifierNotBound, {name});
             return sqlServerError(native::InvalidColumnName, {tableAndColumn(name).second});
         }},
        {SQLITE_ERROR,
         QRegularExpression(QStringLiteral("^(?:table|view|trigger) (.+) already exists$")),
         [](const SqliteFailure&, const M& m) {
             return sqlServerError(native::ObjectExists, {stripQuotes(m.captured(1))});
         }},
        {SQLITE_ERROR,
         QRegularExpression(
             QStringLiteral("^there is already another table or index with this name: (.+)$")),
         [](const SqliteFailure&, const M& m) {
             return sqlServerError(native::ObjectExists, {stripQuotes(m.captured(1))});
         }},
        // OPENJSON reads its text with json_each.
        {SQLITE_ERROR, QRegularExpression(QStringLiteral("^malformed JSON$")),
         [](const SqliteFailure&, const M&) {
             ProviderError error = sqlServerError(native::NotSupported);
             error.nativeError = 13609;
             error.description = QStringLiteral("JSON text is not properly formatted.");
             return error;
         }},
        {SQLITE_ERROR, QRegularExpression(QStringLiteral("^JSON path error near '(.*)'$")),
         [](const SqliteFailure&, const M& m) {
             ProviderError error = sqlServerError(native::NotSupported);
             error.nativeError = 13607;
             error.description = QStringLiteral("JSON path is not properly formatted. Unexpected "
                                                "character '%1' is found.")
                                     .arg(m.captured(1).left(1));
             return error;
         }},
        {SQLITE_ERROR, QRegularExpression(QStringLiteral("^index (.+) already exists$")),
         [](const SqliteFailure&, const M& m) {
             // The dialect names indexes "table.index" (SQLite's are per database).
             const auto [table, index] = tableAndColumn(stripQuotes(m.captured(1)));
             return sqlServerError(native::IndexExists, {index, table});
         }},
        {SQLITE_ERROR,
         QRegularExpression(QStringLiteral("^table (.+) has more than one primary key$")),
         [](const SqliteFailure&, const M& m) {
             return sqlServerError(native::TablePrimaryKeyExists, {stripQuotes(m.captured(1))});
         }},
        {SQLITE_ERROR,
         QRegularExpression(
             QStringLiteral("^(parser stack overflow|Expression tree is too large.*)$")),
         [](const SqliteFailure&, const M&) { return sqlServerError(native::NestedTooDeeply); }},
        {SQLITE_ERROR, QRegularExpression(QStringLiteral("^near \"(.*)\": syntax error$")),
         [](const SqliteFailure&, const M& m) {
             const QString near = m.captured(1);
             return sqlite3_keyword_check(near.toUtf8().constData(),
                                          static_cast<int>(near.toUtf8().size()))
                        ? sqlServerError(native::SyntaxErrorNearKeyword, {near.toUpper()})
                        : sqlServerError(native::SyntaxError, {near});
         }},
        {SQLITE_ERROR,
         QRegularExpression(QStringLiteral("^(incomplete input|unrecognized token: (.*))$")),
         [](const SqliteFailure& f, const M& m) {
             QString near = stripQuotes(m.captured(2));
             if (near.isEmpty()) {
                 near = f.statement.trimmed().section(QRegularExpression("\\s+"), -1);
             }
             return sqlServerError(native::SyntaxError, {near});
         }},
        {SQLITE_CONSTRAINT, QRegularExpression(QStringLiteral("^UNIQUE constraint failed")),
         [](const SqliteFailure& f, const M&) { return uniqueViolation(f); }},
        {SQLITE_CONSTRAINT, QRegularExpression(QStringLiteral("^NOT NULL constraint failed")),
         [](const SqliteFailure& f, const M&) { return notNullViolation(f); }},
        {SQLITE_CONSTRAINT, QRegularExpression(QStringLiteral("^FOREIGN KEY constraint failed")),
         [](const SqliteFailure& f, const M&) {
             return constraintConflict(f, QStringLiteral("FOREIGN KEY"), QStringLiteral("FK"));
         }},
        {SQLITE_CONSTRAINT, QRegularExpression(QStringLiteral("^CHECK constraint failed: (.+)$")),
         [](const SqliteFailure& f, const M& m) {
             return constraintConflict(f, QStringLiteral("CHECK"), stripQuotes(m.captured(1)));
         }},
        // A busy file that the wait did not get past (a stale snapshot cannot
        // be upgraded to a write): the transaction must start again, as a
        // deadlock victim's does. A wait that ran out is told by the caller.
        {SQLITE_BUSY, QRegularExpression(QStringLiteral(".")),
         [](const SqliteFailure&, const M&) {
             return sqlServerError(native::DeadlockVictim, {QStringLiteral("51")});
         }},
        {SQLITE_LOCKED, QRegularExpression(QStringLiteral(".")),
         [](const SqliteFailure&, const M&) {
             return sqlServerError(native::DeadlockVictim, {QStringLiteral("51")});
         }},
    };
    return table;
}

} // namespace

ProviderError sqlServerError(int number, const QStringList& arguments) {
    ProviderError error;
    error.nativeError = number;
    error.source = QStringLiteral("Microsoft OLE DB Provider for SQL Server");
    const Message* message = findMessage(number);
    if (!message) {
        error.sqlState = QStringLiteral("42000");
        error.number = errnum::E_FAIL;
        error.description = arguments.join(' ');
        return error;
    }
    QString text = QString::fromUtf8(message->text);
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        text.replace(QStringLiteral("%") + QString::number(i + 1), arguments[i]);
    }
    static const QRegularExpression unfilled(QStringLiteral("%\\d"));
    text.replace(unfilled, QString());
    error.description = text;
    error.sqlState = QString::fromLatin1(message->sqlState);
    error.number = message->adoNumber;
    error.severity = message->severity;
    return error;
}

ProviderError queryTimeoutError() {
    ProviderError error;
    error.number = errnum::Timeout;
    error.description = QStringLiteral("Query timeout expired");
    error.source = QStringLiteral("Microsoft OLE DB Provider for SQL Server");
    error.sqlState = QStringLiteral("HYT00");
    error.nativeError = native::QueryTimeout;
    return error;
}

bool endsTheTransaction(const ProviderFailure& failure) {
    for (const ProviderError& record : failure.records()) {
        if (record.nativeError == native::DeadlockVictim ||
            (record.nativeError == native::QueryTimeout && record.sqlState == u"HYT00")) {
            return true;
        }
    }
    return false;
}

void failWith(int number, const QStringList& arguments) {
    throw ProviderFailure({sqlServerError(number, arguments)});
}

void failWithText(int number, const QString& text) {
    ProviderError error = sqlServerError(number);
    error.description = text;
    throw ProviderFailure({error});
}

bool endsOnlyTheStatement(int number) {
    switch (number) {
    case native::InsertNullIntoNotNull:
    case native::ConstraintConflict:
    case native::DuplicateKey:
    case native::DuplicateIndexKey:
    case native::DuplicateKeyOnCreateIndex:
    case native::NotAConstraint:
    case native::ReferencedByObject:
    case native::CannotFindPrincipal:
    case native::ColumnDependency:
    case native::ColumnAccessed:
    case native::RenameAmbiguous:
    case native::RenameNameInUse:
    case native::AlterColumnMissing:
    case native::ReferencedByForeignKey:
    case native::ConstraintDoesNotExist:
    case native::StringTruncated:
    // Arithmetic errors end the query, not the batch (ANSI_WARNINGS is on).
    case native::DivideByZero:
    case native::ArithmeticOverflow:
    case native::SmallIntegerOverflow:
    case native::CannotDrop:
    case native::DefaultDatabaseMissing:
    case native::LoginExists:
    case native::CommitWithoutBegin:
    case native::RollbackWithoutBegin:
    case native::DatabaseExists:
    case native::ObjectExists:
    case native::ProcedureExists:
    case native::IndexExists:
    case native::TablePrimaryKeyExists:
    case native::ColumnDefaultExists:
    case native::ObjectNotFound:
    case native::UserError:
    case native::IdentityInsertOff:
    case native::IdentityValueMissing:
    // A procedure that leaves the transaction count changed is told of it;
    // the caller's batch goes on, the transaction as the procedure left it.
    case native::TransactionCountMismatch:
    // A cursor statement that fails leaves the cursor as it was.
    case native::CursorAlreadyOpen:
    case native::FetchTypeForwardOnly:
    case native::CursorExists:
    case native::CursorDoesNotExist:
    case native::CursorNotOpen:
    case native::FetchIntoCountMismatch:
    case native::FetchTypeDynamic:
    case native::CursorReadOnly:
    case native::RowNotInFetchBuffer:
    case native::ColumnNotForUpdate:
    case native::TableNotInCursor:
    case native::NoCursorInVariable:
        return true;
    default:
        return false;
    }
}

QString tableOfConstraintMessage(const QString& message) {
    const qsizetype colon = message.indexOf(':');
    if (colon < 0) {
        return {};
    }
    const QString first = message.mid(colon + 1).section(',', 0, 0).trimmed();
    return first.contains('.') ? stripQuotes(tableAndColumn(first).first) : QString();
}

std::vector<ProviderError> translateSqliteErrors(const SqliteFailure& failure) {
    const std::vector<tsql::FunctionError> requested = tsql::parseFunctionErrors(failure.message);
    if (requested.size() < 2) {
        return {translateSqliteError(failure)};
    }
    std::vector<ProviderError> errors;
    for (const tsql::FunctionError& record : requested) {
        ProviderError error = sqlServerError(record.nativeNumber);
        error.description = record.text;
        errors.push_back(std::move(error));
    }
    return errors;
}

ProviderError translateSqliteError(const SqliteFailure& failure) {
    if (auto requested = requestedMessage(failure.message)) {
        return *requested;
    }
    const int primary = failure.extendedCode & 0xff;
    for (const Rule& rule : rules()) {
        if (rule.primaryCode != primary) {
            continue;
        }
        const QRegularExpressionMatch match = rule.pattern.match(failure.message);
        if (match.hasMatch()) {
            return rule.build(failure, match);
        }
    }
    ProviderError error;
    error.number = errnum::E_FAIL;
    error.description = failure.message;
    error.source = QStringLiteral("Microsoft OLE DB Provider for SQL Server");
    error.sqlState = QStringLiteral("HY000");
    error.nativeError = 0;
    return error;
}

} // namespace estaciones::db::sqlite
