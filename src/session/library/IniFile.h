#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace estaciones::library {

// The shared library's INI access object. A file given by name alone is
// looked for in the program folder, then in the user's configuration folder
// ($XDG_CONFIG_HOME, default ~/.config); the name is matched ignoring case,
// as it was on Windows ("cn000pr.ini" is found for "CN000pr.INI").
//
// Files may be Windows-1252 or UTF-8, with CR LF or LF line ends. Sections and
// keys compare ignoring case; blanks around names, "=" and values are ignored,
// and so are double quotes around a whole value; lines starting with ";" are
// comments. The first occurrence of a key in the
// first matching section wins.
class IniFile {
public:
    // `programFolder` empty: the executable's folder.
    explicit IniFile(QString programFolder = {});

    // The value of `key` in `section`, or `defaultValue` when the file, the
    // section or the key is absent. A key present with an empty value reads
    // as empty. Each file is parsed once while it stays unchanged (IniCache).
    QString read(const QString& fileName, const QString& section, const QString& key,
                 const QString& defaultValue) const;

    // Where `fileName` is found, or nothing. A name with a folder is taken
    // as it stands.
    std::optional<QString> locate(const QString& fileName) const;

    // The folders searched, in order.
    QStringList searchFolders() const;

private:
    QString m_programFolder;
};

} // namespace estaciones::library
