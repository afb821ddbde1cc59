#pragma once
// The scenery: one opaque picture behind everything, a square of 2010 units (twice the field's corner distance
// plus 10) turned about the centre by a random angle, so it covers the field at every angle.
//
// Depends on egl/, the graphics module (sprite type 10) and the random tool.

/// Creates the sprite and its two transforms and turns it to a random angle.
void initializeScenery();
void shutdownScenery();
bool sceneryIsInitialized();
/// Turns the picture to a new random angle in [0, 2 pi).
void resetScenery();
void drawScenery();
