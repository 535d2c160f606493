#pragma once

#include <QObject>

#include <functional>

class QComboBox;

namespace estaciones::calendar::window {

// The year combo's key rule: Enter runs `onEnter`; every other typed
// character (backspace, pasting shortcuts included) is thrown away, so the
// year cannot be typed over. Moving through the list with the arrow keys
// still works.
class YearComboKeys : public QObject {
public:
    YearComboKeys(QComboBox& combo, std::function<void()> onEnter);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void()> m_onEnter;
};

} // namespace estaciones::calendar::window
