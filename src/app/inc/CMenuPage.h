#ifndef CMENUPAGE_H
#define CMENUPAGE_H

#include <cstdint>

#include "JString.h"
#include "JVector.h"

// The menu page on screen, as the state machine keeps it: the item text
// ids, the layout (enable mask twice, label source, selected item index),
// the page's box, its labels and two title lines, and the title ids.
struct CMenuPage {
    static constexpr int32_t kLayoutMask = 0;
    static constexpr int32_t kLayoutEnableMask = 1;
    static constexpr int32_t kLayoutKind = 2;
    static constexpr int32_t kLayoutSelection = 3;
    static constexpr int32_t kLayoutSize = 4;

    JVector<int32_t> items;
    JVector<int32_t> layout;
    JVector<int32_t> popupLayout;
    JVector<JString> labels;
    JVector<JString> valueLabels;
    JVector<int32_t> limits;

    bool HasItems() const { return layout.size() > 0; }
    int32_t LayoutValue(int32_t index) const { return index < layout.size() ? layout.elementAt(index) : 0; }
    int32_t Kind() const { return LayoutValue(kLayoutKind); }
    int32_t Selection() const { return LayoutValue(kLayoutSelection); }
    // The text id of item `index`; 0 outside the page.
    int32_t ItemAt(int32_t index) const { return index >= 0 && index < items.size() ? items.elementAt(index) : 0; }
};

#endif
