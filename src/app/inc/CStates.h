#ifndef CSTATES_H
#define CSTATES_H

#include <cstdint>

class JGraphics;

// The screen state machine, as far as the application and the game object
// see it: whether the main menu has been shown once (until then the back
// key quits from the orientation screen), whether records can be saved,
// and its update and paint. The screens come with the front end.
class CStates {
public:
    // The HUD first, then the current screen.
    void Update(int32_t ms);
    void Paint(JGraphics& g);

    uint8_t menuShown = 0;
    // The storage test at start-up succeeded: records can be saved.
    uint8_t storageOk = 0;
};

#endif
