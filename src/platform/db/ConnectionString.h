#pragma once

#include <QString>

#include <optional>
#include <utility>
#include <vector>

namespace estaciones::db {

// A connection string as keyword=value pairs separated by ";". Keywords are
// compared ignoring case and surrounding blanks ("Database =" is "database");
// values keep their inner blanks and lose the outer ones; values in braces
// ({...}) may contain ";".
class ConnectionString {
public:
    explicit ConnectionString(const QString& text = {});

    std::optional<QString> value(const QString& keyword) const;
    QString value(const QString& keyword, const QString& fallback) const;
    // The first of several synonyms that is present ("UID", "User Id", ...).
    std::optional<QString> firstOf(std::initializer_list<const char*> keywords) const;
    bool has(const QString& keyword) const { return value(keyword).has_value(); }

    const std::vector<std::pair<QString, QString>>& pairs() const { return m_pairs; }

    // The same text with password values replaced by "****", for messages.
    static QString masked(const QString& text);

private:
    std::vector<std::pair<QString, QString>> m_pairs; // keyword as written, value
};

} // namespace estaciones::db
