#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <thread>

namespace estaciones::test {

// A small HTTP server on 127.0.0.1 for the tests of the synchronous client:
// it runs on its own thread (the client blocks the test's thread), answers
// every request with what `responder` returns and records the request
// targets ("/ws/inicio.php?opcion=...") in arrival order.
class ServidorHttp {
public:
    struct Respuesta {
        int estado = 200;
        QByteArray cuerpo;
        QByteArray tipo = "application/json; charset=utf-8";
        std::chrono::milliseconds demora{0}; // wait before answering
    };
    using Responder = std::function<Respuesta(const QByteArray& destino)>;

    ServidorHttp() {
        m_escucha = ::socket(AF_INET, SOCK_STREAM, 0);
        int uno = 1;
        ::setsockopt(m_escucha, SOL_SOCKET, SO_REUSEADDR, &uno, sizeof uno);
        sockaddr_in direccion{};
        direccion.sin_family = AF_INET;
        direccion.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        direccion.sin_port = 0;
        ::bind(m_escucha, reinterpret_cast<sockaddr*>(&direccion), sizeof direccion);
        ::listen(m_escucha, 8);
        socklen_t largo = sizeof direccion;
        ::getsockname(m_escucha, reinterpret_cast<sockaddr*>(&direccion), &largo);
        m_puerto = ntohs(direccion.sin_port);
        m_hilo = std::thread([this] { atender(); });
    }
    ~ServidorHttp() {
        m_parar = true;
        m_hilo.join();
        ::close(m_escucha);
    }
    ServidorHttp(const ServidorHttp&) = delete;
    ServidorHttp& operator=(const ServidorHttp&) = delete;

    void responder(Responder responder) {
        std::lock_guard lock(m_mutex);
        m_responder = std::move(responder);
    }
    // The same answer for every request.
    void responder(const Respuesta& respuesta) {
        responder([respuesta](const QByteArray&) { return respuesta; });
    }

    QString base() const { return QStringLiteral("http://127.0.0.1:%1/").arg(m_puerto); }
    QStringList pedidos() const {
        std::lock_guard lock(m_mutex);
        return m_pedidos;
    }

    // A loopback address where nothing listens (a service that is down).
    static QString baseSinServicio() {
        const int s = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in direccion{};
        direccion.sin_family = AF_INET;
        direccion.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(s, reinterpret_cast<sockaddr*>(&direccion), sizeof direccion);
        socklen_t largo = sizeof direccion;
        ::getsockname(s, reinterpret_cast<sockaddr*>(&direccion), &largo);
        ::close(s);
        return QStringLiteral("http://127.0.0.1:%1/").arg(ntohs(direccion.sin_port));
    }

private:
    void atender() {
        while (!m_parar) {
            pollfd espera{m_escucha, POLLIN, 0};
            if (::poll(&espera, 1, 20) <= 0) {
                continue;
            }
            const int cliente = ::accept(m_escucha, nullptr, nullptr);
            if (cliente < 0) {
                continue;
            }
            atenderCliente(cliente);
            ::close(cliente);
        }
    }

    void atenderCliente(int cliente) {
        QByteArray pedido;
        char bloque[4096];
        while (!pedido.contains("\r\n\r\n")) {
            pollfd espera{cliente, POLLIN, 0};
            if (::poll(&espera, 1, 2000) <= 0) {
                return;
            }
            const ssize_t leidos = ::recv(cliente, bloque, sizeof bloque, 0);
            if (leidos <= 0) {
                return;
            }
            pedido.append(bloque, leidos);
        }
        const QByteArray primeraLinea = pedido.left(pedido.indexOf("\r\n"));
        const QList<QByteArray> partes = primeraLinea.split(' ');
        const QByteArray destino = partes.size() >= 2 ? partes[1] : QByteArray();
        Respuesta respuesta;
        {
            std::lock_guard lock(m_mutex);
            m_pedidos << QString::fromLatin1(destino);
            if (m_responder) {
                respuesta = m_responder(destino);
            }
        }
        // Waits in short steps so that the destructor is never held up long.
        const auto hasta = std::chrono::steady_clock::now() + respuesta.demora;
        while (!m_parar && std::chrono::steady_clock::now() < hasta) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        QByteArray salida = "HTTP/1.1 " + QByteArray::number(respuesta.estado) + " X\r\n";
        salida += "Content-Type: " + respuesta.tipo + "\r\n";
        salida += "Content-Length: " + QByteArray::number(respuesta.cuerpo.size()) + "\r\n";
        salida += "Connection: close\r\n\r\n" + respuesta.cuerpo;
        ::send(cliente, salida.constData(), static_cast<size_t>(salida.size()), MSG_NOSIGNAL);
    }

    int m_escucha = -1;
    quint16 m_puerto = 0;
    std::atomic<bool> m_parar{false};
    mutable std::mutex m_mutex;
    Responder m_responder;
    QStringList m_pedidos;
    std::thread m_hilo;
};

} // namespace estaciones::test
