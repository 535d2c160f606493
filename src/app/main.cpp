#include "platform/ui/QtOperatorInterface.h"

#include <QApplication>
#include <QDate>
#include <QLocale>
#include <QMainWindow>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Estaciones"));
    QApplication::setApplicationVersion(QStringLiteral(ESTACIONES_VERSION));
    estaciones::ui::installSpanishTranslations(app);

    estaciones::ui::QtOperatorInterface operatorInterface;
    estaciones::ui::setOperatorInterface(&operatorInterface);

    // The calendar window R; its caption is today's long date in the
    // system's regional format.
    QMainWindow window;
    window.setObjectName(QStringLiteral("R"));
    window.setWindowTitle(QLocale::system().toString(QDate::currentDate(), QLocale::LongFormat));
    window.resize(1000, 640);
    window.show();
    return QApplication::exec();
}
