#ifndef JENUMERATION_H
#define JENUMERATION_H

#include "JObject.h"

// A walk over the elements of a container, handed out in a JSmartPtr and
// deleted through the virtual destructor when the last holder goes.
class JEnumeration : public JObject {
public:
    virtual bool hasMoreElements() = 0;
    // The address of the next element inside the container; null (after a
    // failed check) when none is left.
    virtual void* nextElement() = 0;
    virtual ~JEnumeration() = default;
};

#endif
