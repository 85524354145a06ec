#include "ClipBank.h"
#include "ClipPlayer.h"
#include "SdlClipPlayer.h"
#include "SignalQueue.h"
#include "TestFiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>
#include <atomic>
#include <thread>

namespace {
constexpr int kRate = 22050;

// A mono 16-bit PCM WAV file whose samples all have the given value; `claimedBytes` overrides
// the size its data chunk states.
QByteArray wavOf(int milliseconds, qint16 value = 0, int rate = kRate, quint32 claimedBytes = 0) {
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
    u32(claimedBytes ? claimedBytes : dataBytes);
    for (quint32 i = 0; i < samples; ++i)
        u16(quint16(value));
    return wav;
}

bool soundLibraryMapped() {
    QFile maps("/proc/self/maps");
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("libSDL2");
}

// Where the output's samples are not zero, as [begin, end) sample ranges.
QList<std::pair<qsizetype, qsizetype>> soundingRuns(const QByteArray& raw) {
    QList<std::pair<qsizetype, qsizetype>> runs;
    const qsizetype samples = raw.size() / 2;
    for (qsizetype i = 0; i < samples;) {
        if (qFromLittleEndian<qint16>(raw.constData() + 2 * i) == 0) {
            ++i;
            continue;
        }
        const qsizetype begin = i;
        while (i < samples && qFromLittleEndian<qint16>(raw.constData() + 2 * i) != 0)
            ++i;
        runs.append({begin, i});
    }
    return runs;
}

qint16 sampleAt(const QByteArray& raw, qsizetype index) {
    return qFromLittleEndian<qint16>(raw.constData() + 2 * index);
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

    // A clip that cannot be used sounds as the beep, on either lane, and is named once.
    void unusableClipsBeepAndAreNamedOnce_data() {
        QTest::addColumn<QByteArray>("contents"); // empty: no such file
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing") << QByteArray() << "missing";
        QTest::newRow("not a WAV") << QByteArray("RIFF-not-a-wave") << "not a WAV file";
        QByteArray noise = wavOf(0, 0, kRate, 2'000'000'000u);
        for (int i = 0; i < 20'000; ++i)
            noise.append(char(i * 7919 % 251));
        QTest::newRow("header claims 2 GB") << noise << "damaged: a chunk is longer than the file";
        QTest::newRow("too long") << wavOf(3500, 1000) << "longer than 3 seconds";
        QTest::newRow("another rate")
            << wavOf(100, 1000, 44100) << "not 16-bit mono PCM at 22050 Hz";
    }
    void unusableClipsBeepAndAreNamedOnce() {
        QFETCH(QByteArray, contents);
        QFETCH(QString, reason);
        QFile::remove("bad.wav");
        if (!contents.isEmpty())
            testfiles::writeContents("bad.wav", contents);
        std::atomic<int> beeps{0};
        QStringList messages;
        kelvos::SdlClipPlayer player([&beeps] { ++beeps; },
                                     [](const QString& name) { return name; },
                                     [&messages](const QString& message) { messages << message; });
        player.prepare();
        QVERIFY(player.hasAudio());
        player.play("bad.wav");
        player.playSignal("bad.wav");
        player.play("bad.wav");
        QCOMPARE(beeps.load(), 3);
        // The clip set of the read-outs, checked at the start, is not in this folder either.
        const QStringList aboutBad = messages.filter("bad.wav");
        QCOMPARE(aboutBad.size(), 1);
        QVERIFY2(aboutBad.first().contains("bad.wav (" + reason + ")"),
                 qPrintable(aboutBad.first()));
    }

    // Clips of the voice follow one another in one stream, a short gap between words and a
    // longer one between groups; a tone sounds over the voice, mixed, not instead of it; every
    // clip starts and ends at zero.
    void voiceIsOneStreamWithTonesMixedOverIt() {
        const QString output = qEnvironmentVariable("SDL_DISKAUDIOFILE");
        QVERIFY(!output.isEmpty());
        testfiles::writeContents("word.wav", wavOf(200, 1000));
        testfiles::writeContents("tone.wav", wavOf(50, 3000));
        {
            kelvos::SdlClipPlayer player([] { QFAIL("a clip became a beep"); });
            player.prepare();
            QVERIFY(player.hasAudio());
            player.play("word.wav");
            player.play("word.wav");
            player.endGroup();
            player.play("word.wav");
            player.playSignal("tone.wav"); // while the third word sounds
            player.play("word.wav");
            player.playSignal("tone.wav"); // its wait covers the fourth word's start
        }
        const QByteArray raw = testfiles::contents(output);
        const auto runs = soundingRuns(raw);
        QCOMPARE(runs.size(), 4);
        const qsizetype clip = kRate * 200 / 1000;
        const auto gap = [](std::chrono::milliseconds ms) { return ms.count() * kRate / 1000; };
        // The first and last sample of a clip are faded to zero.
        const qsizetype wordGap = gap(kelvos::SdlClipPlayer::kWordGap) + 2;
        const qsizetype groupGap = gap(kelvos::SdlClipPlayer::kGroupGap) + 2;
        QCOMPARE(runs[0].second - runs[0].first, clip - 2);
        QCOMPARE(runs[1].first - runs[0].second, wordGap);
        QCOMPARE(runs[2].first - runs[1].second, groupGap);
        QCOMPARE(runs[3].first - runs[2].second, wordGap);
        // The tone lies over the third word: some of its samples are the sum of both.
        qsizetype mixed = 0;
        for (qsizetype i = runs[2].first; i < runs[2].second; ++i)
            mixed += sampleAt(raw, i) == 4000;
        QVERIFY2(mixed > kRate * 40 / 1000, qPrintable(QString::number(mixed)));
    }

    // Each lane is fed at its own level: the voice at half, the tone over it at a fifth.
    void eachLaneIsFedAtItsLevel() {
        const QString output = qEnvironmentVariable("SDL_DISKAUDIOFILE");
        testfiles::writeContents("word.wav", wavOf(200, 1000));
        testfiles::writeContents("tone.wav", wavOf(50, 3000));
        {
            kelvos::SdlClipPlayer player([] { QFAIL("a clip became a beep"); });
            player.prepare();
            QVERIFY(player.hasAudio());
            player.setLevels({50, 20});
            player.play("word.wav");
            player.playSignal("tone.wav");
            player.play("word.wav"); // returns once the first word has sounded whole
        }
        const QByteArray raw = testfiles::contents(output);
        qint16 loudest = 0;
        qsizetype voiceAlone = 0;
        qsizetype both = 0;
        for (qsizetype i = 0; i < raw.size() / 2; ++i) {
            const qint16 sample = sampleAt(raw, i);
            loudest = std::max(loudest, sample);
            voiceAlone += sample == 500;
            both += sample == 1100;
        }
        QCOMPARE(loudest, qint16(1100));
        QVERIFY2(voiceAlone > kRate * 100 / 1000, qPrintable(QString::number(voiceAlone)));
        QVERIFY2(both > kRate * 40 / 1000, qPrintable(QString::number(both)));
    }

    void signalToneReturnsWhenItHasSounded() {
        kelvos::SdlClipPlayer player([] { QFAIL("the clip became a beep"); });
        player.prepare();
        testfiles::writeContents("tone.wav", wavOf(300, 1000));
        QElapsedTimer timer;
        timer.start();
        player.playSignal("tone.wav");
        QVERIFY2(timer.elapsed() >= 250, "playSignal() returned before the clip ended");
    }

    // stop() cuts the voice: a call waiting for its clip's turn returns at once.
    void stopCutsTheVoiceShort() {
        kelvos::SdlClipPlayer player([] { QFAIL("a clip became a beep"); });
        player.prepare();
        testfiles::writeContents("long.wav", wavOf(2900, 1000));
        testfiles::writeContents("short.wav", wavOf(100, 1000));
        QElapsedTimer timer;
        timer.start();
        player.play("long.wav"); // returns as it begins
        std::thread second([&] { player.play("short.wav"); });
        QTest::qWait(200);
        player.stop();
        second.join();
        QVERIFY2(timer.elapsed() < 2500, "the long clip was not cut short");
    }

    // Closing waits a bounded time for its sounds, however long they would last.
    void signalsFinishWithinTheirBound() {
        kelvos::SdlClipPlayer player([] {});
        testfiles::writeContents("long.wav", wavOf(2900, 1000));
        kelvos::SignalQueue queue(player);
        queue.enqueue("long.wav");
        queue.enqueue("long.wav");
        QElapsedTimer timer;
        timer.start();
        queue.finishWithin(std::chrono::milliseconds(300));
        QVERIFY2(timer.elapsed() < 2000, qPrintable(QString::number(timer.elapsed())));
    }

    // Without a sound device every clip beeps, and that is said once, not at every clip.
    void noSoundDeviceIsSaidOnce() {
        const QByteArray driver = qgetenv("SDL_AUDIODRIVER");
        qputenv("SDL_AUDIODRIVER", "no-such-driver");
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^kelvos: no sound device"));
        QTest::failOnWarning(QRegularExpression("."));
        std::atomic<int> beeps{0};
        {
            kelvos::SdlClipPlayer player([&beeps] { ++beeps; });
            player.prepare();
            QVERIFY(!player.hasAudio());
            player.play("word.wav");
            player.playSignal("tone.wav");
            player.play("word.wav");
        }
        qputenv("SDL_AUDIODRIVER", driver);
        QCOMPARE(beeps.load(), 3);
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
