#include "spl/splshape.h"

#include "foundation/dbg.h"

#include <new>
#include <optional>

namespace
{

// The value a set through the lock stores, or nothing when the lock ignores the set.
std::optional<SPLVector> throughLock(int lock, const SPLVector& current, const SPLVector& wanted)
{
    switch (lock)
    {
    case SPLLockKind::FREE:
        return wanted;
    case SPLLockKind::KEEP_X:
        return SPLVector(current.x(), wanted.y());
    case SPLLockKind::KEEP_Y:
        return SPLVector(wanted.x(), current.y());
    case SPLLockKind::FIXED:
        return std::nullopt;
    default:
        DBG_ERROR("Unknown lock.");
    }
}

void markDestroyed(SPLBox& box, SPLEdge (&edges)[4])
{
    box = SPLBox();
    for (SPLEdge& edge : edges)
        edge.type = SPLEdgeType::LOWER;
}

} // namespace

SPLSphere::SPLSphere(double radius, double mass, int solid, double drag, const SPLVector& position,
                     const SPLVector& velocity, const SPLVector& force, double time, int tag)
    : mRadius(radius), mForce(force), mAcceleration(force / mass), mVelocity(velocity), mPosition(position),
      mMass(mass), mSolid(solid), mDrag(drag), mTime(time), mTag(tag)
{
    updateBounds();
}

SPLSphere::~SPLSphere()
{
    mRadius = -1.0;
    mMass = -1.0;
    mDrag = -1.0;
    mSolid = 0;
    markDestroyed(mBox, mEdges);
}

void SPLSphere::setTag(int tag)
{
    mTag = tag;
}

void SPLSphere::setTime(double time)
{
    mTime = time;
}

void SPLSphere::setDrag(double drag)
{
    mDrag = drag;
}

void SPLSphere::setHeight(double)
{
    DBG_ERROR("Spheres have no height.");
}

void SPLSphere::setMass(double mass)
{
    mMass = mass;
    mAcceleration = mForce / mMass;
}

void SPLSphere::setRadius(double radius)
{
    mRadius = radius;
    updateBounds();
}

void SPLSphere::setSolid(int solid)
{
    mSolid = solid;
}

void SPLSphere::setWidth(double)
{
    DBG_ERROR("Spheres have no width.");
}

SPLVector SPLSphere::acceleration() const
{
    return mAcceleration;
}

int SPLSphere::tag() const
{
    return mTag;
}

SPLShape* SPLSphere::clone() const
{
    SPLSphere* sphere =
        new (std::nothrow) SPLSphere(mRadius, mMass, mSolid, mDrag, mPosition, mVelocity, mForce, mTime, mTag);
    DBG_ASSERT("Sphere created successfully." && sphere);
    return sphere;
}

double SPLSphere::time() const
{
    return mTime;
}

SPLBox SPLSphere::box() const
{
    return mBox;
}

double SPLSphere::height() const
{
    DBG_ERROR("Spheres have no height.");
}

double SPLSphere::width() const
{
    DBG_ERROR("Sheres have no width.");
}

SPLObjectLocker::SPLObjectLocker(const SPLShape& shape, int positionLock, int velocityLock, int forceLock)
    : mPositionLock(positionLock), mVelocityLock(velocityLock), mForceLock(forceLock), mShape(shape.clone())
{
    updateBounds();
}

SPLObjectLocker::~SPLObjectLocker()
{
    mShape.reset();
    mPositionLock = 0;
    mVelocityLock = 0;
    mForceLock = 0;
    markDestroyed(mBox, mEdges);
}

void SPLObjectLocker::updateBounds()
{
    mBox = mShape->box();
    for (int i = 0; i < 4; ++i)
    {
        mEdges[i] = mShape->edge(i + 1);
        mEdges[i].owner = this;
    }
}

void SPLObjectLocker::setTag(int tag)
{
    mShape->setTag(tag);
}

void SPLObjectLocker::setTime(double time)
{
    mShape->setTime(time);
}

void SPLObjectLocker::setForce(const SPLVector& force)
{
    if (const std::optional<SPLVector> value = throughLock(mForceLock, mShape->force(), force))
        mShape->setForce(*value);
}

void SPLObjectLocker::setDrag(double drag)
{
    mShape->setDrag(drag);
}

void SPLObjectLocker::setHeight(double height)
{
    mShape->setHeight(height);
    updateBounds();
}

void SPLObjectLocker::setMass(double mass)
{
    mShape->setMass(mass);
}

void SPLObjectLocker::setPosition(const SPLVector& position)
{
    if (const std::optional<SPLVector> value = throughLock(mPositionLock, mShape->position(), position))
        mShape->setPosition(*value);
    updateBounds();
}

void SPLObjectLocker::setRadius(double radius)
{
    mShape->setRadius(radius);
    updateBounds();
}

void SPLObjectLocker::setSolid(int solid)
{
    mShape->setSolid(solid);
}

void SPLObjectLocker::setVelocity(const SPLVector& velocity)
{
    if (const std::optional<SPLVector> value = throughLock(mVelocityLock, mShape->velocity(), velocity))
        mShape->setVelocity(*value);
}

void SPLObjectLocker::setWidth(double width)
{
    mShape->setWidth(width);
    updateBounds();
}

void SPLObjectLocker::integrate(double dt)
{
    mShape->integrate(dt);
    // A wrapped shape that moves must not leave stale bounds behind for the broad phase.
    updateBounds();
}

SPLVector SPLObjectLocker::acceleration() const
{
    return mShape->acceleration();
}

int SPLObjectLocker::tag() const
{
    return mShape->tag();
}

SPLShape* SPLObjectLocker::clone() const
{
    SPLObjectLocker* objectLocker =
        new (std::nothrow) SPLObjectLocker(*mShape, mPositionLock, mVelocityLock, mForceLock);
    DBG_ASSERT("Object locker created successfully." && objectLocker);
    return objectLocker;
}

double SPLObjectLocker::time() const
{
    return mShape->time();
}

SPLEdge SPLObjectLocker::edge(int edge) const
{
    return edgeOf(mEdges, edge);
}

SPLVector SPLObjectLocker::force() const
{
    return mShape->force();
}

SPLBox SPLObjectLocker::box() const
{
    return mBox;
}

double SPLObjectLocker::drag() const
{
    return mShape->drag();
}

double SPLObjectLocker::height() const
{
    return mShape->height();
}

double SPLObjectLocker::mass() const
{
    return mShape->mass();
}

SPLVector SPLObjectLocker::position() const
{
    return mShape->position();
}

double SPLObjectLocker::radius() const
{
    return mShape->radius();
}

int SPLObjectLocker::kind() const
{
    return mShape->kind();
}

int SPLObjectLocker::solid() const
{
    return mShape->solid();
}

SPLVector SPLObjectLocker::velocity() const
{
    return mShape->velocity();
}

double SPLObjectLocker::width() const
{
    return mShape->width();
}
