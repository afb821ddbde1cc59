#include "egl/egld3d8method.h"

#include "egl/egld3d8keys.h"
#include "foundation/dbg.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>

EGLD3D8PrimitiveType::EGLD3D8PrimitiveType(EGLD3D8Wrapper* wrapper, D3DPRIMITIVETYPE d3DPrimitiveType)
    : mWrapper(wrapper), mD3DPrimitiveType(d3DPrimitiveType)
{
}

EGLD3D8PrimitiveType::EGLD3D8PrimitiveType(const EGLD3D8PrimitiveType&) : EGLD3D8PrimitiveType(nullptr, 0)
{
    DBG_ERROR("Value semantics not implemented.");
}

EGLD3D8PrimitiveType& EGLD3D8PrimitiveType::operator=(const EGLD3D8PrimitiveType&)
{
    DBG_ERROR("Value semantics not implemented.");
}

std::int32_t EGLD3D8PrimitiveType::number() const
{
    DBG_CHECK(D3DPT_POINTLIST <= mD3DPrimitiveType && mD3DPrimitiveType <= D3DPT_TRIANGLEFAN,
              "Unknown primitive type.");
    return static_cast<std::int32_t>(mD3DPrimitiveType);
}

void EGLD3D8PrimitiveType::switchOn(EGLKey)
{
    mWrapper->setD3DPrimitiveType(mD3DPrimitiveType);
}

EGLD3D8ShadingMethod::EGLD3D8ShadingMethod(EGLD3D8Wrapper* wrapper, D3DSHADEMODE d3DShadeMode)
    : mWrapper(wrapper), mD3DShadeMode(d3DShadeMode)
{
}

EGLD3D8ShadingMethod::EGLD3D8ShadingMethod(const EGLD3D8ShadingMethod&) : EGLD3D8ShadingMethod(nullptr, 0)
{
    DBG_ERROR("Value semantics not implemented.");
}

EGLD3D8ShadingMethod& EGLD3D8ShadingMethod::operator=(const EGLD3D8ShadingMethod&)
{
    DBG_ERROR("Value semantics not implemented.");
}

std::int32_t EGLD3D8ShadingMethod::number() const
{
    switch (mD3DShadeMode)
    {
    case D3DSHADE_FLAT:
        return EGL::FLAT_SHADING;
    case D3DSHADE_GOURAUD:
        return EGL::GOURAUD_SHADING;
    default:
        DBG_ERROR("Unknoen shade mode.");
    }
}

void EGLD3D8ShadingMethod::switchOn(EGLKey)
{
    mWrapper->SetRenderState(D3DRS_SHADEMODE, mD3DShadeMode);
}

EGLD3D8BlendingMethod::EGLD3D8BlendingMethod(EGLD3D8Wrapper* wrapper, std::int32_t number)
    : mWrapper(wrapper), mNumber(number)
{
}

EGLD3D8BlendingMethod::~EGLD3D8BlendingMethod() noexcept(false)
{
    mNumber = 0;
}

EGLD3D8BlendingMethod::EGLD3D8BlendingMethod(const EGLD3D8BlendingMethod&) : EGLD3D8BlendingMethod(nullptr, 0)
{
    DBG_ERROR("Value semantics not implemented.");
}

EGLD3D8BlendingMethod& EGLD3D8BlendingMethod::operator=(const EGLD3D8BlendingMethod&)
{
    DBG_ERROR("Value semantics not implemented.");
}

std::int32_t EGLD3D8BlendingMethod::number() const
{
    return mNumber;
}

void EGLD3D8BlendingMethod::switchOn(EGLKey)
{
    // Results are not examined: a refused render state shows in the picture, not as a failure.
    switch (mNumber)
    {
    case EGL::NO_BLENDING:
        // The factors stay as the last method set them.
        mWrapper->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
        break;
    case EGL::ALPHA_BLENDING:
        mWrapper->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
        mWrapper->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
        mWrapper->SetRenderState(D3DRS_BLENDOP, D3DBLENDOP_ADD);
        mWrapper->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
        break;
    case EGL::ADDITIVE_BLENDING:
        mWrapper->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
        mWrapper->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
        mWrapper->SetRenderState(D3DRS_BLENDOP, D3DBLENDOP_ADD);
        mWrapper->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
        break;
    default:
        DBG_ERROR("Unknown blending method.");
    }
}

bool EGLD3D8BlendingMethod::invariant() const
{
    return 1 <= mNumber && mNumber < 4 && changeCountIsValid();
}

namespace
{

template <class Method, std::size_t COUNT>
void giveLibraryKeys(Method (&methods)[COUNT], EGLKey changeKey, EGLKey resourceKey, EGLKey switchKey)
{
    for (Method& method : methods)
        giveLibraryKeys(method, changeKey, resourceKey, switchKey);
}

template <class Method, std::size_t COUNT, class Interface>
bool isEntry(const Method (&methods)[COUNT], const Interface* method)
{
    return std::any_of(std::begin(methods), std::end(methods),
                       [method](const Method& entry) { return static_cast<const Interface*>(&entry) == method; });
}

} // namespace

EGLD3D8PrimitiveTypes::EGLD3D8PrimitiveTypes(EGLD3D8Wrapper* wrapper, EGLKey changeKey, EGLKey resourceKey,
                                             EGLKey switchKey)
    : mPrimitiveTypes{{wrapper, D3DPT_POINTLIST},    {wrapper, D3DPT_LINELIST},      {wrapper, D3DPT_LINESTRIP},
                      {wrapper, D3DPT_TRIANGLELIST}, {wrapper, D3DPT_TRIANGLESTRIP}, {wrapper, D3DPT_TRIANGLEFAN}}
{
    giveLibraryKeys(mPrimitiveTypes, changeKey, resourceKey, switchKey);
}

EGLD3D8PrimitiveTypes::~EGLD3D8PrimitiveTypes() noexcept(false) = default;

EGLD3D8PrimitiveTypes::EGLD3D8PrimitiveTypes(const EGLD3D8PrimitiveTypes&)
    : EGLD3D8PrimitiveTypes(nullptr, nullptr, nullptr, nullptr)
{
    DBG_ERROR("Value semantics not implemented.");
}

EGLD3D8PrimitiveTypes& EGLD3D8PrimitiveTypes::operator=(const EGLD3D8PrimitiveTypes&)
{
    DBG_ERROR("Value semantics not implemented.");
}

EGLD3D8PrimitiveType* EGLD3D8PrimitiveTypes::primitiveType(std::int32_t number)
{
    DBG_CHECK(EGL::POINT_LIST <= number && number <= EGL::TRIANGLE_FAN, "Unknown interpretation method.");
    return &mPrimitiveTypes[number - 1];
}

bool EGLD3D8PrimitiveTypes::isMember(const EGLPrimitiveType* primitiveType) const
{
    return isEntry(mPrimitiveTypes, primitiveType);
}

EGLD3D8ShadingMethods::EGLD3D8ShadingMethods(EGLD3D8Wrapper* wrapper, EGLKey changeKey, EGLKey resourceKey,
                                             EGLKey switchKey)
    : mShadingMethods{{wrapper, D3DSHADE_FLAT}, {wrapper, D3DSHADE_GOURAUD}}
{
    giveLibraryKeys(mShadingMethods, changeKey, resourceKey, switchKey);
}

EGLD3D8ShadingMethods::~EGLD3D8ShadingMethods() noexcept(false) = default;

EGLD3D8ShadingMethods::EGLD3D8ShadingMethods(const EGLD3D8ShadingMethods&)
    : EGLD3D8ShadingMethods(nullptr, nullptr, nullptr, nullptr)
{
    DBG_ERROR("Value semantics not implemented.");
}

EGLD3D8ShadingMethods& EGLD3D8ShadingMethods::operator=(const EGLD3D8ShadingMethods&)
{
    DBG_ERROR("Value semantics not implemented.");
}

EGLD3D8ShadingMethod* EGLD3D8ShadingMethods::shadingMethod(std::int32_t number)
{
    DBG_CHECK(EGL::FLAT_SHADING <= number && number <= EGL::GOURAUD_SHADING, "Unknown shading method");
    return &mShadingMethods[number - 1];
}

bool EGLD3D8ShadingMethods::isMember(const EGLShadingMethod* shadingMethod) const
{
    return isEntry(mShadingMethods, shadingMethod);
}

EGLD3D8BlendingMethods::EGLD3D8BlendingMethods(EGLD3D8Wrapper* wrapper, EGLKey changeKey, EGLKey resourceKey,
                                               EGLKey switchKey)
    : mBlendingMethods{{wrapper, EGL::NO_BLENDING}, {wrapper, EGL::ALPHA_BLENDING}, {wrapper, EGL::ADDITIVE_BLENDING}}
{
    giveLibraryKeys(mBlendingMethods, changeKey, resourceKey, switchKey);
}

EGLD3D8BlendingMethods::~EGLD3D8BlendingMethods() noexcept(false) = default;

EGLD3D8BlendingMethods::EGLD3D8BlendingMethods(const EGLD3D8BlendingMethods&)
    : EGLD3D8BlendingMethods(nullptr, nullptr, nullptr, nullptr)
{
    DBG_ERROR("Value semantics not implemented.");
}

EGLD3D8BlendingMethods& EGLD3D8BlendingMethods::operator=(const EGLD3D8BlendingMethods&)
{
    DBG_ERROR("Value semantics not implemented.");
}

EGLD3D8BlendingMethod* EGLD3D8BlendingMethods::blendingMethod(std::int32_t number)
{
    DBG_CHECK(EGL::NO_BLENDING <= number && number <= EGL::ADDITIVE_BLENDING, "Unknown blending method.");
    return &mBlendingMethods[number - 1];
}

bool EGLD3D8BlendingMethods::isMember(const EGLBlendingMethod* blendingMethod) const
{
    return isEntry(mBlendingMethods, blendingMethod);
}
