#pragma once

// Hostile texts pasted as the operator pastes them: put on the clipboard
// (as bytes, for the ones another program would leave there undecoded) and
// dropped into the focused field with the platform's paste keys.

#include <QApplication>
#include <QClipboard>
#include <QKeySequence>
#include <QMimeData>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <vector>

namespace estaciones::test {

struct TextoHostil {
    const char* nombre;
    QByteArray bytes; // as the clipboard holds them: Qt decodes them as UTF-8
};

inline QByteArray repetido(const char* pieza, qsizetype veces) {
    QByteArray texto;
    const QByteArray p(pieza);
    texto.reserve(p.size() * veces);
    for (qsizetype i = 0; i < veces; ++i) {
        texto += p;
    }
    return texto;
}

inline const std::vector<TextoHostil>& textosHostiles() {
    static const std::vector<TextoHostil> textos{
        {"un megabyte", repetido("Lápiz 0123456789 ", (1 << 20) / 18)},
        {"bytes NUL", QByteArray("a\0b\0\0c", 6)},
        {"UTF-8 inválido", QByteArray("a\xC3\x28 b\xFF\xFE c\xE2\x82")},
        {"Windows-1252", QByteArray("A\xF1o \x80 \x93" "comillas\x94")},
        {"paréntesis anidados", repetido("(", 100000) + '1' + repetido(")", 100000)},
        {"comillas", QByteArray("O'Brien'; DROP TABLE V_MA_ARTICULOS; --\" ]'')")},
    };
    return textos;
}

// What Qt gives a paste of `bytes`: the text the field may keep a prefix of.
inline QString textoDecodificado(const QByteArray& bytes) {
    QMimeData datos;
    datos.setData(QStringLiteral("text/plain"), bytes);
    return datos.text();
}

// Puts `bytes` on the clipboard and presses the paste keys on `campo`,
// which gets the focus first, as the operator's click would give it.
inline void pegar(QWidget& campo, const QByteArray& bytes) {
    auto* datos = new QMimeData;
    datos->setData(QStringLiteral("text/plain"), bytes);
    QApplication::clipboard()->setMimeData(datos);
    campo.activateWindow();
    campo.setFocus(Qt::MouseFocusReason);
    QWidget* destino = QApplication::focusWidget() ? QApplication::focusWidget() : &campo;
    QTest::keySequence(destino, QKeySequence::Paste);
}

} // namespace estaciones::test
