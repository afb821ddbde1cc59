#pragma once
// Primitive types, shading methods and blending methods of the Direct3D implementation, and the library's
// fixed table of each. Switching a method on writes its Direct3D state; the library switches a method only
// when a model needs another one than the method in effect.
//
// Depends on: egl/egl.h (the method interfaces), egl/egld3d8wrapper.h.

#include "egl/egl.h"
#include "egl/egld3d8wrapper.h"

#include <cstdint>

/// How vertices form points, lines or triangles; switching on only tells the wrapper (no device call).
class EGLD3D8PrimitiveType final : public EGLPrimitiveType
{
public:
    EGLD3D8PrimitiveType(EGLD3D8Wrapper* wrapper, D3DPRIMITIVETYPE d3DPrimitiveType);
    /// Not supported: throws the Error "Value semantics not implemented.".
    EGLD3D8PrimitiveType(const EGLD3D8PrimitiveType& other);
    /// Not supported: throws the Error "Value semantics not implemented.".
    EGLD3D8PrimitiveType& operator=(const EGLD3D8PrimitiveType& other);

    /// 1 point list .. 6 triangle fan.
    std::int32_t number() const override;
    /// Makes this the primitive type of the next draw calls.
    void switchOn(EGLKey switchKey) override;

private:
    EGLD3D8Wrapper* mWrapper;
    D3DPRIMITIVETYPE mD3DPrimitiveType;
};

/// Flat or Gouraud shading (D3DRS_SHADEMODE).
class EGLD3D8ShadingMethod final : public EGLShadingMethod
{
public:
    EGLD3D8ShadingMethod(EGLD3D8Wrapper* wrapper, D3DSHADEMODE d3DShadeMode);
    /// Not supported: throws the Error "Value semantics not implemented.".
    EGLD3D8ShadingMethod(const EGLD3D8ShadingMethod& other);
    /// Not supported: throws the Error "Value semantics not implemented.".
    EGLD3D8ShadingMethod& operator=(const EGLD3D8ShadingMethod& other);

    /// 1 flat, 2 Gouraud.
    std::int32_t number() const override;
    /// Sets the device's shade mode.
    void switchOn(EGLKey switchKey) override;

private:
    EGLD3D8Wrapper* mWrapper;
    D3DSHADEMODE mD3DShadeMode;
};

/// No blending (1), source alpha over the target (2) or source alpha added to the target (3).
class EGLD3D8BlendingMethod final : public EGLBlendingMethod
{
public:
    EGLD3D8BlendingMethod(EGLD3D8Wrapper* wrapper, std::int32_t number);
    /// Leaves the number at 0.
    ~EGLD3D8BlendingMethod() noexcept(false) override;
    /// Not supported: throws the Error "Value semantics not implemented.".
    EGLD3D8BlendingMethod(const EGLD3D8BlendingMethod& other);
    /// Not supported: throws the Error "Value semantics not implemented.".
    EGLD3D8BlendingMethod& operator=(const EGLD3D8BlendingMethod& other);

    std::int32_t number() const override;
    /// Sets the blending render states of this method; method 1 only disables blending.
    void switchOn(EGLKey switchKey) override;

    /// 1 <= number < 4 and a valid change count.
    bool invariant() const;

private:
    EGLD3D8Wrapper* mWrapper;
    std::int32_t mNumber;
};

/// The six primitive types, in number order; each carries the library's keys.
class EGLD3D8PrimitiveTypes
{
public:
    EGLD3D8PrimitiveTypes(EGLD3D8Wrapper* wrapper, EGLKey changeKey, EGLKey resourceKey, EGLKey switchKey);
    virtual ~EGLD3D8PrimitiveTypes() noexcept(false);
    /// Not supported: throws the Error "Value semantics not implemented.".
    EGLD3D8PrimitiveTypes(const EGLD3D8PrimitiveTypes& other);
    /// Not supported: throws the Error "Value semantics not implemented.".
    EGLD3D8PrimitiveTypes& operator=(const EGLD3D8PrimitiveTypes& other);

    /// The type of number 1..6; another number throws the Error "Unknown interpretation method.".
    EGLD3D8PrimitiveType* primitiveType(std::int32_t number);
    /// True when the pointer is one of the table's entries.
    bool isMember(const EGLPrimitiveType* primitiveType) const;

private:
    EGLD3D8PrimitiveType mPrimitiveTypes[6];
};

/// The two shading methods, in number order; each carries the library's keys.
class EGLD3D8ShadingMethods
{
public:
    EGLD3D8ShadingMethods(EGLD3D8Wrapper* wrapper, EGLKey changeKey, EGLKey resourceKey, EGLKey switchKey);
    virtual ~EGLD3D8ShadingMethods() noexcept(false);
    /// Not supported: throws the Error "Value semantics not implemented.".
    EGLD3D8ShadingMethods(const EGLD3D8ShadingMethods& other);
    /// Not supported: throws the Error "Value semantics not implemented.".
    EGLD3D8ShadingMethods& operator=(const EGLD3D8ShadingMethods& other);

    /// The method of number 1..2; another number throws the Error "Unknown shading method".
    EGLD3D8ShadingMethod* shadingMethod(std::int32_t number);
    /// True when the pointer is one of the table's entries.
    bool isMember(const EGLShadingMethod* shadingMethod) const;

private:
    EGLD3D8ShadingMethod mShadingMethods[2];
};

/// The three blending methods, in number order; each carries the library's keys.
class EGLD3D8BlendingMethods
{
public:
    EGLD3D8BlendingMethods(EGLD3D8Wrapper* wrapper, EGLKey changeKey, EGLKey resourceKey, EGLKey switchKey);
    virtual ~EGLD3D8BlendingMethods() noexcept(false);
    /// Not supported: throws the Error "Value semantics not implemented.".
    EGLD3D8BlendingMethods(const EGLD3D8BlendingMethods& other);
    /// Not supported: throws the Error "Value semantics not implemented.".
    EGLD3D8BlendingMethods& operator=(const EGLD3D8BlendingMethods& other);

    /// The method of number 1..3; another number throws the Error "Unknown blending method.".
    EGLD3D8BlendingMethod* blendingMethod(std::int32_t number);
    /// True when the pointer is one of the table's entries.
    bool isMember(const EGLBlendingMethod* blendingMethod) const;

private:
    EGLD3D8BlendingMethod mBlendingMethods[3];
};
