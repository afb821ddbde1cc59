#pragma once
// The DirectMusic stand-in as the COM factory and the tests see it; not for program code.

#include "host/com.h"

/// Creates a DirectMusic object of the class (loader or performance) with one reference into *object, as
/// CoCreateInstance answers: REGDB_E_CLASSNOTREG for another class, E_NOINTERFACE for another interface.
HRESULT hostCreateDirectMusicObject(REFCLSID classID, REFIID iid, void** object);

/// Whether the machine has a sound card that ALSA could play on: a PCM device under /dev/snd.
bool hostSoundCardIsPresent();
