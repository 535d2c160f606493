// Libraries opened on first use: all their functions or a Spanish reason,
// never a half-loaded feature or a crash.
#include "platform/os/LazyLibrary.h"

#include "platform/os/System.h"

#include <QDir>

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

using estaciones::os::LazyLibrary;

TEST(LazyLibrary, givesEveryFunctionOfALibraryThatIsThere) {
    LazyLibrary math(QStringLiteral("libm.so.6"), QStringLiteral("el cálculo"), {"cos", "sqrt"});
    ASSERT_TRUE(math.available()) << math.error().toStdString();
    EXPECT_TRUE(math.error().isEmpty());
    const auto cosine = reinterpret_cast<double (*)(double)>(math.address(0));
    const auto root = reinterpret_cast<double (*)(double)>(math.address(1));
    EXPECT_DOUBLE_EQ(cosine(0.0), 1.0);
    EXPECT_DOUBLE_EQ(root(81.0), 9.0);
}

TEST(LazyLibrary, saysInSpanishWhichLibraryIsMissingAndWhatNeedsIt) {
    LazyLibrary missing(QStringLiteral("libno-existe-estaciones.so.9"),
                        QStringLiteral("la conexión por ODBC"), {"SQLAllocHandle"});
    EXPECT_FALSE(missing.available());
    const QString error = missing.error();
    EXPECT_TRUE(error.startsWith(QStringLiteral("No se puede usar la conexión por ODBC: "
                                                "no se puede cargar la biblioteca "
                                                "libno-existe-estaciones.so.9 (")))
        << error.toStdString();
    // Asking again gives the same answer without trying again.
    EXPECT_FALSE(missing.available());
    EXPECT_EQ(missing.error(), error);
}

TEST(LazyLibrary, aLibraryWithoutOneOfTheFunctionsIsNotUsedAtAll) {
    LazyLibrary math(QStringLiteral("libm.so.6"), QStringLiteral("el cálculo"),
                     {"cos", "estaciones_no_existe"});
    EXPECT_FALSE(math.available());
    EXPECT_EQ(math.error(), QStringLiteral("No se puede usar el cálculo: a la biblioteca "
                                           "libm.so.6 le falta la función estaciones_no_existe."));
    EXPECT_EQ(math.address(0), nullptr); // not the half that was found
}

TEST(LazyLibrary, opensOnceWhenManyThreadsAskAtOnce) {
    LazyLibrary math(QStringLiteral("libm.so.6"), QStringLiteral("el cálculo"), {"floor"});
    std::vector<std::thread> threads;
    std::vector<int> answers(8, -1);
    for (std::size_t i = 0; i < answers.size(); ++i) {
        threads.emplace_back([&, i] { answers[i] = math.available() ? 1 : 0; });
    }
    for (std::thread& t : threads) {
        t.join();
    }
    for (int answer : answers) {
        EXPECT_EQ(answer, 1);
    }
    EXPECT_NE(math.address(0), nullptr);
}

TEST(LazyLibrary, modulesAreLookedForBesideTheProgram) {
    EXPECT_EQ(LazyLibrary::inProgramFolder(QStringLiteral("estaciones-http.so")),
              QDir(estaciones::os::programFolder()).filePath(QStringLiteral("estaciones-http.so")));
}

} // namespace
