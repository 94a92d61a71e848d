#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "AssertCounter.h"
#include "RenderPolyRig.h"

using rig::Fixed;
using rig::ONE;

namespace {

// Each assembled polygon as the input x of its vertices (elements are
// numbered by x), and the hook's calls.
class RenderPolyAssemblyTest : public rig::RenderPolyTest<> {
protected:
    void Prepare() override {
        r.RecordSpans(3);
        r.poly->SetPolygonObserver([this](const MGLVertexList& list) {
            std::vector<int32_t> ids;
            for (int32_t i = 0; i < list.count; ++i) ids.push_back(list.v[i][0] >> 16);
            polygons.push_back(ids);
        });
        r.poly->SetVertexHook([this](int32_t* vertex, int32_t n) { hooks.push_back({vertex[0] >> 16, n}); });
    }

    // Elements numbered by their x; all at z = -2 inside the frustum.
    void Elements(int32_t count, std::vector<int32_t> restarts = {}) {
        std::vector<std::vector<double>> points;
        for (int32_t i = 0; i < count; ++i) {
            bool restart = false;
            for (const int32_t k : restarts) restart = restart || k == i;
            points.push_back({static_cast<double>(i), 0.0, -2.0, restart ? -1.0 : 1.0});
        }
        r.SetPositions(points);
    }

    std::vector<std::vector<int32_t>> polygons;
    std::vector<std::array<int32_t, 2>> hooks;
};

using Polys = std::vector<std::vector<int32_t>>;

TEST_F(RenderPolyAssemblyTest, StripsFansAndRestarts) {
    Elements(5);
    r.poly->DrawTriangleStrip(5);
    EXPECT_EQ(polygons, (Polys{{0, 1, 2}, {1, 2, 3}, {2, 3, 4}}));
    std::vector<std::array<int32_t, 2>> hookIds;
    for (const auto& h : hooks) hookIds.push_back(h);
    EXPECT_EQ(hookIds, (std::vector<std::array<int32_t, 2>>{{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}}))
        << "each element passes the hook once, numbered by element";

    polygons.clear();
    r.context->Record().stripFan = 1;
    r.poly->DrawTriangleStrip(5);
    EXPECT_EQ(polygons, (Polys{{0, 1, 2}, {0, 2, 3}, {0, 3, 4}}));

    polygons.clear();
    r.context->Record().stripFan = 0;
    Elements(7, {3});
    r.poly->DrawTriangleStrip(7);
    EXPECT_EQ(polygons, (Polys{{0, 1, 2}, {3, 4, 5}, {4, 5, 6}})) << "element 3 starts a new strip";
}

// A restart needs two more elements; a stream that ends first ends the
// strip there, and nothing past the stream is read (the sanitizer would see it).
TEST_F(RenderPolyAssemblyTest, RestartAtTheEndReadsNothingPastTheStream) {
    Elements(4, {3});
    r.poly->DrawTriangleStrip(4);
    EXPECT_EQ(polygons, (Polys{{0, 1, 2}}));
    polygons.clear();
    Elements(2);
    r.poly->DrawTriangleStrip(2);
    r.poly->DrawQuadStrip(3);
    EXPECT_TRUE(polygons.empty());
    Elements(7, {4});
    r.poly->DrawQuadStrip(7);
    EXPECT_EQ(polygons, (Polys{{0, 1, 3, 2}})) << "the restart at 4 has no element 7";
}

TEST_F(RenderPolyAssemblyTest, QuadStripPairsElements) {
    Elements(6);
    r.poly->DrawQuadStrip(6);
    EXPECT_EQ(polygons, (Polys{{0, 1, 3, 2}, {2, 3, 5, 4}}));
    for (const auto& [element, number] : hooks) EXPECT_EQ(number, element) << "the hook's number is the element's";
    EXPECT_EQ(hooks.size(), 6u);
    polygons.clear();
    Elements(7);
    r.poly->DrawQuadStrip(7);
    EXPECT_EQ(polygons, (Polys{{0, 1, 3, 2}, {2, 3, 5, 4}})) << "an odd last element has no partner";
}

TEST_F(RenderPolyAssemblyTest, PolygonsTakeConsecutiveElementsAndRefuseBadCounts) {
    Elements(8);
    r.poly->DrawPolygons(4, 8, 2);
    EXPECT_EQ(polygons, (Polys{{0, 1, 2, 3}, {4, 5, 6, 7}}));
    polygons.clear();
    const int32_t used = r.context->Record().vertexPoolUsed;
    r.poly->DrawPolygons(4, 9, 2);   // counts disagree
    r.poly->DrawPolygons(2, 4, 2);   // too few corners
    r.poly->DrawPolygons(16, 16, 1);  // more than a list holds
    r.poly->DrawPolygons(3, -3, -1);
    EXPECT_TRUE(polygons.empty());
    EXPECT_EQ(r.context->Record().vertexPoolUsed, used);
}

// Indices of each element type, a vertex transformed once but hooked per
// use, and a polygon naming a vertex past the range left out.
TEST_F(RenderPolyAssemblyTest, IndexedPolygonsThroughEachIndexType) {
    Elements(4);
    const uint8_t bytes[] = {0, 1, 2, 2, 1, 3};
    const uint16_t halves[] = {0, 1, 2, 2, 1, 3};
    const uint32_t words[] = {0, 1, 2, 2, 1, 3};
    const std::pair<const void*, uint32_t> streams[] = {{bytes, 9}, {halves, 2}, {words, 12}};
    for (const auto& [indices, type] : streams) {
        polygons.clear();
        hooks.clear();
        r.poly->IndexFetcher().SetIndices(indices, type);
        r.poly->DrawIndexedPolygons(3, 4, 2);
        EXPECT_EQ(polygons, (Polys{{0, 1, 2}, {2, 1, 3}})) << type;
        ASSERT_EQ(hooks.size(), 6u) << type;
        EXPECT_EQ(hooks[3], (std::array<int32_t, 2>{2, 3}));
    }
    const uint8_t outside[] = {0, 1, 4, 1, 2, 3};
    polygons.clear();
    r.poly->IndexFetcher().SetIndices(outside, 9);
    r.poly->DrawIndexedPolygons(3, 4, 2);
    EXPECT_EQ(polygons, (Polys{{1, 2, 3}}));
}

// A call fits only while used + need stays below the limit.
TEST_F(RenderPolyAssemblyTest, PoolRuleIsStrictlyBelowTheLimit) {
    Elements(3);
    MGLRecord& s = r.context->Record();
    const int32_t stride = RenderPoly::kWordInterpolants + s.numInterpolants;
    s.vertexPoolUsed = s.vertexPoolLimit - 3 * stride;
    r.poly->DrawPolygons(3, 3, 1);
    EXPECT_TRUE(polygons.empty());
    s.vertexPoolUsed = s.vertexPoolLimit - 3 * stride - 1;
    r.poly->DrawPolygons(3, 3, 1);
    EXPECT_EQ(polygons.size(), 1u);
    EXPECT_EQ(s.vertexPoolUsed, s.vertexPoolLimit - 1);
}

// A fetcher whose destination words lie past the vertex writes nothing; a
// split fetch through the texture matrix writes two transformed words.
TEST_F(RenderPolyAssemblyTest, AttributeFetchStaysInsideTheVertex) {
    Elements(3);
    r.RecordSpans(3, 3, 0);
    const int16_t uv[] = {8, 4, 16, 2, 0, 0};
    CInterpolantFetcher& attributes = r.poly->AttribFetcher(0);
    attributes.Setup(uv, 2, CInterpolantFetcher::kTypeInt16, 16, 15, 4);
    attributes.SetTwoComponentMode(0, 16, true);
    r.poly->SetAttribFetcherCount(1);
    Matrix3x4 scale{};
    scale.Identity();
    scale.r.m[0] = 2 * ONE;
    scale.t[1] = ONE;
    r.context->TextureStack().SetTop(scale);
    std::vector<std::array<int32_t, 2>> fetched;
    r.poly->SetVertexHook([&](int32_t* vertex, int32_t n) {
        r.poly->FetchAttributes(vertex, static_cast<uint32_t>(n));
        fetched.push_back({vertex[15], vertex[16]});
    });
    r.poly->DrawPolygons(3, 3, 1);
    ASSERT_EQ(fetched.size(), 3u);
    EXPECT_EQ(fetched[0], (std::array<int32_t, 2>{16 * ONE, 5 * ONE}));
    EXPECT_EQ(fetched[1], (std::array<int32_t, 2>{32 * ONE, 3 * ONE}));

    fetched.clear();
    attributes.Setup(uv, 2, CInterpolantFetcher::kTypeInt16, 16, 16, 4);  // words 16 and 17: past 3 interpolants
    r.poly->SetVertexHook([&](int32_t* vertex, int32_t n) {
        vertex[16] = -7;
        r.poly->FetchAttributes(vertex, static_cast<uint32_t>(n));
        fetched.push_back({vertex[16], 0});
    });
    r.poly->DrawPolygons(3, 3, 1);
    ASSERT_EQ(fetched.size(), 3u);
    EXPECT_EQ(fetched[0][0], -7);
}

TEST_F(RenderPolyAssemblyTest, NativeSpanLayoutsTheRecordCannotHoldAreRefused) {
    AssertCounter asserts;
    EXPECT_FALSE(r.poly->BindNativeSpan([](MGLContext&, uint32_t, uint32_t) {}, MGLNativeSpanLayout{7, 0, 0, 0, 1}));
    EXPECT_EQ(r.context->Record().spanCodeDirect, 0);
    EXPECT_FALSE(r.poly->BindNativeSpan([](MGLContext&, uint32_t, uint32_t) {}, MGLNativeSpanLayout{3, 18, 0, 0, 3}));
    EXPECT_FALSE(r.poly->BindNativeSpan([](MGLContext&, uint32_t, uint32_t) {}, MGLNativeSpanLayout{2, 0, 2, 0, 3}));
    EXPECT_FALSE(r.poly->BindNativeSpan([](MGLContext&, uint32_t, uint32_t) {}, MGLNativeSpanLayout{2, 0, 0, 0, 5}));
    EXPECT_FALSE(r.poly->BindNativeSpan(nullptr, MGLNativeSpanLayout{1, 0, 0, 0, 3}));
    EXPECT_TRUE(r.poly->BindNativeSpan([](MGLContext&, uint32_t, uint32_t) {}, MGLNativeSpanLayout{20, 0, -1, 0, 4}));
    EXPECT_EQ(r.context->Record().spanCodeDirect, 1);
    EXPECT_EQ(r.context->Record().numInterpolants, 20);
    EXPECT_TRUE(r.context->BindShaderState(nullptr));
    EXPECT_EQ(r.context->Record().spanCodeDirect, 0) << "binding a state goes back to span code";
}

}  // namespace
