#pragma once
// What the game's screens share in making the parts of their state machines: the clone that ECA asks for, and the
// creation check that names the member a part was made for.

#include "foundation/dbg.h"
#include "foundation/eca.h"

#include <new>

/// A new copy of the source, owned by the caller; a failed allocation fails the check "clone".
template <class T>
ECACloneable* cloneOf(const T& source)
{
    T* const clone = new (std::nothrow) T(source);
    DBG_ASSERT(clone);
    return clone;
}

/// The new object, or, when there is none, an "Assertion failure" whose description is the name (a literal).
template <class T>
T* created(T* object, const char* name)
{
    if (!object)
        throw DBGException("Assertion failure", name, __FILE__, __LINE__);
    return object;
}
