#include "AppFixture.h"
#include "hotkeyedit.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
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
