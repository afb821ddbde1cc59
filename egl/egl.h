#pragma once
// The abstract graphics library EGL and the interfaces of the objects it creates and lends out.
// The one implementation is EGLD3D8 (egld3d8), created by openEGL (eglboot).
//
// Rules callers keep:
// - A frame: beginScene, clearTarget, drawModel (pushTransform/popTransform around groups), endScene, present.
// - A change: the library's beginChange (object), the object's setters, the library's endChange (object).
// - Objects lent out by blendingMethod, primitiveType, shadingMethod, nullTexture and device belong to the
//   library and are never destroyed by callers; devices are valid only until the next closeDevice.
//
// Depends on: egl/egltypes.h. Virtual operations are declared in their fixed slot order.

#include "egl/egltypes.h"

#include <cstdint>
#include <set>
#include <string>
#include <vector>

/// A vertex stream, optionally indexed. Setters copy source[range.first ..] into elements from first on;
/// getters resize the output to range.count and fill it from elements range.first on.
class EGLStream : public EGLComponent
{
public:
    ~EGLStream() override = default;

    /// Texture addresses; a format without addresses throws the Error "Vertex format has no adresses.".
    virtual void setAddresses(std::int32_t first, EGLRange range, const std::vector<EGLVector>& addresses) = 0;
    /// Vertex colours, 32-bit ARGB.
    virtual void setColors(std::int32_t first, EGLRange range, const std::vector<std::uint32_t>& colors) = 0;
    /// Indices (kept as 16-bit); a stream without indices throws the Error "Vertex format has no indices.".
    virtual void setIndices(std::int32_t first, EGLRange range, const std::vector<std::int32_t>& indices) = 0;
    /// Positions x, y in space units.
    virtual void setPositions(std::int32_t first, EGLRange range, const std::vector<EGLVector>& positions) = 0;
    virtual void addresses(EGLRange range, std::vector<EGLVector>& addresses) const = 0;
    virtual void colors(EGLRange range, std::vector<std::uint32_t>& colors) const = 0;
    /// Number of indices; 0 for a stream without indices.
    virtual std::int32_t indexCount() const = 0;
    virtual void indices(EGLRange range, std::vector<std::int32_t>& indices) const = 0;
    virtual bool isIndexed() const = 0;
    virtual void positions(EGLRange range, std::vector<EGLVector>& positions) const = 0;
    /// Draws the range of vertices (of indices, when indexed) with the primitive type in effect.
    virtual void draw(EGLRange range) = 0;
    virtual std::int32_t vertexCount() const = 0;
    /// EGL::COLOR_VERTICES or EGL::TEXTURE_VERTICES.
    virtual std::int32_t vertexFormat() const = 0;
};

/// A texture made from an image.
class EGLTexture : public EGLComponent
{
public:
    ~EGLTexture() override = default;

    /// Replaces the image (copied); only inside the library's change bracket of this texture.
    virtual void setImage(const EGLImage& image) = 0;
    /// The texture address of the centre of the pixel: ((column + 0.5) / columns, (row + 0.5) / rows).
    virtual EGLVector address(std::int32_t column, std::int32_t row) const = 0;
    virtual const EGLImage& image() const = 0;
    /// (column + 0.5) / columns.
    virtual float columnAddress(std::int32_t column) const = 0;
    /// (row + 0.5) / rows.
    virtual float rowAddress(std::int32_t row) const = 0;
};

/// A display device: adapter, device type, display mode, back-buffer format and target.
class EGLDevice : public EGLComponent
{
public:
    ~EGLDevice() override = default;

    /// EGL::X8R8G8B8_FORMAT or EGL::A8R8G8B8_FORMAT (back buffer).
    virtual std::int32_t format() const = 0;
    /// Pixels.
    virtual std::int32_t height() const = 0;
    /// True on the first adapter.
    virtual bool isPrimary() const = 0;
    /// The adapter's description.
    virtual std::string description() const = 0;
    /// Hz; 0 means the adapter's default.
    virtual std::int32_t refreshRate() const = 0;
    /// EGL::WINDOW_TARGET or EGL::FULL_SCREEN_TARGET.
    virtual std::int32_t target() const = 0;
    /// EGL::HARDWARE_DEVICE or EGL::REFERENCE_DEVICE.
    virtual std::int32_t type() const = 0;
    /// Pixels.
    virtual std::int32_t width() const = 0;
};

/// A 2-D model transform (a 4x4 matrix), moved onto the view while pushed.
class EGLTransform : public EGLComponent
{
public:
    ~EGLTransform() override = default;

    virtual void setIdentity() = 0;
    /// Rotation about the z axis, radians.
    virtual void setRotation(float angle) = 0;
    /// Scales x and y (z by 1).
    virtual void setScaling(const EGLVector& scaling) = 0;
    /// Moves by x and y (z by 0).
    virtual void setTranslation(const EGLVector& translation) = 0;
};

/// The 2-D view: an orthographic projection of a rectangle, y up.
class EGLSpace : public EGLComponent
{
public:
    ~EGLSpace() override = default;

    virtual void setBounds(float left, float right, float bottom, float top) = 0;
    /// Bounds of the given size around the centre; always throws the Error "Not implemented.".
    virtual void setCenteredBounds(float width, float height) = 0;
    virtual float right() const = 0;
    virtual float left() const = 0;
    virtual float top() const = 0;
    virtual float bottom() const = 0;
};

/// A primitive type: EGL::POINT_LIST .. EGL::TRIANGLE_FAN.
class EGLPrimitiveType : public EGLComponent
{
public:
    ~EGLPrimitiveType() override = default;
    virtual std::int32_t number() const = 0;
};

/// A shading method: EGL::FLAT_SHADING or EGL::GOURAUD_SHADING.
class EGLShadingMethod : public EGLComponent
{
public:
    ~EGLShadingMethod() override = default;
    virtual std::int32_t number() const = 0;
};

/// A blending method: EGL::NO_BLENDING, EGL::ALPHA_BLENDING or EGL::ADDITIVE_BLENDING.
class EGLBlendingMethod : public EGLComponent
{
public:
    ~EGLBlendingMethod() override = default;
    virtual std::int32_t number() const = 0;
};

/// Something drawable: a range of a stream with its primitive type, shading, blending and texture.
/// The model is a user of each of its five parts while it holds them; a setter moves the registration.
class EGLModel : public EGLComponent
{
public:
    ~EGLModel() override = default;

    /// Puts into effect each part that differs (by identity) from the current one and records it as current.
    virtual void switchOnParts(EGLKey switchKey, EGLStream*& currentStream, EGLPrimitiveType*& currentPrimitiveType,
                               EGLShadingMethod*& currentShadingMethod, EGLBlendingMethod*& currentBlendingMethod,
                               EGLTexture*& currentTexture) = 0;
    virtual void setBlendingMethod(EGLBlendingMethod* blendingMethod) = 0;
    virtual void setPrimitiveType(EGLPrimitiveType* primitiveType) = 0;
    virtual void setRange(EGLRange range) = 0;
    virtual void setShadingMethod(EGLShadingMethod* shadingMethod) = 0;
    virtual void setStream(EGLStream* stream) = 0;
    virtual void setTexture(EGLTexture* texture) = 0;
    virtual EGLBlendingMethod* blendingMethod() const = 0;
    /// Draws the model's range of its stream.
    virtual void drawRange() = 0;
    virtual EGLPrimitiveType* primitiveType() const = 0;
    virtual EGLRange range() const = 0;
    virtual EGLShadingMethod* shadingMethod() const = 0;
    virtual EGLStream* stream() const = 0;
    virtual EGLTexture* texture() const = 0;
};

/// The graphics library. It keeps every object it creates in a registry of its kind, as one of its users,
/// until the creator hands it back to destroy.
class EGL : public EGLObject
{
public:
    // Device states (refreshState).
    static constexpr std::int32_t CLOSED = 1;
    static constexpr std::int32_t OPEN = 2;
    static constexpr std::int32_t PAUSED = 3;
    static constexpr std::int32_t DOWN = 4;
    static constexpr std::int32_t DRAWING = 5;
    // Vertex formats (createStream).
    static constexpr std::int32_t COLOR_VERTICES = 1;
    static constexpr std::int32_t TEXTURE_VERTICES = 2;
    // Primitive types (primitiveType).
    static constexpr std::int32_t POINT_LIST = 1;
    static constexpr std::int32_t LINE_LIST = 2;
    static constexpr std::int32_t LINE_STRIP = 3;
    static constexpr std::int32_t TRIANGLE_LIST = 4;
    static constexpr std::int32_t TRIANGLE_STRIP = 5;
    static constexpr std::int32_t TRIANGLE_FAN = 6;
    // Shading methods (shadingMethod).
    static constexpr std::int32_t FLAT_SHADING = 1;
    static constexpr std::int32_t GOURAUD_SHADING = 2;
    // Blending methods (blendingMethod): none, source alpha over the target, source alpha added to it.
    static constexpr std::int32_t NO_BLENDING = 1;
    static constexpr std::int32_t ALPHA_BLENDING = 2;
    static constexpr std::int32_t ADDITIVE_BLENDING = 3;
    // Device records (EGLDevice).
    static constexpr std::int32_t HARDWARE_DEVICE = 1;
    static constexpr std::int32_t REFERENCE_DEVICE = 2;
    static constexpr std::int32_t WINDOW_TARGET = 1;
    static constexpr std::int32_t FULL_SCREEN_TARGET = 2;
    static constexpr std::int32_t X8R8G8B8_FORMAT = 1;
    static constexpr std::int32_t A8R8G8B8_FORMAT = 2;

    ~EGL() override = default;

    /// Opens a change of the object (counter + 1); brackets nest.
    virtual void beginChange(EGLModel* model) = 0;
    virtual void beginChange(EGLSpace* space) = 0;
    virtual void beginChange(EGLTransform* transform) = 0;
    virtual void beginChange(EGLTexture* texture) = 0;
    virtual void beginChange(EGLStream* stream) = 0;
    /// Sets the space as the projection and begins a scene; returns the new scene depth; state DRAWING.
    virtual std::int32_t beginScene(EGLSpace* space) = 0;
    /// Clears the whole target to the ARGB colour.
    virtual void clearTarget(const std::uint32_t& color) = 0;
    /// Removes the object from its registry and deletes it; the caller's pointer is dead afterwards.
    virtual void destroy(EGLModel* model) = 0;
    virtual void destroy(EGLSpace* space) = 0;
    virtual void destroy(EGLTransform* transform) = 0;
    virtual void destroy(EGLTexture* texture) = 0;
    virtual void destroy(EGLStream* stream) = 0;
    /// In OPEN, PAUSED or DOWN: releases every device resource and the device; state CLOSED; the device list
    /// is built anew, so every EGLDevice obtained before is invalid.
    virtual void closeDevice() = 0;
    /// Puts the model's differing parts into effect and draws its range; inside a scene.
    virtual void drawModel(EGLModel* model) = 0;
    /// Closes a change; the outermost end of a texture's or stream's change writes it to an open device.
    virtual void endChange(EGLModel* model) = 0;
    virtual void endChange(EGLSpace* space) = 0;
    virtual void endChange(EGLTransform* transform) = 0;
    virtual void endChange(EGLTexture* texture) = 0;
    virtual void endChange(EGLStream* stream) = 0;
    /// Ends a scene; at depth 0 the state returns to OPEN and the parts in effect are forgotten.
    virtual void endScene() = 0;
    /// In CLOSED only, with one of this library's devices: creates the device, sets the fixed device state and
    /// the device resources of every stream and texture; state OPEN.
    virtual void openDevice(EGLDevice* device) = 0;
    /// A new stream of vertexFormat (COLOR_VERTICES or TEXTURE_VERTICES), indexed when indexCount > 0; another
    /// format throws the Error "Unknown vertex format".
    virtual EGLStream* createStream(std::int32_t vertexFormat, std::int32_t vertexCount, std::int32_t indexCount) = 0;
    /// A new texture holding a copy of the image.
    virtual EGLTexture* createTexture(const EGLImage& image) = 0;
    virtual EGLTransform* createTransform() = 0;
    virtual EGLSpace* createSpace(float left, float right, float bottom, float top) = 0;
    /// A new model; it registers as user of its five parts.
    virtual EGLModel* createModel(EGLStream* stream, EGLRange range, EGLPrimitiveType* primitiveType,
                                  EGLShadingMethod* shadingMethod, EGLBlendingMethod* blendingMethod,
                                  EGLTexture* texture) = 0;
    /// Undoes the last pushTransform.
    virtual void popTransform() = 0;
    /// Multiplies the transform onto the transform stack until the matching popTransform.
    virtual void pushTransform(EGLTransform* transform) = 0;
    /// Shows the finished frame; returns the device's result code.
    virtual std::int32_t present() = 0;
    virtual std::int32_t adapterCount() const = 0;
    /// The adapter's description; 0 <= adapter < adapterCount.
    virtual std::string adapterName(std::int32_t adapter) const = 0;
    /// NO_BLENDING .. ADDITIVE_BLENDING; owned by the library.
    virtual EGLBlendingMethod* blendingMethod(std::int32_t number) = 0;
    /// The device passed to openDevice; null while CLOSED.
    virtual EGLDevice* openedDevice() const = 0;
    /// 0 <= index < deviceCount; owned by the library, valid until the next closeDevice.
    virtual EGLDevice* device(std::int32_t index) const = 0;
    virtual std::int32_t deviceCount() const = 0;
    /// POINT_LIST .. TRIANGLE_FAN; owned by the library.
    virtual EGLPrimitiveType* primitiveType(std::int32_t number) = 0;
    /// The texture that stands for no texture; owned by the library.
    virtual EGLTexture* nullTexture() = 0;
    /// Copies of the registries.
    virtual std::set<EGLStream*> streams() const = 0;
    virtual std::set<EGLTexture*> textures() const = 0;
    virtual std::set<EGLTransform*> transforms() const = 0;
    virtual std::set<EGLSpace*> spaces() const = 0;
    virtual std::set<EGLModel*> models() const = 0;
    /// FLAT_SHADING or GOURAUD_SHADING; owned by the library.
    virtual EGLShadingMethod* shadingMethod(std::int32_t number) = 0;
    /// In OPEN, PAUSED or DOWN asks the device whether it is usable (OPEN usable, PAUSED lost, DOWN lost but
    /// ready to be restored); returns the state, unchanged in CLOSED and DRAWING.
    virtual std::int32_t refreshState() = 0;
};
