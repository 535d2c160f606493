#pragma once

#include <QString>

#include <functional>

class QPainter;
class QRectF;
class QWidget;

namespace estaciones::calendar::window {

// The printing of the year sheet, a module the window opens the first time
// the operator prints (Qt's print support then loads only for that).
enum class PrintOutcome { Printed = 0, Cancelled = 1, PainterFailed = 2 };

// Paints one page: the painter is on the printer, `page` its printable area.
using PaintPage = std::function<void(QPainter& painter, const QRectF& page)>;

// The module's entry point: asks for a printer with the print dialog over
// `parent` (landscape, `documentName`) and paints the page on it.
using PrintSheetFunction = int (*)(QWidget& parent, const QString& documentName,
                                   const PaintPage& paint);
inline constexpr const char* printSheetEntry = "estaciones_imprimir_hoja";

} // namespace estaciones::calendar::window
