#ifndef CTOUCHBUTTONMANAGER_H
#define CTOUCHBUTTONMANAGER_H

#include <cstdint>

#include "JHashtable.h"
#include "JInteger.h"
#include "JVector.h"

class CGameInput;
class CTouchButton;
class JGraphics;

using TouchButtonList = JVector<CTouchButton*>;

// Records where the stylus went down and came up and, once per game tick,
// hands the key bits of the button under it to the input object. Buttons
// come in numbered groups that the screens switch on and off; the manager
// only points at the groups' lists, which their owner keeps.
class CTouchButtonManager {
public:
    explicit CTouchButtonManager(CGameInput& input);
    ~CTouchButtonManager();

    CTouchButtonManager(const CTouchButtonManager&) = delete;
    CTouchButtonManager& operator=(const CTouchButtonManager&) = delete;

    // False, changing nothing, when the id has a group already.
    bool AddGroup(int32_t id, TouchButtonList* list);
    void RemoveGroup(int32_t id);
    // Groups enabled later lie on top of those enabled earlier.
    void Enable(int32_t id);
    void Disable(int32_t id);
    bool IsEnabled(int32_t id) const;

    void OnPointerDown(int32_t px, int32_t py);
    void OnPointerUp(int32_t px, int32_t py);
    void OnPointerMove(int32_t px, int32_t py);
    // Once per game tick, before the input object latches its masks.
    void Update(int32_t dt);
    void Paint(JGraphics& g) const;
    // Forgets the pointer; the groups stay.
    void Reset();

    // What the last tick saw.
    int32_t GetX() const { return x; }
    int32_t GetY() const { return y; }
    bool HasDownEdge() const { return downEdge != 0; }
    bool HasUpEdge() const { return upEdge != 0; }
    bool IsDown() const { return down != 0; }

private:
    TouchButtonList* GroupOf(int32_t id) const;
    void Evaluate();

    CGameInput& m_input;
    int32_t x = 0;
    int32_t y = 0;
    int32_t pendingX = 0;
    int32_t pendingY = 0;
    uint8_t downEdge = 0;
    uint8_t upEdge = 0;
    uint8_t down = 0;
    uint8_t pendingDownEdge = 0;
    uint8_t pendingUpEdge = 0;
    uint8_t pendingDown = 0;
    // A removed group's id keeps a null entry: the table cannot drop keys.
    JHashtable<JInteger, TouchButtonList*> groups;
    JVector<TouchButtonList*> enabled;
};

#endif
