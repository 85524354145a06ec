#include "AppFixture.h"
#include "TChart.h"
#include "TStringGridEx.h"
#include "TestFiles.h"

#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>

using kelvos::chart::AxisId;

namespace {

TChart* chart(const AppFixture& app) {
    return app.control<TChart>("Chart1");
}

QMessageBox* problem(const AppFixture& app) {
    return app.window->findChild<QMessageBox*>("problemMessage");
}

// Lap n of competitor 1 lasts 60 000 + 10·n ms.
qint32 lapMillis(int n) {
    return 60000 + 10 * n;
}

void recordLaps(AppFixture& app, int laps) {
    app.click("start");
    for (int n = 1; n <= laps; ++n) {
        app.advance(quint32(lapMillis(n)));
        app.click("LAP");
    }
}

void recordAndStop(AppFixture& app, int laps) {
    recordLaps(app, laps);
    app.click("stop");
}

QList<QPointF> points(const AppFixture& app, int series) {
    QList<QPointF> all;
    for (int i = 0; i < chart(app)->pointCount(series); ++i)
        all << chart(app)->point(series, i);
    return all;
}

// Lap time and average of laps 1, 1, 2, … laps, as the chart plots them.
QList<QPointF> expectedLapPoints(int laps) {
    QList<QPointF> expected{{0, double(lapMillis(1))}};
    for (int n = 1; n <= laps; ++n)
        expected << QPointF(n, lapMillis(n));
    return expected;
}

QColor captionColor(const AppFixture& app, const char* button) {
    return app.control<QPushButton>(button)->palette().color(QPalette::ButtonText);
}

void toggle(AppFixture& app, const char* box) {
    QTest::mouseClick(app.control<QCheckBox>(box), Qt::LeftButton);
}

kelvos::chart::AxisRange range(const AppFixture& app, AxisId axis) {
    return chart(app)->axisRange(axis);
}

} // namespace

class TestChart : public QObject {
    Q_OBJECT
private slots:
    void lapsArePlottedLive() {
        AppFixture app;
        recordLaps(app, 3);
        QCOMPARE(points(app, 0), expectedLapPoints(3));
        QCOMPARE(points(app, 1).size(), 4);
        QCOMPARE(points(app, 1).last().y(),
                 double((lapMillis(1) + lapMillis(2) + lapMillis(3)) / 3));
    }

    void updateRebuildsEveryLapAtOnce() {
        AppFixture app;
        recordAndStop(app, 3);
        app.click("CuteButton29"); // "Clear"
        QCOMPARE(chart(app)->pointCount(0), 0);
        app.click("CuteButton22");
        QCOMPARE(points(app, 0), expectedLapPoints(3));
        QCOMPARE(chart(app)->pointCount(1), 4);
        QCOMPARE(app.text("Label26"), QString("3"));
        QVERIFY(!app.enabled("CuteButton25"));
        QVERIFY(app.control("start")->hasFocus());
    }

    void pushAddsOnePointPerClick() {
        AppFixture app;
        recordAndStop(app, 3);
        app.click("CuteButton29");
        const QColor navy(0, 0, 128), maroon(128, 0, 0);
        const struct {
            const char* caption;
            QColor color;
            bool enabled;
        } clicks[] = {
            {"0", navy, true}, {"1", navy, true}, {"2", maroon, true}, {"3", maroon, false}};
        for (const auto& click : clicks) {
            app.click("CuteButton25");
            QCOMPARE(app.control<QPushButton>("CuteButton25")->text(), QString(click.caption));
            QCOMPARE(captionColor(app, "CuteButton25"), click.color);
            QCOMPARE(app.enabled("CuteButton25"), click.enabled);
        }
        QCOMPARE(points(app, 0), expectedLapPoints(3));
        app.click("CuteButton29");
        QCOMPARE(app.control<QPushButton>("CuteButton25")->text(), QString("Push"));
        QCOMPARE(captionColor(app, "CuteButton25"), navy);
        QVERIFY(app.enabled("CuteButton25"));
    }

    void animateReplaysOnTheTimer() {
        AppFixture app;
        recordAndStop(app, 3);
        app.control<QScrollBar>("ScrollBar1")->setValue(20);
        app.click("CuteButton24");
        QVERIFY(!app.enabled("CuteButton24") && !app.enabled("CuteButton22"));
        QVERIFY(chart(app)->pointCount(0) < 4); // the rest follow, one per step
        QTRY_COMPARE(points(app, 0), expectedLapPoints(3));
        QTRY_VERIFY(app.enabled("CuteButton24") && app.enabled("CuteButton22"));
        QCOMPARE(app.text("Label26"), QString("3"));
        QVERIFY(!app.enabled("CuteButton25"));
    }

    // A reset during a replay ends it: no point arrives after the chart was cleared.
    void resetEndsAReplay() {
        AppFixture app;
        recordAndStop(app, 3);
        app.control<QScrollBar>("ScrollBar1")->setValue(50);
        app.click("CuteButton24");
        app.click("CuteButton2");
        QCOMPARE(chart(app)->pointCount(0), 0);
        QTest::qWait(200);
        QCOMPARE(chart(app)->pointCount(0), 0);
        QCOMPARE(app.text("Label26"), QString("0"));
    }

    void aLapUndoesTheZoom() {
        AppFixture app;
        recordLaps(app, 2);
        const auto before = range(app, AxisId::Bottom);
        app.click("CuteButton26"); // "zoom in"
        QVERIFY(app.enabled("CuteButton28"));
        QVERIFY(range(app, AxisId::Bottom).maximum < before.maximum);
        app.advance(60000);
        app.click("LAP");
        QVERIFY(!app.enabled("CuteButton28"));
        QVERIFY(range(app, AxisId::Bottom).automatic);
        QCOMPARE(range(app, AxisId::Bottom).maximum, 3.0);
    }

    // A right-drag moves the view off its automatic ranges: "reset" brings it back.
    void aPanCanBeReset() {
        AppFixture app;
        recordLaps(app, 3);
        TChart* view = chart(app);
        QTest::mousePress(view, Qt::RightButton, {}, QPoint(400, 150));
        QTest::mouseMove(view, QPoint(520, 150));
        QTest::mouseRelease(view, Qt::RightButton, {}, QPoint(520, 150));
        QVERIFY(app.enabled("CuteButton28"));
        app.click("CuteButton28");
        QVERIFY(range(app, AxisId::Bottom).automatic);
        QVERIFY(!app.enabled("CuteButton28"));
    }

    void autoScrollKeepsTheLast21Laps() {
        AppFixture app;
        QVERIFY(app.control<QCheckBox>("CheckBox12")->isChecked());
        recordLaps(app, 20);
        QVERIFY(range(app, AxisId::Bottom).automatic);
        for (int n = 21; n <= 25; ++n) {
            app.advance(quint32(lapMillis(n)));
            app.click("LAP");
        }
        const auto bottom = range(app, AxisId::Bottom);
        QVERIFY(!bottom.automatic);
        QCOMPARE(bottom.minimum, 5.0);
        QCOMPARE(bottom.maximum, 25.0);
        toggle(app, "CheckBox12");
        QVERIFY(range(app, AxisId::Bottom).automatic && range(app, AxisId::Right).automatic);
        toggle(app, "CheckBox12");
        app.click("Chbutton1"); // "Reset_Pos"
        QCOMPARE(range(app, AxisId::Bottom).minimum, 5.0);
        // Rows 5 to 25: the smallest value is the average after lap 5 (60 030), the largest lap
        // 25's time.
        QCOMPARE(range(app, AxisId::Right).minimum, 60030.0);
        QCOMPARE(range(app, AxisId::Right).maximum, double(lapMillis(25)));
        // After "Clear" the run's laps no longer count; a rebuild's last index does.
        app.click("stop");
        app.click("CuteButton29");
        app.click("CuteButton22");
        toggle(app, "CheckBox12");
        toggle(app, "CheckBox12");
        QCOMPARE(range(app, AxisId::Bottom).minimum, 5.0);
        QCOMPARE(range(app, AxisId::Bottom).maximum, 25.0);
    }

    void viewSwitches() {
        AppFixture app;
        QVERIFY(app.enabled("ScrollBar2") && app.enabled("ScrollBar3"));
        const QImage enabledBar = app.control("ScrollBar2")->grab().toImage();
        toggle(app, "CheckBox1");
        QVERIFY(chart(app)->isView3D());
        toggle(app, "CheckBox1");
        QVERIFY(!chart(app)->isView3D());
        QVERIFY(!app.enabled("ScrollBar2") && !app.enabled("ScrollBar3"));
        QVERIFY(app.control("ScrollBar2")->grab().toImage() != enabledBar); // greyed
        QVERIFY(!chart(app)->marksVisible());
        toggle(app, "CheckBox4");
        QVERIFY(chart(app)->marksVisible());
    }

    // A row that is not a lap ends "UPdate" with "Err"; the points before it stay.
    void rebuildStopsAtARowThatIsNoLap() {
        AppFixture app;
        const QString file = app.workingDirectory.filePath("in.csv");
        testfiles::writeContents(file, "1,x,,,,,61040,,61040,\r\n2,x,,,,,abc,,61000,\r\n");
        app.chooseFile = [file](const QString&, const QString&, bool) { return file; };
        app.click("CuteButton20");
        app.click("CuteButton22");
        QVERIFY(problem(app) && problem(app)->text() == QString("Err"));
        QCOMPARE(points(app, 0), (QList<QPointF>{{0, 61040}, {1, 61040}}));
    }

    void picturesAreSavedUnderTheMinute() {
        AppFixture app;
        recordLaps(app, 3);
        app.click("CuteButton21");
        app.click("CuteButton23");
        const QByteArray wmf = testfiles::contents(app.workingDirectory.filePath("2612081234.wmf"));
        QVERIFY(wmf.startsWith(QByteArray::fromHex("d7cdc69a")));
        const QImage bmp(app.workingDirectory.filePath("2612081234.bmp"));
        QCOMPARE(bmp.size(), chart(app)->size());
        QVERIFY(!problem(app));
    }

    void failedPictureSaveIsReported() {
        AppFixture app;
        recordLaps(app, 2);
        QVERIFY(QDir(app.workingDirectory.path()).mkdir("2612081234.bmp"));
        app.click("CuteButton23");
        QVERIFY(problem(app) && problem(app)->text().contains("2612081234.bmp"));
        QCOMPARE(chart(app)->pointCount(0), 3);
    }
};

QTEST_MAIN(TestChart)
#include "tst_chart.moc"
