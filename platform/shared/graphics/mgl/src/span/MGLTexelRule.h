#ifndef MGLTEXELRULE_H
#define MGLTEXELRULE_H

#include <concepts>
#include <cstdint>

#include "MGLPixelCoordinates.h"
#include "MGLPixelQuads.h"
#include "MGLPixelTexels.h"
#include "MGLStoreFormat.h"

namespace span_detail {

// The levels the pixels of a perspective row read, for a rule that reads
// the nearest texel of one level: with `highest` above 0, the level of
// each pixel's level of detail, at most `highest`; else `fixed`.
struct NearestRowLevels {
    int32_t highest;
    int32_t fixed;
};

// What the textured row loops (TexturedRow) ask of a texel rule, the type
// that turns a pixel's texture coordinates into the texel it stores. Its
// Passes(u, v, lod) reads the pixel's texels and gives whether the pixel
// is written, and its Store(colour) then stores what they were, after the
// depth has been written (a level may alias the depth buffer); its
// ReadsLod() whether its texels depend on the level of detail (when not,
// the span leaves it out), and its Finish() ends the row. Its kStoreFormat is
// the format it stores, or StoreFormat::RowFormat where it stores the
// row's; a fixed format lets the rows that test and write depth take loops
// with the pixel strides fixed.
template <class Rule>
concept TexelRule = requires(Rule& rule, const Rule& held, uint8_t* colour, int32_t u, int32_t v, int32_t lod) {
    { Rule::kStoreFormat } -> std::convertible_to<StoreFormat>;
    { rule.Passes(u, v, lod) } -> std::same_as<bool>;
    held.Store(colour);
    { held.ReadsLod() } -> std::same_as<bool>;
    rule.Finish();
};

// The fast loops a rule takes with members of its own, found by their
// signatures: one that drifts leaves the rule to the loops every rule
// takes, which still draw the same pixels, only slower. Each rule meant to
// take one asserts that it does, beside its definition.

// The nearest texel of one level (kReadsLevelOnly): the rows that test
// and write depth take the mipmap level alone from each pixel's level of
// detail, within the row's bounds (RowLevels), and read the texel from it
// (PassesOn).
template <class Rule>
concept LevelOnlyRule =
    TexelRule<Rule> && Rule::kReadsLevelOnly &&
    requires(Rule& rule, const Rule& held, const MGLPixelCoordinates::Lod& lod, int32_t level, int32_t u, int32_t v) {
        { held.RowLevels(lod) } -> std::same_as<NearestRowLevels>;
        { rule.PassesOn(level, u, v) } -> std::same_as<bool>;
    };

// Trilinear filtering with the quads precomputed for a run of pixels
// (FillQuads) together with their coordinates, each pixel then taken by
// its place in the run (PassesAhead).
template <class Rule>
concept QuadsAheadRule = TexelRule<Rule> && requires(Rule& rule, const MGLPixelCoordinates& ahead, MGLPixelQuads& quads,
                                                     const MGLPixelQuads& filled, int32_t pixels, int32_t i) {
    rule.FillQuads(ahead, quads, pixels);
    { rule.PassesAhead(ahead, filled, i) } -> std::same_as<bool>;
};

// Texels precomputed for a run of pixels (FillAhead) together with their
// coordinates, each pixel then taken by its place in the run (PassesAhead).
template <class Rule>
concept TexelsAheadRule = TexelRule<Rule> && requires(Rule& rule, const MGLPixelCoordinates& ahead, MGLPixelTexels& texels,
                                                      const MGLPixelTexels& filled, int32_t pixels, int32_t i) {
    rule.FillAhead(ahead, texels, pixels);
    { rule.PassesAhead(ahead, filled, i) } -> std::same_as<bool>;
};

}  // namespace span_detail

#endif
