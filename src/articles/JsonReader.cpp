#include "articles/JsonReader.h"

#include "articles/JsonNumber.h"

#include <QSet>

#include <algorithm>
#include <optional>

namespace estaciones {

namespace {
// The error lines, as the service's callers have always seen them.
const QString kInvalidObject = QStringLiteral("Invalid Object at position ");
const QString kInvalidArray = QStringLiteral("Invalid Array at position ");
const QString kMissingBrace = QStringLiteral("Missing '}': ");
const QString kMissingBracket = QStringLiteral("Missing ']': ");
const QString kInvalidKey = QStringLiteral("Invalid Key at position ");
const QString kInvalidBoolean = QStringLiteral("Invalid Boolean at position ");
const QString kInvalidNull = QStringLiteral("Invalid null value at position ");
const QString kInvalidValue = QStringLiteral("Invalid value at position ");
const QString kInvalidNumber = QStringLiteral("Invalid number at position ");
const QString kTooDeep = QStringLiteral("Nesting deeper than %1 levels at position ");
// The runtime's description of Error 457, which a repeated key raised.
const QString kRepeatedKey =
    QStringLiteral("This key is already associated with an element of this collection");
const QString kSeparator = QStringLiteral(" : ");

bool isKeyBlank(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

bool isBlank(char16_t c) {
    return isKeyBlank(c) || c == u'(' || c == u')';
}

// Where the characters of a value that failed to read end.
bool endsBadToken(char16_t c) {
    return c == u',' || c == u'}' || c == u']' || c == u':' || c == u'{' || c == u'[' ||
           c == u'"' || c == u'\'' || isKeyBlank(c);
}

bool isNumberCharacter(char16_t c) {
    return (c >= u'0' && c <= u'9') || c == u'+' || c == u'-' || c == u'.' || c == u'e' ||
           c == u'E';
}

int hexValue(char16_t c) {
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return -1;
}

char16_t escapedCharacter(char16_t c) {
    switch (c) {
    case u'b':
        return 8;
    case u'f':
        return 12;
    case u'n':
        return 10;
    case u'r':
        return 13;
    case u't':
        return 9;
    default:
        return c; // a quote, "\", "/" and anything else stand for themselves
    }
}
} // namespace

// Counts one open container for as long as it is being read.
class JsonReader::Level {
public:
    explicit Level(JsonReader& reader) : m_reader(reader) { ++m_reader.m_depth; }
    ~Level() { --m_reader.m_depth; }
    Level(const Level&) = delete;
    Level& operator=(const Level&) = delete;

    bool tooDeep() {
        if (m_reader.m_depth <= MaxDepth)
            return false;
        m_reader.addLine(kTooDeep.arg(MaxDepth) + QString::number(m_reader.position()));
        m_reader.m_stopped = true;
        return true;
    }

private:
    JsonReader& m_reader;
};

JsonReader::JsonReader(const QString& text)
    : m_text(text), m_begin(m_text.utf16()), m_end(m_text.utf16() + m_text.size()), m_at(m_begin),
      m_document(std::make_shared<JsonDocument>(text)) {
}

void JsonReader::addLine(const QString& line) {
    m_errors += line;
    m_errors += u"\r\n";
}

QString JsonReader::lastCharacters() const {
    return m_text.right(20).toString();
}

void JsonReader::startText() {
    m_runStart = m_at;
    m_runLength = 0;
    m_decodedFrom = -1;
}

void JsonReader::appendRun(const char16_t* from, const char16_t* to) {
    if (from == to)
        return;
    if (m_decodedFrom < 0) {
        if (m_runLength == 0)
            m_runStart = from;
        if (m_runStart + m_runLength == from) {
            m_runLength += to - from;
            return;
        }
        decodeText();
    }
    m_document->appendDecoded(QStringView(from, to));
}

void JsonReader::appendDecoded(QChar character) {
    decodeText();
    m_document->appendDecoded(QStringView(&character, 1));
}

void JsonReader::decodeText() {
    if (m_decodedFrom >= 0)
        return;
    m_decodedFrom = m_document->decoded().size();
    m_document->appendDecoded(QStringView(m_runStart, m_runLength));
}

QStringView JsonReader::textSoFar() const {
    return m_decodedFrom < 0 ? QStringView(m_runStart, m_runLength)
                             : m_document->decoded().sliced(m_decodedFrom);
}

void JsonReader::pushText() {
    Node node;
    node.kind = Kind::Text;
    if (m_decodedFrom < 0) {
        node.inSource = true;
        node.size = static_cast<std::uint32_t>(m_runLength);
        node.first = static_cast<std::uint64_t>(m_runStart - m_begin);
    } else {
        node.size = static_cast<std::uint32_t>(m_document->decoded().size() - m_decodedFrom);
        node.first = static_cast<std::uint64_t>(m_decodedFrom);
    }
    m_pending.push_back(node);
}

void JsonReader::SaltarBlancos() {
    while (m_at < m_end) {
        if (isBlank(*m_at)) {
            ++m_at;
        } else if (*m_at == u'/' && m_end - m_at >= 2 && m_at[1] == u'*') {
            const QStringView rest(m_at + 2, m_end);
            const qsizetype close = rest.indexOf(u"*/");
            m_at = close < 0 ? m_end : m_at + 2 + close + 2;
        } else {
            return;
        }
    }
}

void JsonReader::closeContainer(Kind kind, std::size_t start) {
    std::vector<Node>& nodes = m_document->nodes();
    Node container{kind, false, static_cast<std::uint32_t>(m_pending.size() - start), {}};
    container.first = nodes.size();
    nodes.insert(nodes.end(), m_pending.begin() + static_cast<std::ptrdiff_t>(start),
                 m_pending.end());
    m_pending.resize(start);
    m_pending.push_back(container);
}

std::shared_ptr<JsonDictionary> JsonReader::LeerObjeto() {
    LeerContenedor(Kind::Object);
    m_document->nodes().push_back(m_pending.back());
    m_pending.pop_back();
    return std::make_shared<JsonDictionary>(m_document, m_document->nodes().size() - 1);
}

std::shared_ptr<JsonCollection> JsonReader::LeerArreglo() {
    LeerContenedor(Kind::Array);
    m_document->nodes().push_back(m_pending.back());
    m_pending.pop_back();
    return std::make_shared<JsonCollection>(m_document, m_document->nodes().size() - 1);
}

void JsonReader::LeerContenedor(Kind kind) {
    const bool isObject = kind == Kind::Object;
    const char16_t opener = isObject ? u'{' : u'[';
    const char16_t closer = isObject ? u'}' : u']';
    SaltarBlancos();
    const std::size_t start = m_pending.size();
    if (pastEnd() || *m_at != opener) {
        const QString pos = QString::number(position()) + kSeparator;
        addLine(isObject ? kInvalidObject + pos + restOfText()
                         : kInvalidArray + pos + QStringView(m_at, std::min<qsizetype>(20, m_end - m_at)).toString());
        closeContainer(kind, start);
        return;
    }
    Level level(*this);
    if (level.tooDeep()) {
        closeContainer(kind, start);
        return;
    }
    ++m_at;
    // Large objects look their keys up in a hash instead of comparing them all.
    std::optional<QSet<QStringView>> keys;
    while (!m_stopped) {
        SaltarBlancos();
        if (!pastEnd() && *m_at == closer) {
            ++m_at;
            break;
        }
        if (!pastEnd() && *m_at == u',') {
            ++m_at;
            SaltarBlancos();
        } else if (pastEnd()) {
            addLine((isObject ? kMissingBrace : kMissingBracket) + lastCharacters());
            break;
        }
        const std::size_t member = m_pending.size();
        if (isObject)
            LeerClave();
        if (!readMember(closer)) {
            m_pending.resize(member);
            break;
        }
        if (!isObject)
            continue;
        const QStringView key = m_document->text(m_pending[member]);
        const std::size_t members = (member - start) / 2;
        bool repeated = false;
        if (members < JsonDictionary::IndexFrom) {
            for (std::size_t i = start; i < member && !repeated; i += 2)
                repeated = m_document->text(m_pending[i]) == key;
        } else {
            if (!keys) {
                keys.emplace();
                for (std::size_t i = start; i < member; i += 2)
                    keys->insert(m_document->text(m_pending[i]));
            }
            repeated = keys->contains(key);
            keys->insert(key);
        }
        if (repeated) {
            addLine(kRepeatedKey + QStringLiteral(": ") + key.toString());
            m_pending.resize(member);
            break;
        }
    }
    closeContainer(kind, start);
}

bool JsonReader::readMember(char16_t closer) {
    SaltarBlancos();
    const char16_t* start = m_at;
    const qsizetype errorsBefore = m_errors.size();
    const std::size_t nodesBefore = m_pending.size();
    LeerValor();
    if (m_at == start && m_stopped) {
        m_pending.resize(nodesBefore); // what stopped the parse is no value
        return false;
    }
    if (m_at == start && !pastEnd()) {
        // The value failed to read: it stays as its reader gave it (False for a
        // bad Boolean, else Empty), and the bad characters are passed over so
        // that the rest of the container is read.
        if (m_errors.size() == errorsBefore) // the Boolean and null readers say why
            addLine(kInvalidValue + QString::number(start - m_begin + 1));
        skipBadToken(closer);
    }
    return true;
}

void JsonReader::skipBadToken(char16_t closer) {
    const char16_t* start = m_at;
    while (m_at < m_end && !endsBadToken(*m_at))
        ++m_at;
    // A stray closer of another container, or ":", would stop the reader where
    // it stands.
    if (m_at == start && m_at < m_end && *m_at != u',' && *m_at != closer)
        ++m_at;
}

void JsonReader::LeerValor() {
    SaltarBlancos();
    switch (current()) {
    case u'{':
        return LeerContenedor(Kind::Object);
    case u'[':
        return LeerContenedor(Kind::Array);
    case u'"':
    case u'\'':
        return LeerCadena();
    case u't':
    case u'f':
        return LeerLogico();
    case u'n':
        return LeerNulo();
    default:
        return LeerNumero();
    }
}

void JsonReader::LeerCadena() {
    const char16_t quote = *m_at++;
    startText();
    // Runs of plain characters are taken in one piece.
    const char16_t* run = m_at;
    while (m_at < m_end) {
        const char16_t c = *m_at;
        if (c == quote) {
            appendRun(run, m_at);
            ++m_at;
            pushText();
            return;
        }
        if (c != u'\\') {
            ++m_at;
            continue;
        }
        appendRun(run, m_at);
        if (++m_at == m_end) {
            run = m_at;
            break;
        }
        const char16_t escaped = *m_at;
        int code = 0;
        int digits = 0;
        if (escaped == u'u') {
            for (; digits < 4 && m_end - m_at > digits + 1; ++digits) {
                const int v = hexValue(m_at[digits + 1]);
                if (v < 0)
                    break;
                code = code * 16 + v;
            }
        }
        if (digits == 4) {
            appendDecoded(QChar(static_cast<char16_t>(code)));
            m_at += 4;
        } else {
            appendDecoded(QChar(escapedCharacter(escaped)));
        }
        run = ++m_at;
    }
    // An unterminated string gives what was read, without an error line.
    appendRun(run, m_at);
    pushText();
}

void JsonReader::LeerNumero() {
    SaltarBlancos();
    const char16_t* start = m_at;
    while (m_at < m_end && isNumberCharacter(*m_at))
        ++m_at;
    if (pastEnd() || m_at == start) {
        push(Kind::Empty);
        return;
    }
    const QStringView text(start, m_at);
    const std::optional<Variant> value = jsonNumber(text);
    Node node;
    if (!value) {
        addLine(kInvalidNumber + QString::number(start - m_begin + 1) + kSeparator + text.toString());
    } else if (value->type() == Variant::Type::Integer) {
        node.kind = Kind::Integer;
        node.integer = value->toInt64();
    } else if (value->type() == Variant::Type::Decimal) {
        node.kind = Kind::Decimal;
        node.first = m_document->addDecimal(value->toDecimal());
    } else {
        node.kind = Kind::Double;
        node.real = value->toDouble();
    }
    m_pending.push_back(node);
}

bool JsonReader::consume(QStringView word, Kind kind) {
    if (m_end - m_at < word.size() || QStringView(m_at, word.size()) != word)
        return false;
    m_at += word.size();
    push(kind);
    return true;
}

void JsonReader::refuse(const QString& error, Kind kind) {
    addLine(error + QString::number(position()) + kSeparator + restOfText());
    push(kind);
}

void JsonReader::LeerLogico() {
    if (!consume(u"true", Kind::True) && !consume(u"false", Kind::False))
        refuse(kInvalidBoolean, Kind::False);
}

void JsonReader::LeerNulo() {
    if (!consume(u"null", Kind::Null))
        refuse(kInvalidNull, Kind::Empty);
}

void JsonReader::LeerClave() {
    SaltarBlancos();
    startText();
    char16_t quote = 0;
    bool quoted = false;
    // Characters that belong to the key are taken as runs, not one by one.
    const char16_t* run = m_at;
    while (m_at < m_end) {
        const char16_t c = *m_at;
        const bool opens = !quoted && (c == u'"' || c == u'\'');
        const bool closes = quoted && c == quote;
        const bool ends = !quoted && c == u':';
        if (!opens && !closes && !ends && !isKeyBlank(c)) {
            ++m_at;
            continue;
        }
        appendRun(run, m_at);
        run = ++m_at;
        if (ends)
            break;
        if (opens) {
            quoted = true;
            quote = c;
        } else if (closes) {
            quoted = false;
            SaltarBlancos();
            run = m_at;
            if (current() != u':' || pastEnd()) {
                addLine(kInvalidKey + QString::number(position()) + kSeparator +
                        textSoFar().toString());
                break;
            }
        }
    }
    if (m_at == m_end)
        appendRun(run, m_at);
    pushText();
}

} // namespace estaciones
