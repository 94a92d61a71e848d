#include "CTouchButtonManager.h"

#include "CGameInput.h"
#include "CTouchButton.h"

CTouchButtonManager::CTouchButtonManager(CGameInput& input) : m_input(input) {}

CTouchButtonManager::~CTouchButtonManager() {
    enabled.removeAllElements();
    groups.clear();
}

TouchButtonList* CTouchButtonManager::GroupOf(int32_t id) const { return groups.get(JInteger(id)); }

bool CTouchButtonManager::AddGroup(int32_t id, TouchButtonList* list) {
    if (list == nullptr || GroupOf(id) != nullptr) return false;
    groups.put(JInteger(id), list);
    return true;
}

void CTouchButtonManager::RemoveGroup(int32_t id) {
    TouchButtonList* list = GroupOf(id);
    if (list == nullptr) return;
    enabled.removeElement(list);
    groups.put(JInteger(id), nullptr);
}

void CTouchButtonManager::Enable(int32_t id) {
    TouchButtonList* list = GroupOf(id);
    if (list != nullptr && !enabled.contains(list)) enabled.addElement(list);
}

void CTouchButtonManager::Disable(int32_t id) {
    TouchButtonList* list = GroupOf(id);
    if (list != nullptr) enabled.removeElement(list);
}

bool CTouchButtonManager::IsEnabled(int32_t id) const {
    TouchButtonList* list = GroupOf(id);
    return list != nullptr && enabled.contains(list);
}

void CTouchButtonManager::OnPointerDown(int32_t px, int32_t py) {
    pendingX = px;
    pendingY = py;
    pendingDown = 1;
    pendingDownEdge = 1;
}

void CTouchButtonManager::OnPointerUp(int32_t px, int32_t py) {
    pendingX = px;
    pendingY = py;
    pendingDown = 0;
    pendingUpEdge = 1;
}

void CTouchButtonManager::OnPointerMove(int32_t px, int32_t py) {
    pendingX = px;
    pendingY = py;
}

void CTouchButtonManager::Update(int32_t) {
    downEdge = pendingDownEdge;
    upEdge = pendingUpEdge;
    // A stylus resting where it was keeps its button as it is.
    if (downEdge == 0 && upEdge == 0 && x == pendingX && y == pendingY) return;
    pendingDownEdge = 0;
    pendingUpEdge = 0;
    x = pendingX;
    y = pendingY;
    down = pendingDown;
    Evaluate();
}

// The topmost button under the stylus is hit (groups and buttons from last
// to first); every other button is let go.
void CTouchButtonManager::Evaluate() {
    bool taken = false;
    for (int32_t g = enabled.size() - 1; g >= 0; --g) {
        TouchButtonList& list = *enabled.elementAt(g);
        for (int32_t b = list.size() - 1; b >= 0; --b) {
            CTouchButton* button = list.elementAt(b);
            if (button == nullptr) continue;
            const bool hit = !taken && button->HitTest(x, y);
            if (hit) taken = true;
            button->SetPressed(hit && down != 0, m_input);
            if (hit && downEdge != 0) button->OnEdge(CTouchButton::kEdgeDown, m_input);
            if (hit && upEdge != 0) button->OnEdge(CTouchButton::kEdgeUp, m_input);
        }
    }
}

void CTouchButtonManager::Paint(JGraphics& g) const {
    for (int32_t group = enabled.size() - 1; group >= 0; --group) {
        const TouchButtonList& list = *enabled.elementAt(group);
        for (int32_t b = list.size() - 1; b >= 0; --b) {
            if (list.elementAt(b) != nullptr) list.elementAt(b)->Paint(g);
        }
    }
}

void CTouchButtonManager::Reset() {
    x = y = pendingX = pendingY = 0;
    downEdge = upEdge = down = 0;
    pendingDownEdge = pendingUpEdge = pendingDown = 0;
}
