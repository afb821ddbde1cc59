#include "platform/sslimp.h"

#include "foundation/dbg.h"
#include "host/dxerr8.h"

#include <memory>
#include <new>
#include <string>

namespace
{

// Every DirectMusic failure reports the platform's own description of the result.
void checkResult(HRESULT result)
{
    if (result != S_OK)
        throw DBGException("Error", DXGetErrorDescription8A(result), __FILE__, __LINE__);
}

void setRepeats(IDirectMusicSegment8* segment, DWORD count)
{
    DBG_ASSERT("Valid segment." && segment);
    checkResult(segment->SetRepeats(count));
}

void download(IDirectMusicPerformance8* performance, IDirectMusicSegment8* segment)
{
    DBG_ASSERT("Valid performance." && performance);
    DBG_ASSERT("Valid segment." && segment);
    checkResult(segment->Download(performance));
}

void unload(IDirectMusicPerformance8* performance, IDirectMusicSegment8* segment)
{
    DBG_ASSERT("Valid performance." && performance);
    DBG_ASSERT("Valid segment." && segment);
    checkResult(segment->Unload(performance));
}

void play(IDirectMusicPerformance8* performance, IDirectMusicSegment8* segment, DWORD flags)
{
    DBG_ASSERT("Valid performance." && performance);
    DBG_ASSERT("Valid segment." && segment);
    checkResult(performance->PlaySegmentEx(segment, nullptr, nullptr, flags, 0, nullptr, nullptr, nullptr));
}

void stop(IDirectMusicPerformance8* performance, IDirectMusicSegment8* segment)
{
    DBG_ASSERT("Valid performance." && performance);
    DBG_ASSERT("Valid segment." && segment);
    checkResult(performance->Stop(segment, nullptr, 0, 0));
}

void releaseSegment(IDirectMusicSegment8* segment)
{
    DBG_ASSERT("Valid segment." && segment);
    segment->Release();
}

void releaseLoader(IDirectMusicLoader8* loader)
{
    DBG_ASSERT("Valid loader." && loader);
    const ULONG loaderReferenceCount = loader->Release();
    DBG_ASSERT("Loader object reference count 0." && (loaderReferenceCount == 0));
}

void releasePerformance(IDirectMusicPerformance8* performance)
{
    DBG_ASSERT("Valid performance." && performance);
    const ULONG performanceReferenceCount = performance->Release();
    DBG_ASSERT("Performance object reference count 0." && (performanceReferenceCount == 0));
}

void closeDown(IDirectMusicPerformance8* performance)
{
    DBG_ASSERT("Valid performance." && performance);
    checkResult(performance->Stop(nullptr, nullptr, 0, 0));
    checkResult(performance->CloseDown());
}

IDirectMusicSegment8* loadSegment(IDirectMusicLoader8* loader, const std::string& fileName)
{
    DBG_ASSERT("Valid loader." && loader);
    const int length = static_cast<int>(fileName.size()) + 1;
    std::unique_ptr<WCHAR[]> unicodeFilename(new (std::nothrow) WCHAR[length]);
    DBG_ASSERT("Unicode string allocated successfully." && unicodeFilename);
    if (MultiByteToWideChar(CP_ACP, 0, fileName.c_str(), -1, unicodeFilename.get(), length) == 0)
        DBG_ERROR("Could not convert filname to unicode.");
    IDirectMusicSegment8* segment = nullptr;
    const HRESULT result = loader->LoadObjectFromFile(CLSID_DirectMusicSegment, IID_IDirectMusicSegment8,
                                                      unicodeFilename.get(), reinterpret_cast<void**>(&segment));
    if (result != S_OK && result != DMUS_S_PARTIALLOAD)
        checkResult(result);
    return segment;
}

} // namespace

SSLSegment::SSLSegment(IDirectMusicLoader8* loader, const std::string& fileName, DWORD repeats, DWORD playFlags)
    : mSegment(nullptr), mPlayFlags(playFlags)
{
    DBG_ASSERT("Valid loader." && loader);
    mSegment = loadSegment(loader, fileName);
    setRepeats(mSegment, repeats);
    DBG_ASSERT(invariant());
}

SSLSegment::~SSLSegment() noexcept(false)
{
    DBG_ASSERT(invariant());
    releaseSegment(mSegment);
    mSegment = nullptr;
}

void SSLSegment::download(IDirectMusicPerformance8* performance)
{
    DBG_ASSERT(invariant());
    DBG_ASSERT("Valid performance." && performance);
    ::download(performance, mSegment);
}

void SSLSegment::unload(IDirectMusicPerformance8* performance)
{
    DBG_ASSERT(invariant());
    DBG_ASSERT("Valid performance." && performance);
    ::unload(performance, mSegment);
}

void SSLSegment::play(IDirectMusicPerformance8* performance)
{
    DBG_ASSERT(invariant());
    DBG_ASSERT("Valid performance." && performance);
    ::play(performance, mSegment, mPlayFlags);
}

void SSLSegment::stop(IDirectMusicPerformance8* performance)
{
    DBG_ASSERT(invariant());
    DBG_ASSERT("Valid performance." && performance);
    ::stop(performance, mSegment);
}

SSLSampleImp::SSLSampleImp(IDirectMusicLoader8* loader, const std::string& fileName)
    : segment(loader, fileName, 0, DMUS_SEGF_SECONDARY)
{
}

// Flags 0: the primary segment, which replaces whatever primary segment was playing.
SSLTrackImp::SSLTrackImp(IDirectMusicLoader8* loader, const std::string& fileName)
    : segment(loader, fileName, DMUS_SEG_REPEAT_INFINITE, 0)
{
}

SSLImp::SSLImp() : mPlayingTrack(nullptr), mLoader(nullptr), mPerformance(nullptr)
{
    const HRESULT comResult = CoInitialize(nullptr);
    if (comResult != S_OK && comResult != S_FALSE)
        DBG_ERROR("COM initialization failed.");
    if (FAILED(CoCreateInstance(CLSID_DirectMusicLoader, nullptr, CLSCTX_INPROC, IID_IDirectMusicLoader8,
                                reinterpret_cast<void**>(&mLoader))))
        DBG_ERROR("Could not open direct music loader.");
    if (FAILED(CoCreateInstance(CLSID_DirectMusicPerformance, nullptr, CLSCTX_INPROC, IID_IDirectMusicPerformance8,
                                reinterpret_cast<void**>(&mPerformance))))
        DBG_ERROR("Could not open direct music performance object.");
    checkResult(mPerformance->InitAudio(nullptr, nullptr, nullptr, DMUS_APATH_SHARED_STEREOPLUSREVERB, 64,
                                        DMUS_AUDIOF_ALL, nullptr));
    DBG_ASSERT(invariant());
}

SSLImp::~SSLImp() noexcept(false)
{
    DBG_ASSERT(invariant());
    closeDown(mPerformance);
    releasePerformance(mPerformance);
    releaseLoader(mLoader);
    mPerformance = nullptr;
    mLoader = nullptr;
    CoUninitialize();
    mSamples.clear();
    mTracks.clear();
}

SSLSample* SSLImp::openSample(const std::string& fileName)
{
    DBG_ASSERT(invariant());
    SSLSampleImp* sampleImp = new (std::nothrow) SSLSampleImp(mLoader, fileName);
    DBG_ASSERT("Sample implementation created successfully." && sampleImp);
    mSamples.insert(sampleImp);
    sampleImp->segment.download(mPerformance);
    DBG_ASSERT(invariant());
    return sampleImp;
}

SSLTrack* SSLImp::openTrack(const std::string& fileName)
{
    DBG_ASSERT(invariant());
    SSLTrackImp* trackImp = new (std::nothrow) SSLTrackImp(mLoader, fileName);
    DBG_ASSERT("Track implementation created successfully." && trackImp);
    mTracks.insert(trackImp);
    DBG_ASSERT(invariant());
    return trackImp;
}

void SSLImp::playSample(SSLSample* sample)
{
    DBG_ASSERT(invariant());
    DBG_ASSERT("Valid sample." && sample);
    DBG_ASSERT("Open sample." && isOpen(sample));
    static_cast<SSLSampleImp*>(sample)->segment.play(mPerformance);
    DBG_ASSERT(invariant());
}

void SSLImp::playTrack(SSLTrack* track)
{
    DBG_ASSERT(invariant());
    DBG_ASSERT("Valid track." && track);
    DBG_ASSERT("Open track." && isOpen(track));
    DBG_ASSERT("No track is playing." && (mPlayingTrack == 0));
    SSLSegment& segment = static_cast<SSLTrackImp*>(track)->segment;
    segment.download(mPerformance);
    segment.play(mPerformance);
    mPlayingTrack = track;
    DBG_ASSERT(invariant());
}

void SSLImp::stopTrack(SSLTrack* track)
{
    DBG_ASSERT(invariant());
    DBG_ASSERT("Valid track." && track);
    DBG_ASSERT("Open track." && isOpen(track));
    DBG_ASSERT("Track is playing." && (track == mPlayingTrack));
    SSLSegment& segment = static_cast<SSLTrackImp*>(track)->segment;
    segment.stop(mPerformance);
    mPlayingTrack = nullptr;
    segment.unload(mPerformance);
    DBG_ASSERT(invariant());
}

void SSLImp::closeSample(SSLSample* sample)
{
    DBG_ASSERT(invariant());
    DBG_ASSERT("Valid sample." && sample);
    DBG_ASSERT("Open sample." && isOpen(sample));
    static_cast<SSLSampleImp*>(sample)->segment.unload(mPerformance);
    mSamples.erase(sample);
    delete sample;
    DBG_ASSERT(invariant());
}

void SSLImp::closeTrack(SSLTrack* track)
{
    DBG_ASSERT(invariant());
    DBG_ASSERT("Valid track." && track);
    // Without it a track closed twice, or one of another library, would be deleted again.
    DBG_ASSERT("Open track." && isOpen(track));
    DBG_ASSERT("Track is not playing." && (track != mPlayingTrack));
    mTracks.erase(track);
    delete track;
    DBG_ASSERT(invariant());
}

bool SSLImp::isOpen(SSLSample* sample) const
{
    DBG_ASSERT("Valid sample." && sample);
    return mSamples.find(sample) != mSamples.end();
}

bool SSLImp::isOpen(SSLTrack* track) const
{
    DBG_ASSERT("Valid track." && track);
    return mTracks.find(track) != mTracks.end();
}
