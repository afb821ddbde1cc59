// The descriptions, one case per result value: a value shared by two names (DIERR_OTHERAPPHASPRIO is
// E_ACCESSDENIED) has one description, and a value given twice does not compile.

#include "host/dxerr8.h"

#include "host/com.h"
#include "host/dinput8.h"
#include "host/dmusic.h"
#include "host/objbase.h"

const char* DXGetErrorDescription8A(HRESULT result)
{
    switch (result)
    {
    // COM, with the DirectInput names of the same values
    case S_OK:
        return "The call succeeded.";
    case S_FALSE:
        return "The call succeeded but had nothing to do.";
    case E_NOTIMPL:
        return "The call or property is not supported.";
    case E_NOINTERFACE:
        return "The object does not have the requested interface.";
    case E_POINTER:
        return "A required pointer is null.";
    case E_FAIL:
        return "The call failed.";
    case E_ACCESSDENIED:
        return "Access is denied: another application has priority.";
    case E_OUTOFMEMORY:
        return "Not enough memory.";
    case E_INVALIDARG:
        return "An argument is not valid.";
    case E_PENDING:
        return "The data is not yet available.";
    case CLASS_E_NOAGGREGATION:
        return "The class cannot be created as part of an outer object.";
    case REGDB_E_CLASSNOTREG:
        return "The class or device is not registered.";
    case CO_E_NOTINITIALIZED:
        return "COM has not been initialised on this thread.";
    // DirectInput
    case DIERR_INPUTLOST:
        return "Access to the input device has been lost; acquire it again.";
    case DIERR_NOTACQUIRED:
        return "The input device is not acquired.";
    case DIERR_ACQUIRED:
        return "The call is not allowed while the input device is acquired.";
    case DIERR_OLDDIRECTINPUTVERSION:
        return "The program asks for an older DirectInput version than this one.";
    case DIERR_BETADIRECTINPUTVERSION:
        return "The program asks for a DirectInput version this one does not know.";
    // DirectMusic
    case DMUS_S_PARTIALLOAD:
        return "The object loaded only in part.";
    case DMUS_E_LOADER_BADPATH:
        return "The file name is empty or not valid.";
    case DMUS_E_LOADER_FILENOTFOUND:
        return "The sound file does not exist.";
    case DMUS_E_LOADER_FAILEDOPEN:
        return "The sound file could not be opened or read.";
    case DMUS_E_LOADER_FORMATNOTSUPPORTED:
        return "The file is neither a RIFF WAVE file nor a Standard MIDI File.";
    case DMUS_E_INVALIDFILE:
        return "The sound file is malformed.";
    case DMUS_E_UNSUPPORTED_STREAM:
        return "The sound file's encoding or size is not supported.";
    case DMUS_E_LOADER_FAILEDCREATE:
        return "The loader cannot create an object of that class.";
    case DMUS_E_NOT_INIT:
        return "The performance's audio is not initialised.";
    case DMUS_E_ALREADY_INITED:
        return "The audio output is already initialised.";
    case DMUS_E_AUDIO_UNAVAILABLE:
        return "No audio output could be opened, not even a silent one.";
    case DMUS_E_NOT_DOWNLOADED_TO_PORT:
        return "The segment is not downloaded to this performance.";
    case DMUS_E_DOWNLOAD_FAILED:
        return "The sound could not be prepared for playing.";
    case DMUS_E_SEGMENT_KIND:
        return "A sample plays only as a secondary segment, music only as the primary segment.";
    case DMUS_E_PLAY_FAILED:
        return "The segment could not be started.";
    default:
        return "Unknown error.";
    }
}
