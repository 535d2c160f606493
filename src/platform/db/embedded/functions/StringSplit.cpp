#include "platform/db/embedded/functions/StringSplit.h"

#include "platform/db/embedded/functions/SqliteArguments.h"

#include "platform/core/Error.h"
#include "platform/db/embedded/errors/FunctionError.h"

#include <QStringList>

#include <sqlite3.h>

namespace estaciones::db::tsql {

namespace {

// The columns: the pieces, then the two arguments as hidden columns, which
// is how SQLite passes a table-valued function its arguments.
enum Column { Value, Input, Separator };

struct SplitCursor {
    sqlite3_vtab_cursor base{};
    QStringList pieces;
    qsizetype row = 0;
};

int connect(sqlite3* db, void*, int, const char* const*, sqlite3_vtab** table, char**) {
    const int rc = sqlite3_declare_vtab(
        db, "CREATE TABLE x(value varchar(8000), input HIDDEN, separator HIDDEN)");
    if (rc != SQLITE_OK)
        return rc;
    *table = static_cast<sqlite3_vtab*>(sqlite3_malloc(sizeof(sqlite3_vtab)));
    if (!*table)
        return SQLITE_NOMEM;
    **table = sqlite3_vtab{};
    return SQLITE_OK;
}

int disconnect(sqlite3_vtab* table) {
    sqlite3_free(table);
    return SQLITE_OK;
}

// Both arguments must reach the filter as equalities on the hidden columns.
int bestIndex(sqlite3_vtab*, sqlite3_index_info* info) {
    int seen = 0;
    for (int i = 0; i < info->nConstraint; ++i) {
        const auto& constraint = info->aConstraint[i];
        if (constraint.iColumn != Input && constraint.iColumn != Separator)
            continue;
        if (!constraint.usable || constraint.op != SQLITE_INDEX_CONSTRAINT_EQ)
            return SQLITE_CONSTRAINT;
        info->aConstraintUsage[i].argvIndex = constraint.iColumn;
        info->aConstraintUsage[i].omit = 1;
        seen |= 1 << constraint.iColumn;
    }
    if (seen != ((1 << Input) | (1 << Separator)))
        return SQLITE_CONSTRAINT;
    info->estimatedCost = 10;
    return SQLITE_OK;
}

int open(sqlite3_vtab*, sqlite3_vtab_cursor** cursor) {
    *cursor = &(new SplitCursor)->base;
    return SQLITE_OK;
}

int close(sqlite3_vtab_cursor* cursor) {
    delete reinterpret_cast<SplitCursor*>(cursor);
    return SQLITE_OK;
}

int filter(sqlite3_vtab_cursor* base, int, const char*, int argc, sqlite3_value** argv) {
    auto* cursor = reinterpret_cast<SplitCursor*>(base);
    cursor->pieces.clear();
    cursor->row = 0;
    if (argc != 2 || sqlite3_value_type(argv[0]) == SQLITE_NULL)
        return SQLITE_OK;
    const QString separator =
        sqlite3_value_type(argv[1]) == SQLITE_NULL ? QString() : valueText(argv[1]);
    if (separator.size() != 1) {
        const QByteArray message =
            functionErrorMessage(214, QStringLiteral("Procedure expects parameter 'separator' of "
                                                     "type 'nchar(1)/nvarchar(1)'."))
                .toUtf8();
        sqlite3_free(base->pVtab->zErrMsg);
        base->pVtab->zErrMsg = sqlite3_mprintf("%s", message.constData());
        return SQLITE_ERROR;
    }
    cursor->pieces = valueText(argv[0]).split(separator[0]);
    return SQLITE_OK;
}

int next(sqlite3_vtab_cursor* base) {
    ++reinterpret_cast<SplitCursor*>(base)->row;
    return SQLITE_OK;
}

int eof(sqlite3_vtab_cursor* base) {
    const auto* cursor = reinterpret_cast<SplitCursor*>(base);
    return cursor->row >= cursor->pieces.size();
}

int column(sqlite3_vtab_cursor* base, sqlite3_context* ctx, int index) {
    const auto* cursor = reinterpret_cast<SplitCursor*>(base);
    if (index != Value)
        return SQLITE_OK;
    const QByteArray utf8 = cursor->pieces[cursor->row].toUtf8();
    sqlite3_result_text(ctx, utf8.constData(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
    return SQLITE_OK;
}

int rowid(sqlite3_vtab_cursor* base, sqlite3_int64* id) {
    *id = reinterpret_cast<SplitCursor*>(base)->row;
    return SQLITE_OK;
}

// Eponymous only (no xCreate): used as a function, never created as a table.
sqlite3_module splitModule() {
    sqlite3_module module{};
    module.xConnect = connect;
    module.xBestIndex = bestIndex;
    module.xDisconnect = disconnect;
    module.xOpen = open;
    module.xClose = close;
    module.xFilter = filter;
    module.xNext = next;
    module.xEof = eof;
    module.xColumn = column;
    module.xRowid = rowid;
    return module;
}

} // namespace

void registerStringSplit(sqlite3* db) {
    static const sqlite3_module module = splitModule();
    if (sqlite3_create_module(db, "tsql_string_split", &module, nullptr) != SQLITE_OK)
        throw Error(errnum::E_FAIL, QStringLiteral("Cannot register tsql_string_split: %1")
                                        .arg(QString::fromUtf8(sqlite3_errmsg(db))));
}

} // namespace estaciones::db::tsql
