#include "platform/sil.h"

#include "foundation/dbg.h"

void SILVector::add(const SILVector& other)
{
    mX += other.mX;
    mY += other.mY;
}

SILVector SILVector::multiply(const SILVector& other) const
{
    return SILVector(mX * other.mX, mY * other.mY);
}

int SILKeyID::value() const
{
    DBG_ASSERT(invariant());
    return mID;
}
