#include "egl/egld3d8transform.h"

#include "foundation/dbg.h"

EGLD3D8Transform::EGLD3D8Transform(EGLD3D8Wrapper* wrapper) : mWrapper(wrapper), mMatrix()
{
    D3DXMatrixIdentity(&mMatrix);
}

EGLD3D8Transform::EGLD3D8Transform(const EGLD3D8Transform&) : EGLTransform(), mWrapper(nullptr), mMatrix()
{
    DBG_ERROR("Value semantics not implemented.");
}

EGLD3D8Transform& EGLD3D8Transform::operator=(const EGLD3D8Transform&)
{
    DBG_ERROR("Value semantics not implemented.");
}

void EGLD3D8Transform::setIdentity()
{
    D3DXMatrixIdentity(&mMatrix);
}

void EGLD3D8Transform::setRotation(float angle)
{
    D3DXMatrixRotationZ(&mMatrix, angle);
}

void EGLD3D8Transform::setScaling(const EGLVector& scaling)
{
    D3DXMatrixScaling(&mMatrix, scaling.x, scaling.y, 1.0f);
}

void EGLD3D8Transform::setTranslation(const EGLVector& translation)
{
    D3DXMatrixTranslation(&mMatrix, translation.x, translation.y, 0.0f);
}

void EGLD3D8Transform::switchOn(EGLKey)
{
    mWrapper->pushMatrix(mMatrix);
}

void EGLD3D8Transform::switchOff(EGLKey)
{
    mWrapper->popMatrix();
}

EGLD3D8Space::EGLD3D8Space(EGLD3D8Wrapper* wrapper, float left, float right, float bottom, float top)
    : mLeft(left), mRight(right), mBottom(bottom), mTop(top), mWrapper(wrapper), mMatrix()
{
    setBounds(left, right, bottom, top);
}

EGLD3D8Space::~EGLD3D8Space() noexcept(false)
{
    mLeft = 1.0f;
    mRight = -1.0f;
    mBottom = 1.0f;
    mTop = -1.0f;
}

EGLD3D8Space::EGLD3D8Space(const EGLD3D8Space&)
    : EGLSpace(), mLeft(1.0f), mRight(-1.0f), mBottom(1.0f), mTop(-1.0f), mWrapper(nullptr), mMatrix()
{
    DBG_ERROR("Value semantics not implemented.");
}

EGLD3D8Space& EGLD3D8Space::operator=(const EGLD3D8Space&)
{
    DBG_ERROR("Value semantics not implemented.");
}

void EGLD3D8Space::setBounds(float left, float right, float bottom, float top)
{
    mLeft = left;
    mRight = right;
    mBottom = bottom;
    mTop = top;
    D3DXMatrixOrthoOffCenterLH(&mMatrix, mLeft, mRight, mBottom, mTop, -1.0f, 1.0f);
}

void EGLD3D8Space::setCenteredBounds(float, float)
{
    DBG_ERROR("Not implemented.");
}

float EGLD3D8Space::right() const
{
    return mRight;
}

float EGLD3D8Space::left() const
{
    return mLeft;
}

float EGLD3D8Space::top() const
{
    return mTop;
}

float EGLD3D8Space::bottom() const
{
    return mBottom;
}

void EGLD3D8Space::switchOn(EGLKey)
{
    const HRESULT result = mWrapper->SetTransform(D3DTS_PROJECTION, &mMatrix);
    DBG_ASSERT("D3D projection transform set successfully." && (D3D_OK == result));
}

bool EGLD3D8Space::invariant() const
{
    return mLeft < mRight && mBottom < mTop && changeCountIsValid();
}

namespace
{

// Moves the model's registration from the part it holds to the new one.
template <class Part>
void replacePart(Part*& part, Part* newPart, const void* model)
{
    DBG_ASSERT("Valid model part." && newPart);
    part->removeUser(model);
    part = newPart;
    part->addUser(model);
}

// Puts the model's part into effect unless it already is (compared by identity).
template <class Part>
void switchOnIfNotCurrent(Part* part, Part*& currentPart, EGLKey switchKey)
{
    if (currentPart == part)
        return;
    part->switchOn(switchKey);
    currentPart = part;
}

} // namespace

EGLD3D8Model::EGLD3D8Model(EGLD3D8Wrapper* wrapper, EGLStream* stream, EGLRange range, EGLPrimitiveType* primitiveType,
                           EGLShadingMethod* shadingMethod, EGLBlendingMethod* blendingMethod, EGLTexture* texture)
    : mStream(stream), mRange(range), mPrimitiveType(primitiveType), mShadingMethod(shadingMethod),
      mBlendingMethod(blendingMethod), mTexture(texture), mWrapper(wrapper)
{
    DBG_ASSERT(invariant());
    mStream->addUser(this);
    mPrimitiveType->addUser(this);
    mShadingMethod->addUser(this);
    mBlendingMethod->addUser(this);
    mTexture->addUser(this);
}

EGLD3D8Model::~EGLD3D8Model() noexcept(false)
{
    mStream->removeUser(this);
    mPrimitiveType->removeUser(this);
    mShadingMethod->removeUser(this);
    mBlendingMethod->removeUser(this);
    mTexture->removeUser(this);
}

EGLD3D8Model::EGLD3D8Model(const EGLD3D8Model&)
    : EGLModel(), mStream(nullptr), mRange{0, 0}, mPrimitiveType(nullptr), mShadingMethod(nullptr),
      mBlendingMethod(nullptr), mTexture(nullptr), mWrapper(nullptr)
{
    DBG_ERROR("Value semantics not implemeted.");
}

EGLD3D8Model& EGLD3D8Model::operator=(const EGLD3D8Model&)
{
    DBG_ERROR("Value semantics not implemeted.");
}

void EGLD3D8Model::switchOnParts(EGLKey switchKey, EGLStream*& currentStream, EGLPrimitiveType*& currentPrimitiveType,
                                 EGLShadingMethod*& currentShadingMethod, EGLBlendingMethod*& currentBlendingMethod,
                                 EGLTexture*& currentTexture)
{
    switchOnIfNotCurrent(mStream, currentStream, switchKey);
    switchOnIfNotCurrent(mPrimitiveType, currentPrimitiveType, switchKey);
    switchOnIfNotCurrent(mShadingMethod, currentShadingMethod, switchKey);
    switchOnIfNotCurrent(mBlendingMethod, currentBlendingMethod, switchKey);
    switchOnIfNotCurrent(mTexture, currentTexture, switchKey);
}

void EGLD3D8Model::setBlendingMethod(EGLBlendingMethod* blendingMethod)
{
    replacePart(mBlendingMethod, blendingMethod, this);
}

void EGLD3D8Model::setPrimitiveType(EGLPrimitiveType* primitiveType)
{
    replacePart(mPrimitiveType, primitiveType, this);
}

void EGLD3D8Model::setRange(EGLRange range)
{
    mRange = range;
}

void EGLD3D8Model::setShadingMethod(EGLShadingMethod* shadingMethod)
{
    replacePart(mShadingMethod, shadingMethod, this);
}

void EGLD3D8Model::setStream(EGLStream* stream)
{
    replacePart(mStream, stream, this);
}

void EGLD3D8Model::setTexture(EGLTexture* texture)
{
    replacePart(mTexture, texture, this);
}

EGLBlendingMethod* EGLD3D8Model::blendingMethod() const
{
    return mBlendingMethod;
}

void EGLD3D8Model::drawRange()
{
    mStream->draw(mRange);
}

EGLPrimitiveType* EGLD3D8Model::primitiveType() const
{
    return mPrimitiveType;
}

EGLRange EGLD3D8Model::range() const
{
    return mRange;
}

EGLShadingMethod* EGLD3D8Model::shadingMethod() const
{
    return mShadingMethod;
}

EGLStream* EGLD3D8Model::stream() const
{
    return mStream;
}

EGLTexture* EGLD3D8Model::texture() const
{
    return mTexture;
}

void EGLD3D8Model::switchOn(EGLKey switchKey)
{
    mStream->switchOn(switchKey);
    mPrimitiveType->switchOn(switchKey);
    mShadingMethod->switchOn(switchKey);
    mBlendingMethod->switchOn(switchKey);
    mTexture->switchOn(switchKey);
}

void EGLD3D8Model::switchOff(EGLKey switchKey)
{
    mStream->switchOff(switchKey);
    mPrimitiveType->switchOff(switchKey);
    mShadingMethod->switchOff(switchKey);
    mBlendingMethod->switchOff(switchKey);
    mTexture->switchOff(switchKey);
}

bool EGLD3D8Model::invariant() const
{
    return mStream && mPrimitiveType && mShadingMethod && mBlendingMethod && mTexture && changeCountIsValid();
}
