#include "foundation/refcount.h"

ECAReferenceCounted::~ECAReferenceCounted()
{
    mCount = -1;
}
