#pragma once

#include <QByteArray>
#include <QDir>
#include <QTemporaryDir>

#include <optional>

namespace estaciones::test {

// A temporary folder that an environment variable points at while it lives
// (ESTACIONES_DATOS for the embedded engine's data, TEMP for logs, ...).
class ScopedEnvFolder {
public:
    explicit ScopedEnvFolder(const char* variable) : m_variable(variable) {
        if (qEnvironmentVariableIsSet(variable)) {
            m_previous = qgetenv(variable);
        }
        qputenv(variable, m_dir.path().toLocal8Bit());
    }
    ~ScopedEnvFolder() {
        if (m_previous) {
            qputenv(m_variable, *m_previous);
        } else {
            qunsetenv(m_variable);
        }
    }
    QString path() const { return m_dir.path(); }
    QString filePath(const QString& name) const { return m_dir.filePath(name); }

private:
    const char* m_variable;
    QTemporaryDir m_dir;
    std::optional<QByteArray> m_previous;
};

} // namespace estaciones::test
