#pragma once

#include <QPoint>
#include <QString>
#include <Qt>

class QWidget;

namespace estaciones::app {

// Keyboard and mouse input delivered to a widget as the window system
// delivers it (spontaneous events through QApplication::notify, shortcuts
// offered first, modifier keys pressed around the key), without linking
// Qt's test library into the shipped program.

// Presses and releases `key` with `modifiers` on `widget`.
void pulsarTecla(QWidget* widget, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

// Types `text` on `widget`, one key press per character.
void escribirTexto(QWidget* widget, const QString& text);

// A left click at `point` (widget coordinates).
void clicIzquierdo(QWidget* widget, QPoint point);

// The text a key press of `key` carries ("a" for Qt::Key_A, "" for arrows).
QString textoDeTecla(Qt::Key key);
// The key that types `character` (Qt::Key_A for 'a', Qt::Key_unknown when none).
Qt::Key teclaDeCaracter(QChar character);

} // namespace estaciones::app
