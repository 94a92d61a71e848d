#include "CAppProperties.h"
#include "CArrayInputStream.h"
#include "CFileInputStream.h"
#include "CHash.h"
#include "CStringToKey.h"

#include "TempAppDirectory.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class CAppPropertiesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_table.Init(20, 20, true));
        CSingleton::SetTable(&m_table);
        m_properties = new CAppProperties();
    }
    void TearDown() override {
        delete m_properties;
        CSingleton::SetTable(nullptr);
    }

    void Load(const std::string& text) {
        CArrayInputStream stream;
        ASSERT_TRUE(stream.Open(text.data(), static_cast<uint32_t>(text.size())));
        m_properties->Load(stream);
        EXPECT_FALSE(stream.HasError());
    }
    std::string Value(const char* name) const {
        const char* value = m_properties->GetString(name);
        return value == nullptr ? std::string("<absent>") : std::string(value);
    }

    CHash m_table;
    CAppProperties* m_properties = nullptr;
};

TEST_F(CAppPropertiesTest, ParsesKeysValuesAndSeparators) {
    Load(
        "a=1\n"
        "a=2\n"
        "key : value\n"
        "a:b=c\n"
        "  spaced\t=\t value with spaces  \r\n"
        "Kiv-Game=x=y\n"
        "last=no newline");
    EXPECT_EQ(Value("a"), "1");
    EXPECT_EQ(Value("key"), "value");
    EXPECT_EQ(Value("a:b"), "c");
    EXPECT_EQ(Value("spaced"), "value with spaces");
    EXPECT_EQ(Value("Kiv-Game"), "x=y");
    EXPECT_EQ(Value("last"), "no newline");
    EXPECT_EQ(Value("A"), "<absent>");
    EXPECT_EQ(m_properties->FindIndex(CStringToKey::Hash("a", false)), 0);
    EXPECT_EQ(m_properties->FindIndex(CStringToKey::Hash("last", false)), 5);
    EXPECT_EQ(m_properties->FindIndex(0x12345678), -1);
    EXPECT_EQ(CSingleton::GetInstance(0x8C535A57), m_properties);
}

TEST_F(CAppPropertiesTest, SkipsCommentsAndIncompleteLines) {
    Load(
        "# comment=1\n"
        "!bang=1\n"
        " # x\n"
        " #y=2\n"
        "k=\n"
        "=v\n"
        ":w\n"
        "a:b=\n"
        "novalue\n"
        "\n"
        "\r\n"
        "   =   \n");
    EXPECT_FALSE(m_properties->HasKey("# comment"));
    EXPECT_FALSE(m_properties->HasKey("!bang"));
    EXPECT_FALSE(m_properties->HasKey("# x"));
    EXPECT_EQ(Value("#y"), "2");
    EXPECT_FALSE(m_properties->HasKey("k"));
    EXPECT_FALSE(m_properties->HasKey(""));
    // The "=" at the end of the line is the separator: the key is "a:b"
    // with no value, not "a" with "b=".
    EXPECT_FALSE(m_properties->HasKey("a:b"));
    EXPECT_FALSE(m_properties->HasKey("a"));
    EXPECT_FALSE(m_properties->HasKey("novalue"));
    EXPECT_EQ(m_properties->FindIndex(CStringToKey::Hash("#y", false)), 0);
}

TEST_F(CAppPropertiesTest, TypedGetters) {
    Load("t1=TRUE\nt2=True\nf1=1\nf2=yes\nf3=truth\nn=-42\nbig=99999999999\nsmall=-99999999999\nx=abc\n");
    for (const char* name : {"t1", "t2"}) EXPECT_TRUE(m_properties->GetBool(name)) << name;
    for (const char* name : {"f1", "f2", "f3", "missing"}) EXPECT_FALSE(m_properties->GetBool(name)) << name;
    const struct {
        const char* name;
        int32_t value;
    } ints[] = {{"n", -42}, {"big", 2147483647}, {"small", -2147483647 - 1}, {"x", 0}, {"missing", 0}, {nullptr, 0}};
    for (const auto& entry : ints) EXPECT_EQ(m_properties->GetInt(entry.name), entry.value);
    EXPECT_EQ(m_properties->GetString(nullptr), nullptr);
    EXPECT_FALSE(m_properties->HasKey(nullptr));
}

TEST_F(CAppPropertiesTest, SecondLoadReplacesTheTable) {
    Load("a=1\nb=2\n");
    Load("b=3\n");
    EXPECT_FALSE(m_properties->HasKey("a"));
    EXPECT_EQ(Value("b"), "3");
    m_properties->Clear();
    EXPECT_FALSE(m_properties->HasKey("b"));
}

TEST_F(CAppPropertiesTest, LongLinesAndZeroBytes) {
    const std::string longValue(5000, 'v');
    std::string text = "long=" + longValue + "\nz=a";
    text += '\0';
    text += "b\n";
    Load(text);
    EXPECT_EQ(Value("long"), longValue);
    EXPECT_EQ(Value("z"), "ab");
}

TEST_F(CAppPropertiesTest, ReadLineKeepsCarriageReturns) {
    const std::string text = "one\r\n\ntwo";
    CArrayInputStream stream;
    ASSERT_TRUE(stream.Open(text.data(), static_cast<uint32_t>(text.size())));
    CStrChar line;
    CAppProperties::ReadLine(stream, line);
    EXPECT_EQ(std::string(line.GetBuffer()), "one\r");
    CAppProperties::ReadLine(stream, line);
    EXPECT_EQ(line.GetLength(), 0);
    CAppProperties::ReadLine(stream, line);
    EXPECT_EQ(std::string(line.GetBuffer()), "two");
    EXPECT_EQ(stream.Available(), 0u);
}

TEST_F(CAppPropertiesTest, AddRefusesEmptyAndRepeatedKeys) {
    EXPECT_TRUE(m_properties->Add("k", "v"));
    EXPECT_FALSE(m_properties->Add("k", "w"));
    EXPECT_FALSE(m_properties->Add("", "v"));
    EXPECT_FALSE(m_properties->Add("j", ""));
    EXPECT_FALSE(m_properties->Add(nullptr, "v"));
    EXPECT_FALSE(m_properties->Add("j", nullptr));
    EXPECT_EQ(Value("k"), "v");
}

TEST(CAppPropertiesFile, LoadsThroughAFileStream) {
    TempAppDirectory directory;
    directory.WriteFile("properties.dat", std::string("MIDlet-Version=1.0.2\r\nKiv-Cheats-Enable=false\r\n"));
    CAppProperties properties;
    CFileInputStream stream;
    ASSERT_TRUE(stream.OpenByName(directory.EnginePathOf("properties.dat").c_str()));
    properties.Load(stream);
    EXPECT_EQ(std::string(properties.GetString("MIDlet-Version")), "1.0.2");
    EXPECT_FALSE(properties.GetBool("Kiv-Cheats-Enable"));
    EXPECT_TRUE(properties.HasKey("Kiv-Cheats-Enable"));
}

}  // namespace
