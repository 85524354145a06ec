#include "DesignScale.h"

#include <QTest>

using namespace kelvos;

namespace {
const QSize kDesign(1020, 763);
// A window manager's frame: a title bar and thin borders.
const QMargins kFrame(1, 22, 1, 1);

QRect frameRect(const WindowOpening& opening) {
    const QSize client(qRound(kDesign.width() * opening.scale),
                       qRound(kDesign.height() * opening.scale));
    return {opening.framePosition,
            client + QSize(kFrame.left() + kFrame.right(), kFrame.top() + kFrame.bottom())};
}
} // namespace

class TestDesignScale : public QObject {
    Q_OBJECT
private slots:
    // Controls that touch in the design still touch at any scale.
    void neighboursStayNeighbours() {
        for (double scale : {0.6, 0.83, 1.0, 1.37, 2.0}) {
            const QRect left = scaledRect(QRect(4, 262, 60, 28), scale);
            const QRect right = scaledRect(QRect(64, 262, 60, 28), scale);
            QCOMPARE(left.right() + 1, right.left());
        }
    }

    // Where the window opens: centred in the work area of the pointer's screen, frame
    // included, at the designed size where it fits, else at the largest scale that fits; a
    // kept place where it still lies on a present screen.
    void opening_data() {
        QTest::addColumn<QList<QRect>>("workAreas");
        QTest::addColumn<QRect>("pointerArea");
        QTest::addColumn<std::optional<WindowPlace>>("kept");
        QTest::addColumn<double>("scale");
        QTest::addColumn<QPoint>("framePosition");
        const QRect large(0, 0, 1920, 1080), laptop(0, 0, 1366, 728);
        QTest::newRow("designed size fits: centred")
            << QList<QRect>{large} << large << std::optional<WindowPlace>() << 1.0
            << QPoint(449, 147);
        QTest::newRow("laptop with a panel: the largest scale that fits")
            << QList<QRect>{laptop} << laptop << std::optional<WindowPlace>() << 705.0 / 763
            << QPoint((1366 - 944) / 2, 0);
        QTest::newRow("kept place on the screen")
            << QList<QRect>{large} << large << std::optional(WindowPlace{1.2, {100, 50}}) << 1.2
            << QPoint(100, 50);
        QTest::newRow("kept scale too large for the screen now: fitted, kept place")
            << QList<QRect>{large} << large << std::optional(WindowPlace{2.0, {0, 0}})
            << 1057.0 / 763 << QPoint(0, 0);
        QTest::newRow("kept place on a screen that is gone: centred, kept scale")
            << QList<QRect>{large} << large << std::optional(WindowPlace{0.8, {2500, 100}}) << 0.8
            << QPoint(551, 223);
        QTest::newRow("second screen holds the pointer")
            << QList<QRect>{large, QRect(1920, 0, 1280, 1024)} << QRect(1920, 0, 1280, 1024)
            << std::optional<WindowPlace>() << 1.0 << QPoint(1920 + 129, 119);
        // Too large even so: its title bar stays on the screen.
        QTest::newRow("smallest scale on a tiny screen")
            << QList<QRect>{QRect(0, 0, 400, 300)} << QRect(0, 0, 400, 300)
            << std::optional<WindowPlace>() << kMinimumScale << QPoint(0, 0);
    }
    void opening() {
        QFETCH(QList<QRect>, workAreas);
        QFETCH(QRect, pointerArea);
        QFETCH(std::optional<WindowPlace>, kept);
        QFETCH(double, scale);
        QFETCH(QPoint, framePosition);
        const WindowOpening opening = openingPlace(kDesign, kFrame, workAreas, pointerArea, kept);
        QCOMPARE(opening.scale, scale);
        QCOMPARE(opening.framePosition, framePosition);
        if (scale > kMinimumScale)
            QVERIFY(std::any_of(workAreas.begin(), workAreas.end(), [&](const QRect& area) {
                return area.contains(frameRect(opening));
            }));
    }

    // A resized window shows the whole design at the scale of its shorter side, centred.
    void designArea_data() {
        QTest::addColumn<QSize>("client");
        QTest::addColumn<QRect>("area");
        QTest::newRow("designed size") << kDesign << QRect(QPoint(0, 0), kDesign);
        QTest::newRow("twice as large") << kDesign * 2 << QRect(QPoint(0, 0), kDesign * 2);
        QTest::newRow("wider: bars left and right") << QSize(1200, 763) << QRect(90, 0, 1020, 763);
        QTest::newRow("taller: bars above and below")
            << QSize(1020, 900) << QRect(0, 68, 1020, 763);
    }
    void designArea() {
        QFETCH(QSize, client);
        QFETCH(QRect, area);
        QCOMPARE(kelvos::designArea(kDesign, client), area);
    }
};

QTEST_APPLESS_MAIN(TestDesignScale)
#include "tst_designscale.moc"
