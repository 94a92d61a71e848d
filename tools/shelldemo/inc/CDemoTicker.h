#ifndef CDEMOTICKER_H
#define CDEMOTICKER_H

#include "CAppTicker.h"

class CDemoApp;

// The demo's frame as the game's ticker runs it: while running, an update
// (the ticker's executables, then the application's) followed by a paint;
// a frame entered frozen, as after a resume, only paints.
class CDemoTicker : public CAppTicker {
public:
    explicit CDemoTicker(CDemoApp* app) : m_app(app) {}

    void OnTick() override;

private:
    CDemoApp* m_app;
};

#endif
