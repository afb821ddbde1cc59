#pragma once
// The clone that the game's actions, processes, conditions and machines hand to ECA: a heap copy of the source.

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
