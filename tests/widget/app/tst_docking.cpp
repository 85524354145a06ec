#include "AppFixture.h"
#include "TChart.h"

#include <QAbstractScrollArea>
#include <QCheckBox>

namespace {

// The widget a control's mouse events go to: a grid's cell area, or the control itself.
QWidget* mouseArea(QWidget* control) {
    auto* scrolling = qobject_cast<QAbstractScrollArea*>(control);
    return scrolling ? scrolling->viewport() : control;
}

// A left drag that grabs the control in its middle and lets go at a point on the screen.
void dragTo(QWidget* control, QPoint global) {
    QWidget* area = mouseArea(control);
    QTest::mousePress(area, Qt::LeftButton, {}, area->rect().center());
    const QPoint to = area->mapFromGlobal(global);
    QTest::mouseMove(area, to);
    QTest::mouseRelease(area, Qt::LeftButton, {}, to);
}

// The fonts and window colours of the control and of everything on it.
QStringList looks(QWidget* control) {
    QStringList all;
    QList<QWidget*> widgets = control->findChildren<QWidget*>();
    widgets << control;
    for (QWidget* widget : widgets) {
        all << widget->objectName() + ' ' + widget->font().toString() + ' ' +
                   widget->palette().color(QPalette::Window).name();
    }
    return all;
}

void toggle(AppFixture& app, const char* box) {
    QTest::mouseClick(app.control<QCheckBox>(box), Qt::LeftButton);
}

} // namespace

class TestDocking : public QObject {
    Q_OBJECT
private slots:
    void aDragFloatsTheControlAndADropDocksIt_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("show");
        QTest::addColumn<QString>("site");
        QTest::addColumn<QString>("dockedParent"); // empty: the main window
        QTest::addColumn<QRect>("dockedGeometry");
        QTest::newRow("chart home") << "Chart1"
                                    << "CheckBox2"
                                    << "CuteButton43"
                                    << "Panel2"
                                    << "Panel2" << QRect(0, 0, 998, 316);
        QTest::newRow("mix grid home") << "StrSortGrid1"
                                       << "CheckBox3"
                                       << "CuteButton42"
                                       << "Panel1"
                                       << "Panel1" << QRect(0, 0, 760, 120);
        QTest::newRow("mix grid in the chart's place") << "StrSortGrid1"
                                                       << "CheckBox3"
                                                       << "CuteButton42"
                                                       << "Panel2"
                                                       << "" << QRect(3, 365, 998, 316);
    }

    // "DD" makes the control dockable only: a drag pulls it out into a tool window of its own
    // that looks as it did, a drop onto a dock site docks it there, and clearing "DD" puts it
    // back where it was built.
    void aDragFloatsTheControlAndADropDocksIt() {
        QFETCH(QString, control);
        QFETCH(QString, box);
        QFETCH(QString, show);
        QFETCH(QString, site);
        QFETCH(QString, dockedParent);
        QFETCH(QRect, dockedGeometry);
        AppFixture app;
        auto* moved = app.control(control.toLatin1());
        QWidget* home = moved->parentWidget();
        const QRect homeGeometry = moved->geometry();
        const QStringList look = looks(moved);
        toggle(app, box.toLatin1());
        QVERIFY(!moved->isWindow());

        const QPoint grip = mouseArea(moved)->mapTo(moved, mouseArea(moved)->rect().center());
        const QPoint drop = app.window->mapToGlobal(QPoint(40, 40));
        dragTo(moved, drop);
        QVERIFY(moved->isWindow());
        QVERIFY(moved->isVisible());
        QCOMPARE(moved->mapToGlobal(QPoint(0, 0)), drop - grip);
        QCOMPARE(looks(moved), look);
        moved->close();
        app.click(show.toLatin1());
        QVERIFY(moved->isVisible());

        auto* target = app.control(site.toLatin1());
        dragTo(moved, target->mapToGlobal(target->rect().center()));
        QVERIFY(!moved->isWindow());
        QCOMPARE(moved->parentWidget(),
                 dockedParent.isEmpty() ? app.window.get() : app.control(dockedParent.toLatin1()));
        QCOMPARE(moved->geometry(), dockedGeometry);
        QVERIFY(moved->isVisible());

        dragTo(moved, drop);
        QVERIFY(moved->isWindow());
        toggle(app, box.toLatin1());
        QCOMPARE(moved->parentWidget(), home);
        QCOMPARE(moved->geometry(), homeGeometry);
        QVERIFY(moved->isVisible());
    }

    // A left drag from upper left to lower right zooms the chart, except while "DD" makes that
    // drag move the chart.
    void aLeftDragZoomsOnlyWhileTheChartIsNotDockable() {
        AppFixture app;
        app.click("start");
        for (quint32 lap : {61000, 60500, 60800}) {
            app.advance(lap);
            app.click("LAP");
        }
        auto* chart = app.control<TChart>("Chart1");
        toggle(app, "CheckBox2");
        dragTo(chart, chart->mapToGlobal(QPoint(700, 250)));
        QVERIFY(!chart->isZoomed());
        QCOMPARE(chart->geometry(), QRect(0, 0, 998, 316)); // still filling its panel
        toggle(app, "CheckBox2");
        dragTo(chart, chart->mapToGlobal(QPoint(700, 250)));
        QVERIFY(chart->isZoomed());
    }
};

QTEST_MAIN(TestDocking)
#include "tst_docking.moc"
