#include "session/routines/CrearMascaraConsultas.h"

#include "platform/core/ErrorHandling.h"
#include "platform/os/System.h"
#include "session/Archivos.h"
#include "session/library/SharedObjects.h"
#include "session/library/Windows1252.h"

#include <QFile>

#include <array>

namespace estaciones::session {

namespace {

struct MascaraPorDefecto {
    const char* nombre;
    const char* tabla;
    const char* columnas;
};

// The lookups the suite defines for every installation.
constexpr std::array<MascaraPorDefecto, 11> mascarasPorDefecto{{
    {"ARTICULOS", "V_MA_ARTICULOS", "|DESCRIPCION|IDARTICULO|"},
    {"CLIENTES", "VT_CLIENTES", "|RAZON_SOCIAL|CODIGO|CONTACTO|"},
    {"PROVEEDORES", "VT_PROVEEDORES", "|RAZON_SOCIAL|CODIGO|"},
    {"CONTACTOS", "MA_CONTACTOS", "|Nombre_y_Apellido|Domicilio|Localidad|Telefono|"},
    {"VENDEDORES", "V_TA_VENDEDORES", "|NOMBRE|IDVENDEDOR|"},
    {"TECNICOS", "V_TA_TECNICOS", "|NOMBRE|IDTECNICO|"},
    {"MANTENIMIENTOS", "V_MA_MANTENIMIENTOS", "|DESCRIPCION|CODIGO|"},
    {"CUENTAS", "MA_CUENTAS", "|DESCRIPCION|CODIGO|"},
    {"TAREAS", "V_TA_Tareas  ", "|Descripcion|IdTarea|"},
    {"UnidadNegocio", "V_TA_UnidadNegocio", "|Descripcion|Codigo|"},
    {"DEPOSITO", "V_TA_DEPOSITO", "|Descripcion|IdDeposito|"},
}};

constexpr qsizetype largoNombre = 100;
constexpr qsizetype largoTabla = 100;
constexpr qsizetype largoColumnas = 500;
constexpr qsizetype largoFiltro = 500;

QByteArray campoFijo(const QString& texto, qsizetype largo) {
    QByteArray bytes = library::toWindows1252(texto).left(largo);
    bytes.append(largo - bytes.size(), ' ');
    return bytes;
}

} // namespace

QByteArray registroMascara(const QString& nombre, const QString& tabla, const QString& columnas,
                           const QString& filtro) {
    QByteArray registro;
    registro.reserve(largoRegistroMascara);
    registro += campoFijo(nombre.trimmed(), largoNombre);
    registro += campoFijo(tabla, largoTabla);
    registro += campoFijo(columnas.trimmed(), largoColumnas);
    registro += campoFijo(filtro.trimmed(), largoFiltro);
    registro += "\r\n";
    return registro;
}

void CrearMascaraConsultas(const QString& ruta) {
    ignoringErrors([&] {
        QFile archivo(ruta);
        if (!archivo.open(QIODevice::ReadWrite)) {
            return;
        }
        // New records go after the last one; a cut record at the end is left
        // as it is, never overwritten.
        const qsizetype registros =
            (archivo.size() + largoRegistroMascara - 1) / largoRegistroMascara;
        archivo.seek(registros * largoRegistroMascara);
        for (const MascaraPorDefecto& m : mascarasPorDefecto) {
            archivo.write(registroMascara(QString::fromLatin1(m.nombre),
                                          QString::fromLatin1(m.tabla),
                                          QString::fromLatin1(m.columnas), QString()));
        }
        archivo.close();
    });
}

QString rutaMascaraConsultas(const QString& carpetaPrograma) {
    return library::textHelper().folder(os::writableProgramFolder(carpetaPrograma)) +
           QStringLiteral("consultas.tsf");
}

void prepararMascaraConsultas(const QString& carpetaPrograma) {
    const QString ruta = rutaMascaraConsultas(carpetaPrograma);
    if (!ExisteArchivo(ruta)) {
        CrearMascaraConsultas(ruta);
    }
}

} // namespace estaciones::session
