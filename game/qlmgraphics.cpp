#include "game/qlmgraphics.h"

#include "egl/egl.h"
#include "egl/eglsprite.h"
#include "egl/egltext.h"
#include "foundation/dbg.h"
#include "game/qlmlookup.h"
#include "platform/egc.h"

#include <algorithm>
#include <iterator>
#include <map>

namespace
{

const QLMDeviceRecord DEVICE_RECORDS[] = {
    {QLMDevices::WINDOW_DEVICE_ID, EGL::HARDWARE_DEVICE, EGL::WINDOW_TARGET, 0, 0, 0, 0, 0, 0},
    {QLMDevices::SCREEN_640X480_DEVICE_ID, EGL::HARDWARE_DEVICE, EGL::FULL_SCREEN_TARGET, 640, 480, 50, 0, 4, 3},
    {QLMDevices::SCREEN_800X600_DEVICE_ID, EGL::HARDWARE_DEVICE, EGL::FULL_SCREEN_TARGET, 800, 600, 50, 0, 4, 3},
    {QLMDevices::SCREEN_1024X768_DEVICE_ID, EGL::HARDWARE_DEVICE, EGL::FULL_SCREEN_TARGET, 1024, 768, 50, 0, 4, 3},
};
constexpr int DEVICE_RECORD_COUNT = static_cast<int>(std::size(DEVICE_RECORDS));

const QLMTextureRecord TEXTURE_RECORDS[] = {
    {QLMTextureID::FONT_TEXTURE_ID, "font.egl", 0},
    {QLMTextureID::SPLODS_TEXTURE_ID, "splods.egl", 0},
    {QLMTextureID::PILLS_TEXTURE_ID, "pills.egl", 0},
    {QLMTextureID::BULLETS_TEXTURE_ID, "bullets.egl", 0},
    {QLMTextureID::GUN_TEXTURE_ID, "gun.egl", 0},
    {QLMTextureID::PRODUCT_LOGO_TEXTURE_ID, "quillom.egl", 0},
    {QLMTextureID::MAKER_LOGO_TEXTURE_ID, "tarnwick.egl", 0},
    {QLMTextureID::PARTICLES_TEXTURE_ID, "particles.egl", 0},
    {QLMTextureID::STARS_TEXTURE_ID, "stars.egl", 0},
    {QLMTextureID::PLATE_TEXTURE_ID, "plate.egl", 0},
    {QLMTextureID::SCENERY_TEXTURE_ID, "scenery.egl", 0},
};

const QLMSpriteTypeRecord SPRITE_TYPE_RECORDS[] = {
    {QLMSpriteTypeID::SPLODS_SPRITE_TYPE_ID, EGL::ALPHA_BLENDING, QLMTextureID::SPLODS_TEXTURE_ID, 4, 4, 1, 1, 0.5f,
     0.5f},
    {QLMSpriteTypeID::PILLS_SPRITE_TYPE_ID, EGL::ALPHA_BLENDING, QLMTextureID::PILLS_TEXTURE_ID, 8, 8, 1, 1, 0.5f,
     0.5f},
    {QLMSpriteTypeID::BULLETS_SPRITE_TYPE_ID, EGL::ALPHA_BLENDING, QLMTextureID::BULLETS_TEXTURE_ID, 2, 2, 1, 1, 0.5f,
     0.5f},
    {QLMSpriteTypeID::GUN_SPRITE_TYPE_ID, EGL::ALPHA_BLENDING, QLMTextureID::GUN_TEXTURE_ID, 1, 1, 1, 1, 0.5f, 0.5f},
    // The product logo hangs below its position, the maker logo stands above it.
    {QLMSpriteTypeID::PRODUCT_LOGO_SPRITE_TYPE_ID, EGL::ADDITIVE_BLENDING, QLMTextureID::PRODUCT_LOGO_TEXTURE_ID, 1, 1,
     1200, 600, 0.5f, 1.0f},
    {QLMSpriteTypeID::MAKER_LOGO_SPRITE_TYPE_ID, EGL::ALPHA_BLENDING, QLMTextureID::MAKER_LOGO_TEXTURE_ID, 1, 1, 512,
     512, 0.5f, 0.0f},
    {QLMSpriteTypeID::PARTICLES_SPRITE_TYPE_ID, EGL::ADDITIVE_BLENDING, QLMTextureID::PARTICLES_TEXTURE_ID, 4, 4, 2, 2,
     0.5f, 0.5f},
    {QLMSpriteTypeID::STARS_SPRITE_TYPE_ID, EGL::ALPHA_BLENDING, QLMTextureID::STARS_TEXTURE_ID, 4, 4, 1, 1, 0.5f,
     0.5f},
    {QLMSpriteTypeID::PLATE_SPRITE_TYPE_ID, EGL::ALPHA_BLENDING, QLMTextureID::PLATE_TEXTURE_ID, 1, 1, 1, 1, 0.5f,
     0.5f},
    {QLMSpriteTypeID::SCENERY_SPRITE_TYPE_ID, EGL::NO_BLENDING, QLMTextureID::SCENERY_TEXTURE_ID, 1, 1, 1, 1, 0.5f,
     0.5f},
};

const QLMFontRecord FONT_RECORDS[] = {
    {QLMFontID::SMALL_FONT_ID, QLMTextureID::FONT_TEXTURE_ID, EGLFont::PIXEL_WIDTH, 4.0f, 0.0f, 32.0f, 32.0f},
    {QLMFontID::LARGE_FONT_ID, QLMTextureID::FONT_TEXTURE_ID, EGLFont::PIXEL_WIDTH, 4.0f, 0.0f, 64.0f, 64.0f},
};

// The view space, in units: every screen places its sprites and labels in it.
constexpr float SPACE_LEFT = -800.0f;
constexpr float SPACE_RIGHT = 800.0f;
constexpr float SPACE_BOTTOM = -600.0f;
constexpr float SPACE_TOP = 600.0f;

// The window's place for the windowed device, screen pixels.
constexpr EGCRectangle WINDOW_DEVICE_RECTANGLE(0, 0, 800, 600);

std::map<int, EGLTexture*> fTextureMap;
std::map<int, EGLSpriteType*> fSpriteTypeMap;
std::map<int, EGLFont*> fFontMap;
EGLDevice* fDevice = nullptr;
EGLSpace* fSpace = nullptr;
int mDeviceID = 0;

// Chooses the device of the ID in the graphics library's current list and opens it; the windowed device first
// gets the window's own place.
void openPickedDevice(int deviceID)
{
    if (deviceID == QLMDevices::WINDOW_DEVICE_ID)
        window()->setRectangle(WINDOW_DEVICE_RECTANGLE);
    EGLDevice* device = pickDevice(deviceID);
    graphicsLibrary()->openDevice(device);
    fDevice = device;
    DBG_ASSERT(deviceIsOpen());
}

} // namespace

void initializeGraphics()
{
    DBG_ASSERT(!deviceIsOpen());
    openPickedDevice(QLMDevices::SCREEN_800X600_DEVICE_ID);
    mDeviceID = QLMDevices::SCREEN_800X600_DEVICE_ID;
    openTextures();
    openSpriteTypes();
    openFonts();
    DBG_ASSERT(!spaceIsOpen());
    fSpace = graphicsLibrary()->createSpace(SPACE_LEFT, SPACE_RIGHT, SPACE_BOTTOM, SPACE_TOP);
    DBG_ASSERT(spaceIsOpen());
}

void shutdownGraphics()
{
    DBG_ASSERT(spaceIsOpen());
    graphicsLibrary()->destroy(fSpace);
    fSpace = nullptr;
    DBG_ASSERT(fontsAreOpen());
    for (const auto& [id, font] : fFontMap)
        destroyFont(font);
    fFontMap.clear();
    DBG_ASSERT(!fontsAreOpen());
    DBG_ASSERT(spriteTypesAreOpen());
    for (const auto& [id, spriteType] : fSpriteTypeMap)
        destroySpriteType(spriteType);
    fSpriteTypeMap.clear();
    DBG_ASSERT(!spriteTypesAreOpen());
    closeTextures();
    closeGraphicsDevice();
}

void openTextures()
{
    DBG_ASSERT(!texturesAreOpen());
    for (const QLMTextureRecord& record : TEXTURE_RECORDS)
    {
        EGLImage image;
        readImageFile(record.fileName, image);
        fTextureMap[record.id] = graphicsLibrary()->createTexture(image);
    }
    DBG_ASSERT(texturesAreOpen());
}

void closeTextures()
{
    DBG_ASSERT(texturesAreOpen());
    for (const auto& [id, texture] : fTextureMap)
        graphicsLibrary()->destroy(texture);
    fTextureMap.clear();
    DBG_ASSERT(!texturesAreOpen());
}

void openSpriteTypes()
{
    DBG_ASSERT(!spriteTypesAreOpen());
    for (const QLMSpriteTypeRecord& record : SPRITE_TYPE_RECORDS)
    {
        EGLBlendingMethod* blender = graphicsLibrary()->blendingMethod(record.blendingMethod);
        EGLTexture* texture = lookUp(fTextureMap, record.textureID, "Unknown texture ID.");
        fSpriteTypeMap[record.id] =
            createSpriteType(graphicsLibrary(), blender, texture, record.frameColumnCount, record.frameRowCount,
                             record.width, record.height, record.anchorX, record.anchorY);
    }
    DBG_ASSERT(spriteTypesAreOpen());
}

void openFonts()
{
    DBG_ASSERT(!fontsAreOpen());
    for (const QLMFontRecord& record : FONT_RECORDS)
    {
        EGLTexture* texture = lookUp(fTextureMap, record.textureID, "Unknown texture ID.");
        fFontMap[record.id] = createFont(texture, record.widthMode, record.glyphSpaceX, record.glyphSpaceY,
                                         record.frameWidth, record.frameHeight);
    }
    DBG_ASSERT(fontsAreOpen());
}

bool deviceIsOpen()
{
    return fDevice != nullptr;
}

bool spaceIsOpen()
{
    return fSpace != nullptr;
}

bool texturesAreOpen()
{
    return !fTextureMap.empty();
}

bool spriteTypesAreOpen()
{
    return !fSpriteTypeMap.empty();
}

bool fontsAreOpen()
{
    return !fFontMap.empty();
}

EGLSpriteType* getSpriteType(int spriteTypeID)
{
    return lookUp(fSpriteTypeMap, spriteTypeID, "Unknown sprite type ID.");
}

EGLFont* getFont(int fontID)
{
    return lookUp(fFontMap, fontID, "Unknown font ID.");
}

EGLSpace* getSpace()
{
    return fSpace;
}

void clearScreen(std::uint32_t color)
{
    graphicsLibrary()->clearTarget(color);
}

EGLDevice* graphicsDevice()
{
    DBG_ASSERT(deviceIsOpen());
    return fDevice;
}

void closeGraphicsDevice()
{
    DBG_ASSERT(deviceIsOpen());
    // The library builds its device list anew: the device and every other one it lent out are gone.
    graphicsLibrary()->closeDevice();
    fDevice = nullptr;
}

void reopenGraphicsDevice()
{
    DBG_ASSERT(!deviceIsOpen());
    DBG_ASSERT((QLMDevices::MIN_DEVICE_ID < mDeviceID) && (mDeviceID < QLMDevices::MAX_DEVICE_ID));
    openPickedDevice(mDeviceID);
}

void changeGraphicsDevice(int deviceID)
{
    DBG_ASSERT(deviceIsOpen());
    // An unknown ID fails before the open device is given up.
    deviceRecord(deviceID);
    closeGraphicsDevice();
    openPickedDevice(deviceID);
    mDeviceID = deviceID;
}

const QLMDeviceRecord& deviceRecord(int deviceID)
{
    DBG_ASSERT((QLMDevices::MIN_DEVICE_ID < deviceID) && (deviceID < QLMDevices::MAX_DEVICE_ID));
    int i = 0;
    while ((i < DEVICE_RECORD_COUNT) && (DEVICE_RECORDS[i].id != deviceID))
        ++i;
    DBG_ASSERT("DeviceRecord found." && (i < DEVICE_RECORD_COUNT));
    return DEVICE_RECORDS[i];
}

EGLDevice* pickDevice(int deviceID)
{
    const QLMDeviceRecord& record = deviceRecord(deviceID);
    return pickDevice(record, enumerateSortedDevices());
}

EGLDevice* pickDevice(const QLMDeviceRecord& record, const std::vector<EGLDevice*>& sortedDevices)
{
    const int DEVICE_COUNT = static_cast<int>(sortedDevices.size());
    DBG_ASSERT(0 < DEVICE_COUNT);
    // Which tests some device passed, so that a failure names the first test that none passed.
    bool someDevicesHaveOkType = false;
    bool someDevicesHaveOkTarget = false;
    bool someDevicesHaveOkWidth = false;
    bool someDevicesHaveOkHeight = false;
    bool someDevicesHaveOkRate = false;
    bool someDevicesHaveOkRatio = false;
    int i = 0;
    for (; i < DEVICE_COUNT; ++i)
    {
        const EGLDevice* device = sortedDevices[i];
        DBG_ASSERT(device);
        const std::int32_t width = device->width();
        const std::int32_t height = device->height();
        const std::int32_t rate = device->refreshRate();
        DBG_ASSERT(0 <= rate);
        const bool okType = device->type() == record.type;
        const bool okTarget = device->target() == record.target;
        const bool okWidth = record.minimumWidth <= width;
        const bool okHeight = record.minimumHeight <= height;
        // A rate of 0 is the driver's default, which serves every record.
        const bool okRate = (rate == 0) || (record.minimumRate <= rate);
        const bool okRatio = (record.checkRatio == 0) || ((record.ratioX > 0) && (width % record.ratioX == 0) &&
                                                          (height == (width / record.ratioX) * record.ratioY));
        someDevicesHaveOkType = someDevicesHaveOkType || okType;
        someDevicesHaveOkTarget = someDevicesHaveOkTarget || okTarget;
        someDevicesHaveOkWidth = someDevicesHaveOkWidth || okWidth;
        someDevicesHaveOkHeight = someDevicesHaveOkHeight || okHeight;
        someDevicesHaveOkRate = someDevicesHaveOkRate || okRate;
        someDevicesHaveOkRatio = someDevicesHaveOkRatio || okRatio;
        if (okType && okTarget && okWidth && okHeight && okRate && okRatio)
            break;
    }
    DBG_ASSERT(someDevicesHaveOkType);
    DBG_ASSERT(someDevicesHaveOkTarget);
    DBG_ASSERT(someDevicesHaveOkWidth);
    DBG_ASSERT(someDevicesHaveOkHeight);
    DBG_ASSERT(someDevicesHaveOkRate);
    DBG_ASSERT(someDevicesHaveOkRatio);
    DBG_ASSERT("Device found." && (i < DEVICE_COUNT));
    return sortedDevices[i];
}

std::vector<EGLDevice*> enumerateSortedDevices()
{
    EGL* egl = graphicsLibrary();
    std::vector<EGLDevice*> devices;
    for (std::int32_t index = 0; index < egl->deviceCount(); ++index)
        devices.push_back(egl->device(index));
    std::sort(devices.begin(), devices.end(), compareDevices);
    return devices;
}

bool compareDevices(const EGLDevice* a, const EGLDevice* b)
{
    const std::int64_t areaA = static_cast<std::int64_t>(a->width()) * a->height();
    const std::int64_t areaB = static_cast<std::int64_t>(b->width()) * b->height();
    if (areaA != areaB)
        return areaA < areaB;
    if (a->refreshRate() != b->refreshRate())
        return a->refreshRate() < b->refreshRate();
    if (a->isPrimary() != b->isPrimary())
        return a->isPrimary();
    return a->format() < b->format();
}
