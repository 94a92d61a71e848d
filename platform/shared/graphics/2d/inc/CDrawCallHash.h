#ifndef CDRAWCALLHASH_H
#define CDRAWCALLHASH_H

#include <cstddef>
#include <cstdint>

// A 64-bit digest of a run of draw calls, of everything that decides their
// pixels, so that a caller can tell whether the same run drawn again would
// put exactly the same pixels on its target. Recording, the calls draw as
// usual; rehearsing, they are only digested.
class CDrawCallHash {
public:
    enum class Mode : uint8_t { kOff, kRecord, kRehearse };
    // The most words of state one call is drawn in.
    static constexpr size_t kStateWords = 8;

    void Start(Mode mode);
    // The digest of the calls since Start; the hash is off afterwards.
    uint64_t Stop() {
        m_mode = Mode::kOff;
        return m_value;
    }
    bool IsOn() const { return m_mode != Mode::kOff; }
    bool IsRehearsing() const { return m_mode == Mode::kRehearse; }
    // Folds nothing until Resume, keeping the digest so far: for calls that
    // draw what a call already folded describes.
    Mode Pause() {
        const Mode mode = m_mode;
        m_mode = Mode::kOff;
        return mode;
    }
    void Resume(Mode mode) { m_mode = mode; }

    void Fold(uint64_t word) { m_value = Mix(m_value, word, kMultiplier); }
    // Thirty-two bytes at a time in four lanes, the count with them.
    void FoldBytes(const void* bytes, size_t count);
    // The state a call is drawn in: the words themselves when they differ
    // from the state folded last, else only a mark that they are the same
    // (calls in a row mostly share their state).
    void FoldState(const uint64_t (&words)[kStateWords]);

private:
    static constexpr uint64_t kSeed = 0x6A09E667F3BCC908ull;
    static constexpr uint64_t kMultiplier = 0x9E3779B97F4A7C15ull;

    // The multiply carries each bit upwards and the shift brings the high
    // half back down, so that no two changed bits of successive words cancel.
    static uint64_t Mix(uint64_t value, uint64_t word, uint64_t multiplier) {
        const uint64_t mixed = (value ^ word) * multiplier;
        return mixed ^ mixed >> 32;
    }

    uint64_t m_value = kSeed;
    Mode m_mode = Mode::kOff;
    bool m_stateKnown = false;
    uint64_t m_state[kStateWords] = {};
};

#endif
