#include "CRenderSurfaceLoadParams.h"

void CRenderSurfaceLoadParams::Init() {
    colorKeyPresent = 0;
    swapAxes = 0;
    mirrorX = 0;
    mirrorY = 0;
    stream = nullptr;
    type = 0;
    colorKey = 0;
    for (FormatPair& pair : formatMap) pair = {0, 0};
}

uint32_t CRenderSurfaceLoadParams::MapFormat(uint32_t source) const {
    for (const FormatPair& pair : formatMap) {
        if (pair.source == source) return pair.destination;
    }
    return 0;
}
