#ifndef CLIPSTACK_H
#define CLIPSTACK_H

#include "CRect.h"
#include "JObject.h"
#include "JSmartPtr.h"
#include "JVector.h"

// The application's stack of saved clip rectangles; the top is the last
// element of the vector.
class ClipStack : public JObject {
public:
    ClipStack();

    CRect& push(const CRect& rect);
    // An empty stack is reported and answered with a zero rectangle.
    CRect& peek();
    // Removes and returns the top; an empty stack is reported, stays as it
    // is and gives a zero rectangle.
    CRect pop();
    int32_t size() const { return stack->size(); }

private:
    JSmartPtr<JVector<CRect>> stack;
};

#endif
