#include "CFont.h"

int32_t CFont::GetCharType(WChar c) {
    switch (c) {
        case 0:
            return kCharEnd;
        case 32:
            return kCharSpace;
        case 9:
            return kCharTab;
        case 10:
            return kCharNewline;
        default:
            return kCharOther;
    }
}
