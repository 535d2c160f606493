#include "lookup/Lib_ClsCons3.h"

#include "data/SharedDb.h"
#include "lookup/LookupTexts.h"
#include "lookup/SentenciaConsulta.h"
#include "platform/core/ErrorHandling.h"
#include "platform/ui/OperatorInterface.h"
#include "session/Configuracion.h"
#include "session/ConfiguracionLeida.h"
#include "session/library/SharedObjects.h"
#include "session/library/Windows1252.h"

#include <QFile>

#include <algorithm>

namespace estaciones::lookup {

namespace {
// A stock colour from the configuration; 0 when the key holds nothing.
Variant colorDeNivel(const QString& clave) {
    const QString valor = session::Cfg(clave).trimmed();
    if (valor.isEmpty()) {
        return 0;
    }
    return library::textHelper().toInteger(valor);
}

// Lines of a text file shared with the suite's Windows programs.
QStringList lineasDeArchivo(QFile& archivo) {
    QString texto = library::decodeSharedText(archivo.readAll());
    texto.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QStringList lineas = texto.split(u'\n');
    if (!lineas.isEmpty() && lineas.last().isEmpty()) {
        lineas.removeLast(); // the line end of the last line opens no new line
    }
    return lineas;
}
} // namespace

Lib_ClsCons3::Lib_ClsCons3()
    : crearVentanaLista([] { return fabricaVentanaLista() ? fabricaVentanaLista()() : nullptr; }),
      crearVentanaArbol([] { return fabricaVentanaArbol() ? fabricaVentanaArbol()() : nullptr; }) {
    // The six keys with one statement, each answered as its own would be.
    const session::ConfiguracionLeida leida(
        data::sharedDb(), {QStringLiteral("Stk_Nivel1"), QStringLiteral("Stk_Nivel2"),
                           QStringLiteral("Stk_Nivel3"), QStringLiteral("Stk_Nivel4"),
                           QStringLiteral("MostrarStockenConsultas"),
                           QStringLiteral("UsaConsultaLike")});
    const session::ConfiguracionLeida::Vigente vigente(leida);
    ignoringErrors([&] { StkNivel1 = colorDeNivel(QStringLiteral("Stk_Nivel1")); });
    ignoringErrors([&] { StkNivel2 = colorDeNivel(QStringLiteral("Stk_Nivel2")); });
    ignoringErrors([&] { StkNivel3 = colorDeNivel(QStringLiteral("Stk_Nivel3")); });
    ignoringErrors([&] { StkNivel4 = colorDeNivel(QStringLiteral("Stk_Nivel4")); });
    ignoringErrors([&] { MuestraStock = session::Cfg(QStringLiteral("MostrarStockenConsultas")); });
    ignoringErrors([&] {
        m_usaConsultaLike = session::Cfg(QStringLiteral("UsaConsultaLike"))
                                .trimmed()
                                .compare(QLatin1String("SI"), Qt::CaseInsensitive) == 0;
    });
}

std::optional<QString> Lib_ClsCons3::ResolverSentencia(const QString& SQL, QString& CampoBusqueda,
                                                       QString& Where,
                                                       const QString& SentenciaOpcional) {
    int limite = 1000;
    ignoringErrors([&] { limite = limiteFilas(session::Cfg(QStringLiteral("TopConsArt"))); });
    normalizarWhere(Where);
    if (esSentenciaCompleta(SQL)) {
        return completarSentencia(SQL, Where);
    }
    // Without the mask file the default statement serves: the bare table name
    // would not run.
    if (gUsarMascarasConsultas && QFile::exists(gRutaMascaraConsultas)) {
        std::optional<RegistroMascara> registro;
        ignoringErrors([&] { registro = buscarRegistroMascara(gRutaMascaraConsultas, SQL); });
        if (registro) {
            std::optional<QString> sentencia =
                sentenciaDeMascara(*registro, SQL, limite, CampoBusqueda, Where);
            if (!sentencia) {
                ui::operatorInterface().messageBox(texto::ConfigurarConsulta,
                                                   ui::style::Information, texto::AvisoOperador);
            }
            return sentencia;
        }
    }
    return sentenciaDeTabla(SQL, limite, CampoBusqueda, Where, SentenciaOpcional);
}

QString Lib_ClsCons3::sentenciaDeTabla(const QString& tabla, int limite, QString& CampoBusqueda,
                                       const QString& Where, const QString& SentenciaOpcional) {
    if (!SentenciaOpcional.isEmpty()) {
        return SentenciaOpcional;
    }
    const std::optional<ColumnasDescubiertas> fijas = columnasFijas(tabla);
    const ColumnasDescubiertas columnas =
        fijas ? *fijas : descubrirColumnas(tabla, camposDeTabla(tabla));
    if (!columnas.columnas.isEmpty()) {
        CampoBusqueda = columnas.campoBusqueda;
    }
    return sentenciaPorDefecto(tabla, limite, columnas.columnas, CampoBusqueda, Where);
}

QStringList Lib_ClsCons3::camposDeTabla(const QString& tabla) {
    data::DB_Dll& db = data::sharedDb();
    db::Recordset campos;
    QStringList nombres;
    ignoringErrors([&] {
        QString sentencia = QStringLiteral("select top 1 * from ") + tabla;
        db.AbrirRecordset(sentencia, campos, std::nullopt, db::adOpenForwardOnly,
                          db::adLockReadOnly, db::adOptionUnspecified, true);
    });
    ignoringErrors([&] {
        if (campos.state() == db::adStateOpen) {
            const db::Fields lista = campos.fields();
            for (int i = 0; i < lista.count(); ++i) {
                nombres << lista.item(i).name();
            }
        }
    });
    ignoringErrors([&] { db.CierraRecordset(campos); });
    return nombres;
}

void Lib_ClsCons3::ConsultaSearch(const QString& SQL, std::optional<QStringList>& CmpsDevueltos,
                                  QString& Clave, QString& CampoBusqueda, QString& Where,
                                  QString& SentenciaOpcional, bool TreeView,
                                  QString& ValoresDefault) {
    // Whatever happens below (no statement, no window, an error), the next
    // lookup must not inherit this one's check boxes or returned column.
    struct Restablecer {
        Lib_ClsCons3& c;
        std::optional<QStringList>& cmps;
        ~Restablecer() {
            c.Checks = false;
            c.CampoDevuelto.clear();
            cmps.reset();
        }
    } restablecer{*this, CmpsDevueltos};

    std::optional<QString> sentencia;
    ignoringErrors(
        [&] { sentencia = ResolverSentencia(SQL, CampoBusqueda, Where, SentenciaOpcional); });
    if (!sentencia) {
        return;
    }
    ignoringErrors([&] {
        if (TreeView) {
            mostrarArbol(*sentencia);
        } else {
            mostrarLista(*sentencia, CmpsDevueltos, Clave, CampoBusqueda, ValoresDefault);
        }
    });
}

void Lib_ClsCons3::mostrarArbol(const QString& sentencia) {
    std::unique_ptr<VentanaArbol> ventana = crearVentanaArbol ? crearVentanaArbol() : nullptr;
    if (!ventana) {
        return;
    }
    MiembrosArbol& arbol = ventana->miembros();
    arbol.SQL = sentencia;
    arbol.CampoDevuelto = CampoDevuelto;
    arbol.CheckBoxes = Checks;
    Valores.reset();
    ignoringErrors([&] { ventana->mostrarModal(); });
    ValorDevuelto = arbol.ValorDevuelto;
    Valores = arbol.Valores;
}

void Lib_ClsCons3::mostrarLista(const QString& sentencia, std::optional<QStringList>& CmpsDevueltos,
                                const QString& Clave, const QString& CampoBusqueda,
                                const QString& ValoresDefault) {
    std::unique_ptr<VentanaLista> ventana = crearVentanaLista ? crearVentanaLista() : nullptr;
    if (!ventana) {
        return;
    }
    MiembrosLista& lista = ventana->miembros();
    lista.StkNivel1 = StkNivel1;
    lista.StkNivel2 = StkNivel2;
    lista.StkNivel3 = StkNivel3;
    lista.StkNivel4 = StkNivel4;
    lista.MuestraStock = MuestraStock;
    lista.CfgUsaConsultaLIKE = m_usaConsultaLike;
    lista.OrdenarPorLwv = !sentencia.contains(QLatin1String("ORDER BY"), Qt::CaseInsensitive);
    lista.FiltroInicial = Clave;
    lista.CampoBusqueda = CampoBusqueda;
    if (gConnString.isEmpty()) {
        gConnString = data::sharedDb().gConnString;
    }
    lista.SQL = sentencia;
    lista.gConnString = gConnString;
    lista.CampoDevuelto = CampoDevuelto;
    lista.CheckBoxes = Checks;
    lista.UsaCantidades = UsaCantidades;
    lista.ValoresDefault = ValoresDefault;
    Valores.reset();
    Cantidades.reset();
    lista.CmpsDevueltos = CmpsDevueltos;
    lista.Valores.reset();
    lista.Cantidades.reset();
    if (Checks) {
        ignoringErrors([&] { ventana->desmarcarTodas(); });
    }
    ignoringErrors([&] { ventana->mostrarModal(); });
    Valores = lista.Valores;
    Cantidades = lista.Cantidades;
    ValorDevuelto = lista.ValorDevuelto;
    lista.CampoDevuelto.clear();

    lista.Valores.reset();
    lista.Cantidades.reset();
    ignoringErrors([&] { ventana->descargar(); });
}

std::optional<MiembrosLista> Lib_ClsCons3::mostrarOpciones(const QString& Titulo, bool checkBoxes,
                                                           const QStringList& Opc) {
    std::unique_ptr<VentanaLista> ventana = crearVentanaLista ? crearVentanaLista() : nullptr;
    if (!ventana) {
        return std::nullopt;
    }
    ListaOpciones lista;
    lista.titulo = Titulo;
    lista.checkBoxes = checkBoxes;
    qsizetype masLarga = Titulo.size();
    for (const QString& opcion : Opc) {
        masLarga = std::max(masLarga, opcion.size());
        // A list of one option shows that option too.
        lista.opciones.append(checkBoxes ? OpcionLista{opcion.mid(1), opcion.startsWith(u'1')}
                                         : OpcionLista{opcion, false});
    }
    lista.anchoTwips = static_cast<int>(masLarga) * 120;
    ignoringErrors([&] { ventana->mostrarOpciones(lista); });
    MiembrosLista resultado = ventana->miembros();
    ignoringErrors([&] { ventana->descargar(); });
    return resultado;
}

void Lib_ClsCons3::CheckOpciones(const QString& Titulo,
                                 const std::optional<QStringList>& /*CmpsDevueltos*/,
                                 const QStringList& Opc) {
    if (const std::optional<MiembrosLista> lista = mostrarOpciones(Titulo, true, Opc)) {
        Valores = lista->Valores;
    }
}

QString Lib_ClsCons3::MenuOpciones(const QString& Titulo, const QStringList& Opc) {
    const std::optional<MiembrosLista> lista = mostrarOpciones(Titulo, false, Opc);
    return lista ? lista->ValorDevuelto.toString() : QString();
}

QString Lib_ClsCons3::ConsultaDesdeArchivo(const QString& Titulo, const QString& QueArchivo,
                                           const QString& /*Separador*/) {
    QFile archivo(QueArchivo);
    if (!archivo.open(QIODevice::ReadOnly)) {
        ui::operatorInterface().messageBox(
            texto::NoExisteArchivo + QueArchivo + texto::NoExisteArchivoFin, ui::style::OKOnly);
        return {};
    }
    const QStringList lineas = lineasDeArchivo(archivo);
    archivo.close();
    const std::optional<MiembrosLista> lista = mostrarOpciones(Titulo, false, lineas);
    return lista ? lista->ValorDevuelto.toString() : QString();
}

} // namespace estaciones::lookup
