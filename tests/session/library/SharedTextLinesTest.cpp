#include "session/library/SharedTextLines.h"
#include "session/library/Windows1252.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace estaciones;

namespace {

class LineasCompartidas : public ::testing::Test {
protected:
    QString escribir(const QByteArray& bytes) {
        const QString ruta = carpeta.filePath(QStringLiteral("texto.txt"));
        QFile f(ruta);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
        return ruta;
    }

    QStringList leer(const QString& ruta) {
        library::SharedTextLines lineas;
        EXPECT_TRUE(lineas.open(ruta));
        QStringList leidas;
        while (std::optional<QString> linea = lineas.next()) {
            leidas << *linea;
            EXPECT_EQ(lineas.lineNumber(), leidas.size());
        }
        return leidas;
    }

    QTemporaryDir carpeta;
};

TEST_F(LineasCompartidas, giveWhatTheWholeFileDecodesToLineByLine) {
    for (const QByteArray& bytes :
         {QByteArray("\xEF\xBB\xBF"
                     "año\r\nseñal\n\nfin"),
          QByteArray("a\xF1o\r\n\x80 \x93x\x94\n"), QByteArray("sin fin de linea"),
          QByteArray("\n\n"), QByteArray(),
          // Lines longer than the reader's buffer, one ending right at its edge.
          QByteArray(10000, 'x') + "\r\ncorta\n" + QByteArray(4095, 'y') + "\n" +
              QByteArray(4096, 'z') + "\r\n\xF1" + QByteArray(9000, 'w')}) {
        QStringList esperadas = library::decodeSharedText(bytes).split(u'\n');
        if (!esperadas.isEmpty() && esperadas.last().isEmpty()) {
            esperadas.removeLast();
        }
        for (QString& linea : esperadas) {
            if (linea.endsWith(u'\r')) {
                linea.chop(1);
            }
        }
        EXPECT_EQ(leer(escribir(bytes)), esperadas) << bytes.toStdString();
    }
}

// One byte that is no UTF-8 far into a large file makes all of it
// Windows-1252, lines before it included, as reading it whole does.
TEST_F(LineasCompartidas, decideTheEncodingOnTheWholeFile) {
    QByteArray bytes = "se\xC3\xB1"
                       "al\n";
    const QByteArray relleno(1000, 'x');
    while (bytes.size() < 3 * 1024 * 1024) {
        bytes += relleno + '\n';
    }
    bytes += "fin \x80\n";
    const QStringList lineas = leer(escribir(bytes));
    ASSERT_FALSE(lineas.isEmpty());
    EXPECT_EQ(lineas.first(), library::fromWindows1252("se\xC3\xB1"
                                                       "al"));
    EXPECT_EQ(lineas.last(), QString::fromUtf8("fin €"));

    // Valid UTF-8 whose multi-byte letters straddle the reading chunks.
    QByteArray utf8;
    while (utf8.size() < 3 * 1024 * 1024) {
        utf8 += "ñandú€";
    }
    utf8 += '\n';
    const QStringList una = leer(escribir(utf8));
    ASSERT_EQ(una.size(), 1);
    EXPECT_EQ(una.first(), QString::fromUtf8(utf8.chopped(1)));
}

TEST_F(LineasCompartidas, aMissingFileDoesNotOpenAndGivesNoLines) {
    library::SharedTextLines lineas;
    EXPECT_FALSE(lineas.open(carpeta.filePath(QStringLiteral("no-existe.txt"))));
    EXPECT_FALSE(lineas.next().has_value());
}

} // namespace
