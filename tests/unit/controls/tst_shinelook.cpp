#include "ShineLook.h"

#include <QTest>

using namespace kelvos;

class TestShineLook : public QObject {
    Q_OBJECT
private slots:
    void gradientStopsOneStepShortOfItsEnd() {
        QList<int> columns;
        for (int x = 0; x < 10; ++x)
            columns << gradientColor(Qt::black, Qt::white, x, 10).green();
        QCOMPARE(columns, (QList<int>{0, 25, 51, 76, 102, 127, 153, 178, 204, 229}));
    }

    void gradientTruncatesTowardZeroGoingDown() {
        // 255 + 1 * (0 - 255) / 10 = 255 - 25 (not 255 - 26, as rounding down would give).
        QCOMPARE(gradientColor(Qt::white, Qt::black, 1, 10).red(), 230);
    }

    void looks_data() {
        QTest::addColumn<int>("state");
        QTest::addColumn<bool>("activeColorsEnabled");
        QTest::addColumn<int>("colors");
        QTest::addColumn<bool>("activeFont");
        QTest::addColumn<int>("frame");
        QTest::addColumn<bool>("sunk");
        const int normal = int(ColorSetRole::Normal), active = int(ColorSetRole::Active),
                  pressed = int(ColorSetRole::Pressed);
        const int up = int(FrameSwitch::Up), down = int(FrameSwitch::Down),
                  hover = int(FrameSwitch::Active);
        QTest::newRow("hovered and pressed") << 0 << false << pressed << true << hover << true;
        QTest::newRow("hovered and pressed, active colours")
            << 0 << true << active << true << hover << true;
        QTest::newRow("pressed") << 1 << true << pressed << false << down << true;
        QTest::newRow("hovered keeps the face") << 2 << false << normal << true << hover << false;
        QTest::newRow("hovered, active colours") << 2 << true << active << true << hover << false;
        QTest::newRow("up") << 3 << true << normal << false << up << false;
        QTest::newRow("disabled") << 4 << true << normal << false << up << false;
    }
    void looks() {
        QFETCH(int, state);
        QFETCH(bool, activeColorsEnabled);
        QFETCH(int, colors);
        QFETCH(bool, activeFont);
        QFETCH(int, frame);
        QFETCH(bool, sunk);
        const ShineLook look = shineLook(ShineState(state), activeColorsEnabled);
        QCOMPARE(int(look.colors), colors);
        QCOMPARE(look.activeFont, activeFont);
        QCOMPARE(int(look.frame), frame);
        QCOMPARE(look.sunk, sunk);
    }

    void enterAndLeave_data() {
        QTest::addColumn<int>("state");
        QTest::addColumn<int>("entered");
        QTest::addColumn<int>("left");
        QTest::newRow("up") << 3 << 2 << 3;
        QTest::newRow("pressed") << 1 << 0 << 1;
        QTest::newRow("hovered") << 2 << 2 << 3;
        QTest::newRow("hovered and pressed") << 0 << 0 << 1;
        QTest::newRow("disabled") << 4 << 4 << 4;
    }
    void enterAndLeave() {
        QFETCH(int, state);
        QFETCH(int, entered);
        QFETCH(int, left);
        QCOMPARE(int(shineEntered(ShineState(state))), entered);
        QCOMPARE(int(shineLeft(ShineState(state))), left);
    }

    // A 4 x 1 glyph: transparent white, red, green, transparent white.
    void glyphEffects_data() {
        QTest::addColumn<int>("effect");
        QTest::addColumn<QList<QRgb>>("pixels");
        const QRgb w = qRgb(255, 255, 255), s = qRgb(0, 0, 255);
        QTest::newRow("none") << int(ActiveImage::aiNoLight)
                              << QList<QRgb>{w, qRgb(200, 0, 0), qRgb(0, 100, 0), w};
        QTest::newRow("xor") << int(ActiveImage::aiXorLight)
                             << QList<QRgb>{w, qRgb(200, 0, 255), qRgb(0, 100, 255), w};
        QTest::newRow("half") << int(ActiveImage::aiHalfLight)
                              << QList<QRgb>{w, qRgb(100, 0, 127), qRgb(0, 50, 127), w};
        QTest::newRow("quarter") << int(ActiveImage::aiQuaterLight)
                                 << QList<QRgb>{w, qRgb(50, 0, 191), qRgb(0, 25, 191), w};
        QTest::newRow("add") << int(ActiveImage::aiAddLight)
                             << QList<QRgb>{w, qRgb(200, 0, 255), qRgb(0, 100, 255), w};
        QTest::newRow("frame") << int(ActiveImage::aiFrameLight)
                               << QList<QRgb>{s, qRgb(200, 0, 0), qRgb(0, 100, 0), s};
        QTest::newRow("checkerboard")
            << int(ActiveImage::aiMaskLight) << QList<QRgb>{w, qRgb(200, 0, 0), s, w};
    }
    void glyphEffects() {
        QFETCH(int, effect);
        QFETCH(QList<QRgb>, pixels);
        QImage glyph(4, 1, QImage::Format_RGB32);
        glyph.setPixel(0, 0, qRgb(255, 255, 255));
        glyph.setPixel(1, 0, qRgb(200, 0, 0));
        glyph.setPixel(2, 0, qRgb(0, 100, 0));
        glyph.setPixel(3, 0, qRgb(255, 255, 255));
        const QImage lit =
            litGlyph(glyph, qRgb(255, 255, 255), ActiveImage(effect), qRgb(0, 0, 255));
        QList<QRgb> shown;
        for (int x = 0; x < 4; ++x)
            shown << (lit.pixel(x, 0) | 0xFF000000);
        QCOMPARE(shown, pixels);
    }

    void greyscaleAveragesTheChannels() {
        QImage glyph(2, 1, QImage::Format_RGB32);
        glyph.setPixel(0, 0, qRgb(90, 30, 0));
        glyph.setPixel(1, 0, qRgb(255, 255, 255));
        const QImage grey =
            treatedGlyph(glyph, qRgb(255, 255, 255), StateImage::diGrayscale, qRgb(0, 0, 0));
        QCOMPARE(grey.pixel(0, 0) | 0xFF000000, qRgb(40, 40, 40));
    }
};

QTEST_APPLESS_MAIN(TestShineLook)
#include "tst_shinelook.moc"
