#include "AppServices.h"
#include "SK_Home.h"
#include "ServiceGetter.h"

namespace {

struct SpriteHomeService {
    static SK_Home* Create() { return new SK_Home(); }
};

}  // namespace

SK_Home* GetSpriteHome() {
    return FindOrCreateService<SK_Home, SpriteHomeService>();
}
