// A bare Qt main window with a status bar: shown, and closed as soon as the
// event loop has painted it, as the program is with ESTACIONES_SALIR_TRAS_INICIO=0.
#include <QApplication>
#include <QMainWindow>
#include <QStatusBar>
#include <QTimer>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow ventana;
    ventana.statusBar()->showMessage(QStringLiteral("Listo"));
    ventana.resize(800, 600);
    ventana.show();
    QTimer::singleShot(0, &ventana, &QWidget::close);
    return QApplication::exec();
}
