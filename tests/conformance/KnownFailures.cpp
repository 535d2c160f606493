#include "KnownFailures.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringList>

#include <stdexcept>

namespace estaciones::conformance {

KnownFailures KnownFailures::read(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        throw std::runtime_error(QStringLiteral("cannot read %1").arg(path).toStdString());
    }
    static const QRegularExpression entry(QStringLiteral("^(\\S+\\.test):(\\d+)\\s+(\\S.*)$"));
    KnownFailures known;
    const QStringList lines = QString::fromUtf8(file.readAll()).split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (line.isEmpty() || line.startsWith('#')) {
            continue;
        }
        const QRegularExpressionMatch match = entry.match(line);
        if (!match.hasMatch()) {
            throw std::runtime_error(QStringLiteral("%1:%2: expected 'file.test:line reason'")
                                         .arg(path)
                                         .arg(i + 1)
                                         .toStdString());
        }
        known.m_reasons[match.captured(1)][match.captured(2).toInt()] = match.captured(3);
    }
    return known;
}

QString KnownFailures::reasonFor(const QString& file, int line) const {
    return m_reasons.value(file).value(line);
}

QList<int> KnownFailures::linesOf(const QString& file) const {
    return m_reasons.value(file).keys();
}

} // namespace estaciones::conformance
