#pragma once

#include "ClipPlayer.h"
#include "Sentences.h"
#include "Sleeper.h"
#include "WorkerThreads.h"

#include <QString>
#include <atomic>
#include <functional>
#include <mutex>
#include <optional>

namespace kelvos {

// The figures of one lap of competitor 1, as they were when the lap was pressed.
struct LapFigures {
    qint32 count = 0;
    qint32 time = 0;
    qint32 total = 0;
};

// What a lap of competitor 1 did to the read-outs.
enum class LapAnnouncement {
    Started, // its read-out began
    Queued,  // a read-out is speaking: this lap is read when it ends, unless a newer one comes
    Refused  // another announcement holds the busy flag; the lap is not read
};

// What the read-outs read. The UI thread writes them (the lap values at each lap of competitor
// 1, the boxes when they change). A lap read-out takes the lap values once, when it is started;
// the workers read the boxes, and "Real" the lap count, when they reach them.
struct AnnouncementInputs {
    std::atomic<qint32> lapCount{0};
    std::atomic<qint32> lapTime{0};
    std::atomic<qint32> lapTotal{0};
    std::atomic<bool> voice{true};         // "Voice"
    std::atomic<bool> voiceRepeat{false};  // the voice "Re"
    std::atomic<bool> clipEnglish{false};  // "ClipE"
    std::atomic<bool> clipJapanese{false}; // "J"
    std::atomic<bool> clipRepeat{false};   // the clipboard "Re"
};

// What the announcements do to the rest of the program. claimBusy() and fillDisplay() are
// called on the thread that runs the command (the UI thread); the others on a worker thread,
// so an implementation posts them to the UI thread (releaseBusy may clear an atomic flag
// directly).
class AnnouncementEffects {
public:
    virtual ~AnnouncementEffects() = default;
    // Sets the announcement-busy flag; false when it was set already.
    virtual bool claimBusy() = 0;
    // A command is showing a lap: fill the Display window if "D" is checked (no hold timer).
    virtual void fillDisplay() = 0;
    virtual void putOnClipboard(const QString& text) = 0;
    // Starts the Display hold timer (Timer3).
    virtual void startDisplayHold() = 0;
    // Closes the Display window if it exists and is visible.
    virtual void closeDisplay() = 0;
    virtual void releaseBusy() = 0;
};

// Starts the read-outs, each on a worker thread of its own: the spoken lap and running total,
// and the lap and running-total sentences on the clipboard. One command-started announcement
// runs at a time (the busy flag); a command that finds it set does nothing and is not queued.
// stopAll() (and the destructor) ends them promptly.
class Announcer {
public:
    Announcer(ClipPlayer& player, AnnouncementEffects& effects,
              std::function<qint32()> currentTotal, Sleeper& sleeper);
    ~Announcer();
    Announcer(const Announcer&) = delete;
    Announcer& operator=(const Announcer&) = delete;

    AnnouncementInputs& inputs() { return inputs_; }

    // A lap of competitor 1 with "Voice" on: read at once, or after the read-out that is
    // speaking, which is never cut for it.
    LapAnnouncement announceNewLap();
    // "read lap": nothing when "Voice", "ClipE" and "J" are all off, while busy or before the
    // first lap; otherwise fills the Display and speaks the lap, then, with "ClipE" or "J",
    // puts the lap sentence on the clipboard. True when it started.
    bool readLap();
    // "read clipboard": the lap sentence, also before the first lap.
    bool readClipboard();
    // "Real": the running total, on the clipboard with "ClipE" or "J", else spoken.
    bool readRunningTotal();

    // Blocks until every announcement started so far has ended.
    void waitUntilIdle();
    // Tells running announcements to stop, cuts the clip playing short and joins them. Nothing
    // is put on the clipboard, closed or released after that.
    void stopAll();

private:
    class Speech;

    using Body = std::function<void(std::stop_token)>;
    using Script = std::function<void(Speech&)>;

    bool anyAnnouncerOn() const;
    bool clipboardOn() const;
    bool claimWithLap(bool needsLap);
    LapFigures lapNow() const;
    void launch(Body body);
    void launchSpeech(Script script);
    void runSpeech(quint64 ticket, const Script& script, std::stop_token stop);

    // The bodies of the four read-outs, each run on a worker of its own: the lap spoken, the lap
    // sentence on the clipboard, the running total spoken, the running-total sentence. The lap
    // read-outs keep the figures of their lap.
    void TThread1(const LapFigures& lap, Speech& speech);
    void TThread2(const LapFigures& lap, std::stop_token stop);
    void TThread3(Speech& speech);
    void TThread4(std::stop_token stop);
    void putSentences(const std::function<QString(sentences::Language)>& sentence);
    void putTwiceIfRepeated(std::stop_token stop,
                            const std::function<QString(sentences::Language)>& sentence);

    ClipPlayer& player_;
    AnnouncementEffects& effects_;
    std::function<qint32()> currentTotal_;
    Sleeper& sleeper_;
    AnnouncementInputs inputs_;

    // The spoken read-outs: one speaks at a time. Each has a ticket; a newer one (possible once
    // stop or reset cleared the busy flag) takes the voice from the older, which falls silent.
    std::mutex speechMutex_;
    std::atomic<quint64> speechTicket_{0};
    bool speaking_ = false;             // the read-out of the newest ticket has not ended
    std::optional<LapFigures> nextLap_; // the newest lap pressed while it speaks

    WorkerThreads workers_; // last: its threads use everything above
};

} // namespace kelvos
