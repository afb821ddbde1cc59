#include "egl/egltool.h"

#include "foundation/dbg.h"

#include <algorithm>
#include <cstddef>
#include <vector>

// Transforms -----------------------------------------------------------------------------------------------------

void changeIdentity(EGL* egl, EGLTransform* transform)
{
    egl->beginChange(transform);
    transform->setIdentity();
    egl->endChange(transform);
}

void changeRotation(EGL* egl, EGLTransform* transform, float angle)
{
    egl->beginChange(transform);
    transform->setRotation(angle);
    egl->endChange(transform);
}

void changeScaling(EGL* egl, EGLTransform* transform, const EGLVector& scaling)
{
    egl->beginChange(transform);
    transform->setScaling(scaling);
    egl->endChange(transform);
}

void changeTranslation(EGL* egl, EGLTransform* transform, const EGLVector& translation)
{
    egl->beginChange(transform);
    transform->setTranslation(translation);
    egl->endChange(transform);
}

EGLTransform* createIdentityTransform(EGL* egl)
{
    EGLTransform* const transform = egl->createTransform();
    changeIdentity(egl, transform);
    return transform;
}

EGLTransform* createRotationTransform(EGL* egl, float angle)
{
    EGLTransform* const transform = egl->createTransform();
    changeRotation(egl, transform, angle);
    return transform;
}

EGLTransform* createScalingTransform(EGL* egl, const EGLVector& scaling)
{
    EGLTransform* const transform = egl->createTransform();
    changeScaling(egl, transform, scaling);
    return transform;
}

EGLTransform* createTranslationTransform(EGL* egl, const EGLVector& translation)
{
    EGLTransform* const transform = egl->createTransform();
    changeTranslation(egl, transform, translation);
    return transform;
}

// Device query ---------------------------------------------------------------------------------------------------

namespace
{

bool isInRange(std::int32_t value, std::int32_t minimum, std::int32_t maximum)
{
    return (minimum <= value) && (value <= maximum);
}

bool isValidRange(std::int32_t minimum, std::int32_t maximum)
{
    return (0 <= minimum) && (minimum <= maximum);
}

} // namespace

bool fDeviceQueryIsValid(const EGLDeviceQuery& deviceQuery)
{
    return (0 < deviceQuery.type) && (deviceQuery.type < 3) && (0 < deviceQuery.target) && (deviceQuery.target < 3) &&
           isValidRange(deviceQuery.minWidth, deviceQuery.maxWidth) &&
           isValidRange(deviceQuery.minHeight, deviceQuery.maxHeight) &&
           isValidRange(deviceQuery.minRefreshRate, deviceQuery.maxRefreshRate);
}

bool fDeviceIsPreferred(const EGLDevice* device0, const EGLDevice* device1)
{
    DBG_ASSERT(device0);
    DBG_ASSERT(device1);

    // Each key: the lower order goes first; the first key that differs decides.
    const auto typeOrder = [](const EGLDevice* device) { return device->type() == EGL::HARDWARE_DEVICE ? 0 : 1; };
    const auto isPrimaryOrder = [](const EGLDevice* device) { return device->isPrimary() ? 0 : 1; };
    const auto formatOrder = [](const EGLDevice* device) { return device->format() == EGL::X8R8G8B8_FORMAT ? 0 : 1; };
    const auto area = [](const EGLDevice* device)
    { return static_cast<std::int64_t>(device->width()) * device->height(); };
    if (typeOrder(device0) != typeOrder(device1))
        return typeOrder(device0) < typeOrder(device1);
    if (isPrimaryOrder(device0) != isPrimaryOrder(device1))
        return isPrimaryOrder(device0) < isPrimaryOrder(device1);
    if (formatOrder(device0) != formatOrder(device1))
        return formatOrder(device0) < formatOrder(device1);
    if (area(device0) != area(device1))
        return area(device0) < area(device1);
    return device0->refreshRate() < device1->refreshRate();
}

EGLDeviceAnswer queryDevice(EGL* eGL, const EGLDeviceQuery& deviceQuery)
{
    DBG_ASSERT(eGL);
    DBG_ASSERT(fDeviceQueryIsValid(deviceQuery));

    const std::size_t DEVICE_COUNT = static_cast<std::size_t>(eGL->deviceCount());
    std::vector<EGLDevice*> deviceVector;
    deviceVector.reserve(DEVICE_COUNT);
    for (std::int32_t i = 0; i < eGL->deviceCount(); ++i)
    {
        EGLDevice* const device = eGL->device(i);
        DBG_ASSERT(device);
        deviceVector.push_back(device);
    }
    DBG_ASSERT(DEVICE_COUNT == deviceVector.size());
    std::sort(deviceVector.begin(), deviceVector.end(), fDeviceIsPreferred);

    // Each test that fails moves on to the next device; a flag records that some device got past its test.
    EGLDeviceAnswer answer = {false, false, false, false, false, false, nullptr};
    for (EGLDevice* const device : deviceVector)
    {
        if (deviceQuery.checkType && device->type() != deviceQuery.type)
            continue;
        answer.someDevicesHaveOkType = true;
        if (deviceQuery.checkIsPrimary && device->isPrimary() != deviceQuery.isPrimary)
            continue;
        answer.someDevicesHaveOkIsPrimary = true;
        if (deviceQuery.checkTarget && device->target() != deviceQuery.target)
            continue;
        answer.someDevicesHaveOkTarget = true;
        if (!isInRange(device->width(), deviceQuery.minWidth, deviceQuery.maxWidth))
            continue;
        answer.someDevicesHaveOkWidth = true;
        if (!isInRange(device->height(), deviceQuery.minHeight, deviceQuery.maxHeight))
            continue;
        answer.someDevicesHaveOkHeight = true;
        if (!isInRange(device->refreshRate(), deviceQuery.minRefreshRate, deviceQuery.maxRefreshRate))
            continue;
        answer.someDevicesHaveOkRate = true;
        answer.device = device;
        break;
    }
    return answer;
}
