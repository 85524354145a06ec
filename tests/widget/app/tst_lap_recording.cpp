#include "AppFixture.h"
#include "CourseList.h"
#include "TStringGridEx.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>

namespace {
QColor fontColor(const AppFixture& app, const char* label) {
    return app.control<QLabel>(label)->palette().color(QPalette::WindowText);
}
const QColor kPositive(0xFE, 0xEF, 0x83);
const QColor kNegative(0xAF, 0xE1, 0xF1);

void selectCourse(AppFixture& app, const QString& length) {
    auto* box = app.control<QComboBox>("ComboBox1");
    const int index = box->findText(length);
    QVERIFY2(index >= 0, qPrintable(length));
    box->setCurrentIndex(index);
    emit box->activated(index);
}

QAction* menuItem(const AppFixture& app, const char* name) {
    return app.control<QMenu>("PopupMenu2")->findChild<QAction*>(name);
}
} // namespace

class TestLapRecording : public QObject {
    Q_OBJECT
private slots:
    void firstLapFillsTheLabels() {
        AppFixture app;
        selectCourse(app, "400");
        app.click("start");
        app.advance(61040);
        app.click("LAP");
        QCOMPARE(app.text("Label2"), QString("00:01:01:040"));
        QCOMPARE(app.text("Label13"), QString("+1:01:040"));
        QCOMPARE(app.text("Label9"), QString("00:01:01:040"));
        QCOMPARE(app.text("Label12"), QString("1"));
        QCOMPARE(app.text("Label11"), QString("1"));
        QCOMPARE(app.text("Label14"), QString("00:01:01:040"));
        QCOMPARE(app.text("Label7"), QString("23.591"));
        QCOMPARE(app.text("Label16"), QString("23.591"));
        QCOMPARE(app.text("Label26"), QString("1"));
        QVERIFY(app.control("LAP")->hasFocus());
    }

    void tiesAndNegativeDifferences() {
        AppFixture app;
        app.click("start");
        app.advance(60000);
        app.click("LAP");
        app.advance(60000);
        app.click("LAP");
        QCOMPARE(app.text("Label12"), QString("2")); // a tie makes the later lap the fastest
        QCOMPARE(app.text("Label13"), QString("+0.000"));
        QCOMPARE(fontColor(app, "Label13"), kPositive);
        app.advance(59500);
        app.click("LAP");
        QCOMPARE(app.text("Label13"), QString("-0.500"));
        QCOMPARE(fontColor(app, "Label13"), kNegative);
        QCOMPARE(app.text("Label12"), QString("3"));
        QCOMPARE(app.text("Label9"), QString("00:00:59:500"));
    }

    void lapInProgressFollowsTheLastLap() {
        AppFixture app;
        app.click("start");
        app.advance(10000);
        app.click("LAP");
        app.advance(2500);
        QCOMPARE(app.text("Label3"), QString("00:00:02:500"));
        app.click("stop");
        app.advance(5000); // stopped: the last refresh's value stays
        QCOMPARE(app.text("Label3"), QString("00:00:02:500"));
    }

    // The gap shows only when both have the same lap count; positive: competitor 1 behind.
    void gapsBetweenCompetitors() {
        AppFixture app;
        app.click("start");
        app.advance(64000);
        app.click("LAP2");
        app.advance(1000);
        app.click("LAP"); // lap 1 of competitor 1 at 65 000
        QCOMPARE(app.text("Label23"), QString("+1:000"));
        QCOMPARE(fontColor(app, "Label23"), kPositive);
        app.advance(65000);
        app.click("LAP");                                 // lap 2 at 130 000
        QCOMPARE(app.text("Label23"), QString("+1:000")); // unequal counts: unchanged
        app.advance(1500);
        app.click("LAP2"); // competitor 2's lap 2 at 131 500
        QCOMPARE(app.text("Label23"), QString("-1:500"));
        QCOMPARE(fontColor(app, "Label23"), kNegative);
        app.advance(100);
        app.click("LAP3");
        QCOMPARE(app.text("Label24"), QString("0")); // competitor 3 has 1 lap, competitor 1 has 2
        QCOMPARE(app.window->lapState().MixRows, 5);
    }

    void otherCompetitorsBeepAlways() {
        AppFixture app;
        app.click("start");
        app.heard();
        app.click("LAP2");
        app.click("LAP3");
        QCOMPARE(app.heard(), QStringList({"beep", "beep"}));
    }

    void milesForCompetitorOneFromTheNextLap() {
        AppFixture app;
        selectCourse(app, "400");
        app.click("start");
        app.advance(60000);
        app.click("LAP");
        QCOMPARE(app.text("Label7"), QString("24.000"));
        menuItem(app, "MilePerHour1")->trigger();
        QCOMPARE(app.control("Label7")->toolTip(), QString("Lap M/h"));
        QCOMPARE(app.control("Label16")->toolTip(), QString("Average M/h"));
        app.advance(60000);
        app.click("LAP");
        QCOMPARE(app.text("Label7"), QString("14.912"));
        menuItem(app, "MilePerHour1")->trigger();
        QCOMPARE(app.control("Label7")->toolTip(), QString("Lap Km/h"));
    }

    // Typed into the focused box and added with Enter, a length is listed exactly as typed, even
    // one that begins a listed length, and once chosen from the list it gives speeds.
    void typedLengthIsAddedExactlyAndCanBeChosen_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<Qt::Key>("enter");
        QTest::addColumn<QString>("lapSpeed");
        QTest::newRow("new length") << "1234" << Qt::Key_Return << "74.040";
        QTest::newRow("beginning of a listed one") << "80" << Qt::Key_Enter << "4.800";
    }
    void typedLengthIsAddedExactlyAndCanBeChosen() {
        QFETCH(QString, typed);
        QFETCH(Qt::Key, enter);
        AppFixture app;
        auto* box = app.control<QComboBox>("ComboBox1");
        const int before = box->count();
        QTest::mouseClick(box->lineEdit(), Qt::LeftButton);
        QWidget* focused = QApplication::focusWidget();
        QVERIFY(focused == box || focused == box->lineEdit());
        QTest::keyClick(focused, Qt::Key_A, Qt::ControlModifier); // replace the text
        QTest::keyClicks(QApplication::focusWidget(), typed);
        QTest::keyClick(QApplication::focusWidget(), enter);
        QCOMPARE(box->count(), before + 1);
        QCOMPARE(box->itemText(before), typed);
        app.click("start");
        app.advance(60000);
        app.click("LAP");
        QCOMPARE(app.text("Label7"), QString(".000")); // typed, not chosen
        box->showPopup();
        QAbstractItemView* list = box->view();
        QVERIFY(QTest::qWaitForWindowExposed(list->window()));
        const QModelIndex entry = list->model()->index(before, 0);
        list->scrollTo(entry);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(entry).center());
        QTRY_VERIFY(!list->window()->isVisible());
        app.advance(60000);
        app.click("LAP");
        QFETCH(QString, lapSpeed);
        QCOMPARE(app.text("Label7"), lapSpeed);
        QCOMPARE(app.control<TStringGridEx>("StringGridEx1")->cells(7, 2), lapSpeed);
    }

    // A named pipe in place of the course list neither hangs the start nor goes unmentioned:
    // the built-in lengths are offered and the operator is told why.
    void courseListThatIsAPipeFallsBack() {
        AppFixture::Files files;
        files.coursesAsPipe = true;
        AppFixture app(files);
        QCOMPARE(app.control<QComboBox>("ComboBox1")->count(),
                 int(kelvos::builtInCourseLengths().size()));
        const auto* message = app.window->findChild<QMessageBox*>("problemMessage");
        QVERIFY(message);
        QVERIFY2(message->text().contains("course.txt"), qPrintable(message->text()));
    }

    void lengthAlreadyListedIsNotAddedAgain() {
        AppFixture app;
        auto* box = app.control<QComboBox>("ComboBox1");
        const int before = box->count();
        box->lineEdit()->setText("400");
        QTest::keyClick(box->lineEdit(), Qt::Key_Return);
        QCOMPARE(box->count(), before);
    }

    void plusOneLapAfterAStop() {
        AppFixture app;
        app.click("start");
        app.advance(300000);
        app.click("LAP");
        app.advance(62500);
        app.click("stop");
        app.advance(5000);
        app.heard();
        menuItem(app, "Plus1Lap1")->trigger();
        QCOMPARE(app.text("Label2"), QString("00:01:02:500"));
        QCOMPARE(app.text("Label11"), QString("2"));
        QVERIFY(!app.window->isRunning());
        QVERIFY(app.window->resultsPending());
        QVERIFY(!app.enabled("LAP"));
        QVERIFY(!app.window->announcementBusy()); // the stop frees the read-outs again
        // The stop's automatic file and signal; no read-out of the lap.
        QCOMPARE(app.heard(), QStringList({"po.wav", "pipi.wav"}));
    }

    void plusOneLapBeforeAnyStart() {
        AppFixture app;
        menuItem(app, "Plus1Lap1")->trigger();
        QCOMPARE(app.text("Label11"), QString("1"));
        QCOMPARE(app.text("Label2"), QString("00:00:00:000"));
        QCOMPARE(app.text("Label7"), QString(".000"));
        QVERIFY(!app.window->isRunning());
        QVERIFY(app.enabled("CuteButton1")); // stopped state: restart offered
    }

    void namesFollowTheBoxes() {
        AppFixture app;
        app.control<QLineEdit>("Edit2")->setText("Aida");
        app.click("CuteButton38");
        QCOMPARE(app.control<QLineEdit>("Edit2")->text(), QString("2"));
    }

    // The announcement boxes exclude one another, whoever changes them.
    void announcementBoxRules() {
        AppFixture app;
        auto* voice = app.control<QCheckBox>("CheckBox6");
        auto* voiceRepeat = app.control<QCheckBox>("CheckBox9");
        auto* clipE = app.control<QCheckBox>("CheckBox7");
        auto* clipJ = app.control<QCheckBox>("CheckBox10");
        auto* clipRepeat = app.control<QCheckBox>("CheckBox11");
        voiceRepeat->click();
        QVERIFY(voiceRepeat->isChecked());
        clipE->click();
        QVERIFY(!voice->isChecked() && !voiceRepeat->isChecked());
        clipRepeat->click();
        QVERIFY(clipRepeat->isChecked());
        clipJ->click();
        QVERIFY(!clipE->isChecked() && clipRepeat->isChecked());
        clipJ->click();
        QVERIFY(!clipRepeat->isChecked());
        voiceRepeat->click();
        QVERIFY(!voiceRepeat->isChecked()); // not without "Voice"
        menuItem(app, "Voice1")->trigger();
        QVERIFY(voice->isChecked());
        QVERIFY(menuItem(app, "Voice1")->isChecked());
    }

    void keyItemGivesTheLapButtonsAccelerators() {
        AppFixture app;
        app.click("CuteButton41");
        QCOMPARE(app.control<QPushButton>("LAP2")->text(), QString("LAP(&2)"));
        QVERIFY(menuItem(app, "key1")->isChecked());
        app.click("start");
        app.window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(app.window.get()));
        QTest::keyClick(app.window->focusWidget(), Qt::Key_3, Qt::AltModifier);
        QTRY_COMPARE(app.window->lapState().Lap3.LapCount, 1); // a mnemonic clicks after a flash
        menuItem(app, "key1")->trigger();
        QCOMPARE(app.control<QPushButton>("LAP2")->text(), QString("LAP2"));
    }
};

QTEST_MAIN(TestLapRecording)
#include "tst_lap_recording.moc"
