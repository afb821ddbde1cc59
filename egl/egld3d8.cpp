#include "egl/egld3d8.h"

#include "egl/egld3d8keys.h"
#include "egl/egld3d8stream.h"
#include "egl/egld3d8transform.h"
#include "foundation/dbg.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <memory>
#include <new>
#include <utility>

EGLD3D8Key::EGLD3D8Key(const EGLD3D8Key&)
{
    DBG_ERROR("Value semantics not implemented.");
}

EGLD3D8Key& EGLD3D8Key::operator=(const EGLD3D8Key&)
{
    DBG_ERROR("Value semantics not implemented.");
}

namespace
{

// A new colour or texture stream; another format throws.
EGLD3D8Stream* newVertexStream(EGLD3D8Wrapper* wrapper, std::int32_t vertexFormat, std::int32_t vertexCount)
{
    switch (vertexFormat)
    {
    case EGL::COLOR_VERTICES:
        return new (std::nothrow) EGLD3D8ColorStream(wrapper, vertexCount);
    case EGL::TEXTURE_VERTICES:
        return new (std::nothrow) EGLD3D8TextureStream(wrapper, vertexCount);
    default:
        DBG_ERROR("Unknown vertex format");
    }
}

// Takes the object out of its registry and deletes it.
template <class Object>
void eraseAndDelete(std::set<Object*>& registry, Object* object)
{
    registry.erase(object);
    delete object;
}

template <class Object>
bool isMember(const std::set<Object*>& registry, const Object* object)
{
    return nullptr != object && registry.count(const_cast<Object*>(object)) > 0;
}

} // namespace

EGLD3D8::EGLD3D8(const HWND* windowHandle)
    : mWrapper(windowHandle), mChangeKey(), mResourceKey(), mSwitchKey(), mAdapterNameVector(),
      mPrimitiveTypes(&mWrapper, &mChangeKey, &mResourceKey, &mSwitchKey),
      mShadingMethods(&mWrapper, &mChangeKey, &mResourceKey, &mSwitchKey),
      mBlendingMethods(&mWrapper, &mChangeKey, &mResourceKey, &mSwitchKey), mNullTexture(&mWrapper), mStreams(),
      mTextures(), mOpenDevices(), mTransforms(), mSpaces(), mModels(), mOpenedDevice(nullptr), mCurrentStream(nullptr),
      mCurrentPrimitiveType(nullptr), mCurrentShadingMethod(nullptr), mCurrentBlendingMethod(nullptr),
      mCurrentTexture(nullptr), mSceneNestingCount(0), mState(CLOSED)
{
    mWrapper.createD3D();
    try
    {
        const UINT ADAPTER_COUNT = mWrapper.GetAdapterCount();
        for (UINT adapter = 0; adapter < ADAPTER_COUNT; ++adapter)
        {
            D3DADAPTER_IDENTIFIER8 identifier{};
            const HRESULT result = mWrapper.GetAdapterIdentifier(adapter, 0, &identifier);
            DBG_ASSERT("Adapter identifier retrieved successfully." && (D3D_OK == result));
            mAdapterNameVector.emplace_back(identifier.Description,
                                            strnlen(identifier.Description, sizeof identifier.Description));
        }
        DBG_ASSERT(ADAPTER_COUNT == mAdapterNameVector.size());
        mOpenDevices = enumerateD3D8Devices(&mWrapper, &mChangeKey, &mResourceKey, &mSwitchKey);
    }
    catch (...)
    {
        // The wrapper may only be destroyed without a Direct3D object.
        releaseDirect3D();
        throw;
    }
    DBG_ASSERT(invariant());
}

EGLD3D8::~EGLD3D8() noexcept(false)
{
    // A failed check still tears down the Direct3D objects, so that the members can be destroyed cleanly
    // while the failure propagates.
    if (!invariant() || CLOSED != mState)
    {
        deleteDevices();
        releaseDirect3D();
    }
    DBG_ASSERT(invariant());
    DBG_ASSERT(CLOSED == mState);
    deleteDevices();
    mWrapper.releaseD3D();
}

// Throws in the first member's initializer, before anything that needs a window is built.
EGLD3D8::EGLD3D8(const EGLD3D8&)
    : EGL(), mWrapper([]() -> const HWND* { DBG_ERROR("Value semantics not implemented."); }()),
      mPrimitiveTypes(nullptr, nullptr, nullptr, nullptr), mShadingMethods(nullptr, nullptr, nullptr, nullptr),
      mBlendingMethods(nullptr, nullptr, nullptr, nullptr), mNullTexture(nullptr)
{
}

EGLD3D8& EGLD3D8::operator=(const EGLD3D8&)
{
    DBG_ERROR("Value semantics not implemented.");
}

void EGLD3D8::beginChange(EGLModel* model)
{
    model->beginChange(&mChangeKey);
}

void EGLD3D8::beginChange(EGLSpace* space)
{
    space->beginChange(&mChangeKey);
}

void EGLD3D8::beginChange(EGLTransform* transform)
{
    transform->beginChange(&mChangeKey);
}

void EGLD3D8::beginChange(EGLTexture* texture)
{
    texture->beginChange(&mChangeKey);
}

void EGLD3D8::beginChange(EGLStream* stream)
{
    stream->beginChange(&mChangeKey);
}

std::int32_t EGLD3D8::beginScene(EGLSpace* space)
{
    DBG_ASSERT(mWrapper.d3DDeviceIsOpen());
    space->switchOn(&mSwitchKey);
    mWrapper.BeginScene();
    mState = DRAWING;
    return ++mSceneNestingCount;
}

void EGLD3D8::clearTarget(const std::uint32_t& color)
{
    DBG_ASSERT(mWrapper.d3DDeviceIsOpen());
    const HRESULT result = mWrapper.Clear(0, nullptr, D3DCLEAR_TARGET, color, 0.0f, 0);
    DBG_ASSERT("Target cleared successfully." && (D3D_OK == result));
}

void EGLD3D8::destroy(EGLModel* model)
{
    if (model)
        model->removeUser(this);
    eraseAndDelete(mModels, model);
}

void EGLD3D8::destroy(EGLSpace* space)
{
    if (space)
        space->removeUser(this);
    eraseAndDelete(mSpaces, space);
}

void EGLD3D8::destroy(EGLTransform* transform)
{
    if (transform)
        transform->removeUser(this);
    eraseAndDelete(mTransforms, transform);
}

void EGLD3D8::destroy(EGLTexture* texture)
{
    if (texture)
    {
        texture->removeUser(this);
        if (CLOSED != mState)
            texture->releaseResource(&mResourceKey);
        // A texture in effect is forgotten with it rather than switched off after its end.
        if (mCurrentTexture == texture)
            mCurrentTexture = nullptr;
    }
    eraseAndDelete(mTextures, texture);
}

void EGLD3D8::destroy(EGLStream* stream)
{
    if (stream)
    {
        stream->removeUser(this);
        if (CLOSED != mState)
            stream->releaseResource(&mResourceKey);
        if (mCurrentStream == stream)
            mCurrentStream = nullptr;
    }
    eraseAndDelete(mStreams, stream);
}

void EGLD3D8::closeDevice()
{
    DBG_ASSERT(invariant());
    DBG_ASSERT((OPEN == mState) || (PAUSED == mState) || (DOWN == mState));
    releaseResources();
    mWrapper.releaseD3DDevice();
    mWrapper.releaseD3D();
    mWrapper.createD3D();
    // The new list is made before the old devices are deleted, so that no new device can take the address of
    // an old one: a device pointer kept from before this call never passes isOpen.
    std::set<EGLD3D8Device*> devices = enumerateD3D8Devices(&mWrapper, &mChangeKey, &mResourceKey, &mSwitchKey);
    deleteDevices();
    mOpenDevices = std::move(devices);
    mOpenedDevice = nullptr;
    mState = CLOSED;
    DBG_ASSERT(invariant());
}

void EGLD3D8::drawModel(EGLModel* model)
{
    DBG_ASSERT(mWrapper.d3DDeviceIsOpen());
    model->switchOnParts(&mSwitchKey, mCurrentStream, mCurrentPrimitiveType, mCurrentShadingMethod,
                         mCurrentBlendingMethod, mCurrentTexture);
    model->drawRange();
}

void EGLD3D8::endChange(EGLModel* model)
{
    model->endChange(&mChangeKey);
}

void EGLD3D8::endChange(EGLSpace* space)
{
    space->endChange(&mChangeKey);
}

void EGLD3D8::endChange(EGLTransform* transform)
{
    transform->endChange(&mChangeKey);
}

void EGLD3D8::endChange(EGLTexture* texture)
{
    texture->endChange(&mChangeKey);
    if (!texture->isChanging() && CLOSED != mState)
        texture->commitChange(&mChangeKey);
}

void EGLD3D8::endChange(EGLStream* stream)
{
    stream->endChange(&mChangeKey);
    if (!stream->isChanging() && CLOSED != mState)
        stream->commitChange(&mChangeKey);
}

void EGLD3D8::endScene()
{
    DBG_ASSERT(mWrapper.d3DDeviceIsOpen());
    mWrapper.EndScene();
    if (0 != --mSceneNestingCount)
        return;
    mState = OPEN;
    if (mCurrentStream)
        mCurrentStream->switchOff(&mSwitchKey);
    mCurrentStream = nullptr;
    mCurrentPrimitiveType = nullptr;
    mCurrentShadingMethod = nullptr;
    mCurrentBlendingMethod = nullptr;
    if (mCurrentTexture)
        mCurrentTexture->switchOff(&mSwitchKey);
    mCurrentTexture = nullptr;
}

void EGLD3D8::openDevice(EGLDevice* device)
{
    DBG_ASSERT(invariant());
    DBG_ASSERT(CLOSED == mState);
    DBG_ASSERT(isOpen(device));
    device->switchOn(&mSwitchKey);
    // What got device resources here, so that a failure releases exactly that. A stream releases whatever
    // buffers it holds, also one half made; a texture makes nothing when it refuses, and refuses to release in
    // the middle of a change.
    std::vector<EGLComponent*> made;
    try
    {
        setFixedDeviceState();
        for (EGLStream* stream : mStreams)
        {
            DBG_ASSERT(stream);
            made.push_back(stream);
            stream->createResource(&mResourceKey);
            stream->commitChange(&mChangeKey);
        }
        for (EGLTexture* texture : mTextures)
        {
            DBG_ASSERT(texture);
            texture->createResource(&mResourceKey);
            made.push_back(texture);
            texture->commitChange(&mChangeKey);
        }
    }
    catch (...)
    {
        // Stay CLOSED for real: a device left open here could be neither closed nor opened again.
        for (EGLComponent* component : made)
            component->releaseResource(&mResourceKey);
        mWrapper.releaseD3DDevice();
        throw;
    }
    mState = OPEN;
    mOpenedDevice = static_cast<EGLD3D8Device*>(device);
    DBG_ASSERT(invariant());
}

EGLStream* EGLD3D8::createStream(std::int32_t vertexFormat, std::int32_t vertexCount, std::int32_t indexCount)
{
    EGLD3D8Stream* stream = newVertexStream(&mWrapper, vertexFormat, vertexCount);
    if (0 < indexCount && stream)
    {
        // The index stream keeps a clone of the vertex stream; this one is only its model.
        const std::unique_ptr<EGLD3D8Stream> temporaryStream(stream);
        stream = new (std::nothrow) EGLD3D8IndexStream(&mWrapper, *temporaryStream, indexCount);
    }
    DBG_ASSERT(stream);
    adopt(*stream);
    createResourceOrDiscard(*stream);
    mStreams.insert(stream);
    return stream;
}

EGLTexture* EGLD3D8::createTexture(const EGLImage& image)
{
    EGLD3D8ImageTexture* texture = new (std::nothrow) EGLD3D8ImageTexture(&mWrapper, image);
    DBG_ASSERT(texture);
    adopt(*texture);
    createResourceOrDiscard(*texture);
    mTextures.insert(texture);
    return texture;
}

EGLTransform* EGLD3D8::createTransform()
{
    EGLD3D8Transform* transform = new (std::nothrow) EGLD3D8Transform(&mWrapper);
    DBG_ASSERT(transform);
    adopt(*transform);
    mTransforms.insert(transform);
    return transform;
}

EGLSpace* EGLD3D8::createSpace(float left, float right, float bottom, float top)
{
    EGLD3D8Space* space = new (std::nothrow) EGLD3D8Space(&mWrapper, left, right, bottom, top);
    DBG_ASSERT(space);
    adopt(*space);
    mSpaces.insert(space);
    return space;
}

EGLModel* EGLD3D8::createModel(EGLStream* stream, EGLRange range, EGLPrimitiveType* primitiveType,
                               EGLShadingMethod* shadingMethod, EGLBlendingMethod* blendingMethod, EGLTexture* texture)
{
    EGLD3D8Model* model = new (std::nothrow)
        EGLD3D8Model(&mWrapper, stream, range, primitiveType, shadingMethod, blendingMethod, texture);
    DBG_ASSERT(model);
    adopt(*model);
    mModels.insert(model);
    return model;
}

void EGLD3D8::popTransform()
{
    mWrapper.popMatrix();
}

void EGLD3D8::pushTransform(EGLTransform* transform)
{
    transform->switchOn(&mSwitchKey);
}

std::int32_t EGLD3D8::present()
{
    return mWrapper.Present(nullptr, nullptr, nullptr, nullptr);
}

std::int32_t EGLD3D8::adapterCount() const
{
    return static_cast<std::int32_t>(mWrapper.GetAdapterCount());
}

std::string EGLD3D8::adapterName(std::int32_t adapter) const
{
    mWrapper.GetAdapterCount();
    DBG_ASSERT("Valid adapter index." && (0 <= adapter) &&
               (static_cast<std::size_t>(adapter) < mAdapterNameVector.size()));
    return mAdapterNameVector[static_cast<std::size_t>(adapter)];
}

EGLBlendingMethod* EGLD3D8::blendingMethod(std::int32_t number)
{
    return mBlendingMethods.blendingMethod(number);
}

EGLDevice* EGLD3D8::openedDevice() const
{
    return mOpenedDevice;
}

EGLDevice* EGLD3D8::device(std::int32_t index) const
{
    auto deviceIterator = mOpenDevices.begin();
    for (std::int32_t step = 0; step < index && mOpenDevices.end() != deviceIterator; ++step)
        ++deviceIterator;
    DBG_ASSERT(mOpenDevices.end() != deviceIterator);
    EGLD3D8Device* device = *deviceIterator;
    DBG_ASSERT(device);
    return device;
}

std::int32_t EGLD3D8::deviceCount() const
{
    return static_cast<std::int32_t>(mOpenDevices.size());
}

EGLPrimitiveType* EGLD3D8::primitiveType(std::int32_t number)
{
    return mPrimitiveTypes.primitiveType(number);
}

EGLTexture* EGLD3D8::nullTexture()
{
    return &mNullTexture;
}

std::set<EGLStream*> EGLD3D8::streams() const
{
    return mStreams;
}

std::set<EGLTexture*> EGLD3D8::textures() const
{
    return mTextures;
}

std::set<EGLTransform*> EGLD3D8::transforms() const
{
    return mTransforms;
}

std::set<EGLSpace*> EGLD3D8::spaces() const
{
    return mSpaces;
}

std::set<EGLModel*> EGLD3D8::models() const
{
    return mModels;
}

EGLShadingMethod* EGLD3D8::shadingMethod(std::int32_t number)
{
    return mShadingMethods.shadingMethod(number);
}

std::int32_t EGLD3D8::refreshState()
{
    if (OPEN != mState && PAUSED != mState && DOWN != mState)
        return mState;
    switch (mWrapper.TestCooperativeLevel())
    {
    case D3D_OK:
        mState = OPEN;
        break;
    case D3DERR_DEVICELOST:
        mState = PAUSED;
        break;
    case D3DERR_DEVICENOTRESET:
        mState = DOWN;
        break;
    default:
        break;
    }
    return mState;
}

bool EGLD3D8::isOpen(const EGLDevice* device) const
{
    // Compared by address only: the pointer may be stale, so it is never followed.
    return nullptr != device &&
           std::any_of(mOpenDevices.begin(), mOpenDevices.end(),
                       [device](const EGLD3D8Device* entry) { return static_cast<const EGLDevice*>(entry) == device; });
}

bool EGLD3D8::isOpen(const EGLTexture* texture) const
{
    return nullptr != texture && (&mNullTexture == texture || isMember(mTextures, texture));
}

bool EGLD3D8::isOpen(const EGLTransform* transform) const
{
    return isMember(mTransforms, transform);
}

bool EGLD3D8::isOpen(const EGLSpace* space) const
{
    return isMember(mSpaces, space);
}

bool EGLD3D8::isOpen(const EGLModel* model) const
{
    return isMember(mModels, model);
}

bool EGLD3D8::invariant() const
{
    return 1 <= mState && mState <= 5 && 0 <= mSceneNestingCount;
}

void EGLD3D8::setFixedDeviceState()
{
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    HRESULT result = mWrapper.SetTransform(D3DTS_VIEW, &identity);
    DBG_ASSERT("View matrix set to identity successfully." && (D3D_OK == result));
    const D3DMATERIAL8 material{};
    result = mWrapper.SetMaterial(&material);
    DBG_ASSERT("Material set successfully." && (D3D_OK == result));
    result = mWrapper.SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    DBG_ASSERT("Culling disabled successfuly." && (D3D_OK == result));
    result = mWrapper.SetRenderState(D3DRS_LIGHTING, FALSE);
    DBG_ASSERT("Lighting disabled successfuly." && (D3D_OK == result));
    result = mWrapper.SetRenderState(D3DRS_COLORVERTEX, TRUE);
    DBG_ASSERT("Vertex coloring enabled successfuly." && (D3D_OK == result));
    result = mWrapper.SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_POINT);
    DBG_ASSERT("texture minification point filter enabled successfully." && (D3D_OK == result));
    result = mWrapper.SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_POINT);
    DBG_ASSERT("texture magnification point filter enabled successfully." && (D3D_OK == result));
    result = mWrapper.SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    DBG_ASSERT("Texture stage color argument set successfully." && (D3D_OK == result));
    result = mWrapper.SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    DBG_ASSERT("Texture stage color  argument set successfully." && (D3D_OK == result));
    result = mWrapper.SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    DBG_ASSERT("Texture stage color operation set successfully." && (D3D_OK == result));
    result = mWrapper.SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    DBG_ASSERT("Texture stage alpha argument set successfully." && (D3D_OK == result));
    result = mWrapper.SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
    DBG_ASSERT("Texture stage alpha  argument set successfully." && (D3D_OK == result));
    result = mWrapper.SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    DBG_ASSERT("Texture stage alpha operation set successfully." && (D3D_OK == result));
    result = mWrapper.SetTextureStageState(0, D3DTSS_ADDRESSU, D3DTADDRESS_WRAP);
    DBG_ASSERT("Texture wrapping enabled successfully." && (D3D_OK == result));
    result = mWrapper.SetTextureStageState(0, D3DTSS_ADDRESSV, D3DTADDRESS_WRAP);
    DBG_ASSERT("Texture wrapping enabled successfully." && (D3D_OK == result));
}

void EGLD3D8::createResourceOrDiscard(EGLComponent& component)
{
    if (CLOSED == mState)
        return;
    try
    {
        component.createResource(&mResourceKey);
        component.commitChange(&mChangeKey);
    }
    catch (...)
    {
        // Refused by the device: the new object is not the library's, and nothing of it stays behind.
        component.releaseResource(&mResourceKey);
        component.removeUser(this);
        delete &component;
        throw;
    }
}

void EGLD3D8::adopt(EGLComponent& component)
{
    component.addUser(this);
    giveLibraryKeys(component, &mChangeKey, &mResourceKey, &mSwitchKey);
}

void EGLD3D8::deleteDevices()
{
    for (EGLD3D8Device* device : mOpenDevices)
    {
        DBG_ASSERT(device);
        delete device;
    }
    mOpenDevices.clear();
}

void EGLD3D8::releaseResources()
{
    for (EGLStream* stream : mStreams)
    {
        DBG_ASSERT(stream);
        stream->releaseResource(&mResourceKey);
    }
    for (EGLTexture* texture : mTextures)
    {
        DBG_ASSERT(texture);
        texture->releaseResource(&mResourceKey);
    }
}

void EGLD3D8::releaseDirect3D()
{
    if (mWrapper.d3DDeviceIsOpen())
        mWrapper.releaseD3DDevice();
    if (mWrapper.d3DIsOpen())
        mWrapper.releaseD3D();
}
