#include "CuteButtonLook.h"

#include <QTest>

using namespace kelvos;

class TestCuteButtonLook : public QObject {
    Q_OBJECT
private slots:
    void outerBevel_data();
    void outerBevel();
    void caption_data();
    void caption();
};

void TestCuteButtonLook::outerBevel_data() {
    QTest::addColumn<int>("current");
    QTest::addColumn<int>("event");
    QTest::addColumn<bool>("leftDown");
    QTest::addColumn<bool>("inside");
    QTest::addColumn<bool>("focused");
    QTest::addColumn<bool>("tabFocusUp");
    QTest::addColumn<int>("after");
    const int none = int(Bevel::None), up = int(Bevel::Raised), down = int(Bevel::Lowered);
    using E = EdgeEvent;
    QTest::newRow("enter") << none << int(E::PointerEnter) << false << true << false << true << up;
    QTest::newRow("enter with the left button held")
        << none << int(E::PointerEnter) << true << true << false << true << down;
    QTest::newRow("leave unfocused")
        << up << int(E::PointerLeave) << false << false << false << true << none;
    QTest::newRow("leave focused keeps the edge")
        << up << int(E::PointerLeave) << false << false << true << true << up;
    QTest::newRow("leave focused without TabFocusUp")
        << up << int(E::PointerLeave) << false << false << true << false << none;
    QTest::newRow("focus in") << none << int(E::FocusIn) << false << false << true << true << up;
    QTest::newRow("focus in without TabFocusUp")
        << none << int(E::FocusIn) << false << false << true << false << none;
    QTest::newRow("focus out") << up << int(E::FocusOut) << false << true << false << true << none;
    QTest::newRow("press") << up << int(E::LeftPress) << true << true << true << true << down;
    QTest::newRow("release inside")
        << down << int(E::LeftRelease) << false << true << false << false << up;
    QTest::newRow("release outside, focused")
        << down << int(E::LeftRelease) << false << false << true << true << up;
    QTest::newRow("release outside without TabFocusUp")
        << down << int(E::LeftRelease) << false << false << true << false << none;
    QTest::newRow("key done") << down << int(E::KeyDone) << false << false << true << true << up;
    QTest::newRow("key done without TabFocusUp")
        << down << int(E::KeyDone) << false << false << true << false << none;
}

void TestCuteButtonLook::outerBevel() {
    QFETCH(int, current);
    QFETCH(int, event);
    QFETCH(bool, leftDown);
    QFETCH(bool, inside);
    QFETCH(bool, focused);
    QFETCH(bool, tabFocusUp);
    QFETCH(int, after);
    const EdgeContext context{leftDown, inside, focused, tabFocusUp};
    QCOMPARE(int(nextOuterBevel(Bevel(current), EdgeEvent(event), context)), after);
}

void TestCuteButtonLook::caption_data() {
    QTest::addColumn<int>("bevelWidth");
    QTest::addColumn<bool>("flat");
    QTest::addColumn<int>("alignment");
    QTest::addColumn<int>("layout");
    QTest::addColumn<int>("marginX");
    QTest::addColumn<int>("marginY");
    QTest::addColumn<int>("outer");
    QTest::addColumn<QRect>("expected");
    const int left = int(CaptionAlignment::Left), centre = int(CaptionAlignment::Center),
              right = int(CaptionAlignment::Right);
    const int top = int(CaptionLayout::Top), middle = int(CaptionLayout::Center),
              bottom = int(CaptionLayout::Bottom);
    const int none = int(Bevel::None), down = int(Bevel::Lowered);
    // Client area 0,0 75 x 25.
    QTest::newRow("two bevels inset twice") << 2 << false << centre << middle << -1 << -1 << none
                                            << QRect(QPoint(4, 4), QPoint(70, 20));
    QTest::newRow("flat inset once")
        << 2 << true << centre << middle << -1 << -1 << none << QRect(QPoint(2, 2), QPoint(72, 22));
    QTest::newRow("sunk moves left and top by 2") << 1 << false << centre << middle << -1 << -1
                                                  << down << QRect(QPoint(4, 4), QPoint(72, 22));
    QTest::newRow("left margin") << 1 << false << left << top << 5 << 3 << none
                                 << QRect(QPoint(7, 5), QPoint(72, 22));
    QTest::newRow("right and bottom margins")
        << 1 << false << right << bottom << 5 << 3 << none << QRect(QPoint(2, 2), QPoint(67, 19));
    QTest::newRow("centre ignores margins")
        << 1 << false << centre << middle << 5 << 3 << none << QRect(QPoint(2, 2), QPoint(72, 22));
}

void TestCuteButtonLook::caption() {
    QFETCH(int, bevelWidth);
    QFETCH(bool, flat);
    QFETCH(int, alignment);
    QFETCH(int, layout);
    QFETCH(int, marginX);
    QFETCH(int, marginY);
    QFETCH(int, outer);
    QFETCH(QRect, expected);
    const CaptionPlacement placement{
        bevelWidth, flat, CaptionAlignment(alignment), CaptionLayout(layout), marginX, marginY};
    QCOMPARE(captionRect(QRect(0, 0, 75, 25), placement, Bevel(outer)), expected);
}

QTEST_APPLESS_MAIN(TestCuteButtonLook)
#include "tst_cutebuttonlook.moc"
