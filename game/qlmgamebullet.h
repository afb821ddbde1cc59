#pragma once
// Bullets: solid bodies (object ID 3) of radius 10 fired from the centre at 1000 units per second, drawn with
// the frame of their colour in the bullet sprite type (3). The game keeps at most 1000 in flight.
//
// Depends on game/qlmgamebody.h, the graphics module (sprite type 3) and egl/.

#include "egl/eglsprite.h"
#include "game/qlmgamebody.h"

#include <vector>

/// A new sprite of the bullet sprite type at the frame of a colour 1 to 4; another colour throws the Error
/// "Unknown color ID.". The caller destroys it with destroySprite.
EGLSprite* createBulletSprite(int colorID);

class QLMBullet final : public QLMBody
{
public:
    /// A bullet of colour 1 to 4 whose sphere starts at the position (units) with the velocity (units/s).
    QLMBullet(int colorID, const SPLVector& position, const SPLVector& velocity);
    /// Destroys the drawing; then the sphere leaves the physics system.
    ~QLMBullet() noexcept(false) override = default;

    /// The drawing follows the sphere.
    void tick() { fDrawing.follow(*sphere()); }
    /// Draws the bullet inside a scene.
    void draw() { fDrawing.draw(); }

private:
    QLMBodySprite fDrawing;
};

/// A new bullet, owned by the caller (appendBullet hands it to the list).
QLMBullet* createBullet(int colorID, const SPLVector& position, const SPLVector& velocity);
/// Appends the bullet to the bullet list, which owns it from then on.
void appendBullet(QLMBullet* bullet);
/// The bullets in creation order.
const std::vector<QLMBullet*>& bullets();
/// At most 1000 bullets.
bool bulletsInvariant();
/// Moves every bullet's drawing to its sphere.
void tickBullets(double t, double dt);
void drawBullets();
/// Deletes the bullets that a contact killed; the others keep their order.
void removeDeadBullets();
/// Deletes the bullets more than 1600 units from the centre; the others keep their order.
void removeFarBullets();
/// Deletes every bullet.
void deleteBullets();
