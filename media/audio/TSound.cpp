#include "media/audio/TSound.hpp"

#include "media/base/Embedded.hpp"
#include "media/base/QuietStderr.hpp"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

// A small mixer of one-shot voices on SDL's own audio output: the program only starts short
// sounds, so a fixed set of voices summed with clipping is all it needs.
namespace {
constexpr int kRate = 44100;
constexpr int kChannels = 2;
constexpr int kVoices = 32;

struct Voice {
    std::shared_ptr<const std::vector<std::int16_t>> samples; // released on the main thread
    std::size_t pos = 0;
    bool active = false;
    std::uint32_t serial = 0;
};

struct Mixer {
    SDL_AudioDeviceID device = 0;
    bool attempted = false;
    Voice voices[kVoices];
    std::uint32_t nextSerial = 1;
    int playCount = 0;
};
Mixer mixer;

void MixCallback(void*, Uint8* stream, int len) {
    auto* out = reinterpret_cast<std::int16_t*>(stream);
    const std::size_t n = static_cast<std::size_t>(len) / sizeof(std::int16_t);
    std::memset(stream, 0, static_cast<std::size_t>(len));
    for (Voice& v : mixer.voices) {
        if (!v.active)
            continue;
        const std::int16_t* src = v.samples->data();
        const std::size_t left = v.samples->size() - v.pos;
        const std::size_t count = std::min(left, n);
        for (std::size_t i = 0; i < count; ++i) {
            const int s = out[i] + src[v.pos + i];
            out[i] = static_cast<std::int16_t>(std::clamp(s, -32768, 32767));
        }
        v.pos += count;
        if (v.pos >= v.samples->size())
            v.active = false;
    }
}

void Lock() {
    if (mixer.device)
        SDL_LockAudioDevice(mixer.device);
}
void Unlock() {
    if (mixer.device)
        SDL_UnlockAudioDevice(mixer.device);
}
} // namespace

namespace {
std::string heldProblem; // the line InitAudio(AudioReport::Held) kept back
} // namespace

bool InitAudio(AudioReport report) {
    if (mixer.attempted)
        return mixer.device != 0;
    mixer.attempted = true;
    bool ready = true;
    {
        QuietStderr quiet;
        ready = SDL_WasInit(SDL_INIT_AUDIO) != 0 || SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
        if (ready) {
            SDL_AudioSpec want{};
            want.freq = kRate;
            want.format = AUDIO_S16SYS;
            want.channels = kChannels;
            want.samples = 1024;
            want.callback = MixCallback;
            // No allowed changes: SDL converts from this format to whatever the device wants.
            mixer.device = SDL_OpenAudioDevice(nullptr, 0, &want, nullptr, 0);
        }
    }
    if (!ready || mixer.device == 0) {
        const std::string line =
            std::string("No sound output (") + SDL_GetError() + "); sounds stay silent.\n";
        if (report == AudioReport::Held) {
            heldProblem = line;
        } else {
            std::fputs(line.c_str(), stderr);
        }
        return false;
    }
    // The mixer thread must stop before static destructors release the voices' samples.
    static const bool closeAtExit = std::atexit([] { CloseAudio(); }) == 0;
    (void)closeAtExit;
    SDL_PauseAudioDevice(mixer.device, 0);
    return true;
}

void ReportHeldAudioProblem() {
    if (!heldProblem.empty()) {
        std::fputs(heldProblem.c_str(), stderr);
        heldProblem.clear();
    }
}

void CloseAudio() {
    if (mixer.device)
        SDL_CloseAudioDevice(mixer.device); // the callback has stopped when this returns
    mixer.device = 0;
    mixer.attempted = false;
    for (Voice& v : mixer.voices)
        v = Voice{};
    if (SDL_WasInit(SDL_INIT_AUDIO) != 0)
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

int SoundPlayCount() {
    return mixer.playCount;
}

int ActiveVoices() {
    Lock();
    int n = 0;
    for (const Voice& v : mixer.voices)
        n += v.active ? 1 : 0;
    Unlock();
    return n;
}

std::shared_ptr<TChannel> TSound::Play(TChannel*) {
    ++mixer.playCount;
    if (!mixer.attempted)
        InitAudio();
    if (!mixer.device || !samples || samples->empty())
        return std::make_shared<TChannel>(-1);
    Lock();
    // A free voice, or else the one closest to its end gives way.
    int best = 0;
    for (int i = 0; i < kVoices; ++i) {
        const Voice& v = mixer.voices[i];
        if (!v.active) {
            best = i;
            break;
        }
        const Voice& b = mixer.voices[best];
        if (v.samples->size() - v.pos < b.samples->size() - b.pos)
            best = i;
    }
    Voice& v = mixer.voices[best];
    v.samples = samples;
    v.pos = 0;
    v.active = true;
    v.serial = mixer.nextSerial++;
    const std::uint32_t serial = v.serial;
    Unlock();
    auto channel = std::make_shared<TChannel>(best);
    channel->serial_ = serial;
    return channel;
}

bool TChannel::Playing() const {
    if (voice_ < 0)
        return false;
    Lock();
    const Voice& v = mixer.voices[voice_];
    const bool playing = v.active && v.serial == serial_;
    Unlock();
    return playing;
}

void TChannel::Stop() {
    if (voice_ < 0)
        return;
    Lock();
    Voice& v = mixer.voices[voice_];
    if (v.serial == serial_)
        v.active = false;
    Unlock();
}

std::shared_ptr<TSound> LoadSound(std::string_view url, int flags) {
    auto bytes = OpenEmbedded(url);
    if (!bytes || bytes->size > static_cast<std::size_t>(INT32_MAX))
        return nullptr;
    SDL_RWops* rw = SDL_RWFromConstMem(bytes->data, static_cast<int>(bytes->size));
    if (!rw)
        return nullptr;
    SDL_AudioSpec spec{};
    Uint8* buf = nullptr;
    Uint32 len = 0;
    if (!SDL_LoadWAV_RW(rw, 1, &spec, &buf, &len))
        return nullptr;
    // Converted once here to the mixer's format so that playing is a plain sum.
    SDL_AudioCVT cvt;
    if (SDL_BuildAudioCVT(&cvt, spec.format, spec.channels, spec.freq, AUDIO_S16SYS, kChannels,
                          kRate) < 0) {
        SDL_FreeWAV(buf);
        return nullptr;
    }
    std::vector<Uint8> work(static_cast<std::size_t>(len) *
                            static_cast<std::size_t>(std::max(cvt.len_mult, 1)));
    std::memcpy(work.data(), buf, len);
    SDL_FreeWAV(buf);
    cvt.buf = work.data();
    cvt.len = static_cast<int>(len);
    if (cvt.needed && SDL_ConvertAudio(&cvt) != 0)
        return nullptr;
    const std::size_t outBytes = cvt.needed ? static_cast<std::size_t>(cvt.len_cvt) : len;
    auto samples = std::make_shared<std::vector<std::int16_t>>(outBytes / sizeof(std::int16_t));
    std::memcpy(samples->data(), work.data(), samples->size() * sizeof(std::int16_t));
    auto sound = std::make_shared<TSound>();
    sound->flags = flags;
    sound->samples = std::move(samples);
    return sound;
}
