#pragma once

#include "ClipPlayer.h"
#include "Sentences.h"
#include "Sleeper.h"
#include "WorkerThreads.h"

#include <QString>
#include <atomic>
#include <functional>

namespace kelvos {

// What the read-outs read while they run. The UI thread writes them (the lap values at each
// lap of competitor 1, the boxes when they change); the workers read them when they reach them.
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

    bool anyAnnouncerOn() const;
    bool clipboardOn() const;
    bool claimWithLap(bool needsLap);
    void launch(void (Announcer::*body)(std::stop_token));

    // The bodies of the four read-outs, each run on a worker of its own: the lap spoken, the lap
    // sentence on the clipboard, the running total spoken, the running-total sentence.
    void TThread1(std::stop_token stop);
    void TThread2(std::stop_token stop);
    void TThread3(std::stop_token stop);
    void TThread4(std::stop_token stop);
    void putSentences(const std::function<QString(sentences::Language)>& sentence);
    void putTwiceIfRepeated(std::stop_token stop,
                            const std::function<QString(sentences::Language)>& sentence);
    void finishSpeech(std::stop_token stop);

    ClipPlayer& player_;
    AnnouncementEffects& effects_;
    std::function<qint32()> currentTotal_;
    Sleeper& sleeper_;
    AnnouncementInputs inputs_;
    WorkerThreads workers_; // last: its threads use everything above
};

} // namespace kelvos
