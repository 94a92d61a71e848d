#include "CGameSettings.h"

uint8_t IsCheatsEnabled(const CGameSettings* settings) { return settings != nullptr ? settings->cheatsEnabled : 0; }
