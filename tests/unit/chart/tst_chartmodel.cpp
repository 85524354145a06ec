#include "ChartModel.h"

#include <QTest>

using kelvos::chart::AxisRange;
using kelvos::chart::ChartModel;
using kelvos::chart::Direction;

Q_DECLARE_METATYPE(AxisRange)

namespace {

constexpr Direction kH = Direction::Horizontal;
constexpr Direction kV = Direction::Vertical;

ChartModel modelWith(const QList<double>& laps, const QList<double>& averages) {
    ChartModel m;
    for (double v : laps)
        m.appendPoint(0, v);
    for (double v : averages)
        m.appendPoint(1, v);
    return m;
}

// Applies a comma-separated list of zoom commands: in, out, reset.
void run(ChartModel& m, const QString& ops) {
    for (const QString& op : ops.split(',', Qt::SkipEmptyParts)) {
        if (op == "in")
            m.zoomPercent(120);
        else if (op == "out")
            m.zoomPercent(80);
        else if (op == "reset")
            m.undoZoom();
        else
            QFAIL(qPrintable("unknown command " + op));
    }
}

bool same(AxisRange a, AxisRange b) {
    return a.minimum == b.minimum && a.maximum == b.maximum && a.automatic == b.automatic;
}

} // namespace

class ChartModelTest : public QObject {
    Q_OBJECT
private slots:
    void pointsTakeTheirIndexAsX() {
        ChartModel m = modelWith({61000, 61000, 59000}, {61000});
        QCOMPARE(m.pointCount(0), 3);
        QCOMPARE(m.pointCount(1), 1);
        QCOMPARE(m.point(0, 2), QPointF(2, 59000));
        QCOMPARE(m.point(1, 0), QPointF(0, 61000));
        m.appendPoint(2, 1); // no such series
        QCOMPARE(m.pointCount(0) + m.pointCount(1), 4);
        m.clearSeries();
        QCOMPARE(m.pointCount(0) + m.pointCount(1), 0);
        QCOMPARE(m.range(kV).minimum, 0.0);
    }

    void automaticRange_data() {
        QTest::addColumn<QList<double>>("laps");
        QTest::addColumn<QList<double>>("averages");
        QTest::addColumn<AxisRange>("horizontal");
        QTest::addColumn<AxisRange>("vertical");
        QTest::newRow("empty: a second of whole milliseconds")
            << QList<double>{} << QList<double>{} << AxisRange{0, 1, true}
            << AxisRange{0, 1000, true};
        QTest::newRow("both series count")
            << QList<double>{60000, 58000, 63000} << QList<double>{60000, 59000, 57000, 70000}
            << AxisRange{0, 3, true} << AxisRange{57000, 70000, true};
        QTest::newRow("one value never has zero span")
            << QList<double>{60000} << QList<double>{60000} << AxisRange{-1, 1, true}
            << AxisRange{57000, 63000, true};
        QTest::newRow("zero value") << QList<double>{0, 0} << QList<double>{}
                                    << AxisRange{0, 1, true} << AxisRange{-1, 1, true};
    }
    void automaticRange() {
        QFETCH(QList<double>, laps);
        QFETCH(QList<double>, averages);
        QFETCH(AxisRange, horizontal);
        QFETCH(AxisRange, vertical);
        const ChartModel m = modelWith(laps, averages);
        QVERIFY(same(m.range(kH), horizontal));
        QVERIFY(same(m.range(kV), vertical));
    }

    void zoom_data() {
        QTest::addColumn<QString>("ops");
        QTest::addColumn<double>("spanFactor");
        QTest::addColumn<bool>("zoomed");
        QTest::newRow("in") << "in" << 0.6 << true;
        QTest::newRow("out") << "out" << 1.4 << true;
        QTest::newRow("in, out is not undone") << "in,out" << 0.6 * 1.4 << true;
        QTest::newRow("in, in, out") << "in,in,out" << 0.6 * 0.6 * 1.4 << true;
        QTest::newRow("in, reset") << "in,reset" << 1.0 << false;
        QTest::newRow("in, in, reset") << "in,in,reset" << 1.0 << false;
        QTest::newRow("reset, in") << "reset,in" << 0.6 << true;
        QTest::newRow("in, reset, out") << "in,reset,out" << 1.4 << true;
    }
    void zoom() {
        QFETCH(QString, ops);
        QFETCH(double, spanFactor);
        QFETCH(bool, zoomed);
        ChartModel m = modelWith({60000, 58000, 63000, 61000, 59500}, {60000, 59000});
        const AxisRange h0 = m.range(kH), v0 = m.range(kV);
        run(m, ops);
        QCOMPARE(m.isZoomed(), zoomed);
        for (auto [before, after] : {std::pair{h0, m.range(kH)}, std::pair{v0, m.range(kV)}}) {
            QCOMPARE(after.maximum - after.minimum, (before.maximum - before.minimum) * spanFactor);
            QCOMPARE(after.minimum + after.maximum, before.minimum + before.maximum);
            QCOMPARE(after.automatic, !zoomed);
        }
    }

    void undoRestoresFixedRangesExactly() {
        ChartModel m = modelWith({60000, 58000, 63000}, {60000});
        m.setAutomatic(kV, false);
        m.setMinimum(kV, 57123.25);
        m.setMaximum(kV, 64000.75);
        run(m, "in,out,in");
        m.appendPoint(0, 99999); // data arriving while zoomed changes nothing saved
        m.undoZoom();
        QVERIFY(same(m.range(kV), AxisRange{57123.25, 64000.75, false}));
        QVERIFY(same(m.range(kH), AxisRange{0, 3, true}));
        m.setMinimum(kV, 1);
        m.undoZoom(); // nothing saved any more
        QCOMPARE(m.range(kV).minimum, 1.0);
    }

    // The 21-point window: the vertical and horizontal axes fixed to the window's bounds.
    void fixedWindow() {
        ChartModel m;
        for (int i = 0; i <= 30; ++i) {
            m.appendPoint(0, 60000 + i);
            m.appendPoint(1, 50000 + i);
        }
        m.setAutomatic(kV, false);
        m.setMaximum(kV, 60030);
        m.setMinimum(kV, 50010);
        m.setAutomatic(kH, false);
        m.setMaximum(kH, 30);
        m.setMinimum(kH, 10);
        QVERIFY(same(m.range(kH), AxisRange{10, 30, false}));
        QVERIFY(same(m.range(kV), AxisRange{50010, 60030, false}));
        m.setAutomatic(kH, true);
        m.setAutomatic(kV, true);
        QVERIFY(same(m.range(kH), AxisRange{0, 30, true}));
        QVERIFY(same(m.range(kV), AxisRange{50000, 60030, true}));
    }

    void automaticOffKeepsTheShownRange() {
        ChartModel m = modelWith({60000, 58000}, {});
        m.setAutomatic(kV, false);
        m.appendPoint(0, 70000);
        QVERIFY(same(m.range(kV), AxisRange{58000, 60000, false}));
    }

    void panShiftsAndIsUndone() {
        ChartModel m = modelWith({60000, 58000, 63000}, {});
        m.pan(kH, 0.5);
        m.pan(kV, -1000);
        QVERIFY(same(m.range(kH), AxisRange{0.5, 2.5, false}));
        QVERIFY(same(m.range(kV), AxisRange{57000, 62000, false}));
        m.undoZoom();
        QVERIFY(same(m.range(kH), AxisRange{0, 2, true}));
        QVERIFY(same(m.range(kV), AxisRange{58000, 63000, true}));
    }

    void zoomToRectangle() {
        ChartModel m = modelWith({60000, 58000, 63000}, {});
        m.zoomTo({0.5, 1.5, false}, {59000, 61000, false});
        QVERIFY(m.isZoomed());
        QVERIFY(same(m.range(kH), AxisRange{0.5, 1.5, false}));
        QVERIFY(same(m.range(kV), AxisRange{59000, 61000, false}));
        m.zoomPercent(120); // a second zoom keeps the first saved ranges
        m.undoZoom();
        QVERIFY(same(m.range(kV), AxisRange{58000, 63000, true}));
    }
};

QTEST_APPLESS_MAIN(ChartModelTest)
#include "tst_chartmodel.moc"
