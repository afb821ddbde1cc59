#pragma once
// The reference-counted root of the state-machine objects.
//
// The count only records references and tells a live object from a destroyed one: reaching 0 destroys nothing.
// Ownership lies with the registries and the modules that created the objects.

#include <cstdint>

class ECAReferenceCounted
{
public:
    /// A new object has count 0.
    ECAReferenceCounted() = default;
    /// A copy is a new object: it starts with count 0 whatever the source's count.
    ECAReferenceCounted(const ECAReferenceCounted&) {}
    /// Assignment keeps this object's own count.
    ECAReferenceCounted& operator=(const ECAReferenceCounted&) { return *this; }
    /// Marks the object destroyed: count -1. Not noexcept, so that a derived destructor's check reaches the caller.
    virtual ~ECAReferenceCounted() noexcept(false);

    void addReference() { ++mCount; }
    void removeReference() { --mCount; }
    /// The number of references added and not yet removed.
    std::int32_t referenceCount() const { return mCount; }
    /// True while the count is 0 or more: from construction until destruction, unless over-released.
    bool isValid() const { return mCount >= 0; }

private:
    std::int32_t mCount = 0;
};
