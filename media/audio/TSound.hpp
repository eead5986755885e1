#pragma once
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

// One playing instance of a sound.
class TChannel {
  public:
    explicit TChannel(int voice) : voice_(voice) {}
    bool Playing() const; // true while the sound is still being mixed
    void Stop();

  private:
    int voice_; // mixer slot, -1 when the output is silent
    std::uint32_t serial_ = 0;
    friend class TSound;
};

// A decoded sample, converted to the mixer's format (signed 16-bit stereo, 44100 Hz).
class TSound {
  public:
    // Starts the sound on a new channel (the argument is ignored) and returns at once;
    // plays of one sound overlap. Silent when no audio output could be opened.
    std::shared_ptr<TChannel> Play(TChannel* channel = nullptr);
    int flags = 0;
    std::shared_ptr<const std::vector<std::int16_t>> samples; // interleaved L/R
};

// Decodes an embedded WAV ("incbin::name"); nullptr if missing or undecodable.
std::shared_ptr<TSound> LoadSound(std::string_view url, int flags);
// When a failure to open the sound output is reported: at once, or held back until
// ReportHeldAudioProblem (so that a program that cannot start at all says only why not).
enum class AudioReport { Now, Held };
// Opens the output once; on failure one line on stderr (now or held) and silence after that.
bool InitAudio(AudioReport report = AudioReport::Now);
void ReportHeldAudioProblem(); // prints the held line, if any, once
void CloseAudio();             // stops and closes the output (tests)
int SoundPlayCount();          // Play calls since start
int ActiveVoices();            // sounds being mixed right now
