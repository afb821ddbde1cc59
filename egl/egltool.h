#pragma once
// Graphics tools: short-hands that create or change a transform inside the library's change bracket, and a
// device query that picks the most preferred display device meeting a set of criteria.
//
// Depends on: egl/egl.h.

#include "egl/egl.h"

#include <cstdint>

/// A new identity transform; the caller destroys it with the library's destroy.
EGLTransform* createIdentityTransform(EGL* egl);
/// A new rotation about z by angle radians; the caller destroys it with the library's destroy.
EGLTransform* createRotationTransform(EGL* egl, float angle);
/// A new scaling by x and y; the caller destroys it with the library's destroy.
EGLTransform* createScalingTransform(EGL* egl, const EGLVector& scaling);
/// A new translation by x and y; the caller destroys it with the library's destroy.
EGLTransform* createTranslationTransform(EGL* egl, const EGLVector& translation);
/// Sets the transform to the identity inside a change bracket.
void changeIdentity(EGL* egl, EGLTransform* transform);
/// Sets the transform to a rotation about z by angle radians inside a change bracket.
void changeRotation(EGL* egl, EGLTransform* transform, float angle);
/// Sets the transform to a scaling inside a change bracket.
void changeScaling(EGL* egl, EGLTransform* transform, const EGLVector& scaling);
/// Sets the transform to a translation inside a change bracket.
void changeTranslation(EGL* egl, EGLTransform* transform, const EGLVector& translation);

/// What a wanted display device must be; width, height and refresh rate are always compared.
struct EGLDeviceQuery
{
    bool checkType;
    /// EGL::HARDWARE_DEVICE or EGL::REFERENCE_DEVICE.
    std::int32_t type;
    bool checkIsPrimary;
    bool isPrimary;
    bool checkTarget;
    /// EGL::WINDOW_TARGET or EGL::FULL_SCREEN_TARGET.
    std::int32_t target;
    /// Inclusive ranges, pixels.
    std::int32_t minWidth;
    std::int32_t maxWidth;
    std::int32_t minHeight;
    std::int32_t maxHeight;
    /// Inclusive range, Hz.
    std::int32_t minRefreshRate;
    std::int32_t maxRefreshRate;
};

/// The chosen device (null when none met the query) and, per criterion in query order, whether some device
/// met it and every criterion before it.
struct EGLDeviceAnswer
{
    bool someDevicesHaveOkType;
    bool someDevicesHaveOkIsPrimary;
    bool someDevicesHaveOkTarget;
    bool someDevicesHaveOkWidth;
    bool someDevicesHaveOkHeight;
    bool someDevicesHaveOkRate;
    EGLDevice* device;
};

/// Type and target name a known value (compared or not) and every range is 0 <= minimum <= maximum.
bool fDeviceQueryIsValid(const EGLDeviceQuery& deviceQuery);
/// Whether device0 comes before device1: hardware first, then primary, then an X8R8G8B8 back buffer, then the
/// smaller area, then the lower refresh rate. The target is not compared.
bool fDeviceIsPreferred(const EGLDevice* device0, const EGLDevice* device1);
/// The most preferred of the library's devices that meets the query; the device belongs to the library.
EGLDeviceAnswer queryDevice(EGL* egl, const EGLDeviceQuery& deviceQuery);
