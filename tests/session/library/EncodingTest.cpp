#include "session/library/SharedObjects.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

#include <random>

using namespace estaciones;

namespace {

void expectRoundTrip(const QString& text) {
    const auto& helper = library::textHelper();
    const QString encoded = helper.encode(text);
    static const QRegularExpression safe(QStringLiteral("^[0-9A-F]*$"));
    EXPECT_TRUE(safe.match(encoded).hasMatch()) << encoded.toStdString();
    EXPECT_EQ(helper.decode(encoded), text) << text.toStdString();
}

} // namespace

TEST(Encoding, shouldRoundTripAccentsSeparatorsAndEmptyText) {
    for (const char* text :
         {"Tessera", "quendar", "", " ", "año ÑANDÚ ü €", "clave=valor;[seccion]|@Password=x;kelp@",
          "  blancos  ", "\"comillas\" y 'apóstrofos'", "línea\r\nsiguiente\t"}) {
        expectRoundTrip(QString::fromUtf8(text));
    }
    expectRoundTrip(QString::fromUtf8("\U0001F600 emoji y ") + QChar(0xD800) + "suelto");
}

TEST(Encoding, shouldHideTheTextAndDependOnPosition) {
    const auto& helper = library::textHelper();
    EXPECT_NE(helper.encode("Tessera"), "Tessera");
    EXPECT_FALSE(helper.encode("quendar").contains("quendar", Qt::CaseInsensitive));
    const QString twice = helper.encode("aa");
    EXPECT_NE(twice.left(4), twice.mid(4)); // the same letter encodes differently
}

TEST(Encoding, shouldRoundTripRandomTexts) {
    std::mt19937 random(20061);
    std::uniform_int_distribution<int> length(0, 2000);
    std::uniform_int_distribution<int> unit(0, 0xFFFF);
    for (int round = 0; round < 200; ++round) {
        QString text(length(random), Qt::Uninitialized);
        for (QChar& c : text) {
            c = QChar(static_cast<char16_t>(unit(random)));
        }
        expectRoundTrip(text);
        if (HasFailure()) {
            FAIL() << "round " << round;
        }
    }
}

TEST(Encoding, shouldHandBackTextThatIsNotAnEncodingUnchanged) {
    const auto& helper = library::textHelper();
    EXPECT_EQ(helper.decode("quendar"), "quendar"); // typed by hand into the INI file
    EXPECT_EQ(helper.decode("ABC"), "ABC");
    EXPECT_EQ(helper.decode("abcd"), "abcd"); // lower case is never written
    EXPECT_EQ(helper.decode("12G4"), "12G4");
}
