#include "Announcer.h"

#include "ClipScript.h"

#include <utility>

namespace kelvos {

namespace {
constexpr auto kClipboardRepeatDelay = std::chrono::milliseconds(5000);
} // namespace

// Plays a read-out on the worker's thread into the voice stream; once the worker is asked to
// stop, or a newer read-out has taken the voice, every further clip and pause is skipped, so
// the read-out runs out at once.
class Announcer::Speech final : public clips::ReadOutSink {
public:
    Speech(ClipPlayer& player, std::stop_token stop, std::function<bool()> superseded)
        : player_(player), stop_(std::move(stop)), superseded_(std::move(superseded)) {}

    void play(const QString& clip) override {
        if (!cut())
            player_.play(clip);
    }
    void pause(int milliseconds) override {
        if (!cut())
            player_.pause(std::chrono::milliseconds(milliseconds));
    }
    void endGroup() override {
        if (!cut())
            player_.endGroup();
    }
    bool cut() const { return stop_.stop_requested() || superseded_(); }

private:
    ClipPlayer& player_;
    std::stop_token stop_;
    std::function<bool()> superseded_;
};

Announcer::Announcer(ClipPlayer& player, AnnouncementEffects& effects,
                     std::function<qint32()> currentTotal, Sleeper& sleeper)
    : player_(player), effects_(effects), currentTotal_(std::move(currentTotal)),
      sleeper_(sleeper) {}

Announcer::~Announcer() {
    stopAll();
}

bool Announcer::anyAnnouncerOn() const {
    return inputs_.voice || clipboardOn();
}

bool Announcer::clipboardOn() const {
    return inputs_.clipEnglish || inputs_.clipJapanese;
}

// The common start of the commands: allowed by one of the announcers, the busy flag claimed
// (and, where a lap is needed, not before the first lap: the flag then stays clear).
bool Announcer::claimWithLap(bool needsLap) {
    if (!anyAnnouncerOn())
        return false;
    if (needsLap && inputs_.lapCount < 1)
        return false;
    return effects_.claimBusy();
}

LapFigures Announcer::lapNow() const {
    return {inputs_.lapCount, inputs_.lapTime, inputs_.lapTotal};
}

LapAnnouncement Announcer::announceNewLap() {
    bool queued = false;
    {
        std::lock_guard lock(speechMutex_);
        if (speaking_) {
            nextLap_ = lapNow(); // replaces a lap that was waiting: the newest is the one read
            queued = true;
        }
    }
    if (queued) {
        effects_.fillDisplay();
        return LapAnnouncement::Queued;
    }
    return readLap() ? LapAnnouncement::Started : LapAnnouncement::Refused;
}

bool Announcer::readLap() {
    if (!claimWithLap(true))
        return false;
    effects_.fillDisplay();
    const LapFigures lap = lapNow();
    {
        std::lock_guard lock(speechMutex_);
        nextLap_.reset(); // this read-out says the newest lap already
    }
    launchSpeech([this, lap](Speech& speech) { TThread1(lap, speech); });
    return true;
}

bool Announcer::readClipboard() {
    if (!claimWithLap(false))
        return false;
    if (inputs_.lapCount >= 1)
        effects_.fillDisplay();
    const LapFigures lap = lapNow();
    launch([this, lap](std::stop_token stop) { TThread2(lap, stop); });
    return true;
}

bool Announcer::readRunningTotal() {
    if (!claimWithLap(false))
        return false;
    if (inputs_.lapCount > 0)
        effects_.fillDisplay();
    if (clipboardOn())
        launch([this](std::stop_token stop) { TThread4(stop); });
    else
        launchSpeech([this](Speech& speech) { TThread3(speech); });
    return true;
}

void Announcer::launch(Body body) {
    player_.prepare(); // the first launch comes from the UI thread, before any worker runs
    workers_.start(std::move(body));
}

// A read-out still speaking when a newer one starts (stop or reset cleared the busy flag) falls
// silent at once, so that two never speak over each other.
void Announcer::launchSpeech(Script script) {
    bool older = false;
    quint64 ticket = 0;
    {
        std::lock_guard lock(speechMutex_);
        older = speaking_;
        ticket = ++speechTicket_;
        speaking_ = true;
    }
    if (older)
        player_.stop();
    launch([this, ticket, script = std::move(script)](std::stop_token stop) {
        runSpeech(ticket, script, stop);
    });
}

// Speaks the read-out, then each lap pressed meanwhile, newest only; the last to end closes the
// Display window and clears the busy flag. Checked and decided under the lock, so that a lap
// pressed as the read-out ends is either read by it or starts a read-out of its own.
void Announcer::runSpeech(quint64 ticket, const Script& script, std::stop_token stop) {
    Speech speech(player_, std::move(stop), [this, ticket] { return speechTicket_ != ticket; });
    script(speech);
    for (;;) {
        std::optional<LapFigures> next;
        {
            std::lock_guard lock(speechMutex_);
            if (speech.cut())
                return; // closing, or a newer read-out has the voice and the flag
            next = std::exchange(nextLap_, std::nullopt);
            if (!next) {
                speaking_ = false;
                effects_.closeDisplay();
                effects_.releaseBusy();
                return;
            }
        }
        TThread1(*next, speech);
    }
}

void Announcer::waitUntilIdle() {
    workers_.waitUntilIdle();
}

void Announcer::stopAll() {
    workers_.stopAll([this] { player_.stop(); });
}

void Announcer::TThread1(const LapFigures& lap, Speech& speech) {
    const clips::LapReadOutSource source{[lap] { return lap.count; }, [lap] { return lap.time; },
                                         [lap] { return lap.total; },
                                         [this] { return inputs_.voiceRepeat.load(); }};
    clips::sayLapReadOut(source, speech);
    if (!speech.cut() && clipboardOn())
        launch([this, lap](std::stop_token stop) { TThread2(lap, stop); });
}

void Announcer::TThread3(Speech& speech) {
    clips::sayRunningTotalReadOut(
        currentTotal_, [this] { return inputs_.lapCount.load(); }, speech);
}

// Both puts say the lap the sentence was asked for, with its own figures.
void Announcer::TThread2(const LapFigures& lap, std::stop_token stop) {
    putTwiceIfRepeated(stop, [lap](sentences::Language language) {
        return sentences::lapSentence(language, lap.count, lap.time, lap.total);
    });
}

void Announcer::TThread4(std::stop_token stop) {
    const qint32 lapCount = inputs_.lapCount;
    putTwiceIfRepeated(stop, [this, lapCount](sentences::Language language) {
        return sentences::runningTotalSentence(language, currentTotal_(), lapCount);
    });
}

void Announcer::putTwiceIfRepeated(std::stop_token stop,
                                   const std::function<QString(sentences::Language)>& sentence) {
    effects_.startDisplayHold();
    putSentences(sentence);
    if (inputs_.clipRepeat) {
        sleeper_.sleepFor(kClipboardRepeatDelay, stop);
        if (stop.stop_requested())
            return;
        putSentences(sentence);
    }
    effects_.releaseBusy();
}

// Japanese first, so that with both boxes on the English sentence is the one that stays.
void Announcer::putSentences(const std::function<QString(sentences::Language)>& sentence) {
    if (inputs_.clipJapanese)
        effects_.putOnClipboard(sentence(sentences::Language::Japanese));
    if (inputs_.clipEnglish)
        effects_.putOnClipboard(sentence(sentences::Language::English));
}

} // namespace kelvos
