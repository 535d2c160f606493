// Build tool: turns a Markdown page of docs/ into the HTML page that the
// program's help opens in the system's browser.
//
//   estaciones-pagina-ayuda entrada.md salida.html "Título"
#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QTextDocument>

#include <cstdio>

int main(int argc, char** argv) {
    // No screen is needed to lay out text; builds run without one.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    const QStringList argumentos = QGuiApplication::arguments();
    if (argumentos.size() != 4) {
        std::fputs("Uso: estaciones-pagina-ayuda entrada.md salida.html titulo\n", stderr);
        return 2;
    }
    QFile entrada(argumentos[1]);
    if (!entrada.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "No se puede leer %s\n", qPrintable(argumentos[1]));
        return 1;
    }
    QTextDocument documento;
    // The page's letter as a browser shows text, not the build machine's.
    QFont letra(QStringLiteral("sans-serif"), 12);
    letra.setStyleHint(QFont::SansSerif);
    documento.setDefaultFont(letra);
    documento.setMarkdown(QString::fromUtf8(entrada.readAll()),
                          QTextDocument::MarkdownDialectGitHub);
    documento.setMetaInformation(QTextDocument::DocumentTitle, argumentos[3]);
    QFile salida(argumentos[2]);
    if (!salida.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        std::fprintf(stderr, "No se puede escribir %s\n", qPrintable(argumentos[2]));
        return 1;
    }
    const QByteArray html = documento.toHtml().toUtf8();
    return salida.write(html) == html.size() ? 0 : 1;
}
