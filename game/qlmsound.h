#pragma once
// The sound module: loads the game's 13 samples and its music track through the sound library, plays them by ID,
// and honours the menu's two switches (sound effects, music) in every play. Both switches are on at start.
//
// Depends on: platform/egc.h (the sound library), platform/ssl.h. Files are read from the working directory.

#include <cstdint>

/// A row of the sample and track tables.
struct QLMSampleRecord
{
    std::int32_t id;
    char fileName[128]; // zero-terminated
};

/// Sample IDs, 1 to 13.
namespace QLMSampleID
{
constexpr int PILL_PILL_BOUNCE_SAMPLE_ID = 1;
constexpr int PILL_SPLOD_BOUNCE_SAMPLE_ID = 2;
constexpr int SPLOD_SPLOD_BOUNCE_SAMPLE_ID = 3;
constexpr int PILL_EXPLOSION_SAMPLE_ID = 4;
constexpr int BULLET_EXPLOSION_SAMPLE_ID = 5;
constexpr int SPLOD_EXPLOSION_SAMPLE_ID = 6;
constexpr int RED_PILL_SAMPLE_ID = 7;
constexpr int GREEN_PILL_SAMPLE_ID = 8;
constexpr int YELLOW_PILL_SAMPLE_ID = 9;
constexpr int FIRE_GUN_SAMPLE_ID = 10;
constexpr int RELOAD_GUN_SAMPLE_ID = 11;
constexpr int ACTIVATE_MENU_ITEM_SAMPLE_ID = 12;
constexpr int SELECT_MENU_ITEM_SAMPLE_ID = 13;
} // namespace QLMSampleID

/// Track IDs: the one game track.
namespace QLMTrackID
{
constexpr int GAME_TRACK_ID = 1;
} // namespace QLMTrackID

/// Opens the samples and the track, then plays track 1 as playMusic does.
void initializeSound();
/// Stops the music, closes the track, then every sample.
void shutdownSound();
/// Opens every sample of the table through the sound library.
void openSamples();
/// Opens the track of the table through the sound library.
void openTracks();
bool samplesAreOpen();
bool tracksAreOpen();

/// Plays the sample of the ID once (samples overlap) when sound effects are on; nothing when they are off.
void playSound(int sampleID);
/// Stops and forgets the current track, makes the track of the ID current and plays it when music is on.
void playMusic(int trackID);
/// Stops and forgets the current track, if any.
void stopMusic();
/// Switches sound effects on or off and returns the new setting; playing samples go on.
bool toggleSoundEffects();
/// Switches music on or off and returns the new setting: off stops the current track, on plays it again.
bool toggleMusic();
