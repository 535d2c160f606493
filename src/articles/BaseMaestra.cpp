#include "articles/BaseMaestra.h"

#include "articles/ArticulosTexts.h"
#include "articles/JSON.h"
#include "articles/JsonCollection.h"
#include "articles/JsonDictionary.h"
#include "platform/http/HttpGet.h"
#include "platform/http/HttpUrl.h"
#include "session/Configuracion.h"
#include "session/library/SharedObjects.h"

namespace estaciones::articulos {

namespace {

const QString Ruta = QStringLiteral("ws/inicio.php");

// A configuration value, else the INI key of section "BaseMaestra".
QString ajuste(const QString& clave, const QString& claveIni) {
    const QString valor = session::Cfg(clave).trimmed();
    if (!valor.isEmpty()) {
        return valor;
    }
    return library::iniFile()
        .read(QStringLiteral("CN000pr.INI"), QStringLiteral("BaseMaestra"), claveIni, QString())
        .trimmed();
}

// Nothing when the service answered; else the operator's message.
std::optional<QString> fallaDe(const http::HttpResponse& respuesta) {
    switch (respuesta.outcome) {
    case http::HttpOutcome::Ok:
        return std::nullopt;
    case http::HttpOutcome::Timeout:
        return textos::MaestraSinRespuesta;
    case http::HttpOutcome::HttpStatus:
        return textos::MaestraError + QStringLiteral(" (HTTP %1)").arg(respuesta.status);
    default:
        return textos::MaestraSinConexion;
    }
}

struct Pedido {
    QString texto;                // the answer's text
    std::optional<QString> falla; // or why there is none
};

Pedido pedir(const http::QueryItems& consulta) {
    const DireccionBaseMaestra direccion = direccionBaseMaestra();
    if (direccion.base.isEmpty()) {
        return {{}, textos::MaestraSinDireccion};
    }
    const http::HttpResponse respuesta =
        http::httpGet(http::urlWithQuery(direccion.base, Ruta, consulta), direccion.espera);
    return {respuesta.text(), fallaDe(respuesta)};
}

} // namespace

DireccionBaseMaestra direccionBaseMaestra() {
    DireccionBaseMaestra direccion;
    direccion.base = ajuste(QStringLiteral("BaseMaestraURL"), QStringLiteral("URL"));
    const int segundos = library::textHelper().toInteger(
        ajuste(QStringLiteral("BaseMaestraTimeOut"), QStringLiteral("TimeOut")));
    if (segundos > 0) {
        direccion.espera = std::chrono::seconds(segundos);
    }
    return direccion;
}

QString descripcionDeRespuesta(const QString& respuesta) {
    if (respuesta.trimmed().isEmpty()) {
        return {};
    }
    const std::shared_ptr<VariantObject> leido = LeerJson(respuesta);
    std::shared_ptr<JsonDictionary> objeto = std::dynamic_pointer_cast<JsonDictionary>(leido);
    if (const auto lista = std::dynamic_pointer_cast<JsonCollection>(leido);
        lista && lista->Count() >= 1 && lista->Item(1).isObject()) {
        objeto = lista->Item(1).objectAs<JsonDictionary>();
    }
    if (!objeto) {
        return {};
    }
    const Variant descripcion = objeto->Item(QStringLiteral("Descripcion"));
    return descripcion.isObject() ? QString() : descripcion.toString();
}

ConsultaMaestra consultarCodigoMaestra(const QString& codigo) {
    ConsultaMaestra consulta;
    const auto respuesta = pedir({{QStringLiteral("opcion"), QStringLiteral("GetCodigo")},
                                  {QStringLiteral("codigo"), codigo.trimmed()}});
    if (respuesta.falla) {
        consulta.mensaje = *respuesta.falla;
        consulta.servicioFallo = true;
        return consulta;
    }
    const QString descripcion = descripcionDeRespuesta(respuesta.texto);
    if (descripcion.trimmed().isEmpty()) {
        consulta.mensaje = textos::NoExisteEnMaestra;
        return consulta;
    }
    consulta.error = false;
    consulta.descripcion = descripcion;
    return consulta;
}

std::optional<QString> informarCodigoMaestra(const QString& codigo, const QString& descripcion) {
    const auto respuesta = pedir({{QStringLiteral("opcion"), QStringLiteral("InsCodigo")},
                                  {QStringLiteral("codigo"), codigo},
                                  {QStringLiteral("desc"), descripcion}});
    return respuesta.falla;
}

} // namespace estaciones::articulos
