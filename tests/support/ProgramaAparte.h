#pragma once

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <filesystem>

namespace estaciones::test {

// The built programs with the files they read from their own folder (the
// shipped scripts, the demo seed, the help pages), linked into a folder of
// their own inside the build folder. A program started from there writes
// its own files (the lookup masks, the data layer's TSERR.LOG) there, and
// they go with the folder: the build folder stays as it was.
class ProgramaAparte {
public:
    // `nombre` is the name the program runs under ("estaciones", or another
    // program of the suite such as "CN000PR").
    explicit ProgramaAparte(const QString& nombre = QStringLiteral("estaciones"))
        : m_origen(carpetaCompilacion()),
          m_dir(m_origen.filePath(QStringLiteral("programa-XXXXXX"))), m_nombre(nombre) {
        if (!m_dir.isValid() || !QFileInfo::exists(m_origen.filePath("estaciones"))) {
            return;
        }
        m_valido = enlazar(m_origen.filePath("estaciones"), m_dir.filePath(nombre));
        for (const QString& archivo :
             m_origen.entryList({"estaciones-sql", "*.sql", "*.SQL", "*.semilla"}, QDir::Files)) {
            m_valido = m_valido && enlazar(m_origen.filePath(archivo), m_dir.filePath(archivo));
        }
        const QDir ayuda(m_origen.filePath(QStringLiteral("ayuda")));
        QDir(m_dir.path()).mkdir(QStringLiteral("ayuda"));
        for (const QString& pagina : ayuda.entryList(QDir::Files)) {
            m_valido = m_valido && enlazar(ayuda.filePath(pagina),
                                           m_dir.filePath(QStringLiteral("ayuda/") + pagina));
        }
    }

    // The folder of the test programs and the built programs.
    static QDir carpetaCompilacion() {
        const QString carpeta = qEnvironmentVariable("ESTACIONES_BUILD_DIR");
        return QDir(carpeta.isEmpty() ? QCoreApplication::applicationDirPath() : carpeta);
    }

    bool valido() const { return m_valido; }
    QString programa() const { return m_dir.filePath(m_nombre); }
    QString carpeta() const { return m_dir.path(); }

private:
    // A hard link keeps the program's own name and folder; a copy where the
    // file system has none.
    static bool enlazar(const QString& origen, const QString& destino) {
        std::error_code error;
        std::filesystem::create_hard_link(origen.toStdString(), destino.toStdString(), error);
        return !error || QFile::copy(origen, destino);
    }

    QDir m_origen;
    QTemporaryDir m_dir;
    QString m_nombre;
    bool m_valido = false;
};

} // namespace estaciones::test
