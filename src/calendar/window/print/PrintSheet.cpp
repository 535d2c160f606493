#include "calendar/window/print/PrintSheet.h"

#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

using estaciones::calendar::window::PaintPage;
using estaciones::calendar::window::PrintOutcome;

extern "C" __attribute__((visibility("default"))) int
estaciones_imprimir_hoja(QWidget& parent, const QString& documentName, const PaintPage& paint) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setDocName(documentName);
    QPrintDialog dialog(&printer, &parent);
    if (dialog.exec() != QDialog::Accepted) {
        return static_cast<int>(PrintOutcome::Cancelled);
    }
    QPainter painter;
    if (!painter.begin(&printer)) {
        return static_cast<int>(PrintOutcome::PainterFailed);
    }
    paint(painter, QRectF(QPointF(0, 0), QSizeF(painter.viewport().size())));
    return static_cast<int>(PrintOutcome::Printed);
}
