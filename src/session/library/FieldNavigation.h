#pragma once

#include <QObject>

class QKeyEvent;
class QWidget;

namespace estaciones::library {

// The form helpers' field navigation: Enter (either key) and the Down arrow
// advance from a text box to the next field, as on the suite's data-entry
// windows; Tab keeps its usual meaning. Combinations with Ctrl or Alt do not
// advance, so window shortcuts keep working.
bool isFieldAdvanceKey(const QKeyEvent& event);

// Moves the focus from `from` to the next widget of its window's focus chain
// that takes focus with Tab. False when there is none.
bool advanceFocus(QWidget& from);

// An event filter for text boxes: a field-advance key moves the focus on and
// is consumed; every other key goes to the box. Install one per window:
//     auto* navigation = new FieldNavigation(this);
//     for (auto* box : boxes) box->installEventFilter(navigation);
class FieldNavigation : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace estaciones::library
