#pragma once
// Our stand-in for the DirectX error texts: one short English sentence per result code the host layer returns.

#include "host/win32.h"

/// A static description of the result (COM, DirectInput and DirectMusic codes); "Unknown error." for any other.
const char* DXGetErrorDescription8A(HRESULT result);
