#include "app/EntradaSimulada.h"

#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QPointingDevice>
#include <QStyleHints>
#include <QWidget>

// Only the inline helper that marks an event spontaneous (QEvent lets this
// one class do it); nothing of the test library is linked.
#include <QtTest/qtestspontaneevent.h>

// QtGui's own entry for offering a key press to the shortcut map first, as
// the window system's delivery does.
Q_GUI_EXPORT bool qt_sendShortcutOverrideEvent(QObject* o, ulong timestamp, int k,
                                               Qt::KeyboardModifiers mods, const QString& text,
                                               bool autorep, ushort count);

namespace estaciones::app {

namespace {

ulong marcaDeTiempo() {
    static ulong ultima = 0;
    return ++ultima;
}

void enviarTecla(QWidget* widget, bool pulsada, int key, Qt::KeyboardModifiers modifiers,
                 const QString& text) {
    QKeyEvent evento(pulsada ? QEvent::KeyPress : QEvent::KeyRelease, key, modifiers, text);
    evento.setTimestamp(marcaDeTiempo());
    QSpontaneKeyEvent::setSpontaneous(&evento);
    if (pulsada &&
        qt_sendShortcutOverrideEvent(widget, evento.timestamp(), key, modifiers, text, false, 1)) {
        return; // a shortcut took it
    }
    QApplication::instance()->notify(widget, &evento);
}

// The modifier keys in the order they are pressed (released the other way).
struct Modificador {
    Qt::KeyboardModifier modifier;
    Qt::Key key;
};
constexpr Modificador modificadores[] = {{Qt::ShiftModifier, Qt::Key_Shift},
                                         {Qt::ControlModifier, Qt::Key_Control},
                                         {Qt::AltModifier, Qt::Key_Alt},
                                         {Qt::MetaModifier, Qt::Key_Meta}};

void teclaConTexto(QWidget* widget, int key, Qt::KeyboardModifiers modifiers, const QString& text) {
    Qt::KeyboardModifiers pulsados;
    for (const Modificador& m : modificadores) {
        if (modifiers.testFlag(m.modifier)) {
            enviarTecla(widget, true, m.key, pulsados, QString());
            pulsados |= m.modifier;
        }
    }
    // A key press may close the widget (Return on a dialog's button).
    const QPointer<QWidget> vivo(widget);
    enviarTecla(widget, true, key, modifiers, text);
    if (vivo.isNull()) {
        return;
    }
    enviarTecla(widget, false, key, modifiers, text);
    for (auto m = std::rbegin(modificadores); m != std::rend(modificadores); ++m) {
        if (modifiers.testFlag(m->modifier) && !vivo.isNull()) {
            enviarTecla(widget, false, m->key, modifiers, QString());
        }
    }
}

void enviarRaton(QWidget* widget, QEvent::Type tipo, QPoint punto, Qt::MouseButtons botones) {
    QMouseEvent evento(tipo, punto, widget->mapToGlobal(punto), Qt::LeftButton, botones,
                       Qt::NoModifier, QPointingDevice::primaryPointingDevice());
    evento.setTimestamp(marcaDeTiempo());
    QSpontaneKeyEvent::setSpontaneous(&evento);
    QApplication::instance()->notify(widget, &evento);
}

} // namespace

QString textoDeTecla(Qt::Key key) {
    switch (key) {
    case Qt::Key_Backspace:
        return QStringLiteral("\b");
    case Qt::Key_Tab:
        return QStringLiteral("\t");
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return QStringLiteral("\r");
    case Qt::Key_Escape:
        return QStringLiteral("\x1b");
    case Qt::Key_Delete:
        return QStringLiteral("\x7f");
    default:
        break;
    }
    if (key >= Qt::Key_Space && key <= Qt::Key_AsciiTilde) {
        return QChar(static_cast<char16_t>(key)).toLower();
    }
    return {};
}

Qt::Key teclaDeCaracter(QChar character) {
    switch (character.unicode()) {
    case u'\b':
        return Qt::Key_Backspace;
    case u'\t':
        return Qt::Key_Tab;
    case u'\r':
    case u'\n':
        return Qt::Key_Return;
    case 0x1b:
        return Qt::Key_Escape;
    default:
        break;
    }
    // Qt's keys for the Latin-1 characters are their capitals' codes.
    const char16_t mayuscula = character.toUpper().unicode();
    if (character.unicode() >= 0x20 && mayuscula <= 0xff && character.unicode() != 0x7f) {
        return static_cast<Qt::Key>(mayuscula);
    }
    return Qt::Key_unknown;
}

void pulsarTecla(QWidget* widget, Qt::Key key, Qt::KeyboardModifiers modifiers) {
    teclaConTexto(widget, key, modifiers, textoDeTecla(key));
}

void escribirTexto(QWidget* widget, const QString& text) {
    const QPointer<QWidget> vivo(widget);
    for (const QChar caracter : text) {
        if (vivo.isNull()) {
            return;
        }
        teclaConTexto(widget, teclaDeCaracter(caracter), Qt::NoModifier, QString(caracter));
    }
}

void clicIzquierdo(QWidget* widget, QPoint point) {
    const QPointer<QWidget> vivo(widget);
    enviarRaton(widget, QEvent::MouseButtonPress, point, Qt::LeftButton);
    if (!vivo.isNull()) {
        enviarRaton(widget, QEvent::MouseButtonRelease, point, Qt::NoButton);
    }
}

} // namespace estaciones::app
