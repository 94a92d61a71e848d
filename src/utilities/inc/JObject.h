#ifndef JOBJECT_H
#define JOBJECT_H

// Root of the runtime's value classes. It has no state and no virtual
// operations: the classes built on it are copied and kept by value.
class JObject {
public:
    JObject() = default;
};

// Common base of the two reference-counted holders, over the held type.
template <typename T>
class JRefBase : public JObject {};

#endif
