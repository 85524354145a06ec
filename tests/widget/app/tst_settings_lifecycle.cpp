#include "AppFixture.h"
#include "CommaText.h"
#include "THotKey.h"
#include "TextGrid.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QScrollBar>
#include <QTimer>
#include <sys/stat.h>

namespace {
bool checked(const AppFixture& app, const char* box) {
    return app.control<QCheckBox>(box)->isChecked();
}

QAction* menuItem(const AppFixture& app, const char* name) {
    return app.control<QMenu>("PopupMenu2")->findChild<QAction*>(name);
}

// Closes the window as the operator does; returns the messages left on the screen. None of
// them may be modal: a modal box would keep the closing window's process waiting.
QStringList closeWindow(AppFixture& app) {
    app.window->close();
    if (QApplication::activeModalWidget())
        qFatal("a modal box stands at close");
    QStringList messages;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<QMessageBox*>(window); box && box->isVisible())
            messages << box->text();
    return messages;
}

// Settings are saved this long after a change in these tests, instead of seconds.
QTimer* shortenSavePause(const AppFixture& app) {
    auto* timer = app.window->findChild<QTimer*>("SettingsSaveTimer");
    if (!timer)
        qFatal("no settings save timer");
    timer->setInterval(20);
    return timer;
}

int problemsShown(const AppFixture& app) {
    int shown = 0;
    for (auto* box : app.window->findChildren<QMessageBox*>("problemMessage"))
        shown += box->isVisible();
    return shown;
}

const char* const kBoxes[] = {"CheckBox1", "CheckBox5",  "CheckBox6",  "CheckBox7",  "CheckBox8",
                              "CheckBox9", "CheckBox10", "CheckBox11", "CheckBox12", "DCheck1"};
} // namespace

class TestSettingsLifecycle : public QObject {
    Q_OBJECT
private slots:
    void firstStartWithoutSettings() {
        AppFixture app;
        QStringList on;
        for (const char* box : kBoxes)
            if (checked(app, box))
                on << box;
        QCOMPARE(on, QStringList({"CheckBox6", "CheckBox12"})); // "Voice" and "AutoScroll"
        QCOMPARE(app.control<QComboBox>("ComboBox1")->currentText(), QString("10"));
        QCOMPARE(app.registeredHotkeys(), std::set<int>({1}));
        QCOMPARE(app.control<THotKey>("HotKey2")->shortcut(), quint16(0x28));
        QCOMPARE(app.heard(), QStringList()); // no start-up jingle
        QCOMPARE(app.control<QScrollBar>("ScrollBar3")->value(), 350);
        QCOMPARE(app.control<QScrollBar>("ScrollBar1")->value(), 500);
    }

    // "J" is restored after "ClipE", and its rule unchecks "ClipE" (and "Voice").
    void clipEAndJBothSaved() {
        AppFixture app(AppFixture::Files{
            .settings = "[Form\\CheckBox7]\nChecked=1\n[Form\\CheckBox10]\nChecked=1\n"});
        QVERIFY(checked(app, "CheckBox10"));
        QVERIFY(!checked(app, "CheckBox7"));
        QVERIFY(!checked(app, "CheckBox6"));
        QVERIFY(!menuItem(app, "Voice1")->isChecked());
    }

    void savedCourseBeyondTheList() {
        AppFixture app(AppFixture::Files{.settings = "[Form\\ComboBox1ItemIndex]\nInteger=5\n",
                                         .courses = "400\nabc\n"});
        auto* box = app.control<QComboBox>("ComboBox1");
        QCOMPARE(box->count(), 2);
        QCOMPARE(box->currentIndex(), -1);
        app.click("start");
        app.advance(60000);
        app.click("LAP");
        QCOMPARE(app.text("Label7"), QString(".000"));
    }

    void jingleAndNamesFromTheFile() {
        AppFixture app(AppFixture::Files{
            .settings = "[Form\\Pipopa]\nChecked=1\n[AsString]\nEdit2Text=Aida\nEdit3Text=\n"});
        QCOMPARE(app.control<QLineEdit>("Edit2")->text(), QString("Aida"));
        QCOMPARE(app.control<QLineEdit>("Edit3")->text(), QString("3")); // empty gets its number
        QStringList heard; // the jingle follows the window onto the screen
        QTRY_VERIFY((heard += app.heard()).size() >= 4);
        QCOMPARE(heard, QStringList({"laptime.wav", "pi.wav", "po.wav", "pa.wav"}));
    }

    void mileOptionComesBackWithItsHeaders() {
        AppFixture app(AppFixture::Files{.settings = "[Form\\MilePerHour1]\nChecked=1\n"});
        QVERIFY(menuItem(app, "MilePerHour1")->isChecked());
        QCOMPARE(app.text("Label7"), QString("M/h"));
        QCOMPARE(app.control("Label16")->toolTip(), QString("Average M/h"));
    }

    void closingSavesEverySetting() {
        AppFixture app;
        app.control<QLineEdit>("Edit1")->setText("Suzuka 1");
        app.control<QCheckBox>("CheckBox8")->setChecked(true);
        app.control<THotKey>("HotKey1")->setShortcut(0x4000 | 0x41); // Ctrl+A
        app.control<QComboBox>("ComboBox1")->setCurrentIndex(5);
        emit app.control<QComboBox>("ComboBox1")->activated(5);
        QCOMPARE(closeWindow(app), QStringList());
        const QByteArray ini = app.settingsText();
        QVERIFY2(ini.contains("[Form\\CheckBox6]\nChecked=1\n"), ini.constData());
        QVERIFY2(ini.contains("[AsString]\nEdit1Text=Suzuka 1\n"), ini.constData());
        QVERIFY(ini.contains("[Form\\CheckBox8]\nChecked=1\n"));
        QVERIFY(ini.contains("[Form\\ComboBox1ItemIndex]\nInteger=5\n"));
        QVERIFY(ini.contains("[Form\\Pipopa]\nChecked=1\n"));
        QCOMPARE(app.registeredHotkeys(), std::set<int>()); // every hotkey given back

        AppFixture again(AppFixture::Files{.settings = ini});
        QCOMPARE(again.control<THotKey>("HotKey1")->shortcut(), quint16(0x4041));
        QCOMPARE(again.control<QLineEdit>("Edit1")->text(), QString("Suzuka 1"));
        QCOMPARE(again.control<QComboBox>("ComboBox1")->currentText(), QString("400"));
        QVERIFY(checked(again, "CheckBox8"));
        QCOMPARE(again.heard(), QStringList({"laptime.wav", "pi.wav", "po.wav", "pa.wav"}));
    }

    // A change is in the file a moment later, while the window stays open: a killed program
    // keeps it. Showing the window with the stored settings writes nothing.
    void changesAreSavedWithoutClosing_data() {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QByteArray>("saved");
        QTest::newRow("name") << "Edit1" << QByteArray("[AsString]\nEdit1Text=Aida\n");
        QTest::newRow("box") << "CheckBox8" << QByteArray("[Form\\CheckBox8]\nChecked=1\n");
        QTest::newRow("voice") << "CheckBox6" << QByteArray("[Form\\CheckBox6]\nChecked=0\n");
        QTest::newRow("course") << "ComboBox1"
                                << QByteArray("[Form\\ComboBox1ItemIndex]\nInteger=1\n");
    }
    void changesAreSavedWithoutClosing() {
        QFETCH(QString, change);
        QFETCH(QByteArray, saved);
        const QByteArray stored = "[Form\\Pipopa]\nChecked=1\n[Form\\CheckBox12]\nChecked=0\n";
        AppFixture app(AppFixture::Files{.settings = stored});
        QTimer* pause = shortenSavePause(app);
        QVERIFY(!pause->isActive()); // the restore at the first show is no change
        QCOMPARE(app.settingsText(), stored);

        QWidget* control = app.control(qPrintable(change));
        if (change == "Edit1") {
            QTest::mouseClick(control, Qt::LeftButton);
            QTest::keyClick(control, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(control, "Aida");
        } else if (change == "ComboBox1") {
            control->setFocus();
            QTest::keyClick(control, Qt::Key_Down);
        } else {
            QTest::mouseClick(control, Qt::LeftButton);
        }
        QTRY_VERIFY2(app.settingsText().contains(saved), app.settingsText().constData());
        QVERIFY(app.window->isVisible());
        const QByteArray ini = app.settingsText();
        QVERIFY(ini.contains("[Form\\CheckBox12]\nChecked=0\n")); // restored, not defaulted
        // The jingle follows "Voice" as it was at the last save.
        const bool voice = app.control<QCheckBox>("CheckBox6")->isChecked();
        QVERIFY(
            ini.contains(voice ? "[Form\\Pipopa]\nChecked=1\n" : "[Form\\Pipopa]\nChecked=0\n"));
    }

    void hotkeyAndSpeedUnitAreSavedWithoutClosing() {
        AppFixture app;
        shortenSavePause(app);
        auto* editor = app.control<THotKey>("HotKey1");
        editor->setFocus();
        QTest::keyClick(editor, Qt::Key_F9);
        const quint16 typed = editor->shortcut();
        QVERIFY(typed != 0x26); // no longer Up
        QTRY_VERIFY(app.settingsText().contains("[Form\\HotKey1]"));
        menuItem(app, "MilePerHour1")->trigger();
        QTRY_VERIFY(app.settingsText().contains("[Form\\MilePerHour1]\nChecked=1\n"));

        AppFixture again(AppFixture::Files{.settings = app.settingsText()});
        QCOMPARE(again.control<THotKey>("HotKey1")->shortcut(), typed);
    }

    // A save after a change that fails is told once; the program goes on.
    void failedSaveAfterAChangeIsToldOnce() {
        AppFixture app(AppFixture::Files{.settings = "[AsString]\nEdit1Text=kept\n"});
        QVERIFY(QFile::setPermissions(app.settingsFile(), QFile::ReadOwner));
        QTimer* pause = shortenSavePause(app);
        app.click("CheckBox8");
        QTRY_COMPARE(problemsShown(app), 1);
        app.click("CheckBox8");
        QVERIFY(pause->isActive());
        QTRY_VERIFY(!pause->isActive());
        QCOMPARE(problemsShown(app), 1);
        app.click("start");
        QVERIFY(app.window->isRunning());
        QVERIFY(app.settingsText().contains("Edit1Text=kept"));
    }

    // Whatever the boxes were given at the start, the laps carry the names they show, and the
    // copy buttons find the rows by them.
    void lapsCarryTheNamesTheBoxesShow_data() {
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("no file") << QByteArray() << QStringList{"1", "2", "3"};
        QTest::newRow("stored defaults")
            << QByteArray("[AsString]\nEdit1Text=1\nEdit2Text=2\nEdit3Text=3\n")
            << QStringList{"1", "2", "3"};
        QTest::newRow("own names")
            << QByteArray("[AsString]\nEdit1Text=Ann\nEdit2Text=Bo\nEdit3Text=\n")
            << QStringList{"Ann", "Bo", "3"};
    }
    void lapsCarryTheNamesTheBoxesShow() {
        QFETCH(QByteArray, settings);
        QFETCH(QStringList, names);
        AppFixture app(AppFixture::Files{.settings = settings});
        app.click("start");
        for (const char* lap : {"LAP", "LAP2", "LAP3"}) {
            app.advance(1000);
            app.click(lap);
        }
        const auto* mix = app.control<kelvos::TextGrid>("StrSortGrid1");
        QStringList shown;
        QStringList carried;
        for (int competitor = 1; competitor <= 3; ++competitor) {
            shown << app.control<QLineEdit>(qPrintable(QString("Edit%1").arg(competitor)))->text();
            carried << mix->cells(1, competitor);
        }
        QCOMPARE(shown, names);
        QCOMPARE(carried, names);
        app.click("stop");
        app.click("CuteButton36"); // "copylap2"
        QCOMPARE(kelvos::readCommaText(QGuiApplication::clipboard()->text()).value(1), names[1]);
    }

    void closingWithVoiceOffIsSilent() {
        AppFixture app;
        app.control<QCheckBox>("CheckBox6")->setChecked(false);
        app.heard();
        closeWindow(app);
        QCOMPARE(app.heard(), QStringList());
        QVERIFY(app.settingsText().contains("[Form\\Pipopa]\nChecked=0\n"));
    }

    void closingWithVoiceOnSaysGoodbye() {
        AppFixture app;
        closeWindow(app);
        QCOMPARE(app.heard(), QStringList({"po.wav", "po.wav", "pa.wav"}));
    }

    // A settings file that cannot be written never keeps the operator from quitting.
    void unwritableSettingsStillClose() {
        if (geteuid() == 0)
            qInfo("running as root: the file is refused by its permissions all the same");
        AppFixture app(AppFixture::Files{.settings = "[AsString]\nEdit1Text=kept\n"});
        QVERIFY(QFile::setPermissions(app.settingsFile(), QFile::ReadOwner));
        app.click("start");
        app.advance(5000);
        const QStringList messages = closeWindow(app);
        QVERIFY(!app.window->isVisible());
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages.first().contains("could not be saved"), qPrintable(messages.first()));
        QVERIFY(app.settingsText().contains("Edit1Text=kept"));
        QVERIFY(!app.window->isRunning());        // the run was stopped and written before closing
        QVERIFY(app.registeredHotkeys().empty()); // nothing can start behind the message
    }
};

QTEST_MAIN(TestSettingsLifecycle)
#include "tst_settings_lifecycle.moc"
