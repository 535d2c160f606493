#pragma once

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace estaciones::reliability::test {

// A PostgreSQL 15 server of the test's own: a cluster in a temporary folder
// on a free localhost port, started and stopped when the test says. As root
// (CI) its programs run as the postgres user, who must own the folder.
class ServidorPostgres {
public:
    static QString binarios() { return QStringLiteral("/usr/lib/postgresql/15/bin"); }
    static bool disponible() {
        return QFile::exists(QDir(binarios()).filePath(QStringLiteral("pg_ctl")));
    }

    ServidorPostgres() : m_carpeta(QStringLiteral("/tmp/estaciones-pg-XXXXXX")) {
        m_puerto = puertoLibre();
        if (::geteuid() == 0) {
            QProcess::execute(QStringLiteral("chown"),
                              {QStringLiteral("postgres:postgres"), m_carpeta.path()});
        }
        m_listo = ejecutar(QStringLiteral("initdb"),
                           {QStringLiteral("-D"), datos(), QStringLiteral("-U"),
                            QStringLiteral("postgres"), QStringLiteral("--auth=trust"),
                            QStringLiteral("-E"), QStringLiteral("UTF8")}) &&
                  arrancar();
    }
    ~ServidorPostgres() { detener(); }

    bool listo() const { return m_listo; }
    QString cadena() const {
        return QStringLiteral("Driver={PostgreSQL Unicode};Server=127.0.0.1;Port=%1;"
                              "Database=postgres;Uid=postgres;Pwd=;")
            .arg(m_puerto);
    }

    bool arrancar() {
        return ejecutar(QStringLiteral("pg_ctl"),
                        {QStringLiteral("-D"), datos(), QStringLiteral("-w"), QStringLiteral("-l"),
                         m_carpeta.filePath(QStringLiteral("registro.txt")), QStringLiteral("-o"),
                         QStringLiteral("-p %1 -k %2 -c listen_addresses=127.0.0.1")
                             .arg(m_puerto)
                             .arg(m_carpeta.path()),
                         QStringLiteral("start")});
    }
    // "fast": the server ends its sessions at once, as a restart does.
    bool detener() {
        return ejecutar(QStringLiteral("pg_ctl"),
                        {QStringLiteral("-D"), datos(), QStringLiteral("-w"), QStringLiteral("-m"),
                         QStringLiteral("fast"), QStringLiteral("stop")});
    }

private:
    // A port the system gives to nobody else at this moment.
    static quint16 puertoLibre() {
        const int s = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in direccion{};
        direccion.sin_family = AF_INET;
        direccion.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t largo = sizeof direccion;
        ::bind(s, reinterpret_cast<sockaddr*>(&direccion), sizeof direccion);
        ::getsockname(s, reinterpret_cast<sockaddr*>(&direccion), &largo);
        ::close(s);
        return ntohs(direccion.sin_port);
    }

    QString datos() const { return m_carpeta.filePath(QStringLiteral("datos")); }

    bool ejecutar(const QString& programa, const QStringList& argumentos) const {
        const QString ruta = QDir(binarios()).filePath(programa);
        QProcess proceso;
        proceso.setProcessChannelMode(QProcess::MergedChannels);
        if (::geteuid() == 0) {
            proceso.start(QStringLiteral("runuser"),
                          QStringList{QStringLiteral("-u"), QStringLiteral("postgres"),
                                      QStringLiteral("--"), ruta} +
                              argumentos);
        } else {
            proceso.start(ruta, argumentos);
        }
        return proceso.waitForFinished(60000) && proceso.exitStatus() == QProcess::NormalExit &&
               proceso.exitCode() == 0;
    }

    QTemporaryDir m_carpeta;
    quint16 m_puerto = 0;
    bool m_listo = false;
};

} // namespace estaciones::reliability::test
