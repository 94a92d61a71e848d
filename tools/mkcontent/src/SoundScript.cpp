#include "SoundScript.h"

#include "ContentTypes.h"
#include "LittleEndianWriter.h"
#include "SourceWords.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kFullScale = 12000.0;
constexpr int32_t kFadeSamples = 32;
constexpr double kTwoPi = 6.283185307179586;
constexpr double kMinHz = 20.0;
constexpr double kMaxHz = 3900.0;  // below half the sample rate

bool ReadVolume(const std::map<std::string, std::string>& options, double& volume) {
    const auto found = options.find("volume");
    if (found == options.end()) return true;
    return SourceWords::ParseDecimal(found->second, volume) && volume >= 0.0 && volume <= 1.0;
}

bool ReadHz(const std::string& word, double& hz) {
    return SourceWords::ParseDecimal(word, hz) && hz >= kMinHz && hz <= kMaxHz;
}

bool ReadMilliseconds(const std::string& word, int32_t& milliseconds) {
    return SourceWords::ParseInt(word, milliseconds) && milliseconds > 0 &&
           milliseconds <= SoundScript::kMaxMilliseconds;
}

}  // namespace

bool SoundScript::Parse(const SourceText& source, std::vector<ContentEntry>& sounds, std::string& error) {
    Track track;
    bool open = false;
    for (size_t i = 0; i < source.LineCount(); ++i) {
        SourceLine line;
        if (!source.Line(i, line, error)) return false;
        if (line.words.empty()) continue;
        if (line.words[0] == "sound") {
            int32_t handle = 0;
            if (line.words.size() != 2 || !SourceWords::ParseInt(line.words[1], handle)) {
                return SourceText::Fail(line.place, "expected `sound HANDLE`", error);
            }
            if (open) Finish(track, sounds);
            track = Track();
            track.handle = static_cast<uint32_t>(handle);
            track.place = line.place;
            track.noiseState = track.handle ^ 0x9E3779B9u;
            open = true;
            continue;
        }
        if (!open) return SourceText::Fail(line.place, "a sound part before the first `sound`", error);
        if (!ParseLine(line, track, error)) return false;
    }
    if (open) Finish(track, sounds);
    return true;
}

bool SoundScript::ParseLine(const SourceLine& line, Track& track, std::string& error) {
    const std::string& keyword = line.words[0];
    Part part;
    if (keyword == "voice") {
        if (line.words.size() != 1) return SourceText::Fail(line.place, "`voice` takes nothing", error);
        track.cursor = 0;
        return true;
    }
    if (keyword == "melody") return ParseMelody(line, track, error);
    if (keyword == "tone") {
        if (line.words.size() < 4 || !ParseWave(line.words[1], part.wave) || part.wave == Wave::Noise ||
            !ReadHz(line.words[2], part.fromHz) || !ReadMilliseconds(line.words[3], part.milliseconds)) {
            return SourceText::Fail(line.place, "expected `tone sine|square|triangle HZ MS` (20-3900 Hz)", error);
        }
        part.toHz = part.fromHz;
        if (!ParsePart(line, 4, part, error)) return false;
    } else if (keyword == "noise" || keyword == "rest") {
        part.wave = keyword == "noise" ? Wave::Noise : Wave::Silence;
        if (line.words.size() < 2 || !ReadMilliseconds(line.words[1], part.milliseconds)) {
            return SourceText::Fail(line.place, "expected `" + keyword + " MS` (1 to 60000)", error);
        }
        if (!ParsePart(line, 2, part, error)) return false;
    } else {
        return SourceText::Fail(line.place, "unknown sound part `" + keyword + "`", error);
    }
    return Render(part, line.place, track, error);
}

bool SoundScript::ParsePart(const SourceLine& line, size_t first, Part& part, std::string& error) const {
    std::map<std::string, std::string> options;
    std::string bad;
    if (!SourceWords::Options(line.words, first, options, bad)) {
        return SourceText::Fail(line.place, "option " + bad + " is given twice", error);
    }
    if (!ReadVolume(options, part.volume)) return SourceText::Fail(line.place, "volume must be 0 to 1", error);
    part.decay = options.erase("decay") != 0;
    options.erase("volume");
    const auto to = options.find("to");
    if (to != options.end()) {
        if (part.wave == Wave::Noise || part.wave == Wave::Silence || !ReadHz(to->second, part.toHz)) {
            return SourceText::Fail(line.place, "`to` is a tone's final pitch, 20 to 3900 Hz", error);
        }
        options.erase(to);
    }
    if (!options.empty()) return SourceText::Fail(line.place, "unknown option " + options.begin()->first, error);
    return true;
}

bool SoundScript::ParseMelody(const SourceLine& line, Track& track, std::string& error) {
    Part part;
    int32_t beat = 0;
    if (line.words.size() < 4 || !ParseWave(line.words[1], part.wave) || part.wave == Wave::Noise ||
        !ReadMilliseconds(line.words[2], beat)) {
        return SourceText::Fail(line.place, "expected `melody sine|square|triangle BEAT_MS \"NOTES\"`", error);
    }
    if (!ParsePart(line, 4, part, error)) return false;
    std::vector<std::string> notes;
    SourceText::SplitWords(line.words[3], notes);
    if (notes.empty()) return SourceText::Fail(line.place, "the melody has no notes", error);
    for (const std::string& note : notes) {
        Part step = part;
        int32_t beats = 1;
        const bool rest = note == "-";
        if (rest) {
            step.wave = Wave::Silence;
        } else if (!NoteFrequency(note, step.fromHz, beats)) {
            return SourceText::Fail(line.place, "`" + note + "` is not a note such as C5, F#4 or Bb3*2", error);
        }
        step.toHz = step.fromHz;
        step.milliseconds = beat * beats;
        if (step.milliseconds > kMaxMilliseconds) return SourceText::Fail(line.place, "a note is too long", error);
        if (!Render(step, line.place, track, error)) return false;
    }
    return true;
}

bool SoundScript::ParseWave(const std::string& word, Wave& wave) {
    static const std::map<std::string, Wave> waves = {
        {"sine", Wave::Sine}, {"square", Wave::Square}, {"triangle", Wave::Triangle}, {"noise", Wave::Noise}};
    const auto found = waves.find(word);
    if (found == waves.end()) return false;
    wave = found->second;
    return true;
}

bool SoundScript::NoteFrequency(const std::string& note, double& hz, int32_t& beats) {
    static const std::map<char, int32_t> semitones = {{'C', 0}, {'D', 2}, {'E', 4}, {'F', 5},
                                                      {'G', 7}, {'A', 9}, {'B', 11}};
    const size_t star = note.find('*');
    const std::string pitch = note.substr(0, star);
    beats = 1;
    if (star != std::string::npos && (!SourceWords::ParseInt(note.substr(star + 1), beats) || beats < 1 || beats > 64)) {
        return false;
    }
    if (pitch.size() < 2 || !semitones.count(pitch[0])) return false;
    int32_t semitone = semitones.at(pitch[0]);
    size_t octaveAt = 1;
    if (pitch[1] == '#' || pitch[1] == 'b') {
        semitone += pitch[1] == '#' ? 1 : -1;
        octaveAt = 2;
    }
    if (octaveAt + 1 != pitch.size() || pitch[octaveAt] < '1' || pitch[octaveAt] > '7') return false;
    const int32_t midi = 12 * (pitch[octaveAt] - '0' + 1) + semitone;
    hz = 440.0 * std::pow(2.0, (midi - 69) / 12.0);
    return hz >= kMinHz && hz <= kMaxHz;
}

double SoundScript::Oscillator(Wave wave, double phase, uint32_t& noiseState) {
    const double fraction = phase - std::floor(phase);
    switch (wave) {
        case Wave::Sine:
            return std::sin(kTwoPi * fraction);
        case Wave::Square:
            return fraction < 0.5 ? 1.0 : -1.0;
        case Wave::Triangle:
            return fraction < 0.5 ? 4.0 * fraction - 1.0 : 3.0 - 4.0 * fraction;
        case Wave::Noise:
            noiseState = noiseState * 1664525u + 1013904223u;
            return static_cast<int32_t>(noiseState >> 16 & 0xFFFF) / 32768.0 - 1.0;
        case Wave::Silence:
            break;
    }
    return 0.0;
}

bool SoundScript::Render(const Part& part, const SourcePlace& place, Track& track, std::string& error) const {
    const size_t count = static_cast<size_t>(part.milliseconds) * kSampleRate / 1000;
    if (track.cursor + count > static_cast<size_t>(kMaxMilliseconds) * kSampleRate / 1000) {
        return SourceText::Fail(place, "a sound lasts at most 60 seconds", error);
    }
    if (track.mix.size() < track.cursor + count) track.mix.resize(track.cursor + count, 0);
    double phase = 0.0;
    for (size_t i = 0; i < count; ++i) {
        const double progress = static_cast<double>(i) / static_cast<double>(count);
        const double hz = part.fromHz + (part.toHz - part.fromHz) * progress;
        phase += hz / kSampleRate;
        double level = part.volume * (part.decay ? 1.0 - progress : 1.0);
        const size_t fromEnd = count - 1 - i;
        level *= std::min<double>(1.0, static_cast<double>(std::min(i, fromEnd)) / kFadeSamples);
        const double sample = Oscillator(part.wave, phase, track.noiseState) * level * kFullScale;
        track.mix[track.cursor + i] += static_cast<int32_t>(std::lround(sample));
    }
    track.cursor += count;
    return true;
}

void SoundScript::Finish(Track& track, std::vector<ContentEntry>& sounds) {
    ContentEntry entry{track.handle, ContentTypes::kRawPcm, {}, track.place};
    LittleEndianWriter writer(entry.payload);
    for (const int32_t sample : track.mix) {
        writer.U16(static_cast<uint16_t>(static_cast<int16_t>(std::clamp(sample, -32767, 32767))));
    }
    sounds.push_back(entry);
}
