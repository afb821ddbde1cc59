#include "spl/splsystem.h"

#include "foundation/dbg.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <new>
#include <set>

namespace
{

std::set<const SPLSystem*>& liveSystems()
{
    static std::set<const SPLSystem*> systems;
    return systems;
}

// A squared distance at or above rsum^2 * (1 + slack) can never pass the exact test sqrt(d.d) < rsum, whatever
// the rounding; the slack is far above double rounding error and far below any contact that matters.
constexpr double PREFILTER_SLACK = 1.0 + 1e-9;

// Perfectly elastic along d, with the velocities across d unchanged; no test whether the two approach.
void bounce(SPLShape& a, SPLShape& b, const SPLVector& d)
{
    const SPLVector va = d.project(a.velocity());
    const SPLVector vb = d.project(b.velocity());
    const double ma = a.mass();
    const double mb = b.mass();
    const SPLVector centre = (va * ma + vb * mb) / (ma + mb);
    const SPLVector va2 = centre * 2.0 - va;
    const SPLVector vb2 = centre * 2.0 - vb;
    a.setVelocity(a.velocity() + (va2 - va));
    b.setVelocity(b.velocity() + (vb2 - vb));
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

SPLShapePair::SPLShapePair(SPLShape* first, SPLShape* second) : mFirst(first), mSecond(second)
{
    mFirst->addUse();
    mSecond->addUse();
}

SPLShapePair::SPLShapePair(const SPLShapePair& other) : SPLShapePair(other.mFirst, other.mSecond)
{
}

// A move hands the two uses over; the emptied pair releases nothing.
SPLShapePair::SPLShapePair(SPLShapePair&& other) noexcept : mFirst(other.mFirst), mSecond(other.mSecond)
{
    other.mFirst = nullptr;
    other.mSecond = nullptr;
}

SPLShapePair& SPLShapePair::operator=(const SPLShapePair& other)
{
    // Take the new uses before dropping the old ones, so assigning a pair to itself keeps its count.
    other.mFirst->addUse();
    other.mSecond->addUse();
    release();
    mFirst = other.mFirst;
    mSecond = other.mSecond;
    return *this;
}

SPLShapePair::~SPLShapePair()
{
    release();
}

void SPLShapePair::release()
{
    if (mFirst)
        mFirst->releaseUse();
    if (mSecond)
        mSecond->releaseUse();
}

void collideShapes(SPLShape& first, SPLShape& second, std::vector<SPLShapePair>& collisions,
                   std::vector<SPLShapePair>& overlaps)
{
    if (first.kind() != SPLShapeKind::SPHERE || second.kind() != SPLShapeKind::SPHERE)
        DBG_ERROR("Unknown Shape.");

    SPLVector d = first.position().to(second.position());
    const double dist = d.length();
    const double rsum = first.radius() + second.radius();
    if (!(dist < rsum))
        return;
    if (first.solid() != 1 || second.solid() != 1)
    {
        overlaps.emplace_back(&first, &second);
        return;
    }
    // Coincident centres have no line between them: part and bounce the pair along +x (the first to the left,
    // the second to the right) instead of dividing by the zero distance into NaN positions and velocities.
    if (dist == 0.0)
        d = SPLVector(1.0, 0.0);
    const SPLVector u = dist == 0.0 ? d : d / dist;
    const double h = (rsum - dist) * 0.5;
    first.setPosition(first.position() - scaled(h, u));
    second.setPosition(second.position() + scaled(h, u));
    bounce(first, second, d);
    collisions.emplace_back(&first, &second);
}

void SPLNarrowPhase::collide(std::span<SPLShape* const> group, std::vector<SPLShapePair>& collisions,
                             std::vector<SPLShapePair>& overlaps)
{
    // Positions and radii are read once per shape rather than once per pair. A contact moves its two shapes, so
    // their entries are read again at once, and the farthest any shape has been pushed below its place in the
    // order (drop) widens the band of y in which a later shape may still reach a row's shape.
    const std::size_t count = group.size();
    mCache.resize(count);
    bool ordered = true;
    for (std::size_t k = 0; k < count; ++k)
    {
        const SPLVector position = group[k]->position();
        const double radius = group[k]->radius();
        mCache[k] = {position.x(), position.y(), radius, position.y() - radius};
        if (k > 0 && !(mCache[k].low >= mCache[k - 1].low))
            ordered = false;
    }
    double drop = 0.0;
    const auto refresh = [&](Cached& entry, const SPLShape& shape)
    {
        const SPLVector position = shape.position();
        entry.x = position.x();
        entry.y = position.y();
        drop = std::max(drop, entry.low - (entry.y - entry.radius));
    };
    for (std::size_t i = 0; i < count; ++i)
    {
        for (std::size_t j = i + 1; j < count; ++j)
        {
            const Cached& a = mCache[i];
            const Cached& b = mCache[j];
            // Every shape from j on lies wholly above a's top: |dy| exceeds the sum of the radii, so no pair of a
            // with them can pass the exact test; the margin dwarfs the rounding of the two sides.
            const double top = a.y + a.radius;
            if (ordered && b.low - drop > top + 1e-9 * (1.0 + std::fabs(top)))
                break;
            const double dx = b.x - a.x;
            const double dy = b.y - a.y;
            const double rsum = a.radius + b.radius;
            if (dx * dx + dy * dy < rsum * rsum * PREFILTER_SLACK)
            {
                collideShapes(*group[i], *group[j], collisions, overlaps);
                refresh(mCache[i], *group[i]);
                refresh(mCache[j], *group[j]);
            }
        }
    }
}

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
    for (SPLShape* shape : mShapes)
        shape->setForce(SPLVector());
    for (SPLShape* shape : mShapes)
        shape->setForce(shape->force() + scaled(-shape->drag(), shape->velocity()));
    // Forces are added as they are; the mass enters only through the acceleration.
    for (SPLShape* shape : mShapes)
    {
        const SPLVector position = shape->position();
        for (const SPLVortex* vortex : mVortices)
        {
            shape->setForce(shape->force() + vortex->radialForce(position) + vortex->tangentialForce(position));
        }
    }
    for (SPLShape* shape : mShapes)
        shape->integrate(dt);
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
