#pragma once
// Transforms, spaces and models of the Direct3D implementation: what places and draws geometry in 2-D.
//
// A transform is multiplied onto the view-transform stack while pushed; a space is the orthographic projection
// that beginScene sets; a model is what one draw needs, and switches on only the parts not already in effect.
//
// Depends on: egl/egl.h (the interfaces), egl/egld3d8wrapper.h (D3DX matrices, the device).

#include "egl/egl.h"
#include "egl/egld3d8wrapper.h"

/// A 4x4 matrix in Direct3D's row-vector convention; the identity until a setter runs.
class EGLD3D8Transform final : public EGLTransform
{
public:
    explicit EGLD3D8Transform(EGLD3D8Wrapper* wrapper);
    /// Not supported: throws the Error "Value semantics not implemented.".
    EGLD3D8Transform(const EGLD3D8Transform& other);
    /// Not supported: throws the Error "Value semantics not implemented.".
    EGLD3D8Transform& operator=(const EGLD3D8Transform& other);

    void setIdentity() override;
    /// Radians about z, counter-clockwise with y up.
    void setRotation(float angle) override;
    /// Scales x and y, z by 1.
    void setScaling(const EGLVector& scaling) override;
    /// Moves by x and y, z by 0.
    void setTranslation(const EGLVector& translation) override;

    /// Pushes the matrix onto the view stack (new top = old top x matrix).
    void switchOn(EGLKey switchKey) override;
    /// Pops the view stack.
    void switchOff(EGLKey switchKey) override;

private:
    EGLD3D8Wrapper* mWrapper;
    D3DXMATRIX mMatrix;
};

/// The visible world rectangle, projected orthographically onto the whole viewport, y up.
class EGLD3D8Space final : public EGLSpace
{
public:
    /// Builds the projection of the bounds.
    EGLD3D8Space(EGLD3D8Wrapper* wrapper, float left, float right, float bottom, float top);
    /// Leaves the bounds inverted (left 1, right -1, bottom 1, top -1).
    ~EGLD3D8Space() noexcept(false) override;
    /// Not supported: throws the Error "Value semantics not implemented.".
    EGLD3D8Space(const EGLD3D8Space& other);
    /// Not supported: throws the Error "Value semantics not implemented.".
    EGLD3D8Space& operator=(const EGLD3D8Space& other);

    /// Stores the bounds and rebuilds the projection.
    void setBounds(float left, float right, float bottom, float top) override;
    /// Throws the Error "Not implemented.".
    void setCenteredBounds(float width, float height) override;
    float right() const override;
    float left() const override;
    float top() const override;
    float bottom() const override;

    /// Sets the projection on the device.
    void switchOn(EGLKey switchKey) override;

    /// left < right, bottom < top and a valid change count.
    bool invariant() const;

private:
    float mLeft;
    float mRight;
    float mBottom;
    float mTop;
    EGLD3D8Wrapper* mWrapper;
    D3DXMATRIX mMatrix;
};

/// A range of a stream with the five parts that draw it; a user of each part while it holds it.
class EGLD3D8Model final : public EGLModel
{
public:
    /// Registers as user of the five parts, which must all be set.
    EGLD3D8Model(EGLD3D8Wrapper* wrapper, EGLStream* stream, EGLRange range, EGLPrimitiveType* primitiveType,
                 EGLShadingMethod* shadingMethod, EGLBlendingMethod* blendingMethod, EGLTexture* texture);
    /// Removes its registration from the five parts.
    ~EGLD3D8Model() noexcept(false) override;
    /// Not supported: throws the Error "Value semantics not implemeted.".
    EGLD3D8Model(const EGLD3D8Model& other);
    /// Not supported: throws the Error "Value semantics not implemeted.".
    EGLD3D8Model& operator=(const EGLD3D8Model& other);

    void switchOnParts(EGLKey switchKey, EGLStream*& currentStream, EGLPrimitiveType*& currentPrimitiveType,
                       EGLShadingMethod*& currentShadingMethod, EGLBlendingMethod*& currentBlendingMethod,
                       EGLTexture*& currentTexture) override;
    /// Each setter moves the model's registration from the old part to the new one (which must be set).
    void setBlendingMethod(EGLBlendingMethod* blendingMethod) override;
    void setPrimitiveType(EGLPrimitiveType* primitiveType) override;
    void setRange(EGLRange range) override;
    void setShadingMethod(EGLShadingMethod* shadingMethod) override;
    void setStream(EGLStream* stream) override;
    void setTexture(EGLTexture* texture) override;
    EGLBlendingMethod* blendingMethod() const override;
    void drawRange() override;
    EGLPrimitiveType* primitiveType() const override;
    EGLRange range() const override;
    EGLShadingMethod* shadingMethod() const override;
    EGLStream* stream() const override;
    EGLTexture* texture() const override;

    /// Switches all five parts on: stream, primitive type, shading, blending, texture.
    void switchOn(EGLKey switchKey) override;
    /// Switches all five parts off, in the same order.
    void switchOff(EGLKey switchKey) override;

    /// All five parts set and a valid change count.
    bool invariant() const;

private:
    EGLStream* mStream;
    EGLRange mRange;
    EGLPrimitiveType* mPrimitiveType;
    EGLShadingMethod* mShadingMethod;
    EGLBlendingMethod* mBlendingMethod;
    EGLTexture* mTexture;
    EGLD3D8Wrapper* mWrapper;
};
