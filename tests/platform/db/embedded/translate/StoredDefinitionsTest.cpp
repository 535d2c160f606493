// The text the catalogue keeps of CHECK and DEFAULT expressions: decoded,
// without the blanks of the written text, names in brackets and literals in
// parentheses, whatever the spacing and case they were written with.
#include "platform/db/embedded/parse/Tokenizer.h"
#include "platform/db/embedded/parse/SignificantTokens.h"
#include "platform/db/embedded/translate/StoredDefinitions.h"

#include <gtest/gtest.h>

namespace {

using estaciones::db::tsql::storedDefinition;
using estaciones::db::tsql::toPieces;

QString stored(const char* written) {
    return storedDefinition(toPieces(estaciones::db::tsql::significantTokens(QString::fromUtf8(written))));
}

TEST(StoredDefinitionsTest, shouldKeepComparisonsWithoutBlanks) {
    EXPECT_EQ(stored("q > 0"), "([q]>(0))");
    EXPECT_EQ(stored("(  [Precio]   >=   0.50 )"), "([Precio]>=(0.50))");
    EXPECT_EQ(stored("EndDate >= StartDate"), "([EndDate]>=[StartDate])");
    // A sign belongs to its number; a subtraction stays an operator.
    EXPECT_EQ(stored("saldo > -100 AND saldo - 1 < 5"), "([saldo]>(-100) AND [saldo]-(1)<(5))");
}

TEST(StoredDefinitionsTest, shouldSpellKeywordsFunctionsAndTypesAsKept) {
    EXPECT_EQ(stored("estado is not null and codigo like 'A%'"),
                     "([estado] IS NOT NULL AND [codigo] LIKE 'A%')");
    EXPECT_EQ(stored("LEN(Codigo) = 5"), "(len([Codigo])=(5))");
    EXPECT_EQ(stored("CAST(importe AS decimal(10, 2)) > 0"),
              "(cast([importe] AS decimal(10,2))>(0))");
    // Strings keep their blanks and case.
    EXPECT_EQ(stored("nombre <> N'sin nombre'"), "([nombre]<>N'sin nombre')");
}

TEST(StoredDefinitionsTest, shouldWrapDefaultsOnce) {
    EXPECT_EQ(stored("0"), "((0))");
    EXPECT_EQ(stored("((0))"), "((0))");
    EXPECT_EQ(stored("-1"), "((-1))");
    EXPECT_EQ(stored("GETDATE()"), "(getdate())");
    EXPECT_EQ(stored("'x'"), "('x')");
}

} // namespace
