#include "AppFixture.h"

#include <QCheckBox>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>

namespace {
using Hotkeys = std::set<int>;

const QStringList kRunButtons{"start", "stop", "CuteButton1", "CuteButton2", "LAP",
                              "LAP2",  "LAP3", "Lapread",     "Clipread",    "Real"};

QStringList enabledRunButtons(const AppFixture& app) {
    QStringList enabled;
    for (const QString& name : kRunButtons)
        if (app.enabled(name.toLatin1().constData()))
            enabled << name;
    return enabled;
}

QColor fontColor(const AppFixture& app, const char* label) {
    return app.control<QLabel>(label)->palette().color(QPalette::WindowText);
}
} // namespace

class TestRunControl : public QObject {
    Q_OBJECT
private slots:
    void idleAfterShowing() {
        AppFixture app;
        QVERIFY(!app.window->isRunning());
        QCOMPARE(enabledRunButtons(app), QStringList({"start", "CuteButton2"}));
        QCOMPARE(app.registeredHotkeys(), Hotkeys({1}));
        QCOMPARE(app.text("Label1"), QString("00:00:00:000")); // the first refresh has run
        QCOMPARE(app.window->size(), QSize(1020, 763));
        QVERIFY(app.control("start")->hasFocus());
    }

    // Only a running watch refreshes at 20 ms; otherwise one tick at the turn of each second
    // keeps the wall clock of the title current and nothing else wakes.
    void refreshTimersFollowTheRun() {
        AppFixture app;
        auto* refresh = app.window->findChild<QTimer*>("Timer1");
        auto* taskbar = app.window->findChild<QTimer*>("Timer2");
        const auto idleTimers = [&] {
            return refresh->isActive() && refresh->isSingleShot() &&
                   refresh->remainingTime() <= 1000 && !taskbar->isActive();
        };
        QVERIFY(idleTimers());
        app.click("start");
        QVERIFY(refresh->isActive() && !refresh->isSingleShot());
        QCOMPARE(refresh->interval(), 20);
        QVERIFY(taskbar->isActive());
        app.click("stop");
        QVERIFY(idleTimers());
        app.wallClock = app.wallClock.addSecs(1);
        QTRY_VERIFY_WITH_TIMEOUT(app.window->windowTitle().contains("12:34:57"), 1500);
        QVERIFY(idleTimers());
    }

    // Every transition of the run states: the buttons, the live hotkeys and the sounds.
    void transitions_data() {
        QTest::addColumn<QStringList>("commands");
        QTest::addColumn<QStringList>("enabledAfter");
        QTest::addColumn<Hotkeys>("hotkeysAfter");
        QTest::addColumn<QStringList>("soundsOfLast");
        const QStringList running{"stop", "LAP", "LAP2", "LAP3", "Lapread", "Clipread", "Real"};
        const QStringList stopped{"start", "CuteButton1", "CuteButton2"};
        QTest::newRow("idle -> running")
            << QStringList{"start"} << running << Hotkeys{2, 5, 6, 7} << QStringList{"goo.wav"};
        // A stop writes the automatic Mix file, signalled by "po.wav", then sounds "pipi.wav".
        QTest::newRow("running -> stopped")
            << QStringList{"start", "stop"} << stopped << Hotkeys{1, 3, 4}
            << QStringList{"po.wav", "pipi.wav"};
        QTest::newRow("stopped -> running by restart")
            << QStringList{"start", "stop", "CuteButton1"} << running << Hotkeys{2, 5, 6, 7}
            << QStringList{"goo.wav"};
        QTest::newRow("stopped -> cleared, silent")
            << QStringList{"start", "stop", "CuteButton2"} << QStringList{"start", "CuteButton2"}
            << Hotkeys{1, 4} << QStringList{};
        QTest::newRow("cleared -> cleared sounds")
            << QStringList{"start", "stop", "CuteButton2", "CuteButton2"}
            << QStringList{"start", "CuteButton2"} << Hotkeys{1, 4}
            << QStringList{"pi.wav", "po.wav"};
        QTest::newRow("idle -> cleared, silent")
            << QStringList{"CuteButton2"} << QStringList{"start", "CuteButton2"} << Hotkeys{1}
            << QStringList{};
        QTest::newRow("stopped -> running by start")
            << QStringList{"start", "stop", "start"} << running << Hotkeys{2, 5, 6, 7}
            << QStringList{"goo.wav"};
    }
    void transitions() {
        QFETCH(QStringList, commands);
        QFETCH(QStringList, enabledAfter);
        QFETCH(Hotkeys, hotkeysAfter);
        QFETCH(QStringList, soundsOfLast);
        AppFixture app;
        for (const QString& command : commands) {
            app.heard();
            app.click(command.toLatin1().constData());
            app.advance(1000);
        }
        QCOMPARE(enabledRunButtons(app), enabledAfter);
        QCOMPARE(app.registeredHotkeys(), hotkeysAfter);
        QCOMPARE(app.heard(), soundsOfLast);
    }

    // Loading files and copying one competitor's laps wait while the watch runs.
    void fileCommandsFollowTheRun() {
        AppFixture app;
        const QStringList files{"CuteButton20", "CuteButton39", "CuteButton35", "CuteButton36",
                                "CuteButton37"};
        const auto enabledOf = [&app](const QStringList& names) {
            QStringList on;
            for (const QString& name : names)
                if (app.enabled(name.toLatin1().constData()))
                    on << name;
            return on;
        };
        QCOMPARE(enabledOf(files), QStringList({"CuteButton20", "CuteButton39"}));
        app.click("start");
        QCOMPARE(enabledOf(files + QStringList{"CuteButton4"}), QStringList());
        QVERIFY(app.enabled("SAVE")); // saving is always possible
        app.click("stop");
        QCOMPARE(enabledOf(files), files);
        QCOMPARE(enabledOf({"CuteButton22", "CuteButton24", "CuteButton29"}),
                 QStringList({"CuteButton22", "CuteButton24", "CuteButton29"}));
        app.click("CuteButton1");
        QCOMPARE(enabledOf(files + QStringList{"CuteButton22", "CuteButton24"}), QStringList());
    }

    void stopFreezesAndFirstResetKeepsTheTotal() {
        AppFixture app;
        app.click("start");
        app.advance(83045);
        app.click("stop");
        app.advance(5000);
        QCOMPARE(app.text("Label1"), QString("00:01:23:045"));
        app.click("CuteButton2");
        QCOMPARE(app.text("Label1"), QString("00:01:23:045"));
        QCOMPARE(app.text("Label3"), QString("00:01:23:045"));
        app.click("CuteButton2");
        app.advance(20);
        QCOMPARE(app.text("Label1"), QString("00:00:00:000"));
        QCOMPARE(app.window->stopWatch().GetElapsed(), 0);
    }

    void restartContinuesTheRunWithoutThePause() {
        AppFixture app;
        app.click("start");
        app.advance(1500);
        app.click("stop");
        app.advance(5000);
        app.click("CuteButton1");
        app.advance(1000);
        QCOMPARE(app.window->stopWatch().GetElapsed(), 2500);
        QCOMPARE(app.text("Label1"), QString("00:00:02:500"));
    }

    void startAfterStopBeginsANewRunFromZero() {
        AppFixture app;
        app.click("start");
        app.advance(4000);
        app.click("stop");
        app.heard();
        app.click("start");
        QCOMPARE(app.heard(), QStringList{"goo.wav"}); // the implicit reset is silent
        app.advance(300);
        QCOMPARE(app.window->stopWatch().GetElapsed(), 300);
        QCOMPARE(app.text("Label11"), QString("0"));
    }

    void stopKeyOffKeepsTheStopHotkeyOff() {
        AppFixture app;
        app.control<QCheckBox>("CheckBox5")->setChecked(true);
        app.click("start");
        QCOMPARE(app.registeredHotkeys(), Hotkeys({5, 6, 7}));
        app.click("stop");
        app.click("CuteButton1");
        QCOMPARE(app.registeredHotkeys(), Hotkeys({5, 6, 7}));
    }

    void hotkeyLabelsShowWhatIsLive() {
        AppFixture app;
        app.click("start");
        QCOMPARE(fontColor(app, "Label8"), QColor(255, 108, 38));   // stop: live
        QCOMPARE(fontColor(app, "Label19"), QColor(164, 125, 134)); // start: off
        QCOMPARE(fontColor(app, "Label20"), QColor(226, 234, 221)); // lap 1: live
    }

    void refusedHotkeyIsNotShownLive_data() {
        QTest::addColumn<int>("refuser");
        QTest::addColumn<QString>("reason");
        QTest::newRow("another program")
            << int(kelvos::HotkeyBackend::Refuser::OtherProgram) << "Another program holds";
        QTest::newRow("the desktop")
            << int(kelvos::HotkeyBackend::Refuser::Desktop) << "The desktop has not granted";
    }
    void refusedHotkeyIsNotShownLive() {
        QFETCH(int, refuser);
        QFETCH(QString, reason);
        AppFixture app;
        app.hotkeys.setRefuser(kelvos::HotkeyBackend::Refuser(refuser));
        app.hotkeys.refuse(0x28); // the Down arrow
        app.click("start");
        QVERIFY(!app.window->isHotkeyRegistered(kelvos::Hotkey::Stop));
        QCOMPARE(fontColor(app, "Label8"), QColor(164, 125, 134));
        // Told once, without a modal box, naming the key.
        const auto messages = [&app] {
            return app.window->findChildren<QMessageBox*>("problemMessage");
        };
        QCOMPARE(messages().size(), 1);
        const QString text = messages().first()->text();
        QVERIFY2(text.contains("stop (Down)") && text.startsWith(reason), qPrintable(text));
        QVERIFY(!messages().first()->isModal());
        app.click("stop");
        app.click("start");
        QCOMPARE(messages().size(), 1);
    }

    void hotkeysRunTheCommands() {
        AppFixture app;
        QVERIFY(app.hotkeys.press(0x26)); // Up: start
        QVERIFY(app.window->isRunning());
        app.advance(700);
        QVERIFY(app.hotkeys.press(0x28)); // Down: stop
        QVERIFY(!app.window->isRunning());
        QCOMPARE(app.window->stopWatch().GetElapsed(), 700);
    }

    void okAndDelButtonsRegisterTheirRow() {
        AppFixture app;
        app.click("CuteButton10"); // OK of lap 2
        app.click("CuteButton13"); // Del of stop
        QCOMPARE(app.registeredHotkeys(), Hotkeys({1, 6}));
        app.click("CuteButton30");
        QCOMPARE(app.registeredHotkeys(), Hotkeys({1, 2, 3, 4, 5, 6, 7}));
        app.click("CuteButton31");
        QCOMPARE(app.registeredHotkeys(), Hotkeys({}));
        QCOMPARE(fontColor(app, "Label19"), QColor(164, 125, 134));
    }

    void refusedOkTellsTheOperatorAndTheWatchGoesOn() {
        AppFixture app;
        app.hotkeys.refuse(0x62); // keypad 2, held by another program
        app.click("CuteButton10");
        QVERIFY(!app.window->isHotkeyRegistered(kelvos::Hotkey::Lap2));
        auto* message = app.window->findChild<QMessageBox*>("problemMessage");
        QVERIFY(message);
        QVERIFY2(message->text().contains("Num 2"), qPrintable(message->text()));
        QVERIFY(!message->isModal());
        app.click("start");
        QVERIFY(app.window->isRunning());
    }

    void stopKeyOffBoxActsAtOnceInAnyState() {
        AppFixture app;
        app.click("start");
        auto* box = app.control<QCheckBox>("CheckBox5");
        box->click();
        QCOMPARE(app.registeredHotkeys(), Hotkeys({5, 6, 7}));
        box->click();
        QCOMPARE(app.registeredHotkeys(), Hotkeys({2, 5, 6, 7}));
    }

    void clickOnLapTimeStopsInAnyState() {
        AppFixture app;
        app.click("start");
        app.advance(1200);
        QTest::mouseClick(app.control("Label2"), Qt::LeftButton);
        QVERIFY(!app.window->isRunning());
        QCOMPARE(app.window->stopWatch().GetElapsed(), 1200);
        QTest::mouseClick(app.control("Label2"), Qt::LeftButton); // stopped: stays stopped
        QCOMPARE(app.registeredHotkeys(), Hotkeys({1, 3, 4}));
    }

    // Only a release over the label is a click: a press dragged away, or a release of another
    // button, leaves the watch running.
    void pressOnLapTimeDraggedAwayDoesNotStop() {
        AppFixture app;
        app.click("start");
        QWidget* label = app.control("Label2");
        QTest::mousePress(label, Qt::LeftButton);
        QTest::mouseRelease(label, Qt::LeftButton, {}, QPoint(label->width() + 20, 5));
        QVERIFY(app.window->isRunning());
        QTest::mousePress(label, Qt::RightButton);
        QTest::mouseRelease(label, Qt::RightButton);
        QVERIFY(app.window->isRunning());
    }

    void enterAndSpaceOnTheFocusedButton() {
        AppFixture app;
        QTest::keyClick(app.window.get()->focusWidget(), Qt::Key_Return);
        QVERIFY(app.window->isRunning());
        QVERIFY(app.control("LAP")->hasFocus());
        app.click("stop");
        QVERIFY(app.control("start")->hasFocus());
        QTest::keyClick(app.control("start"), Qt::Key_Space);
        QVERIFY(app.window->isRunning());
    }

    void runningLapMirrorsTheTotalBeforeTheFirstLap() {
        AppFixture app;
        app.click("start");
        app.advance(61040);
        QCOMPARE(app.text("Label3"), app.text("Label1"));
        QCOMPARE(app.text("Label1"), QString("00:01:01:040"));
    }

    void voiceOffBeepsOnceForEachCommand() {
        AppFixture app;
        app.control<QCheckBox>("CheckBox6")->setChecked(false);
        app.heard();
        app.click("start");
        app.click("stop");
        app.click("CuteButton2");
        app.click("CuteButton2");
        // start; stop (the automatic file, then the stop); the silent reset; the second reset
        QCOMPARE(app.heard(), QStringList({"beep", "beep", "beep", "beep"}));
    }

    void titleForms() {
        AppFixture app;
        app.click("start");
        app.advance(3723004);
        const QString plain = app.window->windowTitle();
        QVERIFY2(plain.startsWith("01:02:03:004 :: "), qPrintable(plain));
        QVERIFY2(plain.contains(" ::  0 : 0"), qPrintable(plain));
        app.control<QCheckBox>("CheckBox8")->setChecked(true);
        app.advance(1);
        const QString dated = app.window->windowTitle();
        QVERIFY2(dated.startsWith("DATE="), qPrintable(dated));
        QVERIFY2(dated.endsWith(" ; LAP0=00:00:00:000 ; TOTAL=01:02:03:005"), qPrintable(dated));
    }
};

QTEST_MAIN(TestRunControl)
#include "tst_run_control.moc"
