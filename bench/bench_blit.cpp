// The blit routines on a full 240 x 320 r5g6b5 frame against references
// doing the same work: the plain copy against memcpy of the same rows; the
// colour-keyed copy, the keyed constant-alpha copy and the fill against
// SDL's blitters (colour key 0xF81F; alpha modulation 128 with blending; a
// rectangle fill). A quarter of the source pixels carry the colour key.
// The plain copy also goes over the frame in tiles of 16, 24 and 32 pixels,
// and in rows of an odd width read one pixel off the destination's
// alignment, each against memcpy of the same rows.

#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <vector>

#include "BlitCopy.h"
#include "BlitLineFill.h"

namespace {

constexpr int kWidth = 240;
constexpr int kHeight = 320;
constexpr int kPitch = kWidth * 2;
constexpr uint32_t kKey = 0xF81F;
constexpr uint8_t kAlpha = 128;

std::vector<uint16_t> SourcePixels() {
    std::mt19937 random(3);
    std::vector<uint16_t> pixels(static_cast<size_t>(kWidth) * kHeight);
    for (uint16_t& p : pixels) p = static_cast<uint16_t>(random() % 4 == 0 ? kKey : random());
    return pixels;
}

// Our side: two plain pixel blocks.
struct Frames {
    std::vector<uint8_t> source = std::vector<uint8_t>(static_cast<size_t>(kPitch) * kHeight);
    std::vector<uint8_t> dest = std::vector<uint8_t>(static_cast<size_t>(kPitch) * kHeight, 0x55);
    Frames() {
        const std::vector<uint16_t> pixels = SourcePixels();
        std::memcpy(source.data(), pixels.data(), source.size());
    }
    BlitCopyDesc Copy() {
        return {kPitch, source.data(), nullptr, kPitch, dest.data(), kWidth, kHeight, 0, 0, kAlpha};
    }
};

// SDL's side: two surfaces of the same format and content.
class Surfaces {
public:
    Surfaces() {
        m_source = SDL_CreateRGBSurfaceWithFormat(0, kWidth, kHeight, 16, SDL_PIXELFORMAT_RGB565);
        m_dest = SDL_CreateRGBSurfaceWithFormat(0, kWidth, kHeight, 16, SDL_PIXELFORMAT_RGB565);
        const std::vector<uint16_t> pixels = SourcePixels();
        for (int y = 0; y < kHeight; ++y) {
            std::memcpy(static_cast<uint8_t*>(m_source->pixels) + y * m_source->pitch, &pixels[y * kWidth], kPitch);
        }
        SDL_FillRect(m_dest, nullptr, 0x5555);
    }
    ~Surfaces() {
        SDL_FreeSurface(m_source);
        SDL_FreeSurface(m_dest);
    }
    Surfaces(const Surfaces&) = delete;
    Surfaces& operator=(const Surfaces&) = delete;

    SDL_Surface* Source() { return m_source; }
    SDL_Surface* Dest() { return m_dest; }

private:
    SDL_Surface* m_source;
    SDL_Surface* m_dest;
};

void Count(benchmark::State& state) {
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}

void BM_CopyOurs(benchmark::State& state) {
    Frames frames;
    const BlitCopyDesc desc = frames.Copy();
    for (auto _ : state) {
        Blit_R5G6B5(&desc);
        benchmark::ClobberMemory();
    }
    Count(state);
}

void BM_CopyReference(benchmark::State& state) {
    Frames frames;
    // A row size known only at run time, as the routine sees it: a constant
    // size would let the compiler expand the copy in place.
    size_t rowBytes = kPitch;
    benchmark::DoNotOptimize(rowBytes);
    for (auto _ : state) {
        for (int y = 0; y < kHeight; ++y) std::memcpy(&frames.dest[y * kPitch], &frames.source[y * kPitch], rowBytes);
        benchmark::ClobberMemory();
    }
    Count(state);
}

// Blocks of a width and height laid over the frame from its top left, as
// many as fit whole; the source is read `sourceShift` pixels to the right.
struct Blocks {
    int width;
    int height;
    int sourceShift;
};

// Calls copy(source, destination) for the first byte of every block.
template <typename BlockCopy>
void ForEachBlock(Frames& frames, const Blocks& blocks, BlockCopy copy) {
    for (int y = 0; y + blocks.height <= kHeight; y += blocks.height) {
        for (int x = 0; x + blocks.width + blocks.sourceShift <= kWidth; x += blocks.width) {
            copy(&frames.source[y * kPitch + (x + blocks.sourceShift) * 2], &frames.dest[y * kPitch + x * 2]);
        }
    }
}

void BM_BlocksOurs(benchmark::State& state, Blocks blocks) {
    Frames frames;
    for (auto _ : state) {
        ForEachBlock(frames, blocks, [&blocks](const uint8_t* source, uint8_t* dest) {
            const BlitCopyDesc desc = {kPitch, source, nullptr, kPitch, dest, blocks.width, blocks.height, 0, 0, 0};
            Blit_R5G6B5(&desc);
        });
        benchmark::ClobberMemory();
    }
    Count(state);
}

void BM_BlocksReference(benchmark::State& state, Blocks blocks) {
    Frames frames;
    size_t rowBytes = static_cast<size_t>(blocks.width) * 2;
    benchmark::DoNotOptimize(rowBytes);
    for (auto _ : state) {
        ForEachBlock(frames, blocks, [&blocks, rowBytes](const uint8_t* source, uint8_t* dest) {
            for (int y = 0; y < blocks.height; ++y) std::memcpy(dest + y * kPitch, source + y * kPitch, rowBytes);
        });
        benchmark::ClobberMemory();
    }
    Count(state);
}

void BM_ColorKeyOurs(benchmark::State& state) {
    Frames frames;
    const BlitCopyDesc desc = frames.Copy();
    for (auto _ : state) {
        Blit_R5G6B5_ColorKey(&desc);
        benchmark::ClobberMemory();
    }
    Count(state);
}

void BM_ColorKeyReference(benchmark::State& state) {
    Surfaces surfaces;
    SDL_SetColorKey(surfaces.Source(), SDL_TRUE, kKey);
    for (auto _ : state) {
        SDL_BlitSurface(surfaces.Source(), nullptr, surfaces.Dest(), nullptr);
        benchmark::ClobberMemory();
    }
    Count(state);
}

void BM_ColorKeyAlphaOurs(benchmark::State& state) {
    Frames frames;
    const BlitCopyDesc desc = frames.Copy();
    for (auto _ : state) {
        Blit_R5G6B5_ColorKeyAlpha(&desc);
        benchmark::ClobberMemory();
    }
    Count(state);
}

void BM_ColorKeyAlphaReference(benchmark::State& state) {
    Surfaces surfaces;
    SDL_SetColorKey(surfaces.Source(), SDL_TRUE, kKey);
    SDL_SetSurfaceAlphaMod(surfaces.Source(), kAlpha);
    SDL_SetSurfaceBlendMode(surfaces.Source(), SDL_BLENDMODE_BLEND);
    for (auto _ : state) {
        SDL_BlitSurface(surfaces.Source(), nullptr, surfaces.Dest(), nullptr);
        benchmark::ClobberMemory();
    }
    Count(state);
}

void BM_FillOurs(benchmark::State& state) {
    Frames frames;
    const uint32_t colour = 0xFF336699;
    const BlitSolidDesc desc = {kPitch, frames.dest.data(), 0xC4404, &colour, kWidth, kHeight};
    for (auto _ : state) {
        FillRect_R5G6B5(&desc);
        benchmark::ClobberMemory();
    }
    Count(state);
}

void BM_FillReference(benchmark::State& state) {
    Surfaces surfaces;
    for (auto _ : state) {
        SDL_FillRect(surfaces.Dest(), nullptr, SDL_MapRGB(surfaces.Dest()->format, 0x33, 0x66, 0x99));
        benchmark::ClobberMemory();
    }
    Count(state);
}

}  // namespace

BENCHMARK(BM_CopyOurs)->Name("BlitCopy240x320/ours");
BENCHMARK(BM_CopyReference)->Name("BlitCopy240x320/reference");
BENCHMARK_CAPTURE(BM_BlocksOurs, , Blocks{16, 16, 0})->Name("BlitCopyTile16/ours");
BENCHMARK_CAPTURE(BM_BlocksReference, , Blocks{16, 16, 0})->Name("BlitCopyTile16/reference");
BENCHMARK_CAPTURE(BM_BlocksOurs, , Blocks{24, 24, 0})->Name("BlitCopyTile24/ours");
BENCHMARK_CAPTURE(BM_BlocksReference, , Blocks{24, 24, 0})->Name("BlitCopyTile24/reference");
BENCHMARK_CAPTURE(BM_BlocksOurs, , Blocks{32, 32, 0})->Name("BlitCopyTile32/ours");
BENCHMARK_CAPTURE(BM_BlocksReference, , Blocks{32, 32, 0})->Name("BlitCopyTile32/reference");
BENCHMARK_CAPTURE(BM_BlocksOurs, , Blocks{kWidth - 3, kHeight, 1})->Name("BlitCopyOddRows/ours");
BENCHMARK_CAPTURE(BM_BlocksReference, , Blocks{kWidth - 3, kHeight, 1})->Name("BlitCopyOddRows/reference");
BENCHMARK(BM_ColorKeyOurs)->Name("BlitColorKey240x320/ours");
BENCHMARK(BM_ColorKeyReference)->Name("BlitColorKey240x320/reference");
BENCHMARK(BM_ColorKeyAlphaOurs)->Name("BlitColorKeyAlpha240x320/ours");
BENCHMARK(BM_ColorKeyAlphaReference)->Name("BlitColorKeyAlpha240x320/reference");
BENCHMARK(BM_FillOurs)->Name("FillRect240x320/ours");
BENCHMARK(BM_FillReference)->Name("FillRect240x320/reference");
