#include "platform/ui/QtOperatorInterface.h"

#include <QApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

using namespace estaciones::ui;

namespace {
// Runs `act` on the modal dialog once it is shown.
template <class Dialog, class Act> void whenShown(Act act) {
    QTimer::singleShot(0, [act] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* d = qobject_cast<Dialog*>(w); d && d->isVisible()) {
                act(d);
                return;
            }
        }
        ADD_FAILURE() << "dialog not shown";
    });
}

QStringList captions(QMessageBox* box) {
    QStringList list;
    for (QAbstractButton* b : box->buttons()) {
        list << b->text();
    }
    return list;
}
} // namespace

TEST(QtOperator, messageBoxShowsSpanishButtonsAndReturnsTheOriginalNumbers) {
    QtOperatorInterface op;
    QStringList seen;
    QString title;
    whenShown<QMessageBox>([&](QMessageBox* box) {
        seen = captions(box);
        title = box->windowTitle();
        for (QAbstractButton* b : box->buttons()) {
            if (b->text() == "&Reintentar") {
                b->click();
            }
        }
    });
    EXPECT_EQ(op.messageBox("¿Reintentar?", style::AbortRetryIgnore | style::Critical, "Aviso"),
              reply::Retry);
    EXPECT_TRUE(seen.contains("&Anular"));
    EXPECT_TRUE(seen.contains("&Omitir"));
    EXPECT_EQ(title, "Aviso");

    whenShown<QMessageBox>([&](QMessageBox* box) {
        title = box->windowTitle();
        for (QAbstractButton* b : box->buttons()) {
            if (b->text() == "&No") {
                b->click();
            }
        }
    });
    EXPECT_EQ(op.messageBox("¿Seguro?", style::YesNo, {}), reply::No);
    EXPECT_EQ(title, "Estaciones");
}

TEST(QtOperator, inputBoxReturnsTextOrNothingWhenCancelled) {
    QtOperatorInterface op;
    whenShown<QInputDialog>([](QInputDialog* d) {
        d->setTextValue("KELP@");
        d->accept();
    });
    EXPECT_EQ(op.inputBox("Clave", "Atencion", {}), QString("KELP@"));
    whenShown<QInputDialog>([](QInputDialog* d) { d->reject(); });
    EXPECT_FALSE(op.inputBox("Clave", "Atencion", {}));
}

TEST(QtOperator, fileFiltersAreTranslatedToQtForm) {
    EXPECT_EQ(toQtFileFilter("Base de Datos de Microsoft Access |*.MDB"),
              "Base de Datos de Microsoft Access (*.MDB)");
    EXPECT_EQ(toQtFileFilter("Textos|*.txt|Todos|*.*"), "Textos (*.txt);;Todos (*.*)");
}
