#pragma once
// The bodies of the physics library: the abstract shape, the circle body SPLSphere, and SPLObjectLocker, which
// wraps a copy of another shape and filters changes of its position, velocity and force through locks.
//
// Depends on spl/splvector.h and foundation/dbg.h. Shapes are not copyable; clone() makes the copies.

#include "foundation/dbg.h"
#include "spl/splvector.h"

#include <memory>
#include <typeinfo>

/// The root of the shape classes: a use count that contact pairs raise while they refer to the object.
class SPLObject
{
public:
    SPLObject() = default;
    SPLObject(const SPLObject&) = delete;
    SPLObject& operator=(const SPLObject&) = delete;
    virtual ~SPLObject() = default;

    /// One more pair refers to the object.
    void addUse() { ++mUseCount; }
    /// One pair fewer refers to the object.
    void releaseUse() { --mUseCount; }
    /// How many contact pairs refer to the object; 0 when built.
    int useCount() const { return mUseCount; }

private:
    int mUseCount = 0;
};

/// Edge 1..4 of a shape's four; another number throws "Unknown edge.".
inline const SPLEdge& edgeOf(const SPLEdge (&edges)[4], int edge)
{
    DBG_CHECK(edge >= 1 && edge <= 4, "Unknown edge.");
    return edges[edge - 1];
}

/// The values of SPLShape::kind.
struct SPLShapeKind
{
    static constexpr int SPHERE = 1;
};

/// The values of the three locks of SPLObjectLocker.
struct SPLLockKind
{
    static constexpr int FREE = 1;   ///< the new value passes unchanged
    static constexpr int KEEP_X = 2; ///< the current x stays, the new y is taken
    static constexpr int KEEP_Y = 3; ///< the current y stays, the new x is taken
    static constexpr int FIXED = 4;  ///< the set is ignored
};

/// A body of the physics system. Positions in world units, time in seconds.
class SPLShape : public SPLObject
{
public:
    ~SPLShape() override = default;
    /// The owner's tag, by which the game finds its object for a shape.
    virtual void setTag(int tag) = 0;
    /// The time stamp, in seconds.
    virtual void setTime(double time) = 0;
    /// Stores the force and recomputes the acceleration (force / mass).
    virtual void setForce(const SPLVector& force) = 0;
    /// The drag coefficient: step adds -drag * velocity to the force.
    virtual void setDrag(double drag) = 0;
    virtual void setHeight(double height) = 0;
    /// Stores the mass and recomputes the acceleration.
    virtual void setMass(double mass) = 0;
    /// Stores the position and recomputes box and edges.
    virtual void setPosition(const SPLVector& position) = 0;
    /// Stores the radius and recomputes box and edges.
    virtual void setRadius(double radius) = 0;
    /// 1 is solid (collides and bounces); any other value only overlaps.
    virtual void setSolid(int solid) = 0;
    virtual void setVelocity(const SPLVector& velocity) = 0;
    virtual void setWidth(double width) = 0;
    /// Advances by dt seconds under the current acceleration.
    virtual void integrate(double dt) = 0;
    virtual SPLVector acceleration() const = 0;
    virtual int tag() const = 0;
    /// A new copy, owned by the caller (delete it).
    virtual SPLShape* clone() const = 0;
    virtual double time() const = 0;
    /// Edge 1 left, 2 right, 3 top, 4 bottom; another number throws "Unknown edge.".
    virtual SPLEdge edge(int edge) const = 0;
    virtual SPLVector force() const = 0;
    virtual SPLBox box() const = 0;
    virtual double drag() const = 0;
    virtual double height() const = 0;
    virtual double mass() const = 0;
    virtual SPLVector position() const = 0;
    virtual double radius() const = 0;
    /// SPLShapeKind.
    virtual int kind() const = 0;
    virtual int solid() const = 0;
    virtual SPLVector velocity() const = 0;
    virtual double width() const = 0;
};

/// A circle body. Its box and edges always describe its current position and radius.
class SPLSphere final : public SPLShape
{
public:
    SPLSphere(double radius, double mass, int solid, double drag, const SPLVector& position, const SPLVector& velocity,
              const SPLVector& force, double time, int tag);
    /// Marks the sphere destroyed: radius, mass and drag -1, not solid, empty box, edges of type 2.
    ~SPLSphere() override;

    void setTag(int tag) override;
    void setTime(double time) override;
    void setForce(const SPLVector& force) override;
    void setDrag(double drag) override;
    /// Throws "Spheres have no height.".
    void setHeight(double height) override;
    void setMass(double mass) override;
    void setPosition(const SPLVector& position) override;
    void setRadius(double radius) override;
    void setSolid(int solid) override;
    void setVelocity(const SPLVector& velocity) override;
    /// Throws "Spheres have no width.".
    void setWidth(double width) override;
    /// v' = v + a dt, p' = p + dt (v + a dt / 2); the acceleration stays.
    void integrate(double dt) override;
    SPLVector acceleration() const override;
    int tag() const override;
    SPLShape* clone() const override;
    double time() const override;
    SPLEdge edge(int edge) const override;
    SPLVector force() const override;
    SPLBox box() const override;
    double drag() const override;
    /// Throws "Spheres have no height.".
    double height() const override;
    double mass() const override;
    SPLVector position() const override;
    double radius() const override;
    int kind() const override;
    int solid() const override;
    SPLVector velocity() const override;
    /// Throws "Sheres have no width.".
    double width() const override;

private:
    void updateBounds();

    double mRadius;
    SPLVector mForce;
    SPLVector mAcceleration;
    SPLVector mVelocity;
    SPLVector mPosition;
    double mMass;
    int mSolid;
    double mDrag;
    double mTime;
    int mTag;
    SPLBox mBox;
    SPLEdge mEdges[4];
};

// The sphere's hot members are inline, so that code that knows it holds a sphere (visitShape) calls them directly.
inline void SPLSphere::updateBounds()
{
    const double xmin = mPosition.x() - mRadius;
    const double ymin = mPosition.y() - mRadius;
    mBox = SPLBox(xmin, xmin + 2.0 * mRadius, ymin, ymin + 2.0 * mRadius);
    mEdges[0] = {SPLEdgeType::LOWER, this, mBox.xmin()};
    mEdges[1] = {SPLEdgeType::UPPER, this, mBox.xmax()};
    mEdges[2] = {SPLEdgeType::UPPER, this, mBox.ymax()};
    mEdges[3] = {SPLEdgeType::LOWER, this, mBox.ymin()};
}

inline void SPLSphere::setForce(const SPLVector& force)
{
    mForce = force;
    mAcceleration = mForce / mMass;
}

inline void SPLSphere::setPosition(const SPLVector& position)
{
    mPosition = position;
    updateBounds();
}

inline void SPLSphere::setVelocity(const SPLVector& velocity)
{
    mVelocity = velocity;
}

inline void SPLSphere::integrate(double dt)
{
    const SPLVector v = mVelocity;
    mVelocity = v + mAcceleration * dt;
    mPosition = mPosition + scaled(dt, v + mAcceleration * 0.5 * dt);
    updateBounds();
}

inline SPLEdge SPLSphere::edge(int edge) const
{
    return edgeOf(mEdges, edge);
}

inline SPLVector SPLSphere::force() const
{
    return mForce;
}

inline double SPLSphere::drag() const
{
    return mDrag;
}

inline double SPLSphere::mass() const
{
    return mMass;
}

inline SPLVector SPLSphere::position() const
{
    return mPosition;
}

inline double SPLSphere::radius() const
{
    return mRadius;
}

inline int SPLSphere::kind() const
{
    return SPLShapeKind::SPHERE;
}

inline int SPLSphere::solid() const
{
    return mSolid;
}

inline SPLVector SPLSphere::velocity() const
{
    return mVelocity;
}

/// Calls f with the shape as an SPLSphere when it is exactly one, so that the calls bind directly and inline, and
/// as the SPLShape it is otherwise; returns what f returns.
template <typename F>
decltype(auto) visitShape(SPLShape& shape, F&& f)
{
    if (typeid(shape) == typeid(SPLSphere))
        return f(static_cast<SPLSphere&>(shape));
    return f(shape);
}

/// Wraps its own copy of a shape; sets of position, velocity and force pass through a lock each (SPLLockKind),
/// everything else is forwarded. Its box and edges are its own copies, with the locker as the edges' owner.
class SPLObjectLocker final : public SPLShape
{
public:
    /// Wraps a clone of the shape; the locks are checked when a set uses them ("Unknown lock.").
    SPLObjectLocker(const SPLShape& shape, int positionLock, int velocityLock, int forceLock);
    /// Destroys the wrapped copy; the locks become 0, the box empty, the edges of type 2.
    ~SPLObjectLocker() override;

    void setTag(int tag) override;
    void setTime(double time) override;
    /// Through the force lock.
    void setForce(const SPLVector& force) override;
    void setDrag(double drag) override;
    void setHeight(double height) override;
    void setMass(double mass) override;
    /// Through the position lock.
    void setPosition(const SPLVector& position) override;
    void setRadius(double radius) override;
    void setSolid(int solid) override;
    /// Through the velocity lock.
    void setVelocity(const SPLVector& velocity) override;
    void setWidth(double width) override;
    /// Moves the wrapped shape by its own velocity and acceleration, whatever the locks say.
    void integrate(double dt) override;
    SPLVector acceleration() const override;
    int tag() const override;
    SPLShape* clone() const override;
    double time() const override;
    SPLEdge edge(int edge) const override;
    SPLVector force() const override;
    SPLBox box() const override;
    double drag() const override;
    double height() const override;
    double mass() const override;
    SPLVector position() const override;
    double radius() const override;
    int kind() const override;
    int solid() const override;
    SPLVector velocity() const override;
    double width() const override;

private:
    void updateBounds();

    int mPositionLock;
    int mVelocityLock;
    int mForceLock;
    std::unique_ptr<SPLShape> mShape;
    SPLBox mBox;
    SPLEdge mEdges[4];
};
