#pragma once
// Our stand-in for DirectMusic, over SDL2_mixer. The loader reads a sound file into a segment; the kind of
// segment is decided by the file's content: a RIFF WAVE file is a sample, a Standard MIDI File is music, played
// through FluidSynth with a General MIDI soundfont. A segment sounds only after it is downloaded to an initialised
// performance. Samples play as secondary segments, any number at once; music plays as the one primary segment.
// Without an audio device the performance plays silently through SDL's dummy driver and says so once on stderr.
// Objects come from CoCreateInstance (host/objbase.h) and keep honest reference counts.

#include "host/com.h"
#include "host/objbase.h"
#include "host/win32.h"

using REFERENCE_TIME = LONGLONG; // 100-nanosecond units
using MUSIC_TIME = LONG;         // music ticks

// Interfaces that are part of the calls' shapes but never handed out: callers pass null for them.
class IDirectMusic;
class IDirectSound;
class IDirectMusicSegmentState;
struct DMUS_AUDIOPARAMS;

inline constexpr CLSID CLSID_DirectMusicLoader = {
    0x64287095, 0xFD4C, 0x4958, {0x8E, 0xFA, 0xDB, 0xFB, 0x8E, 0x3A, 0xA1, 0x6A}};
inline constexpr CLSID CLSID_DirectMusicPerformance = {
    0xA12CB807, 0x737F, 0x4923, {0x97, 0xF4, 0xC5, 0x86, 0xE4, 0x04, 0xF1, 0x27}};
inline constexpr CLSID CLSID_DirectMusicSegment = {
    0xEC494759, 0xEB2C, 0x4D27, {0x9A, 0x00, 0x13, 0xBF, 0x18, 0xDD, 0xA8, 0xA7}};
inline constexpr IID IID_IDirectMusicLoader8 = {
    0xB600B2F8, 0xC2A7, 0x4FCF, {0x90, 0x21, 0x05, 0xFF, 0x05, 0x81, 0x9A, 0x01}};
inline constexpr IID IID_IDirectMusicPerformance8 = {
    0x8B8BE058, 0x8FBA, 0x44AF, {0xAA, 0x82, 0x30, 0xFB, 0x3C, 0x9C, 0xD7, 0x86}};
inline constexpr IID IID_IDirectMusicSegment8 = {
    0x16683F77, 0x8C70, 0x45A1, {0xAC, 0x46, 0x2E, 0xEC, 0x98, 0xB0, 0xC7, 0x80}};

/// Repeat count of a segment that loops until it is stopped.
constexpr DWORD DMUS_SEG_REPEAT_INFINITE = 0xFFFFFFFFu;
/// PlaySegmentEx flag: play as a secondary segment, over everything else; without it the segment is primary.
constexpr DWORD DMUS_SEGF_SECONDARY = 0x80;
/// InitAudio's default audio path: a stereo path with reverb shared by all segments.
constexpr DWORD DMUS_APATH_SHARED_STEREOPLUSREVERB = 1;
/// InitAudio flags: every audio feature.
constexpr DWORD DMUS_AUDIOF_ALL = 0x3F;

/// Success of a load of which some parts failed; this loader loads a file whole or not at all.
constexpr HRESULT DMUS_S_PARTIALLOAD = static_cast<HRESULT>(0x08780091u);

// Loader failures: the file name, the file, its content.
constexpr HRESULT DMUS_E_LOADER_BADPATH = static_cast<HRESULT>(0x88780101u);
constexpr HRESULT DMUS_E_LOADER_FILENOTFOUND = static_cast<HRESULT>(0x88780102u);
constexpr HRESULT DMUS_E_LOADER_FAILEDOPEN = static_cast<HRESULT>(0x88780103u);
constexpr HRESULT DMUS_E_LOADER_FORMATNOTSUPPORTED = static_cast<HRESULT>(0x88780104u);
constexpr HRESULT DMUS_E_INVALIDFILE = static_cast<HRESULT>(0x88780105u);
constexpr HRESULT DMUS_E_UNSUPPORTED_STREAM = static_cast<HRESULT>(0x88780106u);
constexpr HRESULT DMUS_E_LOADER_FAILEDCREATE = static_cast<HRESULT>(0x88780107u);
// Performance and segment failures.
constexpr HRESULT DMUS_E_NOT_INIT = static_cast<HRESULT>(0x88780201u);
constexpr HRESULT DMUS_E_ALREADY_INITED = static_cast<HRESULT>(0x88780202u);
constexpr HRESULT DMUS_E_AUDIO_UNAVAILABLE = static_cast<HRESULT>(0x88780203u);
constexpr HRESULT DMUS_E_NOT_DOWNLOADED_TO_PORT = static_cast<HRESULT>(0x88780204u);
constexpr HRESULT DMUS_E_DOWNLOAD_FAILED = static_cast<HRESULT>(0x88780205u);
constexpr HRESULT DMUS_E_SEGMENT_KIND = static_cast<HRESULT>(0x88780206u);
constexpr HRESULT DMUS_E_PLAY_FAILED = static_cast<HRESULT>(0x88780207u);

/// A loaded sound file.
class IDirectMusicSegment8 : public IUnknown
{
public:
    /// How often the segment plays again after its first time: 0 plays once, DMUS_SEG_REPEAT_INFINITE loops.
    virtual HRESULT SetRepeats(DWORD repeats) = 0;
    /// Prepares the segment for playing on the performance given as its IUnknown; downloads are counted, each
    /// one is undone by one Unload. DMUS_E_NOT_INIT before the performance's InitAudio, DMUS_E_DOWNLOAD_FAILED
    /// when the mixer cannot take the sound, E_INVALIDARG for anything but a performance of this host.
    virtual HRESULT Download(IUnknown* audioPath) = 0;
    /// Undoes one Download; the last one stops the segment where it plays. DMUS_E_NOT_DOWNLOADED_TO_PORT when it
    /// is not downloaded to that performance.
    virtual HRESULT Unload(IUnknown* audioPath) = 0;
};

/// Reads sound files into segments.
class IDirectMusicLoader8 : public IUnknown
{
public:
    /// Loads the file, named relative to the working directory, into a new object of the class (only
    /// CLSID_DirectMusicSegment, with IID_IDirectMusicSegment8) with one reference the caller releases.
    /// Fails with DMUS_E_LOADER_BADPATH for an empty or unencodable name, DMUS_E_LOADER_FILENOTFOUND when no
    /// file has that name, DMUS_E_LOADER_FAILEDOPEN when it cannot be read, DMUS_E_LOADER_FORMATNOTSUPPORTED
    /// when it is neither RIFF WAVE nor Standard MIDI, DMUS_E_INVALIDFILE when it is malformed,
    /// DMUS_E_UNSUPPORTED_STREAM when it is well formed but not playable here; *object is null after a failure.
    virtual HRESULT LoadObjectFromFile(REFCLSID classID, REFIID iid, const WCHAR* filePath, void** object) = 0;
};

/// Plays segments.
class IDirectMusicPerformance8 : public IUnknown
{
public:
    /// Opens the audio output; performanceChannelCount (1 to 256, E_INVALIDARG otherwise) is how many samples
    /// sound at once. Music, sound, window and parameters must be null and the path the shared stereo one
    /// (E_NOTIMPL otherwise). Falls back to silent output when no device opens; DMUS_E_ALREADY_INITED
    /// when this or another performance holds the output, DMUS_E_AUDIO_UNAVAILABLE when not even silence opens.
    virtual HRESULT InitAudio(IDirectMusic** music, IDirectSound** sound, HWND window, DWORD defaultPathType,
                              DWORD performanceChannelCount, DWORD flags, DMUS_AUDIOPARAMS* parameters) = 0;
    /// Starts the downloaded segment now, as often as its repeats say: with DMUS_SEGF_SECONDARY a sample over
    /// everything else (the oldest sample gives way when all channels sound), with flags 0 music as the primary
    /// segment, replacing the one playing. Name, transition, segment state, from and audio path must be null and
    /// the start time 0 (E_NOTIMPL otherwise).
    virtual HRESULT PlaySegmentEx(IUnknown* source, WCHAR* segmentName, IUnknown* transition, DWORD flags,
                                  REFERENCE_TIME startTime, IDirectMusicSegmentState** segmentState, IUnknown* from,
                                  IUnknown* audioPath) = 0;
    /// Stops the segment now wherever it plays, or everything when segment is null; segment state must be null,
    /// time and flags 0 (E_NOTIMPL otherwise).
    virtual HRESULT Stop(IDirectMusicSegment8* segment, IDirectMusicSegmentState* segmentState, MUSIC_TIME time,
                         DWORD flags) = 0;
    /// Stops everything, undoes every download to this performance and closes the audio output.
    virtual HRESULT CloseDown() = 0;
};
