// The readers of the definition and the sprite sets, through the real
// resource manager and archive, and their refusal of bad data.

#include "BigArchiveWriter.h"
#include "CColor.h"
#include "CResourceManager_v1.h"
#include "CResourceStream.h"
#include "SpriteDataWriter.h"
#include "SpriteFixture.h"

using namespace spritedata;

namespace spritetest {
namespace {

class SpriteDataTest : public SpriteTest {
protected:
    // Mounts the key set, and the definition and set 0 as the bytes given.
    void MountRaw(const std::vector<uint8_t>& definition, const std::vector<uint8_t>& set) {
        BigArchiveWriter writer(IdTableForm::List);
        std::string error;
        ASSERT_TRUE(SpriteDataWriter::AddEmptyDirectory(writer, &error));
        ASSERT_TRUE(writer.AddPayload(0x10E, SpriteDataWriter::kKeysetType, SpriteDataWriter::EncodeKeyset(Ids()),
                                      false, 4, error));
        ASSERT_TRUE(writer.AddPayload(Ids().definition & 0x7FFF, SpriteDataWriter::kBinaryType, definition, false,
                                      4, error));
        ASSERT_TRUE(writer.AddPayload(Ids().setBase & 0x7FFF, SpriteDataWriter::kBinaryType, set, false, 4, error));
        ASSERT_TRUE(m_archive.Mount(&m_app, writer, "raw", 20, 8, &error)) << error;
    }
};

TEST_P(SpriteDataTest, DefinitionTablesRoundTrip) {
    LoadStandard();
    SK_Home* home = Home();
    EXPECT_EQ(home->GetDefinitionId(), Ids().definition);
    EXPECT_EQ(home->GetSetBaseId(), Ids().setBase);
    EXPECT_EQ(home->GetImageBaseId(), Ids().imageBase);
    EXPECT_EQ(home->GetBlockCount(), 1);
    EXPECT_EQ(home->GetBlock(0)->bytes.Count(), 1024u);
    EXPECT_EQ(home->GetBlock(0)->palette[1], 0x003050F8u);
    EXPECT_EQ(home->GetReserved(), 0x1234);
    ASSERT_EQ(home->GetSlotCount(), 2);
    EXPECT_EQ(home->GetSlot(1)->imageIndex, 1);
    EXPECT_EQ(home->GetSlot(1)->blockIndex, 0);
    EXPECT_EQ(home->GetSlot(0)->blockIndex, SK_kNone);
    EXPECT_EQ(home->GetImageModuleCount(), 9);
    EXPECT_EQ(home->GetRectModuleCount(), 4);
    EXPECT_EQ(home->GetModuleCount(), 13);
    EXPECT_EQ(home->GetImageModule(5)->variant, 5);
    EXPECT_EQ(home->GetImageModule(8)->attribute, 1);
    EXPECT_EQ(home->GetSetCount(), 3);
    EXPECT_EQ(home->GetMapCount(), 2);
    const SK_ModuleMap* map = home->GetModuleMap(0);
    ASSERT_EQ(map->entries.Count(), 2u);
    EXPECT_EQ(map->entries[1].module, kRectFilled);
    EXPECT_EQ(map->entries[1].replacement, 8);
    EXPECT_EQ(map->entries[1].mode, static_cast<uint32_t>(SK_kMapOverlay));
    EXPECT_EQ(map->entries[0].dy, 1);
}

TEST_P(SpriteDataTest, ModuleNumbersRunOverImagesThenRectangles) {
    LoadStandard();
    SK_Home* home = Home();
    EXPECT_TRUE(home->IsImageModule(8));
    EXPECT_TRUE(home->IsRectModule(9));
    EXPECT_TRUE(home->IsFilledRectModule(kRectFilled));
    EXPECT_FALSE(home->IsBoxModule(kRectFilled));
    EXPECT_TRUE(home->IsBoxModule(kRectBody));
    EXPECT_FALSE(home->IsBoxModule(0));
    EXPECT_EQ(home->GetModuleAttribute(kRectBody), 1);
    EXPECT_EQ(home->GetModuleAttribute(kRectHalfRed), 4);
    EXPECT_EQ(home->GetRectModule(kRectHalfRed)->colour, static_cast<int32_t>(kHalfRedArgb));
    int32_t w = 0;
    int32_t h = 0;
    EXPECT_TRUE(home->GetModuleSize(kRectBody, &w, &h));
    EXPECT_EQ(w, 5);
    EXPECT_EQ(h, 6);
}

TEST_P(SpriteDataTest, SetRecordsRoundTrip) {
    LoadStandard();
    SK_Home* home = Home();
    EXPECT_FALSE(home->IsSetLoaded(0));
    ASSERT_TRUE(home->LoadSpriteSet(0));
    const SK_SpriteSet* set = home->GetSpriteSet(0);
    ASSERT_EQ(set->frames.Count(), 3u);
    EXPECT_EQ(set->frames[0].parts.Count(), 4u);
    EXPECT_EQ(set->frames[0].parts[3].module, 8);
    EXPECT_EQ(set->frames[0].parts[0].dx, -6);
    EXPECT_EQ(set->frames[0].parts[0].dy, -5);
    EXPECT_EQ(set->frames[2].parts.Count(), 0u);
    ASSERT_EQ(set->poses.Count(), 3u);
    EXPECT_EQ(set->poses[1].entries[0].frame, 1);
    EXPECT_EQ(set->poses[1].entries[0].dx, 2);
    ASSERT_EQ(set->animations.Count(), 4u);
    EXPECT_EQ(set->animations[1].transformMask, 0x05);
    // Stored in 10 ms units and kept in 16 bits: 6554 wraps to 4 ms.
    EXPECT_EQ(set->animations[0].durations[0], 100);
    EXPECT_EQ(set->animations[0].durations[1], 200);
    EXPECT_EQ(set->animations[0].poseIndices[1], 1);
    EXPECT_EQ(set->animations[1].durations[0], 4);
    ASSERT_EQ(set->sprites.Count(), 3u);
    // Nine image modules: two bytes, bit 8 the first bit of the second byte.
    const SK_BitSet& bits = set->sprites[0].usedImageModules;
    EXPECT_EQ(bits.GetByteCount(), 2);
    EXPECT_EQ(bits.GetBitCount(), 9);
    EXPECT_EQ(bits.GetSetCount(), 3);
    EXPECT_TRUE(bits.Get(0) && bits.Get(5) && bits.Get(8));
    EXPECT_FALSE(bits.Get(1));
    EXPECT_EQ(set->sprites[0].moduleMapIndex, SK_kNone);
    EXPECT_EQ(set->sprites[1].moduleMapIndex, 0);
    EXPECT_EQ(set->sprites[1].prepared, 0);
    EXPECT_TRUE(home->IsAnimationIndexValid(0, 3));
    EXPECT_FALSE(home->IsAnimationIndexValid(0, 4));
    EXPECT_TRUE(home->IsSpriteIndexValid(0, 1));
    EXPECT_FALSE(home->IsSpriteIndexValid(0, 3));
    home->UnloadSpriteSet(0);
    EXPECT_FALSE(home->IsSetLoaded(0));
}

TEST_P(SpriteDataTest, AMissingSetStaysUnloaded) {
    LoadStandard();
    EXPECT_FALSE(Home()->LoadSpriteSet(2));
    EXPECT_FALSE(Home()->IsSetLoaded(2));
    EXPECT_TRUE(m_asserts.Logged("sprite set 2 is missing"));
}

TEST_P(SpriteDataTest, WithoutKeySetOrDefinitionTheModuleStaysUnloaded) {
    BigArchiveWriter writer(IdTableForm::List);
    std::string error;
    std::vector<uint8_t> definition;
    ASSERT_TRUE(SpriteDataWriter::EncodeDefinition(StandardDefinition(), &definition, &error));
    ASSERT_TRUE(SpriteDataWriter::AddEmptyDirectory(writer, &error));
    ASSERT_TRUE(writer.AddPayload(Ids().definition & 0x7FFF, SpriteDataWriter::kBinaryType, definition, false, 4,
                                  error));
    std::string mountError;
    ASSERT_TRUE(m_archive.Mount(&m_app, writer, "nokeys", 20, 8, &mountError)) << mountError;
    Home()->Load();
    EXPECT_FALSE(Home()->IsLoaded());
    EXPECT_TRUE(m_asserts.Logged("key set"));
    m_archive.Unmount();

    BigArchiveWriter keysOnly(IdTableForm::List);
    ASSERT_TRUE(SpriteDataWriter::AddEmptyDirectory(keysOnly, &error));
    ASSERT_TRUE(keysOnly.AddPayload(0x10E, SpriteDataWriter::kKeysetType, SpriteDataWriter::EncodeKeyset(Ids()),
                                    false, 4, error));
    ASSERT_TRUE(m_archive.Mount(&m_app, keysOnly, "nodefinition", 20, 8, &mountError)) << mountError;
    Home()->Load();
    EXPECT_FALSE(Home()->IsLoaded());
    EXPECT_TRUE(m_asserts.Logged("definition 0x05000110 is missing"));
    EXPECT_FALSE(Home()->IsSetIndexValid(0));
}

// Loaded is a state of its own: a definition of no sets still loads.
TEST_P(SpriteDataTest, ADefinitionWithoutSetsLoads) {
    Definition definition = StandardDefinition();
    definition.setCount = 0;
    MountAndLoad(definition, {}, StandardImages());
    EXPECT_EQ(Home()->GetSetCount(), 0);
    EXPECT_FALSE(Home()->IsSetIndexValid(0));
    Home()->Unload();
    EXPECT_FALSE(Home()->IsLoaded());
    Home()->Load();
    EXPECT_TRUE(Home()->IsLoaded());
}

// A definition or set cut short is refused, saying which table did not fit.
TEST_P(SpriteDataTest, TruncatedDataIsRefused) {
    std::string error;
    std::vector<uint8_t> definition;
    ASSERT_TRUE(SpriteDataWriter::EncodeDefinition(StandardDefinition(), &definition, &error));
    std::vector<uint8_t> set;
    ASSERT_TRUE(SpriteDataWriter::EncodeSet(StandardSets()[0], 9, &set, &error));
    // Cut the set inside its poses.
    set.resize(60);
    MountRaw(definition, set);
    Home()->Load();
    ASSERT_TRUE(Home()->IsLoaded());
    EXPECT_FALSE(Home()->LoadSpriteSet(0));
    EXPECT_FALSE(Home()->IsSetLoaded(0));
    EXPECT_TRUE(m_asserts.Logged("2 pose entries cannot fit in the 9 bytes left"));
    EXPECT_TRUE(m_asserts.Logged("sprite set 0 is not loaded"));
    delete Home();
    m_archive.Unmount();

    // Cut the definition inside its rectangle modules.
    definition.resize(definition.size() - 60);
    m_asserts.Reset();
    MountRaw(definition, set);
    Home()->Load();
    EXPECT_FALSE(Home()->IsLoaded());
    EXPECT_FALSE(Home()->IsSetIndexValid(0));
    EXPECT_TRUE(m_asserts.Logged("4 rectangle modules cannot fit in the 9 bytes left"));
    EXPECT_TRUE(m_asserts.Logged("the sprite definition is not loaded"));
}

// Huge counts in a few bytes: a count the bytes left cannot hold is
// refused before anything is allocated, and reading stops where the bytes
// do, so a short set is refused after a handful of failed reads at most,
// not one per counted field, and with one line saying why.
struct ShortSetCase {
    const char* name;
    std::vector<uint8_t> set;
    const char* reason;
};

const ShortSetCase kShortSetCases[] = {
    {"frames", {0xFF, 0xFF, 0x01}, "65535 frames cannot fit in the 1 bytes left"},
    {"frame parts", {0x01, 0x00, 0xFF, 0x01, 0x00, 0x02, 0x00}, "255 frame parts cannot fit in the 4 bytes left"},
    {"poses", {0x00, 0x00, 0xFF, 0xFF, 0x00}, "65535 poses cannot fit in the 1 bytes left"},
    {"animation frames", {0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x0A, 0x00},
     "255 animation frames cannot fit in the 4 bytes left"},
    {"sprites", {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xFF, 0x21, 0x01, 0xFF}, "255 sprites cannot fit"},
    {"frames cut short", {0x02, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}, "sprite set 0 ends early; not loaded"},
    {"animations cut short", {0x00, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x01, 0x00, 0x00, 0x0A, 0x00},
     "sprite set 0 ends early; not loaded"},
};

TEST_P(SpriteDataTest, AShortSetIsRefusedAtOnce) {
    constexpr int kFewFailedReads = 3;
    std::string error;
    std::vector<uint8_t> definition;
    ASSERT_TRUE(SpriteDataWriter::EncodeDefinition(StandardDefinition(), &definition, &error));
    for (const ShortSetCase& c : kShortSetCases) {
        SCOPED_TRACE(c.name);
        MountRaw(definition, c.set);
        Home()->Load();
        ASSERT_TRUE(Home()->IsLoaded());
        m_asserts.Reset();
        EXPECT_FALSE(Home()->LoadSpriteSet(0));
        EXPECT_FALSE(Home()->IsSetLoaded(0));
        EXPECT_LE(m_asserts.Count(), kFewFailedReads);
        EXPECT_TRUE(m_asserts.Logged(c.reason));
        int setLines = 0;
        for (const std::string& line : m_asserts.DebugLines()) {
            if (line.find("sprite set 0") != std::string::npos) ++setLines;
        }
        EXPECT_EQ(setLines, 1);
        delete Home();
        m_archive.Unmount();
    }
}

// Every index of the data is checked as it is read; a definition or set
// holding a bad one stays unloaded and says why.
struct BadIndexCase {
    const char* name;
    void (*breakIt)(Definition& definition, SpriteSet& set);
    bool definitionRefused;
    const char* logged;
};

const BadIndexCase kBadIndexCases[] = {
    {"slot of an image module", [](Definition& d, SpriteSet&) { d.imageModules[3].slotIndex = 2; }, true,
     "image module 3 names 2"},
    {"variant", [](Definition& d, SpriteSet&) { d.imageModules[3].variant = 8; }, true, "variant"},
    {"block of a slot", [](Definition& d, SpriteSet&) { d.slots[1].blockIndex = 1; }, true, "image slot 1"},
    {"negative block", [](Definition& d, SpriteSet&) { d.slots[0].blockIndex = -2; }, true, "image slot 0"},
    {"map module", [](Definition& d, SpriteSet&) { d.maps[1][0].module = 13; }, true, "module map 1"},
    {"map replacement", [](Definition& d, SpriteSet&) { d.maps[0][0].replacement = 200; }, true, "module map 0"},
    {"part module", [](Definition&, SpriteSet& s) { s.frames[1][0].module = 13; }, false, "frame 1 names 13"},
    {"pose frame", [](Definition&, SpriteSet& s) { s.poses[2][0].frame = 3; }, false, "pose 2 names 3"},
    {"animation pose", [](Definition&, SpriteSet& s) { s.animations[1].frames[0].pose = 3; }, false,
     "animation 1 names 3"},
    {"empty animation", [](Definition&, SpriteSet& s) { s.animations[2].frames.clear(); }, false, "frame count"},
    {"animation too long", [](Definition&, SpriteSet& s) { s.animations[0].frames = {{0, 6000}, {1, 600}}; },
     false, "total milliseconds"},
    {"sprite map", [](Definition&, SpriteSet& s) { s.sprites[1].moduleMapIndex = 2; }, false, "sprite 1 names 2"},
    {"negative sprite map", [](Definition&, SpriteSet& s) { s.sprites[0].moduleMapIndex = -128; }, false,
     "sprite 0 names 128"},
};

TEST_P(SpriteDataTest, ABadIndexKeepsItsDataUnloaded) {
    for (const BadIndexCase& c : kBadIndexCases) {
        SCOPED_TRACE(c.name);
        Definition definition = StandardDefinition();
        std::vector<SpriteSet> sets = StandardSets();
        c.breakIt(definition, sets[0]);
        m_asserts.Reset();
        Mount(definition, sets, StandardImages());
        Home()->Load();
        EXPECT_EQ(Home()->IsLoaded(), !c.definitionRefused);
        if (!c.definitionRefused) {
            EXPECT_FALSE(Home()->LoadSpriteSet(0));
            EXPECT_FALSE(Home()->IsSetLoaded(0));
            EXPECT_FALSE(Prepare(0, 0));
            EXPECT_TRUE(Home()->LoadSpriteSet(1));
        }
        EXPECT_TRUE(m_asserts.Logged(c.logged));
        delete Home();
        m_archive.Unmount();
    }
}

TEST_P(SpriteDataTest, ResourceStreamGivesItsResourceBackOnce) {
    LoadStandard();
    CResourceManager* manager = m_archive.Manager();
    {
        CResourceStream stream(Ids().setBase + 1);
        ASSERT_FALSE(stream.HasError());
        EXPECT_EQ(stream.ReadUInt16(), 1);
        CResource* resource = nullptr;
        EXPECT_TRUE(manager->GetResource(Ids().setBase + 1, &resource));
        stream.ReleaseResource();
        stream.ReleaseResource();
        EXPECT_FALSE(manager->GetResource(Ids().setBase + 1, &resource));
        EXPECT_EQ(stream.ReadUInt16(), 0);
    }
    {
        // A reader that forgets to give it back: the stream does on leaving.
        CResourceStream stream(Ids().setBase);
        EXPECT_FALSE(stream.HasError());
    }
    CResource* resource = nullptr;
    EXPECT_FALSE(manager->GetResource(Ids().setBase, &resource));
    CResourceStream missing(Ids().setBase + 2);
    EXPECT_TRUE(missing.HasError());
    EXPECT_EQ(missing.ReadUInt32(), 0u);
}

TEST_P(SpriteDataTest, ResourceStreamReadsBigEndianCountedText) {
    BigArchiveWriter writer(IdTableForm::List);
    std::string error;
    ASSERT_TRUE(SpriteDataWriter::AddEmptyDirectory(writer, &error));
    ASSERT_TRUE(writer.AddPayload(0x300, SpriteDataWriter::kBinaryType, {0, 3, 'a', 'b', 'c', 0x34, 0x12}, false, 4,
                                  error));
    ASSERT_TRUE(m_archive.Mount(&m_app, writer, "text", 20, 8, &error)) << error;
    CResourceStream stream(0x05000300);
    char* text = nullptr;
    stream.ReadString(&text);
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text, "abc");
    MemFree(text);
    EXPECT_FALSE(stream.GetSwapBytes());
    EXPECT_EQ(stream.ReadUInt16(), 0x1234);
    stream.ReleaseResource();
}

TEST(SpriteBitSet, CountsTheBitsItHolds) {
    SK_BitSet bits;
    ASSERT_TRUE(bits.Init(12));
    EXPECT_EQ(bits.GetByteCount(), 2);
    bits.Set(11, true);
    bits.Set(11, true);
    bits.Set(0, true);
    EXPECT_EQ(bits.GetSetCount(), 2);
    EXPECT_EQ(bits.GetClearCount(), 10);
    bits.Set(0, false);
    bits.Set(0, false);
    EXPECT_EQ(bits.GetSetCount(), 1);
    EXPECT_TRUE(bits.Get(11));
    EXPECT_FALSE(bits.Get(12));
}

INSTANTIATE_TEST_SUITE_P(Formats, SpriteDataTest, ::testing::Values(RSBFormat_R5G6B5), FormatName);

}  // namespace
}  // namespace spritetest
