#include "platform/db/embedded/functions/StringAggregate.h"

#include "platform/db/embedded/functions/SqliteArguments.h"

#include "platform/core/Error.h"
#include "platform/db/embedded/functions/TextCompare.h"

#include <QStringList>

#include <sqlite3.h>

#include <algorithm>
#include <variant>
#include <vector>

namespace estaciones::db::tsql {

namespace {

using Settings = std::shared_ptr<DialectSettings>;

// A sort key as SQLite hands it: NULL, a number or text.
using Key = std::variant<std::monostate, double, QString>;

Key keyOf(sqlite3_value* v) {
    switch (sqlite3_value_type(v)) {
    case SQLITE_NULL:
        return std::monostate{};
    case SQLITE_INTEGER:
    case SQLITE_FLOAT:
        return sqlite3_value_double(v);
    default:
        return valueText(v);
    }
}

struct Row {
    QString value;
    std::vector<Key> keys;
};

struct Group {
    std::vector<Row> rows;
    std::vector<bool> descending;
    QString separator;
};

int compareKeys(const Key& a, const Key& b, const TextCompare& compare) {
    if (a.index() != b.index())
        return a.index() < b.index() ? -1 : 1; // NULL, then numbers, then text
    if (const auto* x = std::get_if<double>(&a)) {
        const double y = std::get<double>(b);
        return *x < y ? -1 : (*x > y ? 1 : 0);
    }
    if (const auto* x = std::get_if<QString>(&a))
        return compare.compare(*x, std::get<QString>(b));
    return 0;
}

Group*& groupOf(sqlite3_context* ctx, bool create) {
    static Group* none = nullptr;
    auto** slot = static_cast<Group**>(sqlite3_aggregate_context(ctx, create ? sizeof(Group*) : 0));
    return slot ? *slot : none;
}

void aggregateStep(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (argc < 2 || argc % 2 != 0) {
        sqlite3_result_error(ctx, "STRING_AGG: wrong number of arguments", -1);
        return;
    }
    Group*& group = groupOf(ctx, true);
    if (!group) {
        group = new Group;
        for (int i = 3; i < argc; i += 2)
            group->descending.push_back(sqlite3_value_int(argv[i]) != 0);
    }
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL)
        return;
    if (sqlite3_value_type(argv[1]) != SQLITE_NULL)
        group->separator = valueText(argv[1]);
    Row row{valueText(argv[0]), {}};
    for (int i = 2; i < argc; i += 2)
        row.keys.push_back(keyOf(argv[i]));
    group->rows.push_back(std::move(row));
}

void final(sqlite3_context* ctx) {
    Group*& group = groupOf(ctx, false);
    if (!group || group->rows.empty()) {
        delete group;
        group = nullptr;
        return sqlite3_result_null(ctx);
    }
    const auto& settings = **static_cast<Settings*>(sqlite3_user_data(ctx));
    const TextCompare compare(settings.accentInsensitive);
    std::stable_sort(group->rows.begin(), group->rows.end(), [&](const Row& a, const Row& b) {
        for (size_t k = 0; k < a.keys.size(); ++k) {
            const int c = compareKeys(a.keys[k], b.keys[k], compare);
            if (c != 0)
                return group->descending[k] ? c > 0 : c < 0;
        }
        return false;
    });
    QStringList values;
    for (const Row& row : group->rows)
        values << row.value;
    const QByteArray joined = values.join(group->separator).toUtf8();
    delete group;
    group = nullptr;
    sqlite3_result_text(ctx, joined.constData(), static_cast<int>(joined.size()), SQLITE_TRANSIENT);
}

} // namespace

void registerStringAggregate(sqlite3* db, std::shared_ptr<DialectSettings> settings) {
    if (sqlite3_create_function_v2(db, "tsql_string_agg", -1,
                                   SQLITE_UTF8 | SQLITE_INNOCUOUS | SQLITE_DETERMINISTIC,
                                   new Settings(std::move(settings)), nullptr, aggregateStep, final,
                                   destroySharedSettings) != SQLITE_OK)
        throw Error(errnum::E_FAIL, QStringLiteral("Cannot register tsql_string_agg: %1")
                                        .arg(QString::fromUtf8(sqlite3_errmsg(db))));
}

} // namespace estaciones::db::tsql
