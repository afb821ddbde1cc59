#pragma once
// The player's side of the play field: the gun at the centre, the laser line from the gun to the pointer, the
// aim marker at the pointer, and the clip of coloured shells whose front shell colours the next bullet. Made
// once at the game's start-up and destroyed at its shut-down.
//
// Depends on game/qlmgamebullet.h (the shells' frames), the graphics and input modules, egl/.

#include "egl/egl.h"
#include "egl/eglsprite.h"

#include <array>
#include <cstddef>

/// Gun: a sprite of the gun sprite type, 128 x 128 at the origin.
void initializeGun();
void shutdownGun();
bool gunIsInitialized();
void drawGun();

/// Laser: a half-transparent red line in view space.
void initializeLaser();
void shutdownLaser();
bool laserIsInitialized();
/// Both ends at the centre.
void resetLaser();
/// From the centre to the pointer (view-space units).
void updateLaser(const EGLVector& pointer);
void drawLaser();

/// Puts the pointer at (0, 300).
void resetMousePosition();

/// Aim marker: a white plus sign with an open centre, arms from 5 to 20 units from the pointer.
void initializeAimMarker();
void shutdownAimMarker();
/// Recolours the marker with a colour 1 to 4; another throws the Error "Unknoen color ID.".
void colourAimMarker(int colorID);
/// Moves the marker to the pointer (view-space units).
void moveAimMarker(const EGLVector& pointer);
void drawAimMarker();

/// One shot waiting in the clip: a colour 1 to 4 and its sprite.
struct QLMShell
{
    int colorID;
    EGLSprite* sprite;
};

/// A new shell, owned by the caller; a colour outside 1 to 4 throws the Error "Unknown color ID.".
QLMShell* createShell(int colorID);

/// Creates the clip's transforms, zeroes its counters and loads two shells of random colours.
void initializeClip();
/// Destroys the clip's three transforms; the clip must be empty.
void shutdownClip();
/// The three transforms exist and no counter is negative.
bool clipInvariant();
/// Appends a shell of the colour at the back of the clip.
void appendShell(int colorID);
/// Loads two shells of random colours at the back.
void refillClip();
/// Deletes every shell.
void emptyClip();
/// The number of shells.
std::size_t shellCount();
/// The colour of the shell at the front, the next to be fired; the clip must not be empty.
int frontShellColor();
/// Destroys the front shell; the clip must not be empty.
void popFrontShell();
/// Turns the row of shells to the angle in radians.
void turnClip(float angle);
/// Per colour 1 to 4 (index 0 to 3) the splod weights counted at the last reload.
std::array<int, 4>& clipCounters();
/// Draws the shells from the back to the front in a row along the aim, the front one at the centre.
void drawClip();
