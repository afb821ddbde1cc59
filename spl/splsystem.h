#pragma once
// The physics world: it owns clones of the shapes and vortices added to it, advances them in equal sub-steps
// (forces, integration, then collisions) and lists which pairs of shapes collided and which only overlapped.
//
// Depends on spl/splcontacts.h, spl/splgroups.h, spl/splshape.h, spl/splvector.h and foundation/dbg.h. Single-threaded.

#include "spl/splcontacts.h"
#include "spl/splgroups.h"
#include "spl/splshape.h"
#include "spl/splvector.h"

#include <cstddef>
#include <span>
#include <vector>

class SPLSystem
{
public:
    SPLSystem(const SPLSystem&) = delete;
    SPLSystem& operator=(const SPLSystem&) = delete;

    /// Stores a clone of the shape stamped with the system's time and returns it; the system owns the clone,
    /// the caller keeps using it to read and change the body.
    SPLShape* addShape(const SPLShape& shape);
    /// Takes a shape that addShape returned out of the system and destroys it. No contact pair may refer to it.
    void removeShape(SPLShape* shape);
    /// Stores a clone of the vortex and returns it; the system owns the clone.
    SPLVortex* addVortex(const SPLVortex& vortex);
    /// Takes a vortex that addVortex returned out of the system and destroys it.
    void removeVortex(SPLVortex* vortex);
    /// n steps of dt / n seconds each; nothing for n <= 0.
    void run(double dt, int n);
    /// One step of dt seconds: forces, integration, time, broad phase, narrow phase.
    void step(double dt);
    /// Holds the contact lists: they keep collecting until the matching unlock.
    void lock();
    /// Releases one lock; the unlock that brings the count back to 0 empties both contact lists.
    void unlock();
    /// The solid pairs pushed apart and bounced since the lists were last emptied.
    const std::vector<SPLShapePair>& collisions() const { return mCollisions; }
    /// The pairs with a non-solid shape that overlapped since the lists were last emptied.
    const std::vector<SPLShapePair>& overlaps() const { return mOverlaps; }
    /// The stored shapes, ordered by address.
    const std::vector<SPLShape*>& shapes() const { return mShapes; }
    /// The stored vortices, ordered by address.
    const std::vector<SPLVortex*>& vortices() const { return mVortices; }
    /// The simulated time in seconds.
    double time() const { return mTime; }
    int lockCount() const { return mLockCount; }
    /// The broad phase over every stored shape: splitGroup on axis 1.
    std::vector<SPLGroup> findGroups() const;

private:
    friend SPLSystem* createSystem();
    friend void destroySystem(SPLSystem* system);

    SPLSystem() = default;
    ~SPLSystem();

    void clearContacts();

    SPLGroups mGroups;
    SPLNarrowPhase mNarrowPhase;

    std::vector<SPLShape*> mShapes;
    std::vector<SPLVortex*> mVortices;
    std::vector<SPLShapePair> mCollisions;
    std::vector<SPLShapePair> mOverlaps;
    double mTime = 0.0;
    int mLockCount = 0;
};

/// A new, empty system at time 0, owned by the caller until destroySystem.
SPLSystem* createSystem();
/// Destroys a system from createSystem with every pair, shape and vortex it still holds.
void destroySystem(SPLSystem* system);
/// Whether the system came from createSystem and is not destroyed yet.
bool systemIsLive(const SPLSystem* system);
