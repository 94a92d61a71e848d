#include "HostFaults.h"
#include "HostInput.h"
#include "HostPowerRequest.h"
#include "HostTestEnvironment.h"
#include "WinCeError.h"
#include "WinCeMsgQueue.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

MSGQUEUEOPTIONS Options(bool read, DWORD maxMessages = 0, DWORD maxSize = 1024) {
    return MSGQUEUEOPTIONS{sizeof(MSGQUEUEOPTIONS), 0, maxMessages, maxSize, read ? 1 : 0};
}

// Reads one message; empty with `ok` false when the read fails.
std::vector<uint8_t> ReadOne(HANDLE queue, bool* ok, DWORD size = 1024) {
    std::vector<uint8_t> buffer(size);
    DWORD read = 0;
    DWORD flags = 0xFF;
    *ok = ReadMsgQueue(queue, buffer.data(), size, &read, 0, &flags) != 0;
    buffer.resize(*ok ? read : 0);
    return buffer;
}

uint32_t WordAt(const std::vector<uint8_t>& bytes, size_t at) {
    return static_cast<uint32_t>(bytes[at]) | static_cast<uint32_t>(bytes[at + 1]) << 8 |
           static_cast<uint32_t>(bytes[at + 2]) << 16 | static_cast<uint32_t>(bytes[at + 3]) << 24;
}

class WinCeMsgQueueTest : public ::testing::Test {
protected:
    HostTestEnvironment m_environment;
};

TEST_F(WinCeMsgQueueTest, OptionsAreChecked) {
    MSGQUEUEOPTIONS options = Options(true);
    EXPECT_EQ(sizeof(MSGQUEUEOPTIONS), 20u);
    EXPECT_EQ(CreateMsgQueue(u"q", nullptr), nullptr);
    options.dwSize = 16;
    EXPECT_EQ(CreateMsgQueue(u"q", &options), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    options = Options(true, 0, 0);
    EXPECT_EQ(CreateMsgQueue(u"q", &options), nullptr);
    options = Options(true);
    HostFaults::Set(HostFault::CreateMsgQueue, true);
    EXPECT_EQ(CreateMsgQueue(u"q", &options), nullptr);
}

TEST_F(WinCeMsgQueueTest, NamedQueueIsSharedByItsReaderAndWriter) {
    const MSGQUEUEOPTIONS readOptions = Options(true, 2, 8);
    const MSGQUEUEOPTIONS writeOptions = Options(false);
    HANDLE reader = CreateMsgQueue(u"shared", &readOptions);
    HANDLE writer = CreateMsgQueue(u"shared", &writeOptions);
    ASSERT_NE(reader, nullptr);
    ASSERT_NE(writer, nullptr);

    bool ok = true;
    ReadOne(reader, &ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(GetLastError(), ERROR_TIMEOUT);

    EXPECT_TRUE(WriteMsgQueue(writer, "abc", 3, 0, 0));
    EXPECT_TRUE(WriteMsgQueue(writer, "defghijk", 8, 0, 0));
    // The first opener's limits hold: two messages of at most 8 bytes.
    EXPECT_FALSE(WriteMsgQueue(writer, "x", 1, 0, 0));
    EXPECT_FALSE(WriteMsgQueue(reader, "x", 1, 0, 0));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);

    EXPECT_EQ(ReadOne(reader, &ok), (std::vector<uint8_t>{'a', 'b', 'c'}));
    EXPECT_TRUE(ok);
    EXPECT_TRUE(WriteMsgQueue(writer, "123456789", 8, 0, 0));
    EXPECT_FALSE(WriteMsgQueue(writer, "123456789", 9, 0, 0));
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    // A message too large for the buffer is dropped, not left blocking.
    ReadOne(reader, &ok, 4);
    EXPECT_FALSE(ok);
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(ReadOne(reader, &ok).size(), 8u);
    ReadOne(writer, &ok);
    EXPECT_FALSE(ok);

    EXPECT_TRUE(CloseMsgQueue(reader));
    EXPECT_FALSE(CloseMsgQueue(reader));
    EXPECT_TRUE(CloseHandle(writer));
}

TEST_F(WinCeMsgQueueTest, PowerNotificationsReachTheQueuesThatAskedForThem) {
    const MSGQUEUEOPTIONS options = Options(true);
    HANDLE queue = CreateMsgQueue(u"power", &options);
    HANDLE other = CreateMsgQueue(nullptr, &options);
    ASSERT_NE(queue, nullptr);
    EXPECT_EQ(RequestPowerNotifications(nullptr, PBT_TRANSITION), nullptr);
    HANDLE request = RequestPowerNotifications(queue, PBT_TRANSITION | PBT_POWERINFOCHANGE);
    HANDLE resumeOnly = RequestPowerNotifications(other, PBT_RESUME);
    ASSERT_NE(request, nullptr);

    HostInput::PowerEvent(POWER_STATE_UNATTENDED);
    bool ok = false;
    const std::vector<uint8_t> message = ReadOne(queue, &ok);
    ASSERT_TRUE(ok);
    const std::u16string name = u"unattended";
    ASSERT_EQ(message.size(), 12 + (name.size() + 1) * 2);
    EXPECT_EQ(WordAt(message, 0), PBT_TRANSITION);
    EXPECT_EQ(WordAt(message, 4), 0x00400000u);
    EXPECT_EQ(WordAt(message, 8), (name.size() + 1) * 2);
    EXPECT_EQ(message[12], 'u');
    EXPECT_EQ(message[13], 0);
    EXPECT_EQ(message[message.size() - 2], 0);
    ReadOne(other, &ok);
    EXPECT_FALSE(ok);

    EXPECT_EQ(StopPowerNotifications(request), ERROR_SUCCESS);
    EXPECT_EQ(StopPowerNotifications(request), ERROR_INVALID_HANDLE);
    EXPECT_EQ(HostPowerRequest::Broadcast(PBT_TRANSITION, POWER_STATE_ON, u"on"), 0);
    EXPECT_EQ(StopPowerNotifications(resumeOnly), ERROR_SUCCESS);
    CloseMsgQueue(queue);
    CloseMsgQueue(other);
}

TEST_F(WinCeMsgQueueTest, RequestOutlivesAClosedQueueHandle) {
    const MSGQUEUEOPTIONS options = Options(true);
    HANDLE queue = CreateMsgQueue(u"power", &options);
    HANDLE request = RequestPowerNotifications(queue, PBT_TRANSITION);
    HostFaults::Set(HostFault::RequestPowerNotifications, true);
    EXPECT_EQ(RequestPowerNotifications(queue, PBT_TRANSITION), nullptr);
    CloseMsgQueue(queue);
    // The store lives on with the request: broadcasting is still safe.
    EXPECT_EQ(HostPowerRequest::Broadcast(PBT_TRANSITION, POWER_STATE_ON, u"on"), 1);
    EXPECT_EQ(StopPowerNotifications(request), ERROR_SUCCESS);
}

}  // namespace
