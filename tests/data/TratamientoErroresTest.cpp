// TratamientoErrores: what the operator sees and what the error log keeps.
#include "data/DB_Dll.h"
#include "data/RegistroErrores.h"
#include "support/ScriptedOperator.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using estaciones::Error;
using estaciones::Variant;
using estaciones::data::DB_Dll;
using estaciones::test::ScriptedOperator;
namespace ui = estaciones::ui;

namespace {

class Tratamiento : public ::testing::Test {
protected:
    Tratamiento() { base.gLogErr = carpeta.filePath(QStringLiteral("ERRORES.LOG")); }

    QByteArray log() const {
        QFile file(base.gLogErr);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    // The log's lines without their date and time.
    QList<QByteArray> lineasSinFecha() const {
        QList<QByteArray> lineas = log().split('\n');
        lineas.removeLast();
        for (QByteArray& linea : lineas) {
            linea = linea.mid(20);
        }
        return lineas;
    }

    QTemporaryDir carpeta;
    ScriptedOperator operador;
    DB_Dll base;
    const Error error{-2147217900, QStringLiteral(" Incorrect syntax near 'FORM'. "),
                      QStringLiteral("Microsoft OLE DB Provider for SQL Server")};
};

TEST_F(Tratamiento, shouldShowNumberDescriptionAndRoutineAndLogTheAnswer) {
    operador.answerMessage(ui::reply::Retry);
    EXPECT_EQ(base.TratamientoErrores(error, std::nullopt, Variant("AbrirRecordset")), 4);
    ASSERT_EQ(operador.dialogs().size(), 1u);
    const auto& dialogo = operador.dialogs()[0];
    EXPECT_EQ(dialogo.text,
              QStringLiteral(
                  "Ha ocurrido el Siguiente Error (-2147217900) Incorrect syntax near 'FORM'."));
    EXPECT_EQ(
        dialogo.title,
        QStringLiteral(
            "Microsoft OLE DB Provider for SQL Server - AbrirRecordset Aviso al operador!!! - 5 "));
    EXPECT_EQ(dialogo.flags, 18);
    const QByteArray contenido = log();
    // Month-day-year, 24-hour time, Windows-1252 ("ó" is one byte) and CR LF.
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d\\d-\\d\\d-\\d{4} \\d\\d:\\d\\d:\\d\\d "))
                    .match(QString::fromLatin1(contenido))
                    .hasMatch());
    EXPECT_EQ(
        contenido.mid(20).toStdString(),
        std::string("Rutina: - AbrirRecordset Mensaje Ha ocurrido el Siguiente Error (-2147217900) "
                    "Incorrect syntax near 'FORM'. Respondi\xF3 : Reintentar\r\n"));
}

TEST_F(Tratamiento, shouldWriteTwoBlanksBeforeMensajeWithoutRoutineAndAppendLines) {
    operador.answerMessage(ui::reply::Ignore).answerMessage(ui::reply::Abort);
    EXPECT_EQ(base.TratamientoErrores(error), 5);
    EXPECT_EQ(base.TratamientoErrores(error, ui::style::YesNo, Variant("CierraRecordset")), 3);
    EXPECT_EQ(operador.dialogs()[0].title,
              QStringLiteral("Microsoft OLE DB Provider for SQL Server Aviso al operador!!! - 5 "));
    EXPECT_EQ(operador.dialogs()[1].flags, ui::style::YesNo);
    const auto lineas = lineasSinFecha();
    ASSERT_EQ(lineas.size(), 2);
    EXPECT_TRUE(lineas[0].startsWith("Rutina:  Mensaje Ha ocurrido"));
    EXPECT_TRUE(lineas[0].endsWith(" : Ignorar\r"));
    EXPECT_TRUE(lineas[1].startsWith("Rutina: - CierraRecordset Mensaje "));
    EXPECT_TRUE(lineas[1].endsWith(" : Abortar\r"));
}

TEST_F(Tratamiento, shouldLeaveTheAnswerWordEmptyForAnOkButton) {
    operador.answerMessage(ui::reply::OK);
    EXPECT_EQ(base.TratamientoErrores(error, ui::style::OKOnly), 1);
    EXPECT_TRUE(log().endsWith("Respondi\xF3 : \r\n")) << log().toStdString();
}

TEST_F(Tratamiento, shouldIgnoreErrorNumberZero) {
    EXPECT_EQ(base.TratamientoErrores(Error(0, QStringLiteral("nada"))), 0);
    EXPECT_TRUE(operador.dialogs().empty());
    EXPECT_FALSE(QFile::exists(base.gLogErr));
}

TEST_F(Tratamiento, shouldStillAnswerWhenTheLogCannotBeWritten) {
    base.gLogErr = carpeta.filePath(QStringLiteral("no/existe/ERRORES.LOG"));
    operador.answerMessage(ui::reply::Retry);
    EXPECT_EQ(base.TratamientoErrores(error), 4);
}

TEST(RegistroErrores, shouldNameEveryAnswer) {
    const QDateTime momento(QDate(2026, 12, 8), QTime(7, 5, 9));
    EXPECT_EQ(estaciones::data::lineaRegistroErrores(momento, QStringLiteral(" - X "),
                                                     QStringLiteral(" m "), 6),
              QStringLiteral("12-08-2026 07:05:09 Rutina: - X Mensaje m Respondió : Sí"));
    const std::pair<int, const char*> palabras[] = {
        {2, "Cancelar"}, {3, "Abortar"}, {4, "Reintentar"}, {5, "Ignorar"},
        {6, "Sí"},       {7, "No"},      {1, ""},           {0, ""}};
    for (const auto& [respuesta, palabra] : palabras) {
        EXPECT_EQ(estaciones::data::palabraRespuesta(respuesta), QString::fromUtf8(palabra))
            << respuesta;
    }
}

TEST(RegistroErrores, shouldWriteWindows1252AndMarkWhatItCannotEncode) {
    QTemporaryDir carpeta;
    const QString archivo = carpeta.filePath(QStringLiteral("l.log"));
    ASSERT_TRUE(estaciones::data::agregarLineaRegistro(archivo, QStringLiteral("€ ñ “x” 漢")));
    QFile file(archivo);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("\x80 \xF1 \x93x\x94 ?\r\n"));
}

} // namespace
