// The service getters the game application serves itself.

#include "AppServices.h"

#include "CFontMgr.h"
#include "CGameSettings.h"
#include "ServiceGetter.h"

namespace {

template <typename Service>
struct ConstructedService {
    static Service* Create() { return new Service(); }
};

}  // namespace

CGameSettings* GetGameSettings() { return FindOrCreateService<CGameSettings, ConstructedService<CGameSettings>>(); }

CFontMgr* GetFontMgr() { return FindOrCreateService<CFontMgr, ConstructedService<CFontMgr>>(); }
