#pragma once
// The game's pictures, drawn in code: sprite sheets, the two logos, the plate and the play field's backdrop.
//
// Every picture is square with a power-of-two side, cut into the frame grid of the sprite type that shows it.
// Pixels carry straight alpha; pictures for additive blending keep their light in colour x alpha.

#include "tools/datagen/raster.h"

#include <string>
#include <vector>

namespace datagen
{

/// How the game blends a picture onto the screen (its sprite type's blending method).
enum class Blending
{
    none,    // opaque
    alpha,   // source alpha over the inverse source alpha
    additive // colour x alpha added to the screen
};

/// One picture file: its name, its frame grid, how it is blended, the width-to-height ratio of the quad it is
/// drawn on, and how it is made.
struct PictureRecord
{
    std::string fileName;
    int frameColumns;
    int frameRows;
    Blending blending;
    int drawnAspect;
    Canvas (*make)();
};

/// The ten sprite pictures and the font, in the order of the game's texture table.
const std::vector<PictureRecord>& pictureRecords();

/// The shared palette beside the game's colour table: white, and the cyan that marks the player's side.
inline const Color WHITE{1.0f, 1.0f, 1.0f, 1.0f};
inline const Color CYAN{0.25f, 0.91f, 1.0f, 1.0f};

/// The colours of the game's colour classes 1 to 6 (red, green, blue, violet, yellow, white).
Color gameColor(int colorID);

Canvas makeSplods();
Canvas makePills();
Canvas makeBullets();
Canvas makeGun();
Canvas makeProductLogo();
Canvas makeMakerLogo();
Canvas makeParticles();
Canvas makeStars();
Canvas makePlate();
Canvas makeScenery();

} // namespace datagen
