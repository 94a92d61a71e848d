#include "ArchiveEntryCodec.h"
#include "BigArchiveWriter.h"
#include "CArrayInputStream.h"
#include "CBigFileReader.h"
#include "CBinary.h"
#include "CResourceAggregate.h"
#include "CResourceBinary.h"
#include "CResourceManager_v1.h"
#include "CResourceStrWChar.h"
#include "CStrWChar.h"
#include "HostPath.h"
#include "ResourcePackWriter.h"

#include "AssertCounter.h"
#include "TestApplication.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr uint32_t kBinaryType = 0x374F8659;
constexpr uint32_t kTextType = 0x43735EB4;
constexpr uint32_t kPackType = 0x521B2402;
constexpr uint32_t kUnknownType = 0xDEADBEEF;

// Maps the type keys these tests use to resource classes, as the game's
// factory does for all of them.
class ResourceApplication : public TestApplication {
public:
    CResource* CreateResource(uint32_t typeKey) override {
        switch (typeKey) {
            case kBinaryType:
                return new CResourceBinary();
            case kTextType:
                return new CResourceStrWChar();
            case kPackType:
                return new CResourceAggregate();
            default:
                return nullptr;
        }
    }
};

void PutWord(std::vector<uint8_t>& out, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

std::vector<uint8_t> Utf16Bytes(const std::u16string& text) {
    std::vector<uint8_t> bytes;
    for (char16_t unit : text) {
        bytes.push_back(static_cast<uint8_t>(unit));
        bytes.push_back(static_cast<uint8_t>(unit >> 8));
    }
    return bytes;
}

// Meta table {5, 0x06010000 alias}, one string table (entry 10, a pack of
// texts) with two attribute bytes and the name "English", and one pack
// (entry 11, pack number 11).
std::vector<uint8_t> Directory(uint32_t metaCountOverride = 0) {
    std::vector<uint8_t> bytes;
    PutWord(bytes, metaCountOverride != 0 ? metaCountOverride : 1);
    PutWord(bytes, 5);
    PutWord(bytes, 1);  // tables
    PutWord(bytes, 2);  // attribute bytes
    PutWord(bytes, 8);  // name bytes
    PutWord(bytes, 10);
    bytes.push_back(0xA1);
    bytes.push_back(0xB2);
    for (char c : std::string("English\0", 8)) bytes.push_back(static_cast<uint8_t>(c));
    PutWord(bytes, 1);  // packs
    PutWord(bytes, 11);
    return bytes;
}

std::vector<uint8_t> EncodedEntry(const std::vector<uint8_t>& payload) {
    std::vector<uint8_t> entry;
    std::string error;
    EXPECT_TRUE(ArchiveEntryCodec::Encode(payload, false, 4, entry, error)) << error;
    return entry;
}

class ResourceManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_directory = std::filesystem::temp_directory_path() / ("resmgr-" + std::to_string(::getpid()));
        std::filesystem::create_directories(m_directory);
        ASSERT_EQ(m_app.Init(), 0);
    }

    void TearDown() override {
        if (m_manager != nullptr) {
            m_manager->Close();
            delete m_manager;
        }
        m_archive.Close();
        std::filesystem::remove_all(m_directory);
    }

    void WriteArchive(const std::vector<uint8_t>& directory, bool withUnknownType = false,
                      bool corruptStringTable = false) {
        BigArchiveWriter writer(IdTableForm::List);
        std::string error;
        ASSERT_TRUE(writer.AddPayload(271, 0, directory, true, 4, error)) << error;
        ASSERT_TRUE(writer.AddPayload(5, kBinaryType, {'h', 'e', 'l', 'l', 'o'}, false, 4, error)) << error;
        ResourcePackWriter texts(PackOptions{});
        ASSERT_TRUE(texts.Add(0x12, kTextType, EncodedEntry(Utf16Bytes(u"Hi")), error)) << error;
        std::vector<uint8_t> textBlock;
        ASSERT_TRUE(texts.Build(textBlock, error)) << error;
        if (corruptStringTable) textBlock.resize(6);
        ASSERT_TRUE(writer.AddPayload(10, kPackType, textBlock, true, 4, error)) << error;
        ResourcePackWriter binaries(PackOptions{});
        ASSERT_TRUE(binaries.Add(3, kBinaryType, EncodedEntry({1, 2, 3}), error)) << error;
        std::vector<uint8_t> binaryBlock;
        ASSERT_TRUE(binaries.Build(binaryBlock, error)) << error;
        ASSERT_TRUE(writer.AddPayload(11, kPackType, binaryBlock, false, 4, error)) << error;
        if (withUnknownType) {
            ASSERT_TRUE(writer.AddPayload(12, kUnknownType, {9}, false, 4, error)) << error;
        }
        ASSERT_TRUE(writer.WriteFile((m_directory / "test.big").string(), error)) << error;
    }

    bool OpenManager() {
        const std::u16string path = HostPath::ToWide((m_directory / "test.big").string());
        if (!m_archive.Open(path.c_str())) return false;
        m_manager = new CResourceManager_v1();
        m_app.SetResourceManager(nullptr);
        return m_manager->Open(&m_archive, 500, 33, true);
    }

    static std::u16string TextOf(CResource* resource) {
        const CStrWChar* text = static_cast<CStrWChar*>(resource->GetObject());
        return std::u16string(text->GetBuffer(), static_cast<size_t>(text->GetLength()));
    }

    std::filesystem::path m_directory;
    ResourceApplication m_app;
    CBigFileReader m_archive;
    CResourceManager_v1* m_manager = nullptr;
};

TEST_F(ResourceManagerTest, CountsReferencesAndDeletesAtTheLastRelease) {
    WriteArchive(Directory());
    ASSERT_TRUE(OpenManager());
    CResource* first = nullptr;
    CResource* again = nullptr;
    EXPECT_EQ(m_manager->CreateByHandle(5, &first), CResourceManager::kLoaded);
    EXPECT_EQ(m_manager->CreateByHandle(5, &again), CResourceManager::kAlreadyLoaded);
    EXPECT_EQ(m_manager->CreateByHandle(5, &again), CResourceManager::kAlreadyLoaded);
    ASSERT_EQ(first, again);
    EXPECT_EQ(first->GetRefCount(), 3);
    EXPECT_EQ(static_cast<CBinary*>(first->GetObject())->GetSize(), 5u);
    CResource* found = nullptr;
    EXPECT_TRUE(m_manager->GetResource(5, &found));
    EXPECT_EQ(first->GetRefCount(), 3);
    EXPECT_TRUE(m_manager->ReleaseResource(&again));
    EXPECT_TRUE(m_manager->ReleaseByHandle(5));
    EXPECT_TRUE(m_manager->ReleaseResource(&first));
    EXPECT_EQ(first, nullptr);
    EXPECT_FALSE(m_manager->GetResource(5, &found));
    EXPECT_FALSE(m_manager->ReleaseByHandle(5));
}

TEST_F(ResourceManagerTest, AFailedReloadTakesNoReference) {
    WriteArchive(Directory());
    ASSERT_TRUE(OpenManager());
    CResource* first = nullptr;
    ASSERT_EQ(m_manager->CreateByHandle(5, &first), CResourceManager::kLoaded);
    first->FreePayload();
    ASSERT_FALSE(first->IsLoaded());
    m_archive.Close();
    CResource* again = nullptr;
    EXPECT_EQ(m_manager->CreateByHandle(5, &again), CResourceManager::kFailed);
    EXPECT_EQ(again, nullptr);
    EXPECT_EQ(first->GetRefCount(), 1);
    EXPECT_TRUE(m_manager->ReleaseResource(&first));
}

TEST_F(ResourceManagerTest, MetaAliasesResolveOrFailWithTheNullHandleLine) {
    WriteArchive(Directory());
    ASSERT_TRUE(OpenManager());
    CResource* resource = nullptr;
    EXPECT_EQ(m_manager->CreateByHandle(0x06010000, &resource), CResourceManager::kLoaded);
    EXPECT_EQ(resource->GetHandle(), 5u);
    AssertCounter counter;
    EXPECT_EQ(m_manager->CreateByHandle(0x06010001, &resource), CResourceManager::kFailed);
    EXPECT_EQ(resource, nullptr);
    EXPECT_TRUE(counter.Logged("Handle is NULL"));
    // A composite needs three meta slots past its index.
    EXPECT_EQ(m_manager->CreateByHandle(0x06000000, &resource), CResourceManager::kFailed);
}

TEST_F(ResourceManagerTest, StringTablesServeTextsAndPlaceholders) {
    WriteArchive(Directory());
    ASSERT_TRUE(OpenManager());
    EXPECT_EQ(m_manager->GetStringTableName(0), std::u16string(u"English"));
    EXPECT_EQ(m_manager->GetStringTableAttributes(0)[1], 0xB2);
    CResource* text = nullptr;
    // No table selected: pack 255 cannot be found.
    EXPECT_EQ(m_manager->CreateByHandle(0x21FF0012, &text), CResourceManager::kFailed);
    EXPECT_FALSE(m_manager->SelectStringTable(-1));
    EXPECT_FALSE(m_manager->SelectStringTable(1));
    ASSERT_TRUE(m_manager->SelectStringTable(0));
    ASSERT_EQ(m_manager->CreateByHandle(0x21FF0012, &text), CResourceManager::kLoaded);
    EXPECT_EQ(TextOf(text), u"Hi");
    m_manager->SetStringKeyMode(1);
    CResource* placeholder = nullptr;
    ASSERT_EQ(m_manager->CreateByHandle(0x21FF0013, &placeholder), CResourceManager::kLoaded);
    EXPECT_EQ(TextOf(placeholder), u"0x21ff0013");
}

TEST_F(ResourceManagerTest, PackMembersNeedTheirPackLoaded) {
    WriteArchive(Directory());
    ASSERT_TRUE(OpenManager());
    CResource* member = nullptr;
    EXPECT_EQ(m_manager->CreateByHandle(0x200B0003, &member), CResourceManager::kFailed);
    CResource* pack = nullptr;
    ASSERT_EQ(m_manager->CreateByHandle(11, &pack), CResourceManager::kLoaded);
    ASSERT_EQ(m_manager->CreateByHandle(0x200B0003, &member), CResourceManager::kLoaded);
    EXPECT_EQ(static_cast<CBinary*>(member->GetObject())->GetSize(), 3u);
}

TEST_F(ResourceManagerTest, BadRequestsFailWithoutCrashOrLeak) {
    WriteArchive(Directory(), true);
    ASSERT_TRUE(OpenManager());
    AssertCounter counter;
    CResource* resource = nullptr;
    EXPECT_EQ(m_manager->CreateByHandle(12, &resource), CResourceManager::kFailed);
    EXPECT_TRUE(counter.Logged("no resource class"));
    EXPECT_EQ(m_manager->CreateByHandle(99, &resource), CResourceManager::kFailed);
    EXPECT_EQ(resource, nullptr);
    // A named resource without a stream is made empty.
    CResourceDescriptor named{kTextType, nullptr, 0, "named", nullptr};
    EXPECT_EQ(m_manager->CreateFromName(named, &resource), CResourceManager::kCreatedEmpty);
    // One whose stream cannot be read is discarded, never handed out.
    const uint8_t odd[3] = {1, 2, 3};
    CArrayInputStream oddBytes;
    oddBytes.Open(odd, sizeof odd);
    CResourceDescriptor broken{kTextType, &oddBytes, 0, "broken", nullptr};
    resource = nullptr;
    const int32_t status = m_manager->CreateFromName(broken, &resource);
    if (status == CResourceManager::kFailed) {
        EXPECT_EQ(resource, nullptr);
    }
    EXPECT_FALSE(m_manager->ReleaseByHandle(0x1234));
}

TEST_F(ResourceManagerTest, DestroyAllWarnsAboutLiveReferences) {
    WriteArchive(Directory());
    ASSERT_TRUE(OpenManager());
    CResource* resource = nullptr;
    ASSERT_EQ(m_manager->CreateByHandle(5, &resource), CResourceManager::kLoaded);
    AssertCounter counter;
    m_manager->Close();
    EXPECT_TRUE(counter.Logged("Warning, CResourceBinary hnd:0x00000005 is being destroyed with refCnt:1"));
    EXPECT_EQ(m_manager->GetStringKeyMode(), 0);
}

TEST_F(ResourceManagerTest, OpeningAgainClosesFirst) {
    WriteArchive(Directory());
    ASSERT_TRUE(OpenManager());
    CResource* resource = nullptr;
    ASSERT_EQ(m_manager->CreateByHandle(5, &resource), CResourceManager::kLoaded);
    AssertCounter counter;
    ASSERT_TRUE(m_manager->Open(&m_archive, 500, 33, true));
    EXPECT_TRUE(counter.Logged("CResourceBinary hnd:0x00000005 is being destroyed with refCnt:1"));
    CResource* found = nullptr;
    EXPECT_FALSE(m_manager->GetResource(5, &found));
    EXPECT_EQ(m_manager->CreateByHandle(5, &resource), CResourceManager::kLoaded);
    EXPECT_TRUE(m_manager->ReleaseResource(&resource));
}

TEST_F(ResourceManagerTest, ACorruptStringTableIsNotSelectedAndServesNoText) {
    WriteArchive(Directory(), false, true);
    ASSERT_TRUE(OpenManager());
    AssertCounter counter;
    EXPECT_FALSE(m_manager->SelectStringTable(0));
    CResource* text = nullptr;
    EXPECT_EQ(m_manager->CreateByHandle(0x21FF0012, &text), CResourceManager::kFailed);
    EXPECT_EQ(text, nullptr);
}

TEST_F(ResourceManagerTest, CorruptDirectoriesAreRefused) {
    WriteArchive(Directory(0x40000000));
    AssertCounter counter;
    EXPECT_FALSE(OpenManager());
    EXPECT_TRUE(counter.Logged("meta table does not fit"));
}

}  // namespace
