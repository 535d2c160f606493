#include "platform/http/HttpGet.h"
#include "support/ServidorHttp.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

using namespace estaciones;
using namespace estaciones::http;
using namespace std::chrono_literals;
using Respuesta = test::ServidorHttp::Respuesta;

TEST(HttpGet, shouldReturnBodyStatusAndTypeOfA2xxAnswer) {
    test::ServidorHttp servidor;
    servidor.responder(Respuesta{200, "{\"Descripcion\":\"Té\"}", "application/json", 0ms});
    const HttpResponse r = httpGet(servidor.base() + "ws/x?a=1", 5s);
    EXPECT_TRUE(r.ok()) << r.errorText.toStdString();
    EXPECT_EQ(r.status, 200);
    EXPECT_EQ(r.contentType, "application/json");
    EXPECT_EQ(r.text(), QStringLiteral("{\"Descripcion\":\"Té\"}"));
    EXPECT_EQ(servidor.pedidos(), QStringList{"/ws/x?a=1"});
}

TEST(HttpGet, shouldReportAnErrorStatusButKeepTheBody) {
    test::ServidorHttp servidor;
    servidor.responder(Respuesta{500, "fallo interno", "text/plain", 0ms});
    const HttpResponse r = httpGet(servidor.base(), 5s);
    EXPECT_EQ(r.outcome, HttpOutcome::HttpStatus);
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.status, 500);
    EXPECT_EQ(r.body, "fallo interno");
    EXPECT_FALSE(r.errorText.isEmpty());
}

TEST(HttpGet, shouldReportARefusedConnectionWithoutWaitingForTheTimeout) {
    QElapsedTimer reloj;
    reloj.start();
    const HttpResponse r = httpGet(test::ServidorHttp::baseSinServicio(), 10s);
    EXPECT_EQ(r.outcome, HttpOutcome::ConnectionFailed);
    EXPECT_EQ(r.status, 0);
    EXPECT_FALSE(r.errorText.isEmpty());
    EXPECT_LT(reloj.elapsed(), 5000);
}

TEST(HttpGet, shouldGiveUpOnASlowServerAtTheTimeout) {
    test::ServidorHttp servidor;
    servidor.responder(Respuesta{200, "tarde", "text/plain", 3000ms});
    QElapsedTimer reloj;
    reloj.start();
    const HttpResponse r = httpGet(servidor.base(), 300ms);
    EXPECT_EQ(r.outcome, HttpOutcome::Timeout);
    EXPECT_LT(reloj.elapsed(), 2500);
}

TEST(HttpGet, shouldRefuseSchemesOtherThanHttp) {
    EXPECT_EQ(httpGet(QStringLiteral("file:///etc/hostname"), 1s).outcome, HttpOutcome::InvalidUrl);
    EXPECT_EQ(httpGet(QStringLiteral("not an url at all"), 1s).outcome == HttpOutcome::Ok, false);
}

TEST(HttpGet, shouldDecodeTheBodyByCharsetThenByUtf8Validity) {
    HttpResponse r;
    r.body = QByteArray("Pa\xf1o", 4); // Latin-1 "Paño", not valid UTF-8
    EXPECT_EQ(r.text(), QStringLiteral("Paño"));
    r.body = QByteArray("Pa\xc3\xb1o");
    EXPECT_EQ(r.text(), QStringLiteral("Paño"));
    r.contentType = QStringLiteral("text/plain; charset=ISO-8859-1");
    EXPECT_EQ(r.text(), QStringLiteral("PaÃ±o")) << "the declared charset wins";
}
