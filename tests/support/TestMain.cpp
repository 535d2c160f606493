// The main() of every test executable: pins the environment so that results
// do not depend on the machine (locale, style, platform, hash seed), and
// keeps each test's files out of the source and build folders.
#include "support/CarpetasPorPrueba.h"

#include <QApplication>
#include <QLocale>
#include <QStyleFactory>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen")
                                                                    : qgetenv("QT_QPA_PLATFORM"));
    qputenv("QT_HASH_SEED", "0");
    QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Spain));
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Estaciones"));
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new estaciones::test::CarpetasPorPrueba);
    return RUN_ALL_TESTS();
}
