#pragma once
// The sound library's front: samples that may overlap, and tracks that loop (one at a time).
// `openSSL` (sslboot.h) creates the one implementation.

#include <set>
#include <string>

/// A loaded sound effect; owned by the library that opened it.
class SSLSample
{
public:
    virtual ~SSLSample() noexcept(false) = default;
};

/// A loaded music track; owned by the library that opened it.
class SSLTrack
{
public:
    virtual ~SSLTrack() noexcept(false) = default;
};

class SSL
{
public:
    virtual ~SSL() noexcept(false) = default;
    virtual void closeSample(SSLSample* sample) = 0;
    /// Closes a track that is not playing.
    virtual void closeTrack(SSLTrack* track) = 0;
    /// Loads a sample from the file and prepares it for playing; owned by the library.
    virtual SSLSample* openSample(const std::string& fileName) = 0;
    /// Loads a track from the file; owned by the library.
    virtual SSLTrack* openTrack(const std::string& fileName) = 0;
    /// Starts the track looping; no other track may be playing.
    virtual void playTrack(SSLTrack* track) = 0;
    /// Plays the sample once over everything else that sounds.
    virtual void playSample(SSLSample* sample) = 0;
    /// Stops the playing track.
    virtual void stopTrack(SSLTrack* track) = 0;
    virtual std::set<SSLSample*> samples() = 0;
    virtual std::set<SSLTrack*> tracks() = 0;
};
