#include "TCuteButton.h"

#include <QApplication>
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

    // Each road a key takes to the button, held: the first press clicks, its repeats do not.
    void heldKeyClicksOnce_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::newRow("Enter") << int(Qt::Key_Return) << int(Qt::NoModifier);
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << int(Qt::KeypadModifier);
        QTest::newRow("Space") << int(Qt::Key_Space) << int(Qt::NoModifier);
        QTest::newRow("accelerator") << int(Qt::Key_P) << int(Qt::AltModifier);
    }
    void heldKeyClicksOnce() {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        Stage stage;
        stage.button->setText("&press");
        stage.other->setFocus();
        if (modifiers != Qt::AltModifier)
            stage.button->setFocus();
        QSignalSpy clicked(stage.button, &QAbstractButton::clicked);
        QWidget* focused = QApplication::focusWidget();
        const auto mods = Qt::KeyboardModifiers(modifiers);
        const QString text = key == Qt::Key_Space ? " " : key == Qt::Key_P ? "p" : "\r";
        for (int press = 0; press < 4; ++press)
            QTest::simulateEvent(focused, true, key, mods, text, press > 0);
        QTest::simulateEvent(focused, false, key, mods, text, false);
        QCOMPARE(clicked.count(), 1);
    }

    void heldEnterOpensTheMenuAndChoosesNothing() {
        Stage stage;
        QSignalSpy* chosen = nullptr;
        QMenu* menu = menuWithItem(&stage.window, chosen);
        stage.button->setDropDownMenu(menu);
        stage.button->setFocus();
        QTest::keyPress(stage.button, Qt::Key_Return);
        QVERIFY(QTest::qWaitForWindowExposed(menu));
        menu->setActiveAction(menu->actions().first());
        for (int repeat = 0; repeat < 3; ++repeat)
            QTest::simulateEvent(menu, true, Qt::Key_Return, Qt::NoModifier, "\r", true);
        QCOMPARE(chosen->count(), 0);
        QVERIFY(menu->isVisible());
        menu->close();
        delete chosen;
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
