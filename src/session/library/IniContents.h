#pragma once

#include <QHash>
#include <QString>
#include <QStringView>

#include <optional>

namespace estaciones::library {

// What one line of an INI file is, as IniFile reads it: the line trimmed; a
// blank line or one starting with ";" says nothing; "[ Name ]" opens a
// section (up to the first "]"); "key = value" holds a value (blanks around
// both dropped, double quotes around a whole value too); anything else is
// passed over.
struct IniLine {
    enum class Kind { Nothing, Section, Value };
    Kind kind = Kind::Nothing;
    QStringView name;  // the section's or the key's
    QStringView value; // of a Value
};
IniLine interpretIniLine(QStringView line);

// The sections and keys of a whole INI file, for reading many keys of it
// without reading it again. Names compare ignoring case; only the first
// section of a name counts and, in it, the first line of a key.
class IniContents {
public:
    static IniContents parse(QStringView text);

    std::optional<QString> value(QStringView section, QStringView key) const;

private:
    // Keyed by the case-folded names.
    QHash<QString, QHash<QString, QString>> m_sections;
};

} // namespace estaciones::library
