#include "foundation/refcount.h"

ECAReferenceCounted::~ECAReferenceCounted() noexcept(false)
{
    mCount = -1;
}
