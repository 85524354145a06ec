#include "SdlClipPlayer.h"

#include <SDL.h>
#include <chrono>
#include <thread>

namespace kelvos {

namespace {
constexpr Uint16 kDeviceBufferSamples = 512;
constexpr auto kPollInterval = std::chrono::milliseconds(5);

struct WavData {
    SDL_AudioSpec spec{};
    Uint8* buffer = nullptr;
    Uint32 length = 0;
    ~WavData() {
        if (buffer)
            SDL_FreeWAV(buffer);
    }
};
} // namespace

SdlClipPlayer::SdlClipPlayer(std::function<void()> beep) : beep_(std::move(beep)) {
    // SDL would otherwise take over SIGINT and SIGTERM, and the program would no longer end
    // when the desktop asks it to.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    audioReady_ = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
}

SdlClipPlayer::~SdlClipPlayer() {
    ++generation_; // any clip still playing on another thread stops at its next poll
    std::lock_guard lock(deviceMutex_);
    if (audioReady_)
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void SdlClipPlayer::beep() {
    if (beep_)
        beep_();
}

void SdlClipPlayer::stop() {
    ++generation_; // the clip playing sees a newer generation at its next poll and ends
}

void SdlClipPlayer::play(const QString& fileName) {
    const quint64 mine = ++generation_;
    if (!audioReady_ || !playToEnd(fileName, mine))
        beep();
}

// Returns false when the clip could not be played at all (missing, not a WAV, no device);
// a clip cut short by a newer one counts as played.
bool SdlClipPlayer::playToEnd(const QString& fileName, quint64 generation) {
    std::lock_guard lock(deviceMutex_); // the clip playing before ours gives way at its next poll
    if (generation_.load() != generation)
        return true; // a newer clip came while we waited: ours is skipped, not replaced by a beep

    WavData wav;
    if (!SDL_LoadWAV(fileName.toLocal8Bit().constData(), &wav.spec, &wav.buffer, &wav.length))
        return false;
    SDL_AudioSpec wanted = wav.spec;
    wanted.samples = kDeviceBufferSamples;
    wanted.callback = nullptr;
    SDL_AudioSpec obtained{};
    const SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
    if (device == 0)
        return false;
    SDL_QueueAudio(device, wav.buffer, wav.length);
    SDL_PauseAudioDevice(device, 0);
    while (SDL_GetQueuedAudioSize(device) > 0 && generation_.load() == generation)
        std::this_thread::sleep_for(kPollInterval);
    if (generation_.load() == generation && obtained.freq > 0) {
        // The queue is empty once the last buffer went to the device; let that buffer sound.
        const auto latency = std::chrono::milliseconds(1000 * obtained.samples / obtained.freq);
        std::this_thread::sleep_for(latency + kPollInterval);
    }
    SDL_CloseAudioDevice(device);
    return true;
}

} // namespace kelvos
