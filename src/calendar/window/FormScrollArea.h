#pragma once

#include <QScrollArea>

namespace estaciones::calendar::window {

// Holds the form, laid out in twips at its own size: a window smaller than
// the form scrolls it instead of clipping it. It asks for the whole form, so
// that a window with room shows everything without scroll bars.
class FormScrollArea : public QScrollArea {
public:
    explicit FormScrollArea(QWidget* parent = nullptr);

    QSize sizeHint() const override;
};

} // namespace estaciones::calendar::window
