#pragma once
// The graphics module: chooses and opens the display device, loads the game's eleven textures, builds its ten
// sprite types and two fonts, and creates the one view space (-800 to 800 by -600 to 600, y up) in which every
// screen draws. Lends them out by ID, and closes and reopens the display device for a lost device or a new
// resolution; textures, sprite types, fonts and the space survive that.
//
// Depends on: platform/egc.h (the graphics library and the window), egl/egl.h, egl/eglsprite.h, egl/egltext.h.
// Image files are read from the working directory.

#include <cstdint>
#include <vector>

class EGLDevice;
class EGLFont;
class EGLSpace;
class EGLSpriteType;

/// Display-device IDs; the valid ones lie strictly between MIN_DEVICE_ID and MAX_DEVICE_ID.
namespace QLMDevices
{
constexpr int MIN_DEVICE_ID = 0;
constexpr int WINDOW_DEVICE_ID = 1;          // into the window, any mode
constexpr int SCREEN_640X480_DEVICE_ID = 2;  // full screen, at least 640x480 at 50 Hz or the default rate
constexpr int SCREEN_800X600_DEVICE_ID = 3;  // full screen, at least 800x600; opened at start-up
constexpr int SCREEN_1024X768_DEVICE_ID = 4; // full screen, at least 1024x768
constexpr int MAX_DEVICE_ID = 5;
} // namespace QLMDevices

/// What a display device must offer to stand for a device ID.
struct QLMDeviceRecord
{
    std::int32_t id;
    std::int32_t type;          // EGL::HARDWARE_DEVICE or EGL::REFERENCE_DEVICE
    std::int32_t target;        // EGL::WINDOW_TARGET or EGL::FULL_SCREEN_TARGET
    std::int32_t minimumWidth;  // pixels
    std::int32_t minimumHeight; // pixels
    std::int32_t minimumRate;   // Hz; a device's rate of 0 (the default) always passes
    std::int32_t checkRatio;    // 0 or 1: whether width and height must stand in ratioX:ratioY
    std::int32_t ratioX;
    std::int32_t ratioY;
};

/// A row of the texture table.
struct QLMTextureRecord
{
    std::int32_t id;
    char fileName[128];    // zero-terminated, an "EGLImage" file
    std::int32_t reserved; // 0 in every row
};

/// A row of the sprite-type table.
struct QLMSpriteTypeRecord
{
    std::int32_t id;
    std::int32_t blendingMethod; // EGL::NO_BLENDING, EGL::ALPHA_BLENDING or EGL::ADDITIVE_BLENDING
    std::int32_t textureID;
    std::int32_t frameColumnCount;
    std::int32_t frameRowCount;
    float width;   // view-space units, before the sprite's own scaling
    float height;  // view-space units
    float anchorX; // fraction of the width: 0 left edge, 1 right edge
    float anchorY; // fraction of the height: 0 bottom edge, 1 top edge
};

/// A row of the font table.
struct QLMFontRecord
{
    std::int32_t id;
    std::int32_t textureID;
    std::int32_t widthMode; // EGLFont::CELL_WIDTH or EGLFont::PIXEL_WIDTH
    float glyphSpaceX;      // view-space units between glyphs
    float glyphSpaceY;
    float frameWidth; // view-space units of one glyph cell
    float frameHeight;
};

/// Texture IDs, 1 to 11.
namespace QLMTextureID
{
constexpr int FONT_TEXTURE_ID = 1;
constexpr int SPLODS_TEXTURE_ID = 2;
constexpr int PILLS_TEXTURE_ID = 3;
constexpr int BULLETS_TEXTURE_ID = 4;
constexpr int GUN_TEXTURE_ID = 5;
constexpr int PRODUCT_LOGO_TEXTURE_ID = 6;
constexpr int MAKER_LOGO_TEXTURE_ID = 7;
constexpr int PARTICLES_TEXTURE_ID = 8;
constexpr int STARS_TEXTURE_ID = 9;
constexpr int PLATE_TEXTURE_ID = 10;
constexpr int SCENERY_TEXTURE_ID = 11;
} // namespace QLMTextureID

/// Sprite-type IDs, 1 to 10.
namespace QLMSpriteTypeID
{
constexpr int SPLODS_SPRITE_TYPE_ID = 1;       // 4 x 4 frames, 1 x 1, centred
constexpr int PILLS_SPRITE_TYPE_ID = 2;        // 8 x 8 frames, 1 x 1, centred
constexpr int BULLETS_SPRITE_TYPE_ID = 3;      // 2 x 2 frames, 1 x 1, centred
constexpr int GUN_SPRITE_TYPE_ID = 4;          // 1 x 1, centred
constexpr int PRODUCT_LOGO_SPRITE_TYPE_ID = 5; // 1200 x 600, hangs below its position, additive
constexpr int MAKER_LOGO_SPRITE_TYPE_ID = 6;   // 512 x 512, stands above its position
constexpr int PARTICLES_SPRITE_TYPE_ID = 7;    // 4 x 4 frames, 2 x 2, centred, additive
constexpr int STARS_SPRITE_TYPE_ID = 8;        // 4 x 4 frames, 1 x 1, centred
constexpr int PLATE_SPRITE_TYPE_ID = 9;        // 1 x 1, centred
constexpr int SCENERY_SPRITE_TYPE_ID = 10;     // 1 x 1, centred, opaque
} // namespace QLMSpriteTypeID

/// Font IDs, 1 and 2; both on the font texture with glyphs as wide as their pixels.
namespace QLMFontID
{
constexpr int SMALL_FONT_ID = 1; // 32 x 32 cells
constexpr int LARGE_FONT_ID = 2; // 64 x 64 cells
} // namespace QLMFontID

/// Opens device 3, the textures, sprite types and fonts, and creates the view space.
void initializeGraphics();
/// Destroys the space, the fonts, the sprite types and the textures, and closes the device.
void shutdownGraphics();
/// Reads every image file of the table and makes a texture of it.
void openTextures();
/// Destroys every texture.
void closeTextures();
/// Builds every sprite type of the table on its texture.
void openSpriteTypes();
/// Builds every font of the table on its texture.
void openFonts();

bool deviceIsOpen();
bool spaceIsOpen();
bool texturesAreOpen();
bool spriteTypesAreOpen();
bool fontsAreOpen();

/// The sprite type of the ID (1 to 10), owned by this module.
EGLSpriteType* getSpriteType(int spriteTypeID);
/// The font of the ID (1 or 2), owned by this module.
EGLFont* getFont(int fontID);
/// The view space, owned by this module; every screen begins its scene with it.
EGLSpace* getSpace();
/// Clears the render target to the ARGB colour.
void clearScreen(std::uint32_t color);

/// The open display device, owned by the graphics library, valid until the device is closed.
EGLDevice* graphicsDevice();
/// Closes the display device; nothing else is touched.
void closeGraphicsDevice();
/// Chooses the device of the last device ID again and opens it (after a lost device).
void reopenGraphicsDevice();
/// Closes the open device, then chooses and opens the device of the ID (1 to 4) and remembers the ID.
void changeGraphicsDevice(int deviceID);

/// The record of the device ID (1 to 4).
const QLMDeviceRecord& deviceRecord(int deviceID);
/// The first of the graphics library's devices, in sorted order, that meets the record of the ID (1 to 4).
EGLDevice* pickDevice(int deviceID);
/// The first of the sorted devices that meets the record; failing that, throws the check of the first test no
/// device passed, or "Device found." when each test was passed by some device but none passed all.
EGLDevice* pickDevice(const QLMDeviceRecord& record, const std::vector<EGLDevice*>& sortedDevices);
/// Every display device of the graphics library, sorted by compareDevices.
std::vector<EGLDevice*> enumerateSortedDevices();
/// Whether a goes before b: smaller area, then lower refresh rate, then the primary adapter, then the lower
/// back-buffer format.
bool compareDevices(const EGLDevice* a, const EGLDevice* b);
