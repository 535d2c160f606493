#include "platform/http/HttpUrl.h"
#include "platform/http/HttpGet.h"
#include "support/ServidorHttp.h"

#include <QUrlQuery>

#include <gtest/gtest.h>

using namespace estaciones;
using namespace estaciones::http;
using namespace std::chrono_literals;

TEST(HttpUrl, shouldJoinBaseAndPathWithExactlyOneSlash) {
    EXPECT_EQ(urlWithQuery("http://h:8080", "ws/inicio.php", {}), "http://h:8080/ws/inicio.php");
    EXPECT_EQ(urlWithQuery("http://h/", "ws/inicio.php", {}), "http://h/ws/inicio.php");
    EXPECT_EQ(urlWithQuery("http://h/", "/ws/inicio.php", {}), "http://h/ws/inicio.php");
    EXPECT_EQ(urlWithQuery(" http://h/base/ ", "ws", {{"a", "1"}, {"b", "2"}}),
              "http://h/base/ws?a=1&b=2");
}

TEST(HttpUrl, shouldEncodeCharactersThatWouldChangeTheQuery) {
    EXPECT_EQ(encodeQueryValue("a&b=c d#e+f"), "a%26b%3Dc%20d%23e%2Bf");
    EXPECT_EQ(encodeQueryValue("Año 'x'"), "A%C3%B1o%20%27x%27");
    EXPECT_EQ(encodeQueryValue("abc-_.~9"), "abc-_.~9");
}

// What the server decodes is what was given, whatever it holds.
TEST(HttpUrl, shouldDeliverHostileValuesIntactToARealServer) {
    test::ServidorHttp servidor;
    servidor.responder(test::ServidorHttp::Respuesta{});
    const QString desc = QStringLiteral("Té & café=1 #2 ?x 50% O'Neil");
    const HttpResponse r = httpGet(
        urlWithQuery(servidor.base(), "ws/inicio.php", {{"opcion", "InsCodigo"}, {"desc", desc}}),
        5s);
    ASSERT_TRUE(r.ok()) << r.errorText.toStdString();
    ASSERT_EQ(servidor.pedidos().size(), 1);
    const QString destino = servidor.pedidos().first();
    ASSERT_TRUE(destino.startsWith("/ws/inicio.php?"));
    const QUrlQuery consulta(destino.mid(destino.indexOf('?') + 1));
    EXPECT_EQ(consulta.queryItems(QUrl::FullyDecoded),
              (QList<std::pair<QString, QString>>{{"opcion", "InsCodigo"}, {"desc", desc}}));
}
