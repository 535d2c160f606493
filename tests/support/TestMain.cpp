// The main() of every test executable: pins the environment so that results
// do not depend on the machine (locale, style, platform, hash seed).
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
    return RUN_ALL_TESTS();
}
