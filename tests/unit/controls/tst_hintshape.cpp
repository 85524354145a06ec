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
