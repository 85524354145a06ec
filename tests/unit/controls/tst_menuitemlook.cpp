#include "MenuItemLook.h"

#include <QTest>

using namespace kelvos;

class TestMenuItemLook : public QObject {
    Q_OBJECT
private slots:
    void checkSquareSitsAtTheItemsLeft() {
        QCOMPARE(menuCheckSquare(QRect(0, 50, 117, 25)), QRect(QPoint(2, 58), QPoint(9, 66)));
    }

    void captionStartsAtFifteenInTheMenu_data() {
        QTest::addColumn<QRect>("item");
        QTest::addColumn<QRect>("caption");
        QTest::newRow("item at the menu's edge") << QRect(0, 25, 100, 25) << QRect(15, 25, 85, 25);
        QTest::newRow("item inset") << QRect(4, 25, 100, 25) << QRect(15, 25, 89, 25);
    }
    void captionStartsAtFifteenInTheMenu() {
        QFETCH(QRect, item);
        QFETCH(QRect, caption);
        QCOMPARE(menuCaptionRect(item), caption);
    }

    void separatorIsTwoLinesAcrossTheMiddle_data() {
        QTest::addColumn<QRect>("item");
        QTest::addColumn<QLine>("dark");
        QTest::addColumn<QLine>("light");
        QTest::newRow("even height")
            << QRect(0, 50, 100, 10) << QLine(1, 55, 98, 55) << QLine(1, 56, 98, 56);
        QTest::newRow("odd height")
            << QRect(0, 50, 100, 11) << QLine(1, 55, 98, 55) << QLine(1, 56, 98, 56);
    }
    void separatorIsTwoLinesAcrossTheMiddle() {
        QFETCH(QRect, item);
        QFETCH(QLine, dark);
        QFETCH(QLine, light);
        const auto lines = menuSeparatorLines(item);
        QCOMPARE(lines[0], dark);
        QCOMPARE(lines[1], light);
    }
};

QTEST_APPLESS_MAIN(TestMenuItemLook)
#include "tst_menuitemlook.moc"
