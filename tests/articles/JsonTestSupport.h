#pragma once

#include "articles/JsonCollection.h"
#include "articles/JsonDictionary.h"
#include "platform/core/Variant.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <ostream>

// Readable QString values in failure messages.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace estaciones::test {

// A compact, unambiguous rendering of what the reader built, so that a test
// compares a whole structure in one line: {a:1,b:["x",true,Null,Empty]}.
inline QString render(const Variant& value);

inline QString render(const std::shared_ptr<VariantObject>& object) {
    if (!object)
        return QStringLiteral("Nothing");
    QStringList parts;
    if (const auto dictionary = std::dynamic_pointer_cast<JsonDictionary>(object)) {
        for (const auto& [key, value] : dictionary->entries())
            parts << key + u':' + render(value);
        return u'{' + parts.join(u',') + u'}';
    }
    if (const auto collection = std::dynamic_pointer_cast<JsonCollection>(object)) {
        for (const auto& value : collection->items())
            parts << render(value);
        return u'[' + parts.join(u',') + u']';
    }
    return u'<' + object->typeName() + u'>';
}

inline QString render(const Variant& value) {
    if (value.isObject())
        return render(value.toObject());
    if (value.type() == Variant::Type::Boolean)
        return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    return value.debugString();
}

} // namespace estaciones::test
