// The modules the program opens on first use are built beside it and give
// their entry points; the web client's answers through its module.
#include "calendar/window/print/PrintSheet.h"
#include "platform/http/HttpGet.h"
#include "platform/os/LazyLibrary.h"

#include <QDir>

#include <gtest/gtest.h>

namespace {

using estaciones::os::LazyLibrary;

QString beside(const char* file) {
    const QString build = qEnvironmentVariable("ESTACIONES_BUILD_DIR");
    return build.isEmpty() ? LazyLibrary::inProgramFolder(QString::fromLatin1(file))
                           : QDir(build).filePath(QString::fromLatin1(file));
}

TEST(Modulos, printingGivesItsEntryPoint) {
    LazyLibrary printing(beside("estaciones-impresion.so"), QStringLiteral("la impresión"),
                         {estaciones::calendar::window::printSheetEntry});
    ASSERT_TRUE(printing.available()) << printing.error().toStdString();
    EXPECT_NE(printing.address(0), nullptr);
}

TEST(Modulos, theWebClientModuleAnswersAnAddressItCannotUse) {
    const auto response = estaciones::http::httpGet(QStringLiteral("http://"),
                                                    std::chrono::milliseconds(2000));
    EXPECT_EQ(response.outcome, estaciones::http::HttpOutcome::InvalidUrl);
    // The library's own explanation: the module was there and ran.
    EXPECT_FALSE(response.errorText.startsWith(QStringLiteral("No se puede usar")))
        << response.errorText.toStdString();
}

} // namespace
