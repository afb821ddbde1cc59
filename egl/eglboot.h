#pragma once
// Creating and deleting the graphics library, and the set of open library objects.
//
// Depends on: egl/egl.h, host/win32.h (the window handle).

#include "egl/egl.h"
#include "host/win32.h"

#include <cstdint>
#include <set>

/// The Direct3D 8 implementation; openEGL does not examine the number.
constexpr std::int32_t DIRECT3D8_IMPLEMENTATION = 1;

/// A new library drawing into the window *windowHandle, in state CLOSED; the caller closes it with closeEGL.
EGL* openEGL(std::int32_t implementation, const HWND* windowHandle);
/// Forgets the library and deletes it (a null pointer is only forgotten); it must be CLOSED.
void closeEGL(EGL* egl);
/// The libraries opened and not yet closed, ordered by address.
const std::set<EGL*>& openEGLs();
