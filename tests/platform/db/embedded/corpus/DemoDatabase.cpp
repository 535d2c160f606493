#include "DemoDatabase.h"

#include "platform/db/embedded/EmbeddedEngine.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>

#include <optional>
#include <stdexcept>

namespace estaciones::test::corpus {

namespace {

// Points an environment variable elsewhere for one scope.
class ScopedEnvValue {
public:
    ScopedEnvValue(const char* name, const QString& value) : m_name(name) {
        if (qEnvironmentVariableIsSet(name)) {
            m_previous = qgetenv(name);
        }
        qputenv(name, value.toLocal8Bit());
    }
    ~ScopedEnvValue() {
        if (m_previous) {
            qputenv(m_name, *m_previous);
        } else {
            qunsetenv(m_name);
        }
    }

private:
    const char* m_name;
    std::optional<QByteArray> m_previous;
};

void copyFolder(const QString& from, const QString& to) {
    QDirIterator it(from, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString target = to + QLatin1Char('/') + QDir(from).relativeFilePath(source);
        QDir().mkpath(QFileInfo(target).absolutePath());
        if (!QFile::copy(source, target)) {
            throw std::runtime_error("cannot copy " + source.toStdString());
        }
    }
}

// DEMO as the first connection seeds it, made once per process.
const QTemporaryDir& seededTemplate() {
    static const auto folder = [] {
        auto dir = std::make_unique<QTemporaryDir>();
        ScopedEnvValue dataFolder("ESTACIONES_DATOS", dir->path());
        auto engine = db::sqlite::createEmbeddedEngine();
        engine->open(DemoDatabase::connectionString(), QStringLiteral("ADMIN"), QString());
        engine->close();
        return dir;
    }();
    return *folder;
}

} // namespace

DemoDatabase::DemoDatabase() {
    copyFolder(seededTemplate().path(), m_folder.path());
}

QString DemoDatabase::connectionString(const QString& database) {
    return QStringLiteral("PROVIDER=SQLOLEDB;Server=(local);Database =%1;UId=ADMIN;Pwd=;")
        .arg(database);
}

std::unique_ptr<db::Engine> DemoDatabase::connect(const QString& user) const {
    auto engine = db::sqlite::createEmbeddedEngine();
    engine->open(connectionString(), user, QString());
    return engine;
}

} // namespace estaciones::test::corpus
