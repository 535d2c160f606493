#pragma once

#include "articles/JsonCollection.h"
#include "articles/JsonDictionary.h"
#include "articles/JsonDocument.h"

#include <QString>
#include <QStringView>

#include <cstdint>
#include <memory>
#include <vector>

namespace estaciones {

// One parse of a JSON text: the lenient readers behind LeerJson, walking the
// UTF-16 characters of the text in place and building a JsonDocument. Nothing
// here throws; every problem becomes a line of errors(), and the readers keep
// what they built.
class JsonReader {
public:
    // Containers nested deeper than this stop the parse (no unbounded recursion).
    static constexpr int MaxDepth = 512;
    // The most characters one parse takes: positions and lengths are kept in 32 bits.
    static constexpr qsizetype MaxLength = INT32_MAX / 2;

    explicit JsonReader(const QString& text);

    // 1-based, in UTF-16 characters.
    qsizetype position() const { return m_at - m_begin + 1; }
    // Lines ended by CR LF, in the order the problems were met.
    const QString& errors() const { return m_errors; }

    void SaltarBlancos();
    // The object (array) at the position, read to its end; an empty one, with
    // an error line, when none starts there.
    std::shared_ptr<JsonDictionary> LeerObjeto();
    std::shared_ptr<JsonCollection> LeerArreglo();

private:
    using Node = JsonDocument::Node;
    using Kind = JsonDocument::Kind;
    class Level;

    // Each reads one value at the position and pushes its node on m_pending.
    void LeerContenedor(Kind kind);
    void LeerValor();
    void LeerCadena();
    void LeerNumero();
    void LeerLogico();
    void LeerNulo();
    void LeerClave();
    // One member value of the container that `closer` ends; one that fails to
    // read is recorded and passed over. False once the parse has stopped and
    // nothing was read.
    bool readMember(char16_t closer);
    void skipBadToken(char16_t closer);
    // Ends the container whose members start at m_pending[start].
    void closeContainer(Kind kind, std::size_t start);
    bool isRepeatedKey(std::size_t start, std::size_t keyNode) const;

    bool pastEnd() const { return m_at >= m_end; }
    char16_t current() const { return m_at < m_end ? *m_at : char16_t(0); }
    // Past `word`, pushing `kind`, when the next characters are it.
    bool consume(QStringView word, Kind kind);
    // Records `error` for what stands at the position, and pushes `kind` without moving.
    void refuse(const QString& error, Kind kind);
    void push(Kind kind) { m_pending.push_back(Node{kind, false, 0, {}}); }
    // A text is read in runs of the parsed characters and decoded characters;
    // while it is one run it stays a slice of the parsed text.
    void startText();
    void appendRun(const char16_t* from, const char16_t* to);
    void appendDecoded(QChar character);
    QStringView textSoFar() const;
    void decodeText();
    void pushText();
    std::shared_ptr<JsonDocument> finish();
    QString restOfText() const { return QStringView(m_at, m_end).toString(); }
    QString lastCharacters() const;
    void addLine(const QString& line);

    QStringView m_text;
    const char16_t* m_begin;
    const char16_t* m_end;
    const char16_t* m_at;
    QString m_errors;
    int m_depth = 0;
    // Set when the parse cannot go on (nesting too deep): every open container
    // ends with what it holds.
    bool m_stopped = false;
    std::shared_ptr<JsonDocument> m_document;
    // The members of the open containers, moved to the document as each closes
    // so that a container's members end up side by side.
    std::vector<Node> m_pending;
    // The text being read: its one run of parsed characters, or, once it
    // needed more than that, where it starts among the decoded texts.
    const char16_t* m_runStart = nullptr;
    qsizetype m_runLength = 0;
    qsizetype m_decodedFrom = -1;
};

} // namespace estaciones
