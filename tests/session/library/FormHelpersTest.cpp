#include "session/library/FieldNavigation.h"
#include "session/library/FormFields.h"
#include "session/library/WindowPreparation.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

#include <gtest/gtest.h>

using namespace estaciones;

namespace {

// A small registration form: the three boxes of the array "Txtfields", a
// disabled box outside the array and a button, in focus order.
class Form : public ::testing::Test {
protected:
    void SetUp() override {
        auto* layout = new QVBoxLayout(&window);
        const char* fields[] = {"Codigo", "Descripcion", "Precio"};
        // Created out of order: the array order comes from "index".
        for (int index : {2, 0, 1}) {
            auto* box = new QLineEdit(&window);
            box->setObjectName("Txtfields");
            box->setProperty(library::arrayIndexProperty, index);
            box->setProperty(library::fieldNameProperty, fields[index]);
            boxes[index] = box;
        }
        for (QLineEdit* box : boxes) {
            layout->addWidget(box);
        }
        disabled = new QLineEdit(&window);
        disabled->setEnabled(false);
        layout->addWidget(disabled);
        button = new QPushButton("[F2] &Alta", &window);
        layout->addWidget(button);
        QWidget::setTabOrder(boxes[0], boxes[1]);
        QWidget::setTabOrder(boxes[1], boxes[2]);
        QWidget::setTabOrder(boxes[2], disabled);
        QWidget::setTabOrder(disabled, button);
        for (QLineEdit* box : boxes) {
            box->installEventFilter(&navigation);
        }
        window.show();
        QApplication::setActiveWindow(&window);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    void TearDown() override { window.close(); }

    QWidget window;
    QLineEdit* boxes[3] = {};
    QLineEdit* disabled = nullptr;
    QPushButton* button = nullptr;
    library::FieldNavigation navigation;
};

} // namespace

TEST_F(Form, shouldFindTheBoxesOfAnArrayByFieldName) {
    const QList<QLineEdit*> array = library::controlArray(window, "Txtfields");
    ASSERT_EQ(array.size(), 3);
    EXPECT_EQ(array[0], boxes[0]);
    EXPECT_EQ(array[2], boxes[2]);
    EXPECT_EQ(library::findFieldBox(array, "Descripcion"), boxes[1]);
    EXPECT_EQ(library::findFieldBox(array, "PRECIO"), boxes[2]);
    EXPECT_EQ(library::findFieldBox(array, "Stock"), nullptr);
    EXPECT_TRUE(library::controlArray(window, "Otro").isEmpty());
}

TEST_F(Form, shouldAdvanceOnEnterAndDownButNotOnOtherKeys) {
    boxes[0]->setFocus();
    QTest::keyClick(boxes[0], Qt::Key_Return);
    EXPECT_TRUE(boxes[1]->hasFocus());
    QTest::keyClick(boxes[1], Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_TRUE(boxes[2]->hasFocus());

    boxes[0]->setFocus();
    QTest::keyClicks(boxes[0], "779");
    QTest::keyClick(boxes[0], Qt::Key_Return, Qt::ControlModifier);
    EXPECT_TRUE(boxes[0]->hasFocus());
    EXPECT_EQ(boxes[0]->text(), "779");
    QTest::keyClick(boxes[0], Qt::Key_Down);
    EXPECT_TRUE(boxes[1]->hasFocus());
}

TEST_F(Form, shouldSkipDisabledWidgetsWhenMovingOn) {
    boxes[2]->setFocus();
    QTest::keyClick(boxes[2], Qt::Key_Return);
    EXPECT_TRUE(button->hasFocus());
}

TEST_F(Form, shouldClassifyFieldAdvanceKeys) {
    const auto key = [](int code, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        return QKeyEvent(QEvent::KeyPress, code, modifiers);
    };
    EXPECT_TRUE(library::isFieldAdvanceKey(key(Qt::Key_Return)));
    EXPECT_TRUE(library::isFieldAdvanceKey(key(Qt::Key_Enter, Qt::KeypadModifier)));
    EXPECT_TRUE(library::isFieldAdvanceKey(key(Qt::Key_Down)));
    EXPECT_FALSE(library::isFieldAdvanceKey(key(Qt::Key_Tab))); // Qt moves on by itself
    EXPECT_FALSE(library::isFieldAdvanceKey(key(Qt::Key_F2)));
    EXPECT_FALSE(library::isFieldAdvanceKey(key(Qt::Key_Return, Qt::AltModifier)));
}

TEST(WindowCall, shouldCentreTheWindowAndKeepItOnScreen) {
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    QWidget window;
    window.resize(300, 200);
    window.move(0, 0);
    library::prepareWindow(window);
    EXPECT_LE(std::abs(window.frameGeometry().center().x() - available.center().x()), 1);
    EXPECT_LE(std::abs(window.frameGeometry().center().y() - available.center().y()), 1);

    QWidget huge;
    huge.resize(available.width() * 2, available.height() * 2);
    library::prepareWindow(huge, false);
    EXPECT_LE(huge.width(), available.width());
    EXPECT_LE(huge.height(), available.height());
}

TEST(WindowCall, shouldLeaveThePlaceAloneWhenNotCentring) {
    QWidget window;
    window.resize(200, 100);
    window.move(17, 23);
    library::prepareWindow(window, false);
    EXPECT_EQ(window.pos(), QPoint(17, 23));
}
