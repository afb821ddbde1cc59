#include "spl/splsystem.h"

#include "foundation/dbg.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <new>
#include <set>
#include <utility>

namespace
{

std::set<const SPLSystem*>& liveSystems()
{
    static std::set<const SPLSystem*> systems;
    return systems;
}

template <typename T>
typename std::vector<T*>::iterator findStored(std::vector<T*>& stored, T* item)
{
    const auto at = std::lower_bound(stored.begin(), stored.end(), item, std::less<T*>());
    return at != stored.end() && *at == item ? at : stored.end();
}

template <typename T>
T* insertStored(std::vector<T*>& stored, std::unique_ptr<T> item)
{
    const auto at = std::lower_bound(stored.begin(), stored.end(), item.get(), std::less<T*>());
    stored.insert(at, item.get());
    return item.release();
}

} // namespace

SPLSystem::~SPLSystem()
{
    clearContacts();
    for (SPLShape* shape : mShapes)
        delete shape;
    for (SPLVortex* vortex : mVortices)
        delete vortex;
    mShapes.clear();
    mVortices.clear();
    mTime = -1.0;
    mLockCount = -1;
}

SPLShape* SPLSystem::addShape(const SPLShape& shape)
{
    std::unique_ptr<SPLShape> stored(shape.clone());
    stored->setTime(mTime);
    return insertStored(mShapes, std::move(stored));
}

void SPLSystem::removeShape(SPLShape* shape)
{
    const auto at = findStored(mShapes, shape);
    DBG_CHECK(at != mShapes.end(), "Shape not stored in the system.");
    mShapes.erase(at);
    delete shape;
}

SPLVortex* SPLSystem::addVortex(const SPLVortex& vortex)
{
    return insertStored(mVortices, std::unique_ptr<SPLVortex>(vortex.clone()));
}

void SPLSystem::removeVortex(SPLVortex* vortex)
{
    const auto at = findStored(mVortices, vortex);
    DBG_CHECK(at != mVortices.end(), "Vortex not stored in the system.");
    mVortices.erase(at);
    delete vortex;
}

void SPLSystem::run(double dt, int n)
{
    for (int i = 0; i < n; ++i)
        step(dt / n);
}

void SPLSystem::step(double dt)
{
    // Each shape's forces and motion depend on that shape alone, so one pass per shape does what a pass per stage
    // would. Forces are added as they are; the mass enters only through the acceleration.
    for (SPLShape* stored : mShapes)
    {
        visitShape(*stored,
                   [&](auto& shape)
                   {
                       shape.setForce(SPLVector());
                       shape.setForce(shape.force() + scaled(-shape.drag(), shape.velocity()));
                       const SPLVector position = shape.position();
                       for (const SPLVortex* vortex : mVortices)
                       {
                           const auto [radial, tangential] = vortex->forces(position);
                           shape.setForce(shape.force() + radial + tangential);
                       }
                       shape.integrate(dt);
                   });
    }
    mTime += dt;
    mGroups.split(mShapes, 1);
    for (std::size_t g = 0; g < mGroups.count(); ++g)
        mNarrowPhase.collide(mGroups.group(g), mCollisions, mOverlaps);
}

void SPLSystem::lock()
{
    ++mLockCount;
}

void SPLSystem::unlock()
{
    DBG_CHECK(mLockCount > 0, "Unlock without a lock.");
    if (--mLockCount == 0)
        clearContacts();
}

void SPLSystem::clearContacts()
{
    mCollisions.clear();
    mOverlaps.clear();
}

std::vector<SPLGroup> SPLSystem::findGroups() const
{
    return splitGroup(mShapes, 1);
}

SPLSystem* createSystem()
{
    SPLSystem* system = new (std::nothrow) SPLSystem();
    DBG_ASSERT("System created successfully." && system);
    liveSystems().insert(system);
    return system;
}

void destroySystem(SPLSystem* system)
{
    DBG_CHECK(systemIsLive(system), "Unknown system.");
    liveSystems().erase(system);
    delete system;
}

bool systemIsLive(const SPLSystem* system)
{
    return liveSystems().count(system) != 0;
}
