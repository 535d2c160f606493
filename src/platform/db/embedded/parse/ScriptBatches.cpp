#include "platform/db/embedded/parse/ScriptBatches.h"

#include "platform/core/Error.h"

#include <QFile>
#include <QRegularExpression>

namespace estaciones::db::sqlite {

QStringList splitBatches(const QString& script) {
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    QStringList batches;
    QString current;
    for (const QString& line : script.split(lineBreak)) {
        if (line.trimmed().compare(QLatin1String("GO"), Qt::CaseInsensitive) == 0) {
            if (!current.trimmed().isEmpty()) {
                batches << current;
            }
            current.clear();
            continue;
        }
        current += line;
        current += '\n';
    }
    if (!current.trimmed().isEmpty()) {
        batches << current;
    }
    return batches;
}

QString readScriptFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        throw standardError(errnum::FileNotFound, path);
    }
    QByteArray bytes = file.readAll();
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        bytes.remove(0, 3);
    }
    return QString::fromUtf8(bytes);
}

} // namespace estaciones::db::sqlite
