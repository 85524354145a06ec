#include "AxisScale.h"
#include "ChartLayout.h"
#include "Projection3D.h"
#include "Thinning.h"
#include "ValueText.h"
#include "ZoomSteps.h"

#include <QTest>
#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

using namespace kelvos::chart;

class ChartGeometryTest : public QObject {
    Q_OBJECT
private slots:
    void tickStep_data() {
        QTest::addColumn<double>("span");
        QTest::addColumn<double>("pixels");
        QTest::addColumn<double>("step");
        // 300 px at 30 px a tick: at most 10 ticks.
        QTest::newRow("exact tenth") << 1000.0 << 300.0 << 100.0;
        QTest::newRow("up to 2") << 1500.0 << 300.0 << 200.0;
        QTest::newRow("up to 5") << 4100.0 << 300.0 << 500.0;
        QTest::newRow("up to next power") << 6000.0 << 300.0 << 1000.0;
        QTest::newRow("small span") << 0.03 << 300.0 << 0.005;
        QTest::newRow("one tick room") << 7.0 << 10.0 << 10.0;
        QTest::newRow("no span") << 0.0 << 300.0 << 1.0;
    }
    void tickStep() {
        QFETCH(double, span);
        QFETCH(double, pixels);
        QFETCH(double, step);
        QCOMPARE(niceTickStep(span, pixels, 30), step);
    }

    void ticks() {
        QCOMPARE(tickValues({57100, 58100, true}, 200),
                 (std::vector<double>{57200, 57400, 57600, 57800, 58000}));
        QCOMPARE(tickValues({-1, 1, true}, 1), (std::vector<double>{-1, 0, 1}));
        QVERIFY(tickValues({0, 1e9, true}, 1).empty()); // absurdly many ticks are not made
    }

    void drawableRangeNeverDegenerates_data() {
        QTest::addColumn<double>("minimum");
        QTest::addColumn<double>("maximum");
        QTest::newRow("reversed") << 10.0 << 2.0;
        QTest::newRow("equal") << 60000.0 << 60000.0;
        QTest::newRow("zero") << 0.0 << 0.0;
        QTest::newRow("infinite") << 0.0 << qInf();
    }
    void drawableRangeNeverDegenerates() {
        QFETCH(double, minimum);
        QFETCH(double, maximum);
        const AxisRange r = drawableRange({minimum, maximum, false});
        QVERIFY(r.maximum > r.minimum);
        const AxisMapping m = AxisMapping::of({minimum, maximum, false}, 100, 0);
        QVERIFY(std::isfinite(m.toPixel(5)));
        QCOMPARE(m.toValue(m.toPixel(5)), 5.0);
    }

    void zoomFramesCoverAThirdEach() {
        const AxisRange from{0, 90, true}, to{30, 60, false};
        const auto frames = zoomFrames(from, to);
        QCOMPARE(int(frames.size()), 8);
        for (int k = 0; k < 7; ++k) {
            const double left = std::pow(2.0 / 3, k + 1); // share of the distance still left
            QCOMPARE(frames[k].minimum, 30 - 30 * left);
            QCOMPARE(frames[k].maximum, 60 + 30 * left);
        }
        QCOMPARE(frames.back().minimum, 30.0);
        QCOMPARE(frames.back().maximum, 60.0);
        QVERIFY(!frames.back().automatic);
    }

    void leftDrag_data() {
        QTest::addColumn<QPoint>("press");
        QTest::addColumn<QPoint>("release");
        QTest::addColumn<DragAction>("action");
        const QPoint at(100, 100);
        QTest::newRow("down right zooms")
            << at << at + QPoint(17, 17) << DragAction::ZoomToRectangle;
        QTest::newRow("16 px wide: neither") << at << at + QPoint(16, 80) << DragAction::None;
        QTest::newRow("16 px high: neither") << at << at + QPoint(80, 16) << DragAction::None;
        QTest::newRow("reverse small: neither") << at << at - QPoint(10, 10) << DragAction::None;
        QTest::newRow("up left undoes") << at << at - QPoint(17, 17) << DragAction::UndoZoom;
        QTest::newRow("up right undoes") << at << at + QPoint(50, -50) << DragAction::UndoZoom;
        QTest::newRow("down left undoes") << at << at + QPoint(-50, 50) << DragAction::UndoZoom;
    }
    void leftDrag() {
        QFETCH(QPoint, press);
        QFETCH(QPoint, release);
        QFETCH(DragAction, action);
        QCOMPARE(leftDragAction(press, release), action);
    }

    void depth_data() {
        QTest::addColumn<bool>("on");
        QTest::addColumn<int>("percent");
        QTest::addColumn<int>("rotation");
        QTest::addColumn<bool>("orthogonal");
        QTest::addColumn<QPointF>("offset");
        // A 400 x 200 plot: the depth is a share of the 200 px side.
        QTest::newRow("2D has no depth") << false << 15 << 360 << false << QPointF(0, 0);
        QTest::newRow("360: back straight above the front")
            << true << 15 << 360 << false << QPointF(0, -15);
        QTest::newRow("turned to 270: back beside the front")
            << true << 15 << 270 << false << QPointF(15 * std::numbers::sqrt2, 0);
        QTest::newRow("orthogonal ignores rotation")
            << true << 15 << 270 << true << QPointF(15, -15);
        QTest::newRow("depth clamped to 100") << true << 150 << 360 << false << QPointF(0, -100);
        QTest::newRow("depth clamped to 1") << true << 0 << 360 << false << QPointF(0, -1);
        QTest::newRow("rotation clamped to 270")
            << true << 15 << 200 << false << QPointF(15 * std::numbers::sqrt2, 0);
    }
    void depth() {
        QFETCH(bool, on);
        QFETCH(int, percent);
        QFETCH(int, rotation);
        QFETCH(bool, orthogonal);
        QFETCH(QPointF, offset);
        View3D view;
        view.on = on;
        view.depthPercent = percent;
        view.rotation = rotation;
        view.orthogonal = orthogonal;
        const QPointF d = depthOffset(view, QSizeF(400, 200));
        QVERIFY2(std::abs(d.x() - offset.x()) < 1e-9 && std::abs(d.y() - offset.y()) < 1e-9,
                 qPrintable(QString("%1, %2").arg(d.x()).arg(d.y())));
    }

    // Equal steps of the angle bar turn the chart by comparable amounts across its whole
    // range, the last third (330 to 360) included; in 2D the angle changes nothing.
    void rotationTurnsEvenly_data() {
        QTest::addColumn<int>("percent");
        QTest::addColumn<QSizeF>("plot");
        QTest::newRow("default depth, wide plot") << 15 << QSizeF(900, 250);
        QTest::newRow("full depth, square plot") << 100 << QSizeF(300, 300);
    }
    void rotationTurnsEvenly() {
        QFETCH(int, percent);
        QFETCH(QSizeF, plot);
        View3D view;
        view.on = true;
        view.depthPercent = percent;
        const auto backAt = [&view, plot](int rotation) {
            view.rotation = rotation;
            return depthOffset(view, plot);
        };
        const auto distance = [](QPointF a, QPointF b) {
            return std::hypot(a.x() - b.x(), a.y() - b.y());
        };
        std::vector<double> steps;
        for (int r = View3D::kMinRotation; r < View3D::kMaxRotation; r += 15)
            steps.push_back(distance(backAt(r), backAt(r + 15)));
        const auto [least, most] = std::minmax_element(steps.begin(), steps.end());
        QVERIFY2(*least >= *most / 2, qPrintable(QString("%1 vs %2").arg(*least).arg(*most)));
        const double whole = distance(backAt(270), backAt(360));
        QVERIFY2(distance(backAt(330), backAt(360)) >= whole / 4,
                 qPrintable(QString::number(whole)));

        View3D flat = view;
        flat.on = false;
        for (int r : {270, 330, 360}) {
            flat.rotation = r;
            QCOMPARE(depthOffset(flat, plot), QPointF());
            const ChartLayout l =
                layoutChart(QRect(0, 0, 998, 316), flat, {0, 20, true}, {0, 100, true}, true);
            QCOMPARE(l.front, layoutChart(QRect(0, 0, 998, 316), View3D{}, {0, 20, true},
                                          {0, 100, true}, true)
                                  .front);
        }
    }

    void wallsJoinFrontAndBack() {
        const QRectF front(10, 50, 200, 100);
        const Walls w = wallsOf(front, QPointF(20, -20));
        QCOMPARE(w.back.boundingRect(), front.translated(20, -20));
        QCOMPARE(w.bottom, QPolygonF({{10, 150}, {210, 150}, {230, 130}, {30, 130}}));
        QCOMPARE(w.left, QPolygonF({{10, 50}, {10, 150}, {30, 130}, {30, 30}}));
    }

    void layout_data() {
        QTest::addColumn<bool>("view3D");
        QTest::newRow("2D") << false;
        QTest::newRow("3D") << true;
    }
    void layout() {
        QFETCH(bool, view3D);
        View3D view;
        view.on = view3D;
        const QRect area(0, 0, 998, 316);
        const ChartLayout l = layoutChart(area, view, {0, 20, true}, {50000, 60000, true}, true);
        QVERIFY(area.contains(l.front.toRect()) && area.contains(l.back().toRect()));
        QVERIFY(l.title.bottom() < l.back().top());
        // Inverted: the smallest value at the top of the data rectangle.
        QCOMPARE(l.y.toPixel(50000), l.dataRect().top());
        QCOMPARE(l.y.toPixel(60000), l.dataRect().bottom());
        QCOMPARE(l.x.toPixel(0), l.dataRect().left());
        QCOMPARE(l.depth.isNull(), !view3D);
    }

    // A value mark stands above its point, unless it would rise above the plot into the
    // title: then it hangs below the point.
    void markPlacement_data() {
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<QRect>("text");
        QTest::newRow("room above") << QPoint(200, 150) << QRect(140, 108, 120, 19);
        QTest::newRow("fastest lap at the top") << QPoint(200, 60) << QRect(140, 84, 120, 19);
    }
    void markPlacement() {
        QFETCH(QPoint, point);
        QFETCH(QRect, text);
        const int plotTop = 50;
        const MarkPlace mark = markPlace(point, 5, 18, QSize(120, 19), plotTop);
        QCOMPARE(mark.text, text);
        QVERIFY(mark.text.top() >= plotTop);
        QCOMPARE(mark.arrow.x1(), point.x());
    }

    void valueText_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("grouped, one decimal") << 1234.5 << "1,234.5";
        QTest::newRow("grouped whole") << 65432.0 << "65,432";
        QTest::newRow("below a thousandth") << 0.0004 << "0";
        QTest::newRow("half rounds up") << 0.0005 << "0.001";
        QTest::newRow("three decimals") << 1234567.891 << "1,234,567.891";
        QTest::newRow("rounding carries") << 999.9996 << "1,000";
        QTest::newRow("negative") << -1234.5 << "-1,234.5";
        QTest::newRow("negative to zero") << -0.0004 << "0";
        QTest::newRow("zero") << 0.0 << "0";
        QTest::newRow("three digits") << 100.0 << "100";
    }
    void valueText() {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(kelvos::chart::valueText(value), text);
    }

    void viewedIndices_data() {
        QTest::addColumn<int>("count");
        QTest::addColumn<double>("minimum");
        QTest::addColumn<double>("maximum");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("last");
        QTest::newRow("all") << 10 << 0.0 << 9.0 << 0 << 9;
        QTest::newRow("window with neighbours") << 100 << 10.0 << 30.0 << 9 << 31;
        QTest::newRow("fractional bounds") << 100 << 10.5 << 29.5 << 9 << 31;
        QTest::newRow("past the end") << 10 << 20.0 << 40.0 << 0 << -1;
        QTest::newRow("empty series") << 0 << 0.0 << 1.0 << 0 << -1;
    }
    void viewedIndices() {
        QFETCH(int, count);
        QFETCH(double, minimum);
        QFETCH(double, maximum);
        QFETCH(int, first);
        QFETCH(int, last);
        const IndexSpan s = indicesInView(count, {minimum, maximum, false});
        QCOMPARE(s.count() == 0 ? -1 : s.first, last < first ? -1 : first);
        QCOMPARE(s.count(), last < first ? 0 : last - first + 1);
    }

    void seriesExtremes_data() {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("end");
        QTest::newRow("one point") << 5 << 6;
        QTest::newRow("inside one block") << 3 << 60;
        QTest::newRow("across a block edge") << 60 << 70;
        QTest::newRow("whole blocks") << 64 << 640;
        QTest::newRow("parts and whole blocks") << 37 << 1000;
        QTest::newRow("up to the unfinished block") << 100 << 1030;
    }
    void seriesExtremes() {
        QFETCH(int, first);
        QFETCH(int, end);
        SeriesData data;
        for (int i = 0; i < 1030; ++i)
            data.append((i * 7919) % 1009 + (i % 2 ? 0.5 : 0)); // ties and scatter
        int low = first, high = first;
        for (int i = first; i < end; ++i) {
            low = data[i] < data[low] ? i : low;
            high = data[i] > data[high] ? i : high;
        }
        QCOMPARE(data.extremes(first, end), std::make_pair(low, high));
    }

    void thinning_data() {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("maxPoints");
        QTest::newRow("few points all kept") << 50 << 50;
        QTest::newRow("100000 points, 500 columns") << 100000 << 2 * 501;
    }
    void thinning() {
        QFETCH(int, count);
        QFETCH(int, maxPoints);
        SeriesData values;
        for (int i = 0; i < count; ++i) {
            // scattered, with a spike each way that must survive
            const double spike = i == count / 3 ? 40000 : i == count / 2 ? 90000 : 0;
            values.append(spike ? spike : 60000 + (i * 7919) % 5000);
        }
        const AxisMapping x = AxisMapping::of({0, double(count - 1), true}, 0, 500);
        const AxisMapping y = AxisMapping::of({40000, 90000, true}, 0, 300);
        const QPolygonF line =
            thinnedPolyline(values, indicesInView(count, {0, double(count - 1), true}), x, y);
        QVERIFY2(line.size() <= maxPoints, qPrintable(QString::number(line.size())));
        if (count == maxPoints)
            QCOMPARE(int(line.size()), count);
        const auto [low, high] = std::minmax_element(
            line.begin(), line.end(), [](QPointF a, QPointF b) { return a.y() < b.y(); });
        QCOMPARE(low->y(), 0.0);
        QCOMPARE(high->y(), 300.0);
        QVERIFY(std::is_sorted(line.begin(), line.end(),
                               [](QPointF a, QPointF b) { return a.x() < b.x(); }));
    }
};

QTEST_APPLESS_MAIN(ChartGeometryTest)
#include "tst_chartgeometry.moc"
