// The engine's own readers accept everything the content compiler makes of
// the repository's content.

#include "BigArchiveWriter.h"
#include "CAggregateResource.h"
#include "CAppProperties.h"
#include "CArrayInputStream.h"
#include "CBinary.h"
#include "CGraphicFont.h"
#include "CKeyset.h"
#include "CMedia.h"
#include "CRenderSurface.h"
#include "CResourceAggregate.h"
#include "CResourceBinary.h"
#include "CResourceDIB.h"
#include "CResourceKeyset.h"
#include "CResourceManager_v1.h"
#include "CResourceMedia.h"
#include "CResourceRenderSurface.h"
#include "CResourceStrWChar.h"
#include "CStrWChar.h"
#include "CConfigReader.h"
#include "CDeviceConfig.h"
#include "CompiledContent.h"
#include "ContentArchive.h"
#include "ContentCompiler.h"
#include "ContentTypes.h"
#include "ContentValidator.h"
#include "FixedResources.h"
#include "LittleEndianReader.h"
#include "MountedArchive.h"
#include "TestApplication.h"
#include "SK_Home.h"
#include "Utf8.h"
#include "AppServices.h"
#include "AssertCounter.h"
#include "../graphics2d/OffScreenDevice.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

constexpr uint32_t k565 = 0x21302;

// The game's resource factory for every type word the compiler writes.
class ContentApplication : public TestApplication {
public:
    CResource* CreateResource(uint32_t typeKey) override {
        switch (typeKey) {
            case ContentTypes::kBinary:
                return new CResourceBinary();
            case ContentTypes::kKeyset:
                return new CResourceKeyset();
            case ContentTypes::kUtf8Text:
                return new CResourceStrWChar();
            case ContentTypes::kStringTable:
                return new CResourceAggregate();
            case ContentTypes::kRawPcm:
                return new CResourceMedia();
            case ContentTypes::kImageDescriptor:
                return new CResourceRenderSurface();
            case ContentTypes::kBitmap:
                return new CResourceDIB();
            default:
                return nullptr;
        }
    }
};

bool CompileRepositoryContent(CompiledContent& content, std::string& error) {
    ContentCompiler compiler;
    return compiler.Compile(MKCONTENT_SOURCE_DIR, content, error) && ContentValidator::Check(content, error);
}

std::u16string Decoded(const std::vector<uint8_t>& utf8) {
    std::vector<WChar> units(utf8.size() + 1);
    const int32_t length = Utf8ToWide(utf8.data(), static_cast<uint32_t>(utf8.size()), units.data(),
                                      static_cast<uint32_t>(units.size()));
    return std::u16string(units.data(), static_cast<size_t>(length));
}

class MkContentEngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(CompileRepositoryContent(m_content, error)) << error;
        ASSERT_EQ(m_app.Init(), 0);
        m_device = new OffScreenDevice(16, 8, k565);
        ASSERT_TRUE(m_device->Open());
        BigArchiveWriter writer(IdTableForm::List);
        ASSERT_TRUE(ContentArchive::Fill(m_content, true, writer, error)) << error;
        ASSERT_TRUE(m_archive.Mount(&m_app, writer, "mkcontent", 500, 33, &error)) << error;
    }

    void TearDown() override {
        m_archive.Unmount();
        if (m_device != nullptr) m_device->Close();
        delete m_device;
    }

    CResource* Create(uint32_t handle) {
        CResource* resource = nullptr;
        const int32_t created = m_archive.Manager()->CreateByHandle(handle, &resource);
        return created == CResourceManager::kFailed ? nullptr : resource;
    }

    const ContentEntry& Source(uint32_t handle) const {
        const ContentEntry* entry = m_content.Find(ContentHandles::ArchiveId(handle));
        EXPECT_NE(entry, nullptr) << std::hex << handle;
        return *entry;
    }

    // The width and height stored in the bitmap behind an image descriptor.
    void SourceImageSize(uint32_t handle, uint32_t& width, uint32_t& height) const {
        const ContentEntry& descriptor = Source(handle);
        LittleEndianReader pairs(descriptor.payload.data() + descriptor.payload.size() - 4, 4);
        const ContentEntry* bitmap = m_content.Find(pairs.U32());
        ASSERT_NE(bitmap, nullptr);
        LittleEndianReader header(bitmap->payload.data() + 18, 8);
        width = header.U32();
        height = header.U32();
    }

    void ExpectLoads(const FixedResources::Resource& resource) {
        CResource* created = Create(resource.handle);
        ASSERT_NE(created, nullptr) << resource.role;
        switch (resource.kind) {
            case FixedResources::Kind::Image: {
                auto* image = dynamic_cast<CResourceRenderSurface*>(created);
                ASSERT_NE(image, nullptr) << resource.role;
                ASSERT_NE(image->GetSurface(), nullptr) << resource.role;
                uint32_t width = 0;
                uint32_t height = 0;
                uint32_t expectedWidth = 1;
                uint32_t expectedHeight = 1;
                SourceImageSize(resource.handle, expectedWidth, expectedHeight);
                ASSERT_TRUE(image->GetSurface()->GetSize(&width, &height));
                EXPECT_EQ(width, expectedWidth) << resource.role;
                EXPECT_EQ(height, expectedHeight) << resource.role;
                break;
            }
            case FixedResources::Kind::Binary: {
                auto* binary = dynamic_cast<CResourceBinary*>(created);
                ASSERT_NE(binary, nullptr) << resource.role;
                EXPECT_GT(binary->GetBinary()->GetSize(), 0u) << resource.role;
                break;
            }
            case FixedResources::Kind::Keyset: {
                auto* keyset = dynamic_cast<CResourceKeyset*>(created);
                ASSERT_NE(keyset, nullptr) << resource.role;
                EXPECT_EQ(2 + 4 * keyset->GetKeyset()->GetCount(), Source(resource.handle).payload.size());
                break;
            }
            case FixedResources::Kind::Sound: {
                auto* sound = dynamic_cast<CResourceMedia*>(created);
                ASSERT_NE(sound, nullptr) << resource.role;
                EXPECT_EQ(sound->GetMedia()->GetSize(), Source(resource.handle).payload.size()) << resource.role;
                EXPECT_EQ(sound->GetMedia()->GetTypeKey(), CMedia::kRawPcmType);
                break;
            }
            case FixedResources::Kind::Text:
                break;
        }
    }

    CompiledContent m_content;
    ContentApplication m_app;
    OffScreenDevice* m_device = nullptr;
    MountedArchive m_archive;
};

TEST_F(MkContentEngineTest, EveryFixedResourceIsCreatedWithItsClass) {
    std::map<FixedResources::Kind, int> checked;
    for (const FixedResources::Resource& resource : FixedResources::All()) {
        if (resource.kind == FixedResources::Kind::Text) continue;
        if (resource.levelData && m_content.Find(ContentHandles::ArchiveId(resource.handle)) == nullptr) continue;
        if (ContentHandles::ArchiveId(resource.handle) == ContentHandles::kDirectoryId) continue;
        ExpectLoads(resource);
        ++checked[resource.kind];
    }
    EXPECT_EQ(checked[FixedResources::Kind::Image], 44);
    EXPECT_EQ(checked[FixedResources::Kind::Sound], 11);
}

TEST_F(MkContentEngineTest, StringTableZeroHoldsEveryFixedText) {
    CResourceManager_v1* manager = m_archive.Manager();
    ASSERT_EQ(manager->GetStringTableCount(), 1);
    ASSERT_TRUE(manager->SelectStringTable(0));
    for (const FixedResources::Resource& resource : FixedResources::All()) {
        if (resource.kind != FixedResources::Kind::Text) continue;
        auto* text = dynamic_cast<CResourceStrWChar*>(Create(resource.handle));
        ASSERT_NE(text, nullptr) << resource.role;
        const CStrWChar* string = text->GetStrWChar();
        ASSERT_GT(string->GetLength(), 0) << resource.role;
        std::u16string expected;
        for (const ContentEntry& source : m_content.tables[0].texts) {
            if (source.handle == resource.handle) expected = Decoded(source.payload);
        }
        EXPECT_EQ(std::u16string(string->GetBuffer(), static_cast<size_t>(string->GetLength())), expected)
            << resource.role;
    }
}

TEST_F(MkContentEngineTest, FontDataLoadsAndCoversPrintableAscii) {
    auto* data = dynamic_cast<CResourceBinary*>(Create(0x03000286));
    auto* atlas = dynamic_cast<CResourceRenderSurface*>(Create(0x0000023F));
    ASSERT_NE(data, nullptr);
    ASSERT_NE(atlas, nullptr);
    CGraphicFont font;
    font.SetImage(atlas->GetSurface());
    ASSERT_TRUE(font.LoadFontData(data->GetBinary()->GetData(), data->GetBinary()->GetSize()));
    EXPECT_EQ(font.GetHeight(), 9);
    uint32_t atlasWidth = 0;
    uint32_t atlasHeight = 0;
    ASSERT_TRUE(atlas->GetSurface()->GetSize(&atlasWidth, &atlasHeight));
    for (WChar c = 0x20; c < 0x7F; ++c) {
        EXPECT_GT(font.GetCharWidth(c), 0) << static_cast<char>(c);
        if (c == ' ') continue;
        const CGraphicFont::Glyph* glyph = font.FindGlyph(c);
        ASSERT_NE(glyph, nullptr) << static_cast<char>(c);
        EXPECT_LE(static_cast<uint32_t>(glyph->x + glyph->width), atlasWidth);
        EXPECT_LE(static_cast<uint32_t>(glyph->y + glyph->height), atlasHeight);
    }
    EXPECT_EQ(font.GetStringWidth(u"AB", -1, -1, nullptr), 2 * font.GetCharWidth(u'A') + font.GetSpacing());
}

TEST_F(MkContentEngineTest, PropertiesFallbackReadsAsTheConfigurationFile) {
    auto* stored = dynamic_cast<CResourceBinary*>(Create(0x030001B7));
    ASSERT_NE(stored, nullptr);
    CArrayInputStream stream;
    ASSERT_TRUE(stream.Open(stored->GetBinary()->GetData(), stored->GetBinary()->GetSize()));
    CAppProperties properties;
    properties.Load(stream);
    ASSERT_NE(properties.GetString("Kiv-Game"), nullptr);
    EXPECT_STREQ(properties.GetString("Kiv-Game"), "mchvx2");
    EXPECT_FALSE(properties.GetBool("Kiv-Cheats-Enable"));
    EXPECT_FALSE(properties.GetBool("Kiv-Test-Localisation"));
}

TEST_F(MkContentEngineTest, SpriteHomeLoadsEverySetAndPreparesEverySprite) {
    AssertCounter asserts;
    SK_Home* home = GetSpriteHome();
    ASSERT_NE(home, nullptr);
    home->Load();
    ASSERT_TRUE(home->IsLoaded());
    ASSERT_EQ(home->GetSetCount(), 57);
    for (uint8_t set = 0; set < home->GetSetCount(); ++set) {
        ASSERT_TRUE(home->LoadSpriteSet(set)) << int(set);
        EXPECT_TRUE(home->IsAnimationIndexValid(set, 39)) << int(set);
        for (uint8_t sprite = 0; home->IsSpriteIndexValid(set, sprite); ++sprite) {
            home->RequestSprite(set, sprite);
            bool allOk = true;
            while (home->GetQueueProgress() != 0) {
                bool ok = false;
                home->UpdatePreparation(1000, &ok);
                allOk = allOk && ok;
            }
            EXPECT_TRUE(allOk && home->IsSpritePrepared(set, sprite)) << int(set) << "/" << int(sprite);
        }
    }
    EXPECT_TRUE(home->IsSpriteIndexValid(12, 1));
    home->ReleaseAll();
    home->Unload();
    EXPECT_EQ(asserts.Count(), 0);
}

TEST(MkContentBuild, TheGameReadsTheConfigurationFilesAsWritten) {
    CompiledContent content;
    std::string error;
    ASSERT_TRUE(CompileRepositoryContent(content, error)) << error;
    CDeviceConfig config;
    for (const ConfigFile& file : content.configs) {
        CConfigReader reader(file.bytes.data(), static_cast<uint32_t>(file.bytes.size()));
        if (file.name == "device.conf") config.ParseDevice(reader);
        if (file.name == "softkey.conf") config.ParseSoftkeys(reader);
    }
    EXPECT_TRUE(config.ExitsOnClamshell());
    EXPECT_TRUE(config.UsesGXDisplay());
    EXPECT_EQ(config.GetTickDelay(), CDeviceConfig::kTickDelayDefault);
    EXPECT_EQ(config.GetForcedBackgroundLevel(), CDeviceConfig::kBackgroundLevelNotForced);
    // The game is laid out once, upright: turned sideways it waits behind
    // the orientation message.
    EXPECT_EQ(config.GetOrientationSupport(), CDeviceConfig::kPortraitOnly);
    EXPECT_NE(config.GetText(CDeviceConfig::kOrientationMessage), nullptr);
    int32_t remaps = -1;
    config.GetRemapTable(&remaps);
    EXPECT_EQ(remaps, 0);
    ASSERT_NE(config.GetText(CDeviceConfig::kVersion), nullptr);
    EXPECT_EQ(std::u16string(config.GetText(CDeviceConfig::kVersion)), u"9.1.0");
    EXPECT_EQ(config.GetText(CDeviceConfig::kControlText), nullptr);
    for (int32_t key = 0; key < CDeviceConfig::kSoftkeyCount; ++key) {
        EXPECT_EQ(config.GetSoftkeyX(static_cast<CDeviceConfig::Softkey>(key)), CDeviceConfig::kSoftkeyNotGiven);
    }
}

TEST(MkContentBuild, TheSameSourcesGiveTheSameBytes) {
    std::vector<uint8_t> builds[2];
    for (std::vector<uint8_t>& bytes : builds) {
        CompiledContent content;
        std::string error;
        ASSERT_TRUE(CompileRepositoryContent(content, error)) << error;
        BigArchiveWriter writer(IdTableForm::List);
        ASSERT_TRUE(ContentArchive::Fill(content, true, writer, error)) << error;
        ASSERT_TRUE(writer.Build(bytes, error)) << error;
    }
    ASSERT_GT(builds[0].size(), 1000u);
    EXPECT_TRUE(builds[0] == builds[1]);
}

}  // namespace
