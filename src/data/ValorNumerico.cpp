#include "data/ValorNumerico.h"

#include <QLocale>

#include <cstdint>
#include <string>

namespace estaciones::data {

namespace {

bool esBlancoNumerico(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

// "&H1F" / "&O17": VB reads them as 16-bit values when they fit, else 32-bit.
double valorConBase(const QString& texto, qsizetype desde, int base) {
    std::int64_t valor = 0;
    int digitos = 0;
    for (qsizetype i = desde; i < texto.size() && digitos < 11; ++i) {
        const QChar c = texto[i];
        if (esBlancoNumerico(c)) {
            continue;
        }
        const QChar mayuscula = c.toUpper();
        int digito = -1;
        if (c.isDigit() && c.unicode() < 128) {
            digito = c.digitValue();
        } else if (base == 16 && mayuscula >= u'A' && mayuscula <= u'F') {
            digito = mayuscula.unicode() - u'A' + 10;
        }
        if (digito < 0 || digito >= base) {
            break;
        }
        valor = valor * base + digito;
        ++digitos;
    }
    if (valor <= 0xFFFF) {
        return static_cast<double>(static_cast<std::int16_t>(valor));
    }
    return static_cast<double>(static_cast<std::int32_t>(static_cast<std::uint32_t>(valor)));
}

} // namespace

double valorNumerico(const QString& texto) {
    qsizetype i = 0;
    while (i < texto.size() && esBlancoNumerico(texto[i])) {
        ++i;
    }
    if (i + 1 < texto.size() && texto[i] == u'&') {
        const QChar marca = texto[i + 1].toUpper();
        if (marca == u'H') {
            return valorConBase(texto, i + 2, 16);
        }
        if (marca == u'O') {
            return valorConBase(texto, i + 2, 8);
        }
        return 0.0;
    }
    // Gather the characters of the number, blanks dropped, then read them in the
    // C locale (the system locale may use a decimal comma).
    std::string numero;
    bool punto = false;
    bool exponente = false;
    bool digitoEnMantisa = false;
    for (; i < texto.size(); ++i) {
        const QChar c = texto[i];
        if (esBlancoNumerico(c)) {
            continue;
        }
        if (c.isDigit() && c.unicode() < 128) {
            numero += static_cast<char>(c.unicode());
            digitoEnMantisa = digitoEnMantisa || !exponente;
        } else if ((c == u'+' || c == u'-') &&
                   (numero.empty() || (exponente && (numero.back() == 'E')))) {
            numero += static_cast<char>(c.unicode());
        } else if (c == u'.' && !punto && !exponente) {
            punto = true;
            numero += '.';
        } else if ((c.toUpper() == u'E' || c.toUpper() == u'D') && !exponente && digitoEnMantisa) {
            exponente = true;
            numero += 'E';
        } else {
            break;
        }
    }
    // A trailing exponent mark or sign without digits is not part of the number.
    while (!numero.empty() &&
           (numero.back() == 'E' || numero.back() == '+' || numero.back() == '-')) {
        numero.pop_back();
    }
    if (!digitoEnMantisa) {
        return 0.0;
    }
    bool ok = false;
    const double valor = QLocale::c().toDouble(QString::fromLatin1(numero), &ok);
    return ok ? valor : 0.0;
}

} // namespace estaciones::data
