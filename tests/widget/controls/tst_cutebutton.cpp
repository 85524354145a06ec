#include "TCuteButton.h"

#include <QMenu>
#include <QSignalSpy>
#include <QTest>

using kelvos::Bevel;

namespace {
// A window with two buttons side by side, shown and active, so that the pointer and the
// focus can move between them.
struct Stage {
    Stage() {
        window.resize(200, 60);
        button = new TCuteButton(&window);
        button->setText("press");
        button->setGeometry(10, 10, 75, 25);
        other = new TCuteButton(&window);
        other->setGeometry(110, 10, 75, 25);
        window.show();
        window.activateWindow();
        if (!QTest::qWaitForWindowActive(&window))
            qFatal("the test window did not become active");
    }
    void pointTo(QWidget* target) { QTest::mouseMove(target, target->rect().center()); }

    QWidget window;
    TCuteButton* button;
    TCuteButton* other;
};

QMenu* menuWithItem(QWidget* parent, QSignalSpy*& chosen) {
    auto* menu = new QMenu(parent);
    QAction* item = menu->addAction("item");
    chosen = new QSignalSpy(item, &QAction::triggered);
    return menu;
}
} // namespace

class TestCuteButton : public QObject {
    Q_OBJECT
private slots:
    void hoverRaisesAndLeavingDrops_data() {
        QTest::addColumn<bool>("focused");
        QTest::addColumn<bool>("tabFocusUp");
        QTest::addColumn<int>("afterLeave");
        QTest::newRow("unfocused") << false << true << int(Bevel::None);
        QTest::newRow("focused, TabFocusUp on") << true << true << int(Bevel::Raised);
        QTest::newRow("focused, TabFocusUp off") << true << false << int(Bevel::None);
    }
    void hoverRaisesAndLeavingDrops() {
        QFETCH(bool, focused);
        QFETCH(bool, tabFocusUp);
        QFETCH(int, afterLeave);
        Stage stage;
        stage.button->setTabFocusUp(tabFocusUp);
        stage.pointTo(stage.other);
        (focused ? stage.button : stage.other)->setFocus();
        QCOMPARE(stage.button->innerBevel(), Bevel::Raised);
        stage.pointTo(stage.button);
        QTRY_COMPARE(stage.button->outerBevel(), Bevel::Raised);
        stage.pointTo(stage.other);
        QTRY_COMPARE(int(stage.button->outerBevel()), afterLeave);
        QCOMPARE(stage.button->innerBevel(), Bevel::Raised);
    }

    void pressAndReleaseOutsideDoesNotClick() {
        Stage stage;
        QSignalSpy clicked(stage.button, &QAbstractButton::clicked);
        QTest::mousePress(stage.button, Qt::LeftButton);
        QCOMPARE(stage.button->outerBevel(), Bevel::Lowered);
        QVERIFY(stage.button->hasFocus());
        QTest::mouseMove(stage.button, QPoint(150, 12));
        QTest::mouseRelease(stage.button, Qt::LeftButton, {}, QPoint(150, 12));
        QCOMPARE(clicked.count(), 0);
        QCOMPARE(stage.button->outerBevel(), Bevel::Raised); // focused, TabFocusUp on
    }

    void keysClickOnce_data() {
        QTest::addColumn<QList<int>>("keys"); // positive: press, negative: release
        QTest::addColumn<int>("clicks");
        QTest::newRow("Space") << QList<int>{Qt::Key_Space, -Qt::Key_Space} << 1;
        QTest::newRow("Space, then Tab before the release")
            << QList<int>{Qt::Key_Space, Qt::Key_Tab, -Qt::Key_Space} << 0;
        QTest::newRow("Space, then another key")
            << QList<int>{Qt::Key_Space, Qt::Key_A, -Qt::Key_Space} << 0;
        QTest::newRow("Enter") << QList<int>{Qt::Key_Return, -Qt::Key_Return} << 1;
    }
    void keysClickOnce() {
        QFETCH(QList<int>, keys);
        QFETCH(int, clicks);
        Stage stage;
        stage.button->setFocus();
        QSignalSpy clicked(stage.button, &QAbstractButton::clicked);
        for (int key : keys) {
            QWidget* focused = QApplication::focusWidget();
            if (key > 0)
                QTest::keyPress(focused, Qt::Key(key));
            else
                QTest::keyRelease(focused, Qt::Key(-key));
        }
        QCOMPARE(clicked.count(), clicks);
    }

    void heldKeyClicksOnce_data() {
        QTest::addColumn<int>("key");
        QTest::newRow("Enter") << int(Qt::Key_Return);
        QTest::newRow("Space") << int(Qt::Key_Space);
    }
    void heldKeyClicksOnce() {
        QFETCH(int, key);
        Stage stage;
        stage.button->setFocus();
        QSignalSpy clicked(stage.button, &QAbstractButton::clicked);
        const QString text = key == Qt::Key_Space ? " " : "\r";
        QTest::keyPress(stage.button, Qt::Key(key));
        for (int repeat = 0; repeat < 3; ++repeat) {
            QKeyEvent held(QEvent::KeyPress, key, Qt::NoModifier, text, true);
            QCoreApplication::sendEvent(stage.button, &held);
        }
        QTest::keyRelease(stage.button, Qt::Key(key));
        QCOMPARE(clicked.count(), 1);
    }

    // A click handler that lets pending events run while a second click waits.
    void clicksDuringTheHandler_data() {
        QTest::addColumn<bool>("egnoreContClick");
        QTest::addColumn<int>("handled");
        QTest::newRow("kept") << false << 2;
        QTest::newRow("discarded") << true << 1;
    }
    void clicksDuringTheHandler() {
        QFETCH(bool, egnoreContClick);
        QFETCH(int, handled);
        Stage stage;
        stage.button->setEgnoreContClick(egnoreContClick);
        int calls = 0;
        connect(stage.button, &QAbstractButton::clicked, stage.button, [&] {
            if (++calls > 1)
                return;
            const QPointF at = stage.button->rect().center();
            const QPointF global = stage.button->mapToGlobal(at);
            QCoreApplication::postEvent(stage.button,
                                        new QMouseEvent(QEvent::MouseButtonPress, at, global,
                                                        Qt::LeftButton, Qt::LeftButton, {}));
            QCoreApplication::postEvent(stage.button,
                                        new QMouseEvent(QEvent::MouseButtonRelease, at, global,
                                                        Qt::LeftButton, Qt::NoButton, {}));
            QCoreApplication::processEvents();
        });
        QTest::mouseClick(stage.button, Qt::LeftButton);
        QCoreApplication::processEvents();
        QCOMPARE(calls, handled);
    }

    void menuOpensOnPressWithoutClick_data() {
        QTest::addColumn<int>("press"); // 0: the left mouse button, else the key
        QTest::newRow("left button") << 0;
        QTest::newRow("Space") << int(Qt::Key_Space);
        QTest::newRow("Enter") << int(Qt::Key_Return);
    }
    void menuOpensOnPressWithoutClick() {
        QFETCH(int, press);
        Stage stage;
        QSignalSpy* chosen = nullptr;
        QMenu* menu = menuWithItem(&stage.window, chosen);
        stage.button->setDropDownMenu(menu);
        stage.button->setFocus();
        QSignalSpy clicked(stage.button, &QAbstractButton::clicked);
        if (press)
            QTest::keyPress(stage.button, Qt::Key(press));
        else
            QTest::mousePress(stage.button, Qt::LeftButton);
        QVERIFY(QTest::qWaitForWindowExposed(menu));
        QCOMPARE(menu->pos(), stage.button->mapToGlobal(QPoint(0, stage.button->height())));
        QAction* item = menu->actions().first();
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(item).center());
        QTRY_VERIFY(!menu->isVisible());
        if (press)
            QTest::keyRelease(stage.button, Qt::Key(press));
        QCOMPARE(chosen->count(), 1);
        QCOMPARE(clicked.count(), 0);
        QCOMPARE(stage.button->outerBevel(), Bevel::Raised);
        delete chosen;
    }

    void delayedMenuOpensOnlyWhenHeld() {
        Stage stage;
        QSignalSpy* chosen = nullptr;
        QMenu* menu = menuWithItem(&stage.window, chosen);
        stage.button->setDropDownMenu(menu);
        stage.button->setDropDownDelay(500);
        QSignalSpy clicked(stage.button, &QAbstractButton::clicked);
        QTest::mouseClick(stage.button, Qt::LeftButton);
        QCOMPARE(clicked.count(), 1); // a short press is a click
        QTest::mousePress(stage.button, Qt::LeftButton);
        QVERIFY(!menu->isVisible());
        QTRY_VERIFY(menu->isVisible()); // held: the delay opens the menu
        menu->close();
        QCOMPARE(clicked.count(), 1);
        delete chosen;
    }

    void marginsBelowMinusOneAreStoredAsMinusOne() {
        TCuteButton button;
        button.setMarginX(-7);
        button.setMarginY(-2);
        QCOMPARE(button.MarginX(), -1);
        QCOMPARE(button.MarginY(), -1);
    }

    void disabledFaceIsGreyWithEmbossedCaption() {
        TCuteButton button;
        button.setText("WWWW");
        button.setUseDisabledColor(true);
        button.setEnabled(false);
        const QImage face = button.grab().toImage();
        QCOMPARE(face.pixelColor(4, 4), QColor(128, 128, 128));
        const QColor light = button.palette().color(QPalette::Light);
        const QColor dark = button.palette().color(QPalette::Dark);
        bool lightSeen = false, darkSeen = false;
        const QRect caption = button.captionRect();
        for (int y = caption.top(); y <= caption.bottom(); ++y) {
            for (int x = caption.left(); x <= caption.right(); ++x) {
                lightSeen |= face.pixelColor(x, y) == light;
                darkSeen |= face.pixelColor(x, y) == dark;
            }
        }
        QVERIFY(lightSeen && darkSeen);
    }
};

QTEST_MAIN(TestCuteButton)
#include "tst_cutebutton.moc"
