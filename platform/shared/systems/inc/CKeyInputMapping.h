#ifndef CKEYINPUTMAPPING_H
#define CKEYINPUTMAPPING_H

#include "CInputMapping.h"

class CEvent;
class CEventListener;

// Posts a game message for one engine key code: on press, on release, and
// repeatedly while held, after a delay and at an interval. Lives in an input
// registry of the ticker's registry, which runs its repeat timing per frame.
class CKeyInputMapping : public CInputMapping {
public:
    static constexpr uint32_t kClassKey = 0x764A96E1;

    enum Flags : uint8_t { kPostOnPress = 1, kRepeatWhileHeld = 2, kPostOnRelease = 4 };

    // Engine events the mapping listens for.
    static constexpr uint32_t kAppFocus = 0x6740942F;
    static constexpr uint32_t kAppResume = 0x75424363;
    static constexpr uint32_t kFocusChange = 0x518E1A3B;
    static constexpr uint32_t kKeyPressed = 0xC7424BE6;
    static constexpr uint32_t kKeyReleased = 0x43A39818;

    CKeyInputMapping() : CInputMapping(kClassKey) {}
    ~CKeyInputMapping() override;

    CKeyInputMapping(const CKeyInputMapping&) = delete;
    CKeyInputMapping& operator=(const CKeyInputMapping&) = delete;

    // False when the input registry is missing or memory runs out.
    static bool AddMapping(uint32_t inputRegistryId, uint32_t messageId, uint32_t keyCode, uint8_t flags,
                           int32_t delayMs, int32_t intervalMs, bool repeat);
    // Deletes every mapping of the registry matching the message id and the
    // key code (0 matches any).
    static void RemoveMapping(uint32_t inputRegistryId, uint32_t messageId, uint32_t keyCode);
    static void RemoveAllMappings(uint32_t inputRegistryId) { RemoveMapping(inputRegistryId, 0, 0); }

    virtual bool Start();
    virtual void Stop();
    // The per-frame repeat timing.
    void Execute() override;

    void HandleKey(uint32_t id, uint32_t key);

    uint32_t GetKeyCode() const { return m_keyCode; }
    uint32_t GetMessageId() const { return m_messageId; }

private:
    static bool OnInputMessage(CEvent* message, CEventListener* listener);
    void Configure(uint32_t messageId, uint32_t keyCode, uint8_t flags, int32_t delayMs, int32_t intervalMs,
                   bool repeat);
    void ResetKeyState();
    void UpdateWithInterval(int32_t sinceDelay);
    void Post();

    CEventListener* m_listener = nullptr;
    uint32_t m_keyCode = 0;
    uint8_t m_flags = 0;
    uint32_t m_messageId = 0;
    int32_t m_delayMs = 0;
    int32_t m_intervalMs = 0;
    uint8_t m_repeat = 1;
    uint8_t m_pressed = 0;
    int32_t m_heldMs = 0;
    int32_t m_firedMs = 0;
};

#endif
