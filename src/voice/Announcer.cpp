#include "Announcer.h"

#include "ClipScript.h"

namespace kelvos {

namespace {
constexpr auto kClipboardRepeatDelay = std::chrono::milliseconds(5000);
} // namespace

// Plays a read-out on the worker's thread; once the worker is asked to stop, every further clip
// and pause is skipped, so the read-out runs out at once.
class Announcer::Speech final : public clips::ReadOutSink {
public:
    Speech(ClipPlayer& player, Sleeper& sleeper, std::stop_token stop)
        : player_(player), sleeper_(sleeper), stop_(std::move(stop)) {}

    void play(const QString& clip) override {
        if (!stop_.stop_requested())
            player_.play(clip);
    }
    void pause(int milliseconds) override {
        if (!stop_.stop_requested())
            sleeper_.sleepFor(std::chrono::milliseconds(milliseconds), stop_);
    }

private:
    ClipPlayer& player_;
    Sleeper& sleeper_;
    std::stop_token stop_;
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

bool Announcer::readLap() {
    if (!claimWithLap(true))
        return false;
    effects_.fillDisplay();
    launch(&Announcer::TThread1);
    return true;
}

bool Announcer::readClipboard() {
    if (!claimWithLap(false))
        return false;
    if (inputs_.lapCount >= 1)
        effects_.fillDisplay();
    launch(&Announcer::TThread2);
    return true;
}

bool Announcer::readRunningTotal() {
    if (!claimWithLap(false))
        return false;
    if (inputs_.lapCount > 0)
        effects_.fillDisplay();
    launch(clipboardOn() ? &Announcer::TThread4 : &Announcer::TThread3);
    return true;
}

void Announcer::launch(void (Announcer::*body)(std::stop_token)) {
    player_.prepare(); // the first launch comes from the UI thread, before any worker runs
    workers_.start([this, body](std::stop_token stop) { (this->*body)(stop); });
}

void Announcer::waitUntilIdle() {
    workers_.waitUntilIdle();
}

void Announcer::stopAll() {
    workers_.stopAll([this] { player_.stop(); });
}

void Announcer::TThread1(std::stop_token stop) {
    Speech speech(player_, sleeper_, stop);
    const clips::LapReadOutSource source{
        [this] { return inputs_.lapCount.load(); }, [this] { return inputs_.lapTime.load(); },
        [this] { return inputs_.lapTotal.load(); }, [this] { return inputs_.voiceRepeat.load(); }};
    clips::sayLapReadOut(source, speech);
    if (!stop.stop_requested() && clipboardOn())
        launch(&Announcer::TThread2);
    finishSpeech(stop);
}

void Announcer::TThread3(std::stop_token stop) {
    Speech speech(player_, sleeper_, stop);
    clips::sayRunningTotalReadOut(
        currentTotal_, [this] { return inputs_.lapCount.load(); }, speech);
    finishSpeech(stop);
}

void Announcer::finishSpeech(std::stop_token stop) {
    if (stop.stop_requested())
        return;
    effects_.closeDisplay();
    effects_.releaseBusy();
}

void Announcer::TThread2(std::stop_token stop) {
    const qint32 lapCount = inputs_.lapCount; // the same number on both puts
    putTwiceIfRepeated(stop, [this, lapCount](sentences::Language language) {
        return sentences::lapSentence(language, lapCount, inputs_.lapTime, inputs_.lapTotal);
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
