#include "articles/JsonReader.h"

#include "articles/JsonNumber.h"
#include "platform/core/ErrorHandling.h"

#include <cmath>

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
const QString kSeparator = QStringLiteral(" : ");

bool isKeyBlank(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

// Where the characters of a value that failed to read end.
bool endsBadToken(QChar c) {
    return c == u',' || c == u'}' || c == u']' || c == u':' || c == u'{' || c == u'[' ||
           c == u'"' || c == u'\'' || isKeyBlank(c);
}

bool isNumberCharacter(QChar c) {
    return (c >= u'0' && c <= u'9') || c == u'+' || c == u'-' || c == u'.' || c == u'e' ||
           c == u'E';
}

int hexValue(QChar c) {
    if (c >= u'0' && c <= u'9')
        return c.unicode() - u'0';
    if (c >= u'a' && c <= u'f')
        return c.unicode() - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c.unicode() - u'A' + 10;
    return -1;
}

QString positionText(qsizetype p) {
    return QString::number(p);
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
        m_reader.addLine(kTooDeep.arg(MaxDepth) + positionText(m_reader.m_position));
        m_reader.m_stopped = true;
        return true;
    }

private:
    JsonReader& m_reader;
};

QChar JsonReader::at(qsizetype p) const {
    return p >= 1 && p <= m_text.size() ? m_text[p - 1] : QChar();
}

void JsonReader::addLine(const QString& line) {
    m_errors += line;
    m_errors += u"\r\n";
}

void JsonReader::SaltarBlancos() {
    while (!pastEnd()) {
        const QChar c = at(m_position);
        if (c == u'\r' || c == u'\n' || c == u'\t' || c == u' ' || c == u'(' || c == u')') {
            ++m_position;
        } else if (c == u'/' && at(m_position + 1) == u'*') {
            const qsizetype close = m_text.indexOf(u"*/", m_position + 1);
            m_position = close < 0 ? m_text.size() + 1 : close + 3;
        } else {
            return;
        }
    }
}

std::optional<Variant> JsonReader::readMember(QChar closer) {
    SaltarBlancos();
    const qsizetype start = m_position;
    const qsizetype errorsBefore = m_errors.size();
    Variant value = LeerValor();
    if (m_position == start && m_stopped)
        return std::nullopt; // what stopped the parse is no value
    if (m_position == start && !pastEnd()) {
        // The value failed to read: it stays as its reader gave it (False for a
        // bad Boolean, else Empty), and the bad characters are passed over so
        // that the rest of the container is read.
        if (m_errors.size() == errorsBefore) // the Boolean and null readers say why
            addLine(kInvalidValue + positionText(start));
        skipBadToken(closer);
    }
    return value;
}

void JsonReader::skipBadToken(QChar closer) {
    const qsizetype start = m_position;
    while (!pastEnd() && !endsBadToken(at(m_position)))
        ++m_position;
    // A stray closer of another container, or ":", would stop the reader where
    // it stands.
    const QChar c = at(m_position);
    if (m_position == start && !pastEnd() && c != u',' && c != closer)
        ++m_position;
}

std::shared_ptr<JsonDictionary> JsonReader::LeerObjeto() {
    auto dictionary = std::make_shared<JsonDictionary>();
    SaltarBlancos();
    if (at(m_position) != u'{') {
        addLine(kInvalidObject + positionText(m_position) + kSeparator + restOfText());
        return dictionary;
    }
    Level level(*this);
    if (level.tooDeep())
        return dictionary;
    ++m_position;
    while (!m_stopped) {
        SaltarBlancos();
        const QChar c = at(m_position);
        if (c == u'}') {
            ++m_position;
            break;
        }
        if (c == u',') {
            ++m_position;
            SaltarBlancos();
        } else if (pastEnd()) {
            addLine(kMissingBrace + m_text.right(20).toString());
            break;
        }
        const QString key = LeerClave();
        std::optional<Variant> value = readMember(u'}');
        if (!value)
            break;
        if (const auto error = ignoringErrors([&] { dictionary->Add(key, *std::move(value)); })) {
            addLine(error->description() + QStringLiteral(": ") + key);
            break;
        }
    }
    return dictionary;
}

std::shared_ptr<JsonCollection> JsonReader::LeerArreglo() {
    auto collection = std::make_shared<JsonCollection>();
    SaltarBlancos();
    if (at(m_position) != u'[') {
        addLine(kInvalidArray + positionText(m_position) + kSeparator +
                m_text.mid(m_position - 1, 20).toString());
        return collection;
    }
    Level level(*this);
    if (level.tooDeep())
        return collection;
    ++m_position;
    while (!m_stopped) {
        SaltarBlancos();
        const QChar c = at(m_position);
        if (c == u']') {
            ++m_position;
            break;
        }
        if (c == u',') {
            ++m_position;
            SaltarBlancos();
        } else if (pastEnd()) {
            addLine(kMissingBracket + m_text.right(20).toString());
            break;
        }
        std::optional<Variant> value = readMember(u']');
        if (!value)
            break;
        collection->Add(*std::move(value));
    }
    return collection;
}

Variant JsonReader::LeerValor() {
    SaltarBlancos();
    switch (at(m_position).unicode()) {
    case u'{':
        return Variant(std::shared_ptr<VariantObject>(LeerObjeto()));
    case u'[':
        return Variant(std::shared_ptr<VariantObject>(LeerArreglo()));
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

QString JsonReader::LeerCadena() {
    const QChar quote = at(m_position);
    ++m_position;
    m_builder.Remove(0, m_builder.Length());
    // Runs of plain characters go into the builder in one piece.
    qsizetype runStart = m_position;
    const auto flushRun = [&] {
        m_builder.Append(m_text.mid(runStart - 1, m_position - runStart));
    };
    while (!pastEnd()) {
        const QChar c = at(m_position);
        if (c == quote) {
            flushRun();
            ++m_position;
            return m_builder.toString();
        }
        if (c != u'\\') {
            ++m_position;
            continue;
        }
        flushRun();
        ++m_position;
        runStart = m_position;
        if (pastEnd())
            break;
        const QChar escaped = at(m_position);
        switch (escaped.unicode()) {
        case u'b':
            m_builder.Append(QChar(8));
            break;
        case u'f':
            m_builder.Append(QChar(12));
            break;
        case u'n':
            m_builder.Append(QChar(10));
            break;
        case u'r':
            m_builder.Append(QChar(13));
            break;
        case u't':
            m_builder.Append(QChar(9));
            break;
        case u'u': {
            int code = 0;
            int digits = 0;
            for (; digits < 4; ++digits) {
                const int v = hexValue(at(m_position + 1 + digits));
                if (v < 0)
                    break;
                code = code * 16 + v;
            }
            if (digits == 4) {
                m_builder.Append(QChar(static_cast<char16_t>(code)));
                m_position += 4;
            } else {
                m_builder.Append(escaped);
            }
            break;
        }
        default:
            m_builder.Append(escaped);
            break;
        }
        ++m_position;
        runStart = m_position;
    }
    // An unterminated string gives what was read, without an error line.
    flushRun();
    return m_builder.toString();
}

Variant JsonReader::LeerNumero() {
    SaltarBlancos();
    const qsizetype start = m_position;
    while (!pastEnd() && isNumberCharacter(at(m_position)))
        ++m_position;
    if (pastEnd() || m_position == start)
        return Variant();
    const QStringView text = m_text.mid(start - 1, m_position - start);
    if (auto value = jsonNumber(text))
        return *std::move(value);
    addLine(kInvalidNumber + positionText(start) + kSeparator + text.toString());
    return Variant();
}

Variant JsonReader::LeerLogico() {
    if (m_text.mid(m_position - 1, 4) == u"true") {
        m_position += 4;
        return true;
    }
    if (m_text.mid(m_position - 1, 5) == u"false") {
        m_position += 5;
        return false;
    }
    addLine(kInvalidBoolean + positionText(m_position) + kSeparator + restOfText());
    return false;
}

Variant JsonReader::LeerNulo() {
    if (m_text.mid(m_position - 1, 4) == u"null") {
        m_position += 4;
        return Variant::null();
    }
    addLine(kInvalidNull + positionText(m_position) + kSeparator + restOfText());
    return Variant();
}

QString JsonReader::LeerClave() {
    SaltarBlancos();
    QString key;
    QChar quote; // null outside a quoted part
    // Characters that belong to the key go in as runs, not one by one.
    qsizetype runStart = m_position;
    const auto flushRun = [&] { key += m_text.mid(runStart - 1, m_position - runStart); };
    while (!pastEnd()) {
        const QChar c = at(m_position);
        const bool opens = quote.isNull() && (c == u'"' || c == u'\'');
        const bool closes = !quote.isNull() && c == quote;
        const bool ends = quote.isNull() && c == u':';
        if (!opens && !closes && !ends && !isKeyBlank(c)) {
            ++m_position;
            continue;
        }
        flushRun();
        ++m_position;
        runStart = m_position;
        if (ends)
            return key;
        if (opens) {
            quote = c;
        } else if (closes) {
            quote = QChar();
            SaltarBlancos();
            runStart = m_position;
            if (at(m_position) != u':') {
                addLine(kInvalidKey + positionText(m_position) + kSeparator + key);
                return key;
            }
        }
    }
    flushRun();
    return key;
}

} // namespace estaciones
