// An operator's whole session on the real program, replayed through Qt's
// event delivery (ESTACIONES_REPRODUCIR), on a fresh data folder; then the
// database as estaciones-sql sees it.
#include "ProgramaExterno.h"
#include "support/ProgramaAparte.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class ProgramaCompleto : public ::testing::Test {
protected:
    void SetUp() override {
        if (test::carpetaCompilacion().isEmpty() || !aparte.valido()) {
            GTEST_SKIP() << "The program is not built (ESTACIONES_BUILD_DIR)";
        }
        programa = aparte.programa();
        ASSERT_TRUE(carpeta.isValid());
        datos = carpeta.filePath(QStringLiteral("datos"));
    }

    test::Resultado reproducir(const QString& pasos, const QString& respuestas) {
        const QString archivo = carpeta.filePath(QStringLiteral("pasos.txt"));
        QFile file(archivo);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(pasos.toUtf8());
        file.close();
        QProcessEnvironment entorno = QProcessEnvironment::systemEnvironment();
        entorno.insert(QStringLiteral("ESTACIONES_DATOS"), datos);
        entorno.insert(QStringLiteral("ESTACIONES_REPRODUCIR"), archivo);
        entorno.insert(QStringLiteral("ESTACIONES_RESPUESTAS_AUTOMATICAS"), respuestas);
        entorno.insert(QStringLiteral("TEMP"), carpeta.path());
        return test::ejecutar(programa, {test::lineaDemo}, entorno);
    }

    QString consultar(const QString& sentencia, const QString& base = QStringLiteral("DEMO")) {
        return test::consultar(datos, base, sentencia);
    }

    estaciones::test::ProgramaAparte aparte;
    QString programa;
    QTemporaryDir carpeta;
    QString datos;
};

bool contieneColor(const QImage& imagen, const QColor& color) {
    for (int y = 0; y < imagen.height(); y += 2) {
        for (int x = 0; x < imagen.width(); x += 2) {
            if (imagen.pixelColor(x, y).rgb() == color.rgb()) {
                return true;
            }
        }
    }
    return false;
}

int domingosDelAnio(int anio) {
    int domingos = 0;
    for (QDate d(anio, 1, 1); d.year() == anio; d = d.addDays(1)) {
        domingos += d.dayOfWeek() == Qt::Sunday ? 1 : 0;
    }
    return domingos;
}

TEST_F(ProgramaCompleto, anOperatorsSessionIsStoredAsTheOperatorSawIt) {
    // The window opens on the current year; the operator creates it, marks
    // two days as ALTA and one as MEDIA, gives ESPECIAL another colour and
    // leaves with "Salir". The creation asks once (Yes).
    const QString imagenVentana = carpeta.filePath(QStringLiteral("ventana.png"));
    const auto r = reproducir(QStringLiteral("esperar 200\n"
                                             "clic CmdCrearCalendario\n"
                                             "clic OptTemp 2\n"
                                             "dia 5 3\n"
                                             "dia 6 3\n"
                                             "clic OptTemp 1\n"
                                             "dia 10 7\n"
                                             "color 4227327\n"
                                             "clic CmdColor 3\n"
                                             "captura %1\n"
                                             "clic CmdSalir\n")
                                  .arg(imagenVentana),
                              QStringLiteral("6"));
    ASSERT_EQ(r.codigo, 0) << r.errores.toStdString();
    const int anio = QDate::currentDate().year();
    const QString delAnio = QStringLiteral(" and YEAR(Fecha) = %1").arg(anio);

    EXPECT_EQ(consultar(QStringLiteral("select count(*) from MA_CALENDARIO where 1 = 1") + delAnio),
              QString::number(QDate(anio, 1, 1).daysInYear()));
    EXPECT_EQ(consultar(QStringLiteral("select count(*) from MA_CALENDARIO where nolaborable = 1") +
                        delAnio),
              QString::number(domingosDelAnio(anio)));
    EXPECT_EQ(consultar(QStringLiteral("select count(*) from MA_CALENDARIO where nolaborable = 1 "
                                       "and DATENAME(dw, Fecha) not in ('Domingo','Sunday')") +
                        delAnio),
              QStringLiteral("0"));
    const auto temporadaDel = [&](int dia, int mes) {
        return consultar(
            QStringLiteral("select Temporada from MA_CALENDARIO where Fecha = '%1/%2/%3'")
                .arg(dia)
                .arg(mes)
                .arg(anio));
    };
    EXPECT_EQ(temporadaDel(5, 3), QStringLiteral("AL"));
    EXPECT_EQ(temporadaDel(6, 3), QStringLiteral("AL"));
    EXPECT_EQ(temporadaDel(10, 7), QStringLiteral("ME"));
    EXPECT_EQ(consultar(QStringLiteral("select count(*) from MA_CALENDARIO where Temporada is not "
                                       "null and Temporada <> ''") +
                        delAnio),
              QStringLiteral("3"));
    EXPECT_EQ(
        consultar(QStringLiteral("select Valor from TA_CONFIGURACION where Clave = 'TempoCol_ES'")),
        QStringLiteral("4227327"));

    // The access log row was opened by this run and closed by "Salir".
    EXPECT_EQ(consultar(QStringLiteral("select count(*) from Control_Acceso")),
              QStringLiteral("1"));
    EXPECT_EQ(consultar(QStringLiteral("select count(*) from Control_Acceso where EGRESO is not "
                                       "null and Usuario = 'ADMIN'")),
              QStringLiteral("1"));

    // The statistics database was provisioned on this first start.
    EXPECT_TRUE(QFileInfo::exists(QDir(datos).filePath(QStringLiteral("TS_ESTADISTICAS.db"))));
    EXPECT_EQ(
        consultar(QStringLiteral("select Valor from TA_CONFIGURACION where Clave = 'TimeOut'"),
                  QStringLiteral("TS_ESTADISTICAS")),
        QStringLiteral("0"));

    // The window was painted: the picture holds the colours of the seasons.
    const QImage imagen(imagenVentana);
    ASSERT_FALSE(imagen.isNull());
    EXPECT_GT(imagen.width(), 600);
    EXPECT_TRUE(contieneColor(imagen, QColor(0, 255, 255))); // ALTA, BGR &H00FFFF00&

    // Nothing went wrong on the way: no error dialog, no error log.
    EXPECT_FALSE(r.errores.contains(QStringLiteral("Error"), Qt::CaseSensitive))
        << r.errores.toStdString();
    EXPECT_FALSE(QFileInfo::exists(carpeta.filePath(QStringLiteral("TSERR.LOG"))));
}

TEST_F(ProgramaCompleto, aFileDialogIsAnsweredByTheReplaysArchivoStep) {
    // "archivo" answers the next file dialog, as "color" answers the colour
    // dialog; the program adds the extension and writes the year's sheet.
    const QString pdf = carpeta.filePath(QStringLiteral("calendario"));
    const auto r = reproducir(QStringLiteral("esperar 200\n"
                                             "archivo %1\n"
                                             "clic CmdGuardarPdf\n"
                                             "clic CmdSalir\n")
                                  .arg(pdf),
                              QString());
    ASSERT_EQ(r.codigo, 0) << r.errores.toStdString();
    EXPECT_TRUE(r.errores.contains(QStringLiteral("[archivo] title=\"Guardar PDF\"")))
        << r.errores.toStdString();
    QFile escrito(pdf + QStringLiteral(".pdf"));
    ASSERT_TRUE(escrito.open(QIODevice::ReadOnly));
    EXPECT_TRUE(escrito.read(5).startsWith("%PDF-"));
}

TEST_F(ProgramaCompleto, theReplaysTeclasStepMarksDaysWithTheKeyboardAlone) {
    // "teclas" presses keys where the focus is: F2 reaches 1 January, 3
    // chooses ALTA, Space marks; Shift+Right selects two days more.
    const auto r = reproducir(QStringLiteral("esperar 200\n"
                                             "clic CmdCrearCalendario\n"
                                             "teclas F2 3 Space Right Shift+Right Space\n"
                                             "clic CmdSalir\n"),
                              QStringLiteral("6"));
    ASSERT_EQ(r.codigo, 0) << r.errores.toStdString();
    const int anio = QDate::currentDate().year();
    EXPECT_EQ(consultar(QStringLiteral("select count(*) from MA_CALENDARIO where Temporada = 'AL' "
                                       "and Fecha in ('1/1/%1', '2/1/%1', '3/1/%1')")
                            .arg(anio)),
              QStringLiteral("3"));
    EXPECT_EQ(
        consultar(QStringLiteral("select count(*) from MA_CALENDARIO where Temporada = 'AL'")),
        QStringLiteral("3"));
}

TEST_F(ProgramaCompleto, aStepThatCannotBeDoneEndsTheRunAndSaysWhich) {
    const auto r = reproducir(QStringLiteral("clic BotonQueNoExiste\n"), QString());
    EXPECT_EQ(r.codigo, 3);
    EXPECT_TRUE(r.errores.contains(QStringLiteral("paso 1"))) << r.errores.toStdString();
    EXPECT_TRUE(r.errores.contains(QStringLiteral("BotonQueNoExiste"))) << r.errores.toStdString();
}

TEST_F(ProgramaCompleto, aDayOutsideTheMonthIsNotClicked) {
    const auto r = reproducir(QStringLiteral("dia 31 2\n"), QString());
    EXPECT_EQ(r.codigo, 3);
    EXPECT_TRUE(r.errores.contains(QStringLiteral("no hay una celda visible")))
        << r.errores.toStdString();
}

} // namespace
