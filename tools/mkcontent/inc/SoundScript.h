#ifndef SOUNDSCRIPT_H
#define SOUNDSCRIPT_H

#include "ContentEntry.h"
#include "SourceText.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// Sounds made from tones and noise, written as raw 16-bit mono PCM at
// 8000 Hz (the only form the engine's player plays). Source:
//
//   sound HANDLE
//     tone WAVE HZ MS [to=HZ] [volume=V] [decay]   sine, square or triangle;
//                                                  `to` slides the pitch
//     noise MS [volume=V] [decay]
//     rest MS
//     melody WAVE BEAT_MS "C5 E5 G5*2 - A#4" [volume=V]
//                                   notes of one beat (`*N`: N beats), `-` rests
//     voice                         the next parts start again at time 0 and
//                                   are mixed with what is there
//
// Volume is 0 to 1 (default 0.5); every part fades in and out over a few
// milliseconds so that it does not click. Noise comes from a generator
// seeded by the handle: the same source gives the same samples.
class SoundScript {
public:
    static constexpr int32_t kSampleRate = 8000;
    // Longest part and longest sound.
    static constexpr int32_t kMaxMilliseconds = 60000;

    bool Parse(const SourceText& source, std::vector<ContentEntry>& sounds, std::string& error);

private:
    enum class Wave { Sine, Square, Triangle, Noise, Silence };

    struct Part {
        Wave wave = Wave::Silence;
        double fromHz = 0;
        double toHz = 0;
        int32_t milliseconds = 0;
        double volume = 0.5;
        bool decay = false;
    };

    // The sound being written: mixed samples and where the next part starts.
    struct Track {
        uint32_t handle = 0;
        SourcePlace place;
        std::vector<int32_t> mix;
        size_t cursor = 0;
        uint32_t noiseState = 0;
    };

    bool ParseLine(const SourceLine& line, Track& track, std::string& error);
    // Reads the options from word `first` on.
    bool ParsePart(const SourceLine& line, size_t first, Part& part, std::string& error) const;
    bool ParseMelody(const SourceLine& line, Track& track, std::string& error);
    static bool ParseWave(const std::string& word, Wave& wave);
    static bool NoteFrequency(const std::string& note, double& hz, int32_t& beats);
    // Mixes the part in at the track's cursor; a sound may not grow past
    // 60 seconds.
    bool Render(const Part& part, const SourcePlace& place, Track& track, std::string& error) const;
    static double Oscillator(Wave wave, double phase, uint32_t& noiseState);
    static void Finish(Track& track, std::vector<ContentEntry>& sounds);
};

#endif
