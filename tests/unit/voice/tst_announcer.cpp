#include "Announcer.h"

#include <QTest>
#include <condition_variable>

using namespace kelvos;

namespace {
// Everything the announcements do, in order: clips by name, pauses as "500ms", and the effects
// as "fill", "hold", "close", "release" and the clipboard texts. Clips can be held playing
// until a stop, and pauses until the worker is told to stop.
class Journal final : public ClipPlayer, public Sleeper, public AnnouncementEffects {
public:
    void play(const QString& clip) override {
        std::unique_lock lock(mutex_);
        entries_ << clip;
        changed_.notify_all();
        changed_.wait(lock, [this] { return !holdClips || stopped_; });
    }
    void pause(std::chrono::milliseconds duration) override {
        record(QString("%1ms").arg(duration.count()));
    }
    void playSignal(const QString& clip) override { record(clip); }
    void beep() override { record("beep"); }
    void stop() override {
        std::lock_guard lock(mutex_);
        stopped_ = true;
        changed_.notify_all();
    }
    void sleepFor(std::chrono::milliseconds duration, std::stop_token stop) override {
        record(QString("%1ms").arg(duration.count()));
        if (onSleep)
            onSleep();
        std::unique_lock lock(mutex_);
        changed_.wait(lock, stop, [this] { return !holdSleeps; });
    }
    bool claimBusy() override { return !busy.exchange(true); }
    void fillDisplay() override { record("fill"); }
    void putOnClipboard(const QString& text) override { record(text); }
    void startDisplayHold() override { record("hold"); }
    void closeDisplay() override { record("close"); }
    void releaseBusy() override {
        busy = false;
        record("release");
    }

    QStringList entries() const {
        std::lock_guard lock(mutex_);
        return entries_;
    }
    void waitForEntries(int count) {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return entries_.size() >= count; });
    }

    void releaseClips() {
        std::lock_guard lock(mutex_);
        holdClips = false;
        changed_.notify_all();
    }

    std::atomic<bool> busy{false};
    bool holdClips = false;
    bool holdSleeps = false;
    std::function<void()> onSleep;

private:
    void record(const QString& entry) {
        std::lock_guard lock(mutex_);
        entries_ << entry;
        changed_.notify_all();
    }

    mutable std::mutex mutex_;
    std::condition_variable_any changed_;
    QStringList entries_;
    bool stopped_ = false;
};

// Clips written without ".wav": "lap nana" for "lap.wav" "nana.wav"; effects and pauses as
// they are.
QStringList journalOf(const QStringList& words) {
    static const QStringList effects{"fill", "hold", "close", "release"};
    QStringList entries;
    for (const QString& word : words)
        for (const QString& part : word.split(' ', Qt::SkipEmptyParts))
            entries << (effects.contains(part) || part.endsWith("ms") ? part : part + ".wav");
    return entries;
}

const QString kLap7 =
    "lap nana laptime go byo rei rei nana total ichi jkan ni fun san byo rei rei yon";

enum Command { ReadLap, ReadClipboard, ReadRunningTotal };
enum Box { Voice = 1, VoiceRepeat = 2, ClipE = 4, J = 8, ClipRepeat = 16 };

struct Fixture {
    explicit Fixture(int boxes, qint32 lapCount = 7) {
        auto& in = announcer.inputs();
        in.voice = boxes & Voice;
        in.voiceRepeat = boxes & VoiceRepeat;
        in.clipEnglish = boxes & ClipE;
        in.clipJapanese = boxes & J;
        in.clipRepeat = boxes & ClipRepeat;
        in.lapCount = lapCount;
        in.lapTime = lapCount ? 5007 : 0;
        in.lapTotal = lapCount ? 3723004 : 0;
    }
    bool run(int command) {
        static constexpr bool (Announcer::*commands[])() = {
            &Announcer::readLap, &Announcer::readClipboard, &Announcer::readRunningTotal};
        return (announcer.*commands[command])();
    }
    Journal journal;
    std::atomic<qint32> total{125007};
    Announcer announcer{journal, journal, [this] { return total.load(); }, journal};
};
} // namespace

class TestAnnouncer : public QObject {
    Q_OBJECT
private slots:
    void commands_data() {
        QTest::addColumn<int>("boxes");
        QTest::addColumn<int>("lapCount");
        QTest::addColumn<int>("command");
        QTest::addColumn<bool>("started");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<bool>("lapInPause"); // a lap is recorded during the first pause
        const QString enLap = "lap 7=05Second, 007 total =01Hour, 02Minute, 03Second, 004";
        QTest::newRow("read lap") << int(Voice) << 7 << int(ReadLap) << true
                                  << journalOf({"fill", kLap7, "close release"}) << false;
        QTest::newRow("read lap twice")
            << (Voice | VoiceRepeat) << 7 << int(ReadLap) << true
            << journalOf({"fill", kLap7, "500ms pi pa 500ms", kLap7, "close release"}) << false;
        QTest::newRow("read lap before any lap")
            << int(Voice) << 0 << int(ReadLap) << false << QStringList() << false;
        QTest::newRow("every announcer off")
            << 0 << 7 << int(ReadLap) << false << QStringList() << false;
        QTest::newRow("clipboard before any lap")
            << int(J) << 0 << int(ReadClipboard) << true
            << QStringList{"hold", "ラップ0=00秒000 トータル =00時間00分00秒000", "release"}
            << false;
        // A lap came during the pause: the second put still says the lap it was asked for.
        QTest::newRow("clipboard twice")
            << (ClipE | ClipRepeat) << 7 << int(ReadClipboard) << true
            << QStringList{"fill", "hold", enLap, "5000ms", enLap, "release"} << true;
        QTest::newRow("both boxes: English last")
            << (ClipE | J) << 7 << int(ReadClipboard) << true
            << QStringList{"fill", "hold", "ラップ7=05秒007 トータル =01時間02分03秒004", enLap,
                           "release"}
            << false;
        QTest::newRow("real spoken") << int(Voice) << 7 << int(ReadRunningTotal) << true
                                     << journalOf({"fill total ni fun go byo rei rei nana 500ms",
                                                   "lap nana 500ms po po close release"})
                                     << false;
        QTest::newRow("real on the clipboard")
            << int(J) << 0 << int(ReadRunningTotal) << true
            << QStringList{"hold", "トータル 02分05秒007 ; ラップ0", "release"} << false;
    }
    void commands() {
        QFETCH(int, boxes);
        QFETCH(int, lapCount);
        QFETCH(int, command);
        QFETCH(bool, started);
        QFETCH(QStringList, expected);
        QFETCH(bool, lapInPause);
        Fixture f(boxes, lapCount);
        if (lapInPause)
            f.journal.onSleep = [&f] {
                f.announcer.inputs().lapTime = 2000;
                f.announcer.inputs().lapTotal = 3725004;
                f.announcer.inputs().lapCount = 8;
            };
        QCOMPARE(f.run(command), started);
        f.announcer.waitUntilIdle();
        QCOMPARE(f.journal.entries(), expected);
        QVERIFY(!f.journal.busy);
    }

    void commandWhileOnePlaysIsIgnored_data() {
        QTest::addColumn<int>("second");
        QTest::newRow("read lap") << int(ReadLap);
        QTest::newRow("read clipboard") << int(ReadClipboard);
        QTest::newRow("real") << int(ReadRunningTotal);
    }
    void commandWhileOnePlaysIsIgnored() {
        QFETCH(int, second);
        Fixture f(Voice);
        f.journal.holdClips = true;
        QVERIFY(f.announcer.readLap());
        f.journal.waitForEntries(2); // "fill" and the first clip, which is held playing
        QVERIFY(!f.run(second));
        f.journal.stop();
        f.announcer.waitUntilIdle();
        QCOMPARE(f.journal.entries(), journalOf({"fill", kLap7, "close release"}));
    }

    // A lap pressed while a read-out speaks changes nothing of what it says: the read-out
    // finishes with its own lap's figures, then the newest lap pressed meanwhile is read (a lap
    // in between is skipped, the press having had its tone), then the flag is cleared.
    void lapsDuringAReadOutWaitForIt_data() {
        QTest::addColumn<int>("boxes");
        QTest::addColumn<int>("lapsPressed");
        QTest::addColumn<QStringList>("expected");
        const QString lap8 = "lap hachi laptime ippun ichi byo yon go roku total ichi jkan ni fun "
                             "go byo rei rei yon";
        const QString lap9 =
            "lap kyuu laptime ippun ichi byo yon go roku total ichi jkan ni fun go byo rei rei yon";
        // The Display shows each lap as it is pressed, while the first clip is held playing.
        const QString rest7 = kLap7.mid(QString("lap ").size());
        QTest::newRow("one lap") << int(Voice) << 1
                                 << journalOf({"fill lap fill", rest7, lap8, "close release"});
        QTest::newRow("two laps, the newest read")
            << int(Voice) << 2 << journalOf({"fill lap fill fill", rest7, lap9, "close release"});
        QTest::newRow("said twice")
            << (Voice | VoiceRepeat) << 1
            << journalOf({"fill lap fill", rest7, "500ms pi pa 500ms", kLap7, lap8,
                          "500ms pi pa 500ms", lap8, "close release"});
    }
    void lapsDuringAReadOutWaitForIt() {
        QFETCH(int, boxes);
        QFETCH(int, lapsPressed);
        QFETCH(QStringList, expected);
        Fixture f(boxes);
        f.journal.holdClips = true;
        QCOMPARE(f.announcer.announceNewLap(), LapAnnouncement::Started);
        f.journal.waitForEntries(2); // "fill" and "lap.wav", held playing
        auto& in = f.announcer.inputs();
        for (int lap = 1; lap <= lapsPressed; ++lap) {
            in.lapCount = 7 + lap;
            in.lapTime = 61456;
            in.lapTotal = 3725004;
            QCOMPARE(f.announcer.announceNewLap(), LapAnnouncement::Queued);
        }
        f.journal.releaseClips();
        f.announcer.waitUntilIdle();
        QCOMPARE(f.journal.entries(), expected);
        QVERIFY(!f.journal.busy);
    }

    // Stop clears the busy flag while a read-out speaks; the read-out started next takes the
    // voice, the older falls silent at once, and only the newer clears the flag.
    void newerReadOutTakesTheVoice() {
        Fixture f(Voice);
        f.journal.holdClips = true;
        QVERIFY(f.announcer.readLap());
        f.journal.waitForEntries(2);
        f.journal.busy = false; // stop
        QVERIFY(f.announcer.readRunningTotal());
        f.announcer.waitUntilIdle();
        QCOMPARE(f.journal.entries(),
                 journalOf({"fill lap fill total ni fun go byo rei rei nana 500ms",
                            "lap nana 500ms po po close release"}));
    }

    // A read-out held in a clip or a pause ends when told to: stopAll returns, with the worker
    // joined and nothing done after the stop.
    void stopAllEndsAReadOut_data() {
        QTest::addColumn<int>("boxes");
        QTest::addColumn<int>("command");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("in a clip") << int(Voice) << int(ReadLap) << QStringList{"fill", "lap.wav"};
        QTest::newRow("in the clipboard pause")
            << (J | ClipRepeat) << int(ReadClipboard)
            << QStringList{"fill", "hold", "ラップ7=05秒007 トータル =01時間02分03秒004", "5000ms"};
    }
    void stopAllEndsAReadOut() {
        QFETCH(int, boxes);
        QFETCH(int, command);
        QFETCH(QStringList, expected);
        Fixture f(boxes);
        f.journal.holdClips = true;
        f.journal.holdSleeps = true;
        QVERIFY(f.run(command));
        f.journal.waitForEntries(expected.size());
        f.announcer.stopAll();
        QCOMPARE(f.journal.entries(), expected);
    }
};

QTEST_GUILESS_MAIN(TestAnnouncer)
#include "tst_announcer.moc"
