#pragma once
// The score screen: the hall of fame (a plate with the title "Hall of fame" and ten rows of rank, name and score)
// and the name entry after a new high score, both over the star field and the scrolling texts. It owns the table
// of the ten best scores and the file "highscores.txt" in the working directory, read at start-up and rewritten
// after each new high score, and gives the coordinator its isHighscore condition.
//
// It runs as an ECA machine of its own: idle until the coordinator enters the hall of fame (event 15) or the name
// entry (17); drawn on event 6; RETURN (30) ends the name entry, stores the name with the current score and shows
// the table; 16 makes it idle again; quit (3) ends it.
//
// Depends on: qlmevent, qlminput (the typed-character buffer), qlmgraphics, qlmcounter, qlmscroll,
// qlmscoretable, qlmscorestars; platform/egcfile for reading and saving the table.

#include "egl/egl.h"

#include <cstdint>
#include <string>
#include <vector>

class ECACondition;
class EGLLabel;
class EGLSprite;
class QLMScoreRecord;
class QLMStar;

/// The high-score file, in the working directory.
extern const char* const HIGH_SCORE_FILE_NAME;

/// A backing plate: sprite type 9 scaled to the given size plus 20 units on every side, at a position.
class QLMPlate
{
public:
    /// Position of the centre and size, space units.
    QLMPlate(const EGLVector& position, const EGLVector& size);
    QLMPlate(const QLMPlate&) = delete;
    QLMPlate& operator=(const QLMPlate&) = delete;
    ~QLMPlate() noexcept(false);

    /// Draws the plate scaled, then placed; inside a scene.
    void draw();
    const EGLVector& size() const { return fSize; }

    bool invariant() const;

private:
    EGLVector fPosition;
    EGLVector fSize;
    EGLTransform* fScaling;
    EGLTransform* fTranslation;
    EGLSprite* fSprite;
};

/// Creates the stars, loads the table, builds the name entry and starts the score machine.
void initializeScore();
/// Destroys the machine type and its parts, the name entry, the table and the stars. The machine must have ended.
void shutdownScore();

/// A new isHighscore condition, owned by the caller: true when the current score beats the table's lowest.
ECACondition* createIsHighscoreCondition();
/// Deletes a condition made by createIsHighscoreCondition; null does nothing.
void deleteIsHighscoreCondition(ECACondition* condition);

/// Reads the ten records of the high-score file into an empty table and builds the table's title and plate.
void loadScoreTable();
/// Replaces the high-score file's content with the ten records; the file keeps its owner and permissions where the
/// file system allows, and a link to it stays a link. Fails a check, the old file unchanged, when the player may not
/// write it, or when it cannot be written whole (a rewrite in place that stops midway leaves part of it).
void saveScoreTable();
/// Puts a record of the name ("Anonymous" when empty) and score into the table, drops the lowest, renumbers the
/// ranks and saves the file. Of equal scores, the new record ranks last.
void insertHighscore(const std::string& name, std::int32_t score);
/// Destroys the table's title, transform, plate and records.
void destroyScoreTable();
/// Draws the plate, the title and the ten rows, centred on the screen; inside a scene.
void drawScoreTable();
/// Title, table transform and plate exist and the table holds ten records.
bool scoreTableInvariant();
/// The table's records, highest score first.
const std::vector<QLMScoreRecord*>& scoreRecords();

/// Builds the name entry's prompt, name field and plate.
void createScoreInput();
/// Shows the typed text in the name field between ">" and "<".
void updateScoreInput();
/// The prompt, the name field, their transforms and the plate exist.
bool scoreInputInvariant();
/// The name field.
const EGLLabel* scoreNameLabel();

/// The star field, in creation order.
const std::vector<QLMStar*>& scoreStars();
