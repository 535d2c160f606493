#include "platform/ui/QtOperatorInterface.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
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

TEST(QtOperator, saveFileShowsQtsOwnDialogInSpanishAtTheSuggestedFile) {
    installSpanishTranslations(*QCoreApplication::instance());
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    QString title;
    QStringList filters;
    QString directory;
    QString preselected;
    QString acceptCaption;
    bool saving = false;
    whenShown<QFileDialog>([&](QFileDialog* d) {
        title = d->windowTitle();
        filters = d->nameFilters();
        directory = d->directory().absolutePath();
        saving = d->acceptMode() == QFileDialog::AcceptSave;
        if (auto* box = d->findChild<QDialogButtonBox*>()) {
            if (QPushButton* save = box->button(QDialogButtonBox::Save)) {
                acceptCaption = save->text();
            }
        }
        auto* name = d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(name, nullptr);
        preselected = name->text();
        // The operator types another name over it and presses Enter.
        QTest::keyClick(name, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(name, QStringLiteral("nuevo"));
        QTest::keyClick(name, Qt::Key_Return);
    });
    QtOperatorInterface op;
    const std::optional<QString> path =
        op.saveFile(QStringLiteral("Guardar PDF"), QStringLiteral("Documentos PDF|*.pdf"),
                    folder.filePath(QStringLiteral("Calendario-2025.pdf")));
    EXPECT_EQ(title, QStringLiteral("Guardar PDF"));
    EXPECT_EQ(filters, QStringList{QStringLiteral("Documentos PDF (*.pdf)")});
    EXPECT_EQ(directory, QDir(folder.path()).absolutePath());
    EXPECT_EQ(preselected, QStringLiteral("Calendario-2025.pdf"));
    EXPECT_TRUE(saving);
    EXPECT_EQ(acceptCaption, QStringLiteral("&Guardar"));
    // The filter's extension is added to a name typed without one.
    EXPECT_EQ(path, folder.filePath(QStringLiteral("nuevo.pdf")));

    whenShown<QFileDialog>([](QFileDialog* d) { d->reject(); });
    EXPECT_FALSE(op.saveFile(QStringLiteral("Guardar PDF"), QStringLiteral("Documentos PDF|*.pdf"),
                             folder.filePath(QStringLiteral("x.pdf"))));
}
