#ifndef MGLRECORD_H
#define MGLRECORD_H

#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "TextureUnit.h"

// The renderer's whole state as one flat record. Stored span code reads and
// writes it through a base register at fixed byte offsets, so the offsets,
// widths and order below are a binary interface: every one is checked at
// compile time after the struct.
//
// Fields that hold addresses are 32-bit guest addresses (MGLGuestMemory).
// Span code dereferences the ones below offset 4096; the renderer's own C++
// never reads a pointer out of the record: the fetchers, vertex lists, stage
// slots and buffer table live as native objects beside it, and their slots
// here only keep the layout.
struct MGLRecord {
    static constexpr uint32_t kMatrixStack2dBytes = 484;  // 20 x 24-byte 2x3 matrices + count
    static constexpr uint32_t kMatrixStack3x4Bytes = 1044;  // 20 x 52-byte 3x4 matrices + count
    static constexpr uint32_t kFetcherBytes = 32;
    static constexpr uint32_t kVertexListWords = 16;  // count + 15 vertices
    static constexpr uint32_t kInterpolantWords = 20;

    uint32_t CPUregs[128];
    int32_t regs[128];
    int32_t scissorx0;
    int32_t scissory0;
    int32_t scissorx1;
    int32_t scissory1;
    int32_t alphaRefval;
    int32_t stencilRefval;
    uint32_t stencilMask;
    uint32_t spsave;
    uint32_t lsave;
    uint32_t rsave;
    uint32_t r0save;
    int32_t recipTableSizeM1;
    uint32_t recipTable;       // guest address of u16[4096]
    uint32_t recipTable4;      // guest address of i32[4096]
    uint32_t recipShiftTable;  // guest address of u8[4096]
    uint32_t cosTable;         // guest address of u16[257]
    int32_t sqrtTableSizeM1;
    uint32_t sqrtTable;        // guest address of i32[4096]
    uint32_t destbase;
    int32_t destheight;
    int32_t deststride;
    uint32_t destptr;
    uint32_t zbase;
    int32_t zstride;
    uint32_t zptr;
    uint32_t stencilbase;
    uint32_t stencilptr;
    int32_t stencilstride;
    uint32_t spare1136;
    uint8_t cullEnable;
    uint8_t cullSense;
    uint8_t stripFan;
    uint8_t spare1143;
    uint8_t depthWrite;
    uint8_t depthTest;
    uint8_t spare1146[2];
    TextureUnit texture_units[8];
    int32_t perspectiveGradients;
    int32_t final_limit;
    int32_t rp123[4];
    uint32_t vertexPool;       // guest address of the pool
    int32_t vertexPoolUsed;
    int32_t vertexPoolLimit;
    int32_t polys_considered;
    int32_t polys_drawn;
    int32_t spans_shaded;
    int32_t pixels_shaded;
    int32_t pixels_failed_depth;
    int32_t verts_xformed;
    int32_t polys_subdivided;
    int32_t pieces_drawn;
    int32_t K1[kInterpolantWords];
    int32_t K2x[kInterpolantWords];
    int32_t K3y[kInterpolantWords];
    int32_t K3ys[kInterpolantWords];
    // The polygon fill keeps edge records here; the triangle fill keeps
    // interpolant values and steps in the same words.
    union {
        int32_t le[kInterpolantWords];
        int32_t intp_y[kInterpolantWords];
    };
    int32_t re[kInterpolantWords];
    union {
        int32_t dl[kInterpolantWords];
        int32_t intp_dx[kInterpolantWords];
    };
    union {
        int32_t dr[kInterpolantWords];
        int32_t intp_dy[kInterpolantWords];
    };
    int32_t intp[kInterpolantWords];
    int32_t intdp[kInterpolantWords];
    int32_t pcintp[kInterpolantWords];
    int32_t pcintdp[kInterpolantWords];
    int32_t pcnextp[kInterpolantWords];
    int32_t viewport_X;
    int32_t viewport_Y;
    int32_t viewport_W;
    int32_t viewport_H;
    int32_t depthrange_f;
    int32_t depthrange_n;
    int32_t frustum_L;
    int32_t frustum_R;
    int32_t frustum_B;
    int32_t frustum_T;
    int32_t frustum_N;
    int32_t frustum_F;
    int32_t projection_matrix_mode;
    int32_t cfx0;
    int32_t cfx1;
    int32_t cfy0;
    int32_t cfy1;
    int32_t cfz0;
    int32_t cfz1;
    int32_t ccx0;
    int32_t ccx1;
    int32_t ccy0;
    int32_t ccy1;
    int32_t ccz0;
    int32_t ccz1;
    uint32_t spare3188[2];
    uint8_t matrixStack2d[kMatrixStack2dBytes];
    int32_t colorBuffer;
    int32_t depthBuffer;
    int32_t stencilBuffer;
    int32_t drawColor[4];
    int32_t clearColor[4];
    int32_t clearStencil;
    int32_t clearDepth;
    uint8_t positionFetcher[kFetcherBytes];
    uint8_t indexFetcher[kFetcherBytes];
    int32_t attribFetcherCount;
    uint8_t attribFetchers[10][kFetcherBytes];
    uint32_t spanCode;
    int32_t spanCodeDirect;
    int32_t numInterpolants;
    int32_t numExtraInterpolants;
    int32_t depthInterpolant;
    uint32_t depthScaledMask;
    uint32_t shaderKey28;
    int32_t fillMode;
    uint32_t poly[kVertexListWords];
    uint32_t clipListA[kVertexListWords];
    uint32_t clipListB[kVertexListWords];
    uint32_t clipScratch[kVertexListWords];
    uint8_t textureStack[kMatrixStack3x4Bytes];
    uint8_t auxStack[kMatrixStack3x4Bytes];
    uint8_t modelviewStack[kMatrixStack3x4Bytes];
    // Interpreted span code's stack; its pointer starts at the end and grows
    // down.
    uint8_t interpreterStack[1544];
    uint32_t spare9084;
    uint32_t bufferTable;
    int32_t wireframe;
    uint32_t spare9096;
    uint8_t wholePolygons;
    uint8_t screenSpace;
    uint8_t spare9102[2];
    uint32_t clipStage;
    uint32_t fillStage;
    uint32_t spareStage9112;
    uint32_t projectStage;
    uint32_t spareStage9120;
    uint32_t vertexHook;
    uint32_t spare9128;
    uint8_t spareArea[25604];
    uint32_t spare34736;
    uint32_t spare34740;
};

// Where interpreted span code's stack pointer starts.
inline constexpr uint32_t kMGLInterpreterStackTop =
    offsetof(MGLRecord, interpreterStack) + sizeof(MGLRecord::interpreterStack);

static_assert(std::is_standard_layout_v<MGLRecord>);
static_assert(std::is_trivially_copyable_v<MGLRecord>);
static_assert(sizeof(MGLRecord) == 34744);
static_assert(kMGLInterpreterStackTop == 9084);

static_assert(offsetof(MGLRecord, CPUregs) == 0);
static_assert(offsetof(MGLRecord, regs) == 512);
static_assert(offsetof(MGLRecord, scissorx0) == 1024);
static_assert(offsetof(MGLRecord, scissory0) == 1028);
static_assert(offsetof(MGLRecord, scissorx1) == 1032);
static_assert(offsetof(MGLRecord, scissory1) == 1036);
static_assert(offsetof(MGLRecord, alphaRefval) == 1040);
static_assert(offsetof(MGLRecord, stencilRefval) == 1044);
static_assert(offsetof(MGLRecord, stencilMask) == 1048);
static_assert(offsetof(MGLRecord, spsave) == 1052);
static_assert(offsetof(MGLRecord, lsave) == 1056);
static_assert(offsetof(MGLRecord, rsave) == 1060);
static_assert(offsetof(MGLRecord, r0save) == 1064);
static_assert(offsetof(MGLRecord, recipTableSizeM1) == 1068);
static_assert(offsetof(MGLRecord, recipTable) == 1072);
static_assert(offsetof(MGLRecord, recipTable4) == 1076);
static_assert(offsetof(MGLRecord, recipShiftTable) == 1080);
static_assert(offsetof(MGLRecord, cosTable) == 1084);
static_assert(offsetof(MGLRecord, sqrtTableSizeM1) == 1088);
static_assert(offsetof(MGLRecord, sqrtTable) == 1092);
static_assert(offsetof(MGLRecord, destbase) == 1096);
static_assert(offsetof(MGLRecord, destheight) == 1100);
static_assert(offsetof(MGLRecord, deststride) == 1104);
static_assert(offsetof(MGLRecord, destptr) == 1108);
static_assert(offsetof(MGLRecord, zbase) == 1112);
static_assert(offsetof(MGLRecord, zstride) == 1116);
static_assert(offsetof(MGLRecord, zptr) == 1120);
static_assert(offsetof(MGLRecord, stencilbase) == 1124);
static_assert(offsetof(MGLRecord, stencilptr) == 1128);
static_assert(offsetof(MGLRecord, stencilstride) == 1132);
static_assert(offsetof(MGLRecord, spare1136) == 1136);
static_assert(offsetof(MGLRecord, cullEnable) == 1140);
static_assert(offsetof(MGLRecord, cullSense) == 1141);
static_assert(offsetof(MGLRecord, stripFan) == 1142);
static_assert(offsetof(MGLRecord, depthWrite) == 1144);
static_assert(offsetof(MGLRecord, depthTest) == 1145);
static_assert(offsetof(MGLRecord, texture_units) == 1148);
static_assert(offsetof(MGLRecord, perspectiveGradients) == 1980);
static_assert(offsetof(MGLRecord, final_limit) == 1984);
static_assert(offsetof(MGLRecord, rp123) == 1988);
static_assert(offsetof(MGLRecord, vertexPool) == 2004);
static_assert(offsetof(MGLRecord, vertexPoolUsed) == 2008);
static_assert(offsetof(MGLRecord, vertexPoolLimit) == 2012);
static_assert(offsetof(MGLRecord, polys_considered) == 2016);
static_assert(offsetof(MGLRecord, polys_drawn) == 2020);
static_assert(offsetof(MGLRecord, spans_shaded) == 2024);
static_assert(offsetof(MGLRecord, pixels_shaded) == 2028);
static_assert(offsetof(MGLRecord, pixels_failed_depth) == 2032);
static_assert(offsetof(MGLRecord, verts_xformed) == 2036);
static_assert(offsetof(MGLRecord, polys_subdivided) == 2040);
static_assert(offsetof(MGLRecord, pieces_drawn) == 2044);
static_assert(offsetof(MGLRecord, K1) == 2048);
static_assert(offsetof(MGLRecord, K2x) == 2128);
static_assert(offsetof(MGLRecord, K3y) == 2208);
static_assert(offsetof(MGLRecord, K3ys) == 2288);
static_assert(offsetof(MGLRecord, le) == 2368);
static_assert(offsetof(MGLRecord, intp_y) == 2368);
static_assert(offsetof(MGLRecord, re) == 2448);
static_assert(offsetof(MGLRecord, dl) == 2528);
static_assert(offsetof(MGLRecord, intp_dx) == 2528);
static_assert(offsetof(MGLRecord, dr) == 2608);
static_assert(offsetof(MGLRecord, intp_dy) == 2608);
static_assert(offsetof(MGLRecord, intp) == 2688);
static_assert(offsetof(MGLRecord, intdp) == 2768);
static_assert(offsetof(MGLRecord, pcintp) == 2848);
static_assert(offsetof(MGLRecord, pcintdp) == 2928);
static_assert(offsetof(MGLRecord, pcnextp) == 3008);
static_assert(offsetof(MGLRecord, viewport_X) == 3088);
static_assert(offsetof(MGLRecord, viewport_Y) == 3092);
static_assert(offsetof(MGLRecord, viewport_W) == 3096);
static_assert(offsetof(MGLRecord, viewport_H) == 3100);
static_assert(offsetof(MGLRecord, depthrange_f) == 3104);
static_assert(offsetof(MGLRecord, depthrange_n) == 3108);
static_assert(offsetof(MGLRecord, frustum_L) == 3112);
static_assert(offsetof(MGLRecord, frustum_R) == 3116);
static_assert(offsetof(MGLRecord, frustum_B) == 3120);
static_assert(offsetof(MGLRecord, frustum_T) == 3124);
static_assert(offsetof(MGLRecord, frustum_N) == 3128);
static_assert(offsetof(MGLRecord, frustum_F) == 3132);
static_assert(offsetof(MGLRecord, projection_matrix_mode) == 3136);
static_assert(offsetof(MGLRecord, cfx0) == 3140);
static_assert(offsetof(MGLRecord, cfx1) == 3144);
static_assert(offsetof(MGLRecord, cfy0) == 3148);
static_assert(offsetof(MGLRecord, cfy1) == 3152);
static_assert(offsetof(MGLRecord, cfz0) == 3156);
static_assert(offsetof(MGLRecord, cfz1) == 3160);
static_assert(offsetof(MGLRecord, ccx0) == 3164);
static_assert(offsetof(MGLRecord, ccx1) == 3168);
static_assert(offsetof(MGLRecord, ccy0) == 3172);
static_assert(offsetof(MGLRecord, ccy1) == 3176);
static_assert(offsetof(MGLRecord, ccz0) == 3180);
static_assert(offsetof(MGLRecord, ccz1) == 3184);
static_assert(offsetof(MGLRecord, spare3188) == 3188);
static_assert(offsetof(MGLRecord, matrixStack2d) == 3196);
static_assert(offsetof(MGLRecord, colorBuffer) == 3680);
static_assert(offsetof(MGLRecord, depthBuffer) == 3684);
static_assert(offsetof(MGLRecord, stencilBuffer) == 3688);
static_assert(offsetof(MGLRecord, drawColor) == 3692);
static_assert(offsetof(MGLRecord, clearColor) == 3708);
static_assert(offsetof(MGLRecord, clearStencil) == 3724);
static_assert(offsetof(MGLRecord, clearDepth) == 3728);
static_assert(offsetof(MGLRecord, positionFetcher) == 3732);
static_assert(offsetof(MGLRecord, indexFetcher) == 3764);
static_assert(offsetof(MGLRecord, attribFetcherCount) == 3796);
static_assert(offsetof(MGLRecord, attribFetchers) == 3800);
static_assert(offsetof(MGLRecord, spanCode) == 4120);
static_assert(offsetof(MGLRecord, spanCodeDirect) == 4124);
static_assert(offsetof(MGLRecord, numInterpolants) == 4128);
static_assert(offsetof(MGLRecord, numExtraInterpolants) == 4132);
static_assert(offsetof(MGLRecord, depthInterpolant) == 4136);
static_assert(offsetof(MGLRecord, depthScaledMask) == 4140);
static_assert(offsetof(MGLRecord, shaderKey28) == 4144);
static_assert(offsetof(MGLRecord, fillMode) == 4148);
static_assert(offsetof(MGLRecord, poly) == 4152);
static_assert(offsetof(MGLRecord, clipListA) == 4216);
static_assert(offsetof(MGLRecord, clipListB) == 4280);
static_assert(offsetof(MGLRecord, clipScratch) == 4344);
static_assert(offsetof(MGLRecord, textureStack) == 4408);
static_assert(offsetof(MGLRecord, auxStack) == 5452);
static_assert(offsetof(MGLRecord, modelviewStack) == 6496);
static_assert(offsetof(MGLRecord, interpreterStack) == 7540);
static_assert(offsetof(MGLRecord, bufferTable) == 9088);
static_assert(offsetof(MGLRecord, wireframe) == 9092);
static_assert(offsetof(MGLRecord, spare9096) == 9096);
static_assert(offsetof(MGLRecord, wholePolygons) == 9100);
static_assert(offsetof(MGLRecord, screenSpace) == 9101);
static_assert(offsetof(MGLRecord, clipStage) == 9104);
static_assert(offsetof(MGLRecord, fillStage) == 9108);
static_assert(offsetof(MGLRecord, spareStage9112) == 9112);
static_assert(offsetof(MGLRecord, projectStage) == 9116);
static_assert(offsetof(MGLRecord, spareStage9120) == 9120);
static_assert(offsetof(MGLRecord, vertexHook) == 9124);
static_assert(offsetof(MGLRecord, spare9128) == 9128);
static_assert(offsetof(MGLRecord, spareArea) == 9132);
static_assert(offsetof(MGLRecord, spare34736) == 34736);
static_assert(offsetof(MGLRecord, spare34740) == 34740);

#endif
