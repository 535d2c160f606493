#pragma once

#include "lookup/VentanasConsulta.h"
#include "platform/core/Variant.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace estaciones::lookup {

// The lookup controller: turns a table name, a lookup mask record or a
// caller's statement into one statement, shows the list or the tree window
// modally and collects what the operator chose. The program shares one
// instance (consultas(), ConsultasCompartidas.h); each call works on fresh
// windows from the installed factories (VentanasConsulta.h).
//
// Public members keep the suite's names and order; lists that a lookup can
// release are optional (nullopt is a released list).
class Lib_ClsCons3 {
public:
    // Reads the stock colours, "MostrarStockenConsultas" and "UsaConsultaLike"
    // from the configuration; a read that fails leaves the default.
    Lib_ClsCons3();

    Variant StkNivel1 = 0;
    Variant StkNivel2 = 0;
    Variant StkNivel3 = 0;
    Variant StkNivel4 = 0;
    QString MuestraStock;
    std::optional<QStringList> CmpsDevueltos = QStringList{};
    std::optional<QStringList> Valores = QStringList{};
    std::optional<QList<double>> Cantidades;
    bool Checks = false;
    Variant ValorDevuelto;
    QString gConnString;
    QString gRutaMascaraConsultas;
    bool gUsarMascarasConsultas = false;
    bool UsaCantidades = false;
    QString CampoDevuelto;

    // The lookup. SQL is a table or view name or a finished SELECT. The
    // caller's Where may be rewritten, CampoBusqueda filled in, and its
    // CmpsDevueltos list is released (even after a cancel). Results:
    // ValorDevuelto, Valores, Cantidades; Checks and CampoDevuelto are reset.
    void ConsultaSearch(const QString& SQL, std::optional<QStringList>& CmpsDevueltos,
                        QString& Clave, QString& CampoBusqueda, QString& Where,
                        QString& SentenciaOpcional, bool TreeView, QString& ValoresDefault);

    // The statement a table-name or statement lookup runs, after the filter
    // normalisation; nothing when the mask record is incomplete (the operator
    // has been told). Uses the configured row limit.
    std::optional<QString> ResolverSentencia(const QString& SQL, QString& CampoBusqueda,
                                             QString& Where, const QString& SentenciaOpcional);

    // A check-box list of options (first character of each: "1" checked).
    // The texts left checked end up in Valores. CmpsDevueltos is not used.
    void CheckOpciones(const QString& Titulo, const std::optional<QStringList>& CmpsDevueltos,
                       const QStringList& Opc);
    // A single-choice list; the chosen text, empty when cancelled.
    QString MenuOpciones(const QString& Titulo, const QStringList& Opc);
    // One option per line of the text file; the chosen line, empty when
    // cancelled or when the file cannot be opened (the operator is told).
    QString ConsultaDesdeArchivo(const QString& Titulo, const QString& QueArchivo,
                                 const QString& Separador);

    // The windows this controller creates (the installed ones by default).
    FabricaVentanaLista crearVentanaLista;
    FabricaVentanaArbol crearVentanaArbol;

private:
    QString sentenciaDeTabla(const QString& tabla, int limite, QString& CampoBusqueda,
                             const QString& Where, const QString& SentenciaOpcional);
    QStringList camposDeTabla(const QString& tabla);
    void mostrarArbol(const QString& sentencia);
    void mostrarLista(const QString& sentencia, std::optional<QStringList>& CmpsDevueltos,
                      const QString& Clave, const QString& CampoBusqueda,
                      const QString& ValoresDefault);
    // Shows an option list; the window's members afterwards (none without window).
    std::optional<MiembrosLista> mostrarOpciones(const QString& Titulo, bool checkBoxes,
                                                 const QStringList& Opc);

    bool m_usaConsultaLike = false;
};

} // namespace estaciones::lookup
