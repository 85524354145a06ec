#include "AppFixture.h"

#include <QApplication>
#include <QLabel>
#include <QSlider>
#include <QTimer>

using kelvos::SoundLevels;

namespace {
QSlider* slider(const AppFixture& app, const char* name) {
    return app.control<QSlider>(name);
}

SoundLevels shownLevels(const AppFixture& app) {
    return {slider(app, "VoiceVolume")->value(), slider(app, "ToneVolume")->value()};
}
} // namespace

namespace QTest {
template <> char* toString(const SoundLevels& levels) {
    return qstrdup(qPrintable(QString("voice %1, tones %2").arg(levels.voice).arg(levels.tones)));
}
} // namespace QTest

class TestVolume : public QObject {
    Q_OBJECT
private slots:
    // "Volume…" opens the levels beside the running watch; each key is heard at once, the tone
    // slider lets its tone sound when it comes to rest, and the levels are in the settings file a
    // moment later and come back at the next start.
    void levelsAreSetLiveAndKept() {
        AppFixture app;
        app.control<QTimer>("SettingsSaveTimer")->setInterval(20);
        app.click("start");
        app.heard(); // its tone
        app.chooseFromMenu("Volume1");
        QVERIFY(app.control("VolumeWindow")->isVisible());
        QVERIFY(!QApplication::activeModalWidget()); // the watch's own controls stay live

        QSlider* voice = slider(app, "VoiceVolume");
        voice->setFocus();
        QTest::keyClick(voice, Qt::Key_PageDown);
        QTest::keyClick(voice, Qt::Key_PageDown);
        QTest::keyClick(voice, Qt::Key_Left);
        QCOMPARE(app.player.levels(), (SoundLevels{79, 100}));
        QCOMPARE(app.text("VoiceVolumePercent"), QString("79 %"));
        QSlider* tones = slider(app, "ToneVolume");
        tones->setFocus();
        QTest::keyClick(tones, Qt::Key_Home);
        QTest::keyClick(tones, Qt::Key_PageUp);
        QCOMPARE(app.player.levels(), (SoundLevels{79, 10}));
        QStringList heard; // one tone once the tone slider rests; none for the voice
        QTRY_VERIFY((heard += app.heard()).size() >= 1);
        QCOMPARE(heard, QStringList({"pi.wav"}));

        app.advance(1500);
        app.click("LAP"); // the window does not hold the watch up
        QCOMPARE(app.window->lapState().Lap1.LapCount, 1);
        QTRY_VERIFY2(app.settingsText().contains("[Sound]\nVoiceVolume=79\nToneVolume=10\n"),
                     app.settingsText().constData());

        AppFixture again(AppFixture::Files{.settings = app.settingsText()});
        QCOMPARE(shownLevels(again), (SoundLevels{79, 10}));
        QCOMPARE(again.player.levels(), (SoundLevels{79, 10})); // the output plays at them
    }

    // A damaged level is not read as silence: only a number counts, held to 0 to 100 %.
    void damagedLevelsFallBack() {
        AppFixture app(AppFixture::Files{.settings = "[Sound]\nVoiceVolume=loud\nToneVolume=-5\n"});
        QCOMPARE(shownLevels(app), (SoundLevels{100, 0}));
        QCOMPARE(app.player.levels(), (SoundLevels{100, 0}));
    }
};

QTEST_MAIN(TestVolume)
#include "tst_volume.moc"
