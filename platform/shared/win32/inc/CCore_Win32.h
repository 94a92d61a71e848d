#ifndef CCORE_WIN32_H
#define CCORE_WIN32_H

#include "CCore.h"

// The core services on the handset: the program ends through the message
// loop, addresses open in the shell's browser, and the left soft key is
// the only one that means "left".
class CCore_Win32 : public CCore {
public:
    static constexpr uint32_t kLeftSoftKey = 15;
    static constexpr uint32_t kLeftSoftKeyMeaning = 3;
    static constexpr uint32_t kOtherSoftKeyMeaning = 4;

    // Null when memory is exhausted.
    static CCore_Win32* Create();

    // Asks the message loop to end; the program ends at the next WM_QUIT.
    void Exit() override;
    // Starts the shell on the address; when that works the program ends.
    // False for a null or empty address or when the shell refuses.
    bool OpenUrl(const WChar* url) override;
    uint32_t MapSoftKey(uint32_t engineKey) override;
};

#endif
