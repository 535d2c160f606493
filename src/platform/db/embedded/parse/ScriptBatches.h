#pragma once

#include <QString>
#include <QStringList>

namespace estaciones::db::sqlite {

// A script's batches: the text between lines that hold only GO (any case,
// blanks around allowed). Batches with nothing but blanks are left out.
QStringList splitBatches(const QString& script);

// A script file read as UTF-8 (a byte-order mark is dropped).
QString readScriptFile(const QString& path);

} // namespace estaciones::db::sqlite
