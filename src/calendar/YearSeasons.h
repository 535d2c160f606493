#pragma once

#include "platform/core/Variant.h"

#include <QDate>
#include <QHash>
#include <QString>

namespace estaciones::calendar {

// The stored seasons of one year, read with one statement. Answers as the
// one-date read does: "" for a date without a row and for a null code.
class YearSeasons {
public:
    explicit YearSeasons(int year) : m_year(year) {}

    // Takes one row of the year statement (Fecha, Temporada). Rows of other
    // years and rows whose date cannot be read are left out; the first row of
    // a date wins, as the one-date read takes the first row.
    void addRow(const Variant& Fecha, const Variant& Temporada);

    QString codeOf(int day, int month) const;
    int year() const { return m_year; }
    int rowCount() const { return static_cast<int>(m_codes.size()); }

private:
    int m_year;
    QHash<QDate, QString> m_codes;
};

} // namespace estaciones::calendar
