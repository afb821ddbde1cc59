#pragma once
// Handing the library's three keys to an object it makes.

#include "egl/egltypes.h"

/// Stores the change, resource and switch keys in a new object, which had none before.
inline void giveLibraryKeys(EGLComponent& component, EGLKey changeKey, EGLKey resourceKey, EGLKey switchKey)
{
    component.setChangeKey(nullptr, changeKey);
    component.setResourceKey(nullptr, resourceKey);
    component.setSwitchKey(nullptr, switchKey);
}
