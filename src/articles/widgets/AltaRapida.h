#pragma once

#include <QString>

#include <optional>

class QWidget;

namespace estaciones::articulos {

// Whether the configuration allows registering articles from a lookup window
// ("ArticulosPermitealtaAutomatica" is "SI").
bool altaRapidaPermitida();

// The quick registration a lookup window offers behind "N&uevo": opens the
// registration window (DesdeConsulta set) modally with the next free
// right-aligned article number (or `codigoPropuesto`, when the caller worked
// it out already) proposed in its first box, and returns the
// new article's number when the operator registered one; nothing when the
// window was cancelled or nothing was registered. Never throws: a failure is
// reported to the operator and gives nothing.
std::optional<QString> altaRapidaDesdeConsulta(QWidget* parent,
                                              const QString& codigoPropuesto = QString());

} // namespace estaciones::articulos
