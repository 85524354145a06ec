#include "SdlClipPlayer.h"

#include "ClipScript.h"

#include <SDL.h>
#include <algorithm>
#include <array>
#include <dlfcn.h>
#include <thread>

namespace kelvos {

// The SDL functions the player uses, looked up in the library loaded at the first sound.
struct SdlClipPlayer::Sdl {
    decltype(&SDL_SetHint) SetHint;
    decltype(&SDL_GetError) GetError;
    decltype(&SDL_InitSubSystem) InitSubSystem;
    decltype(&SDL_QuitSubSystem) QuitSubSystem;
    decltype(&SDL_OpenAudioDevice) OpenAudioDevice;
    decltype(&SDL_PauseAudioDevice) PauseAudioDevice;
    decltype(&SDL_CloseAudioDevice) CloseAudioDevice;
};

namespace {
constexpr const char* kSdlLibrary = "libSDL2-2.0.so.0";
// A small buffer, so that a press is heard at once and a wait ends close to the sound.
constexpr Uint16 kDeviceBufferSamples = 512;
constexpr int kMixChunk = 1024;
// How long a wait may outlast the sound it waits for before the output is taken for stuck.
constexpr auto kStallAllowance = std::chrono::seconds(1);

template <typename Function> bool resolve(void* library, const char* name, Function& function) {
    function = reinterpret_cast<Function>(dlsym(library, name));
    return function != nullptr;
}

qint64 samplesOf(std::chrono::milliseconds duration) {
    return qint64(duration.count()) * kClipRate / 1000;
}

std::chrono::milliseconds durationOf(qint64 samples) {
    return std::chrono::milliseconds(samples * 1000 / kClipRate);
}
} // namespace

// The library stays loaded to the end: SDL keeps threads and exit handlers of its own.
std::unique_ptr<const SdlClipPlayer::Sdl> SdlClipPlayer::loadSdl() {
    void* library = dlopen(kSdlLibrary, RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        qWarning("kelvos: no sound, clips become beeps: %s", dlerror());
        return nullptr;
    }
    auto sdl = std::make_unique<Sdl>();
    const bool complete = resolve(library, "SDL_SetHint", sdl->SetHint) &&
                          resolve(library, "SDL_GetError", sdl->GetError) &&
                          resolve(library, "SDL_InitSubSystem", sdl->InitSubSystem) &&
                          resolve(library, "SDL_QuitSubSystem", sdl->QuitSubSystem) &&
                          resolve(library, "SDL_OpenAudioDevice", sdl->OpenAudioDevice) &&
                          resolve(library, "SDL_PauseAudioDevice", sdl->PauseAudioDevice) &&
                          resolve(library, "SDL_CloseAudioDevice", sdl->CloseAudioDevice);
    if (!complete) {
        qWarning("kelvos: no sound, clips become beeps: %s lacks %s", kSdlLibrary, dlerror());
        return nullptr;
    }
    return sdl;
}

SdlClipPlayer::SdlClipPlayer(std::function<void()> beep,
                             std::function<QString(const QString&)> locate,
                             std::function<void(const QString&)> report)
    : beep_(std::move(beep)),
      bank_(
          std::move(locate), report ? std::move(report) : [](const QString& message) {
              qWarning("kelvos: %s", qUtf8Printable(message));
          }) {}

void SdlClipPlayer::prepare() {
    std::call_once(prepared_, [this] {
        auto sdl = loadSdl();
        if (!sdl)
            return;
        // SDL would otherwise take over SIGINT and SIGTERM, and the program would no longer end
        // when the desktop asks it to.
        sdl->SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        if (sdl->InitSubSystem(SDL_INIT_AUDIO) != 0) {
            qWarning("kelvos: no sound device, clips become beeps: %s", sdl->GetError());
            return;
        }
        SDL_AudioSpec wanted{};
        wanted.freq = kClipRate;
        wanted.format = AUDIO_S16SYS;
        wanted.channels = 1;
        wanted.samples = kDeviceBufferSamples;
        wanted.callback = &SdlClipPlayer::fill;
        wanted.userdata = this;
        SDL_AudioSpec obtained{};
        // No changes allowed: SDL converts to whatever the device takes.
        device_ = sdl->OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
        if (device_ == 0) {
            qWarning("kelvos: no sound device, clips become beeps: %s", sdl->GetError());
            sdl->QuitSubSystem(SDL_INIT_AUDIO);
            return;
        }
        bank_.load(clips::everyClipName());
        sdl->PauseAudioDevice(device_, 0);
        sdl_ = std::move(sdl);
        audioReady_.store(true, std::memory_order_release);
    });
}

SdlClipPlayer::~SdlClipPlayer() {
    {
        std::lock_guard lock(mutex_);
        closing_ = true; // calls still waiting on another thread return
    }
    progressed_.notify_all();
    if (hasAudio()) {
        sdl_->CloseAudioDevice(device_);
        sdl_->QuitSubSystem(SDL_INIT_AUDIO);
    }
}

void SdlClipPlayer::beep() {
    if (beep_)
        beep_();
}

void SdlClipPlayer::play(const QString& fileName) {
    const auto clip = hasAudio() ? bank_.clip(fileName) : nullptr;
    if (!clip)
        return beep();
    append(voice_, clip, qint64(clip->size()), Until::Begins);
}

void SdlClipPlayer::pause(std::chrono::milliseconds duration) {
    std::lock_guard lock(mutex_);
    voice_.pendingGap = std::max(voice_.pendingGap, samplesOf(kWordGap + duration));
}

void SdlClipPlayer::endGroup() {
    std::lock_guard lock(mutex_);
    voice_.pendingGap = std::max(voice_.pendingGap, samplesOf(kGroupGap));
}

void SdlClipPlayer::playSignal(const QString& fileName) {
    const auto clip = hasAudio() ? bank_.clip(fileName) : nullptr;
    if (!clip)
        return beep();
    append(signals_, clip, qint64(clip->size()), Until::Ends);
    // The output has taken the clip's last samples; let its buffer sound them.
    std::this_thread::sleep_for(durationOf(kDeviceBufferSamples));
}

void SdlClipPlayer::stop() {
    cut(voice_);
}

void SdlClipPlayer::stopSignals() {
    cut(signals_);
}

// The output's thread reads the levels at every block: it must never wait for a lock to do so.
static_assert(std::atomic<SoundLevels>::is_always_lock_free);

void SdlClipPlayer::setLevels(SoundLevels levels) {
    levels_.store(levels, std::memory_order_relaxed);
}

// Appends a clip behind what the lane holds, after the gap owed, and waits until it begins or
// ends to sound. The gap is owed only while the lane still sounds: an idle lane starts at once.
void SdlClipPlayer::append(Lane& lane, std::shared_ptr<const ClipSamples> clip, qint64 length,
                           Until until) {
    std::unique_lock lock(mutex_);
    if (closing_)
        return;
    if (!lane.queue.empty() && lane.pendingGap > 0) {
        lane.queue.push_back({nullptr, lane.pendingGap});
        lane.end += lane.pendingGap;
    }
    const qint64 begins = lane.end;
    lane.queue.push_back({std::move(clip), length});
    lane.end += length;
    lane.pendingGap = samplesOf(kWordGap);
    const qint64 mark = until == Until::Begins ? begins : lane.end;
    const quint64 cuts = lane.cuts;
    progressed_.wait_for(lock, durationOf(mark - lane.taken) + kStallAllowance,
                         [&] { return closing_ || lane.cuts != cuts || lane.taken >= mark; });
}

void SdlClipPlayer::cut(Lane& lane) {
    {
        std::lock_guard lock(mutex_);
        lane.queue.clear();
        lane.end = lane.taken;
        lane.pendingGap = 0;
        ++lane.cuts;
    }
    progressed_.notify_all();
}

// The output's thread asks for the next samples.
void SdlClipPlayer::fill(void* self, quint8* stream, int bytes) {
    auto* out = reinterpret_cast<qint16*>(stream);
    for (int done = 0, total = bytes / 2; done < total; done += kMixChunk)
        static_cast<SdlClipPlayer*>(self)->feed(out + done, std::min(kMixChunk, total - done));
}

void SdlClipPlayer::feed(qint16* out, int samples) {
    std::array<qint16, kMixChunk> voice{};
    std::array<qint16, kMixChunk> tones{};
    {
        std::lock_guard lock(mutex_);
        takeFrom(voice_, voice.data(), samples);
        takeFrom(signals_, tones.data(), samples);
    }
    progressed_.notify_all();
    const auto count = size_t(samples);
    mixInto({out, count}, {voice.data(), count}, {tones.data(), count},
            levels_.load(std::memory_order_relaxed));
}

// Copies the lane's next samples; a silence, or an empty lane, leaves them zero.
void SdlClipPlayer::takeFrom(Lane& lane, qint16* samples, int count) {
    qint64 done = 0;
    while (done < count && !lane.queue.empty()) {
        Segment& segment = lane.queue.front();
        const qint64 length = std::min<qint64>(count - done, segment.length - segment.at);
        if (segment.clip) {
            const auto from = segment.clip->begin() + segment.at;
            std::copy(from, from + length, samples + done);
        }
        segment.at += length;
        done += length;
        lane.taken += length;
        if (segment.at == segment.length)
            lane.queue.pop_front();
    }
}

} // namespace kelvos
