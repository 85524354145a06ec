#include "HintShape.h"

#include <QTest>

using namespace kelvos;

class TestHintShape : public QObject {
    Q_OBJECT
private slots:
    void windowRect_data() {
        QTest::addColumn<int>("style");
        QTest::addColumn<QRect>("expected");
        QTest::newRow("balloon: 9 px taller")
            << int(HintStyle::hsFukidashi) << QRect(10, 20, 80, 29);
        QTest::newRow("round rectangle") << int(HintStyle::hsRoundRect) << QRect(10, 20, 80, 20);
        QTest::newRow("leader line") << int(HintStyle::hsLineString) << QRect(10, 20, 101, 32);
        QTest::newRow("owner draw") << int(HintStyle::hsOwnerDraw) << QRect(10, 20, 80, 20);
    }
    void windowRect() {
        QFETCH(int, style);
        QFETCH(QRect, expected);
        QCOMPARE(hintWindowRect(HintStyle(style), QRect(10, 20, 80, 20)), expected);
    }

    // Which pixels of an 80 x 29 window the region keeps.
    void region_data() {
        QTest::addColumn<int>("style");
        QTest::addColumn<QPoint>("pixel");
        QTest::addColumn<bool>("kept");
        const int balloon = int(HintStyle::hsFukidashi);
        QTest::newRow("balloon: left of the tail") << balloon << QPoint(3, 5) << false;
        QTest::newRow("balloon: in the tail") << balloon << QPoint(12, 5) << true;
        QTest::newRow("balloon: right of the tail") << balloon << QPoint(16, 5) << false;
        QTest::newRow("balloon: far right above the body") << balloon << QPoint(70, 8) << false;
        QTest::newRow("balloon: body top left") << balloon << QPoint(0, 9) << true;
        QTest::newRow("balloon: body bottom right") << balloon << QPoint(79, 28) << true;
        const int rounded = int(HintStyle::hsRoundRect);
        QTest::newRow("round: corner cut") << rounded << QPoint(0, 0) << false;
        QTest::newRow("round: middle") << rounded << QPoint(40, 14) << true;
        const int line = int(HintStyle::hsLineString);
        QTest::newRow("line: outer ring cut") << line << QPoint(0, 10) << false;
        QTest::newRow("line: inside") << line << QPoint(1, 1) << true;
        QTest::newRow("line: last kept") << line << QPoint(78, 27) << true;
        QTest::newRow("line: right ring cut") << line << QPoint(79, 27) << false;
    }
    void region() {
        QFETCH(int, style);
        QFETCH(QPoint, pixel);
        QFETCH(bool, kept);
        QCOMPARE(hintWindowRegion(HintStyle(style), QSize(80, 29)).contains(pixel), kept);
    }

    // A balloon above the pointer hangs its tail from the bottom edge.
    void tailBelow_data() {
        QTest::addColumn<QPoint>("pixel");
        QTest::addColumn<bool>("kept");
        QTest::newRow("in the tail") << QPoint(12, 24) << true;
        QTest::newRow("left of the tail") << QPoint(3, 24) << false;
        QTest::newRow("body top left") << QPoint(0, 0) << true;
        QTest::newRow("body bottom") << QPoint(40, 19) << true;
    }
    void tailBelow() {
        QFETCH(QPoint, pixel);
        QFETCH(bool, kept);
        const BalloonTail below{14, false};
        QCOMPARE(hintWindowRegion(HintStyle::hsFukidashi, QSize(80, 29), below).contains(pixel),
                 kept);
        QCOMPARE(balloonOutline(QSize(80, 29), below)[0], QPoint(14, 28));
    }

    // Every balloon lies inside the work area, and its tail's tip stays 14 px right of the
    // pointer, on the edge that faces it.
    void placement_data() {
        QTest::addColumn<QRect>("workArea");
        QTest::addColumn<QPoint>("pointer");
        QTest::addColumn<QRect>("control");
        QTest::addColumn<QRect>("window");
        QTest::addColumn<bool>("tailOnTop");
        const QRect screen(0, 0, 1024, 768);
        QTest::newRow("room below: under the pointer")
            << screen << QPoint(100, 100) << QRect(90, 90, 50, 26) << QRect(100, 116, 120, 31)
            << true;
        QTest::newRow("bottom row: above the button")
            << screen << QPoint(700, 750) << QRect(690, 740, 56, 26) << QRect(700, 709, 120, 31)
            << false;
        QTest::newRow("right edge: moved left")
            << screen << QPoint(1000, 100) << QRect(990, 90, 30, 26) << QRect(904, 116, 120, 31)
            << true;
        QTest::newRow("tall control: just above the pointer")
            << screen << QPoint(500, 740) << QRect(3, 365, 998, 332) << QRect(500, 693, 120, 31)
            << false;
        QTest::newRow("over a panel: above the button")
            << QRect(0, 0, 1366, 728) << QPoint(40, 710) << QRect(30, 700, 60, 26)
            << QRect(40, 669, 120, 31) << false;
    }
    void placement() {
        QFETCH(QRect, workArea);
        QFETCH(QPoint, pointer);
        QFETCH(QRect, control);
        QFETCH(QRect, window);
        QFETCH(bool, tailOnTop);
        const HintPlacement placed =
            placeHint(HintStyle::hsFukidashi, QSize(120, 22), pointer, control, workArea);
        const QRect shown = hintWindowRect(HintStyle::hsFukidashi, placed.textRect);
        QCOMPARE(shown, window);
        QVERIFY(workArea.contains(shown));
        QCOMPARE(placed.tail.onTop, tailOnTop);
        QCOMPARE(shown.left() + placed.tail.tipX, pointer.x() + 14);
    }

    void ownerDrawIsUnshaped() {
        QVERIFY(hintWindowRegion(HintStyle::hsOwnerDraw, QSize(80, 29)).isEmpty());
    }

    void balloonOutlineEndsInsideTheWindow() {
        const auto points = balloonOutline(QSize(80, 29));
        QCOMPARE(points[0], QPoint(14, 0));
        QCOMPARE(points[4], QPoint(79, 28));
        QCOMPARE(points[7], QPoint(13, 0));
    }
};

QTEST_APPLESS_MAIN(TestHintShape)
#include "tst_hintshape.moc"
