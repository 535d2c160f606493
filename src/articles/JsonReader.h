#pragma once

#include "articles/JsonCollection.h"
#include "articles/JsonDictionary.h"
#include "articles/cStringBuilder.h"
#include "platform/core/Variant.h"

#include <QString>
#include <QStringView>

#include <memory>
#include <optional>

namespace estaciones {

// One parse of a JSON text: the lenient readers behind LeerJson, sharing the
// text, the 1-based position and the error lines. Nothing here throws; every
// problem becomes a line of errors(), and the readers return what they built.
class JsonReader {
public:
    // Containers nested deeper than this stop the parse (no unbounded recursion).
    static constexpr int MaxDepth = 512;

    explicit JsonReader(QStringView text) : m_text(text) {}

    qsizetype position() const { return m_position; }
    void setPosition(qsizetype position) { m_position = position; }
    // Lines ended by CR LF, in the order the problems were met.
    const QString& errors() const { return m_errors; }

    void SaltarBlancos();
    std::shared_ptr<JsonDictionary> LeerObjeto();
    std::shared_ptr<JsonCollection> LeerArreglo();
    Variant LeerValor();
    QString LeerCadena();
    Variant LeerNumero();
    Variant LeerLogico();
    Variant LeerNulo();
    QString LeerClave();

private:
    class Level;

    QChar at(qsizetype position) const;
    bool pastEnd() const { return m_position > m_text.size(); }
    QString restOfText() const { return m_text.mid(m_position - 1).toString(); }
    // One member value of the container that `closer` ends; one that fails to
    // read is recorded and passed over. Nothing once the parse has stopped.
    std::optional<Variant> readMember(QChar closer);
    void skipBadToken(QChar closer);
    void addLine(const QString& line);

    QStringView m_text;
    qsizetype m_position = 1;
    QString m_errors;
    int m_depth = 0;
    // Set when the parse cannot go on (nesting too deep): every open container
    // ends with what it holds.
    bool m_stopped = false;
    // Reused for every string, so that its buffer is allocated once per parse.
    cStringBuilder m_builder;
};

} // namespace estaciones
