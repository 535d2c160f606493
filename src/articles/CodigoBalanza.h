#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace estaciones::articulos {

// What a weighed-item barcode carries: the article part, the quantity (the
// sign of the label, or the weight or units read from it) and, for the
// patterns that carry the amount, the amount.
struct LecturaBalanza {
    QString codigo;
    double cantidad = 1;
    std::optional<double> importe;
};

// The twelve label layouts a scale can print (11 positions after the leading
// "2"; the layouts of 10 and 9 characters are right-aligned in them).
const QStringList& patronesBalanza();

// Decodes `codigo` with `patron` (letter case ignored). Only 13-digit codes
// starting with "2", or "-" and such a code (a return: negative quantity),
// qualify. Nothing when the code does not qualify or the pattern is empty or
// not one of patronesBalanza(). `decimales` 0 to 4 divides the value read
// from the label by 10^decimales; any other number leaves it as read.
std::optional<LecturaBalanza> leerCodigoBalanza(const QString& codigo, const QString& patron,
                                                int decimales);

} // namespace estaciones::articulos
