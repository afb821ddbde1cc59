#pragma once
// EGLD3D8, the one implementation of the graphics library, over Direct3D 8 and D3DX8.
//
// It owns the Direct3D wrapper, the display devices, the method tables, the null texture and one registry per
// kind of object it creates. It runs the device states CLOSED, OPEN, PAUSED, DOWN and DRAWING, brackets
// changes of objects and writes changed texture and stream data to the device at the outermost endChange, and
// remembers the model parts in effect so that a draw switches only the parts that differ.
//
// Depends on: egl/egl.h (the interface), the Direct3D objects in egl/egld3d8*.h. Created only by openEGL.

#include "egl/egl.h"
#include "egl/egld3d8device.h"
#include "egl/egld3d8method.h"
#include "egl/egld3d8texture.h"
#include "egl/egld3d8wrapper.h"

#include <cstdint>
#include <set>
#include <string>
#include <vector>

/// A key is the identity of one of these one-byte objects; only the library holds them.
class EGLD3D8Key
{
public:
    EGLD3D8Key() = default;
    /// Not supported: throws the Error "Value semantics not implemented.".
    EGLD3D8Key(const EGLD3D8Key& other);
    /// Not supported: throws the Error "Value semantics not implemented.".
    EGLD3D8Key& operator=(const EGLD3D8Key& other);
};

class EGLD3D8 final : public EGL
{
public:
    /// Creates the Direct3D object for the window and enumerates the devices; state CLOSED.
    explicit EGLD3D8(const HWND* windowHandle);
    /// Requires CLOSED; deletes the devices and releases the Direct3D object. Objects still in the registries
    /// are not deleted (their creators destroy them first).
    ~EGLD3D8() noexcept(false) override;
    /// Not supported: throws the Error "Value semantics not implemented.".
    EGLD3D8(const EGLD3D8& other);
    /// Not supported: throws the Error "Value semantics not implemented.".
    EGLD3D8& operator=(const EGLD3D8& other);

    void beginChange(EGLModel* model) override;
    void beginChange(EGLSpace* space) override;
    void beginChange(EGLTransform* transform) override;
    void beginChange(EGLTexture* texture) override;
    void beginChange(EGLStream* stream) override;
    /// beginScene, clearTarget, drawModel and endScene need a device (any state but CLOSED).
    std::int32_t beginScene(EGLSpace* space) override;
    void clearTarget(const std::uint32_t& color) override;
    void destroy(EGLModel* model) override;
    void destroy(EGLSpace* space) override;
    void destroy(EGLTransform* transform) override;
    void destroy(EGLTexture* texture) override;
    void destroy(EGLStream* stream) override;
    void closeDevice() override;
    void drawModel(EGLModel* model) override;
    void endChange(EGLModel* model) override;
    void endChange(EGLSpace* space) override;
    void endChange(EGLTransform* transform) override;
    void endChange(EGLTexture* texture) override;
    void endChange(EGLStream* stream) override;
    void endScene() override;
    void openDevice(EGLDevice* device) override;
    EGLStream* createStream(std::int32_t vertexFormat, std::int32_t vertexCount, std::int32_t indexCount) override;
    EGLTexture* createTexture(const EGLImage& image) override;
    EGLTransform* createTransform() override;
    EGLSpace* createSpace(float left, float right, float bottom, float top) override;
    /// The parts are not checked to come from this library.
    EGLModel* createModel(EGLStream* stream, EGLRange range, EGLPrimitiveType* primitiveType,
                          EGLShadingMethod* shadingMethod, EGLBlendingMethod* blendingMethod,
                          EGLTexture* texture) override;
    void popTransform() override;
    void pushTransform(EGLTransform* transform) override;
    std::int32_t present() override;
    std::int32_t adapterCount() const override;
    std::string adapterName(std::int32_t adapter) const override;
    EGLBlendingMethod* blendingMethod(std::int32_t number) override;
    EGLDevice* openedDevice() const override;
    EGLDevice* device(std::int32_t index) const override;
    std::int32_t deviceCount() const override;
    EGLPrimitiveType* primitiveType(std::int32_t number) override;
    EGLTexture* nullTexture() override;
    std::set<EGLStream*> streams() const override;
    std::set<EGLTexture*> textures() const override;
    std::set<EGLTransform*> transforms() const override;
    std::set<EGLSpace*> spaces() const override;
    std::set<EGLModel*> models() const override;
    EGLShadingMethod* shadingMethod(std::int32_t number) override;
    std::int32_t refreshState() override;

    /// Membership tests; a null argument is not open. The null texture counts as an open texture.
    bool isOpen(const EGLDevice* device) const;
    bool isOpen(const EGLTexture* texture) const;
    bool isOpen(const EGLTransform* transform) const;
    bool isOpen(const EGLSpace* space) const;
    bool isOpen(const EGLModel* model) const;

    /// 1 <= state <= 5 and the scene nesting count >= 0.
    bool invariant() const;

private:
    // The view, material, render and stage-0 states every device starts with.
    void setFixedDeviceState();
    // Creates the device resources of a new stream or texture and writes its data, when a device is open; one
    // the device refuses is released and deleted before the failure goes on.
    void createResourceOrDiscard(EGLComponent& component);
    // Gives a new object the library's keys and registers the library as its user.
    void adopt(EGLComponent& component);
    // Deletes every device of the list and empties it.
    void deleteDevices();
    // Releases every device resource the streams and textures hold.
    void releaseResources();
    // Releases the Direct3D device and object, whichever exist.
    void releaseDirect3D();

    EGLD3D8Wrapper mWrapper;
    EGLD3D8Key mChangeKey;
    EGLD3D8Key mResourceKey;
    EGLD3D8Key mSwitchKey;
    std::vector<std::string> mAdapterNameVector;
    EGLD3D8PrimitiveTypes mPrimitiveTypes;
    EGLD3D8ShadingMethods mShadingMethods;
    EGLD3D8BlendingMethods mBlendingMethods;
    EGLD3D8NullTexture mNullTexture;
    std::set<EGLStream*> mStreams;
    std::set<EGLTexture*> mTextures;
    std::set<EGLD3D8Device*> mOpenDevices;
    std::set<EGLTransform*> mTransforms;
    std::set<EGLSpace*> mSpaces;
    std::set<EGLModel*> mModels;
    EGLD3D8Device* mOpenedDevice;
    EGLStream* mCurrentStream;
    EGLPrimitiveType* mCurrentPrimitiveType;
    EGLShadingMethod* mCurrentShadingMethod;
    EGLBlendingMethod* mCurrentBlendingMethod;
    EGLTexture* mCurrentTexture;
    std::int32_t mSceneNestingCount;
    std::int32_t mState;
};
