#pragma once
// The application glue: opens the window, the graphics library, the input library, the random tool and the
// sound library in a fixed order, lends them out, and closes them in the reverse order.

#include "platform/window.h"

#include <string>

class EGL;
class SIL;
class SSL;
class RNDTool;

/// Opens the window (title, style flags as in window.h), then the graphics, input, random and sound libraries.
void openEGC(const std::string& title, unsigned int flags);
/// Closes everything openEGC opened, in the reverse order; every module's objects must be closed before.
void closeEGC();

// The open objects, owned by the glue; null before openEGC and after closeEGC.
EGL* graphicsLibrary();
SIL* inputLibrary();
RNDTool* randomTool();
SSL* soundLibrary();
EGCWindow* window();

/// One pass of the platform: handles every pending window message, then polls the input devices once.
void processMessages();
