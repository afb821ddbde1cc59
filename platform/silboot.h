#pragma once
// Creates and destroys input library objects.

#include "host/win32.h"
#include "platform/sil.h"

constexpr int DIRECT_INPUT_IMPLEMENTATION = 1;

/// Opens a library object over the window whose handle is pointed to; the caller closes it with closeSIL.
SIL* openSIL(int implementation, const HWND* windowHandle);
/// Closes an open library object; its keyboards and mice must be closed first.
void closeSIL(SIL* sil);
