#include "session/library/IniContents.h"

namespace estaciones::library {

IniLine interpretIniLine(QStringView raw) {
    const QStringView line = raw.trimmed();
    if (line.isEmpty() || line.startsWith(u';')) {
        return {};
    }
    if (line.startsWith(u'[')) {
        const qsizetype close = line.indexOf(u']');
        if (close >= 0) {
            return {IniLine::Kind::Section, line.sliced(1, close - 1).trimmed(), {}};
        }
    }
    const qsizetype equals = line.indexOf(u'=');
    if (equals < 0) {
        return {};
    }
    QStringView value = line.sliced(equals + 1).trimmed();
    // Quotes around a value only protect its blanks, as on Windows.
    if (value.size() >= 2 && value.front() == u'"' && value.back() == u'"') {
        value = value.sliced(1, value.size() - 2);
    }
    return {IniLine::Kind::Value, line.first(equals).trimmed(), value};
}

IniContents IniContents::parse(QStringView text) {
    IniContents contents;
    // The section being read by name: QHash moves its values as it grows.
    QString section;
    bool reading = false;
    for (const QStringView line : text.tokenize(u'\n')) {
        const IniLine read = interpretIniLine(line);
        if (read.kind == IniLine::Kind::Section) {
            section = read.name.toString().toCaseFolded();
            // A later section of the same name is never read.
            reading = !contents.m_sections.contains(section);
            if (reading) {
                contents.m_sections.insert(section, {});
            }
        } else if (read.kind == IniLine::Kind::Value && reading) {
            QHash<QString, QString>& keys = contents.m_sections[section];
            const QString key = read.name.toString().toCaseFolded();
            if (!keys.contains(key)) {
                keys.insert(key, read.value.toString());
            }
        }
    }
    return contents;
}

std::optional<QString> IniContents::value(QStringView section, QStringView key) const {
    const auto found = m_sections.constFind(section.toString().toCaseFolded());
    if (found == m_sections.cend()) {
        return std::nullopt;
    }
    const auto value = found->constFind(key.toString().toCaseFolded());
    if (value == found->cend()) {
        return std::nullopt;
    }
    return *value;
}

} // namespace estaciones::library
