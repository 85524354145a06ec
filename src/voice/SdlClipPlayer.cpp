#include "SdlClipPlayer.h"

#include <SDL.h>
#include <chrono>
#include <dlfcn.h>
#include <thread>

namespace kelvos {

// The SDL functions the player uses, looked up in the library loaded at the first sound.
struct SdlClipPlayer::Sdl {
    decltype(&SDL_SetHint) SetHint;
    decltype(&SDL_GetError) GetError;
    decltype(&SDL_InitSubSystem) InitSubSystem;
    decltype(&SDL_QuitSubSystem) QuitSubSystem;
    decltype(&SDL_RWFromFile) RWFromFile;
    decltype(&SDL_LoadWAV_RW) LoadWAV_RW;
    decltype(&SDL_FreeWAV) FreeWAV;
    decltype(&SDL_OpenAudioDevice) OpenAudioDevice;
    decltype(&SDL_QueueAudio) QueueAudio;
    decltype(&SDL_PauseAudioDevice) PauseAudioDevice;
    decltype(&SDL_GetQueuedAudioSize) GetQueuedAudioSize;
    decltype(&SDL_CloseAudioDevice) CloseAudioDevice;
};

namespace {
constexpr const char* kSdlLibrary = "libSDL2-2.0.so.0";
constexpr Uint16 kDeviceBufferSamples = 512;
constexpr auto kPollInterval = std::chrono::milliseconds(5);

template <typename Function> bool resolve(void* library, const char* name, Function& function) {
    function = reinterpret_cast<Function>(dlsym(library, name));
    return function != nullptr;
}

struct WavData {
    decltype(&SDL_FreeWAV) free;
    SDL_AudioSpec spec{};
    Uint8* buffer = nullptr;
    Uint32 length = 0;
    ~WavData() {
        if (buffer)
            free(buffer);
    }
};
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
                          resolve(library, "SDL_RWFromFile", sdl->RWFromFile) &&
                          resolve(library, "SDL_LoadWAV_RW", sdl->LoadWAV_RW) &&
                          resolve(library, "SDL_FreeWAV", sdl->FreeWAV) &&
                          resolve(library, "SDL_OpenAudioDevice", sdl->OpenAudioDevice) &&
                          resolve(library, "SDL_QueueAudio", sdl->QueueAudio) &&
                          resolve(library, "SDL_PauseAudioDevice", sdl->PauseAudioDevice) &&
                          resolve(library, "SDL_GetQueuedAudioSize", sdl->GetQueuedAudioSize) &&
                          resolve(library, "SDL_CloseAudioDevice", sdl->CloseAudioDevice);
    if (!complete) {
        qWarning("kelvos: no sound, clips become beeps: %s lacks %s", kSdlLibrary, dlerror());
        return nullptr;
    }
    return sdl;
}

SdlClipPlayer::SdlClipPlayer(std::function<void()> beep) : beep_(std::move(beep)) {}

void SdlClipPlayer::prepare() {
    std::call_once(prepared_, [this] {
        auto sdl = loadSdl();
        if (!sdl)
            return;
        // SDL would otherwise take over SIGINT and SIGTERM, and the program would no longer end
        // when the desktop asks it to.
        sdl->SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        if (sdl->InitSubSystem(SDL_INIT_AUDIO) != 0) {
            qWarning("kelvos: no sound, clips become beeps: %s", sdl->GetError());
            return;
        }
        sdl_ = std::move(sdl);
        audioReady_.store(true, std::memory_order_release);
    });
}

SdlClipPlayer::~SdlClipPlayer() {
    ++generation_; // any clip still playing on another thread stops at its next poll
    std::lock_guard lock(deviceMutex_);
    if (hasAudio())
        sdl_->QuitSubSystem(SDL_INIT_AUDIO);
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
    if (!hasAudio() || !playToEnd(fileName, mine))
        beep();
}

// Returns false when the clip could not be played at all (missing, not a WAV, no device);
// a clip cut short by a newer one counts as played.
bool SdlClipPlayer::playToEnd(const QString& fileName, quint64 generation) {
    std::lock_guard lock(deviceMutex_); // the clip playing before ours gives way at its next poll
    if (generation_.load() != generation)
        return true; // a newer clip came while we waited: ours is skipped, not replaced by a beep

    const Sdl& sdl = *sdl_;
    WavData wav{sdl.FreeWAV};
    SDL_RWops* file = sdl.RWFromFile(fileName.toLocal8Bit().constData(), "rb");
    if (!file || !sdl.LoadWAV_RW(file, 1, &wav.spec, &wav.buffer, &wav.length))
        return false;
    SDL_AudioSpec wanted = wav.spec;
    wanted.samples = kDeviceBufferSamples;
    wanted.callback = nullptr;
    SDL_AudioSpec obtained{};
    const SDL_AudioDeviceID device = sdl.OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
    if (device == 0)
        return false;
    sdl.QueueAudio(device, wav.buffer, wav.length);
    sdl.PauseAudioDevice(device, 0);
    while (sdl.GetQueuedAudioSize(device) > 0 && generation_.load() == generation)
        std::this_thread::sleep_for(kPollInterval);
    if (generation_.load() == generation && obtained.freq > 0) {
        // The queue is empty once the last buffer went to the device; let that buffer sound.
        const auto latency = std::chrono::milliseconds(1000 * obtained.samples / obtained.freq);
        std::this_thread::sleep_for(latency + kPollInterval);
    }
    sdl.CloseAudioDevice(device);
    return true;
}

} // namespace kelvos
