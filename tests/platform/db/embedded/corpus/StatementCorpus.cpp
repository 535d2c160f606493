#include "StatementCorpus.h"

#include "DemoDatabase.h"

#include "platform/db/Engine.h"

#include <algorithm>

namespace estaciones::test::corpus {

namespace {

QString describe(const Variant& v) {
    return v.debugString();
}

// Whether `actual` is what SQL Server hands back for `expected`: the same
// kind of value (text, date, Boolean for bit, Currency for money, Null) and
// the same value; numbers of the integer and decimal types compare by value.
bool sameValue(const Variant& expected, const Variant& actual) {
    using T = Variant::Type;
    switch (expected.type()) {
    case T::Null:
        return actual.isNull();
    case T::Text:
        return actual.isText() && actual.toString() == expected.toString();
    case T::Boolean:
        return actual.type() == T::Boolean && actual.toBool() == expected.toBool();
    case T::Currency:
        return actual.type() == T::Currency && actual.toCurrency() == expected.toCurrency();
    case T::Date:
        return actual.isDate() && actual.toDate() == expected.toDate();
    case T::Integer:
    case T::Double:
        return (actual.type() == T::Integer || actual.type() == T::Double ||
                actual.type() == T::Currency || actual.type() == T::Decimal) &&
               actual.toDouble() == expected.toDouble();
    default:
        return false;
    }
}

// The index of a checked column: "#n" (n < 0 counts from the end) or the first
// column of that name, ignoring case.
int columnIndex(const db::ResultSet& result, const QString& column) {
    const int count = static_cast<int>(result.columns.size());
    if (column.startsWith(QLatin1Char('#'))) {
        const int n = column.mid(1).toInt();
        return n < 0 ? count + n : n;
    }
    for (int i = 0; i < count; ++i) {
        if (result.columns[i].name.compare(column, Qt::CaseInsensitive) == 0) {
            return i;
        }
    }
    return -1;
}

QString rowText(const std::vector<Variant>& row) {
    QStringList parts;
    for (const Variant& v : row) {
        parts << describe(v);
    }
    return QLatin1Char('(') + parts.join(QStringLiteral(", ")) + QLatin1Char(')');
}

void checkRows(const db::ResultSet& result, const Expect& expect) {
    std::vector<int> indexes;
    for (const QString& column : expect.columns) {
        const int index = columnIndex(result, column);
        ASSERT_TRUE(index >= 0 && index < static_cast<int>(result.columns.size()))
            << "no column " << column.toStdString();
        indexes.push_back(index);
    }
    if (expect.exactColumns) {
        QStringList names;
        for (const auto& c : result.columns) {
            names << c.name;
        }
        EXPECT_EQ(names.join(QLatin1Char(',')).toStdString(),
                  QStringList(expect.columns.begin(), expect.columns.end())
                      .join(QLatin1Char(','))
                      .toStdString());
        return;
    }

    std::vector<std::vector<Variant>> actual;
    for (const auto& row : result.rows) {
        std::vector<Variant> picked;
        for (int index : indexes) {
            picked.push_back(row[index]);
        }
        actual.push_back(std::move(picked));
    }
    QStringList actualText;
    for (const auto& row : actual) {
        actualText << rowText(row);
    }
    const std::string shown = actualText.join(QLatin1Char(' ')).toStdString();
    ASSERT_EQ(actual.size(), expect.rows.size()) << "rows: " << shown;

    auto matches = [](const std::vector<Variant>& want, const std::vector<Variant>& got) {
        return std::equal(want.begin(), want.end(), got.begin(), got.end(), sameValue);
    };
    if (!expect.anyOrder) {
        for (size_t i = 0; i < actual.size(); ++i) {
            EXPECT_TRUE(matches(expect.rows[i], actual[i]))
                << "row " << i << ": expected " << rowText(expect.rows[i]).toStdString() << ", got "
                << rowText(actual[i]).toStdString();
        }
        return;
    }
    std::vector<bool> used(actual.size(), false);
    for (const auto& want : expect.rows) {
        bool found = false;
        for (size_t i = 0; i < actual.size() && !found; ++i) {
            if (!used[i] && matches(want, actual[i])) {
                used[i] = found = true;
            }
        }
        EXPECT_TRUE(found) << "missing row " << rowText(want).toStdString() << " in " << shown;
    }
}

void runStep(db::Engine& engine, const Step& step) {
    const Expect& expect = step.expect;
    db::ExecutionResult result;
    try {
        result = engine.execute(step.sql, {}, 30);
    } catch (const db::ProviderFailure& failure) {
        const auto& first = failure.records().front();
        if (expect.kind == Expect::Kind::Fails) {
            EXPECT_EQ(first.nativeError, expect.nativeError) << first.description.toStdString();
        } else {
            ADD_FAILURE() << "failed with " << first.nativeError << ": "
                          << first.description.toStdString();
        }
        return;
    } catch (const Error& error) {
        ADD_FAILURE() << "failed with error " << error.number() << ": "
                      << error.description().toStdString();
        return;
    }

    switch (expect.kind) {
    case Expect::Kind::Fails:
        ADD_FAILURE() << "succeeded, expected native error " << expect.nativeError;
        break;
    case Expect::Kind::Succeeds:
        if (expect.rowsAffected) {
            EXPECT_EQ(result.rowsAffected, *expect.rowsAffected);
        }
        break;
    case Expect::Kind::Returns:
        ASSERT_FALSE(result.resultSets.empty()) << "no result set";
        checkRows(result.resultSets.front(), expect);
        break;
    }
}

} // namespace

TEST_P(StatementCorpus, GivesSqlServerResult) {
    const CorpusCase& corpusCase = GetParam();
    // ESTACIONES_CORPUS_TODO=1 runs the pending cases too, to see which the
    // engine has learnt since.
    if (corpusCase.pending && !qEnvironmentVariableIsSet("ESTACIONES_CORPUS_TODO")) {
        GTEST_SKIP() << corpusCase.pending;
    }
    DemoDatabase demo;
    auto engine = demo.connect(corpusCase.user);
    int number = 0;
    for (const Step& step : corpusCase.steps) {
        SCOPED_TRACE(QStringLiteral("step %1: %2").arg(++number).arg(step.sql).toStdString());
        runStep(*engine, step);
    }
}

} // namespace estaciones::test::corpus
