#include "ClipPlayer.h"
#include "SdlClipPlayer.h"
#include "SignalQueue.h"
#include "TestFiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>
#include <thread>

namespace {
// A mono 16-bit PCM WAV file of the given length, silent.
QByteArray wavOf(int milliseconds, int rate = 22050) {
    const quint32 samples = quint32(rate) * quint32(milliseconds) / 1000u;
    const quint32 dataBytes = samples * 2;
    QByteArray wav;
    const auto u32 = [&wav](quint32 v) {
        for (int i = 0; i < 4; ++i)
            wav.append(char((v >> (8 * i)) & 0xFF));
    };
    const auto u16 = [&wav](quint16 v) {
        wav.append(char(v & 0xFF));
        wav.append(char(v >> 8));
    };
    wav.append("RIFF");
    u32(36 + dataBytes);
    wav.append("WAVEfmt ");
    u32(16);
    u16(1); // PCM
    u16(1); // mono
    u32(quint32(rate));
    u32(quint32(rate) * 2);
    u16(2);
    u16(16);
    wav.append("data");
    u32(dataBytes);
    wav.append(QByteArray(int(dataBytes), '\0'));
    return wav;
}

bool soundLibraryMapped() {
    QFile maps("/proc/self/maps");
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("libSDL2");
}

} // namespace

class TestClipPlayer : public QObject {
    Q_OBJECT
private slots:
    void init() {
        QVERIFY(folder.isValid());
        QVERIFY(QDir::setCurrent(folder.path())); // clips are looked up by bare name
    }

    // Runs first, before any case has loaded the sound library into this process.
    void soundLibraryLoadsAtTheFirstSoundOnly() {
        kelvos::SdlClipPlayer player([] {});
        QVERIFY2(!soundLibraryMapped(), "SDL was loaded before any sound was asked for");
        player.prepare();
        QVERIFY(soundLibraryMapped());
    }

    void missingOrBrokenClipsBeep() {
        std::atomic<int> beeps{0};
        kelvos::SdlClipPlayer player([&beeps] { ++beeps; });
        player.prepare();
        QVERIFY(player.hasAudio());
        player.play("missing.wav");
        testfiles::writeContents("broken.wav", "RIFF-not-a-wave");
        player.play("broken.wav");
        QCOMPARE(beeps.load(), 2);
    }

    void clipPlaysToItsEnd() {
        std::atomic<int> beeps{0};
        kelvos::SdlClipPlayer player([&beeps] { ++beeps; });
        player.prepare();
        testfiles::writeContents("goo.wav", wavOf(300));
        QElapsedTimer timer;
        timer.start();
        player.play("goo.wav");
        QCOMPARE(beeps.load(), 0);
        QVERIFY2(timer.elapsed() >= 250, "play() returned before the clip ended");
    }

    // A newer clip stops the one playing: the older call returns early, without a beep.
    void newerClipCutsTheOlderShort() {
        std::atomic<int> beeps{0};
        kelvos::SdlClipPlayer player([&beeps] { ++beeps; });
        player.prepare();
        testfiles::writeContents("long.wav", wavOf(5000));
        testfiles::writeContents("short.wav", wavOf(100));
        std::atomic<bool> longDone{false};
        QElapsedTimer timer;
        timer.start();
        std::thread first([&] {
            player.play("long.wav");
            longDone = true;
        });
        QTest::qWait(200);
        player.play("short.wav");
        first.join();
        QVERIFY(longDone);
        QVERIFY2(timer.elapsed() < 4000, "the long clip was not cut short");
        QCOMPARE(beeps.load(), 0);
    }

    void signalsKeepTheirOrder() {
        kelvos::RecordingClipPlayer recorder;
        kelvos::SignalQueue queue(recorder);
        queue.enqueue("pi.wav");
        queue.enqueueBeep();
        queue.enqueue("po.wav");
        queue.waitUntilIdle();
        QCOMPARE(recorder.heard(), QStringList({"pi.wav", "beep", "po.wav"}));
    }

    void queueFinishesItsWorkWhenDestroyed() {
        kelvos::RecordingClipPlayer recorder;
        {
            kelvos::SignalQueue queue(recorder);
            for (int i = 0; i < 50; ++i)
                queue.enqueue(QString("clip%1.wav").arg(i));
        }
        QCOMPARE(recorder.heard().size(), 50);
    }

private:
    QTemporaryDir folder;
};

QTEST_GUILESS_MAIN(TestClipPlayer)
#include "tst_clipplayer.moc"
