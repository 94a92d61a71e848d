#ifndef CSTATES_H
#define CSTATES_H

#include <cstdint>

// The screen state machine, as far as the application sees it: whether the
// main menu has been shown once (until then the back key quits from the
// orientation screen). The screens come with the front end.
class CStates {
public:
    uint8_t menuShown = 0;
};

#endif
