// Behaviours whose routines are not written yet: each does nothing, so the
// dispatcher links while they are built. Delete an entry when its routine
// is written in its own file.
#include "CActor.h"

void CActor::UpdatePlayerFormA(int32_t) {}
void CActor::UpdatePlayerFormB(int32_t) {}
void CActor::UpdateType9(int32_t) {}
void CActor::UpdateType14(int32_t) {}
void CActor::UpdateType17(int32_t) {}
void CActor::UpdateType19(int32_t) {}
void CActor::UpdateType22(int32_t) {}
void CActor::UpdateType24(int32_t) {}
void CActor::UpdateType25(int32_t) {}
void CActor::UpdateType27(int32_t) {}
void CActor::UpdateType28(int32_t) {}
void CActor::UpdateType30(int32_t) {}
void CActor::UpdateType38(int32_t) {}
void CActor::UpdateType39(int32_t) {}
void CActor::UpdateType40(int32_t) {}
void CActor::UpdateType42(int32_t) {}
void CActor::UpdateType43(int32_t) {}
void CActor::UpdateType44(int32_t) {}
void CActor::UpdateType45(int32_t) {}
void CActor::UpdateType46(int32_t) {}
void CActor::UpdateType48(int32_t) {}
void CActor::UpdateType49(int32_t) {}
void CActor::UpdateType52(int32_t) {}
void CActor::UpdateType53(int32_t) {}
void CActor::UpdateType57(int32_t) {}
void CActor::UpdateType64(int32_t) {}
void CActor::UpdateType68(int32_t) {}
