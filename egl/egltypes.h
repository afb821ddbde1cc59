#pragma once
// The graphics library's shared types: two-float vectors, stream ranges, the object model
// (users, the change/switch/resource/clone mixins, keys) and the portable image with its
// "EGLImage" file reader and writer.
//
// Depends on: foundation/dbg.h (checks), host/inputfile.h (the image file is read through it), the standard library.

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

/// A position, size or texture address: two floats, x then y.
struct EGLVector
{
    float x;
    float y;
};

/// A run of vertices or indices: {first, count}, passed by value.
struct EGLRange
{
    std::int32_t first;
    std::int32_t count;
};

/// A key is the identity of an object only the library holds; only the holder calls keyed operations.
using EGLKey = const void*;

/// Records which other objects keep a pointer to this one. Not copyable.
class EGLObject
{
public:
    EGLObject() = default;
    /// Throws the Error "Value semantics not implemented.".
    EGLObject(const EGLObject& other);
    /// Throws the Error "Value semantics not implemented.".
    EGLObject& operator=(const EGLObject& other);
    virtual ~EGLObject() noexcept(false) = default;

    /// Registers a user (by identity); a user registered twice is held twice.
    void addUser(const void* user);
    /// Removes one registration of the user; a user never added leaves the others untouched.
    void removeUser(const void* user);
    bool hasUsers() const;
    std::size_t userCount() const;

private:
    std::multiset<const void*> mUsers;
};

/// Gives an object a change bracket counted by the library.
class EGLChangeable
{
public:
    EGLChangeable() = default;
    /// Throws the Error "Value semantics not implemented.".
    EGLChangeable(const EGLChangeable& other);
    /// Throws the Error "Value semantics not implemented.".
    EGLChangeable& operator=(const EGLChangeable& other);
    /// Leaves the change counter at -1.
    virtual ~EGLChangeable() noexcept(false);

    /// Opens a change: counter + 1. The base does not examine the key.
    virtual void beginChange(EGLKey changeKey);
    /// Closes a change: counter - 1. The base does not examine the key.
    virtual void endChange(EGLKey changeKey);
    /// Brings the object's data to the device after the outermost change; nothing in the base.
    virtual void commitChange(EGLKey changeKey);

    /// Stores newKey; currentKey is not examined.
    void setChangeKey(EGLKey currentKey, EGLKey newKey);
    bool isChangeKey(EGLKey key) const;
    /// True while a change is open (counter > 0).
    bool isChanging() const;
    /// True while the counter is >= 0; part of every implementation's invariant.
    bool changeCountIsValid() const;

private:
    EGLKey mChangeKey = nullptr;
    std::int32_t mChangeCount = 0;
};

/// Gives an object a switch that puts it into effect on the open device.
class EGLSwitchable
{
public:
    EGLSwitchable() = default;
    /// Throws the Error "Value semantics not implemented.".
    EGLSwitchable(const EGLSwitchable& other);
    /// Throws the Error "Value semantics not implemented.".
    EGLSwitchable& operator=(const EGLSwitchable& other);
    virtual ~EGLSwitchable() noexcept(false) = default;

    /// Puts the object into effect on the device; nothing in the base.
    virtual void switchOn(EGLKey switchKey);
    /// Takes the object out of effect; nothing in the base.
    virtual void switchOff(EGLKey switchKey);

    /// Stores newKey; currentKey is not examined.
    void setSwitchKey(EGLKey currentKey, EGLKey newKey);
    bool isSwitchKey(EGLKey key) const;

private:
    EGLKey mSwitchKey = nullptr;
};

/// Gives an object device resources (textures, vertex and index buffers).
class EGLResource
{
public:
    EGLResource() = default;
    /// Throws the Error "Value semantics not implemented.".
    EGLResource(const EGLResource& other);
    /// Throws the Error "Value semantics not implemented.".
    EGLResource& operator=(const EGLResource& other);
    virtual ~EGLResource() noexcept(false) = default;

    /// Creates the object's device resources; nothing in the base.
    virtual void createResource(EGLKey resourceKey);
    /// Releases the object's device resources; nothing in the base.
    virtual void releaseResource(EGLKey resourceKey);

    /// Stores newKey; currentKey is not examined.
    void setResourceKey(EGLKey currentKey, EGLKey newKey);
    bool isResourceKey(EGLKey key) const;

private:
    EGLKey mResourceKey = nullptr;
};

/// Gives an object a clone operation.
class EGLCloneable
{
public:
    EGLCloneable() = default;
    /// Throws the Error "Value semantics not implemeted.".
    EGLCloneable(const EGLCloneable& other);
    /// Throws the Error "Value semantics not implemented.".
    EGLCloneable& operator=(const EGLCloneable& other);
    virtual ~EGLCloneable() noexcept(false) = default;

    /// A new copy owned by the caller; the base throws the Error "Cloneing not implemented.".
    virtual EGLCloneable* clone() const;
};

/// The base of every object the library creates: users, change bracket, switch, resources, cloning.
/// After construction the three keys are null and the change counter is 0.
class EGLComponent : public EGLObject,
                     public EGLChangeable,
                     public EGLSwitchable,
                     public EGLResource,
                     public EGLCloneable
{
public:
    EGLComponent() = default;
    /// Throws the Error "Value semantics not implemented.".
    EGLComponent(const EGLComponent& other);
    /// Throws the Error "Value semantics not implemented.".
    EGLComponent& operator=(const EGLComponent& other);
    ~EGLComponent() noexcept(false) override = default;
};

/// columnCount x rowCount (both >= 0), in 64 bits: the product of two counts below 2^31 cannot wrap there, as it could
/// in a std::size_t of 32 bits.
std::uint64_t pixelCount(std::int32_t columnCount, std::int32_t rowCount);

/// A grid of 32-bit ARGB pixels, row by row, row 0 at the top. A value type.
class EGLImage
{
public:
    /// The most pixels the image reader takes: those of the largest texture a device offers (4096 x 4096), so that
    /// no file, whatever its header claims, makes the reader allocate more than 64 MiB.
    static constexpr std::size_t MAX_PIXEL_COUNT = std::size_t{4096} * 4096;

    /// A 0 x 0 image.
    EGLImage();
    /// An image of the given size (both >= 0); the pixels' values are unspecified until written.
    EGLImage(std::int32_t columnCount, std::int32_t rowCount);
    EGLImage(const EGLImage& other);
    EGLImage& operator=(const EGLImage& other);
    /// Leaves both counts at -1.
    ~EGLImage();

    std::int32_t columnCount() const;
    std::int32_t rowCount() const;
    /// The pixel at (column, row); no range check, callers stay inside the image.
    std::uint32_t& pixel(std::int32_t column, std::int32_t row);
    const std::uint32_t& pixel(std::int32_t column, std::int32_t row) const;
    /// Sets both counts (>= 0) and makes the pixel vector columns x rows long; pixels are not moved.
    void resize(std::int32_t columnCount, std::int32_t rowCount);

    /// Both counts are >= 0 and there are columnCount x rowCount pixels.
    bool invariant() const;

    friend bool operator==(const EGLImage& a, const EGLImage& b) = default;

private:
    std::int32_t mColumnCount;
    std::int32_t mRowCount;
    std::vector<std::uint32_t> mPixels;
};

/// Decodes the "EGLImage" bytes memory[0 .. memorySize-1] into image; a failure throws an assertion and
/// never reads past the data (a partly decoded image is left when the counts were valid). An image of more than
/// EGLImage::MAX_PIXEL_COUNT pixels fails before anything is allocated for it.
void decodeImage(const std::uint8_t* memory, std::size_t memorySize, EGLImage& image);

/// Reads the "EGLImage" file into image: its header, then the pixels the header gives (the bytes after them are
/// ignored). A missing file, one that is no regular file (a FIFO, a device, a folder: refused without waiting on it),
/// an unreadable, short or malformed file, or more than EGLImage::MAX_PIXEL_COUNT pixels, fails an assertion (a
/// partly read image is left when the counts were valid).
void readImageFile(const std::string& fileName, EGLImage& image);
/// Writes the image as an "EGLImage" file, replacing an existing one; a file that cannot be written
/// fails an assertion.
void writeImageFile(const std::string& fileName, const EGLImage& image);
