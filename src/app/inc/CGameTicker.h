#ifndef CGAMETICKER_H
#define CGAMETICKER_H

#include "CAppTicker.h"

class CGameApp;

// The game's frame as the ticker runs it: while running, an update (the
// due executables, then the application's Tick) followed by a paint; a
// tick entered frozen, as the first after a resume, only paints. Nothing
// is painted while the game data suppresses painting.
class CGameTicker : public CAppTicker {
public:
    explicit CGameTicker(CGameApp* app) : m_app(app) {}

    void OnTick() override;

private:
    CGameApp* m_app;
};

#endif
