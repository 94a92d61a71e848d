#include "ClipStack.h"

ClipStack::ClipStack() : stack(new JVector<CRect>()) {}

CRect& ClipStack::push(const CRect& rect) {
    stack->addElement(rect);
    return stack->lastElement();
}

CRect& ClipStack::peek() { return stack->lastElement(); }

CRect ClipStack::pop() {
    const CRect top = peek();
    if (stack->size() > 0) stack->removeElementAt(stack->size() - 1);
    return top;
}
