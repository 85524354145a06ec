#include "TChart.h"

#include <QScreen>
#include <QSignalSpy>
#include <QTest>

using kelvos::chart::AxisId;
using kelvos::chart::AxisRange;

namespace {

struct Ranges {
    AxisRange horizontal, vertical;
};

Ranges rangesOf(const TChart& chart) {
    return {chart.axisRange(AxisId::Bottom), chart.axisRange(AxisId::Right)};
}

bool same(AxisRange a, AxisRange b) {
    return a.minimum == b.minimum && a.maximum == b.maximum && a.automatic == b.automatic;
}

double span(AxisRange r) {
    return r.maximum - r.minimum;
}

void drag(TChart& chart, Qt::MouseButton button, QPoint from, QPoint to) {
    QTest::mousePress(&chart, button, {}, from);
    QTest::mouseMove(&chart, (from + to) / 2);
    QTest::mouseMove(&chart, to);
    QTest::mouseRelease(&chart, button, {}, to);
}

} // namespace

class TChartTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<TChart> chart_;

private slots:
    void init() {
        chart_ = std::make_unique<TChart>();
        chart_->setObjectName("Chart1");
        chart_->resize(998, 316);
        for (int i = 0; i < 30; ++i) {
            chart_->appendPoint(0, 60000 + (i * 7919) % 5000);
            chart_->appendPoint(1, 61000 + i * 20);
        }
        chart_->show();
        QVERIFY(QTest::qWaitForWindowExposed(chart_.get()));
    }
    void cleanup() { chart_.reset(); }

    // A new point repaints only what it can change; the screen must then show what a whole
    // repaint draws, also when the point moves the ranges and the labels.
    void appendedPointLeavesNoStalePixels_data() {
        QTest::addColumn<bool>("view3D");
        QTest::newRow("2D") << false;
        QTest::newRow("3D") << true;
    }
    void appendedPointLeavesNoStalePixels() {
        QFETCH(bool, view3D);
        chart_->setView3D(view3D);
        QCoreApplication::processEvents();
        chart_->appendPoint(0, 250000);
        chart_->appendPoint(1, 1000);
        QCoreApplication::processEvents();
        const QImage onScreen = chart_->screen()
                                    ->grabWindow(chart_->winId())
                                    .toImage()
                                    .convertToFormat(QImage::Format_RGB32);
        QCOMPARE(onScreen, chart_->grab().toImage().convertToFormat(QImage::Format_RGB32));
    }

    void appendTakesTheCountAsX() {
        QCOMPARE(chart_->pointCount(0), 30);
        QCOMPARE(chart_->point(0, 7), QPointF(7, 60000 + (7 * 7919) % 5000));
        // The left axis mirrors the right one, the top the bottom one.
        QVERIFY(same(chart_->axisRange(AxisId::Left), chart_->axisRange(AxisId::Right)));
        QVERIFY(same(chart_->axisRange(AxisId::Top), chart_->axisRange(AxisId::Bottom)));
        chart_->clearSeries();
        QCOMPARE(chart_->pointCount(0) + chart_->pointCount(1), 0);
    }

    void leftDrag_data() {
        QTest::addColumn<bool>("zoomFirst");
        QTest::addColumn<QPoint>("from");
        QTest::addColumn<QPoint>("to");
        QTest::addColumn<bool>("zoomed");
        QTest::addColumn<int>("zoomSignals");
        QTest::addColumn<int>("undoSignals");
        QTest::newRow("upper left to lower right zooms")
            << false << QPoint(300, 100) << QPoint(500, 200) << true << 1 << 0;
        QTest::newRow("reverse drag undoes")
            << true << QPoint(500, 200) << QPoint(300, 100) << false << 0 << 1;
        QTest::newRow("lower left to upper right undoes")
            << true << QPoint(300, 200) << QPoint(500, 100) << false << 0 << 1;
        QTest::newRow("10 px does neither")
            << false << QPoint(300, 100) << QPoint(310, 110) << false << 0 << 0;
        QTest::newRow("10 px reverse leaves the zoom")
            << true << QPoint(310, 110) << QPoint(300, 100) << true << 0 << 0;
    }
    void leftDrag() {
        QFETCH(bool, zoomFirst);
        QFETCH(QPoint, from);
        QFETCH(QPoint, to);
        QFETCH(bool, zoomed);
        QFETCH(int, zoomSignals);
        QFETCH(int, undoSignals);
        const Ranges original = rangesOf(*chart_);
        if (zoomFirst)
            drag(*chart_, Qt::LeftButton, QPoint(200, 80), QPoint(700, 250));
        const Ranges before = rangesOf(*chart_);
        QSignalSpy zoomedSpy(chart_.get(), &TChart::zoomed);
        QSignalSpy undoneSpy(chart_.get(), &TChart::zoomUndone);
        drag(*chart_, Qt::LeftButton, from, to);
        QCOMPARE(chart_->isZoomed(), zoomed);
        QCOMPARE(zoomedSpy.count(), zoomSignals);
        QCOMPARE(undoneSpy.count(), undoSignals);
        const Ranges after = rangesOf(*chart_);
        if (zoomSignals) {
            QVERIFY(span(after.horizontal) < span(before.horizontal));
            QVERIFY(span(after.vertical) < span(before.vertical));
        } else {
            const Ranges expected = undoSignals ? original : before;
            QVERIFY(same(after.horizontal, expected.horizontal));
            QVERIFY(same(after.vertical, expected.vertical));
        }
    }

    // The zoomed rectangle's corners become the corners of the view.
    void dragRectangleBecomesTheView() {
        drag(*chart_, Qt::LeftButton, QPoint(300, 100), QPoint(500, 200));
        const Ranges zoomed = rangesOf(*chart_);
        drag(*chart_, Qt::LeftButton, QPoint(500, 200), QPoint(300, 100));
        const Ranges whole = rangesOf(*chart_);
        QVERIFY(zoomed.horizontal.minimum > whole.horizontal.minimum);
        QVERIFY(zoomed.horizontal.maximum < whole.horizontal.maximum);
        QVERIFY(zoomed.vertical.minimum > whole.vertical.minimum);
        QVERIFY(zoomed.vertical.maximum < whole.vertical.maximum);
    }

    void rightDragPans_data() {
        QTest::addColumn<QPoint>("delta");
        QTest::addColumn<int>("horizontalSign");
        QTest::addColumn<int>("verticalSign");
        // Dragging right brings earlier points in; dragging down on the inverted axis
        // brings smaller values in.
        QTest::newRow("right") << QPoint(120, 0) << -1 << 0;
        QTest::newRow("left") << QPoint(-120, 0) << 1 << 0;
        QTest::newRow("down") << QPoint(0, 60) << 0 << -1;
        QTest::newRow("up and right") << QPoint(80, -60) << -1 << 1;
    }
    void rightDragPans() {
        QFETCH(QPoint, delta);
        QFETCH(int, horizontalSign);
        QFETCH(int, verticalSign);
        const Ranges before = rangesOf(*chart_);
        QSignalSpy zoomedSpy(chart_.get(), &TChart::zoomed); // "reset" can bring the view back
        drag(*chart_, Qt::RightButton, QPoint(400, 150), QPoint(400, 150) + delta);
        QCOMPARE(zoomedSpy.count(), 1);
        const Ranges after = rangesOf(*chart_);
        const auto sign = [](double d) { return std::abs(d) < 1e-9 ? 0 : d < 0 ? -1 : 1; };
        QCOMPARE(sign(after.horizontal.minimum - before.horizontal.minimum), horizontalSign);
        QCOMPARE(sign(after.vertical.minimum - before.vertical.minimum), verticalSign);
        QCOMPARE(span(after.horizontal), span(before.horizontal));
        QCOMPARE(span(after.vertical), span(before.vertical));
        QVERIFY(!after.horizontal.automatic && !after.vertical.automatic);
    }

    void buttonZoomAnimatesToTheTarget() {
        const Ranges before = rangesOf(*chart_);
        chart_->zoomPercent(120);
        QCOMPARE(span(rangesOf(*chart_).horizontal), span(before.horizontal) * 0.6);
        const QImage firstFrame = chart_->bitmap();
        QTRY_VERIFY(chart_->bitmap() != firstFrame); // the picture moves on by itself
        chart_->undoZoom();
        QVERIFY(same(rangesOf(*chart_).horizontal, before.horizontal));
    }

    // Far zooms leave spans near the limits of doubles: the picture still draws.
    void extremeZoomStillDraws_data() {
        QTest::addColumn<double>("percent");
        QTest::newRow("far in") << 120.0;
        QTest::newRow("far out") << 80.0;
    }
    void extremeZoomStillDraws() {
        QFETCH(double, percent);
        chart_->setView3D(true);
        chart_->setMarksVisible(true);
        for (int i = 0; i < 300; ++i)
            chart_->zoomPercent(percent);
        QCOMPARE(chart_->bitmap().size(), chart_->size());
        QVERIFY(chart_->metafile().size() > 100);
        chart_->undoZoom();
        QVERIFY(chart_->axisRange(AxisId::Bottom).automatic);
    }

    void viewChangesThePicture_data() {
        QTest::addColumn<QString>("change");
        QTest::newRow("marks") << "marks";
        QTest::newRow("3D") << "3D";
        QTest::newRow("depth in 3D") << "depth";
        QTest::newRow("rotation in 3D") << "rotation";
        QTest::newRow("orthogonal in 3D") << "orthogonal";
    }
    void viewChangesThePicture() {
        QFETCH(QString, change);
        if (change != "marks" && change != "3D")
            chart_->setView3D(true);
        chart_->setRotation(300);
        const QImage before = chart_->bitmap();
        if (change == "marks")
            chart_->setMarksVisible(true);
        else if (change == "3D")
            chart_->setView3D(true);
        else if (change == "depth")
            chart_->setChart3DPercent(60);
        else if (change == "rotation")
            chart_->setRotation(360);
        else
            chart_->setOrthogonal(true);
        QVERIFY(chart_->bitmap() != before);
    }

    void marksOnlyForPointsInView() {
        chart_->setAxisAutomatic(AxisId::Right, false);
        chart_->setAxisMinimum(AxisId::Right, 1000);
        chart_->setAxisMaximum(AxisId::Right, 2000); // every point lies below the view
        const QImage before = chart_->bitmap();
        chart_->setMarksVisible(true);
        QCOMPARE(chart_->bitmap(), before);
    }

    void viewDefaults() {
        QVERIFY(!chart_->isView3D());
        QVERIFY(!chart_->marksVisible());
        chart_->setView3D(true);
        const QImage deflt = chart_->bitmap();
        chart_->setChart3DPercent(15);
        chart_->setRotation(360);
        chart_->setOrthogonal(false);
        QCOMPARE(chart_->bitmap(), deflt);
    }

    // The series colours appear as exact pixels: no antialiasing blends them.
    void bitmapShowsTheSeriesColours() {
        const QImage image = chart_->bitmap();
        QCOMPARE(image.size(), chart_->size());
        for (QRgb colour :
             {qRgb(0, 255, 128), qRgb(176, 255, 216), qRgb(255, 0, 0), qRgb(255, 0, 128)}) {
            int found = 0;
            for (int y = 0; y < image.height(); ++y) {
                const QRgb* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
                found += int(std::count(line, line + image.width(), colour | 0xff000000));
            }
            QVERIFY2(found > 30, qPrintable(QString::number(colour, 16)));
        }
    }
};

QTEST_MAIN(TChartTest)
#include "tst_tchart.moc"
