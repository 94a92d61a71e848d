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

    void Start(Mode mode) {
        m_mode = mode;
        m_value = kSeed;
    }
    // The digest of the calls since Start; the hash is off afterwards.
    uint64_t Stop() {
        m_mode = Mode::kOff;
        return m_value;
    }
    bool IsOn() const { return m_mode != Mode::kOff; }
    bool IsRehearsing() const { return m_mode == Mode::kRehearse; }

    void Fold(uint64_t word);
    // Eight bytes at a time, then the rest with the count, so that runs of
    // different lengths differ.
    void FoldBytes(const void* bytes, size_t count);

private:
    static constexpr uint64_t kSeed = 0x6A09E667F3BCC908ull;

    uint64_t m_value = kSeed;
    Mode m_mode = Mode::kOff;
};

#endif
