#include "calendar/window/FormScrollArea.h"

namespace estaciones::calendar::window {

FormScrollArea::FormScrollArea(QWidget* parent) : QScrollArea(parent) {
    setObjectName(QStringLiteral("AreaFormulario"));
    setWidgetResizable(false);
    setFrameShape(QFrame::NoFrame);
    // Not a Tab stop of its own: it follows the focus through the form.
    setFocusPolicy(Qt::NoFocus);
}

QSize FormScrollArea::sizeHint() const {
    // QScrollArea caps its hint at a few dozen lines of text.
    const QWidget* form = widget();
    if (!form) {
        return QScrollArea::sizeHint();
    }
    const int frame = 2 * frameWidth();
    return form->size() + QSize(frame, frame);
}

} // namespace estaciones::calendar::window
