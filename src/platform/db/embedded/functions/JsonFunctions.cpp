#include "platform/db/embedded/functions/JsonFunctions.h"

#include <QStringList>

#include <optional>

namespace estaciones::db::tsql {

namespace {

// A JSON text read where it stands: a value is found as the span of the
// text that writes it, so JSON_QUERY gives the fragment as written and a
// number keeps its digits.
class JsonText {
public:
    explicit JsonText(const QString& text) : m_text(text) {}

    enum class Kind { Object, Array, String, Number, True, False, Null };
    struct Value {
        Kind kind;
        qsizetype from, to; // [from, to) of the text
    };

    // The whole text as one value, or none when it is not JSON (stopped()
    // then tells where the reading stopped).
    std::optional<Value> document() {
        m_at = 0;
        m_failed = false;
        const std::optional<Value> v = value();
        skipBlanks();
        if (!v || m_failed || m_at != m_text.size())
            return std::nullopt;
        return v;
    }
    qsizetype stopped() const { return m_at; }
    QChar at(qsizetype i) const { return i < m_text.size() ? m_text[i] : QChar(); }

    // The member `key` of the object, or element `index` of the array.
    std::optional<Value> member(const Value& object, const QString& key) {
        if (object.kind != Kind::Object)
            return std::nullopt;
        m_at = object.from + 1;
        skipBlanks();
        if (peek() == u'}')
            return std::nullopt;
        while (true) {
            skipBlanks();
            const qsizetype keyFrom = m_at;
            if (!string())
                return std::nullopt;
            const QString name = decoded(keyFrom, m_at);
            skipBlanks();
            ++m_at; // ':'
            const std::optional<Value> v = value();
            if (!v)
                return std::nullopt;
            if (name == key)
                return v;
            skipBlanks();
            if (peek() != u',')
                return std::nullopt;
            ++m_at;
        }
    }

    std::optional<Value> element(const Value& array, qsizetype index) {
        if (array.kind != Kind::Array)
            return std::nullopt;
        m_at = array.from + 1;
        skipBlanks();
        if (peek() == u']')
            return std::nullopt;
        for (qsizetype i = 0;; ++i) {
            const std::optional<Value> v = value();
            if (!v)
                return std::nullopt;
            if (i == index)
                return v;
            skipBlanks();
            if (peek() != u',')
                return std::nullopt;
            ++m_at;
        }
    }

    QString textOf(const Value& v) const { return m_text.mid(v.from, v.to - v.from); }

    // A string value's characters, its escapes undone.
    QString decoded(qsizetype from, qsizetype to) const {
        QString out;
        for (qsizetype i = from + 1; i + 1 < to; ++i) {
            const QChar c = m_text[i];
            if (c != u'\\') {
                out += c;
                continue;
            }
            const QChar e = m_text[++i];
            switch (e.unicode()) {
            case 'n': out += u'\n'; break;
            case 't': out += u'\t'; break;
            case 'r': out += u'\r'; break;
            case 'b': out += u'\b'; break;
            case 'f': out += u'\f'; break;
            case 'u':
                out += QChar(static_cast<char16_t>(m_text.mid(i + 1, 4).toUShort(nullptr, 16)));
                i += 4;
                break;
            default: out += e; // " \ /
            }
        }
        return out;
    }

private:
    QChar peek() const { return m_at < m_text.size() ? m_text[m_at] : QChar(); }

    void skipBlanks() {
        while (m_at < m_text.size() &&
               (m_text[m_at] == u' ' || m_text[m_at] == u'\t' || m_text[m_at] == u'\n' ||
                m_text[m_at] == u'\r'))
            ++m_at;
    }

    bool literal(QStringView word) {
        if (QStringView(m_text).mid(m_at, word.size()) != word)
            return false;
        m_at += word.size();
        return true;
    }

    bool string() {
        if (peek() != u'"')
            return false;
        for (++m_at; m_at < m_text.size(); ++m_at) {
            const QChar c = m_text[m_at];
            if (c == u'"') {
                ++m_at;
                return true;
            }
            if (c.unicode() < 0x20)
                return false;
            if (c == u'\\') {
                const QChar e = m_at + 1 < m_text.size() ? m_text[m_at + 1] : QChar();
                if (e == u'u') {
                    bool ok = false;
                    m_text.mid(m_at + 2, 4).toUShort(&ok, 16);
                    if (!ok || m_at + 6 > m_text.size())
                        return false;
                    m_at += 5;
                } else if (QStringView(u"\"\\/bfnrt").contains(e)) {
                    ++m_at;
                } else {
                    return false;
                }
            }
        }
        return false;
    }

    bool number() {
        const qsizetype start = m_at;
        if (peek() == u'-')
            ++m_at;
        const auto digits = [&] {
            const qsizetype from = m_at;
            while (m_at < m_text.size() && m_text[m_at].isDigit() && m_text[m_at].unicode() < 128)
                ++m_at;
            return m_at > from;
        };
        if (peek() == u'0')
            ++m_at;
        else if (!digits())
            return false;
        if (peek() == u'.') {
            ++m_at;
            if (!digits())
                return false;
        }
        if (peek() == u'e' || peek() == u'E') {
            ++m_at;
            if (peek() == u'+' || peek() == u'-')
                ++m_at;
            if (!digits())
                return false;
        }
        return m_at > start;
    }

    // The value from here, or none (with m_failed) when the text is no JSON.
    std::optional<Value> value() {
        skipBlanks();
        const qsizetype from = m_at;
        const QChar c = peek();
        Kind kind;
        bool ok = false;
        if (c == u'{' || c == u'[') {
            kind = c == u'{' ? Kind::Object : Kind::Array;
            ok = container(c == u'{');
        } else if (c == u'"') {
            kind = Kind::String;
            ok = string();
        } else if (c == u't' || c == u'f' || c == u'n') {
            kind = c == u't' ? Kind::True : c == u'f' ? Kind::False : Kind::Null;
            ok = literal(c == u't' ? u"true" : c == u'f' ? u"false" : u"null");
        } else {
            kind = Kind::Number;
            ok = number();
        }
        if (!ok) {
            m_failed = true;
            return std::nullopt;
        }
        return Value{kind, from, m_at};
    }

    bool container(bool object) {
        const QChar close = object ? u'}' : u']';
        ++m_at;
        skipBlanks();
        if (peek() == close) {
            ++m_at;
            return true;
        }
        while (true) {
            skipBlanks();
            if (object) {
                if (!string())
                    return false;
                skipBlanks();
                if (peek() != u':')
                    return false;
                ++m_at;
            }
            if (!value())
                return false;
            skipBlanks();
            if (peek() == close) {
                ++m_at;
                return true;
            }
            if (peek() != u',')
                return false;
            ++m_at;
        }
    }

    const QString& m_text;
    qsizetype m_at = 0;
    bool m_failed = false;
};

// A path: lax or strict, then $ and its steps (.key, ."key", [n]).
struct JsonPath {
    bool strict = false;
    struct Step {
        QString key;
        qsizetype index = -1; // an array element when not -1
    };
    std::vector<Step> steps;
};

[[noreturn]] void failPath(const QString& path, qsizetype at) {
    throw ConversionError(
        13607, QStringLiteral("JSON path is not properly formatted. Unexpected character '%1' is "
                              "found at position %2.")
                   .arg(at < path.size() ? path[at] : QChar(u' '))
                   .arg(at));
}

JsonPath readPath(const QString& text) {
    JsonPath path;
    QString rest = text.trimmed();
    qsizetype at = text.indexOf(rest.isEmpty() ? QChar(u'$') : rest.front());
    if (rest.startsWith(QLatin1String("strict"), Qt::CaseInsensitive) ||
        rest.startsWith(QLatin1String("lax"), Qt::CaseInsensitive)) {
        path.strict = rest.startsWith(QLatin1String("strict"), Qt::CaseInsensitive);
        const qsizetype word = path.strict ? 6 : 3;
        if (rest.size() <= word || rest[word] != u' ')
            failPath(text, at + word);
        at += word;
        rest = rest.mid(word);
        const qsizetype blanks = rest.size() - rest.trimmed().size();
        at += blanks;
        rest = rest.trimmed();
    }
    if (!rest.startsWith(u'$'))
        failPath(text, at);
    qsizetype i = 1;
    while (i < rest.size()) {
        if (rest[i] == u'.') {
            ++i;
            JsonPath::Step step;
            if (i < rest.size() && rest[i] == u'"') {
                const qsizetype close = rest.indexOf(u'"', i + 1);
                if (close < 0)
                    failPath(text, at + i);
                step.key = rest.mid(i + 1, close - i - 1);
                i = close + 1;
            } else {
                const qsizetype from = i;
                while (i < rest.size() && (rest[i].isLetterOrNumber() || rest[i] == u'_' ||
                                           rest[i] == u'$'))
                    ++i;
                if (i == from)
                    failPath(text, at + i);
                step.key = rest.mid(from, i - from);
            }
            path.steps.push_back(step);
        } else if (rest[i] == u'[') {
            const qsizetype close = rest.indexOf(u']', i);
            bool ok = false;
            const qsizetype index = close < 0 ? -1 : rest.mid(i + 1, close - i - 1).trimmed().toLongLong(&ok);
            if (!ok || index < 0)
                failPath(text, at + i + 1);
            path.steps.push_back({QString(), index});
            i = close + 1;
        } else {
            failPath(text, at + i);
        }
    }
    return path;
}

[[noreturn]] void failText(const JsonText& json) {
    throw ConversionError(13609, QStringLiteral("JSON text is not properly formatted. Unexpected "
                                                "character '%1' is found at position %2.")
                                     .arg(json.at(json.stopped()))
                                     .arg(json.stopped()));
}

// The value the path finds in the text: none when the path leads nowhere
// (the caller applies lax or strict).
std::optional<JsonText::Value> find(JsonText& json, const JsonPath& path) {
    std::optional<JsonText::Value> v = json.document();
    if (!v)
        failText(json);
    for (const JsonPath::Step& step : path.steps) {
        v = step.index >= 0 ? json.element(*v, step.index) : json.member(*v, step.key);
        if (!v)
            return std::nullopt;
    }
    return v;
}

[[noreturn]] void failStrict(int number, const QString& text) {
    throw ConversionError(number, text);
}

SqlValue jsonValueFunction(const Call& c) {
    if (c.arg(0).isNull() || c.arg(1).isNull())
        return {};
    const QString text = c.arg(0).toText();
    const JsonPath path = readPath(c.arg(1).toText());
    JsonText json(text);
    const std::optional<JsonText::Value> v = find(json, path);
    if (!v) {
        if (path.strict)
            failStrict(13608, QStringLiteral("Property cannot be found on the specified JSON path."));
        return {};
    }
    using Kind = JsonText::Kind;
    if (v->kind == Kind::Object || v->kind == Kind::Array) {
        if (path.strict)
            failStrict(13623, QStringLiteral("Scalar value cannot be found in the specified JSON "
                                             "path."));
        return {};
    }
    if (v->kind == Kind::Null)
        return {};
    const QString scalar =
        v->kind == Kind::String ? json.decoded(v->from, v->to) : json.textOf(*v);
    // nvarchar(4000): a longer value is none (lax) or an error (strict).
    if (scalar.size() > 4000) {
        if (path.strict)
            failStrict(13625, QStringLiteral("String value in the specified JSON path would be "
                                             "truncated."));
        return {};
    }
    return SqlValue::of(scalar);
}

SqlValue jsonQueryFunction(const Call& c) {
    if (c.arg(0).isNull() || (c.args.size() > 1 && c.arg(1).isNull()))
        return {};
    const QString text = c.arg(0).toText();
    const JsonPath path = readPath(c.args.size() > 1 ? c.arg(1).toText() : QStringLiteral("$"));
    JsonText json(text);
    const std::optional<JsonText::Value> v = find(json, path);
    const bool fragment =
        v && (v->kind == JsonText::Kind::Object || v->kind == JsonText::Kind::Array);
    if (!fragment) {
        if (path.strict)
            failStrict(13624, QStringLiteral("Object or array cannot be found in the specified "
                                             "JSON path."));
        return {};
    }
    return SqlValue::of(json.textOf(*v));
}

SqlValue isJsonFunction(const Call& c) {
    if (c.arg(0).isNull())
        return {};
    const QString text = c.arg(0).toText();
    JsonText json(text);
    const std::optional<JsonText::Value> v = json.document();
    const bool objectOrArray =
        v && (v->kind == JsonText::Kind::Object || v->kind == JsonText::Kind::Array);
    return SqlValue::of(qint64{objectOrArray ? 1 : 0});
}

// tsql_openjson_value(json, fullkey, type): OPENJSON's value of a row of
// json_each, as the text writes it: a string unescaped, a number with its
// digits, an object or array as written; NULL for a JSON null.
SqlValue openJsonValueFunction(const Call& c) {
    if (c.anyNull())
        return {};
    const QString type = c.arg(2).toText();
    if (type == QLatin1String("null"))
        return {};
    const QString text = c.arg(0).toText();
    JsonText json(text);
    const std::optional<JsonText::Value> v = find(json, readPath(c.arg(1).toText()));
    if (!v)
        return {};
    return SqlValue::of(v->kind == JsonText::Kind::String ? json.decoded(v->from, v->to)
                                                           : json.textOf(*v));
}

const FunctionSpec jsonSpecs[] = {
    {"tsql_openjson_value", 3, openJsonValueFunction, true},
    {"json_value", 2, jsonValueFunction, true},
    {"json_query", 1, jsonQueryFunction, true},
    {"json_query", 2, jsonQueryFunction, true},
    {"isjson", 1, isJsonFunction, true},
};

} // namespace

std::span<const FunctionSpec> jsonFunctions() {
    return jsonSpecs;
}

} // namespace estaciones::db::tsql
