#include "game/qlmsound.h"

#include "foundation/dbg.h"
#include "game/qlmlookup.h"
#include "platform/egc.h"
#include "platform/ssl.h"

#include <map>

namespace
{

const QLMSampleRecord SAMPLE_RECORDS[] = {
    {QLMSampleID::PILL_PILL_BOUNCE_SAMPLE_ID, "pillpillbounce.wav"},
    {QLMSampleID::PILL_SPLOD_BOUNCE_SAMPLE_ID, "pillsplodbounce.wav"},
    {QLMSampleID::SPLOD_SPLOD_BOUNCE_SAMPLE_ID, "splodsplodbounce.wav"},
    {QLMSampleID::PILL_EXPLOSION_SAMPLE_ID, "pillexplosion.wav"},
    {QLMSampleID::BULLET_EXPLOSION_SAMPLE_ID, "bulletexplosion.wav"},
    {QLMSampleID::SPLOD_EXPLOSION_SAMPLE_ID, "splodexplosion.wav"},
    {QLMSampleID::RED_PILL_SAMPLE_ID, "redpill.wav"},
    {QLMSampleID::GREEN_PILL_SAMPLE_ID, "greenpill.wav"},
    {QLMSampleID::YELLOW_PILL_SAMPLE_ID, "yellowpill.wav"},
    {QLMSampleID::FIRE_GUN_SAMPLE_ID, "firegun.wav"},
    {QLMSampleID::RELOAD_GUN_SAMPLE_ID, "reloadgun.wav"},
    {QLMSampleID::ACTIVATE_MENU_ITEM_SAMPLE_ID, "activatemenuitem.wav"},
    {QLMSampleID::SELECT_MENU_ITEM_SAMPLE_ID, "selectmenuitem.wav"},
};

const QLMSampleRecord TRACK_RECORDS[] = {
    {QLMTrackID::GAME_TRACK_ID, "gametrack.mid"},
};

std::map<int, SSLSample*> fSampleMap;
std::map<int, SSLTrack*> fTrackMap;
SSLTrack* fCurrentTrack = nullptr;
bool fCurrentTrackIsPlaying = false;
bool fSoundEffectsEnabled = true;
bool fMusicEnabled = true;

} // namespace

void initializeSound()
{
    openSamples();
    openTracks();
    playMusic(QLMTrackID::GAME_TRACK_ID);
}

void shutdownSound()
{
    stopMusic();
    DBG_ASSERT(tracksAreOpen());
    while (!fTrackMap.empty())
    {
        soundLibrary()->closeTrack(fTrackMap.begin()->second);
        fTrackMap.erase(fTrackMap.begin());
    }
    DBG_ASSERT(!tracksAreOpen());
    DBG_ASSERT(samplesAreOpen());
    while (!fSampleMap.empty())
    {
        soundLibrary()->closeSample(fSampleMap.begin()->second);
        fSampleMap.erase(fSampleMap.begin());
    }
    DBG_ASSERT(!samplesAreOpen());
}

void openSamples()
{
    DBG_ASSERT(!samplesAreOpen());
    for (const QLMSampleRecord& record : SAMPLE_RECORDS)
        fSampleMap[record.id] = soundLibrary()->openSample(record.fileName);
    DBG_ASSERT(samplesAreOpen());
}

void openTracks()
{
    DBG_ASSERT(!tracksAreOpen());
    for (const QLMSampleRecord& record : TRACK_RECORDS)
        fTrackMap[record.id] = soundLibrary()->openTrack(record.fileName);
    DBG_ASSERT(tracksAreOpen());
}

bool samplesAreOpen()
{
    return !fSampleMap.empty();
}

bool tracksAreOpen()
{
    return !fTrackMap.empty();
}

void playSound(int sampleID)
{
    if (fSoundEffectsEnabled)
        soundLibrary()->playSample(lookUp(fSampleMap, sampleID, "Unknown sample ID."));
}

void playMusic(int trackID)
{
    SSLTrack* track = lookUp(fTrackMap, trackID, "Unknown track ID.");
    // The sound library refuses a second track while one plays.
    stopMusic();
    fCurrentTrack = track;
    if (fMusicEnabled)
    {
        soundLibrary()->playTrack(fCurrentTrack);
        fCurrentTrackIsPlaying = true;
    }
}

void stopMusic()
{
    if (fCurrentTrack == nullptr)
        return;
    if (fCurrentTrackIsPlaying)
        soundLibrary()->stopTrack(fCurrentTrack);
    fCurrentTrack = nullptr;
    fCurrentTrackIsPlaying = false;
}

bool toggleSoundEffects()
{
    fSoundEffectsEnabled = !fSoundEffectsEnabled;
    return fSoundEffectsEnabled;
}

bool toggleMusic()
{
    fMusicEnabled = !fMusicEnabled;
    if ((fCurrentTrack != nullptr) && (fMusicEnabled != fCurrentTrackIsPlaying))
    {
        if (fMusicEnabled)
            soundLibrary()->playTrack(fCurrentTrack);
        else
            soundLibrary()->stopTrack(fCurrentTrack);
        fCurrentTrackIsPlaying = fMusicEnabled;
    }
    return fMusicEnabled;
}
