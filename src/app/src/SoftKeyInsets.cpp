#include "SoftKeyInsets.h"

#include "CDeviceConfig.h"
#include "CGameApp.h"

namespace {

int32_t InsetOf(const CDeviceConfig& config, CDeviceConfig::Softkey key) {
    const int32_t value = config.GetSoftkeyX(key);
    return value >= 0 ? value : 0;
}

}  // namespace

SoftKeyInsets SoftKeyInsets::Of(uint32_t width, uint32_t height, const CDeviceConfig* config) {
    SoftKeyInsets insets;
    if (config == nullptr) return insets;
    if (height > width) {
        insets.left = InsetOf(*config, CDeviceConfig::kLeftPortrait);
        insets.right = InsetOf(*config, CDeviceConfig::kRightPortrait);
    } else if (width > height) {
        insets.left = InsetOf(*config, CDeviceConfig::kLeftLandscape);
        insets.right = InsetOf(*config, CDeviceConfig::kRightLandscape);
    }
    return insets;
}

SoftKeyInsets SoftKeyInsets::OfApp(uint32_t width, uint32_t height) {
    const CGameApp* app = GetGameApp();
    return Of(width, height, app != nullptr ? &app->GetDeviceConfig() : nullptr);
}
