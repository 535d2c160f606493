#include "articles/CodigoArticulo.h"

#include "session/library/SharedObjects.h"

#include <QRegularExpression>

namespace estaciones::articulos {

bool soloDigitos(const QString& texto) {
    if (texto.isEmpty()) {
        return false;
    }
    for (const QChar c : texto) {
        if (c < u'0' || c > u'9') {
            return false;
        }
    }
    return true;
}

QString codigoArticulo(const QString& codigo) {
    const QString limpio = codigo.trimmed();
    if (!soloDigitos(limpio)) {
        return limpio;
    }
    return library::textHelper().pad(limpio, LargoCodigoArticulo);
}

bool esNumerico(const QString& texto) {
    QString limpio = texto.trimmed();
    if (limpio.startsWith(u'-') || limpio.startsWith(u'+')) {
        limpio.remove(0, 1);
    }
    const qsizetype marca = limpio.indexOf(QRegularExpression(QStringLiteral("[.,]")));
    if (marca < 0) {
        return soloDigitos(limpio);
    }
    const QString entera = limpio.left(marca);
    const QString decimales = limpio.mid(marca + 1);
    return (entera.isEmpty() || soloDigitos(entera)) && soloDigitos(decimales);
}

} // namespace estaciones::articulos
