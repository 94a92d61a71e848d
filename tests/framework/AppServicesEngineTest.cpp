#include <gtest/gtest.h>

#include "../graphics2d/OffScreenDevice.h"
#include "AppServices.h"
#include "CCrc32.h"
#include "CGameData.h"
#include "CGraphics2d_Lite.h"
#include "CRandGen.h"
#include "TestApplication.h"

namespace {

constexpr uint32_t k565 = 0x21302;

TEST(AppServicesEngine, NullWithoutAnApplication) {
    EXPECT_EQ(GetRandom(), nullptr);
    EXPECT_EQ(GetGameData(), nullptr);
    EXPECT_EQ(GetAppResourceManager(), nullptr);
    EXPECT_EQ(GetScreenWidth(), 0);
}

TEST(AppServicesEngine, CreatesOnceAndRegistersUnderTheClassKey) {
    TestApplication app;
    ASSERT_EQ(app.Init(), 0);
    CRandGen* random = GetRandom();
    ASSERT_NE(random, nullptr);
    EXPECT_EQ(GetRandom(), random);
    EXPECT_EQ(CSingleton::GetInstance(CRandGen::kClassKey), random);
    CCrc32* crc = GetCrc32();
    ASSERT_NE(crc, nullptr);
    EXPECT_EQ(crc->Compute("123456789", 9), 0xFC891918u);
    EXPECT_EQ(GetAppResourceManager(), app.GetResourceManager());
    app.Shutdown();
}

TEST(AppServicesEngine, ServesARegisteredServiceAndTheCurrentSurfaceSize) {
    TestApplication app;
    ASSERT_EQ(app.Init(), 0);
    auto* data = new CGameData();
    EXPECT_EQ(GetGameData(), data);
    auto* renderer = new CGraphics2d_Lite();
    EXPECT_EQ(GetGraphics2d(), renderer);
    OffScreenDevice device(24, 40, k565);
    ASSERT_TRUE(device.Open());
    EXPECT_EQ(GetGraphics(), &device);
    EXPECT_EQ(GetScreenWidth(), 24);
    EXPECT_EQ(GetScreenHeight(), 40);
    device.Close();
    EXPECT_EQ(GetScreenWidth(), 0);
    app.Shutdown();
}

}  // namespace
