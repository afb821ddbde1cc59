#pragma once
// The keys of the keyboard as SDL, Win32 and DirectInput number them. Inside the host layer only.

#include "host/win32.h"

#include <SDL.h>

struct HostKey
{
    SDL_Scancode scancode;
    BYTE virtualKey; // VK_*; 0 when the key has none
    BYTE dik;        // DirectInput key index; 0x80 and above are extended keys
};

/// The key at this scancode; null for a key the table does not know.
const HostKey* hostKeyOfScancode(SDL_Scancode scancode);
/// The first key with this virtual-key code (the left one of a pair, the main Return); null when none.
const HostKey* hostKeyOfVirtualKey(int virtualKey);
/// The key with this DirectInput index; null when none.
const HostKey* hostKeyOfDik(int dik);
/// The virtual key of an SDL key event: letters and digits follow the keyboard layout, the rest the
/// key's position; 0 for an unknown key.
BYTE hostVirtualKeyOf(const SDL_Keysym& key);
