#pragma once
// The sound library over DirectMusic: one loader and one performance; samples play as secondary segments,
// tracks as the primary segment.

#include "host/dmusic.h"
#include "platform/ssl.h"

#include <set>
#include <string>

/// A DirectMusic segment loaded from a file, owned; what samples and tracks are made of.
class SSLSegment
{
public:
    /// Loads the segment and sets its repeat count; play uses the given segment flags.
    SSLSegment(IDirectMusicLoader8* loader, const std::string& fileName, DWORD repeats, DWORD playFlags);
    ~SSLSegment() noexcept(false);
    SSLSegment(const SSLSegment&) = delete;
    SSLSegment& operator=(const SSLSegment&) = delete;

    void download(IDirectMusicPerformance8* performance);
    void unload(IDirectMusicPerformance8* performance);
    void play(IDirectMusicPerformance8* performance);
    void stop(IDirectMusicPerformance8* performance);

private:
    bool invariant() const { return mSegment != nullptr; }

    IDirectMusicSegment8* mSegment;
    DWORD mPlayFlags;
};

/// A sample: plays once, as a secondary segment, over everything else.
class SSLSampleImp final : public SSLSample
{
public:
    SSLSampleImp(IDirectMusicLoader8* loader, const std::string& fileName);

    SSLSegment segment;
};

/// A track: loops until stopped, as the primary segment.
class SSLTrackImp final : public SSLTrack
{
public:
    SSLTrackImp(IDirectMusicLoader8* loader, const std::string& fileName);

    SSLSegment segment;
};

class SSLImp final : public SSL
{
public:
    /// Starts COM, creates the loader and the performance and opens the audio output.
    SSLImp();
    /// Stops everything and releases the performance and the loader; samples and tracks must be closed first.
    ~SSLImp() noexcept(false) override;
    SSLImp(const SSLImp&) = delete;
    SSLImp& operator=(const SSLImp&) = delete;

    void closeSample(SSLSample* sample) override;
    void closeTrack(SSLTrack* track) override;
    SSLSample* openSample(const std::string& fileName) override;
    SSLTrack* openTrack(const std::string& fileName) override;
    void playTrack(SSLTrack* track) override;
    void playSample(SSLSample* sample) override;
    void stopTrack(SSLTrack* track) override;
    std::set<SSLSample*> samples() override { return mSamples; }
    std::set<SSLTrack*> tracks() override { return mTracks; }

    bool isOpen(SSLSample* sample) const;
    bool isOpen(SSLTrack* track) const;

private:
    bool invariant() const { return mLoader != nullptr && mPerformance != nullptr; }

    std::set<SSLSample*> mSamples;
    std::set<SSLTrack*> mTracks;
    SSLTrack* mPlayingTrack;
    IDirectMusicLoader8* mLoader;
    IDirectMusicPerformance8* mPerformance;
};
