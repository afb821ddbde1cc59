#pragma once
// The game's bodies: the ID sets every kind uses, the body base that owns one sphere of the game's physics
// system, the physics system itself, the central pull (gravity) and the search for a free spawn position.
//
// Every body's sphere carries the body's tag, an int that bodyOfTag maps back to the body: the physics library's
// tag holds an int, not a pointer. The play field is the view space of -800 to 800 by -600 to 600 units.
//
// Depends on spl/ (physics), egl/egltypes.h (two-float vectors), the random tool of platform/egc.h.

#include "egl/egl.h"
#include "egl/eglsprite.h"
#include "egl/egltypes.h"
#include "spl/spl.h"

#include <algorithm>
#include <cstdint>
#include <vector>

/// Kinds of bodies.
struct QLMObjectIDs
{
    static constexpr int SHIELD = 1;
    static constexpr int SPLOD = 2;
    static constexpr int BULLET = 3;
    static constexpr int PILL = 4;
};

/// Size classes: splods use all three, the shield 3, bullets and pills 1.
struct QLMSizeIDs
{
    static constexpr int SMALL = 1;
    static constexpr int MEDIUM = 2;
    static constexpr int LARGE = 3;
    static bool isValidID(int id) { return 0 < id && id < 4; }
};

/// Colour classes. Splods, bullets and shells use 1 to 4; pills 1, 2 and 5; the shield 1; white no body.
struct QLMColorIDs
{
    static constexpr int RED = 1;
    static constexpr int GREEN = 2;
    static constexpr int BLUE = 3;
    static constexpr int VIOLET = 4;
    static constexpr int YELLOW = 5;
    static constexpr int WHITE = 6;
    static bool isValidID(int id) { return 0 < id && id < 7; }
};

/// A colour of splods, bullets and shells, 1 to 4, each equally likely (uniformInteger of the random tool over 0
/// to 3); a draw outside 0 to 3 throws the Error "Unknown choice.".
int randomShellColor();

/// The ARGB colour of a colour ID 1 to 6; another ID throws the Error "Unknown color ID.".
std::uint32_t colorOfID(int colorID);

/// Distance from the centre to a corner of the play field: sqrt(600^2 + 800^2).
extern const double FIELD_CORNER_DISTANCE;
/// Pills and splods spawn this far out: the corner distance plus the radius of the kind's largest body.
extern const double PILL_SPAWN_DISTANCE;
extern const double SPLOD_SPAWN_DISTANCE;

/// Base of every moving thing of the play field. It owns one sphere in the game's physics system: the
/// constructor adds a clone of the given shape to the system and tags it with the body, the destructor removes
/// it again (after the kind's destructor has released its drawing objects). Not copyable.
class QLMBody
{
public:
    QLMBody(const SPLShape& shape, int objectID, int sizeID, int colorID);
    QLMBody(const QLMBody&) = delete;
    QLMBody& operator=(const QLMBody&) = delete;
    virtual ~QLMBody() noexcept(false);

    /// 1 from creation until a contact kills the body; the removal passes delete bodies whose flag is 0.
    bool isAlive() const { return fAlive != 0; }
    void kill() { fAlive = 0; }
    /// The sphere as stored in the physics system; the system owns it.
    SPLShape* sphere() const { return fSphere; }
    /// QLMObjectIDs.
    int objectID() const { return fObjectID; }
    /// QLMSizeIDs.
    int sizeID() const { return fSizeID; }
    /// QLMColorIDs.
    int colorID() const { return fColorID; }

private:
    std::uint8_t fAlive = 1;
    SPLShape* fSphere;
    int fObjectID;
    int fSizeID;
    int fColorID;
};

/// The drawing of a round body as a square sprite at its sphere: the sprite, a scaling to its diameter and a
/// translation to its position. Bullets and pills are drawn so.
class QLMBodySprite
{
public:
    /// Takes over the sprite (destroyed with this drawing) and scales it to the sphere's diameter.
    QLMBodySprite(EGLSprite* sprite, const SPLShape& sphere);
    QLMBodySprite(const QLMBodySprite&) = delete;
    QLMBodySprite& operator=(const QLMBodySprite&) = delete;
    /// Destroys the sprite, the translation and the scaling.
    ~QLMBodySprite() noexcept(false);

    /// The translation takes the sphere's current position.
    void follow(const SPLShape& sphere);
    /// Pushes the scaling and the translation and draws the sprite, inside a scene.
    void draw();

private:
    EGLSprite* fSprite;
    EGLTransform* fScaling;
    EGLTransform* fTranslation;
};

/// The body whose sphere carries the tag; every tag the physics system reports has a living body.
QLMBody* bodyOfTag(int tag);

/// Creates the game's physics system; requires none to exist.
void initializePhysics();
/// Destroys the physics system with whatever it still holds.
void shutdownPhysics();
bool physicsIsInitialized();
/// The game's physics system; requires "physicsIsInitialized()".
SPLSystem& physicsSystem();

/// Adds the central pull to the physics system: a force of 15 towards the centre from 1 to 1,000,000 units out.
void initializeGravity();
/// Removes the central pull from the physics system.
void shutdownGravity();
bool gravityIsInitialized();
/// Sets the pull for game time t (seconds): radial polynomial -(0 t + 15).
void setGravity(double t);

/// A random point on the circle of the given radius around the centre.
SPLVector randomPointOnCircle(double distance);
/// A random point on the circle of the given distance whose squared distance from every sphere's centre is at
/// least that sphere's squared radius plus radius^2; each refused point moves the circle out by 10.
SPLVector findFreePosition(double distance, double radius);
/// The vector in the graphics library's two floats.
EGLVector toFloatVector(const SPLVector& v);

/// Whether the body's centre lies farther than the distance from the centre of the field.
bool isFartherThan(const QLMBody& body, double distance);

/// Deletes every object of the list for which doomed holds and keeps the others in their order.
template <class Object, class Predicate>
void deleteIf(std::vector<Object*>& objects, Predicate doomed)
{
    std::erase_if(objects,
                  [&doomed](Object* object)
                  {
                      if (!doomed(*object))
                      {
                          return false;
                      }
                      delete object;
                      return true;
                  });
}

/// Deletes the bodies that a contact killed; the others keep their order.
template <class Body>
void deleteDeadBodies(std::vector<Body*>& bodies)
{
    deleteIf(bodies, [](const Body& body) { return !body.isAlive(); });
}

/// Deletes the bodies farther than the distance from the centre; the others keep their order.
template <class Body>
void deleteFarBodies(std::vector<Body*>& bodies, double distance)
{
    deleteIf(bodies, [distance](const Body& body) { return isFartherThan(body, distance); });
}

/// Multiplies every body's velocity by the factor.
template <class Body>
void scaleBodySpeeds(const std::vector<Body*>& bodies, double factor)
{
    for (Body* body : bodies)
    {
        body->sphere()->setVelocity(body->sphere()->velocity() * factor);
    }
}

/// Deletes every object of the list and empties it.
template <class Object>
void deleteAll(std::vector<Object*>& objects)
{
    deleteIf(objects, [](const Object&) { return true; });
}
